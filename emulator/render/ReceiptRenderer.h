// Receipts drawn as a thermal printer puts them on paper: a picture of the paper's width in
// printer dots (12 dots per column of the normal font, 576 for 48 columns), with the text in
// its styles and alignment, barcodes and QR codes encoded from the data the printer received,
// a framed placeholder for each stored logo and a dashed line at each cut.
//
// Needs a Qt GUI application object (QGuiApplication) for its fonts; the text is drawn with
// DejaVu Sans Mono when installed, otherwise with the system's monospace font.
#pragma once

#include <QImage>

#include <string>
#include <vector>

#include "emulator/model/Receipt.h"

namespace dovra::emulator {

inline constexpr int kDotsPerColumn = 12;
// Dots of a normal character cell's height.
inline constexpr int kCellHeight = 24;
// The longest picture drawn; a receipt longer than this is cut short with a note at its end.
inline constexpr int kMaxPictureHeight = 30000;

// The paper's width in dots for `columns` characters of the normal font.
int PaperWidth(int columns);

QImage RenderReceipt(const TReceipt& receipt);
// Several receipts one after the other, as on the roll; blank paper of `columns` when there
// is none.
QImage RenderRoll(const std::vector<TReceipt>& receipts, int columns);

// What the symbol library made of a barcode's or QR code's data: the bars (one dot per
// module times the module width) or, when the data cannot be encoded, the library's message.
struct TSymbolPicture {
  QImage image;
  std::string error;
};
TSymbolPicture DrawBarcode(const TBarcode& barcode, int maxWidth);
TSymbolPicture DrawQrCode(const TQrCode& qr, int maxWidth);

}  // namespace dovra::emulator
