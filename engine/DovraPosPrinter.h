#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/DovraDevice.h"
#include "dialects/DovraPosPrinterClass.h"
#include "engine/DovraPosConfig.h"
#include "engine/DovraPosTypes.h"
#include "engine/DovraTagProcessor.h"
#include "util/DovraComponent.h"
#include "util/DovraErrors.h"
#include "util/StringList.h"

namespace dovra {

// Log and send event: the line (or bytes) and a flag the handler sets to take it over.
using TDovraGravarLog = std::function<void(const std::string& aLogLine, bool& tratado)>;

// The printer: holds every print setting, owns the device, the current dialect and the tag
// processor, translates tagged text and drives printing, status and identification reading.
// Texts are byte strings; text from users is UTF-8 and is converted to the printer's code
// page by the code-page step of Imprimir.
class TDovraPosPrinter : public TDovraComponent {
 public:
  explicit TDovraPosPrinter(TDovraComponent* owner = nullptr);
  ~TDovraPosPrinter() override;

  // Settings.
  TDovraPosPrinterModelo Modelo() const { return modelo_; }
  void SetModelo(TDovraPosPrinterModelo value);
  std::string Porta() const { return device_->Porta(); }
  void SetPorta(const std::string& value) { device_->SetPorta(value); }
  TDovraDevice& Device() { return *device_; }
  const TDovraDevice& Device() const { return *device_; }
  TDovraPosPaginaCodigo PaginaDeCodigo() const { return paginaDeCodigo_; }
  void SetPaginaDeCodigo(TDovraPosPaginaCodigo value) { paginaDeCodigo_ = value; }
  int ColunasFonteNormal() const { return colunasFonteNormal_; }
  void SetColunasFonteNormal(int value) { colunasFonteNormal_ = value; }
  std::uint8_t EspacoEntreLinhas() const { return espacoEntreLinhas_; }
  void SetEspacoEntreLinhas(std::uint8_t value) { espacoEntreLinhas_ = value; }
  TDovraECFConfigBarras& ConfigBarras() { return configBarras_; }
  TDovraConfigQRCode& ConfigQRCode() { return configQRCode_; }
  TDovraConfigLogo& ConfigLogo() { return configLogo_; }
  TDovraConfigGaveta& ConfigGaveta() { return configGaveta_; }
  TDovraConfigModoPagina& ConfigModoPagina() { return configModoPagina_; }
  int LinhasEntreCupons() const { return linhasEntreCupons_; }
  void SetLinhasEntreCupons(int value) { linhasEntreCupons_ = value; }
  bool CortaPapel() const { return cortaPapel_; }
  void SetCortaPapel(bool value) { cortaPapel_ = value; }
  bool TraduzirTags() const { return tags_.TraduzirTags(); }
  void SetTraduzirTags(bool value) { tags_.SetTraduzirTags(value); }
  bool IgnorarTags() const { return tags_.IgnorarTags(); }
  void SetIgnorarTags(bool value) { tags_.SetIgnorarTags(value); }
  int LinhasBuffer() const { return linhasBuffer_; }
  void SetLinhasBuffer(int value) { linhasBuffer_ = value; }
  bool ControlePorta() const { return controlePorta_; }
  void SetControlePorta(bool value) { controlePorta_ = value; }
  bool VerificarImpressora() const { return verificarImpressora_; }
  void SetVerificarImpressora(bool value) { verificarImpressora_ = value; }
  const TDovraGravarLog& OnGravarLog() const { return onGravarLog_; }
  void SetOnGravarLog(TDovraGravarLog handler) { onGravarLog_ = std::move(handler); }
  const std::string& ArqLOG() const { return arqLog_; }
  void SetArqLOG(const std::string& value) { arqLog_ = value; }
  const TDovraGravarLog& OnEnviarStringDevice() const { return onEnviarStringDevice_; }
  void SetOnEnviarStringDevice(TDovraGravarLog handler) { onEnviarStringDevice_ = std::move(handler); }

  // State.
  bool Active() const { return device_->Ativo(); }
  TDovraStringList& LineBuffer() { return lineBuffer_; }
  TDovraPosFontState FontState() const { return fontState_; }
  TDovraPosAlignment Alignment() const { return alignment_; }
  bool Initialized() const { return initialized_; }
  TDovraPosPrinterClass& Dialect() { return *dialect_; }
  // Puts a dialect of the caller's own in place of the current one; Modelo is kept.
  // For tests and embedders with a printer language of their own.
  void SetDialect(std::unique_ptr<TDovraPosPrinterClass> dialect);
  TDovraTagProcessor& TagProcessor() { return tags_; }
  int ColumnsForCurrentFont() const;
  int CondensedColumns() const;
  int ExpandedColumns() const;

  // Operations.
  void Ativar();
  void Desativar();
  void Imprimir(const std::string& text, bool addLineBreak = false, bool decodificarTags = true,
                bool convertCodePage = true, int copias = 1);
  void PrintLine(const std::string& text);
  void EnviarStringDevice(std::string bytes);
  void SetDeviceActive(bool on);
  void ListTags(std::vector<std::string>& list, bool withHelp) const;
  void PrintTagList();
  TDovraPosStatusSet LerStatusImpressora(int tries = 1);
  std::string LerInfoImpressora();
  std::string SendAndReceive(const std::string& cmd, std::uint8_t bytesToRead, int timeOutMs,
                             bool waitForTerminator);

  // The tag processor's two callbacks and the code-page step (public for the dialects' tests).
  std::string TraduzirTag(const std::string& tag);
  std::string TraduzirTagBloco(const std::string& tag, const std::string& content);
  std::string EncodeForCodePage(const std::string& text) const;

  // True when a log line would reach anyone (a handler or the log file); callers skip
  // building lines nobody receives.
  bool LogEnabled() const { return static_cast<bool>(onGravarLog_) || !arqLog_.empty(); }
  void WriteLogLine(const std::string& line, bool translateUnprintable, bool addTimestamp);

 private:
  void EnsurePortOpen();
  void EnsurePortClosed();
  void FlushLineBufferIfFull();
  void RegisterVocabulary();

  std::unique_ptr<TDovraDevice> device_;
  std::unique_ptr<TDovraPosPrinterClass> dialect_;
  TDovraPosPrinterModelo modelo_ = ppTexto;
  TDovraPosAlignment alignment_ = paLeft;
  TDovraPosFontState fontState_{fkNormal};
  bool initialized_ = false;
  TDovraECFConfigBarras configBarras_;
  TDovraConfigQRCode configQRCode_;
  TDovraConfigLogo configLogo_;
  TDovraConfigGaveta configGaveta_;
  TDovraConfigModoPagina configModoPagina_;
  TDovraTagProcessor tags_;
  TDovraStringList lineBuffer_;
  int colunasFonteNormal_ = 48;
  TDovraPosPaginaCodigo paginaDeCodigo_ = pc850;
  std::uint8_t espacoEntreLinhas_ = 0;
  bool controlePorta_ = false;
  bool cortaPapel_ = true;
  bool verificarImpressora_ = false;
  std::string arqLog_;
  int linhasEntreCupons_ = 21;
  int linhasBuffer_ = 0;
  TDovraGravarLog onGravarLog_;
  TDovraGravarLog onEnviarStringDevice_;
};

}  // namespace dovra
