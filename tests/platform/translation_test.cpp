#include "platform/translation.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/built_in_english.h"
#include "send/connection_skeleton.h"

namespace telpod::platform {
namespace {

TEST(Translation, PlaceholdersAreFilledInOnePass) {
  // The pattern, its arguments, the text.
  const std::tuple<const char*, std::vector<std::string_view>, const char*> cases[] = {
      {"%1 が見つかりません。", {"libzqt100.so"}, "libzqt100.so が見つかりません。"},
      {"%2 then %1", {"a", "b"}, "b then a"},
      {"%1 and %2", {"%2", "x"}, "%2 and x"},  // an argument is never filled again
      {"%1 %3", {"a"}, "a %3"},                // no argument: the placeholder stays
      {"100% %0 %", {"a"}, "100% %0 %"},
      {"%1%1", {"ab"}, "abab"},
      {"%9", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}, "9"},
      {"", {"a"}, ""},
  };
  for (const auto& [pattern, args, text] : cases) {
    EXPECT_EQ(FillPlaceholders(pattern, args), text) << pattern;
  }
}

class MapLookup : public TextLookup {
 public:
  explicit MapLookup(std::map<std::string, std::string> words) : words_(std::move(words)) {}
  std::string Translate(const SourceText& source) const override {
    const auto found = words_.find(std::string(source.context) + "|" + source.text);
    return found == words_.end() ? source.text : found->second;
  }

 private:
  std::map<std::string, std::string> words_;
};

TEST(Translation, TrAsksTheInstalledLookupAndFallsBackToTheSource) {
  const SourceText missing = TELPOD_TEXT("Test", "%1 が見つかりません。");
  EXPECT_EQ(Tr(missing, {"a.so"}), "a.so が見つかりません。");

  const MapLookup english(
      std::map<std::string, std::string>{{"Test|%1 が見つかりません。", "%1 was not found."}});
  const MapLookup other(std::map<std::string, std::string>{});
  {
    ScopedTextLookup outer(english);
    EXPECT_EQ(Tr(missing, {"a.so"}), "a.so was not found.");
    EXPECT_EQ(Tr(TELPOD_TEXT("Other", "%1 が見つかりません。"), {"b"}), "b が見つかりません。");
    {
      ScopedTextLookup inner(other);
      EXPECT_EQ(Tr(missing, {"a.so"}), "a.so が見つかりません。");
    }
    EXPECT_EQ(Tr(missing, {"a.so"}), "a.so was not found.");
  }
  EXPECT_EQ(Tr(missing, {"a.so"}), "a.so が見つかりません。");
}

TEST(Translation, TheBuiltInEnglishHasEveryTextOfTheTranslationFile) {
  const auto texts = EnglishTexts();
  ASSERT_FALSE(texts.empty());
  const BuiltInEnglish english;
  std::set<std::pair<std::string_view, std::string_view>> keys;
  for (const TranslatedText& t : texts) {
    EXPECT_TRUE(keys.emplace(t.context, t.source).second) << t.source;  // one entry per text
    const std::string context(t.context), source(t.source);
    EXPECT_EQ(english.Translate({context.c_str(), source.c_str()}), t.translation) << source;
    EXPECT_FALSE(t.translation.empty()) << source;
  }
  EXPECT_EQ(english.Translate(TELPOD_TEXT("Test", "未知の文")), "未知の文");
  EXPECT_EQ(english.Translate(status_text::kRunning), "Communicating");  // the engine's own
}

}  // namespace
}  // namespace telpod::platform
