#include "install/target_file.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"

namespace scrsetup {
namespace {

TEST(ProgressPercent, RoundsToNearestWithHalvesToEven) {
  struct Case {
    int64_t position, size;
    int expected;
  } cases[] = {
      {1, 200, 0}, {3, 200, 2}, {5, 200, 2}, {7, 200, 4}, {2, 3, 67}, {1, 3, 33},
      {200, 200, 100}, {0, 200, 0}, {0, 0, 0}, {int64_t{3} << 40, int64_t{4} << 40, 75},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressPercent(c.position, c.size), c.expected) << c.position << "/" << c.size;
  }
}

TEST(TargetFile, UninstallerAndReadmeNames) {
  testing::FakeSystemInfo system;
  const PathRules paths(system);
  LanguageTable english;
  EXPECT_EQ(UninstallerFileName(english, paths, "Aurora.scr"), "uninstall Aurora.exe");
  EXPECT_EQ(UninstallerFileName(english, paths, "NoDot"), "uninstall NoDot.exe");
  EXPECT_EQ(ReadmeFileName(english, "Aurora"), "Aurora Readme.txt");
  LanguageTable german;
  german.LoadLanguageTable("Setup\r\nUninstall=DEINSTALLATION\r\nReadme=Liesmich", "Setup");
  EXPECT_EQ(UninstallerFileName(german, paths, "Aurora.scr"), "deinstallation Aurora.exe");
  EXPECT_EQ(ReadmeFileName(german, "Aurora"), "Aurora Liesmich.txt");
}

// Shift-JIS "\x83\x41" (a katakana A) has the "A" byte as its second byte:
// lowering or cutting by bytes would turn it into another or a broken character.
TEST(TargetFile, DoubleByteCharactersStayWhole) {
  testing::FakeSystemInfo system;
  system.code_page = 932;
  const PathRules paths(system);
  LanguageTable japanese;
  japanese.LoadLanguageTable("Setup\r\nUninstall=\x83\x41\x83\x93X", "Setup");
  EXPECT_EQ(UninstallerFileName(japanese, paths, "Aurora.scr"), "\x83\x41\x83\x93x Aurora.exe");

  testing::FakeFileSystem files;
  const std::string folder = "C:\\S\\";
  const std::string name = "\x83\x41\x83\x41\x83\x41\x83\x41.scr";  // 4 characters, 8 bytes
  files.AddFile(folder + name, "old");
  std::string target = folder + name;
  ChooseTargetFileName(files, paths, "", target, folder);
  EXPECT_EQ(target, folder + "\x83\x41\x83\x41\x83\x41" "1.scr");
}

TEST(TargetFile, DeleteIfExistsOnlyDeletesFreeFiles) {
  testing::FakeFileSystem files;
  EXPECT_TRUE(DeleteIfExists(files, "C:\\none.scr"));
  files.AddFile("C:\\a.scr", "a");
  EXPECT_TRUE(DeleteIfExists(files, "C:\\a.scr"));
  EXPECT_FALSE(files.HasFile("C:\\a.scr"));
  files.AddFile("C:\\ro.scr", "r");
  files.Entry("C:\\ro.scr").read_only = true;
  EXPECT_FALSE(DeleteIfExists(files, "C:\\ro.scr"));
  files.AddFile("C:\\busy.scr", "b");
  auto held = files.OpenForReading("C:\\busy.scr", ShareMode::kRead);
  EXPECT_FALSE(DeleteIfExists(files, "C:\\busy.scr"));
  EXPECT_TRUE(files.HasFile("C:\\busy.scr"));
}

}  // namespace
}  // namespace scrsetup
