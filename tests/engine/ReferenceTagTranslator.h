// A direct, deliberately naive rendering of the tag translation rules: it edits the whole text
// in place and re-lowers it for every block, exactly as the rules are stated. Quadratic, and
// only meant as the yardstick the real processor is compared with (tests and fuzzer).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace dovra::reference {

struct Tag {
  std::string name;  // already lower case between brackets
  bool isBlock = false;
};

inline std::string LowerAZ(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// Positions are 1-based; 0 means no tag. text[i - 1] is the character at position i.
inline std::pair<std::string, std::size_t> NextTag(const std::string& text, std::size_t start) {
  std::size_t pos = 0;
  for (std::size_t i = start; i <= text.size() && pos == 0; ++i)
    if (text[i - 1] == '<') pos = i;
  if (pos == 0) return {"", 0};
  std::size_t close = 0;
  for (std::size_t i = pos + 1; i <= text.size() && close == 0; ++i)
    if (text[i - 1] == '>') close = i;
  if (close == 0) return {"", 0};
  for (std::size_t i = pos + 1; i < close; ++i)
    if (text[i - 1] == '<') pos = i;
  return {LowerAZ(text.substr(pos - 1, close - pos + 1)), pos};
}

struct Translator {
  std::vector<Tag> tags;
  bool traduzirTags = true;
  bool ignorarTags = false;
  std::function<std::string(const std::string&)> onTag;
  std::function<std::string(const std::string&, const std::string&)> onBlock;

  const Tag* Find(const std::string& name) const {
    const std::string lower = LowerAZ(name);
    for (const Tag& t : tags)
      if (t.name == lower) return &t;
    return nullptr;
  }

  std::string TranslateSimpleTag(const std::string& tag) {
    if (tag.empty() || ignorarTags || !onTag) return "";
    return onTag(tag);
  }

  std::string TranslateBlock(const std::string& tag, const std::string& content) {
    std::string result = content;
    if (!tag.empty() && !ignorarTags && tag != "<ignorar_tags>") {
      const std::string inner = TranslateText(content);
      if (onBlock) result = onBlock(tag, inner);
    }
    return result;
  }

  std::string TranslateText(const std::string& text) {
    std::string result = text;
    if (!traduzirTags) return result;
    auto [tag, p] = NextTag(result, 1);
    while (p != 0) {
      std::size_t l = tag.size();
      const Tag* t = Find(tag);
      std::string replacement;
      if (t == nullptr) {
        replacement = tag;
      } else if (t->isBlock) {
        const std::string closing = "</" + tag.substr(1);
        const std::size_t found = LowerAZ(result).find(closing, p + l - 1);
        if (found == std::string::npos) {
          replacement = "";
        } else {
          const std::size_t e = found + 1;
          const std::string content = result.substr(p + l - 1, e - (p + l));
          replacement = TranslateBlock(tag, content);
          l = (e - p) + l + 1;
          tag = result.substr(p - 1, l);
        }
      } else {
        replacement = TranslateSimpleTag(tag);
      }
      std::size_t next = p + l - 1;
      if (replacement != tag) {
        result.replace(p - 1, l, replacement);
        next = next + replacement.size() - l;
      }
      std::tie(tag, p) = NextTag(result, next + 1);
    }
    return result;
  }
};

}  // namespace dovra::reference
