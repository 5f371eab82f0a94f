#include "TagScan.h"

namespace dovra {

FoundTag FindNextTag(std::string_view text, std::size_t start) {
  const std::size_t from = start > 0 ? start - 1 : 0;
  std::size_t open = text.find('<', from);
  if (open == std::string_view::npos) return {"", 0};
  const std::size_t close = text.find('>', open + 1);
  if (close == std::string_view::npos) return {"", 0};
  // A stray "<" in front of the tag is skipped: the tag starts at the last "<" before ">".
  const std::size_t last = text.rfind('<', close);
  if (last != std::string_view::npos && last > open) open = last;

  std::string tag(text.substr(open, close - open + 1));
  for (char& c : tag)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return {std::move(tag), open + 1};
}

}  // namespace dovra
