// Shared by the dialect tests: bytes in the hexadecimal form the expectations are written in,
// a printer set to one dialect, and that printer talking to a fake printer or to a FILE: port.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/DovraPosPrinter.h"
#include "tests/support/FakePrinter.h"
#include "tests/support/TempFolder.h"
#include "util/Bytes.h"

namespace dovra::testing {

// "1B 40" for the bytes 1B 40: expectations are written in this form.
inline std::string AsHex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += kDigits[c >> 4];
    out += kDigits[c & 0x0F];
  }
  return out;
}

// Hand-written hexadecimal in the form AsHex prints ("1b40" gives "1B 40").
inline std::string H(std::string_view hex) { return AsHex(Hex(hex)); }

// One field of a command table and its bytes written by hand in hexadecimal.
struct TCommandRow {
  std::string TDovraPosComandos::*field;
  const char* name;
  const char* hex;
};

inline void ExpectCommandTable(const TDovraPosComandos& commands,
                               const std::vector<TCommandRow>& rows) {
  for (const TCommandRow& row : rows) EXPECT_EQ(AsHex(commands.*row.field), H(row.hex)) << row.name;
}

// A printer set to one dialect.
class DialectTest : public ::testing::Test {
 protected:
  explicit DialectTest(TDovraPosPrinterModelo modelo) { printer.SetModelo(modelo); }
  TDovraPosPrinterClass& Dialect() { return printer.Dialect(); }

  TDovraPosPrinter printer;
};

// The printer on the far side of a pseudo-terminal: Open() points its port at a fake printer
// and opens it.
template <class Fixture>
class OnFakePrinter : public Fixture {
 protected:
  void Open(TFakePrinter& fake) {
    if (this->printer.Active()) this->printer.SetDeviceActive(false);
    this->printer.SetPorta(fake.Porta());
    this->printer.SetDeviceActive(true);
  }
  void TearDown() override {
    if (this->printer.Active()) this->printer.SetDeviceActive(false);
  }
  TDovraPosStatusSet ReadStatus() {
    TDovraPosStatusSet status;
    this->Dialect().ReadStatus(status);
    return status;
  }
};

// The printer on a FILE: port in a fresh folder; Output() reads back what was sent.
template <class Fixture>
class OnFilePort : public Fixture {
 protected:
  OnFilePort() { this->printer.SetPorta("FILE:" + file); }
  void TearDown() override {
    if (this->printer.Active()) this->printer.Desativar();
  }
  std::string Output() const { return ReadFile(file); }

  TempFolder folder;
  const std::string file = folder.File("cupom.prn");
};

}  // namespace dovra::testing
