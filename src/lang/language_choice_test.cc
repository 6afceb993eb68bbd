#include "lang/language_choice.h"

#include <gtest/gtest.h>

#include "lang/language_table.h"

namespace scrsetup {
namespace {

constexpr uint16_t kGerman = 0x0407, kSwissGerman = 0x0807, kFrench = 0x040C,
                   kCanadianFrench = 0x0C0C, kRussian = 0x0419, kJapanese = 0x0411,
                   kPolish = 0x0415, kEnglishUs = 0x0409, kEnglishUk = 0x0809;

struct Table {
  uint16_t language;
  uint32_t code_page;
  std::string next;  // the table's "Next"
};

// A block as the authoring tool writes it: the first table as the section
// "Setup", the others under their headings; one table alone is a plain text.
std::string Block(const std::vector<Table>& tables) {
  std::string text;
  for (size_t i = 0; i < tables.size(); ++i) {
    const Table& t = tables[i];
    if (i == 0) {
      text += "Setup\r\nNext=" + t.next + "\r\n";
      if (tables.size() > 1) text += LanguageSectionHeading(t.language, t.code_page, true) + "\r\n";
    } else {
      text += LanguageSectionHeading(t.language, t.code_page, false) + "\r\nNext=" + t.next + "\r\n";
    }
  }
  return text;
}

// What a run under `code_page` and `ui_language` shows for "Next".
std::string Shown(std::string_view text, uint32_t code_page, uint16_t ui_language) {
  std::optional<std::string_view> section = ChooseLanguageSection(text, code_page, ui_language);
  LanguageTable table;
  table.LoadLanguageTable(section ? text : std::string_view(), section.value_or(""));
  return table.Translate("Next");
}

TEST(LanguageChoice, PicksByCodePageThenLanguage) {
  const std::vector<Table> de_fr_ru_ja = {{kGerman, 1252, "Weiter"},
                                          {kFrench, 1252, "Suivant"},
                                          {kRussian, 1251, "Dalee"},
                                          {kJapanese, 932, "Tsugi"}};
  const std::vector<Table> ru_de = {{kRussian, 1251, "Dalee"}, {kGerman, 1252, "Weiter"}};
  const std::vector<Table> de_en = {{kGerman, 1252, "Weiter"}, {kEnglishUk, 1252, "Onward"}};
  const std::vector<Table> swiss_then_german = {{kFrench, 1252, "Suivant"},
                                                {kSwissGerman, 1252, "Witer"},
                                                {kGerman, 1252, "Weiter"}};
  struct Case {
    const char* name;
    const std::vector<Table>& tables;
    uint32_t code_page;
    uint16_t ui_language;
    const char* shown;
  } cases[] = {
      {"main table, exact", de_fr_ru_ja, 1252, kGerman, "Weiter"},
      {"further table, exact", de_fr_ru_ja, 1252, kFrench, "Suivant"},
      {"Russian in 1251", de_fr_ru_ja, 1251, kRussian, "Dalee"},
      {"Japanese in 932", de_fr_ru_ja, 932, kJapanese, "Tsugi"},
      {"primary language", de_fr_ru_ja, 1252, kCanadianFrench, "Suivant"},
      {"exact before primary", swiss_then_german, 1252, kGerman, "Weiter"},
      {"primary takes the first", swiss_then_german, 1252, 0x0C07, "Witer"},
      {"no table for the language: main", de_fr_ru_ja, 1252, kPolish, "Weiter"},
      {"no table in the code page: English", de_fr_ru_ja, 1250, kPolish, "Next"},
      {"language fits, code page does not: English", de_fr_ru_ja, 1251, kGerman, "Next"},
      {"Russian user on a 1252 system", de_fr_ru_ja, 1252, kRussian, "Weiter"},
      {"main does not fit, other language: English", ru_de, 1252, kJapanese, "Next"},
      {"main does not fit, English table", {{kRussian, 1251, "Dalee"}, {kEnglishUk, 1252, "Onward"}},
       1252, kPolish, "Onward"},
      {"English table for an English user", de_en, 1252, kEnglishUs, "Onward"},
      {"main before an English table", de_en, 1252, kPolish, "Weiter"},
      {"one table: shown whatever the system", {{kRussian, 1251, "Dalee"}}, 932, kJapanese,
       "Dalee"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Shown(Block(c.tables), c.code_page, c.ui_language), c.shown) << c.name;
  }
}

TEST(LanguageChoice, ReadsOnlyWellFormedHeadings) {
  using namespace std::string_view_literals;
  struct Case {
    const char* name;
    std::string_view text;
    size_t tables;  // 0: a block with one table
  } cases[] = {
      {"plain table", "Setup\r\nNext=Weiter\r\n", 0},
      {"main heading", "Setup\r\nSetup main 0407 1252\r\nSetup 0419 1251\r\n", 2},
      {"main heading anywhere", "Setup 0419 1251\nNext=D\nSetup main 0407 1252", 2},
      {"further tables without a main heading", "Setup\r\nSetup 0419 1251\r\n", 0},
      {"lower-case hexadecimal", "Setup main 040c 1252\nSetup 041a 1250", 2},
      {"three-digit language", "Setup main 0407 1252\nSetup 419 1251", 1},
      {"code page 0", "Setup main 0407 1252\nSetup 0419 0", 1},
      {"code page past 65535", "Setup main 0407 1252\nSetup 0419 65536", 1},
      {"trailing blank", "Setup main 0407 1252\nSetup 0419 1251 ", 1},
      {"an entry, not a heading", "Setup main 0407 1252\nSetup 0419 1251=x", 1},
      {"heading after a NUL", "Setup main 0407 1252\0Setup 0419 1251"sv, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadLanguageSections(c.text).size(), c.tables) << c.name;
  }
  const std::vector<LanguageSection> sections =
      ReadLanguageSections("Setup\r\nSetup main 040C 1252\r\nSetup 0411 932\r\n");
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[0].language, 0x040C);
  EXPECT_EQ(sections[0].section, "Setup");
  EXPECT_EQ(sections[1].language, 0x0411);
  EXPECT_EQ(sections[1].code_page, 932u);
  EXPECT_EQ(sections[1].section, "Setup 0411 932");
}

TEST(LanguageChoice, OneTableReaderSeesTheMainTable) {
  const std::string text = Block({{kGerman, 1252, "Weiter"}, {kRussian, 1251, "Dalee"}});
  LanguageTable table;
  table.LoadLanguageTable(text, "Setup");
  EXPECT_EQ(table.Translate("Next"), "Weiter");
  EXPECT_EQ(LanguageSectionHeading(0x0411, 932, false), "Setup 0411 932");
  EXPECT_EQ(LanguageSectionHeading(0x040C, 1252, true), "Setup main 040C 1252");
}

}  // namespace
}  // namespace scrsetup
