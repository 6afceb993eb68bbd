#include "saverpack/build/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "lang/english_texts.h"
#include "lang/language_table.h"
#include "lang/text.h"
#include "saverpack/text/package_code_page.h"

namespace saverpack {
namespace {

// The keys of a language table's "Setup" section, in order.
std::vector<std::string> SetupKeys(std::string_view table) {
  std::vector<std::string> keys;
  size_t start = 0;
  bool in_setup = false;
  while (start <= table.size()) {
    size_t end = std::min(table.find_first_of("\r\n", start), table.size());
    std::string_view line = table.substr(start, end - start);
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      in_setup = line == "Setup";
    } else if (in_setup) {
      keys.emplace_back(line.substr(0, equals));
    }
    if (end == table.size()) break;
    start = end + (table.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return keys;
}

// Each catalogue table translates exactly the texts the installer passes to
// Translate, each once, and its messages keep their one "%s".
TEST(SaverpackCatalogueTest, EveryLanguageTranslatesEveryTextOnce) {
  const std::set<std::string> english(std::begin(scrsetup::kEnglishTexts),
                                      std::end(scrsetup::kEnglishTexts));
  ASSERT_EQ(english.size(), std::size(scrsetup::kEnglishTexts)) << "a text is listed twice";
  ASSERT_GE(CatalogueLanguages().size(), 10u);
  for (const CatalogueLanguage& language : CatalogueLanguages()) {
    SCOPED_TRACE(std::string(language.code));
    std::vector<std::string> keys = SetupKeys(language.table);
    std::set<std::string> unique(keys.begin(), keys.end());
    EXPECT_EQ(unique.size(), keys.size()) << "a key is given twice";
    for (const std::string& key : unique) EXPECT_TRUE(english.count(key)) << "unknown key: " << key;
    for (const std::string& text : english) EXPECT_TRUE(unique.count(text)) << "missing: " << text;

    scrsetup::LanguageTable table;
    table.LoadLanguageTable(language.table, "Setup");
    for (std::string_view text : scrsetup::kEnglishTexts) {
      std::string translated = table.Translate(text);
      EXPECT_FALSE(translated.empty()) << text;
      if (text.find("%s") != std::string_view::npos) {
        EXPECT_EQ(scrsetup::FillPlaceholder(translated, text, "\x01"),
                  scrsetup::ReplaceAll(translated, "%s", "\x01"))
            << "the translation must keep one %s and no other %: " << translated;
      }
    }
  }
}

// Each table can be written in the code page its users run.
TEST(SaverpackCatalogueTest, EveryLanguageFitsItsUsualCodePage) {
  std::set<std::string_view> codes;
  for (const CatalogueLanguage& language : CatalogueLanguages()) {
    SCOPED_TRACE(std::string(language.code));
    EXPECT_TRUE(codes.insert(language.code).second) << "code listed twice";
    EXPECT_FALSE(NamesLanguageFile(language.code, false)) << "the code reads as a file name";
    PackageCodePage code_page;
    ASSERT_FALSE(PackageCodePage::Open(language.code_page, code_page));
    std::string bytes;
    std::optional<Failure> failure = code_page.EncodeFile(language.table, "table", bytes);
    EXPECT_FALSE(failure) << failure->message;
  }
  EXPECT_EQ(FindCatalogueLanguage("de")->code_page, 1252);
  EXPECT_EQ(FindCatalogueLanguage("ja")->code_page, 932);
  EXPECT_EQ(FindCatalogueLanguage("DE"), nullptr);
}

TEST(SaverpackCatalogueTest, LanguageValueNamesAFileByItsShapeOrExistence) {
  struct Case {
    const char* value;
    bool exists;
    bool file;
  } cases[] = {
      {"de", false, false},        {"pt-BR", false, false},    {"de", true, true},
      {"german.lng", false, true}, {"tables/de", false, true}, {"C:\\de", false, true},
      {"xx", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NamesLanguageFile(c.value, c.exists), c.file) << c.value << " " << c.exists;
  }
}

}  // namespace
}  // namespace saverpack
