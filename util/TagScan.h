#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace dovra {

// A tag found in a text. Positions are 1-based; position 0 means "no tag".
struct FoundTag {
  std::string tag;       // from "<" to ">", letters A to Z made lower case
  std::size_t position;  // 1-based position of its "<", or 0
};

// The next tag at or after `start` (1-based): from the last "<" before the first ">"
// that follows the first "<". No "<" after start, or no ">" after it, gives {"", 0}.
FoundTag FindNextTag(std::string_view text, std::size_t start);

}  // namespace dovra
