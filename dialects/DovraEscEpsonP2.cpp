#include "dialects/DovraEscEpsonP2.h"

#include "dialects/CommandTable.h"

namespace dovra {

namespace {

// Fields without a row (beep, alignment, cuts, double height, inversion, page mode) stay
// empty: ESC/P2 printers have no such commands.
constexpr TCommandTableRow kEscP2Commands[] = {
    {&TDovraPosComandos::DefaultLineSpacing, "1B 32"},
    {&TDovraPosComandos::NormalFont, "0F"},
    {&TDovraPosComandos::CondensedOn, "0F"},
    // ESC 3 n: n/180-inch spacing; the base line-spacing command appends n.
    {&TDovraPosComandos::LineSpacing, "1B 33"},
    {&TDovraPosComandos::ExpandedOn, "1B 57 31"},
    {&TDovraPosComandos::CondensedOff, "12"},
    {&TDovraPosComandos::ExpandedOff, "1B 57 30"},
    {&TDovraPosComandos::ItalicOff, "1B 35"},
    {&TDovraPosComandos::BoldOff, "1B 48"},
    {&TDovraPosComandos::UnderlineOff, "1B 2D 00"},
    {&TDovraPosComandos::FontA, "12"},
    {&TDovraPosComandos::FontB, "0F"},
    {&TDovraPosComandos::ItalicOn, "1B 34"},
    {&TDovraPosComandos::BoldOn, "1B 47"},
    {&TDovraPosComandos::UnderlineOn, "1B 2D 01"},
    {&TDovraPosComandos::LineBreak, "0A"},
    {&TDovraPosComandos::Reset, "1B 40 0F"},
};

}  // namespace

TDovraEscEpsonP2::TDovraEscEpsonP2(TDovraPosPrinter& printer) : TDovraPosPrinterClass(printer) {
  modelName_ = "EscEpsonP2";
  ApplyCommandTable(commands_, kEscP2Commands);
}

}  // namespace dovra
