#include "wizard/destination_folder.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"

namespace scrsetup {
namespace {

TEST(ExpandFolderMacros, JoinsTrimsAndReplaces) {
  struct Case {
    const char* folder;
    const char* subfolder;
    const char* expected;
  } cases[] = {
      {"<Windows>\\", "", "C:\\WINDOWS\\"},
      {"<Program Files>", "\\Aurora\\", "C:\\Program Files\\Aurora\\"},
      {"<Program Files>", "\\\\Aurora", "C:\\Program Files\\\\Aurora\\"},
      {"  C:\\My Savers  ", " Sub Folder \t", "C:\\My Savers\\Sub Folder\\"},
      {"<windows>", "", "<windows>\\"},
      {"<Windows>", "<Windows>", "C:\\WINDOWS\\C:\\WINDOWS\\"},
      {"", "", "\\"},
      {"", "Sub", "\\Sub\\"},
  };
  testing::FakeSystemInfo system;
  const PathRules paths(system);
  for (const Case& c : cases) {
    EXPECT_EQ(ExpandFolderMacros(paths, c.folder, c.subfolder, "C:\\WINDOWS",
                                 "C:\\Program Files\\"),
              c.expected)
        << c.folder << " + " << c.subfolder;
  }
}

// A subfolder whose last character ends in the "\" byte keeps it under 932.
TEST(ExpandFolderMacros, KeepsADoubleByteCharacterEndingInTheBackslashByte) {
  testing::FakeSystemInfo system;
  const PathRules paths(system);
  EXPECT_EQ(ExpandFolderMacros(paths, "C:\\Savers", "\x95\\", "C:\\W", "C:\\P"),
            "C:\\Savers\\\x95\\");
  system.code_page = 932;
  EXPECT_EQ(ExpandFolderMacros(paths, "C:\\Savers", "\x95\\", "C:\\W", "C:\\P"),
            "C:\\Savers\\\x95\\\\");
  EXPECT_EQ(ExpandFolderMacros(paths, "C:\\\x95\\", "", "C:\\W", "C:\\P"), "C:\\\x95\\\\");
}

// Under 932 a field ending in half a character (a lone lead byte) loses it,
// so that the "\" after it stays a separator; under 1252 the byte is a
// character of its own and stays.
TEST(ExpandFolderMacros, DropsALoneLeadByteBeforeTheBackslash) {
  struct Case {
    int code_page;
    const char* folder;
    const char* subfolder;
    const char* expected;
  } cases[] = {
      {932, "C:\\Savers", "Sub\x95", "C:\\Savers\\Sub\\"},
      {932, "C:\\Savers\x95", "Sub", "C:\\Savers\\Sub\\"},
      {932, "C:\\Savers\x95", "", "C:\\Savers\\"},
      {932, "C:\\Savers", "Sub\x95 ", "C:\\Savers\\Sub\\"},  // the blank trimmed first
      {1252, "C:\\Savers", "Sub\x95", "C:\\Savers\\Sub\x95\\"},
  };
  testing::FakeSystemInfo system;
  const PathRules paths(system);
  for (const Case& c : cases) {
    system.code_page = c.code_page;
    EXPECT_EQ(ExpandFolderMacros(paths, c.folder, c.subfolder, "C:\\W", "C:\\P"), c.expected)
        << c.code_page << " " << c.folder << " + " << c.subfolder;
  }
}

TEST(ExpandFolderMacros, LooksTheFoldersUpOnTheMachine) {
  testing::FakeMachine machine;
  machine.files.windows_folder = "D:\\WinNT\\";
  machine.shell.special_folders[SpecialFolder::kProgramFiles] = "E:\\Programme";
  EXPECT_EQ(ExpandFolderMacros(machine.platform, "<Windows>", "<Program Files>"),
            "D:\\WinNT\\E:\\Programme\\");
  machine.shell.special_folders[SpecialFolder::kProgramFiles] = std::nullopt;
  machine.files.windows_folder = "";
  EXPECT_EQ(ExpandFolderMacros(machine.platform, "<Program Files>", "<Windows>"),
            "C:\\Program Files\\C:\\Windows\\");
}

}  // namespace
}  // namespace scrsetup
