#include "emulator/dialects/Handlers.h"

#include <cstdio>
#include <utility>

namespace dovra::emulator::handlers {

void LineFeed(TDecoder& d, std::string_view) { d.Out().LineFeed(); }
void Ignore(TDecoder&, std::string_view) {}
void Tab(TDecoder& d, std::string_view) { d.Out().Tab(d.Settings().style); }
void Reset(TDecoder& d, std::string_view) { d.Reset(); }

TCommandHandler SetStyle(bool TTextStyle::*flag, bool on) {
  return [flag, on](TDecoder& d, std::string_view) { d.Settings().style.*flag = on; };
}

TCommandHandler StyleFromParam(bool TTextStyle::*flag) {
  return [flag](TDecoder& d, std::string_view p) { d.Settings().style.*flag = On(Byte(p, 0)); };
}

void PrintMode(TDecoder& d, std::string_view p) {
  const unsigned char n = Byte(p, 0);
  TTextStyle& s = d.Settings().style;
  s.condensed = n & 0x01;
  s.bold = n & 0x08;
  s.doubleHeight = n & 0x10;
  s.expanded = n & 0x20;
  s.underline = n & 0x80;
}

void Underline(TDecoder& d, std::string_view p) {
  d.Settings().style.underline = (Byte(p, 0) & 0x03) != 0;
}

TCommandHandler Align(std::string head) {
  return [head = std::move(head)](TDecoder& d, std::string_view p) {
    switch (Byte(p, 0)) {
      case 0: case '0': d.Out().SetAlignment(TAlignment::kLeft); break;
      case 1: case '1': d.Out().SetAlignment(TAlignment::kCenter); break;
      case 2: case '2': d.Out().SetAlignment(TAlignment::kRight); break;
      default: d.Unknown(head + std::string(p)); break;
    }
  };
}

void DefaultLineSpacing(TDecoder& d, std::string_view) { d.Out().SetLineSpacing(-1); }
void LineSpacing(TDecoder& d, std::string_view p) { d.Out().SetLineSpacing(Byte(p, 0)); }

void FeedLines(TDecoder& d, std::string_view p) {
  const int n = Byte(p, 0);
  if (n == 0) {
    d.Out().PrintBuffer();
    return;
  }
  for (int i = 0; i < n; ++i) d.Out().LineFeed();
}

void FeedDots(TDecoder& d, std::string_view) { d.Out().LineFeed(); }

TCommandHandler CodePage(std::string head, std::vector<TCodePageEntry> table) {
  return [head = std::move(head), table = std::move(table)](TDecoder& d, std::string_view p) {
    for (const TCodePageEntry& e : table) {
      if (e.param == Byte(p, 0)) {
        d.Settings().codePage = e.codePage;
        return;
      }
    }
    d.Unknown(head + std::string(p));
  };
}

void FullCut(TDecoder& d, std::string_view) { d.Out().Cut(false); }
void PartialCut(TDecoder& d, std::string_view) { d.Out().Cut(true); }
void Beep(TDecoder& d, std::string_view) { d.Out().Block(TBeep{}); }

void BarWidth(TDecoder& d, std::string_view p) { d.Settings().barWidth = Byte(p, 0); }
void BarHeight(TDecoder& d, std::string_view p) { d.Settings().barHeight = Byte(p, 0); }
void BarHri(TDecoder& d, std::string_view p) { d.Settings().barHri = (Byte(p, 0) & 0x03) != 0; }

void PrintBarcode(TDecoder& d, std::string symbology, std::string data, char codeSet) {
  TBarcode b;
  b.symbology = std::move(symbology);
  b.data = std::move(data);
  b.codeSet = codeSet;
  b.hri = d.Settings().barHri;
  b.width = d.Settings().barWidth;
  b.height = d.Settings().barHeight;
  b.alignment = d.Out().Alignment();
  d.Out().Block(std::move(b));
}

std::string DecodeCode128(std::string_view data, char& codeSet) {
  std::string out;
  char set = 0;
  codeSet = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    const char c = data[i];
    if (c == '{' && i + 1 < data.size()) {
      const char next = data[i + 1];
      if (next == 'A' || next == 'B' || next == 'C') {
        set = next;
        if (!codeSet) codeSet = next;
        ++i;
        continue;
      }
      if (next == '{' && set != 'C') {
        out += '{';
        ++i;
        continue;
      }
      if (next >= '1' && next <= '4') {  // FNC1 to FNC4 stay visible
        out += data.substr(i, 2);
        ++i;
        continue;
      }
    }
    const auto v = static_cast<unsigned char>(c);
    if (set == 'C' && v <= 99) {
      char pair[3];
      std::snprintf(pair, sizeof pair, "%02u", static_cast<unsigned>(v));
      out += pair;
    } else {
      out += c;
    }
  }
  return out;
}

void StoredLogo(TDecoder& d, std::string_view p) {
  TLogo logo;
  logo.select = TLogo::TSelect::kNumber;
  logo.number = Byte(p, 0);
  const unsigned char m = Byte(p, 1);
  logo.scaleX = (m & 1) ? 2 : 1;
  logo.scaleY = (m & 2) ? 2 : 1;
  logo.alignment = d.Out().Alignment();
  d.Out().Block(logo);
}

TCommandHandler QrFunction(std::string head, bool withAlignment) {
  return [head = std::move(head), withAlignment](TDecoder& d, std::string_view p) {
    // p: pL pH cn fn parameters
    const unsigned char cn = Byte(p, 2);
    const unsigned char fn = Byte(p, 3);
    const std::string_view args = p.size() > 4 ? p.substr(4) : std::string_view();
    TPrinterSettings& s = d.Settings();
    bool understood = cn == '1';
    if (understood) {
      switch (fn) {
        case 'A':  // model: "1" or "2", then 0
          if (Byte(args, 0) == '1' || Byte(args, 0) == '2') s.qrModel = Byte(args, 0) - '0';
          else understood = false;
          break;
        case 'C':
          s.qrModuleSize = Byte(args, 0);
          break;
        case 'E': {
          static constexpr char kLevels[] = "LMQH";
          const unsigned char e = Byte(args, 0);
          if (e >= '0' && e <= '3') s.qrErrorLevel = kLevels[e - '0'];
          else understood = false;
          break;
        }
        case 'P':  // "0" then the data
          if (Byte(args, 0) == '0') s.qrData = std::string(args.substr(1));
          else understood = false;
          break;
        case 'Q': {
          TQrCode qr;
          qr.data = s.qrData;
          qr.moduleSize = s.qrModuleSize;
          qr.errorLevel = s.qrErrorLevel;
          qr.model = s.qrModel;
          qr.alignment = d.Out().Alignment();
          d.Out().Block(std::move(qr));
          break;
        }
        case 'B':
          if (withAlignment) {
            switch (Byte(args, 0)) {
              case '0': case 0: d.Out().SetAlignment(TAlignment::kLeft); break;
              case '1': case 1: d.Out().SetAlignment(TAlignment::kCenter); break;
              case '2': case 2: d.Out().SetAlignment(TAlignment::kRight); break;
              default: understood = false; break;
            }
          } else {
            understood = false;
          }
          break;
        default:
          understood = false;
          break;
      }
    }
    if (!understood) d.Unknown(head + std::string(p));
  };
}

namespace {

const char* SymbologyOfGsK(unsigned char m) {
  switch (m) {
    case 0: case 65: return "UPCA";
    case 1: case 66: return "UPCE";
    case 2: case 67: return "EAN13";
    case 3: case 68: return "EAN8";
    case 4: case 69: return "CODE39";
    case 5: case 70: return "INTER";
    case 6: case 71: return "CODABAR";
    case 72: return "CODE93";
    case 73: return "CODE128";
    case 82: return "MSI";
    default: return nullptr;
  }
}

}  // namespace

std::size_t MeasureGsK(std::string_view p) {
  if (p.empty()) return TParamLayout::kNeedMore;
  const auto m = static_cast<unsigned char>(p[0]);
  if (m <= 6) {
    const std::size_t at = p.find('\0', 1);
    return at == std::string_view::npos ? TParamLayout::kNeedMore : at + 1;
  }
  if (m >= 65) {
    if (p.size() < 2) return TParamLayout::kNeedMore;
    const std::size_t total = 2 + static_cast<unsigned char>(p[1]);
    return p.size() >= total ? total : TParamLayout::kNeedMore;
  }
  return TParamLayout::kInvalid;
}

TCommandHandler GsKBarcode(bool selectors) {
  return [selectors](TDecoder& d, std::string_view p) {
    const auto m = static_cast<unsigned char>(p[0]);
    const char* name = SymbologyOfGsK(m);
    if (!name) {
      d.Unknown("\x1dk" + std::string(p));
      return;
    }
    std::string_view data = m <= 6 ? p.substr(1, p.size() - 2) : p.substr(2);
    char codeSet = 0;
    std::string text(data);
    if (selectors && m == 73 && !data.empty() && data[0] == '{') text = DecodeCode128(data, codeSet);
    PrintBarcode(d, name, std::move(text), codeSet);
  };
}

std::size_t MeasureGsV(std::string_view p) {
  if (p.empty()) return TParamLayout::kNeedMore;
  switch (static_cast<unsigned char>(p[0])) {
    case 0: case 1: case '0': case '1': return 1;
    case 65: case 66: return p.size() >= 2 ? 2 : TParamLayout::kNeedMore;
    default: return TParamLayout::kInvalid;
  }
}

void GsVCut(TDecoder& d, std::string_view p) {
  // 65 and 66 feed n dots to the cutting position first; that is no printed line.
  const unsigned char m = Byte(p, 0);
  d.Out().Cut(m == 1 || m == '1' || m == 66);
}

TCommandHandler UnknownCommand(std::string head) {
  return [head = std::move(head)](TDecoder& d, std::string_view p) {
    d.Unknown(head + std::string(p));
  };
}

TCommandHandler Ask(TQueryKind kind, std::string head) {
  return [kind, head = std::move(head)](TDecoder& d, std::string_view p) {
    d.Ask(TQuery{kind, p.empty() ? 0 : static_cast<unsigned char>(p[p.size() - 1]),
                 head + std::string(p)});
  };
}

}  // namespace dovra::emulator::handlers
