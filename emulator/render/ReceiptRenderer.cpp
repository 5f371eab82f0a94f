#include "emulator/render/ReceiptRenderer.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QString>

#include <zint.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "emulator/model/ReceiptBuilder.h"
#include "util/BracketNotation.h"

namespace dovra::emulator {

namespace {

constexpr const char* kFontFolder = "/usr/share/fonts/truetype/dejavu/";
constexpr int kFontBHeight = 17;      // font B cells are 9 by 17 dots
constexpr int kLineGap = 6;           // dots fed below the tallest cell of a line by default
constexpr int kMargin = 12;           // blank paper above and below a receipt
constexpr int kBlockGap = 6;          // blank paper around barcodes, QR codes and logos
constexpr int kDefaultBarModule = 3;  // what a printer uses before any width command
constexpr int kDefaultBarHeight = 162;
constexpr int kDefaultQrModule = 3;

const QColor kInk(0, 0, 0);
const QColor kPaper(255, 255, 255);
const QColor kNoteInk(120, 120, 120);

// The monospace family, loaded once: DejaVu Sans Mono from its Debian folder, or the system's.
const QString& FontFamily() {
  static const QString family = [] {
    QString name;
    const int id = QFontDatabase::addApplicationFont(QString(kFontFolder) + "DejaVuSansMono.ttf");
    if (id >= 0) {
      const QStringList families = QFontDatabase::applicationFontFamilies(id);
      if (!families.isEmpty()) name = families.first();
      // The drawn variants; without them Qt slants and emboldens the regular face.
      for (const char* file : {"DejaVuSansMono-Bold.ttf", "DejaVuSansMono-Oblique.ttf",
                               "DejaVuSansMono-BoldOblique.ttf"}) {
        QFontDatabase::addApplicationFont(QString(kFontFolder) + file);
      }
    }
    if (name.isEmpty()) name = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    return name;
  }();
  return family;
}

// A font whose ascent plus descent fills `height` dots.
QFont CellFont(int height, bool bold = false, bool italic = false) {
  QFont font(FontFamily());
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(std::max(6, static_cast<int>(std::lround(height / 1.17))));
  font.setBold(bold);
  font.setItalic(italic);
  font.setKerning(false);
  return font;
}

QImage Blank(int width, int height) {
  QImage image(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
  image.fill(kPaper);
  return image;
}

int AlignedX(TAlignment alignment, int paper, int width) {
  switch (alignment) {
    case TAlignment::kCenter: return std::max(0, (paper - width) / 2);
    case TAlignment::kRight: return std::max(0, paper - width);
    case TAlignment::kLeft: break;
  }
  return 0;
}

// ---------------------------------------------------------------------------------------
// Text lines

struct TCell {
  char32_t code;
  double width;  // dots
  int height;    // dots
  int baseHeight;
  TTextStyle style;
  bool unknown;
};

std::vector<TCell> CellsOf(const TLine& line, int condensedWidth) {
  std::vector<TCell> cells;
  for (const TRun& run : line.runs) {
    if (run.unknown) {
      // Bytes the printer did not understand show, small and grey, in bracket notation.
      const QString text = QString::fromStdString(ToBracketNotation(run.text));
      for (char32_t c : text.toUcs4()) cells.push_back({c, 7, 14, 14, TTextStyle{}, true});
      continue;
    }
    const TTextStyle& s = run.style;
    double width = kDotsPerColumn;
    if (s.condensed || s.fontB) width = kDotsPerColumn * condensedWidth / double(TReceiptBuilder::kNormalWidth);
    if (s.expanded) width *= 2;
    const int base = s.fontB ? kFontBHeight : kCellHeight;
    const int height = s.doubleHeight ? 2 * base : base;
    for (char32_t c : QString::fromUtf8(run.text.data(), static_cast<qsizetype>(run.text.size())).toUcs4())
      cells.push_back({c, width, height, base, s, false});
  }
  return cells;
}

void DrawCell(QPainter& p, const TCell& cell, double x, int bottom) {
  const QRectF box(x, bottom - cell.height, cell.width, cell.height);
  const bool inverted = cell.style.inverted && !cell.unknown;
  if (inverted) p.fillRect(box, kInk);
  if (cell.code != U' ') {
    const QFont font = CellFont(cell.baseHeight, cell.style.bold, cell.style.italic);
    const QFontMetricsF metrics(font);
    const double advance = metrics.horizontalAdvance(QChar('0'));
    const double sx = advance > 0 ? cell.width / advance : 1.0;
    const double sy = double(cell.height) / cell.baseHeight;
    p.save();
    p.setFont(font);
    p.setPen(cell.unknown ? kNoteInk : inverted ? kPaper : kInk);
    p.translate(box.left(), box.top());
    p.scale(sx, sy);
    const double baseline =
        (cell.baseHeight - (metrics.ascent() + metrics.descent())) / 2 + metrics.ascent();
    const char32_t code = cell.code;
    p.drawText(QPointF(0, baseline), QString::fromUcs4(&code, 1));
    p.restore();
  }
  if (cell.style.underline && !cell.unknown)
    p.fillRect(QRectF(x, bottom - 2, cell.width, 2), inverted ? kPaper : kInk);
}

QImage LineBand(const TLine& line, int paper, int condensedWidth) {
  const std::vector<TCell> cells = CellsOf(line, condensedWidth);
  int tallest = 0;
  double width = 0;
  for (const TCell& c : cells) {
    tallest = std::max(tallest, c.height);
    width += c.width;
  }
  const int cellRow = std::max(tallest, kCellHeight);
  // A spacing command sets the whole pitch; a line never overlaps its own characters.
  const int pitch = line.lineSpacing >= 0 ? std::max(std::min(line.lineSpacing, 1000), tallest)
                                          : cellRow + kLineGap;
  QImage band = Blank(paper, pitch);
  if (cells.empty()) return band;
  QPainter p(&band);
  p.setRenderHint(QPainter::TextAntialiasing);
  double x = AlignedX(line.alignment, paper, static_cast<int>(std::ceil(width)));
  const int bottom = std::min(pitch, cellRow);
  for (const TCell& c : cells) {
    if (x >= paper) break;
    DrawCell(p, c, x, bottom);
    x += c.width;
  }
  return band;
}

// ---------------------------------------------------------------------------------------
// Notes, frames and cuts

// A framed box as wide as the paper allows with `text` wrapped inside.
QImage FramedText(const QString& text, int width, int fontHeight) {
  const QFont font = CellFont(fontHeight);
  const int inner = std::max(1, width - 12);
  const QRect bounds = QFontMetrics(font).boundingRect(
      QRect(0, 0, inner, 100000), Qt::TextWordWrap | Qt::TextWrapAnywhere, text);
  QImage box = Blank(width, bounds.height() + 12);
  QPainter p(&box);
  p.setPen(QPen(kInk, 2));
  p.drawRect(QRect(1, 1, box.width() - 2, box.height() - 2));
  p.setFont(font);
  p.drawText(QRect(6, 6, inner, bounds.height()), Qt::TextWordWrap | Qt::TextWrapAnywhere, text);
  return box;
}

QImage WithGap(const QImage& picture, TAlignment alignment, int paper) {
  QImage band = Blank(paper, picture.height() + 2 * kBlockGap);
  QPainter p(&band);
  p.drawImage(AlignedX(alignment, paper, picture.width()), kBlockGap, picture);
  return band;
}

QImage NoteBand(const QString& text, int paper) {
  QImage band = Blank(paper, 18);
  QPainter p(&band);
  QFont font = CellFont(14);
  font.setItalic(true);
  p.setFont(font);
  p.setPen(kNoteInk);
  p.drawText(QRect(0, 0, paper - 4, 18), Qt::AlignRight | Qt::AlignVCenter, text);
  return band;
}

// A dashed line across the paper with the kind of cut written small in its middle.
QImage CutBand(bool partial, int paper) {
  QImage band = Blank(paper, 20);
  QPainter p(&band);
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont font = CellFont(14);
  font.setItalic(true);
  const QString label = partial ? "corte parcial" : "corte total";
  const int labelWidth = QFontMetrics(font).horizontalAdvance(label) + 12;
  const int middle = paper / 2;
  QPen pen(kInk, 2);
  pen.setDashPattern({4, 3});
  p.setPen(pen);
  if (labelWidth < paper - 24) {
    p.drawLine(0, 10, middle - labelWidth / 2, 10);
    p.drawLine(middle + labelWidth / 2, 10, paper, 10);
    p.setFont(font);
    p.setPen(kNoteInk);
    p.drawText(QRect(middle - labelWidth / 2, 0, labelWidth, 20), Qt::AlignCenter, label);
  } else {
    p.drawLine(0, 10, paper, 10);
  }
  return band;
}

QImage LogoBand(const TLogo& logo, int paper) {
  const int width = std::min(paper, 144 * std::clamp(logo.scaleX, 1, 4));
  const int height = 48 * std::clamp(logo.scaleY, 1, 4);
  QImage box = Blank(width, height);
  {
    QPainter p(&box);
    QPen pen(kInk, 2);
    pen.setDashPattern({3, 2});
    p.setPen(pen);
    p.drawRect(QRect(1, 1, width - 2, height - 2));
    QString label = "LOGOTIPO";
    if (logo.select == TLogo::TSelect::kKeyCodes)
      label += QString("\nkc1=%1 kc2=%2").arg(logo.keyCode1).arg(logo.keyCode2);
    else if (logo.select == TLogo::TSelect::kNumber)
      label += QString("\nn=%1").arg(logo.number);
    p.setFont(CellFont(17));
    p.drawText(QRect(2, 2, width - 4, height - 4), Qt::AlignCenter | Qt::TextWrapAnywhere, label);
  }
  return WithGap(box, logo.alignment, paper);
}

// ---------------------------------------------------------------------------------------
// Symbols

int ZintSymbology(const std::string& name) {
  struct TName {
    const char* name;
    int symbology;
  };
  static const TName kNames[] = {
      {"EAN13", BARCODE_EANX},         {"EAN8", BARCODE_EANX},
      {"UPCA", BARCODE_UPCA},          {"UPCE", BARCODE_UPCE},
      {"CODE39", BARCODE_CODE39},      {"CODE93", BARCODE_CODE93},
      {"CODE128", BARCODE_CODE128},    {"CODE11", BARCODE_CODE11},
      {"INTER", BARCODE_C25INTER},     {"STD", BARCODE_C25STANDARD},
      {"CODABAR", BARCODE_CODABAR},    {"MSI", BARCODE_MSI_PLESSEY},
  };
  for (const TName& n : kNames)
    if (name == n.name) return n.symbology;
  return 0;
}

struct TZintSymbol {
  TZintSymbol() : s(ZBarcode_Create()) {}
  ~TZintSymbol() {
    if (s) ZBarcode_Delete(s);
  }
  TZintSymbol(const TZintSymbol&) = delete;
  TZintSymbol& operator=(const TZintSymbol&) = delete;
  zint_symbol* s;
};

struct TSymbolRequest {
  int symbology = 0;
  int option1 = -1;
  int module = 1;      // dots per module
  int height = 0;      // dots of the bars (linear symbols)
  bool text = false;   // human-readable text under the bars
};

// One encoding at the given module width: the picture, or the library's message.
TSymbolPicture Encode(const TSymbolRequest& r, const std::string& data) {
  TZintSymbol z;
  if (!z.s) return {{}, "sem memória para o símbolo"};
  zint_symbol* s = z.s;
  s->symbology = r.symbology;
  s->input_mode = DATA_MODE;
  s->option_1 = r.option1;
  s->show_hrt = r.text ? 1 : 0;
  s->whitespace_width = 0;
  s->whitespace_height = 0;
  s->border_width = 0;
  s->scale = r.module / 2.0f;  // the raster output draws two pixels per module at scale 1
  if (r.height > 0) s->height = static_cast<float>(r.height) / r.module;
  const int rc = ZBarcode_Encode_and_Buffer(
      s, reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()), 0);
  if (rc >= ZINT_ERROR) return {{}, s->errtxt[0] ? s->errtxt : "dados inválidos"};
  if (!s->bitmap || s->bitmap_width <= 0 || s->bitmap_height <= 0)
    return {{}, "o símbolo não pôde ser desenhado"};
  QImage image(s->bitmap_width, s->bitmap_height, QImage::Format_RGB888);
  const std::size_t row = static_cast<std::size_t>(s->bitmap_width) * 3;
  for (int y = 0; y < s->bitmap_height; ++y)
    std::memcpy(image.scanLine(y), s->bitmap + row * static_cast<std::size_t>(y), row);
  return {image.convertToFormat(QImage::Format_RGB32), {}};
}

// The widest module, up to the one asked for, that keeps the symbol within `maxWidth`; a
// symbol too wide even with one dot per module is shrunk to fit.
TSymbolPicture EncodeToFit(TSymbolRequest r, const std::string& data, int maxWidth) {
  if (data.empty()) return {{}, "sem dados"};
  TSymbolRequest narrowest = r;
  narrowest.module = 1;
  TSymbolPicture picture = Encode(narrowest, data);
  if (!picture.error.empty()) return picture;
  r.module = std::clamp(r.module, 1, std::max(1, maxWidth / std::max(1, picture.image.width())));
  if (r.module > 1) {
    picture = Encode(r, data);
    // Text under the bars may make the picture a little wider than its bars.
    while (picture.error.empty() && picture.image.width() > maxWidth && r.module > 1) {
      --r.module;
      picture = Encode(r, data);
    }
  }
  if (picture.error.empty() && picture.image.width() > maxWidth)
    picture.image = picture.image.scaled(maxWidth, picture.image.height());
  return picture;
}

QImage SymbolBand(const TSymbolPicture& picture, TAlignment alignment, const QString& what,
                  const std::string& data, int paper) {
  if (!picture.error.empty()) {
    const QString text = what + "\n" + QString::fromStdString(ToBracketNotation(data)).left(600) +
                         "\n" + QString::fromUtf8(picture.error.c_str());
    return WithGap(FramedText(text, paper, 14), TAlignment::kLeft, paper);
  }
  return WithGap(picture.image, alignment, paper);
}

// ---------------------------------------------------------------------------------------

QImage PageBand(const TPageModeBlock& page, int paper, int condensedWidth) {
  const int width = page.width > 0 ? std::min(page.width, paper) : paper;
  std::vector<QImage> lines;
  int height = 0;
  for (const TLine& line : page.lines) {
    lines.push_back(LineBand(line, width, condensedWidth));
    height += lines.back().height();
    if (height > kMaxPictureHeight) break;
  }
  QImage block = Blank(width, height);
  {
    QPainter p(&block);
    int y = 0;
    for (const QImage& l : lines) {
      p.drawImage(0, y, l);
      y += l.height();
    }
  }
  // 1 bottom to top, 2 right to left, 3 top to bottom.
  static const int kAngle[] = {0, 270, 180, 90};
  if (page.direction >= 1 && page.direction <= 3)
    block = block.transformed(QTransform().rotate(kAngle[page.direction]));
  QImage band = Blank(paper, block.height());
  QPainter p(&band);
  p.drawImage(std::clamp(page.x, 0, std::max(0, paper - block.width())), 0, block);
  return band;
}

struct TBands {
  int paper;
  int condensedWidth;
  std::vector<QImage>& out;

  void operator()(const TLine& line) const { out.push_back(LineBand(line, paper, condensedWidth)); }
  void operator()(const TBarcode& b) const { out.push_back(RenderBarcodeBand(b)); }
  void operator()(const TQrCode& q) const {
    out.push_back(SymbolBand(DrawQrCode(q, paper), q.alignment, "QRCODE", q.data, paper));
  }
  void operator()(const TLogo& logo) const { out.push_back(LogoBand(logo, paper)); }
  void operator()(const TCut& cut) const { out.push_back(CutBand(cut.partial, paper)); }
  void operator()(const TDrawerPulse& g) const {
    out.push_back(NoteBand(QString("[GAVETA %1]").arg(g.drawer), paper));
  }
  void operator()(const TBeep&) const { out.push_back(NoteBand("[BIP]", paper)); }
  void operator()(const TPageModeBlock& page) const {
    // A page left without being printed never reaches the paper.
    if (page.printed) out.push_back(PageBand(page, paper, condensedWidth));
  }
  void operator()(const TConfiguration&) const {}

  QImage RenderBarcodeBand(const TBarcode& b) const {
    return SymbolBand(DrawBarcode(b, paper), b.alignment,
                      QString::fromStdString("BARRAS " + b.symbology), b.data, paper);
  }
};

QImage Stack(const std::vector<QImage>& bands, int paper) {
  int height = 0;
  for (const QImage& b : bands) height += b.height();
  QImage picture = Blank(paper, height);
  QPainter p(&picture);
  int y = 0;
  for (const QImage& b : bands) {
    p.drawImage(0, y, b);
    y += b.height();
  }
  return picture;
}

}  // namespace

int PaperWidth(int columns) { return std::clamp(columns, 1, 1000) * kDotsPerColumn; }

TSymbolPicture DrawBarcode(const TBarcode& b, int maxWidth) {
  TSymbolRequest r;
  r.symbology = ZintSymbology(b.symbology);
  if (!r.symbology) return {{}, "simbologia desconhecida: " + b.symbology};
  r.module = b.width > 0 ? b.width : kDefaultBarModule;
  r.height = std::min(b.height > 0 ? b.height : kDefaultBarHeight, 1000);
  r.text = b.hri;
  return EncodeToFit(r, b.data, maxWidth);
}

TSymbolPicture DrawQrCode(const TQrCode& q, int maxWidth) {
  TSymbolRequest r;
  r.symbology = BARCODE_QRCODE;
  static constexpr char kLevels[] = "LMQH";
  const char* level = q.errorLevel ? std::strchr(kLevels, q.errorLevel) : nullptr;
  r.option1 = level ? static_cast<int>(level - kLevels) + 1 : 1;
  r.module = q.moduleSize > 0 ? q.moduleSize : kDefaultQrModule;
  return EncodeToFit(r, q.data, maxWidth);
}

QImage RenderReceipt(const TReceipt& receipt) {
  const int paper = PaperWidth(receipt.columns);
  std::vector<QImage> bands;
  bands.push_back(Blank(paper, kMargin));
  int height = kMargin;
  const TBands draw{paper, receipt.condensedWidth > 0 ? receipt.condensedWidth
                                                      : TReceiptBuilder::kCondensedWidth,
                    bands};
  for (const TElement& element : receipt.elements) {
    const std::size_t before = bands.size();
    std::visit(draw, element);
    if (bands.size() > before) height += bands.back().height();
    if (height > kMaxPictureHeight) {
      bands.push_back(NoteBand(QString::fromUtf8("[cupom longo demais: o restante não foi desenhado]"), paper));
      break;
    }
  }
  bands.push_back(Blank(paper, kMargin));
  return Stack(bands, paper).convertToFormat(QImage::Format_Grayscale8);
}

QImage RenderRoll(const std::vector<TReceipt>& receipts, int columns) {
  const int paper = receipts.empty() ? PaperWidth(columns) : PaperWidth(receipts.front().columns);
  std::vector<QImage> bands;
  int height = 0;
  for (const TReceipt& r : receipts) {
    bands.push_back(RenderReceipt(r).convertToFormat(QImage::Format_RGB32));
    height += bands.back().height();
    if (height > kMaxPictureHeight) break;
  }
  if (bands.empty()) bands.push_back(Blank(paper, 4 * kCellHeight));
  return Stack(bands, paper).convertToFormat(QImage::Format_Grayscale8);
}

}  // namespace dovra::emulator
