#include "saverpack/build/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "saverpack/test_support.h"

namespace saverpack {
namespace {

// An INI file beside its inputs in a temporary folder, read with the
// given command-line settings laid over it.
class IniFileTest : public ::testing::Test {
 protected:
  IniFileTest() {
    std::filesystem::create_directory(folder_.Path("pkg"));
    for (const char* name : {"pkg/setup.exe", "pkg/Aurora.scr", "pkg/readme.txt", "pkg/de.lng"}) {
      testing::WriteFile(folder_.Path(name), "x");
    }
  }

  std::optional<Failure> Read(const std::string& contents,
                              const std::vector<OptionSetting>& command_line = {}) {
    testing::WriteFile(ini_, contents);
    return BuildOptionsFromIniFile(ini_, command_line, build_);
  }

  std::string In(const std::string& name) const { return folder_.Path("pkg") + "/" + name; }

  testing::TempFolder folder_;
  const std::string ini_ = folder_.Path("pkg") + "/aurora.ini";
  BuildOptions build_;
};

constexpr const char* kMinimal =
    "output = out.exe\n"
    "stub = setup.exe\n"
    "screensaver = Aurora.scr\n"
    "title = Aurora\n";

TEST_F(IniFileTest, GoodFileFillsEveryKindOfOption) {
  std::optional<Failure> failure =
      Read("\xef\xbb\xbf; the example\r\n"
           "# another comment\r\n"
           "[package]\r\n"
           "output = out.exe\r\n"
           "stub=setup.exe\r\n"
           "arch = x64\r\n"
           "  screensaver   =   Aurora.scr  \r\n"
           "title = \" Aurora Deluxe \"\r\n"
           "web = https://example.org/#top\r\n"
           "readme = readme.txt\r\n"
           "language = de.lng\r\n"
           "codepage = 1251\r\n"
           "license-mode = 4\r\n"
           "uninstall-entry = yes\r\n"
           "program-group = No\r\n"
           "desktop-shortcut = TRUE\r\n"
           "version = 1.2\r\n"
           "publisher = Lumi\xc3\xa8re\r\n"
           "help-link = https://example.org/help\r\n");
  ASSERT_FALSE(failure) << failure->message;
  EXPECT_EQ(build_.output, In("out.exe"));
  EXPECT_EQ(build_.stub, In("setup.exe"));
  EXPECT_EQ(build_.arch, StubArch::kX64);
  EXPECT_EQ(build_.screensaver, In("Aurora.scr"));
  EXPECT_EQ(build_.title, " Aurora Deluxe ");
  EXPECT_EQ(build_.web_address, "https://example.org/#top");
  EXPECT_EQ(build_.readme, In("readme.txt"));
  EXPECT_EQ(build_.language, std::vector<std::string>{In("de.lng")});
  EXPECT_EQ(build_.code_page, 1251);
  EXPECT_EQ(build_.license_mode, 4);
  EXPECT_TRUE(build_.add_uninstall_entry);
  EXPECT_FALSE(build_.create_program_group);
  EXPECT_TRUE(build_.create_desktop_shortcut);
  EXPECT_EQ(build_.display_version, "1.2");
  EXPECT_EQ(build_.publisher, "Lumi\xc3\xa8re");
  EXPECT_EQ(build_.help_link, "https://example.org/help");
}

// Paths in the file are relative to its folder; absolute ones stay, a
// catalogue language stays a code, and the command line's paths are taken
// as given (relative to the current folder).
TEST_F(IniFileTest, PathsAreRelativeToTheFile) {
  const std::string absolute = folder_.Path("elsewhere.txt");
  testing::WriteFile(absolute, "x");
  ASSERT_FALSE(Read(std::string(kMinimal) + "license = " + absolute +
                        "\nlanguage = de\nlanguage = sv.lng@041D:1252,fr\n",
                    {{"--readme", "readme.txt", ""}}));
  EXPECT_EQ(build_.screensaver, In("Aurora.scr"));
  EXPECT_EQ(build_.license, absolute);
  // Each entry of a list of languages on its own, its file relative too.
  EXPECT_EQ(build_.language, (std::vector<std::string>{"de", In("sv.lng") + "@041D:1252", "fr"}));
  EXPECT_EQ(build_.readme, "readme.txt");
}

// The command line replaces the file's settings and adds to them.
TEST_F(IniFileTest, CommandLineOverrides) {
  ASSERT_FALSE(Read(std::string(kMinimal) + "codepage = 1252\nversion = 1.0\n",
                    {{"--title", "Other", ""}, {"--codepage", "none", ""}, {"--skip-folder-page", "", ""}}));
  EXPECT_EQ(build_.title, "Other");
  EXPECT_EQ(build_.subfolder, "Other");
  EXPECT_EQ(build_.code_page, std::nullopt);
  EXPECT_TRUE(build_.skip_folder_page);
  EXPECT_EQ(build_.display_version, "1.0");
  EXPECT_EQ(build_.stub, In("setup.exe"));
}

// Every problem names the file and line (exit status 1); a bad value on the
// command line stays a usage failure.
TEST_F(IniFileTest, ProblemsNameTheFileAndLine) {
  struct Case {
    const char* name;
    std::string contents;
    std::vector<OptionSetting> command_line;
    int exit_code;
    std::string message;
  } cases[] = {
      {"unknown key", std::string(kMinimal) + "\n; x\ntitel = A\n", {}, 1,
       ":7: unknown key 'titel'"},
      {"option spelled with dashes", "--title = A\n", {}, 1, ":1: unknown key '--title'"},
      {"no equals sign", std::string(kMinimal) + "uninstall-entry\n", {}, 1,
       ":5: expected 'key = value'"},
      {"bad licence mode", std::string(kMinimal) + "license-mode = 2x\n", {}, 1,
       ":5: license-mode '2x' is not a number from 0 to 255"},
      {"bad code page", "codepage = 437\n" + std::string(kMinimal), {}, 1,
       ":1: codepage '437' is not a supported code page"},
      {"unknown architecture", std::string(kMinimal) + "arch = x86_64\n", {}, 1,
       ":5: arch 'x86_64' is neither x86 nor x64"},
      {"bad switch value", std::string(kMinimal) + "program-group = maybe\n", {}, 1,
       ":5: program-group = 'maybe': give yes or no"},
      {"key twice", std::string(kMinimal) + "title = B\n", {}, 1,
       ":5: title is given twice (first on line 4)"},
      {"unknown section", "[setup]\n" + std::string(kMinimal), {}, 1, ":1: unknown section [setup]"},
      {"second section", "[package]\n[package]\n", {}, 1, ":2: a second [package] section"},
      {"missing readme", std::string(kMinimal) + "readme = gone.txt\n", {}, 1,
       ":5: readme '" + In("gone.txt") + "': cannot open"},
      {"missing screensaver", "output = o.exe\nstub = setup.exe\nscreensaver = gone.scr\ntitle = A\n",
       {}, 1, ":3: screensaver '" + In("gone.scr") + "': cannot open"},
      {"missing language file", std::string(kMinimal) + "language = gone.lng\n", {}, 1,
       ":5: language '" + In("gone.lng") + "': cannot open"},
      {"required option missing", "stub = setup.exe\nscreensaver = Aurora.scr\ntitle = A\n", {}, 1,
       "aurora.ini: no output given: add a line 'output = ...' or give --output"},
      {"not UTF-8", std::string(kMinimal) + "title = Caf\xe9\n", {}, 1,
       ":5: byte 0xE9 is not UTF-8"},
      {"bad value on the command line", kMinimal, {{"--license-mode", "300", ""}}, 2,
       "build: --license-mode '300' is not a number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<Failure> failure = Read(c.contents, c.command_line);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->exit_code, c.exit_code);
    EXPECT_NE(failure->message.find(c.message), std::string::npos) << failure->message;
    if (c.exit_code == 1) {
      EXPECT_EQ(failure->message.rfind(ini_, 0), 0u) << failure->message;
    }
  }
  // A missing file on the command line is the build's to report, not the reader's.
  EXPECT_FALSE(Read(kMinimal, {{"--readme", folder_.Path("gone.txt"), ""}}));
}

// What init writes reads back: the settings it leaves on, and every one it
// shows commented out once taken in.
TEST_F(IniFileTest, TemplateReadsBack) {
  const std::string text = IniFileTemplate("aurora");
  testing::WriteFile(In("aurora.scr"), "x");
  ASSERT_FALSE(Read(text)) << text;
  EXPECT_EQ(build_.title, "Aurora");
  EXPECT_EQ(build_.screensaver, In("aurora.scr"));
  EXPECT_EQ(build_.output, In("aurora-setup.exe"));
  EXPECT_TRUE(build_.add_uninstall_entry);

  // Every build option is shown, each once (the parser refuses a key twice).
  std::string uncommented;
  int keys = 0;
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = text.substr(start, end - start);
    if (line.rfind("; ", 0) == 0) line = line.substr(2);
    const size_t equals = line.find(" = ");
    if (equals == std::string::npos || line.substr(0, equals).find(' ') != std::string::npos) {
      continue;
    }
    uncommented += line + "\n";
    ++keys;
  }
  EXPECT_EQ(keys, static_cast<int>(BuildOptionTable().size()));
  testing::WriteFile(In("license.txt"), "x");
  std::vector<OptionSetting> settings;
  std::optional<Failure> failure = ParseIniFile(
      uncommented, ini_, [](const std::string&) { return false; }, settings);
  ASSERT_FALSE(failure) << failure->message;

  EXPECT_FALSE(WriteIniFileTemplate(folder_.Path("new.ini")));
  EXPECT_EQ(testing::ReadFile(folder_.Path("new.ini")), IniFileTemplate("new"));
  std::optional<Failure> again = WriteIniFileTemplate(folder_.Path("new.ini"));
  ASSERT_TRUE(again);
  EXPECT_NE(again->message.find("exists already"), std::string::npos);
}

}  // namespace
}  // namespace saverpack
