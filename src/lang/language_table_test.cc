#include "lang/language_table.h"

#include <gtest/gtest.h>

#include "lang/text.h"

namespace scrsetup {
namespace {

std::string Load(std::string_view text, std::string_view english,
                 std::string_view section = "Setup") {
  LanguageTable table;
  table.LoadLanguageTable(text, section);
  return table.Translate(english);
}

TEST(LanguageTable, FormatRules) {
  using namespace std::string_literals;
  struct Case {
    const char* name;
    std::string text;
    const char* english;
    std::string expected;
  } cases[] = {
      {"plain entry", "Setup\r\nNext=Weiter\r\n", "Next", "Weiter"},
      {"LF lines", "Setup\nNext=Weiter", "Next", "Weiter"},
      {"CR lines", "Setup\rNext=Weiter\r", "Next", "Weiter"},
      {"bracketed heading", "[Setup]\r\nNext=Weiter", "Next", "Next"},
      {"lower-case heading", "setup\r\nNext=Weiter", "Next", "Next"},
      {"heading with a blank", "Setup \r\nNext=Weiter", "Next", "Next"},
      {"entries before any heading", "Next=Weiter\r\nSetup\r\n", "Next", "Next"},
      {"empty line ends the section", "Setup\r\n\r\nNext=Weiter", "Next", "Next"},
      // LF CR is two line breaks: the empty line between them ends the section.
      {"LF CR before the entry", "Setup\r\nA=1\n\rNext=Weiter", "Next", "Next"},
      {"LF CR after the entry", "Setup\r\nNext=Weiter\n\rA=1", "Next", "Weiter"},
      {"second Setup section", "Setup\r\nA=1\r\nOther\r\nNext=X\r\nSetup\r\nNext=Weiter", "Next",
       "Weiter"},
      {"blank before the equals", "Setup\r\nNext =Weiter", "Next", "Next"},
      {"first duplicate wins", "Setup\r\nNext=Eins\r\nNext=Zwei", "Next", "Eins"},
      {"further equals in the value", "Setup\r\na=b=c", "a", "b=c"},
      {"line break code", "Setup\r\nNext=Wei#13ter#13#13!", "Next", "Wei\r\nter\r\n\r\n!"},
      {"empty value", "Setup\r\nCancel=", "Cancel", ""},
      {"key case matters", "Setup\r\nnext=weiter", "Next", "Next"},
      {"NUL ends the text", "Setup\r\nA=1\0\r\nNext=Weiter"s, "Next", "Next"},
      {"text before NUL is read", "Setup\r\nNext=Weiter\0junk"s, "Next", "Weiter"},
      {"CR LF in the English text", "Setup\r\nOne#13Two=Eins#13Zwei", "One\r\nTwo", "Eins\r\nZwei"},
      {"no entry", "Setup\r\n", "Back", "Back"},
      {"empty text", "", "Back", "Back"},
  };
  for (const Case& c : cases) EXPECT_EQ(Load(c.text, c.english), c.expected) << c.name;
}

TEST(LanguageTable, EmptySectionNameTakesEveryEntry) {
  const char* text = "A=before\r\nOther\r\nB=other\r\nSetup\r\nC=setup";
  EXPECT_EQ(Load(text, "A", ""), "before");
  EXPECT_EQ(Load(text, "B", ""), "other");
  EXPECT_EQ(Load(text, "C", ""), "setup");
  EXPECT_EQ(Load(text, "A", "Other"), "A");
}

TEST(LanguageTable, TranslatesOnlyWhileLoaded) {
  LanguageTable table;
  EXPECT_FALSE(table.loaded());
  EXPECT_EQ(table.Translate("Next"), "Next");
  table.LoadLanguageTable("Setup\r\nNext=Weiter", "Setup");
  EXPECT_TRUE(table.loaded());
  EXPECT_EQ(table.Translate("Next"), "Weiter");
  table.FreeLanguageTable();
  EXPECT_FALSE(table.loaded());
  EXPECT_EQ(table.Translate("Next"), "Next");
  table.LoadLanguageTable("No Setup here", "Setup");
  EXPECT_TRUE(table.loaded());
  EXPECT_EQ(table.Translate("Next"), "Next");
}

TEST(ReplaceAll, ScansLeftToRightWithoutOverlapOrRescan) {
  EXPECT_EQ(ReplaceAll("aaaa", "aa", "b"), "bb");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("xAx", "A", "AA"), "xAAx");
  EXPECT_EQ(ReplaceAll("<Windows>\\<Windows>", "<Windows>", "C:\\W"), "C:\\W\\C:\\W");
  EXPECT_EQ(ReplaceAll("<windows>", "<Windows>", "C:"), "<windows>");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

TEST(FillPlaceholder, UsesTheTranslationOnlyWhenItHoldsExactlyOnePercentS) {
  const char* english = "Are you sure you want to remove %s and its components?";
  struct Case {
    const char* translated;
    const char* expected;
  } cases[] = {
      {"Wirklich %s entfernen?", "Wirklich Aurora 100% entfernen?"},
      {"%s entfernen?", "Aurora 100% entfernen?"},
      {"Ohne Platzhalter", "Are you sure you want to remove Aurora 100% and its components?"},
      {"%s und %s", "Are you sure you want to remove Aurora 100% and its components?"},
      {"%d Dateien", "Are you sure you want to remove Aurora 100% and its components?"},
      {"100%% %s", "Are you sure you want to remove Aurora 100% and its components?"},
      {"%n%s", "Are you sure you want to remove Aurora 100% and its components?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FillPlaceholder(c.translated, english, "Aurora 100%"), c.expected) << c.translated;
  }
}

}  // namespace
}  // namespace scrsetup
