// Receipts drawn as pictures: paper width, text styles and alignment, barcodes and QR codes
// from the symbol library (and the box that replaces data it refuses), logos, cuts, and the
// PNG files next to the transcripts.
#include <gtest/gtest.h>

#include <QImage>

#include <stdexcept>
#include <string>
#include <vector>

#include "emulator/render/PrintPreview.h"
#include "emulator/render/ReceiptPng.h"
#include "emulator/render/ReceiptRenderer.h"
#include "tests/support/TempFolder.h"

namespace dovra::emulator {
namespace {

bool Dark(const QImage& p, int x, int y) { return qGray(p.pixel(x, y)) < 128; }

// The smallest rectangle holding every dark pixel (null when there is none).
QRect InkBox(const QImage& p) {
  QRect box;
  for (int y = 0; y < p.height(); ++y)
    for (int x = 0; x < p.width(); ++x)
      if (Dark(p, x, y)) box |= QRect(x, y, 1, 1);
  return box;
}

int Ink(const QImage& p) {
  int n = 0;
  for (int y = 0; y < p.height(); ++y)
    for (int x = 0; x < p.width(); ++x) n += Dark(p, x, y);
  return n;
}

TReceipt ReceiptOf(std::vector<TElement> elements, int columns = 48) {
  TReceipt r;
  r.number = 1;
  r.columns = columns;
  r.elements = std::move(elements);
  return r;
}

TLine Line(const std::string& text, TTextStyle style = {}, TAlignment a = TAlignment::kLeft) {
  TLine line;
  line.alignment = a;
  line.runs.push_back(TRun{text, style, false});
  return line;
}

TEST(ReceiptPicture, PaperWidthFollowsTheColumns) {
  for (int columns : {48, 42, 32, 56}) {
    SCOPED_TRACE(columns);
    const QImage p = RenderReceipt(ReceiptOf({Line("abc"), TCut{}}, columns));
    EXPECT_EQ(p.width(), 12 * columns);
    EXPECT_FALSE(InkBox(p).isNull());
  }
  // Nothing to print still gives paper of the width.
  const QImage blank = RenderRoll({}, 40);
  EXPECT_EQ(blank.width(), 480);
  EXPECT_GT(blank.height(), 0);
  EXPECT_TRUE(InkBox(blank).isNull());
}

TEST(ReceiptPicture, TextStylesChangeTheCellsTheyDraw) {
  const QRect normal = InkBox(RenderReceipt(ReceiptOf({Line("MMMMMMMMMM")})));
  ASSERT_FALSE(normal.isNull());
  // Ten characters of 12 dots.
  EXPECT_NEAR(normal.width(), 120, 6);

  struct Case {
    const char* name;
    TTextStyle style;
    double widthRatio;   // of the ink box, to the normal one's
    double heightRatio;
  };
  TTextStyle expanded, condensed, tall, fontB;
  expanded.expanded = true;
  condensed.condensed = true;
  tall.doubleHeight = true;
  fontB.fontB = true;
  const std::vector<Case> cases = {
      {"expandido", expanded, 2.0, 1.0},
      {"condensado", condensed, 0.75, 1.0},
      {"altura dupla", tall, 1.0, 2.0},
      {"fonte B", fontB, 0.75, 17.0 / 24},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QRect box = InkBox(RenderReceipt(ReceiptOf({Line("MMMMMMMMMM", c.style)})));
    EXPECT_NEAR(double(box.width()) / normal.width(), c.widthRatio, 0.1);
    EXPECT_NEAR(double(box.height()) / normal.height(), c.heightRatio, 0.15);
  }

  // Inverted text is light on a dark cell; underlined text has a rule under it; bold is darker.
  TTextStyle inverted, underline, bold;
  inverted.inverted = true;
  underline.underline = true;
  bold.bold = true;
  const int plainInk = Ink(RenderReceipt(ReceiptOf({Line("MMMMMMMMMM")})));
  const QImage invertedLine = RenderReceipt(ReceiptOf({Line("MMMMMMMMMM", inverted)}));
  EXPECT_GT(Ink(invertedLine), 2 * plainInk);
  EXPECT_GE(InkBox(invertedLine).height(), 24);
  EXPECT_GT(Ink(RenderReceipt(ReceiptOf({Line("MMMMMMMMMM", bold)}))), plainInk * 11 / 10);
  const QImage underlined = RenderReceipt(ReceiptOf({Line("          ", underline)}));
  const QRect rule = InkBox(underlined);
  EXPECT_NEAR(rule.width(), 120, 2);
  EXPECT_LE(rule.height(), 3);
}

TEST(ReceiptPicture, AlignmentPlacesTheLine) {
  struct Case {
    TAlignment alignment;
    int expectedLeft;  // of a 4-character line on 576 dots
  };
  for (const Case& c : std::vector<Case>{{TAlignment::kLeft, 0},
                                         {TAlignment::kCenter, (576 - 48) / 2},
                                         {TAlignment::kRight, 576 - 48}}) {
    const QRect box = InkBox(RenderReceipt(ReceiptOf({Line("MMMM", {}, c.alignment)})));
    EXPECT_NEAR(box.left(), c.expectedLeft, 3) << static_cast<int>(c.alignment);
  }
}

TEST(SymbolPictures, EverySymbologyOfTheDecodersIsDrawnFromItsData) {
  struct Case {
    const char* symbology;
    const char* data;
  };
  const std::vector<Case> cases = {
      {"EAN13", "123456789012"}, {"EAN8", "1234567"},      {"UPCA", "12345678901"},
      {"UPCE", "0123456"},       {"CODE39", "ABCDE12345"}, {"CODE93", "ABC123abc"},
      {"CODE128", "$-=+ABC123abc"}, {"CODE11", "1234567890"}, {"INTER", "1234567890"},
      {"STD", "1234567890"},     {"CODABAR", "A123456789012345A"}, {"MSI", "1234567890"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.symbology);
    TBarcode b;
    b.symbology = c.symbology;
    b.data = c.data;
    b.width = 2;
    b.height = 50;
    const TSymbolPicture p = DrawBarcode(b, 576);
    EXPECT_EQ(p.error, "");
    ASSERT_FALSE(p.image.isNull());
    EXPECT_LE(p.image.width(), 576);
    EXPECT_GE(p.image.height(), 50);
  }

  // The module width is the narrowest bar's width in dots; the bars are as tall as told.
  TBarcode ean;
  ean.symbology = "EAN13";
  ean.data = "789012345678";
  ean.height = 60;
  ean.width = 1;
  const QImage one = DrawBarcode(ean, 576).image;
  EXPECT_GE(one.width(), 95);  // EAN-13 has 95 modules, quiet zones aside
  EXPECT_EQ(InkBox(one).height(), 60 + 5);  // the guard bars reach 5 modules lower
  for (int module : {2, 3}) {
    ean.width = module;
    const QImage p = DrawBarcode(ean, 576).image;
    EXPECT_EQ(p.width(), module * one.width()) << module;
    EXPECT_EQ(InkBox(p).height(), 60 + 5 * module) << module;
  }
  // A module too wide for the paper narrows until the bars fit.
  ean.width = 40;
  const int fitted = DrawBarcode(ean, 576).image.width();
  EXPECT_LE(fitted, 576);
  EXPECT_EQ(fitted % one.width(), 0);
  EXPECT_GT(fitted, 576 - one.width());
}

TEST(SymbolPictures, QrCodeModulesAndLimits) {
  TQrCode qr;
  qr.data = "ABC";
  qr.moduleSize = 4;
  // Version 1 is 21 modules square.
  QImage p = DrawQrCode(qr, 576).image;
  EXPECT_EQ(p.width(), 84);
  EXPECT_EQ(p.height(), 84);
  // A higher error-correction level needs a larger symbol for the same data.
  qr.data = std::string(40, 'x');
  qr.errorLevel = 'L';
  const int low = DrawQrCode(qr, 576).image.width();
  qr.errorLevel = 'H';
  EXPECT_GT(DrawQrCode(qr, 576).image.width(), low);
  // The module the printer was told is kept within the paper.
  qr.moduleSize = 255;
  EXPECT_LE(DrawQrCode(qr, 576).image.width(), 576);
}

TEST(SymbolPictures, DataTheLibraryRefusesBecomesAFramedMessage) {
  TBarcode letters;
  letters.symbology = "EAN13";
  letters.data = "ABC";
  TBarcode unknown;
  unknown.symbology = "PHARMA99";
  unknown.data = "123";
  TBarcode empty;
  empty.symbology = "CODE39";
  TQrCode tooLong;
  tooLong.data = std::string(8000, 'x');
  EXPECT_NE(DrawBarcode(letters, 576).error, "");
  EXPECT_NE(DrawBarcode(unknown, 576).error, "");
  EXPECT_NE(DrawBarcode(empty, 576).error, "");
  EXPECT_NE(DrawQrCode(tooLong, 576).error, "");

  // On the receipt the box spans the paper, framed, between the lines around it.
  const QImage p = RenderReceipt(ReceiptOf({Line("antes"), letters, tooLong, Line("depois")}));
  EXPECT_EQ(p.width(), 576);
  int framedRows = 0;
  for (int y = 0; y < p.height(); ++y) framedRows += Dark(p, 1, y) && Dark(p, 574, y);
  EXPECT_GT(framedRows, 40);
}

TEST(ReceiptPicture, LogosCutsAndNotesTakeTheirPlace) {
  TLogo logo;
  logo.select = TLogo::TSelect::kKeyCodes;
  logo.keyCode1 = 48;
  logo.keyCode2 = 49;
  logo.alignment = TAlignment::kCenter;
  const QRect frame = InkBox(RenderReceipt(ReceiptOf({logo})));
  EXPECT_NEAR(frame.center().x(), 288, 3);
  EXPECT_NEAR(frame.height(), 48, 3);
  logo.scaleX = 2;
  logo.scaleY = 2;
  const QRect doubled = InkBox(RenderReceipt(ReceiptOf({logo})));
  EXPECT_NEAR(doubled.width(), 2 * frame.width(), 4);
  EXPECT_NEAR(doubled.height(), 2 * frame.height(), 4);

  // A cut is a dashed line across the paper: dark and light dots alternate along it.
  const QImage cut = RenderReceipt(ReceiptOf({TCut{false}}));
  int bestRow = 0, bestInk = 0;
  for (int y = 0; y < cut.height(); ++y) {
    int ink = 0;
    for (int x = 0; x < cut.width(); ++x) ink += Dark(cut, x, y);
    if (ink > bestInk) bestInk = ink, bestRow = y;
  }
  EXPECT_GT(bestInk, 576 / 3);
  EXPECT_LT(bestInk, 576);
  EXPECT_TRUE(Dark(cut, 0, bestRow) || Dark(cut, 1, bestRow) || Dark(cut, 2, bestRow));

  // Configuration strings print nothing; a page left unprinted never reaches the paper.
  TPageModeBlock lost;
  lost.lines.push_back(Line("perdido"));
  lost.printed = false;
  EXPECT_TRUE(InkBox(RenderReceipt(ReceiptOf({TConfiguration{"XX", 'X'}, lost}))).isNull());
}

TEST(ReceiptPicture, AVeryLongReceiptIsCutShort) {
  std::vector<TElement> lines(5000, TElement{Line("linha")});
  const QImage p = RenderReceipt(ReceiptOf(std::move(lines)));
  EXPECT_LE(p.height(), kMaxPictureHeight + 100);
  EXPECT_EQ(p.width(), 576);
}

TEST(PrintPreview, DecodesAModelsBytesIntoNumberedReceipts) {
  // ESC/POS: ESC E 1 bold, "a", LF, GS V 0 full cut, then "b" left at the end.
  const std::string bytes("\x1B\x45\x01" "a\n\x1D\x56\x00" "b", 9);
  const std::vector<TReceipt> receipts = DecodeReceipts(ppEscPosEpson, bytes, 32);
  ASSERT_EQ(receipts.size(), 2u);
  EXPECT_EQ(receipts[0].number, 1);
  EXPECT_EQ(receipts[1].number, 2);
  EXPECT_EQ(receipts[0].columns, 32);
  ASSERT_EQ(receipts[0].elements.size(), 2u);
  EXPECT_EQ(std::get<TLine>(receipts[0].elements[0]).runs.at(0).style.bold, true);
  EXPECT_TRUE(std::holds_alternative<TCut>(receipts[0].elements[1]));
  // Columns outside what a printer can have are brought into range.
  EXPECT_EQ(DecodeReceipts(ppTexto, "x", 999).at(0).columns, 255);
  EXPECT_EQ(DecodeReceipts(ppTexto, "x", 1).at(0).columns, 8);
}

class ReceiptPng : public testing::TempFolderTest {};

TEST_F(ReceiptPng, IsWrittenNextToTheTranscript) {
  EXPECT_EQ(PngPathFor("/tmp/saida/receipt-0007.txt"), "/tmp/saida/receipt-0007.png");
  const std::string path = folder.File("receipt-0001.png");
  WriteReceiptPng(ReceiptOf({Line("Olá", {}, TAlignment::kCenter), TCut{}}), path);
  QImage p;
  ASSERT_TRUE(p.load(QString::fromStdString(path), "PNG"));
  EXPECT_EQ(p.width(), 576);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

  try {
    WriteReceiptPng(ReceiptOf({Line("x")}), folder.File("nao-existe/receipt-0001.png"));
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "não foi possível gravar " + folder.File("nao-existe/receipt-0001.png"));
  }
}

}  // namespace
}  // namespace dovra::emulator
