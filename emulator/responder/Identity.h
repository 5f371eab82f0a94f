#pragma once

#include <string>

namespace dovra::emulator {

// The identification the virtual printer gives when asked. Each dialect sends the values in its
// own form (fixed widths are padded with blanks or cut).
struct TIdentity {
  std::string fabricante = "Morvantis";
  std::string modelo = "PDVVIRTUAL";
  std::string firmware = "1.0";
  std::string serial = "VIRT000001";
  bool guilhotina = true;
  int colunas = 48;
  // Daruma: the model number (20000 or less selects the narrow condensed font) and the code page
  // digit of its settings reply.
  std::string modeloNumero = "700";
  char paginaCodigo = '2';
};

}  // namespace dovra::emulator
