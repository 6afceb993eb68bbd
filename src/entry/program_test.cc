#include "entry/program.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "fake/package_builder.h"
#include "wizard/tscr_setup.h"

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
      // A setup package takes "-quiet" as "-silent".
      {"setup.exe \" -QUIET \"", false, true, 0},
      {"setup.exe -quiet2", true, false, 0},
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

TEST(Program, RunFlagsFromArgumentOne) {
  struct Case {
    const char* command_line;
    bool silent, quiet, preview;
    const char* folder;
  } cases[] = {
      {"s.exe -silent C:\\S", true, false, false, "C:\\S"},
      {"s.exe -Quiet C:\\S", true, true, false, "C:\\S"},
      {"s.exe \"\t-quiet \"", true, true, false, ""},
      {"s.exe -silent -quiet", true, false, false, "-quiet"},
      {"s.exe -previewonly -quiet", false, false, true, ""},
      {"s.exe /quiet", false, false, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command_line);
    const RunFlags flags = ReadRunFlags(CommandLine(c.command_line));
    EXPECT_EQ(flags.SilentMode, c.silent);
    EXPECT_EQ(flags.QuietMode, c.quiet);
    EXPECT_EQ(flags.PreviewOnlyMode, c.preview);
    EXPECT_EQ(flags.SilentFolder, c.folder);
  }
}

// A machine-scope package run by a user who may write neither Program Files
// nor HKEY_LOCAL_MACHINE installs for that user: the wizard offers the
// per-user folder, "-silent" uses it, and "-silent FOLDER" keeps its folder
// and fails when that cannot be written.
TEST(Program, AStandardUserInstallsForThemselves) {
  constexpr char kOwn[] = "C:\\Users\\Tester\\AppData\\Local\\Programs\\Aurora\\";
  constexpr char kEntry[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Aurora";
  struct Case {
    const char* command_line;
    int exit_code;
    const char* installed;  // the screensaver file, or ""
  } cases[] = {
      {"setup.exe -silent", kExitOk, "Aurora.scr"},
      {"setup.exe -quiet", kExitOk, "Aurora.scr"},
      {"setup.exe -silent \"C:\\Program Files\\Aurora\"", kExitInstallFailed, ""},
      {"setup.exe", kExitOk, ""},  // the wizard waits on its first page
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command_line);
    FakeMachine machine;
    machine.files.RefuseCreateIn("C:\\Program Files");
    machine.registry.deny_local_machine = true;
    PackageBuilder package;
    package.record.AddUninstallEntry = 1;
    SetCountedText(package.record.DefaultFolder, "<Program Files>");
    SetCountedText(package.record.DefaultSubfolder, "Aurora");
    machine.files.AddFile(machine.files.program_path, package.Bytes());
    EXPECT_EQ(RunProgram(machine.platform, c.command_line), c.exit_code);
    EXPECT_EQ(machine.app.window->texts[Control::edDirectory].rfind(kOwn, 0) == 0,
              c.exit_code == kExitOk);
    EXPECT_EQ(machine.files.HasFile(std::string(kOwn) + "Aurora.scr"), *c.installed != '\0');
    EXPECT_EQ(machine.registry.HasKey(RegistryRoot::kCurrentUser, kEntry), *c.installed != '\0');
    EXPECT_FALSE(machine.registry.HasKey(RegistryRoot::kLocalMachine, kEntry));
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
