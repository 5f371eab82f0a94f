#include "engine/DovraTagProcessor.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/engine/ReferenceTagTranslator.h"

namespace dovra {
namespace {

struct Registration {
  const char* written;  // as handed to SetName
  const char* name;     // as it must be stored
  bool isBlock;
};

// "<b>" is registered twice, first as a simple tag: the first registration must win.
const std::vector<Registration> kRegistrations = {
    {"N", "<n>", false},          {"</n>", "</n>", false},
    {"/CE", "</ce>", false},      {"<q>", "<q>", false},
    {" z ", "<z>", false},        {"same>", "<same>", false},
    {"<b", "<b>", false},         {"ce", "<ce>", true},
    {"<EAN13>", "<ean13>", true}, {"ad", "<ad>", true},
    {"ignorar_tags", "<ignorar_tags>", true}, {"b", "<b>", true},
};

// Callbacks that leave a trace of every call. "<q>" produces a registered tag (which must not
// be scanned again), "<z>" translates to nothing, "<same>" to itself.
struct Recorder {
  std::vector<std::string> calls;

  std::string Simple(const std::string& tag) {
    calls.push_back("S" + tag);
    if (tag == "<q>") return "<n>";
    if (tag == "<z>") return "";
    if (tag == "<same>") return tag;
    return "[T:" + tag + "]";
  }
  std::string Block(const std::string& tag, const std::string& content) {
    calls.push_back("B" + tag + "|" + content);
    return "{" + tag + "|" + content + "}";
  }
};

void Register(TDovraTagProcessor& proc, Recorder& rec) {
  for (const Registration& r : kRegistrations) {
    TDovraTag& tag = proc.Tags().AddNew();
    tag.SetName(r.written);
    tag.SetIsBlock(r.isBlock);
  }
  proc.SetSimpleTagCallback([&rec](const std::string& t) { return rec.Simple(t); });
  proc.SetBlockTagCallback(
      [&rec](const std::string& t, const std::string& c) { return rec.Block(t, c); });
}

void Register(reference::Translator& ref, Recorder& rec) {
  for (const Registration& r : kRegistrations) ref.tags.push_back({r.name, r.isBlock});
  ref.onTag = [&rec](const std::string& t) { return rec.Simple(t); };
  ref.onBlock = [&rec](const std::string& t, const std::string& c) { return rec.Block(t, c); };
}

class TagProcessorTest : public ::testing::Test {
 protected:
  void SetUp() override { Register(proc, rec); }
  TDovraTagProcessor proc;
  Recorder rec;
};

TEST(TagNameTest, SetNameTrimsLowersAndBrackets) {
  TDovraTag fresh;
  EXPECT_EQ(fresh.Name(), "");
  EXPECT_EQ(fresh.HelpText(), "");
  EXPECT_FALSE(fresh.IsBlock());

  const struct {
    std::string given, stored;
  } cases[] = {
      {"CE", "<ce>"},
      {"<ce>", "<ce>"},
      {" \t<Ean13>\r\n", "<ean13>"},
      {"/Corte_Total", "</corte_total>"},
      {"<n", "<n>"},
      {"n>", "<n>"},
      {std::string("\x01 a b \x1f", 7), "<a b>"},  // only the ends are trimmed
      {"\xC9X", "<\xC9x>"},                       // only A to Z change case
      {"", "<>"},
      {"   ", "<>"},
      {"<", "<>"},
      {">", "<>"},
  };
  for (const auto& c : cases) {
    TDovraTag tag;
    tag.SetName(c.given);
    EXPECT_EQ(tag.Name(), c.stored) << "given \"" << c.given << "\"";
  }
}

TEST(TagListTest, FindReturnsFirstRegistrationWhateverTheCase) {
  TDovraTags tags;
  TDovraTag& first = tags.AddNew();
  first.SetName("dup");
  TDovraTag& second = tags.AddNew();
  second.SetName("DUP");
  second.SetIsBlock(true);

  EXPECT_EQ(tags.Find("<dup>"), &first);
  EXPECT_EQ(tags.Find("<DuP>"), &first);
  EXPECT_EQ(tags.Find("dup"), nullptr);  // looked up as given, brackets are not added
  EXPECT_EQ(tags.Find("<other>"), nullptr);
}

TEST(TagListTest, FindSeesTagsAddedOrRenamedAfterEarlierLookups) {
  TDovraTags tags;
  TDovraTag& a = tags.AddNew();
  a.SetName("a");
  ASSERT_EQ(tags.Find("<a>"), &a);

  TDovraTag& b = tags.AddNew();
  b.SetName("b");
  EXPECT_EQ(tags.Find("<b>"), &b);

  a.SetName("b");  // now the first "<b>", and "<a>" is gone
  EXPECT_EQ(tags.Find("<b>"), &a);
  EXPECT_EQ(tags.Find("<a>"), nullptr);
}

TEST_F(TagProcessorTest, TraduzirTagsFalseReturnsTextUnchanged) {
  proc.SetTraduzirTags(false);
  const std::string text = std::string("<n>a</N><ce>b</ce><ean13>1<q>\0<z>", 32);
  EXPECT_EQ(proc.TranslateText(text), text);
  EXPECT_TRUE(rec.calls.empty());
}

struct TranslateCase {
  const char* what;
  std::string text;
  std::string expected;
  bool ignorarTags = false;
};

TEST_F(TagProcessorTest, TranslatesTexts) {
  const std::vector<TranslateCase> cases = {
      {"simple tags in any case", "<N>neg</n>", "[T:<n>]neg[T:</n>]"},
      {"block closed in capitals", "x<Ce>mid</CE>y", "x{<ce>|mid}y"},
      {"invalid tags test line", "<ce> <>tags inv\xC3\xA1lidas no texto\">\">><<</CE>",
       "{<ce>| <>tags inv\xC3\xA1lidas no texto\">\">><<}"},
      {"inner <ce> without its own closing tag", "<ce>a<ce>b</ce>c</ce>",
       "{<ce>|ab}c[T:</ce>]"},
      {"unclosed block opening is deleted", "<ean13>7891234567895", "7891234567895"},
      {"ignorar_tags passes its content raw", "<ignorar_tags><n>w</n></IGNORAR_TAGS><n>",
       "<n>w</n>[T:<n>]"},
      {"IgnorarTags removes simple tags", "<n>w</n>", "w", true},
      {"IgnorarTags unwraps blocks", "<ce>a<n>b</ce>", "a<n>b", true},
      {"empty translation deletes the tag", "a<z>b", "ab"},
      {"unregistered tags stay as written", "<Foo>x</FOO><>", "<Foo>x</FOO><>"},
      {"translation equal to the tag keeps its case", "<SAME>", "<SAME>"},
      {"translated bytes are not scanned again", "<q>", "<n>"},
      {"stray < before a tag", "a < b <N>", "a < b [T:<n>]"},
      {"tag in a further pair of brackets", "<<n>>", "<[T:<n>]>"},
      {"< without a later > ends the scan", "<n>a<n", "[T:<n>]a<n"},
      {"unclaimed closing tag, registered", "</ce>", "[T:</ce>]"},
      {"unclaimed closing tag, unregistered", "</ad>", "</ad>"},
      {"closing tag must match exactly", "<ean13>1</ean13 >", "1</ean13 >"},
      {"first registration wins over a later block", "<b>x</b>", "[T:<b>]x</b>"},
      {"inner closing beyond the outer block", "<ad><ce>x</ad>y</ce>", "{<ad>|x}y[T:</ce>]"},
      {"later block reuses an earlier search", "<ad><ce>x</ad><ce>y</ce>",
       "{<ad>|x}{<ce>|y}"},
      {"nested different blocks", "<ad>1<ce>2<n>3</ce>4</ad>", "{<ad>|1{<ce>|2[T:<n>]3}4}"},
  };
  for (const TranslateCase& c : cases) {
    proc.SetIgnorarTags(c.ignorarTags);
    EXPECT_EQ(proc.TranslateText(c.text), c.expected) << c.what;
  }
}

TEST_F(TagProcessorTest, CallbacksGetLowerCaseTagsAndTranslatedContent) {
  proc.TranslateText("<CE>a<N>b</Ce>");
  EXPECT_EQ(rec.calls, (std::vector<std::string>{"S<n>", "B<ce>|a[T:<n>]b"}));

  rec.calls.clear();
  const std::string invalid = " <>tags inv\xC3\xA1lidas no texto\">\">><<";
  proc.TranslateText("<ce>" + invalid + "</CE>");
  EXPECT_EQ(rec.calls, std::vector<std::string>{"B<ce>|" + invalid});
}

TEST_F(TagProcessorTest, BlockWithoutCallbackKeepsRawContentButTranslatesInside) {
  proc.SetBlockTagCallback(nullptr);
  EXPECT_EQ(proc.TranslateText("<ce>a<n>b</ce>"), "a<n>b");
  EXPECT_EQ(rec.calls, std::vector<std::string>{"S<n>"});  // side effects of inner tags happen
}

TEST_F(TagProcessorTest, CallbackExceptionReachesTheCaller) {
  proc.SetSimpleTagCallback([](const std::string&) -> std::string {
    throw std::runtime_error("falhou");
  });
  EXPECT_THROW(proc.TranslateText("<ce>a<n></ce>"), std::runtime_error);
}

TEST(TagProcessorListTest, ListsTagsWithAndWithoutHelp) {
  TDovraTagProcessor proc;
  proc.AddTags({"ce", "ad"}, {"Texto Centralizado"}, true);
  proc.AddTags({"/beep", "/BEEP"},
               {"Emite um Beep na Impressora (n\xC3\xA3o disponivel em alguns modelos)",
                "de novo"},
               false);

  std::vector<std::string> list = {"linha antiga"};
  proc.ListTags(list, false);
  EXPECT_EQ(list, (std::vector<std::string>{"<ce>", "<ad>", "</beep>", "</beep>"}));

  proc.ListTags(list, true);
  EXPECT_EQ(list, (std::vector<std::string>{
                      "<ce> - Bloco - Texto Centralizado",
                      "<ad> - Bloco - ",
                      "</beep> - Emite um Beep na Impressora (n\xC3\xA3o disponivel em alguns "
                      "modelos)",
                      "</beep> - de novo",
                  }));
}

// Random short texts over a small alphabet rich in brackets and registered names, translated by
// the processor and by the naive reference: results and callback traces must be identical.
TEST(TagProcessorDifferentialTest, MatchesReferenceOnRandomTexts) {
  const std::vector<std::string> pieces = {
      "<", ">", "/", "a", "Z", " ", "ce", "n", "ean13", "ad", "b", "q", "z", "same",
      "ignorar_tags", "<ce>", "</ce>", "<n>", "</n>", "<ean13>", "</ean13>", "<ad>", "</ad>",
      "<b>", "</b>", "<q>", "<z>", "<same>", "<ignorar_tags>", "</ignorar_tags>", "<x>", "<>",
  };
  std::mt19937 rng(1234567);
  auto pick = [&rng](std::size_t n) { return static_cast<std::size_t>(rng() % n); };

  TDovraTagProcessor proc;
  reference::Translator ref;
  Recorder procCalls, refCalls;
  Register(proc, procCalls);
  Register(ref, refCalls);

  for (int round = 0; round < 4000; ++round) {
    std::string text;
    for (std::size_t n = pick(25); n > 0; --n) {
      std::string piece = pieces[pick(pieces.size())];
      for (char& c : piece)
        if (c >= 'a' && c <= 'z' && pick(3) == 0) c = static_cast<char>(c - 'a' + 'A');
      text += piece;
    }
    const bool ignorar = pick(5) == 0;
    proc.SetIgnorarTags(ignorar);
    ref.ignorarTags = ignorar;
    procCalls.calls.clear();
    refCalls.calls.clear();

    const std::string expected = ref.TranslateText(text);
    ASSERT_EQ(proc.TranslateText(text), expected) << "text: " << text << " ignorar: " << ignorar;
    ASSERT_EQ(procCalls.calls, refCalls.calls) << "text: " << text << " ignorar: " << ignorar;
  }
}

}  // namespace
}  // namespace dovra
