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


TEST(ProgramFilesFolder, TheUsersOwnFolderAndWhatStandsInForIt) {
  using Folder = std::optional<std::string>;
  struct Case {
    const char* name;
    InstallScope scope;
    const char* user_program_files;
    Folder local_app_data;
    const char* expected;
  } cases[] = {
      {"machine", InstallScope::kMachine, "D:\\Own", "D:\\Local", "C:\\Program Files"},
      {"the system's per-user folder", InstallScope::kUser, "D:\\Own", "D:\\Local", "D:\\Own"},
      {"no per-user folder", InstallScope::kUser, "", "D:\\Local", "D:\\Local\\Programs"},
      {"no local application data", InstallScope::kUser, "", std::nullopt, "C:\\Program Files"},
      {"its path empty", InstallScope::kUser, "", "",
       "C:\\Program Files"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakeMachine machine;
    machine.shell.user_program_files = c.user_program_files;
    machine.shell.special_folders[SpecialFolder::kLocalAppData] = c.local_app_data;
    EXPECT_EQ(ProgramFilesFolder(machine.platform, c.scope), c.expected);
  }
}

// What this user can write decides; nothing is probed in a preview.
TEST(DefaultDestination, PerUserPlaceWhereTheDefaultCannotBeWritten) {
  constexpr char kOwn[] = "C:\\Users\\Tester\\AppData\\Local\\Programs\\";
  struct Case {
    const char* name;
    const char* folder;
    InstallScope scope;
    const char* refused;  // a folder this user cannot write, or ""
    bool may_probe;
    bool default_exists;  // C:\Program Files\Aurora
    std::string expected;
  } cases[] = {
      {"machine, writable", "<Program Files>", InstallScope::kMachine, "", true, false,
       "C:\\Program Files\\Aurora\\"},
      {"machine, Program Files refused", "<Program Files>", InstallScope::kMachine,
       "C:\\Program Files", true, false, std::string(kOwn) + "Aurora\\"},
      {"existing default folder refused", "<Program Files>", InstallScope::kMachine,
       "C:\\Program Files\\Aurora", true, true, std::string(kOwn) + "Aurora\\"},
      {"refused, but a preview asks nothing", "<Program Files>", InstallScope::kMachine,
       "C:\\Program Files", false, false, "C:\\Program Files\\Aurora\\"},
      {"default without the macro", "<Windows>", InstallScope::kMachine, "C:\\Windows", true,
       false, std::string(kOwn) + "Aurora\\"},
      {"a drive that is not there", "Q:\\Savers", InstallScope::kMachine, "", true,
       false, std::string(kOwn) + "Aurora\\"},
      {"user scope", "<Program Files>", InstallScope::kUser, "", true,
       false, std::string(kOwn) + "Aurora\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakeMachine machine;
    machine.files.AddFolder("C:\\Windows");
    if (c.default_exists) machine.files.AddFolder("C:\\Program Files\\Aurora");
    if (*c.refused) machine.files.RefuseCreateIn(c.refused);
    SetupRecord record = EmptyRecord();
    SetCountedText(record.DefaultFolder, c.folder);
    SetCountedText(record.DefaultSubfolder, "Aurora");
    EXPECT_EQ(DefaultDestination(machine.platform, record, c.scope, c.may_probe), c.expected);
    EXPECT_TRUE(machine.files.AllFiles().empty());  // the probe left nothing
  }
}

}  // namespace
}  // namespace scrsetup
