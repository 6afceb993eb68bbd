// The saverpack program as its users run it: build, inspect, help, and
// every refusal, through the native binary.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fake/pe_image.h"
#include "lang/language_table.h"
#include "package/check_block.h"
#include "package/crc32.h"
#include "package/package_reader.h"
#include "saverpack/host/host_file.h"
#include "saverpack/inspect/package_inspector.h"
#include "saverpack/test_support.h"
#include "saverpack/text/unicode_text.h"
#include "scrsetup_version.h"

namespace saverpack {
namespace {

using Json = nlohmann::json;

struct RunResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

class SaverpackCliTest : public ::testing::Test {
 protected:
  // A stub, a screensaver and three text files in work_; the package is
  // written to work_/out.exe.
  SaverpackCliTest() {
    testing::WriteFile(stub_, testing::PatternBytes(2048, 1));
    testing::WriteFile(screensaver_, testing::PatternBytes(70000, 2));
    testing::WriteFile(readme_, "Read me.\r\n");
    testing::WriteFile(license_, "Licence \"quoted\" \\ \x01.\r\n");
    testing::WriteFile(language_, "[Texts]\r\nNext=Weiter\r\n");
  }

  RunResult Run(const std::vector<std::string>& arguments) {
    return RunProgram(SAVERPACK_BINARY, arguments);
  }

  RunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::string command = Quote(program);
    for (const std::string& argument : arguments) command += " " + Quote(argument);
    std::string out = outputs_.Path("out"), err = outputs_.Path("err");
    int status = std::system((command + " >" + Quote(out) + " 2>" + Quote(err)).c_str());
    RunResult result;
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = testing::ReadFile(out);
    result.err = testing::ReadFile(err);
    return result;
  }

  // The build arguments for the files above and title "Aurora", with
  // `changes` applied (nullopt removes an option) and `extra` appended.
  std::vector<std::string> BuildArguments(
      const std::map<std::string, std::optional<std::string>>& changes = {},
      const std::vector<std::string>& extra = {}) {
    std::vector<std::pair<std::string, std::string>> options = {
        {"-o", output_}, {"--stub", stub_}, {"--screensaver", screensaver_}, {"--title", "Aurora"}};
    for (const auto& [name, value] : changes) {
      auto given = std::find_if(options.begin(), options.end(),
                                [&](const auto& option) { return option.first == name; });
      if (given == options.end() && value) {
        options.emplace_back(name, *value);
      } else if (given != options.end() && value) {
        given->second = *value;
      } else if (given != options.end()) {
        options.erase(given);
      }
    }
    std::vector<std::string> arguments = {"build"};
    for (const auto& [name, value] : options) arguments.insert(arguments.end(), {name, value});
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
  }

  // Runs `inspect --json` and reads its object; an empty object (and a
  // test failure) when that does not work.
  Json InspectJson(const std::string& package) {
    RunResult result = Run({"inspect", package, "--json"});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    Json object = Json::parse(result.out, nullptr, /*allow_exceptions=*/false);
    EXPECT_TRUE(object.is_object()) << "not the expected JSON:\n" << result.out;
    return object.is_object() ? object : Json::object();
  }

  static std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
  }

  testing::TempFolder work_;
  testing::TempFolder outputs_;
  const std::string output_ = work_.Path("out.exe");
  const std::string stub_ = work_.Path("setup.exe");
  const std::string screensaver_ = work_.Path("Aurora.scr");
  const std::string readme_ = work_.Path("readme.txt");
  const std::string license_ = work_.Path("license.txt");
  const std::string language_ = work_.Path("language.txt");
};

int64_t FileSize(const std::string& path) {
  return static_cast<int64_t>(std::filesystem::file_size(path));
}

uint32_t Crc(const std::string& bytes) { return scrsetup::Crc32(0, bytes.data(), bytes.size()); }

// Built without a code page, texts are stored as given (here in 1252);
// inspect shows them decoded from 1252, in UTF-8.
TEST_F(SaverpackCliTest, BuildThenInspectShowsEveryFieldAndBlock) {
  const std::string title = "Aur\xe9ola \"Deluxe\"";
  const std::string web = "https://example.org/a?b=\"c\"&d=\\e";
  RunResult build = Run(BuildArguments(
      {{"--title", title},
       {"--web", web},
       {"--readme", readme_},
       {"--license", license_},
       {"--license-mode", "3"},
       {"--language", language_},
       {"--folder", "C:\\Savers"},
       {"--subfolder", "Sub \xe9"},
       {"--codepage", "none"}},
      {"--skip-folder-page", "--uninstall-entry", "--program-group", "--desktop-shortcut"}));
  ASSERT_EQ(build.exit_code, 0) << build.err;
  EXPECT_EQ(build.err, "");

  const int64_t stub = FileSize(stub_), screensaver = FileSize(screensaver_);
  const int64_t readme = FileSize(readme_), license = FileSize(license_),
                language = FileSize(language_);
  const int64_t package = stub + screensaver + readme + license + language + 946;
  const std::string bytes = testing::ReadFile(output_);
  const int64_t tail_start = stub + screensaver;
  const Json expected = {
      {"Kind", "setup"},
      {"PackageEnd", package},
      {"FileSize", package + 28},
      {"StubSize", stub},
      {"ScreensaverSize", screensaver},
      {"PayloadSize", package - stub},
      {"ScreensaverFile", "Aurora.scr"},
      {"Title", "Aur\u00e9ola \"Deluxe\""},
      {"WebAddress", web},
      {"AddUninstallEntry", 1},
      {"CreateProgramGroup", 1},
      {"CreateDesktopShortcut", 1},
      {"ExtrasSize", readme + license + language},
      {"ReadmeSize", readme},
      {"LicenseSize", license},
      {"LanguageSize", language},
      {"DefaultFolder", "C:\\Savers"},
      {"DefaultSubfolder", "Sub \u00e9"},
      {"SkipFolderPage", 1},
      {"RecordSignature", "SCRSet.sig"},
      {"LicenseMode", 3},
      {"CheckBlock", "present"},
      {"CheckFormatVersion", 1},
      {"CoveredLength", package - stub - 10},
      {"PayloadCrc", CrcText(Crc(bytes.substr(stub, screensaver)))},
      {"TailCrc", CrcText(Crc(bytes.substr(tail_start, package - 10 - tail_start)))},
      {"DisplayVersion", ""},
      {"Publisher", ""},
      {"HelpLink", ""},
      {"InstallScope", "machine"},
      {"CheckMatchesFile", "yes"},
      {"Problems", std::vector<std::string>{}},
  };
  EXPECT_EQ(InspectJson(output_), expected);
  EXPECT_EQ(FileSize(output_), package + 28);

  // The text form shows the same fields, one "Name  value" line each.
  RunResult text = Run({"inspect", output_});
  ASSERT_EQ(text.exit_code, 0) << text.err;
  Json lines;
  size_t line_start = 0;
  for (size_t end; (end = text.out.find('\n', line_start)) != std::string::npos;
       line_start = end + 1) {
    std::string line = text.out.substr(line_start, end - line_start);
    size_t gap = line.find(' ');
    ASSERT_NE(gap, std::string::npos) << line;
    Json value = Json::parse(line.substr(gap + 1), nullptr, /*allow_exceptions=*/false);
    ASSERT_FALSE(value.is_discarded()) << line;
    lines[line.substr(0, gap)] = value;
  }
  lines["Problems"] = std::vector<std::string>{};
  EXPECT_EQ(lines, expected) << text.out;
}

// The installer reads the blocks where the tool put them, byte for byte.
TEST_F(SaverpackCliTest, BuiltPackageReadsBackThroughTheCore) {
  ASSERT_EQ(Run(BuildArguments(
                    {{"--readme", readme_}, {"--license", license_}, {"--language", language_}}))
                .exit_code,
            0);
  auto file = OpenForReading(output_);
  ASSERT_TRUE(file);
  auto location = scrsetup::LocatePackage(*file);
  ASSERT_TRUE(location);
  scrsetup::SetupRecord record;
  ASSERT_TRUE(scrsetup::ReadRecord(*file, location->PackageEnd, record));
  auto texts = scrsetup::ReadSetupTexts(*file, location->PackageEnd, record);
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->readme, testing::ReadFile(readme_));
  EXPECT_EQ(texts->license, testing::ReadFile(license_));
  EXPECT_EQ(scrsetup::ReadLanguageText(*file, location->PackageEnd, record),
            testing::ReadFile(language_));
  const std::string tail = testing::ReadFile(readme_) + testing::ReadFile(license_) +
                           testing::ReadFile(language_) +
                           std::string(reinterpret_cast<const char*>(&record), sizeof(record));
  std::optional<std::string> check = scrsetup::EncodeCheckBlock(
      {.covered_length = static_cast<uint32_t>(record.PayloadSize - 10),
       .payload_crc = Crc(testing::ReadFile(screensaver_)),
       .tail_crc = Crc(tail),
       .facts = {}},
      nullptr);
  ASSERT_TRUE(check);
  EXPECT_EQ(testing::ReadFile(output_), testing::ReadFile(stub_) + testing::ReadFile(screensaver_) +
                                            tail + "Vornex.sig" + *check);
}

TEST_F(SaverpackCliTest, BuildStoresDefaultsAndLongestTexts) {
  const std::string title32(32, 'T'), web102(102, 'w'), text250(250, 'f');
  const std::string name255 = std::string(251, 'n') + ".scr";
  testing::WriteFile(work_.Path(name255), "saver");
  struct Case {
    const char* name;
    std::map<std::string, std::optional<std::string>> changes;
    Json fields;
  } cases[] = {
      {"defaults",
       {},
       {{"Title", "Aurora"},
        {"WebAddress", ""},
        {"DefaultFolder", "<Program Files>"},
        {"DefaultSubfolder", "Aurora"},
        {"LicenseMode", 0},
        {"ExtrasSize", 0},
        {"AddUninstallEntry", 0},
        {"CreateProgramGroup", 0},
        {"CreateDesktopShortcut", 0},
        {"SkipFolderPage", 0}}},
      {"licence alone turns mode 1 on", {{"--license", license_}}, {{"LicenseMode", 1}}},
      {"licence kept but page off",
       {{"--license", license_}, {"--license-mode", "0"}},
       {{"LicenseMode", 0}, {"LicenseSize", FileSize(license_)}}},
      {"mode beyond 3 needs no licence", {{"--license-mode", "255"}}, {{"LicenseMode", 255}}},
      {"32-byte title fills its field",
       {{"--title", title32}, {"--web", "next"}},
       {{"Title", title32}, {"WebAddress", "next"}, {"DefaultSubfolder", title32}}},
      {"102-byte web address fills its field", {{"--web", web102}}, {{"WebAddress", web102}}},
      {"250-byte folders",
       {{"--folder", text250}, {"--subfolder", text250}},
       {{"DefaultFolder", text250}, {"DefaultSubfolder", text250}}},
      {"255-byte screensaver name",
       {{"--screensaver", work_.Path(name255)}},
       {{"ScreensaverFile", name255}, {"ScreensaverSize", 5}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunResult build = Run(BuildArguments(c.changes));
    ASSERT_EQ(build.exit_code, 0) << build.err;
    Json shown = InspectJson(output_);
    for (const auto& [name, value] : c.fields.items()) EXPECT_EQ(shown[name], value) << name;
    EXPECT_EQ(shown["Problems"], Json(std::vector<std::string>{}));
  }
}

TEST_F(SaverpackCliTest, RefusalsLeaveTheOutputAsItWas) {
  const std::string setup_package = work_.Path("built.exe");
  const std::string uninstaller = work_.Path("uninstall.exe");
  const std::string huge = work_.Path("huge.scr");
  testing::WriteFile(setup_package, "MZ...Vornex.sig");
  testing::WriteFile(uninstaller, "MZ...ScUnin.sig");
  testing::WriteFile(work_.Path("empty.exe"), "");
  // Sparse: with a one-byte readme the part after the stub is exactly 2 GiB.
  testing::WriteFile(huge, "");
  std::filesystem::resize_file(huge, (int64_t{1} << 31) - 946 - 1);
  const std::string one_byte = work_.Path("one.txt");
  testing::WriteFile(one_byte, "1");
  std::filesystem::create_directory(work_.Path("folder.exe"));
  const std::string long_name = work_.Path(std::string(252, 'n') + ".scr");
  const std::string chinese_readme = work_.Path("chinese.txt");
  testing::WriteFile(chinese_readme, "Line one\nLine two\r\n\xe4\xb8\xad\xe6\x96\x87\n");
  const std::string latin1_language = work_.Path("latin1.lng");
  testing::WriteFile(latin1_language,
                     "Setup\r\nBack=Zur\xfc"
                     "ck\r\n");
  const std::string greek_name = work_.Path("\xce\xa9mega.scr");
  testing::WriteFile(greek_name, "saver");
  const std::string big_readme = work_.Path("big.txt");
  testing::WriteFile(big_readme, "");
  std::filesystem::resize_file(big_readme, (int64_t{64} << 20) + 1);
  const std::string kanji16 = "表示表示表示表示表示表示表示表示";  // 32 bytes in 932
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    int exit_code;
    std::string message;
  } cases[] = {
      {"title over 32 bytes", BuildArguments({{"--title", std::string(33, 'T')}}), 1,
       "--title is 33 bytes"},
      {"empty title", BuildArguments({{"--title", ""}}), 1, "--title is empty"},
      {"web address over 102", BuildArguments({{"--web", std::string(103, 'w')}}), 1,
       "--web is 103 bytes"},
      {"folder over 250", BuildArguments({{"--folder", std::string(251, 'f')}}), 1,
       "--folder is 251 bytes"},
      {"subfolder over 250", BuildArguments({{"--subfolder", std::string(251, 's')}}), 1,
       "--subfolder is 251 bytes"},
      {"screensaver name over 255", BuildArguments({{"--screensaver", long_name}}), 1,
       "--screensaver file name '" + std::string(252, 'n') + ".scr' is 256 bytes"},
      {"screensaver path without a name", BuildArguments({{"--screensaver", work_.Path("") + "/"}}),
       1, "names no file"},
      {"missing screensaver", BuildArguments({{"--screensaver", work_.Path("missing.scr")}}), 1,
       "--screensaver '" + work_.Path("missing.scr") + "': cannot open"},
      {"missing stub", BuildArguments({{"--stub", work_.Path("missing.exe")}}), 1, "--stub '"},
      {"empty stub", BuildArguments({{"--stub", work_.Path("empty.exe")}}), 1, "is empty"},
      {"readme is a folder", BuildArguments({{"--readme", work_.Path("")}}), 1, "--readme '"},
      {"missing licence", BuildArguments({{"--license", work_.Path("missing.txt")}}), 1,
       "--license '"},
      {"missing language", BuildArguments({{"--language", work_.Path("missing.txt")}}), 1,
       "--language '"},
      {"stub is a setup package", BuildArguments({{"--stub", setup_package}}), 1,
       "already a package"},
      {"stub is an uninstaller", BuildArguments({{"--stub", uninstaller}}), 1, "already a package"},
      {"2 GiB after the stub", BuildArguments({{"--screensaver", huge}, {"--readme", one_byte}}), 1,
       "2 GiB"},
      {"output folder missing", BuildArguments({{"-o", work_.Path("none/out.exe")}}), 1,
       "cannot create"},
      // Fails only at the last step, after the whole package was written.
      {"output is a folder", BuildArguments({{"-o", work_.Path("folder.exe")}}), 1,
       "cannot replace"},
      {"licence page with an empty licence",
       BuildArguments({{"--license", work_.Path("empty.exe")}}), 1, "is empty, but licence mode 1"},
      {"licence page without licence", BuildArguments({{"--license-mode", "2"}}), 2,
       "no --license file"},
      {"no output", BuildArguments({{"-o", std::nullopt}}), 2, "option -o (--output) is required"},
      {"unknown option", BuildArguments({}, {"--frobnicate"}), 2, "unknown option '--frobnicate'"},
      {"package file missing", BuildArguments({}, {"extra.ini"}), 1, "extra.ini: cannot open"},
      // Texts the code page cannot hold, named with their line and character.
      {"title not in the code page", BuildArguments({{"--title", "Aurora 中"}}), 1,
       "--title: line 1: U+4E2D \"中\" has no code in code page 1252"},
      {"web address not UTF-8", BuildArguments({{"--web", "caf\xe9"}}), 1,
       "--web: line 1: byte 0xE9 is not UTF-8"},
      {"folder not in 1251",
       BuildArguments({{"--folder", "C:\\Ordner\xc3\xa9"}, {"--codepage", "1251"}}), 1,
       "--folder: line 1: U+00E9"},
      {"file name not in 1252", BuildArguments({{"--screensaver", greek_name}}), 1,
       "--screensaver file name '\xce\xa9mega.scr': line 1: U+03A9"},
      {"readme line 3", BuildArguments({{"--readme", chinese_readme}}), 1,
       "--readme '" + chinese_readme + "': line 3: U+4E2D \"中\" has no code in code page 1252"},
      {"language file not UTF-8", BuildArguments({{"--language", latin1_language}}), 1,
       "--language '" + latin1_language + "': line 2: byte 0xFC is not UTF-8"},
      {"Japanese catalogue in 1252", BuildArguments({{"--language", "ja"}}), 1,
       "--language ja: line 2: U+623B \"戻\" has no code in code page 1252 (the Japanese"},
      {"catalogue without code page",
       BuildArguments({{"--language", "de"}, {"--codepage", "none"}}), 2,
       "--language de is a catalogue language and needs a code page"},
      {"unknown catalogue code", BuildArguments({{"--language", "xx"}}), 1,
       "--language 'xx': no such file, and no catalogue language has that code"},
      {"title over 32 bytes once converted",
       BuildArguments({{"--title", kanji16 + "a"}, {"--codepage", "932"}}), 1,
       "--title is 33 bytes long in code page 932; the record holds at most 32"},
      {"text file too large to convert", BuildArguments({{"--readme", big_readme}}), 1,
       "a text to convert may hold at most 64 MiB"},
      // The check block's facts: in the code page, and never an end signature.
      {"publisher holds an end signature", BuildArguments({{"--publisher", "Vornex.sig Ltd"}}), 1,
       "the publisher holds an end signature"},
      {"help link holds the uninstaller's", BuildArguments({{"--help-link", "x/ScUnin.sig"}}), 1,
       "the help link holds an end signature"},
      {"version not in the code page", BuildArguments({{"--version", "2.0 中"}}), 1,
       "--version: line 1: U+4E2D \"中\" has no code in code page 1252"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::WriteFile(output_, "previous package");
    const std::vector<std::string> files_before = work_.Names();
    RunResult result = Run(c.arguments);
    EXPECT_EQ(result.exit_code, c.exit_code) << result.err;
    EXPECT_EQ(result.err.rfind("saverpack: ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(testing::ReadFile(output_), "previous package");
    EXPECT_EQ(work_.Names(), files_before);
  }
}

// UTF-8 texts and files go into the record and blocks in the chosen code
// page, at most as many bytes there as the record holds; inspect decodes
// them from the code page it is given.
TEST_F(SaverpackCliTest, BuildWritesTextsInTheCodePage) {
  const std::string readme = work_.Path("readme-utf8.txt");
  testing::WriteFile(readme,
                     "\xef\xbb\xbfGr\xc3\xbc\xc3\x9f"
                     "e\nzwei\n");
  const std::string license = work_.Path("license-utf16.txt");
  testing::WriteFile(license, std::string("\xff\xfe\x16\x04\n\x00", 6));  // "Ж\n"
  struct Case {
    const char* code_page;
    std::string title;
    std::string title_bytes;
    std::string readme_bytes;  // nullopt-like: empty when the readme is left out
    std::string license_bytes;
  } cases[] = {
      {"1252", "Über Aurora",
       "\xdc"
       "ber Aurora",
       "Gr\xfc\xdf"
       "e\r\nzwei\r\n",
       ""},
      {"1251", "Заставка", "\xc7\xe0\xf1\xf2\xe0\xe2\xea\xe0", "", "\xc6\r\n"},
      {"932", "表示表示表示表示表示表示表示表示", std::string(16, ' '), "", ""},
      {"936", "屏幕保护", "\xc6\xc1\xc4\xbb\xb1\xa3\xbb\xa4", "", ""},
  };
  cases[2].title_bytes = "";
  for (int i = 0; i < 8; ++i) cases[2].title_bytes += "\x95\x5c\x8e\xa6";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code_page);
    std::map<std::string, std::optional<std::string>> changes = {{"--title", c.title},
                                                                 {"--codepage", c.code_page}};
    if (!c.readme_bytes.empty()) changes["--readme"] = readme;
    if (!c.license_bytes.empty()) changes["--license"] = license;
    RunResult build = Run(BuildArguments(changes));
    ASSERT_EQ(build.exit_code, 0) << build.err;

    auto file = OpenForReading(output_);
    ASSERT_TRUE(file);
    auto location = scrsetup::LocatePackage(*file);
    scrsetup::SetupRecord record;
    ASSERT_TRUE(location && scrsetup::ReadRecord(*file, location->PackageEnd, record));
    EXPECT_EQ(scrsetup::FieldText(record.Title), c.title_bytes);
    EXPECT_EQ(scrsetup::CountedText(record.DefaultSubfolder), c.title_bytes);
    auto texts = scrsetup::ReadSetupTexts(*file, location->PackageEnd, record);
    ASSERT_TRUE(texts);
    EXPECT_EQ(texts->readme.value_or(""), c.readme_bytes);
    EXPECT_EQ(texts->license.value_or(""), c.license_bytes);
    file.reset();

    RunResult shown = Run({"inspect", output_, "--codepage", c.code_page, "--json"});
    EXPECT_NE(shown.out.find("\"Title\": \"" + c.title + "\""), std::string::npos) << shown.out;
  }
}

// --language CODE writes the catalogue's table in the package's code page.
TEST_F(SaverpackCliTest, BuildTakesACatalogueLanguage) {
  struct Case {
    const char* code;
    const char* code_page;
    std::string back;  // the translation of "Back" in the code page
  } cases[] = {
      {"de", "1252",
       "Zur\xfc"
       "ck"},
      {"ru", "1251", "\xcd\xe0\xe7\xe0\xe4"},
      {"ja", "932", "\x96\xdf\x82\xe9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    RunResult build = Run(BuildArguments({{"--language", c.code}, {"--codepage", c.code_page}}));
    ASSERT_EQ(build.exit_code, 0) << build.err;
    auto file = OpenForReading(output_);
    auto location = scrsetup::LocatePackage(*file);
    scrsetup::SetupRecord record;
    ASSERT_TRUE(location && scrsetup::ReadRecord(*file, location->PackageEnd, record));
    std::optional<std::string> text =
        scrsetup::ReadLanguageText(*file, location->PackageEnd, record);
    ASSERT_TRUE(text);
    scrsetup::LanguageTable table;
    table.LoadLanguageTable(*text, "Setup");
    EXPECT_EQ(table.Translate("Back"), c.back);
    EXPECT_NE(table.Translate("Cancel"), "Cancel");
  }
}

// A record byte that the code page does not define shows escaped, never
// dropped; so does a lead byte that no second byte completes.
TEST_F(SaverpackCliTest, InspectShowsUndefinedBytesEscaped) {
  ASSERT_EQ(Run(BuildArguments(
                    {{"--title", "A\x81 \x95"}, {"--web", "\x95\x5c"}, {"--codepage", "none"}}))
                .exit_code,
            0);
  struct Case {
    const char* code_page;
    std::string title;  // as the text form shows it
    std::string web;
  } cases[] = {
      {"1252", "\"A\\x81 \u2022\"", "\"\u2022\\\\\""},  // 0x95 is a bullet in 1252
      {"932", "\"A\\x81 \\x95\"", "\"\u8868\""},        // 0x95 0x5C is one character
      {"none", "\"A\\x81 \\x95\"", "\"\\x95\\\\\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code_page);
    RunResult shown = Run({"inspect", output_, "--codepage", c.code_page});
    ASSERT_EQ(shown.exit_code, 0) << shown.err;
    EXPECT_NE(shown.out.find("\nTitle                   " + c.title + "\n"), std::string::npos)
        << shown.out;
    EXPECT_NE(shown.out.find("\nWebAddress              " + c.web + "\n"), std::string::npos)
        << shown.out;
  }
  // The JSON stays valid: the escape is text there.
  Json json = InspectJson(output_);
  EXPECT_EQ(json["Title"], Json("A\\x81 \u2022"));
}

// The check block's facts go in in the code page and come out decoded.
TEST_F(SaverpackCliTest, BuildStoresVersionPublisherAndHelpLink) {
  RunResult build = Run(BuildArguments({{"--version", "2.1 édition"},
                                        {"--publisher", "Lumière \"&\" Co"},
                                        {"--help-link", "https://example.org/help?a=1"}}));
  ASSERT_EQ(build.exit_code, 0) << build.err;
  EXPECT_NE(testing::ReadFile(output_).find("2.1 \xe9" "dition"), std::string::npos);
  Json shown = InspectJson(output_);
  EXPECT_EQ(shown["DisplayVersion"], Json("2.1 édition"));
  EXPECT_EQ(shown["Publisher"], Json("Lumière \"&\" Co"));
  EXPECT_EQ(shown["HelpLink"], Json("https://example.org/help?a=1"));
  EXPECT_EQ(shown["CheckMatchesFile"], Json("yes"));
  EXPECT_EQ(Run({"inspect", "--verify", output_}).exit_code, 0);
}

// A user-scope package: the scope in the check block, and the stub copy
// asking for no elevation, rewritten in place; a stub whose manifest level
// cannot be found exactly once is refused and nothing is written.
TEST_F(SaverpackCliTest, BuildUserScope) {
  const std::string highest = "<requestedExecutionLevel level=\"highestAvailable\" uiAccess=\"false\"/>";
  const std::string invoker = "<requestedExecutionLevel level=\"asInvoker\"        uiAccess=\"false\"/>";
  const std::string pattern = testing::PatternBytes(2048, 1);
  testing::WriteFile(stub_, pattern + highest);
  ASSERT_EQ(Run(BuildArguments({{"--scope", "user"}})).exit_code, 0);
  const std::string built = testing::ReadFile(output_);
  EXPECT_EQ(built.substr(0, pattern.size() + invoker.size()), pattern + invoker);
  Json shown = InspectJson(output_);
  EXPECT_EQ(shown["InstallScope"], Json("user"));
  EXPECT_EQ(shown["StubSize"], Json(FileSize(stub_)));
  EXPECT_EQ(shown["CheckMatchesFile"], Json("yes"));

  ASSERT_EQ(Run(BuildArguments({{"--scope", "machine"}})).exit_code, 0);
  EXPECT_EQ(testing::ReadFile(output_).substr(0, pattern.size() + highest.size()), pattern + highest);
  EXPECT_EQ(InspectJson(output_)["InstallScope"], Json("machine"));

  for (const std::string& stub : {pattern, pattern + highest + highest}) {
    testing::WriteFile(stub_, stub);
    std::remove(output_.c_str());
    RunResult refused = Run(BuildArguments({{"--scope", "user"}}));
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_NE(refused.err.find("cannot build a --scope user package on it"), std::string::npos)
        << refused.err;
    EXPECT_FALSE(std::filesystem::exists(output_));
  }
}

// inspect --verify recomputes both CRCs over the file: one byte changed in
// the screensaver, the readme, the licence or the record is found, and a
// damaged block is reported as such. Without --verify the same packages
// inspect with status 0 and the difference among the problems.
TEST_F(SaverpackCliTest, InspectVerifyFindsAChangedByte) {
  ASSERT_EQ(Run(BuildArguments({{"--readme", readme_}, {"--license", license_}})).exit_code, 0);
  const std::string built = testing::ReadFile(output_);
  const int64_t stub = FileSize(stub_), screensaver = FileSize(screensaver_);
  const int64_t readme = FileSize(readme_), license = FileSize(license_);
  const int64_t record_start = stub + screensaver + readme + license;
  const int64_t block_start = record_start + 946;
  struct Case {
    const char* name;
    std::optional<int64_t> flipped;  // the offset of the byte changed
    int exit_code;
    std::string message;  // on stderr
    std::string state;    // CheckBlock
  } cases[] = {
      {"as built", std::nullopt, 0, "", "present"},
      {"screensaver byte", stub + screensaver / 2, 1,
       "the CRC-32 of the screensaver is", "present"},
      {"readme byte", stub + screensaver, 1, "the CRC-32 of the blocks and record is", "present"},
      {"licence byte", stub + screensaver + readme + 3, 1, "the CRC-32 of the blocks and record is",
       "present"},
      {"reserved record byte", record_start + 933, 1, "the CRC-32 of the blocks and record is",
       "present"},
      {"check block's covered length", block_start + 0x0c, 1, "the check block after the end "
       "signature is damaged", "damaged"},
      {"check block's CRC", static_cast<int64_t>(built.size()) - 1, 1, "is damaged", "damaged"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = built;
    if (c.flipped) bytes[static_cast<size_t>(*c.flipped)] ^= 0x20;
    testing::WriteFile(output_, bytes);
    RunResult verify = Run({"inspect", "--verify", output_});
    EXPECT_EQ(verify.exit_code, c.exit_code) << verify.err;
    EXPECT_NE(verify.err.find(c.message), std::string::npos) << verify.err;
    Json shown = InspectJson(output_);
    EXPECT_EQ(shown["CheckBlock"], Json(c.state));
    ASSERT_TRUE(shown["Problems"].is_array());
    EXPECT_EQ(shown["Problems"].empty(), c.exit_code == 0);
    if (c.state == "present") {
      EXPECT_EQ(shown["CheckMatchesFile"], Json(c.exit_code == 0 ? "yes" : "no"));
    }
  }
}

// A package without a block (an earlier saverpack's) inspects as before
// and says so; --verify cannot vouch for it, nor for an uninstaller.
TEST_F(SaverpackCliTest, InspectVerifyNeedsACheckBlock) {
  ASSERT_EQ(Run(BuildArguments()).exit_code, 0);
  const int64_t end = InspectJson(output_)["PackageEnd"].get<int64_t>();
  std::filesystem::resize_file(output_, static_cast<uintmax_t>(end));
  Json shown = InspectJson(output_);
  EXPECT_EQ(shown["CheckBlock"], Json("absent"));
  EXPECT_EQ(shown.count("PayloadCrc"), 0u);
  EXPECT_EQ(shown["Problems"], Json(std::vector<std::string>{}));
  RunResult text = Run({"inspect", output_});
  EXPECT_NE(text.out.find("CheckBlock              \"absent\"\n"), std::string::npos) << text.out;
  RunResult verify = Run({"inspect", output_, "--verify"});
  EXPECT_EQ(verify.exit_code, 1);
  EXPECT_NE(verify.err.find("carries no check block"), std::string::npos) << verify.err;
  EXPECT_NE(verify.out.find("\"absent\""), std::string::npos) << "the report is printed too";

  const std::string uninstaller = work_.Path("uninstall.exe");
  testing::WriteFile(uninstaller, testing::ReadFile(output_).substr(0, static_cast<size_t>(end) - 10) +
                                      "ScUnin.sig");
  RunResult uninstall = Run({"inspect", uninstaller, "--verify"});
  EXPECT_EQ(uninstall.exit_code, 1);
  EXPECT_NE(uninstall.err.find("an uninstaller carries no check block"), std::string::npos)
      << uninstall.err;
}

// init writes a package file that builds as written once its screensaver
// is beside it, on the stub that ships with saverpack; build reads it, its
// paths relative to its own folder, with the command line's options over it.
TEST_F(SaverpackCliTest, BuildFromAPackageFile) {
  // saverpack as its Windows zip holds it, with the x86 stub beside it.
  const std::string program = work_.Path("kit/saverpack");
  std::filesystem::create_directories(work_.Path("kit"));
  std::filesystem::copy_file(SAVERPACK_BINARY, program);
  const std::string shipped_stub = testing::PatternBytes(3000, 5);
  testing::WriteFile(work_.Path("kit/setup-x86.exe"), shipped_stub);

  const std::string ini = work_.Path("aurora.ini");
  RunResult init = RunProgram(program, {"init", ini});
  ASSERT_EQ(init.exit_code, 0) << init.err;
  RunResult again = RunProgram(program, {"init", ini});
  EXPECT_EQ(again.exit_code, 1);
  EXPECT_NE(again.err.find("exists already"), std::string::npos) << again.err;
  testing::WriteFile(work_.Path("aurora.scr"), testing::ReadFile(screensaver_));
  RunResult as_written = RunProgram(program, {"build", ini});
  ASSERT_EQ(as_written.exit_code, 0) << as_written.err;
  Json shown = InspectJson(work_.Path("aurora-setup.exe"));
  EXPECT_EQ(shown["Title"], Json("Aurora"));
  EXPECT_EQ(shown["StubSize"], Json(static_cast<int64_t>(shipped_stub.size())));

  RunResult build = RunProgram(program, {"build", ini, "--title", "Other", "--version", "3.0"});
  ASSERT_EQ(build.exit_code, 0) << build.err;
  shown = InspectJson(work_.Path("aurora-setup.exe"));
  EXPECT_EQ(shown["Title"], Json("Other"));
  EXPECT_EQ(shown["ScreensaverFile"], Json("aurora.scr"));
  EXPECT_EQ(shown["AddUninstallEntry"], Json(int64_t{1}));
  EXPECT_EQ(shown["DisplayVersion"], Json("3.0"));

  const std::string template_text = testing::ReadFile(ini);
  const auto line = std::count(template_text.begin(), template_text.end(), '\n') + 1;
  testing::AppendToFile(ini, "license-mode = two\n");
  RunResult bad = Run({"build", ini});
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_NE(bad.err.find(ini + ":" + std::to_string(line) + ": license-mode 'two' is not a number"),
            std::string::npos)
      << bad.err;
}

TEST_F(SaverpackCliTest, InspectRefusesWhatIsNotAPackage) {
  struct Case {
    const char* name;
    std::optional<std::string> bytes;  // nullopt: no such file
    std::string message;
  } cases[] = {
      {"empty file", "", "not a package"},
      {"no signature", testing::PatternBytes(5000, 3), "not a package"},
      {"signature alone", "Vornex.sig", "no room for the 936-byte record"},
      {"record would start before the file", std::string(935, 'x') + "ScUnin.sig", "no room"},
      {"no such file", std::nullopt, "cannot open"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = work_.Path("candidate.exe");
    std::filesystem::remove(path);
    if (c.bytes) testing::WriteFile(path, *c.bytes);
    for (const char* form : {"", "--json"}) {
      std::vector<std::string> arguments = {"inspect", path};
      if (*form) arguments.push_back(form);
      RunResult result = Run(arguments);
      EXPECT_EQ(result.exit_code, 1);
      EXPECT_EQ(result.out, "");
      EXPECT_NE(result.err.find("'" + path + "': "), std::string::npos) << result.err;
      EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
  }
}

// Bytes after the end signature (an appended code signature, say) are
// skipped: the package reads as before, ending where it ended.
TEST_F(SaverpackCliTest, InspectSkipsBytesAfterTheSignature) {
  ASSERT_EQ(Run(BuildArguments({{"--readme", readme_}})).exit_code, 0);
  Json before = InspectJson(output_);
  testing::AppendToFile(output_, testing::PatternBytes(3 * 1024 * 1024 + 5, 9));
  Json after = InspectJson(output_);
  EXPECT_EQ(after["FileSize"],
            Json(before["FileSize"].get<int64_t>() + 3 * 1024 * 1024 + 5));
  after["FileSize"] = before["FileSize"];
  EXPECT_EQ(after, before);
}

TEST_F(SaverpackCliTest, InspectShowsUninstallersAndInconsistentRecords) {
  ASSERT_EQ(Run(BuildArguments({{"--readme", readme_}, {"--language", language_}})).exit_code, 0);
  const std::string uninstaller_path = work_.Path("uninstall.exe");
  {
    auto source = OpenForReading(output_);
    auto target = CreateNewFile(uninstaller_path);
    ASSERT_TRUE(source && target);
    auto location = scrsetup::LocatePackage(*source);
    scrsetup::SetupRecord record;
    ASSERT_TRUE(location && scrsetup::ReadRecord(*source, location->PackageEnd, record));
    ASSERT_TRUE(scrsetup::WriteUninstallerPackage(*source, location->PackageEnd, record, *target));
    ASSERT_TRUE(target->Close());
  }
  Json uninstaller = InspectJson(uninstaller_path);
  EXPECT_EQ(uninstaller["Kind"], Json("uninstaller"));
  EXPECT_EQ(uninstaller["StubSize"], Json(FileSize(stub_)));
  EXPECT_EQ(uninstaller.count("ScreensaverSize"), 0u);
  EXPECT_EQ(uninstaller["Problems"], Json(std::vector<std::string>{}));

  // A record whose ExtrasSize disagrees with its blocks is still shown, with the problem named.
  std::string bytes = testing::ReadFile(output_);
  scrsetup::SetupRecord record;
  size_t record_start =
      static_cast<size_t>(InspectJson(output_)["PackageEnd"].get<int64_t>()) - 946;
  std::memcpy(&record, bytes.data() + record_start, sizeof(record));
  record.ExtrasSize += 1;
  bytes.replace(record_start, sizeof(record), reinterpret_cast<const char*>(&record),
                sizeof(record));
  testing::WriteFile(output_, bytes);
  Json damaged = InspectJson(output_);
  const Json& problems = damaged["Problems"];
  ASSERT_TRUE(problems.is_array() && !problems.empty());
  EXPECT_NE(problems[0].get<std::string>().find("ExtrasSize"), std::string::npos);
}

// Without --stub the tool finds the stub for --arch relative to its own
// file, in each layout it ships in, also when started through a link.
TEST_F(SaverpackCliTest, BuildFindsTheStubThatShipsWithIt) {
  namespace fs = std::filesystem;
  const std::string x86 = testing::PatternBytes(3000, 5), x64 = testing::PatternBytes(4000, 6);
  auto place = [&](const std::string& program, const std::string& x86_stub,
                   const std::string& x64_stub) {
    for (const std::string& path : {program, x86_stub, x64_stub}) {
      fs::create_directories(fs::path(path).parent_path());
    }
    fs::copy_file(SAVERPACK_BINARY, program);
    testing::WriteFile(x86_stub, x86);
    testing::WriteFile(x64_stub, x64);
  };
  const std::string zip = work_.Path("zip/saverpack");
  place(zip, work_.Path("zip/setup-x86.exe"), work_.Path("zip/setup-x64.exe"));
  const std::string prefix = work_.Path("prefix/bin/saverpack");
  place(prefix, work_.Path("prefix/share/saverpack/setup-x86.exe"),
        work_.Path("prefix/share/saverpack/setup-x64.exe"));
  const std::string build_tree = work_.Path("build/native/bin/saverpack");
  place(build_tree, work_.Path("build/win32/bin/setup.exe"),
        work_.Path("build/win64/bin/setup.exe"));
  const std::string link = work_.Path("links/saverpack");
  fs::create_directories(work_.Path("links"));
  fs::create_symlink(prefix, link);

  const std::string other_stub = work_.Path("other.exe");
  testing::WriteFile(other_stub, "MZ other");
  struct Case {
    const char* name;
    std::string program;
    std::vector<std::string> options;
    std::string stub;
  } cases[] = {
      {"zip, default x86", zip, {}, x86},
      {"zip, x64", zip, {"--arch", "x64"}, x64},
      {"prefix, x86", prefix, {"--arch", "x86"}, x86},
      {"prefix, x64", prefix, {"--arch", "x64"}, x64},
      {"build tree, default x86", build_tree, {}, x86},
      {"build tree, x64", build_tree, {"--arch", "x64"}, x64},
      {"link to the prefix's program", link, {"--arch", "x64"}, x64},
      {"--stub wins over --arch", prefix, {"--arch", "x64", "--stub", other_stub}, "MZ other"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunResult build = RunProgram(c.program, BuildArguments({{"--stub", std::nullopt}}, c.options));
    ASSERT_EQ(build.exit_code, 0) << build.err;
    const std::string screensaver = testing::ReadFile(screensaver_);
    EXPECT_EQ(testing::ReadFile(output_).substr(0, c.stub.size() + screensaver.size()),
              c.stub + screensaver);
    EXPECT_EQ(InspectJson(output_)["StubSize"], Json(static_cast<int64_t>(c.stub.size())));
  }

  // Alone in a folder it names every place it looked in, and writes nothing.
  const std::string alone = work_.Path("a/b/alone/saverpack");
  fs::create_directories(work_.Path("a/b/alone"));
  fs::copy_file(SAVERPACK_BINARY, alone);
  fs::remove(output_);
  RunResult refused =
      RunProgram(alone, BuildArguments({{"--stub", std::nullopt}}, {"--arch", "x64"}));
  EXPECT_EQ(refused.exit_code, 1);
  for (const std::string& place :
       {work_.Path("a/b/alone/setup-x64.exe"), work_.Path("a/b/share/saverpack/setup-x64.exe"),
        work_.Path("a/win64/bin/setup.exe")}) {
    EXPECT_NE(refused.err.find("\n  " + place + ": No such file or directory"), std::string::npos)
        << refused.err;
  }
  EXPECT_NE(refused.err.find("--stub FILE"), std::string::npos) << refused.err;
  EXPECT_FALSE(fs::exists(output_));
}

// Help on stdout with status 0; a wrong command line on stderr with status
// 2 (every usage error is in command_line_test.cc).
TEST_F(SaverpackCliTest, HelpAndWrongCommands) {
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
    std::string shown;  // expected on stdout for 0, on stderr otherwise
  } cases[] = {
      {{"--help"}, 0, "saverpack inspect PACKAGE.exe [--json]"},
      {{"help"}, 0, "--desktop-shortcut"},
      {{"help", "inspect"}, 0, "--json"},
      {{"build", "--help"}, 0, "--license-mode N"},
      {{"build", "--frobnicate", "-h"}, 0, "--screensaver FILE.scr"},
      {{"inspect", "--help"}, 0, "JSON object"},
      {{}, 2, "no command given"},
      {{"help", "languages"}, 0, "the code page each language"},
      {{"languages"}, 0, "ja     932        Japanese"},
      {{"build", "--help"}, 0, "--codepage N | none"},
      {{"inspect", "--help"}, 0, "--verify"},
      {{"help", "winget"}, 0, "--id PUBLISHER.NAME"},
      {{"help", "init"}, 0, "never replaces an existing file"},
      {{"--version"}, 0, "saverpack " SCRSETUP_VERSION "\n"},
      {{"--help"}, 0, "saverpack --version"},
      {{"build", "--help"}, 0, "--arch x86 | x64"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    RunResult result = Run(c.arguments);
    EXPECT_EQ(result.exit_code, c.exit_code);
    EXPECT_NE((c.exit_code == 0 ? result.out : result.err).find(c.shown), std::string::npos)
        << result.out << result.err;
  }
}

// --sign runs its command on each file to sign; a command that fails, or
// that does more than add a signature, fails the build with its output and
// leaves no package and no file to sign behind.
TEST_F(SaverpackCliTest, SignRefusesACommandThatFailsOrDoesMoreThanSign) {
  testing::WriteFile(stub_, scrsetup::testing::PeImage(0x10b, 2048));
  testing::WriteFile(output_, "earlier");
  struct Case {
    const char* name;
    std::string command;
    std::string message;
  } cases[] = {
      {"the command fails", "echo no key for {file}; exit 4", "ended with status 4"},
      {"nothing appended", "test -f {file}", "appended no certificate table"},
      {"bytes appended where the padding goes", "printf 'CERTDATA' >>{file}",
       "something other than zeros before the certificate table"},
      {"zeros appended, the header not pointing at them", "head -c 64 /dev/zero >>{file}",
       "does not point at one aligned table"},
      {"a byte of the program changed",
       "printf X | dd of={file} bs=1 seek=1500 conv=notrunc 2>/dev/null; "
       "head -c 64 /dev/zero >>{file}",
       "changed more than the checksum"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunResult result = Run(BuildArguments({{"--sign", c.command}}));
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_EQ(testing::ReadFile(output_), "earlier");
    for (const auto& entry : std::filesystem::directory_iterator(work_.Path(""))) {
      EXPECT_EQ(entry.path().filename().string().find(".sign"), std::string::npos)
          << entry.path();
    }
  }
  RunResult failed = Run(BuildArguments({{"--sign", "echo no key for {file}; exit 4"}}));
  EXPECT_NE(failed.err.find("no key for " + output_ + ".sign0.exe"), std::string::npos)
      << "the quoted path and the command's output: " << failed.err;
}

}  // namespace
}  // namespace saverpack
