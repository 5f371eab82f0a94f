// TranslateText on arbitrary text. Bit 0 of the first input byte sets IgnorarTags, the rest is
// the text. The result and the sequence of callback calls must equal those of the naive
// reference translator, which edits the text in place exactly as the translation rules say.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/DovraTagProcessor.h"
#include "tests/engine/ReferenceTagTranslator.h"

namespace {

struct Tag {
  const char* name;
  bool isBlock;
};
const Tag kTags[] = {{"<n>", false},   {"</n>", false},  {"</ce>", false},
                     {"<q>", false},   {"<z>", false},   {"<b>", false},
                     {"<ce>", true},   {"<ad>", true},   {"<ean13>", true},
                     {"<b>", true},    {"<ignorar_tags>", true}};

struct Trace {
  std::vector<std::string> calls;
  std::string Simple(const std::string& tag) {
    calls.push_back("S" + tag);
    if (tag == "<q>") return "<n>";  // produces a tag that must not be scanned again
    if (tag == "<z>") return "";
    if (tag == "<b>") return tag;
    return "[" + tag + "]";
  }
  std::string Block(const std::string& tag, const std::string& content) {
    calls.push_back("B" + tag + "|" + content);
    return "{" + content + "}";
  }
};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 8192) return 0;  // the reference is quadratic
  const bool ignorar = (data[0] & 1) != 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  static Trace procTrace, refTrace;
  static dovra::TDovraTagProcessor proc = [] {
    dovra::TDovraTagProcessor p;
    for (const Tag& t : kTags) {
      dovra::TDovraTag& tag = p.Tags().AddNew();
      tag.SetName(t.name);
      tag.SetIsBlock(t.isBlock);
    }
    p.SetSimpleTagCallback([](const std::string& t) { return procTrace.Simple(t); });
    p.SetBlockTagCallback(
        [](const std::string& t, const std::string& c) { return procTrace.Block(t, c); });
    return p;
  }();
  static dovra::reference::Translator ref = [] {
    dovra::reference::Translator r;
    for (const Tag& t : kTags) r.tags.push_back({t.name, t.isBlock});
    r.onTag = [](const std::string& t) { return refTrace.Simple(t); };
    r.onBlock = [](const std::string& t, const std::string& c) { return refTrace.Block(t, c); };
    return r;
  }();

  procTrace.calls.clear();
  refTrace.calls.clear();
  proc.SetIgnorarTags(ignorar);
  ref.ignorarTags = ignorar;

  Check(proc.TranslateText(text) == ref.TranslateText(text));
  Check(procTrace.calls == refTrace.calls);
  return 0;
}
