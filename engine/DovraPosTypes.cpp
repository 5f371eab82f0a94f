#include "engine/DovraPosTypes.h"

#include <iterator>

namespace dovra {

namespace {

template <std::size_t N>
const char* NameAt(const char* const (&names)[N], int ordinal) {
  if (ordinal < 0 || static_cast<std::size_t>(ordinal) >= N) return "";
  return names[ordinal];
}

constexpr const char* kModeloNames[] = {
    "ppTexto", "ppEscPosEpson", "ppEscBematech", "ppEscDaruma", "ppEscVox", "ppEscDiebold",
    "ppEscEpsonP2"};
constexpr const char* kPaginaNames[] = {"pcNone", "pc437",  "pc850", "pc852",
                                        "pc860",  "pcUTF8", "pc1252"};
constexpr const char* kStatusNames[] = {
    "stErro",       "stNaoSerial", "stPoucoPapel",  "stSemPapel",   "stGavetaAberta",
    "stImprimindo", "stOffLine",   "stTampaAberta", "stErroLeitura"};
constexpr const char* kFontKindNames[] = {
    "fkNormal",   "fkCondensed", "fkExpanded", "fkBold",        "fkUnderline",
    "fkInverted", "fkItalic",    "fkFontB",    "fkDoubleHeight"};
constexpr int kCodePageNumbers[] = {0, 437, 850, 852, 860, 65001, 1252};

static_assert(std::size(kModeloNames) == kModeloCount);
static_assert(std::size(kPaginaNames) == kPaginaCodigoCount);
static_assert(std::size(kStatusNames) == kTipoStatusCount);
static_assert(std::size(kCodePageNumbers) == kPaginaCodigoCount);

}  // namespace

const char* NameOf(TDovraPosPrinterModelo v) { return NameAt(kModeloNames, static_cast<int>(v)); }
const char* NameOf(TDovraPosPaginaCodigo v) { return NameAt(kPaginaNames, static_cast<int>(v)); }
const char* NameOf(TDovraPosTipoStatus v) { return NameAt(kStatusNames, static_cast<int>(v)); }
const char* NameOf(TDovraPosFontKind v) { return NameAt(kFontKindNames, static_cast<int>(v)); }

int CodePageNumber(TDovraPosPaginaCodigo page) {
  const int i = static_cast<int>(page);
  if (i < 0 || i >= kPaginaCodigoCount) return 0;
  return kCodePageNumbers[i];
}

std::string StatusToString(TDovraPosStatusSet status) {
  std::string s;
  for (int i = 0; i < kTipoStatusCount; ++i) {
    const auto v = static_cast<TDovraPosTipoStatus>(i);
    if (status.Contains(v)) {
      s += kStatusNames[i];
      s += ", ";
    }
  }
  return s;
}

std::string StatusLine(TDovraPosStatusSet status) {
  return status.Empty() ? std::string("Nennhum Erro encontrado") : StatusToString(status);
}

}  // namespace dovra
