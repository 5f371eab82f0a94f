#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dovra {

// One known tag: its name in lower case between brackets ("<ean13>", "</corte_total>").
class TDovraTag {
 public:
  const std::string& Name() const { return name_; }
  // Trims codes 0..32 at both ends, lower-cases, and adds the missing "<" and ">".
  void SetName(const std::string& value);
  const std::string& HelpText() const { return helpText_; }
  void SetHelpText(const std::string& value) { helpText_ = value; }
  bool IsBlock() const { return isBlock_; }
  void SetIsBlock(bool value) { isBlock_ = value; }

 private:
  std::string name_;
  std::string helpText_;
  bool isBlock_ = false;
};

// The known tags in registration order; duplicates allowed, lookups find the first.
class TDovraTags {
 public:
  TDovraTag& AddNew();
  const TDovraTag* Find(const std::string& name) const;
  std::size_t Count() const { return tags_.size(); }
  const TDovraTag& operator[](std::size_t i) const { return *tags_[i]; }

 private:
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::vector<std::unique_ptr<TDovraTag>> tags_;
  // Name -> index of the first registration. A tag does not know its list, so the index is
  // rebuilt on the next lookup after any tag was added or renamed.
  mutable std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>> index_;
  mutable std::uint64_t indexedRenames_ = ~std::uint64_t{0};
  mutable std::size_t indexedCount_ = 0;
};

using TDovraSimpleTagCallback = std::function<std::string(const std::string& tag)>;
using TDovraBlockTagCallback =
    std::function<std::string(const std::string& tag, const std::string& content)>;

// Finds tags in a text and replaces each by what the callbacks return for it.
// Unregistered tags stay; <ignorar_tags> blocks pass through untranslated.
// The work is linear in the length of the text.
class TDovraTagProcessor {
 public:
  TDovraTags& Tags() { return tags_; }
  const TDovraTags& Tags() const { return tags_; }

  bool TraduzirTags() const { return traduzirTags_; }
  void SetTraduzirTags(bool value) { traduzirTags_ = value; }
  bool IgnorarTags() const { return ignorarTags_; }
  void SetIgnorarTags(bool value) { ignorarTags_ = value; }

  void SetSimpleTagCallback(TDovraSimpleTagCallback cb) { onTag_ = std::move(cb); }
  void SetBlockTagCallback(TDovraBlockTagCallback cb) { onBlock_ = std::move(cb); }

  // helpTexts may be shorter than names (missing help texts stay empty).
  void AddTags(const std::vector<std::string>& names, const std::vector<std::string>& helpTexts,
               bool isBlock);
  std::string TranslateText(const std::string& text);
  // One line per known tag: the name, and with help " - Bloco" for blocks and " - " + help.
  void ListTags(std::vector<std::string>& list, bool withHelp) const;

  std::string TranslateSimpleTag(const std::string& tag);
  std::string TranslateBlock(const std::string& tag, const std::string& content);

 private:
  struct ClosingSearch;
  using ClosingSearches = std::vector<ClosingSearch>;
  // Translates text[begin, end) and appends the result to out. All positions are offsets in
  // the same outer text, so the closing-tag searches can be shared along the whole scan.
  void TranslateRange(std::string_view text, std::size_t begin, std::size_t end,
                      std::string& out, ClosingSearches& searches);
  // Start of the first `closing` at or after `from` in text, letter case ignored, or npos.
  std::size_t FindClosing(std::string_view text, const std::string& closing, std::size_t from,
                          ClosingSearches& searches);
  std::string TranslateBlockRange(const std::string& tag, std::string_view text,
                                  std::size_t begin, std::size_t end, ClosingSearches& searches);

  TDovraTags tags_;
  bool traduzirTags_ = true;
  bool ignorarTags_ = false;
  TDovraSimpleTagCallback onTag_;
  TDovraBlockTagCallback onBlock_;
};

}  // namespace dovra
