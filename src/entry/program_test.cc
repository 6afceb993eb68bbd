#include "entry/program.h"

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

// Install pressed in a wizard started with -previewonly writes nothing.
TEST(Program, PreviewOnlyReachesTheInstallation) {
  for (const char* command_line : {"setup.exe -previewonly", "setup.exe"}) {
    SCOPED_TRACE(command_line);
    FakeMachine machine;
    PackageBuilder package;
    SetCountedText(package.record.DefaultFolder, "C:\\Savers");
    machine.files.AddFile(machine.files.program_path, package.Bytes());
    machine.app.on_message_loop = [&machine] { machine.app.window->events.btnNextClick(); };
    EXPECT_EQ(RunProgram(machine.platform, command_line), 0);
    const bool preview = std::string(command_line).find("-previewonly") != std::string::npos;
    EXPECT_EQ(machine.files.HasFile("C:\\Savers\\Aurora.scr"), !preview);
    EXPECT_EQ(machine.dialogs.shown.size(), preview ? 1u : 0u);  // the preview notice
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

  FakeMachine copy_failure;  // the disk fills during the copy
  copy_failure.files.AddFile(copy_failure.files.program_path, PackageBuilder().Bytes());
  copy_failure.files.LimitWrites("C:\\S", 5);
  EXPECT_EQ(RunProgram(copy_failure.platform, "setup.exe -silent C:\\S"), 2);
  EXPECT_TRUE(copy_failure.dialogs.shown.empty());
  EXPECT_FALSE(copy_failure.files.HasFile("C:\\S\\Aurora.scr"));
}

}  // namespace
}  // namespace scrsetup
