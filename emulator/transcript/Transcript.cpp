#include "emulator/transcript/Transcript.h"

#include "util/BracketNotation.h"

namespace dovra::emulator {

namespace {

std::string AlignmentPrefix(TAlignment a) {
  switch (a) {
    case TAlignment::kCenter: return "{ce}";
    case TAlignment::kRight: return "{ad}";
    case TAlignment::kLeft: break;
  }
  return "";
}

std::string Scale(int x, int y) {
  std::string s;
  if (x != 1) s += " x=" + std::to_string(x);
  if (y != 1) s += " y=" + std::to_string(y);
  return s;
}

struct TElementText {
  std::string operator()(const TLine& line) const { return LineText(line); }

  std::string operator()(const TBarcode& b) const {
    std::string s = AlignmentPrefix(b.alignment) + "[BARRAS " + b.symbology +
                    " dados=" + ToBracketNotation(b.data);
    if (b.codeSet) s += std::string(" conjunto=") + b.codeSet;
    s += " largura=" + std::to_string(b.width) + " altura=" + std::to_string(b.height) +
         " texto=" + (b.hri ? "sim" : "nao") + "]";
    return s;
  }

  std::string operator()(const TQrCode& q) const {
    return AlignmentPrefix(q.alignment) + "[QRCODE dados=" + ToBracketNotation(q.data) +
           " modulo=" + std::to_string(q.moduleSize) + " correcao=" + q.errorLevel + "]";
  }

  std::string operator()(const TLogo& l) const {
    std::string s = AlignmentPrefix(l.alignment) + "[LOGO";
    if (l.select == TLogo::TSelect::kNumber) s += " n=" + std::to_string(l.number);
    if (l.select == TLogo::TSelect::kKeyCodes)
      s += " kc1=" + std::to_string(l.keyCode1) + " kc2=" + std::to_string(l.keyCode2);
    return s + Scale(l.scaleX, l.scaleY) + "]";
  }

  std::string operator()(const TCut& c) const {
    return c.partial ? "[CORTE PARCIAL]" : "[CORTE TOTAL]";
  }
  std::string operator()(const TDrawerPulse& g) const {
    return "[GAVETA " + std::to_string(g.drawer) + "]";
  }
  std::string operator()(const TBeep&) const { return "[BIP]"; }

  std::string operator()(const TPageModeBlock& p) const {
    std::string s = "[MODO PAGINA direcao=" + std::to_string(p.direction) +
                    " x=" + std::to_string(p.x) + " y=" + std::to_string(p.y) +
                    " largura=" + std::to_string(p.width) +
                    " altura=" + std::to_string(p.height) + "]\n";
    for (const TLine& line : p.lines) s += LineText(line) + "\n";
    return s + (p.printed ? "[FIM MODO PAGINA]" : "[FIM MODO PAGINA NAO IMPRESSO]");
  }

  std::string operator()(const TConfiguration& c) const {
    std::string s = "[CONFIGURACAO";
    for (std::size_t i = 0; i < c.values.size(); ++i) {
      if (c.values[i] == c.unchanged) continue;
      s += " " + std::to_string(i + 1) + "=" + ToBracketNotation(c.values.substr(i, 1));
    }
    return s + "]";
  }
};

}  // namespace

std::string StyleNotation(const TTextStyle& s) {
  std::string out;
  auto add = [&](bool on, const char* code) {
    if (!on) return;
    if (!out.empty()) out += ',';
    out += code;
  };
  add(s.condensed, "c");
  add(s.expanded, "e");
  add(s.doubleHeight, "a");
  add(s.bold, "n");
  add(s.underline, "s");
  add(s.inverted, "in");
  add(s.italic, "i");
  add(s.fontB, "fb");
  return out;
}

std::string LineText(const TLine& line) {
  std::string out = AlignmentPrefix(line.alignment);
  for (const TRun& run : line.runs) {
    if (run.unknown) {
      out += "[DESCONHECIDO " + ToBracketNotation(run.text) + "]";
    } else if (run.style.IsPlain()) {
      out += run.text;
    } else {
      out += "{" + StyleNotation(run.style) + "}" + run.text + "{/}";
    }
  }
  return out;
}

std::string ElementText(const TElement& element) { return std::visit(TElementText{}, element); }

std::string TranscriptText(const TReceipt& receipt) {
  std::string out;
  for (const TElement& e : receipt.elements) out += ElementText(e) + "\n";
  return out;
}

}  // namespace dovra::emulator
