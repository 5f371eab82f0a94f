// FindNextTag on arbitrary text and start positions. The first two input bytes choose the
// start position, the rest is the text. Checked: a found tag runs from "<" to ">" with no
// other "<" or ">" inside, lies inside the text at or after the start, equals the text there
// with only A to Z lowered, and closes at the first ">" after the first "<" from the start;
// "no tag" is returned only when there is no "<" from the start or no ">" after it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "util/TagScan.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::size_t start = (data[0] | (data[1] << 8)) % (text.size() + 3);

  const dovra::FoundTag found = dovra::FindNextTag(text, start);

  const std::size_t from = start > 0 ? start - 1 : 0;
  const std::size_t firstOpen = from < text.size() ? text.find('<', from) : std::string_view::npos;
  const std::size_t close =
      firstOpen == std::string_view::npos ? std::string_view::npos : text.find('>', firstOpen + 1);

  if (found.position == 0) {
    Check(found.tag.empty());
    Check(close == std::string_view::npos);
    return 0;
  }

  const std::string& tag = found.tag;
  Check(tag.size() >= 2);
  Check(found.position >= from + 1);
  Check(found.position - 1 + tag.size() <= text.size());
  Check(tag.front() == '<' && tag.back() == '>');
  Check(tag.find('<', 1) == std::string::npos);
  Check(tag.find('>') == tag.size() - 1);
  Check(found.position - 1 + tag.size() - 1 == close);

  const std::string_view original = text.substr(found.position - 1, tag.size());
  for (std::size_t i = 0; i < tag.size(); ++i) Check(tag[i] == Lower(original[i]));
  return 0;
}
