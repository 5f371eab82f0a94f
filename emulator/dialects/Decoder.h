#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "emulator/dialects/CommandTable.h"
#include "emulator/dialects/Query.h"
#include "emulator/model/ReceiptBuilder.h"

namespace dovra::emulator {

// What the commands of a dialect set and later commands read. Back to these values on reset.
struct TPrinterSettings {
  TTextStyle style;
  int codePage = 850;
  int barWidth = 3;
  int barHeight = 162;
  bool barHri = false;
  int qrModel = 2;
  int qrModuleSize = 3;
  char qrErrorLevel = 'L';
  std::string qrData;
};

// Turns a printer byte stream into receipt events by a dialect's command table. Bytes may arrive
// in any pieces: a command cut between two pieces waits for the rest. Printable bytes are text in
// the current code page; a control byte or command the table does not know becomes an unknown
// run (an ESC, GS, FS or DLE with the byte after it), so nothing is silently dropped.
class TDecoder {
 public:
  using TQueryHandler = std::function<void(const TQuery&)>;

  // `codePage`: the power-on code page (437, 850, 852, 860, 1252 or 65001).
  TDecoder(TCommandTable table, int codePage, TReceiptBuilder& out, TQueryHandler onQuery);

  void Feed(std::string_view bytes);
  // The connection ended: an incomplete command is reported as unknown bytes and the receipt in
  // progress is handed over. The printer keeps its settings for the next connection.
  void Finish();

  // For the command handlers.
  TReceiptBuilder& Out() { return out_; }
  TPrinterSettings& Settings() { return settings_; }
  void Ask(TQuery query);
  void Unknown(std::string_view bytes) { out_.Unknown(bytes); }
  // Power-on state: settings, alignment, line spacing and page mode; pending text is printed.
  void Reset();
  int PowerOnCodePage() const { return powerOnCodePage_; }

 private:
  // Handles one command or text span at the start of the buffer; false when it must wait for
  // more bytes.
  bool Step(bool finishing);
  bool StepText(bool finishing);

  TCommandTable table_;
  int powerOnCodePage_;
  TReceiptBuilder& out_;
  TQueryHandler onQuery_;
  TPrinterSettings settings_;
  std::string buffer_;
};

// The control bytes that take the next byte with them when reported unknown.
bool IsCommandPrefix(unsigned char b);

}  // namespace dovra::emulator
