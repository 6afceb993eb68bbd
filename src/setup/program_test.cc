#include "setup/program.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "fake/package_builder.h"

namespace scrsetup {
namespace {

using testing::FakeMachine;
using testing::PackageBuilder;

TEST(Program, SwitchesDecideTheRun) {
  struct Case {
    const char* command_line;
    bool shown;         // the wizard window is shown by the message loop
    bool installed;     // the screensaver was installed at once
    size_t deletions;   // restart deletions: a -delfile run
  } cases[] = {
      {"setup.exe", true, false, 0},
      {"setup.exe -SILENT", false, true, 0},
      {"setup.exe -previewonly", true, false, 0},
      {"setup.exe -delfile", true, false, 0},
      {"setup.exe -Delfile C:\\x.exe", true, false, 0},
      {"setup.exe -delfile C:\\x.exe", false, false, 1},
      {"setup.exe /silent", true, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command_line);
    FakeMachine machine;
    PackageBuilder package;
    SetCountedText(package.record.DefaultFolder, "C:\\Savers");
    machine.files.AddFile(machine.files.program_path, package.Bytes());
    EXPECT_EQ(RunProgram(machine.platform, c.command_line), 0);
    EXPECT_EQ(machine.app.shown, c.shown);
    EXPECT_EQ(machine.files.HasFile("C:\\Savers\\Aurora.scr"), c.installed);
    EXPECT_EQ(machine.files.scheduled_deletions.size(), c.deletions);
    EXPECT_EQ(machine.app.title, c.deletions ? "" : "Screensaver Setup");
  }
}

TEST(Program, SilentFailuresEndWithTheirExitCodes) {
  FakeMachine machine;
  machine.files.AddFile(machine.files.program_path, "not a package");
  EXPECT_EQ(RunProgram(machine.platform, "setup.exe -silent"), 1);
  EXPECT_EQ(RunProgram(machine.platform, "setup.exe"), 0);
  EXPECT_FALSE(machine.app.shown);

  FakeMachine other;
  other.files.AddFile(other.files.program_path, PackageBuilder().Bytes());
  EXPECT_EQ(RunProgram(other.platform, "setup.exe -silent Q:\\Nowhere"), 2);
  EXPECT_TRUE(other.dialogs.shown.empty());
}

}  // namespace
}  // namespace scrsetup
