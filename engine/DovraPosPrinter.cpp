#include "engine/DovraPosPrinter.h"

#include <string.h>

#include <limits>
#include <string_view>

#include "util/BracketNotation.h"
#include "util/CodePage.h"
#include "util/LineBreaks.h"
#include "util/LogFile.h"

namespace dovra {

namespace {

// Whether `needle` occurs in `haystack` (glibc's memmem is far faster than a first-byte scan
// on command bytes, which are full of ESC bytes).
bool Contains(const std::string& haystack, const std::string& needle) {
  return ::memmem(haystack.data(), haystack.size(), needle.data(), needle.size()) != nullptr;
}

const std::string kRule(80, '-');
const std::string kCrLf = "\r\n";

// ColunasFonteNormal / ratio cut towards zero, kept inside int for any ratio a dialect sets;
// a ratio that is not positive leaves the normal count.
int ColumnsForRatio(int normal, double ratio) {
  if (!(ratio > 0)) return normal;
  const double q = static_cast<double>(normal) / ratio;
  if (q >= static_cast<double>(std::numeric_limits<int>::max()))
    return std::numeric_limits<int>::max();
  if (q <= static_cast<double>(std::numeric_limits<int>::min()))
    return std::numeric_limits<int>::min();
  return static_cast<int>(q);
}

// True when the code-page step would give the text back unchanged: plain ASCII for every code
// page, and for the ASCII fold only BS, LF, CR and 32..126. Checked in blocks so the compiler
// can vectorise the scan.
bool CodePageStepKeeps(std::string_view text, int codePage) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  const auto bad = [codePage](unsigned char c) -> unsigned char {
    if (codePage != 0) return c & 0x80u;
    return (c > 126 || (c < 32 && c != 8 && c != 10 && c != 13)) ? 1 : 0;
  };
  std::size_t i = 0;
  for (; i + 64 <= n; i += 64) {
    unsigned char acc = 0;
    for (std::size_t k = 0; k < 64; ++k) acc |= bad(p[i + k]);
    if (acc) return false;
  }
  for (; i < n; ++i)
    if (bad(p[i])) return false;
  return true;
}

}  // namespace

TDovraPosPrinter::TDovraPosPrinter(TDovraComponent* owner) : TDovraComponent(owner) {
  device_ = std::make_unique<TDovraDevice>(this);
  device_->SetName("DovraDevice");
  dialect_ = std::make_unique<TDovraPosPrinterClass>(*this);
  modelo_ = ppTexto;
  alignment_ = paLeft;
  fontState_ = TDovraPosFontState{fkNormal};
  initialized_ = false;
  RegisterVocabulary();
  tags_.SetSimpleTagCallback([this](const std::string& tag) { return TraduzirTag(tag); });
  tags_.SetBlockTagCallback([this](const std::string& tag, const std::string& content) {
    return TraduzirTagBloco(tag, content);
  });
  lineBuffer_.SetOnChange([this] { FlushLineBufferIfFull(); });
}

TDovraPosPrinter::~TDovraPosPrinter() { lineBuffer_.SetOnChange(nullptr); }

void TDovraPosPrinter::SetModelo(TDovraPosPrinterModelo value) {
  if (value == modelo_) return;
  if (Active()) Desativar();
  if (LogEnabled()) {
    const char* name = NameOf(value);
    WriteLogLine(std::string("SetModelo(") +
                     (*name ? std::string(name) : std::to_string(static_cast<int>(value))) + ")",
                 false, true);
  }
  dialect_ = CreateDialect(value, *this);
  modelo_ = value;
}

void TDovraPosPrinter::SetDialect(std::unique_ptr<TDovraPosPrinterClass> dialect) {
  if (dialect) dialect_ = std::move(dialect);
}

int TDovraPosPrinter::CondensedColumns() const {
  return ColumnsForRatio(colunasFonteNormal_, dialect_->ColumnRatios().Condensada);
}

int TDovraPosPrinter::ExpandedColumns() const {
  return ColumnsForRatio(colunasFonteNormal_, dialect_->ColumnRatios().Expandida);
}

int TDovraPosPrinter::ColumnsForCurrentFont() const {
  if (fontState_.Contains(fkCondensed)) return CondensedColumns();
  if (fontState_.Contains(fkExpanded)) return ExpandedColumns();
  return colunasFonteNormal_;
}

void TDovraPosPrinter::Ativar() {
  if (device_->Ativo()) return;
  if (LogEnabled()) {
    const std::string& porta = device_->Porta();
    std::string portLine;
    if (device_->IsFile())
      portLine = "  - Arquivo: " + porta;
    else if (device_->IsHook())
      portLine = "  - DLL....: " + porta;
    else if (device_->IsSerial())
      portLine = "  - Serial.: " + porta + " - " + device_->DeviceToString(false);
    else
      portLine = "  - Porta..: " + porta;
    WriteLogLine(kCrLf + kRule + kCrLf + "ATIVAR - " + LogDateTime() + kCrLf +
                     "  - Modelo.: " + dialect_->ModelName() + kCrLf +
                     "  - TimeOut: " + std::to_string(device_->TimeOut()) + kCrLf + portLine +
                     kCrLf + kRule + kCrLf,
                 false, false);
  }
  device_->Ativar();
  dialect_->Configure();
  initialized_ = false;
}

void TDovraPosPrinter::Desativar() {
  if (LogEnabled())
    WriteLogLine(kCrLf + kRule + kCrLf + "DESATIVAR - " + LogDateTime() + kCrLf + kRule + kCrLf,
                 false, false);
  device_->Desativar();
  initialized_ = false;
}

void TDovraPosPrinter::Imprimir(const std::string& text, bool addLineBreak, bool decodificarTags,
                                bool convertCodePage, int copias) {
  std::string data;
  try {
    if (!controlePorta_ && !device_->Ativo()) throw EPosPrinterException("Não está Ativo");
    if (!device_->Ativo()) Ativar();
    if (verificarImpressora_) {
      const TDovraPosStatusSet status = LerStatusImpressora(1);
      const char* fault = nullptr;
      if (status.Contains(stTampaAberta))
        fault = "com Tampa Aberta";
      else if (status.Contains(stSemPapel))
        fault = "Sem Papel";
      else if (status.Contains(stOffLine))
        fault = "Desligada";
      else if (status.Contains(stErro))
        fault = "em Erro";
      if (fault) throw EPosPrinterException(std::string("Impressora ") + fault);
    }
    const std::string& lineBreak = dialect_->Commands().LineBreak;
    for (const std::string& line : lineBuffer_.Lines()) {
      data += line;
      data += lineBreak;
    }
  } catch (...) {
    lineBuffer_.Clear();
    throw;
  }
  lineBuffer_.Clear();

  // Without buffered lines the caller's text is used in place: a receipt may be megabytes long.
  const std::string* source = &text;
  if (!data.empty()) {
    data += text;
    source = &data;
  }
  if (LogEnabled()) {
    WriteLogLine("Imprimir, Copias:" + std::to_string(copias) +
                     ", DecodificarTags:" + (decodificarTags ? "SIM" : "NAO") +
                     ", TraduzirTags:" + (TraduzirTags() ? "SIM" : "NAO"),
                 false, true);
    WriteLogLine(*source, true, true);
  }
  std::string encoded;
  if (convertCodePage && !CodePageStepKeeps(*source, CodePageNumber(paginaDeCodigo_))) {
    encoded = EncodeForCodePage(*source);
    source = &encoded;
  }
  const std::string lineBreak = dialect_->Commands().LineBreak;
  std::string normalised;
  if (!LineBreaksUnchanged(*source, lineBreak)) {
    normalised = ReplaceLineBreaks(*source, lineBreak);
    source = &normalised;
  }
  std::string out = decodificarTags ? tags_.TranslateText(*source) : *source;
  std::string().swap(normalised);
  std::string().swap(encoded);
  std::string().swap(data);
  if (addLineBreak) out += lineBreak;
  for (int i = 1; i <= copias; ++i) {
    if (i < copias)
      EnviarStringDevice(out);
    else
      EnviarStringDevice(std::move(out));  // the last copy hands its buffer over
  }
}

void TDovraPosPrinter::PrintLine(const std::string& text) { Imprimir(text, true, true, true, 1); }

void TDovraPosPrinter::FlushLineBufferIfFull() {
  if (linhasBuffer_ <= 0 || lineBuffer_.Count() <= static_cast<std::size_t>(linhasBuffer_)) return;
  if (LogEnabled())
    WriteLogLine("Esvaziando Buffer: " + std::to_string(lineBuffer_.Count()) + " linhas", false,
                 true);
  Imprimir(std::string(), false, true, true, 1);
}

std::string TDovraPosPrinter::EncodeForCodePage(const std::string& text) const {
  const int n = CodePageNumber(paginaDeCodigo_);
  if (n != 0) return RecodeBytes(text, n, kSystemCodePage);
  return FoldToAscii(text);
}

void TDovraPosPrinter::EnviarStringDevice(std::string bytes) {
  if (bytes.empty()) return;
  EnsurePortOpen();
  if (!initialized_) {
    const std::string init = dialect_->InitCommand();
    initialized_ = !init.empty() && Contains(bytes, init);
    if (!initialized_ && bytes != dialect_->Commands().Reset) {
      if (LogEnabled()) WriteLogLine("EnviarStringDevice - Inicializando: " + init, true, true);
      bytes.insert(0, init);  // in place: a translated text has room reserved for this
      initialized_ = true;
    }
  }
  bool tratado = false;
  if (onEnviarStringDevice_) onEnviarStringDevice_(bytes, tratado);
  try {
    if (tratado) {
      if (LogEnabled()) WriteLogLine("OnEnviarStringDevice( " + bytes + ")", true, true);
    } else {
      if (LogEnabled()) WriteLogLine("EnviarStringDevice( " + bytes + ")", true, true);
      device_->EnviaString(bytes);
    }
  } catch (...) {
    if (controlePorta_) {
      // The send error is the one to report; a failure while closing must not replace it.
      try {
        EnsurePortClosed();
      } catch (...) {
      }
    }
    throw;
  }
  if (controlePorta_) EnsurePortClosed();
}

void TDovraPosPrinter::SetDeviceActive(bool on) {
  if (on)
    device_->Ativar();
  else
    device_->Desativar();
}

void TDovraPosPrinter::EnsurePortOpen() {
  if (device_->Ativo()) return;
  if (LogEnabled()) WriteLogLine("Ativando a porta: " + device_->Porta(), false, true);
  device_->Ativar();
}

void TDovraPosPrinter::EnsurePortClosed() {
  if (!device_->Ativo()) return;
  if (LogEnabled()) WriteLogLine("Desativando a porta: " + device_->Porta(), false, true);
  device_->Desativar();
  // A serial printer keeps its state while its line is closed; other kinds start afresh.
  if (!device_->IsSerial()) initialized_ = false;
}

void TDovraPosPrinter::WriteLogLine(const std::string& line, bool translateUnprintable,
                                    bool addTimestamp) {
  if (!LogEnabled()) return;
  std::string text = translateUnprintable ? ToBracketNotation(line) : line;
  if (onGravarLog_) {
    bool tratado = false;
    onGravarLog_(text, tratado);
    if (tratado) return;
  }
  if (arqLog_.empty()) return;
  if (addTimestamp) text = "-- " + LogTimestamp() + " - " + text;
  AppendLogText(arqLog_, text, false);
}

}  // namespace dovra
