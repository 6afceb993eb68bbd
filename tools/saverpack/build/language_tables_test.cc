#include "saverpack/build/language_tables.h"

#include <gtest/gtest.h>

#include "lang/language_choice.h"
#include "lang/language_table.h"
#include "package/package_reader.h"
#include "saverpack/host/host_file.h"
#include "saverpack/build/package_builder.h"
#include "saverpack/inspect/package_inspector.h"
#include "saverpack/inspect/report_format.h"
#include "saverpack/test_support.h"

namespace saverpack {
namespace {

TEST(LanguageTablesTest, ReadsEachSpelling) {
  testing::TempFolder folder;
  const std::string file = folder.Path("sv.lng");
  testing::WriteFile(file, "Setup\nNext=N\xc3\xa4sta\n");
  struct Case {
    std::vector<std::string> values;
    std::vector<uint16_t> language_ids;
    std::vector<int> code_pages;  // 0: the package's
    int exit_code;                // 0: read
  } cases[] = {
      {{"de,fr,ja,ru"}, {0x0407, 0x040C, 0x0411, 0x0419}, {1252, 1252, 932, 1251}, 0},
      {{"de", "ru"}, {0x0407, 0x0419}, {1252, 1251}, 0},
      {{file}, {0}, {0}, 0},
      {{"de," + file + "@041D:1252"}, {0x0407, 0x041D}, {1252, 1252}, 0},
      {{file + "@ru"}, {0x0419}, {1251}, 0},
      {{file + "@ru:866"}, {0x0419}, {866}, 0},
      {{"de", file}, {}, {}, kExitUsage},  // several tables: the file's language is needed
      {{file + "@041D"}, {}, {}, kExitUsage},
      {{file + "@sv:1252"}, {}, {}, kExitUsage},
      {{file + "@041D:70000"}, {}, {}, kExitUsage},
      {{"de,,fr"}, {}, {}, kExitUsage},
      {{"de,xx"}, {}, {}, kExitBadInput},
  };
  for (const Case& c : cases) {
    std::vector<LanguageEntry> entries;
    std::optional<Failure> failure = ReadLanguageEntries(c.values, entries);
    const std::string name = ::testing::PrintToString(c.values);
    if (c.exit_code) {
      ASSERT_TRUE(failure) << name;
      EXPECT_EQ(failure->exit_code, c.exit_code) << name;
      continue;
    }
    ASSERT_FALSE(failure) << name << ": " << failure->message;
    ASSERT_EQ(entries.size(), c.language_ids.size()) << name;
    for (size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(entries[i].language_id, c.language_ids[i]) << name;
      EXPECT_EQ(entries[i].code_page.value_or(0), c.code_pages[i]) << name;
    }
  }
}

class SeveralLanguagesTest : public ::testing::Test {
 protected:
  SeveralLanguagesTest() {
    testing::WriteFile(folder_.Path("setup.exe"), "MZ stub");
    testing::WriteFile(folder_.Path("Aurora.scr"), "screensaver");
    options_.output = folder_.Path("package.exe");
    options_.stub = folder_.Path("setup.exe");
    options_.screensaver = folder_.Path("Aurora.scr");
    options_.title = "Aurora";
  }

  std::string LanguageBlock() {
    auto file = OpenForReading(options_.output);
    auto location = scrsetup::LocatePackage(*file);
    scrsetup::SetupRecord record;
    EXPECT_TRUE(scrsetup::ReadRecord(*file, location->PackageEnd, record));
    return scrsetup::ReadLanguageText(*file, location->PackageEnd, record).value_or("");
  }

  testing::TempFolder folder_;
  BuildOptions options_;
};

// Each table in its own code page, the main one first as a one-table reader
// sees it; the installer's choice finds each under its own system.
TEST_F(SeveralLanguagesTest, EachTableInItsOwnCodePage) {
  options_.language = {"de,fr", "ru,ja"};
  std::optional<Failure> failure = BuildPackage(options_);
  ASSERT_FALSE(failure) << failure->message;
  const std::string block = LanguageBlock();
  scrsetup::LanguageTable main;
  main.LoadLanguageTable(block, "Setup");
  EXPECT_EQ(main.Translate("Back"), "Zur\xfc" "ck");
  struct Case {
    uint32_t code_page;
    uint16_t ui_language;
    std::string back;  // "Back" in that code page
  } cases[] = {
      {1252, 0x0407, "Zur\xfc" "ck"},
      {1252, 0x040C, "Pr\xe9" "c\xe9" "dent"},
      {1251, 0x0419, "\xcd\xe0\xe7\xe0\xe4"},
      {932, 0x0411, "\x96\xdf\x82\xe9"},
      {1250, 0x0415, "Back"},
  };
  PackageReport report;
  ASSERT_FALSE(InspectPackageFile(options_.output, report));
  PackageCodePage code_page;
  EXPECT_NE(FormatReportText(report, code_page).find("Languages               \"de 1252, fr 1252, "
                                                     "ru 1251, ja 932\"\n"),
            std::string::npos);
  for (const Case& c : cases) {
    std::optional<std::string_view> section =
        scrsetup::ChooseLanguageSection(block, c.code_page, c.ui_language);
    scrsetup::LanguageTable table;
    table.LoadLanguageTable(section ? std::string_view(block) : "", section.value_or(""));
    EXPECT_EQ(table.Translate("Back"), c.back) << c.code_page;
  }
}

TEST_F(SeveralLanguagesTest, OneTableIsWrittenAsBefore) {
  options_.language = {"de"};
  ASSERT_FALSE(BuildPackage(options_));
  EXPECT_TRUE(scrsetup::ReadLanguageSections(LanguageBlock()).empty());
  EXPECT_EQ(LanguageBlock().find("Setup main"), std::string::npos);
  PackageReport report;
  ASSERT_FALSE(InspectPackageFile(options_.output, report));
  EXPECT_TRUE(report.languages.empty());
}

TEST_F(SeveralLanguagesTest, ReadmeMustReadTheSameInEveryCodePage) {
  struct Case {
    const char* languages;
    const char* readme;
    bool refused;
  } cases[] = {
      {"de,fr,ru,ja", "Plain ASCII readme.\n", false},
      {"de,fr", "Sch\xc3\xb6n.\n", false},
      {"de,ru", "Sch\xc3\xb6n.\n", true},
      {"de,ja", "Sch\xc3\xb6n.\n", true},
  };
  for (const Case& c : cases) {
    testing::WriteFile(folder_.Path("readme.txt"), c.readme);
    testing::WriteFile(folder_.Path("license.txt"), c.readme);
    for (auto* option : {&options_.readme, &options_.license}) {
      BuildOptions options = options_;
      options.language = {c.languages};
      *option = folder_.Path(option == &options_.readme ? "readme.txt" : "license.txt");
      std::optional<Failure> failure = BuildPackage(options);
      EXPECT_EQ(failure.has_value(), c.refused) << c.languages << " " << c.readme;
    }
  }
}

}  // namespace
}  // namespace saverpack
