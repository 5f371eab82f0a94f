#include "CodePage.h"

#include <iconv.h>

#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace dovra {

namespace {

// ---- UTF-8 ---------------------------------------------------------------------------

// Length of the well-formed UTF-8 character at p (1 to 4), or 0 when the bytes there are
// not one. `bad` receives the length of the maximal ill-formed subpart in that case, so
// a truncated sequence is replaced by one "?" rather than one per byte.
std::size_t Utf8Char(const unsigned char* p, std::size_t n, std::size_t& bad,
                     char32_t* codePoint = nullptr) {
  const unsigned char b0 = p[0];
  bad = 1;
  if (b0 < 0x80) {
    if (codePoint) *codePoint = b0;
    return 1;
  }
  std::size_t len;
  unsigned char lo = 0x80, hi = 0xBF;
  char32_t cp;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    cp = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  for (std::size_t i = 1; i < len; ++i) {
    if (i >= n || p[i] < lo || p[i] > hi) {
      bad = i;
      return 0;
    }
    cp = (cp << 6) | (p[i] & 0x3F);
    lo = 0x80;
    hi = 0xBF;
  }
  if (codePoint) *codePoint = cp;
  return len;
}

// Offset of the first byte of 128 or more, or size when the text is pure ASCII.
std::size_t FirstNonAscii(std::string_view s) {
  const char* p = s.data();
  const std::size_t n = s.size();
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + i, 8);
    if (word & 0x8080808080808080ULL) break;
  }
  for (; i < n; ++i)
    if (static_cast<unsigned char>(p[i]) >= 0x80) return i;
  return n;
}

bool IsUtf8Page(int codePage) { return codePage == kSystemCodePage || codePage == kUtf8CodePage; }

// Well-formed UTF-8 copied, every ill-formed subpart replaced by "?".
std::string ValidUtf8(std::string_view text) {
  std::size_t start = FirstNonAscii(text);
  std::string out(text.substr(0, start));
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t i = start;
  while (i < text.size()) {
    if (p[i] < 0x80) {  // an ASCII run is copied whole
      const std::size_t run = FirstNonAscii(text.substr(i));
      out.append(text.data() + i, run);
      i += run;
      continue;
    }
    std::size_t bad;
    const std::size_t len = Utf8Char(p + i, text.size() - i, bad);
    if (len) {
      out.append(text.data() + i, len);
      i += len;
    } else {
      out.push_back('?');
      i += bad;
    }
  }
  return out;
}

// ---- single-byte code pages -------------------------------------------------------------

// Every supported printer page is a single-byte page whose bytes 0 to 127 are ASCII. Its
// upper half is read once from iconv into two tables, so converting long texts costs a table
// look-up per character instead of a pass through iconv.
struct PageTable {
  // UTF-8 form of bytes 128 to 255; length 0 when the byte is undefined in the page.
  char utf8[128][4] = {};
  unsigned char utf8Length[128] = {};
  // Byte for each code point of the Basic Multilingual Plane; 0 when the page lacks it.
  std::vector<unsigned char> byteOf = std::vector<unsigned char>(0x10000, 0);
};

constexpr int kPages[] = {437, 850, 852, 860, 1252};
constexpr std::size_t kPageCount = sizeof kPages / sizeof kPages[0];

void FillTable(PageTable& table, int codePage) {
  const std::string name = "CP" + std::to_string(codePage);
  iconv_t cd = iconv_open("UTF-8", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return;  // no converter: only ASCII survives
  for (int b = 128; b < 256; ++b) {
    char in = static_cast<char>(b);
    char out[8];
    char* inPtr = &in;
    char* outPtr = out;
    std::size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) continue;
    const std::size_t len = sizeof out - outLeft;
    std::size_t bad;
    char32_t cp = 0;
    if (len == 0 || len > 3 ||
        Utf8Char(reinterpret_cast<const unsigned char*>(out), len, bad, &cp) != len || cp < 0x80)
      continue;
    std::memcpy(table.utf8[b - 128], out, len);
    table.utf8Length[b - 128] = static_cast<unsigned char>(len);
    if (!table.byteOf[cp]) table.byteOf[cp] = static_cast<unsigned char>(b);
  }
  iconv_close(cd);
}

// The table of a supported page, or nullptr for any other number.
const PageTable* Table(int codePage) {
  static PageTable tables[kPageCount];
  static std::once_flag filled[kPageCount];
  for (std::size_t i = 0; i < kPageCount; ++i) {
    if (kPages[i] == codePage) {
      std::call_once(filled[i], [i] { FillTable(tables[i], kPages[i]); });
      return &tables[i];
    }
  }
  return nullptr;
}

}  // namespace

std::string UnicodeToCodePage(std::string_view text, int codePage) {
  if (IsUtf8Page(codePage)) return ValidUtf8(text);
  const std::size_t start = FirstNonAscii(text);
  std::string out(text.substr(0, start));
  if (start == text.size()) return out;

  // An unsupported page keeps only ASCII.
  const PageTable* table = Table(codePage);
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t i = start; i < n;) {
    const unsigned char b = p[i];
    if (b < 0x80) {  // an ASCII run is copied whole
      const std::size_t run = FirstNonAscii(text.substr(i));
      out.append(text.data() + i, run);
      i += run;
      continue;
    }
    std::size_t bad;
    char32_t cp = 0;
    const std::size_t len = Utf8Char(p + i, n - i, bad, &cp);
    unsigned char mapped = 0;
    if (len && table && cp < 0x10000) mapped = table->byteOf[cp];
    out.push_back(mapped ? static_cast<char>(mapped) : '?');
    i += len ? len : bad;
  }
  return out;
}

std::string CodePageToUnicode(std::string_view bytes, int codePage) {
  if (IsUtf8Page(codePage)) return ValidUtf8(bytes);
  const std::size_t start = FirstNonAscii(bytes);
  std::string out(bytes.substr(0, start));
  if (start == bytes.size()) return out;

  const PageTable* table = Table(codePage);
  out.reserve(bytes.size() + (bytes.size() - start) * 2);
  for (std::size_t i = start; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
    } else if (table && table->utf8Length[b - 128]) {
      out.append(table->utf8[b - 128], table->utf8Length[b - 128]);
    } else {
      out.push_back('?');
    }
  }
  return out;
}

std::string RecodeBytes(std::string_view bytes, int targetCodePage, int sourceCodePage) {
  if (FirstNonAscii(bytes) == bytes.size()) return std::string(bytes);
  if (IsUtf8Page(sourceCodePage)) return UnicodeToCodePage(bytes, targetCodePage);
  return UnicodeToCodePage(CodePageToUnicode(bytes, sourceCodePage), targetCodePage);
}

std::string AnsiRoundTrip(std::string_view text) { return ValidUtf8(text); }

std::string FoldToAscii(std::string_view text) {
  // U+00C0 to U+00FF, in order.
  static constexpr char kFold[] = "AAAAAAACEEEEIIIIDNOOOOOx0UUUUYbB"
                                  "aaaaaaaceeeeiiiionooooo/0uuuuyby";
  static_assert(sizeof(kFold) == 64 + 1);

  std::string out(text);
  auto* p = reinterpret_cast<unsigned char*>(out.data());
  const std::size_t n = out.size();
  std::size_t w = 0;
  for (std::size_t i = 0; i < n;) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      p[w++] = (b == 8 || b == 10 || b == 13 || (b >= 32 && b <= 126)) ? b : ' ';
      ++i;
      continue;
    }
    std::size_t bad;
    char32_t cp = 0;
    const std::size_t len = Utf8Char(p + i, n - i, bad, &cp);
    if (len == 0) {  // each byte of an ill-formed sequence becomes a blank
      p[w++] = ' ';
      ++i;
      continue;
    }
    p[w++] = (cp >= 0xC0 && cp <= 0xFF) ? static_cast<unsigned char>(kFold[cp - 0xC0]) : ' ';
    i += len;
  }
  out.resize(w);
  return out;
}

}  // namespace dovra
