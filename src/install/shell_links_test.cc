#include "install/shell_links.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"

namespace scrsetup {
namespace {

using testing::FakeMachine;

constexpr char kPrograms[] =
    "C:\\Users\\Tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";

TEST(CreateFolderChain, CreatesMissingParentsOnly) {
  FakeMachine machine;
  const PathRules paths(machine.system);
  EXPECT_TRUE(CreateFolderChain(machine.files, paths, "C:\\a\\b\\c\\"));
  EXPECT_TRUE(machine.files.HasFolder("C:\\a\\b\\c"));
  EXPECT_TRUE(CreateFolderChain(machine.files, paths, "C:\\a\\b\\c"));
  EXPECT_TRUE(CreateFolderChain(machine.files, paths, "C:"));
  machine.files.RefuseCreate("C:\\x\\y");
  EXPECT_FALSE(CreateFolderChain(machine.files, paths, "C:\\x\\y\\z"));
  EXPECT_TRUE(machine.files.HasFolder("C:\\x"));
  EXPECT_FALSE(machine.files.HasFolder("C:\\x\\y\\z"));
  machine.files.AddFile("C:\\f", "file");
  EXPECT_FALSE(CreateFolderChain(machine.files, paths, "C:\\f\\g"));
}

TEST(CreateShortcut, RefusesLinkPathsBeyondThePathLimit) {
  FakeMachine machine;
  machine.files.AddFolder("C:\\L");
  machine.shell.special_folders[SpecialFolder::kDesktop] = "C:\\L";
  std::string fits(259 - std::string("C:\\L\\.lnk").size(), 'n');
  EXPECT_TRUE(CreateShortcut(machine.shell, "C:\\t.scr", fits, SpecialFolder::kDesktop));
  EXPECT_FALSE(CreateShortcut(machine.shell, "C:\\t.scr", fits + "n", SpecialFolder::kDesktop));
  machine.shell.special_folders[SpecialFolder::kDesktop] = std::nullopt;
  EXPECT_FALSE(CreateShortcut(machine.shell, "C:\\t.scr", "x", SpecialFolder::kDesktop));
}

TEST(RemoveProgramGroup, KeepsAFolderHoldingTheUsersFiles) {
  FakeMachine machine;
  LanguageTable english;
  CreateProgramGroupShortcuts(machine.platform, english, "Aurora", "C:\\S\\u.exe", "C:\\S\\a.scr", false);
  const std::string group = std::string(kPrograms) + "\\Aurora\\";
  EXPECT_TRUE(machine.files.HasFile(group + "Preview Aurora.lnk"));
  EXPECT_FALSE(machine.files.HasFile(group + "Readme.lnk"));
  machine.files.AddFile(group + "notes.txt", "mine");
  EXPECT_TRUE(RemoveProgramGroup(machine.platform, english, "Aurora"));
  EXPECT_FALSE(machine.files.HasFile(group + "Preview Aurora.lnk"));
  EXPECT_FALSE(machine.files.HasFile(group + "Uninstall Aurora.lnk"));
  EXPECT_TRUE(machine.files.HasFile(group + "notes.txt"));

  machine.shell.special_folders[SpecialFolder::kPrograms] = std::nullopt;
  EXPECT_FALSE(RemoveProgramGroup(machine.platform, english, "Aurora"));
  machine.shell.special_folders[SpecialFolder::kDesktop] = std::nullopt;
  EXPECT_FALSE(RemoveDesktopPreviewShortcut(machine.platform, english, "Aurora"));
}

}  // namespace
}  // namespace scrsetup
