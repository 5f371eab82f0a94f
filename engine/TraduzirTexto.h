#pragma once

#include <functional>
#include <string>

#include "engine/DovraPosPrinter.h"

namespace dovra {

// The bytes Imprimir(text, false, true, true, copias) would send to the printer, computed with
// no port opened. The printer is moved to the hook port "DLL" (which has no hooks bound, so it
// opens and closes without touching anything) and its send event takes every byte over; the
// port is opened bare, without the printer's activation, so a dialect that asks the printer
// for its configuration on activation (Daruma) produces what a file port would receive.
//
// Meant for a new printer of the caller's own, configured like the real one: the dialect's
// initialisation command goes in front of the printer's first send only, as on a port just
// opened. Afterwards the printer stays on "DLL", inactive, with its earlier send event back in
// place. An active printer cannot change its port and raises the device's error; errors of
// Imprimir propagate.
std::string TraduzirTexto(TDovraPosPrinter& printer, const std::string& text, int copias = 1);

// The same, handing each send to `sink` as it happens (one call per copy) instead of
// collecting them: a long receipt is then never held twice.
void TraduzirTexto(TDovraPosPrinter& printer, const std::string& text, int copias,
                   const std::function<void(const std::string& bytes)>& sink);

}  // namespace dovra
