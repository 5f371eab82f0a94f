#include "engine/DovraTagProcessor.h"

#include <atomic>

#include "util/TagScan.h"

namespace dovra {

namespace {

// Counts every rename of any tag, so that a list can tell its name index went stale.
std::atomic<std::uint64_t> tagRenames{0};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool HasUpperAscii(std::string_view s) {
  for (char c : s)
    if (c >= 'A' && c <= 'Z') return true;
  return false;
}

// First position at or after `from` where `lowerNeedle` (starting with "<") occurs in `text`
// with its letters A to Z taken as lower case, or npos.
std::size_t FindCaseless(std::string_view text, std::string_view lowerNeedle, std::size_t from) {
  const std::size_t n = lowerNeedle.size();
  for (std::size_t at = text.find('<', from); at != std::string_view::npos && n <= text.size() - at;
       at = text.find('<', at + 1)) {
    std::size_t i = 1;
    while (i < n && LowerAscii(text[at + i]) == lowerNeedle[i]) ++i;
    if (i == n) return at;
  }
  return std::string_view::npos;
}

}  // namespace

void TDovraTag::SetName(const std::string& value) {
  std::size_t first = 0, last = value.size();
  while (first < last && static_cast<unsigned char>(value[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(value[last - 1]) <= 32) --last;
  std::string name;
  name.reserve(last - first + 2);
  if (first == last || value[first] != '<') name += '<';
  for (std::size_t i = first; i < last; ++i) name += LowerAscii(value[i]);
  if (name.back() != '>') name += '>';
  name_ = std::move(name);
  tagRenames.fetch_add(1, std::memory_order_relaxed);
}

TDovraTag& TDovraTags::AddNew() {
  tags_.push_back(std::make_unique<TDovraTag>());
  return *tags_.back();
}

const TDovraTag* TDovraTags::Find(const std::string& name) const {
  const std::uint64_t renames = tagRenames.load(std::memory_order_relaxed);
  if (renames != indexedRenames_ || tags_.size() != indexedCount_) {
    index_.clear();
    for (std::size_t i = 0; i < tags_.size(); ++i) index_.emplace(tags_[i]->Name(), i);
    indexedRenames_ = renames;
    indexedCount_ = tags_.size();
  }
  std::string lower;
  std::string_view key = name;
  if (HasUpperAscii(name)) {
    lower = name;
    for (char& c : lower) c = LowerAscii(c);
    key = lower;
  }
  const auto it = index_.find(key);
  return it == index_.end() ? nullptr : tags_[it->second].get();
}

void TDovraTagProcessor::AddTags(const std::vector<std::string>& names,
                                 const std::vector<std::string>& helpTexts, bool isBlock) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    TDovraTag& tag = tags_.AddNew();
    tag.SetName(names[i]);
    if (i < helpTexts.size()) tag.SetHelpText(helpTexts[i]);
    tag.SetIsBlock(isBlock);
  }
}

void TDovraTagProcessor::ListTags(std::vector<std::string>& list, bool withHelp) const {
  list.clear();
  for (std::size_t i = 0; i < tags_.Count(); ++i) {
    const TDovraTag& tag = tags_[i];
    std::string line = tag.Name();
    if (withHelp) {
      if (tag.IsBlock()) line += " - Bloco";
      line += " - " + tag.HelpText();
    }
    list.push_back(std::move(line));
  }
}

std::string TDovraTagProcessor::TranslateSimpleTag(const std::string& tag) {
  if (tag.empty() || ignorarTags_ || !onTag_) return {};
  return onTag_(tag);
}

// The last search made for one closing tag. The scan only moves forward, so a later search
// starting between `from` and `found` has the same answer and the text is read once per name.
struct TDovraTagProcessor::ClosingSearch {
  std::string closing;
  std::size_t from;
  std::size_t found;
};

std::size_t TDovraTagProcessor::FindClosing(std::string_view text, const std::string& closing,
                                            std::size_t from, ClosingSearches& searches) {
  for (ClosingSearch& s : searches) {
    if (s.closing != closing) continue;
    if (from < s.from || from > s.found) {
      s.from = from;
      s.found = FindCaseless(text, closing, from);
    }
    return s.found;
  }
  const std::size_t found = FindCaseless(text, closing, from);
  searches.push_back({closing, from, found});
  return found;
}

std::string TDovraTagProcessor::TranslateText(const std::string& text) {
  if (!traduzirTags_) return text;
  std::string out;
  // Command bytes usually make the result somewhat longer than the text; reserving room up
  // front avoids copying a receipt of megabytes while it grows (untouched room costs nothing).
  out.reserve(text.size() + text.size() / 2 + 64);
  ClosingSearches searches;
  TranslateRange(text, 0, text.size(), out, searches);
  return out;
}

std::string TDovraTagProcessor::TranslateBlock(const std::string& tag, const std::string& content) {
  ClosingSearches searches;
  return TranslateBlockRange(tag, content, 0, content.size(), searches);
}

std::string TDovraTagProcessor::TranslateBlockRange(const std::string& tag, std::string_view text,
                                                    std::size_t begin, std::size_t end,
                                                    ClosingSearches& searches) {
  const std::string_view content = text.substr(begin, end - begin);
  if (tag.empty() || ignorarTags_ || tag == "<ignorar_tags>") return std::string(content);
  std::string inner;
  inner.reserve(content.size());
  TranslateRange(text, begin, end, inner, searches);
  return onBlock_ ? onBlock_(tag, inner) : std::string(content);
}

void TDovraTagProcessor::TranslateRange(std::string_view text, std::size_t begin, std::size_t end,
                                        std::string& out, ClosingSearches& searches) {
  const std::string_view range = text.substr(0, end);
  if (!traduzirTags_) {
    out.append(range.substr(begin));
    return;
  }
  std::size_t done = begin;  // range[begin, done) has been translated into out
  for (;;) {
    const FoundTag found = FindNextTag(range, done + 1);
    if (found.position == 0) break;
    const std::size_t at = found.position - 1;
    std::size_t length = found.tag.size();
    out.append(range.substr(done, at - done));

    const TDovraTag* tag = tags_.Find(found.tag);
    if (tag == nullptr) {
      out.append(range.substr(at, length));  // as written, letter case kept
    } else if (tag->IsBlock()) {
      const std::string closing = "</" + found.tag.substr(1);
      const std::size_t from = at + length;
      const std::size_t close = FindClosing(text, closing, from, searches);
      // A closing tag that runs past the end of this range does not close the block.
      if (close != std::string_view::npos && close + closing.size() <= end) {
        out += TranslateBlockRange(found.tag, text, from, close, searches);
        length = close + closing.size() - at;
      }
      // Without a closing tag the opening tag is deleted.
    } else {
      std::string replacement = TranslateSimpleTag(found.tag);
      if (replacement == found.tag)
        out.append(range.substr(at, length));
      else
        out += replacement;
    }
    done = at + length;
  }
  out.append(range.substr(done));
}

}  // namespace dovra
