// Printer engine: the printer component with its settings objects, tag processor,
// tag vocabulary, status and identification reading, and the Pdv.ini settings.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace dovra {

enum TDovraPosPrinterModelo : int {
  ppTexto, ppEscPosEpson, ppEscBematech, ppEscDaruma, ppEscVox, ppEscDiebold, ppEscEpsonP2
};
enum TDovraPosPaginaCodigo : int { pcNone, pc437, pc850, pc852, pc860, pcUTF8, pc1252 };
enum TDovraPosTipoStatus {
  stErro, stNaoSerial, stPoucoPapel, stSemPapel, stGavetaAberta, stImprimindo, stOffLine,
  stTampaAberta, stErroLeitura
};
enum TDovraPosFontKind {
  fkNormal, fkCondensed, fkExpanded, fkBold, fkUnderline, fkInverted, fkItalic, fkFontB,
  fkDoubleHeight
};
enum TDovraPosAlignment { paLeft, paCenter, paRight };
// Stored as the low 8 bits of whatever number a tag gives, so any byte is a valid value.
enum TDovraPosDirecao : std::uint8_t {
  dirEsquerdaParaDireita, dirTopoParaBaixo, dirDireitaParaEsquerda, dirBaixoParaTopo
};

constexpr int kModeloCount = 7;
constexpr int kPaginaCodigoCount = 7;
constexpr int kTipoStatusCount = 9;

// Value names as logs, the CLI and the window show them. An ordinal outside the
// enumeration gives "" for a model or code page.
const char* NameOf(TDovraPosPrinterModelo v);
const char* NameOf(TDovraPosPaginaCodigo v);
const char* NameOf(TDovraPosTipoStatus v);
const char* NameOf(TDovraPosFontKind v);

// Code page number of a setting: 0 (fold to ASCII), 437, 850, 852, 860, 65001, 1252;
// 0 for a value outside the enumeration.
int CodePageNumber(TDovraPosPaginaCodigo page);

// A small set of enumeration values held as a bit mask (bit i for value i).
template <typename Enum>
class TDovraSet {
 public:
  constexpr TDovraSet() = default;
  constexpr TDovraSet(std::initializer_list<Enum> values) {
    for (Enum v : values) Include(v);
  }
  constexpr bool Contains(Enum v) const { return (bits_ >> static_cast<int>(v)) & 1u; }
  constexpr void Include(Enum v) { bits_ |= static_cast<std::uint16_t>(1u << static_cast<int>(v)); }
  constexpr void Exclude(Enum v) { bits_ &= static_cast<std::uint16_t>(~(1u << static_cast<int>(v))); }
  constexpr void Toggle(Enum v) { Contains(v) ? Exclude(v) : Include(v); }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr void Clear() { bits_ = 0; }
  constexpr std::uint16_t Bits() const { return bits_; }
  constexpr bool operator==(const TDovraSet&) const = default;

 private:
  std::uint16_t bits_ = 0;
};

using TDovraPosStatusSet = TDovraSet<TDovraPosTipoStatus>;
using TDovraPosFontState = TDovraSet<TDovraPosFontKind>;

// The status names each followed by ", ", in the order of the enumeration ("stSemPapel, ").
std::string StatusToString(TDovraPosStatusSet status);
// The line a status read shows to the operator: "Nennhum Erro encontrado" for an empty set,
// otherwise StatusToString.
std::string StatusLine(TDovraPosStatusSet status);

}  // namespace dovra
