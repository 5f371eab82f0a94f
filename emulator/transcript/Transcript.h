// A receipt as plain text, one line per printed line:
//
//   {ce}{n}LOJA EXEMPLO{/}          a centred line with a bold run
//   Item 1      {e}10,00{/}         styles: c e a n s in i fb (condensed, expanded, double
//                                   height, bold, underline, inverted, italic, font B)
//   {ad}[BARRAS EAN13 dados=789012345678 largura=2 altura=50 texto=nao]
//   [QRCODE dados=ABC modulo=4 correcao=L]
//   [LOGO kc1=48 kc2=49]            [LOGO n=1] for a logo stored by number
//   [GAVETA 1]  [BIP]  [CORTE TOTAL]  [CORTE PARCIAL]
//   abc[DESCONHECIDO [ESC]x]def     bytes the printer did not understand, in bracket notation
//
// {ce} and {ad} start centred and right-aligned lines and blocks. Page-mode blocks are framed by
// "[MODO PAGINA ...]" and "[FIM MODO PAGINA]"; configuration strings show the settings they
// change as "[CONFIGURACAO 31=1]". Data of barcodes and QR codes is in bracket notation.
#pragma once

#include <string>

#include "emulator/model/Receipt.h"

namespace dovra::emulator {

std::string StyleNotation(const TTextStyle& style);  // "n,e"; empty for the plain style
std::string LineText(const TLine& line);
std::string ElementText(const TElement& element);
// Every element on its own line, each ending in LF.
std::string TranscriptText(const TReceipt& receipt);

}  // namespace dovra::emulator
