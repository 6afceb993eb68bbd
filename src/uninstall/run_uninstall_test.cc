#include "uninstall/run_uninstall.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "fake/wizard_run.h"
#include "lang/text.h"
#include "entry/program.h"
#include "uninstall/deferred_deletion.h"

namespace scrsetup {
namespace {

using testing::FakeMachine;
using testing::FakeValue;
using testing::PackageBuilder;
using testing::RegisteringPackage;
using testing::WizardRun;

constexpr char kFolder[] = "C:\\Savers\\";
constexpr char kUninstaller[] = "C:\\Savers\\uninstall Aurora.exe";
constexpr char kGroup[] =
    "C:\\Users\\Tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Aurora";
constexpr char kDesktopLink[] = "C:\\Users\\Tester\\Desktop\\Preview Aurora.lnk";
constexpr char kEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Aurora";
constexpr char kSettingsKey[] = "Software\\Lumivane\\Aurora";

// Installs `package` into C:\Savers on `machine`, then makes the written
// uninstaller the running program.
void Install(FakeMachine& machine, const PackageBuilder& package) {
  WizardRun run(machine, package.Bytes(), "setup.exe -silent C:\\Savers");
  ASSERT_TRUE(machine.files.HasFile(kUninstaller));
  machine.files.program_path = kUninstaller;
  machine.dialogs.shown.clear();
  machine.shell.requests.clear();
  machine.app = testing::FakeApplication();
}

// Runs the installed uninstaller with `command_line`, answering `answer`.
std::unique_ptr<TSCRSetup> Uninstall(FakeMachine& machine, MessageAnswer answer,
                                     const RunFlags& flags) {
  machine.dialogs.answers = {answer};
  machine.system.random_numbers = {4711};
  auto setup = std::make_unique<TSCRSetup>(machine.platform, flags);
  setup->FormCreate();
  return setup;
}

class UninstallTest : public ::testing::Test {
 protected:
  RunFlags flags_;
};

TEST_F(UninstallTest, YesRemovesEverythingAndStartsTheHiddenCopy) {
  FakeMachine machine;
  Install(machine, RegisteringPackage());
  machine.registry.SetValue(RegistryRoot::kCurrentUser, kSettingsKey, "StartID", FakeValue{FakeValue::kDword, "", 3});
  machine.registry.SetString(RegistryRoot::kCurrentUser, kSettingsKey, "Speed", "fast");
  machine.registry.SetString(RegistryRoot::kCurrentUser, std::string(kSettingsKey) + "\\PlayList\\One", "x", "y");
  machine.files.short_path = [](const std::string& path) { return AsciiLower(path); };

  auto setup = Uninstall(machine, MessageAnswer::kYes, flags_);

  ASSERT_EQ(machine.dialogs.shown.size(), 1u);
  EXPECT_EQ(machine.dialogs.shown[0].text, "Are you sure you want to remove Aurora and its components?");
  EXPECT_EQ(machine.dialogs.shown[0].caption, "Aurora Uninstall");
  EXPECT_EQ(machine.dialogs.shown[0].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(machine.dialogs.shown[0].icon, MessageIcon::kQuestion);

  EXPECT_FALSE(machine.files.HasFile(std::string(kFolder) + "Aurora.scr"));
  EXPECT_FALSE(machine.files.HasFile(std::string(kFolder) + "Aurora Readme.txt"));
  EXPECT_TRUE(machine.files.HasFile(kUninstaller));  // left to the hidden copy
  EXPECT_TRUE(machine.files.HasFolder(kFolder));
  EXPECT_FALSE(machine.registry.HasKey(RegistryRoot::kLocalMachine, kEntryKey));
  EXPECT_FALSE(machine.files.HasFolder(kGroup));
  EXPECT_FALSE(machine.files.HasFile(kDesktopLink));
  EXPECT_EQ(machine.registry.ValueNames(RegistryRoot::kCurrentUser, kSettingsKey),
            std::vector<std::string>{"StartID"});
  EXPECT_FALSE(machine.registry.HasKey(RegistryRoot::kCurrentUser, std::string(kSettingsKey) + "\\PlayList"));

  const std::string copy = "C:\\Users\\Tester\\AppData\\Local\\Temp\\\\Vornexuninst4711.exe";
  ASSERT_EQ(machine.files.copies.size(), 1u);
  EXPECT_EQ(machine.files.copies[0], std::make_pair(std::string(kUninstaller), copy));
  EXPECT_TRUE(machine.files.HasFile(copy));
  ASSERT_EQ(machine.shell.requests.size(), 1u);
  const testing::ShellRequest& start = machine.shell.requests[0];
  EXPECT_EQ(start.verb, "open");
  EXPECT_EQ(start.file, copy);
  EXPECT_EQ(start.show, ShowCommand::kHide);
  EXPECT_EQ(start.parameters,
            "-delfile \"c:\\savers\\uninstall aurora.exe\" \"Screensaver Setup\" \"Aurora has been "
            "successfully removed from your computer.\"");
  // The copy reads back what the uninstaller wrote.
  std::optional<DeferredDeletion> request =
      DecodeDeferredDeletion(CommandLine("copy.exe " + start.parameters).Arguments());
  ASSERT_TRUE(request);
  EXPECT_EQ(request->file, "c:\\savers\\uninstall aurora.exe");
  EXPECT_TRUE(request->show_message);
  EXPECT_EQ(request->caption, "Screensaver Setup");
  EXPECT_EQ(request->text, "Aurora has been successfully removed from your computer.");

  EXPECT_TRUE(machine.app.terminated);
  EXPECT_FALSE(machine.app.show_main_window);
  EXPECT_TRUE(machine.app.window->hidden_for_exit);
  EXPECT_EQ(setup->exit_code(), kExitOk);
}

TEST_F(UninstallTest, ConfirmationAndClosingTextsAreTranslated) {
  FakeMachine machine;
  PackageBuilder package = RegisteringPackage();
  package.language =
      "Setup\r\nUninstall=Entfernen\r\n"
      "Are you sure you want to remove %s and its components?=%s wirklich entfernen?\r\n"
      "%s has been successfully removed from your computer.=%s ist entfernt.\r\n";
  WizardRun run(machine, package.Bytes(), "setup.exe -silent C:\\Savers");
  machine.files.program_path = "C:\\Savers\\entfernen Aurora.exe";
  machine.shell.requests.clear();
  machine.app = testing::FakeApplication();
  Uninstall(machine, MessageAnswer::kYes, flags_);
  ASSERT_EQ(machine.dialogs.shown.size(), 1u);
  EXPECT_EQ(machine.dialogs.shown[0].text, "Aurora wirklich entfernen?");
  EXPECT_EQ(machine.dialogs.shown[0].caption, "Aurora Entfernen");
  ASSERT_EQ(machine.shell.requests.size(), 1u);
  CommandLine copy_arguments("copy.exe " + machine.shell.requests[0].parameters);
  EXPECT_EQ(copy_arguments.Arg(3), "Screensaver Setup");
  EXPECT_EQ(copy_arguments.Arg(4), "Aurora ist entfernt.");
  EXPECT_FALSE(machine.files.HasFile("C:\\Savers\\Aurora.scr"));
}

// A package with several tables: the run picks the Russian one on a Russian
// system, and the installed names and the uninstaller's texts all speak it,
// so the uninstaller, choosing the same way, finds what was installed.
TEST_F(UninstallTest, TheChosenTableServesTheInstallationAndTheUninstaller) {
  FakeMachine machine;
  machine.system.code_page = 1251;
  machine.system.ui_language = 0x0419;
  PackageBuilder package = RegisteringPackage();
  package.language =
      "Setup\r\nUninstall=Entfernen\r\nReadme=Liesmich\r\n"
      "Setup main 0407 1252\r\n"
      "Setup 0419 1251\r\nUninstall=Udalit\r\nReadme=Prochti\r\nPreview=Prosmotr\r\n";
  WizardRun run(machine, package.Bytes(), "setup.exe -silent C:\\Savers");
  EXPECT_TRUE(machine.files.HasFile("C:\\Savers\\Aurora Prochti.txt"));
  EXPECT_TRUE(machine.files.HasFile("C:\\Users\\Tester\\Desktop\\Prosmotr Aurora.lnk"));
  ASSERT_TRUE(machine.files.HasFile("C:\\Savers\\udalit Aurora.exe"));
  machine.files.program_path = "C:\\Savers\\udalit Aurora.exe";
  machine.shell.requests.clear();
  machine.app = testing::FakeApplication();
  Uninstall(machine, MessageAnswer::kYes, flags_);
  ASSERT_EQ(machine.dialogs.shown.size(), 1u);
  EXPECT_EQ(machine.dialogs.shown[0].caption, "Aurora Udalit");
  EXPECT_FALSE(machine.files.HasFile("C:\\Savers\\Aurora.scr"));
  EXPECT_FALSE(machine.files.HasFile("C:\\Savers\\Aurora Prochti.txt"));
  EXPECT_FALSE(machine.files.HasFile("C:\\Users\\Tester\\Desktop\\Prosmotr Aurora.lnk"));
}

// The rule runs again in an uninstaller: one whose record still carries the
// long name finds the file its installation wrote under the short one.
TEST_F(UninstallTest, AppliesTheShortNameRuleToItsRecord) {
  FakeMachine machine;
  PackageBuilder package = RegisteringPackage(0, false);
  SetFieldText(package.record.ScreensaverFile, "My Long Saver.scr", true);
  WizardRun run(machine, package.Bytes(), "setup.exe -silent C:\\Savers");
  const std::string uninstaller = "C:\\Savers\\uninstall My_Long_.exe";
  ASSERT_TRUE(machine.files.HasFile("C:\\Savers\\My_Long_.scr"));
  std::string& bytes = machine.files.Entry(uninstaller).data;
  SetupRecord record;
  std::memcpy(&record, &bytes[bytes.size() - kTailSize], sizeof(record));
  SetFieldText(record.ScreensaverFile, "My Long Saver.scr", true);
  std::memcpy(&bytes[bytes.size() - kTailSize], &record, sizeof(record));
  machine.registry.DeleteTree(RegistryRoot::kCurrentUser, kSettingsKey);  // only the record tells
  machine.files.program_path = uninstaller;
  machine.app = testing::FakeApplication();
  Uninstall(machine, MessageAnswer::kYes, flags_);
  ASSERT_EQ(machine.dialogs.shown.size(), 1u);
  EXPECT_FALSE(machine.files.HasFile("C:\\Savers\\My_Long_.scr"));
}

TEST_F(UninstallTest, NoRemovesNothingAndStartsNothing) {
  FakeMachine machine;
  Install(machine, RegisteringPackage());
  std::vector<std::string> files = machine.files.AllFiles();
  Uninstall(machine, MessageAnswer::kNo, flags_);
  EXPECT_EQ(machine.files.AllFiles(), files);
  EXPECT_TRUE(machine.registry.HasKey(RegistryRoot::kLocalMachine, kEntryKey));
  EXPECT_TRUE(machine.shell.requests.empty());
  EXPECT_TRUE(machine.files.copies.empty());
  EXPECT_EQ(machine.dialogs.shown.size(), 1u);
  EXPECT_TRUE(machine.app.terminated);
  EXPECT_TRUE(machine.app.window->hidden_for_exit);
}

TEST_F(UninstallTest, PreviewAsksButRemovesNothing) {
  FakeMachine machine;
  Install(machine, RegisteringPackage());
  std::vector<std::string> files = machine.files.AllFiles();
  RunFlags preview;
  preview.PreviewOnlyMode = true;
  Uninstall(machine, MessageAnswer::kYes, preview);
  EXPECT_EQ(machine.dialogs.shown.size(), 1u);
  EXPECT_EQ(machine.files.AllFiles(), files);
  EXPECT_TRUE(machine.shell.requests.empty());
  EXPECT_TRUE(machine.registry.HasKey(RegistryRoot::kCurrentUser, kSettingsKey));
  EXPECT_TRUE(machine.app.terminated);
}

TEST_F(UninstallTest, SilentStillAsksAndNeverInstalls) {
  FakeMachine machine;
  Install(machine, RegisteringPackage());
  RunFlags silent;
  silent.SilentMode = true;
  silent.SilentFolder = "C:\\Elsewhere";
  Uninstall(machine, MessageAnswer::kYes, silent);
  EXPECT_EQ(machine.dialogs.shown.size(), 1u);
  EXPECT_FALSE(machine.files.HasFile(std::string(kFolder) + "Aurora.scr"));
  EXPECT_FALSE(machine.files.HasFolder("C:\\Elsewhere"));
}

TEST_F(UninstallTest, FlagsDecideWhatIsRemoved) {
  for (int flags = 0; flags < 8; ++flags) {
    SCOPED_TRACE(flags);
    FakeMachine machine;
    Install(machine, RegisteringPackage(7, false));
    // Flip the flags in the installed uninstaller's record.
    std::string& bytes = machine.files.Entry(kUninstaller).data;
    size_t record = bytes.size() - kTailSize;
    bytes[record + offsetof(SetupRecord, AddUninstallEntry)] = flags & 1;
    bytes[record + offsetof(SetupRecord, CreateProgramGroup)] = (flags >> 1) & 1;
    bytes[record + offsetof(SetupRecord, CreateDesktopShortcut)] = (flags >> 2) & 1;
    Uninstall(machine, MessageAnswer::kYes, flags_);
    EXPECT_FALSE(machine.files.HasFile(std::string(kFolder) + "Aurora.scr"));
    EXPECT_EQ(machine.registry.HasKey(RegistryRoot::kLocalMachine, kEntryKey), (flags & 1) == 0);
    EXPECT_EQ(machine.files.HasFolder(kGroup), (flags & 2) == 0);
    EXPECT_EQ(machine.files.HasFile(kDesktopLink), (flags & 4) == 0);
  }
}

// Under Shift-JIS "\x95\x5C" is one character whose second byte is the "\"
// byte: a Title and folder ending in it are installed and removed whole.
TEST_F(UninstallTest, TitleEndingInTheBackslashByteUnderShiftJis) {
  const std::string title = "\x95\x5C";
  const std::string folder = "C:\\Savers\\" + title + "\\";
  const std::string group = std::string(kGroup, sizeof(kGroup) - 7) + title;  // without "Aurora"
  FakeMachine machine;
  machine.system.code_page = 932;
  PackageBuilder package = RegisteringPackage();
  ASSERT_TRUE(SetFieldText(package.record.Title, title, true));
  SetCountedText(package.record.DefaultFolder, "C:\\Savers");
  SetCountedText(package.record.DefaultSubfolder, title);
  machine.files.AddFile(machine.files.program_path, package.Bytes());
  EXPECT_EQ(RunProgram(machine.platform, "setup.exe -silent"), kExitOk);

  EXPECT_TRUE(machine.files.HasFile(folder + "Aurora.scr"));
  EXPECT_TRUE(machine.files.HasFile(folder + title + " Readme.txt"));
  EXPECT_TRUE(machine.files.HasFile(folder + "uninstall Aurora.exe"));
  EXPECT_TRUE(machine.files.HasFile(group + "\\Preview " + title + ".lnk"));
  const std::string entry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + title;
  std::optional<testing::FakeValue> location =
      machine.registry.Value(RegistryRoot::kLocalMachine, entry, "InstallLocation");
  ASSERT_TRUE(location);
  EXPECT_EQ(location->data, "C:\\Savers\\" + title);
  std::optional<testing::FakeValue> remembered = machine.registry.Value(
      RegistryRoot::kCurrentUser, "Software\\Lumivane\\" + title, "FileName_");
  ASSERT_TRUE(remembered);
  EXPECT_EQ(remembered->data, folder + "Aurora.scr");

  machine.files.program_path = folder + "uninstall Aurora.exe";
  Uninstall(machine, MessageAnswer::kYes, flags_);
  EXPECT_FALSE(machine.files.HasFile(folder + "Aurora.scr"));
  EXPECT_FALSE(machine.files.HasFile(folder + title + " Readme.txt"));
  EXPECT_FALSE(machine.files.HasFolder(group));
  EXPECT_FALSE(machine.registry.HasKey(RegistryRoot::kLocalMachine, entry));
}

TEST_F(UninstallTest, RemembersOnlyFilesItsOwnInstallationMade) {
  struct Case {
    const char* name;
    std::optional<std::string> remembered;
    const char* deleted;
  } cases[] = {
      {"its own file", "C:\\Savers\\Aurora.scr", "C:\\Savers\\Aurora.scr"},
      {"other letter case", "c:\\SAVERS\\aurora.SCR", "c:\\SAVERS\\aurora.SCR"},
      // The numbered file has an uninstaller of its own, "uninstall Aurora1.exe".
      {"numbered name of a later installation", "C:\\Savers\\Aurora1.scr", "C:\\Savers\\Aurora.scr"},
      {"foreign folder", "C:\\Windows\\System32\\kernel32.dll", "C:\\Savers\\Aurora.scr"},
      {"nothing remembered", std::nullopt, "C:\\Savers\\Aurora.scr"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMachine machine;
    Install(machine, RegisteringPackage());
    machine.files.AddFile("C:\\Savers\\Aurora1.scr", "s");
    machine.files.AddFile("C:\\Windows\\System32\\kernel32.dll", "k");
    machine.registry.DeleteTree(RegistryRoot::kCurrentUser, kSettingsKey);
    if (c.remembered) {
      machine.registry.SetString(RegistryRoot::kCurrentUser, kSettingsKey, "FileName_", *c.remembered);
    }
    Uninstall(machine, MessageAnswer::kYes, flags_);
    EXPECT_FALSE(machine.files.HasFile(c.deleted));
    EXPECT_EQ(machine.files.HasFile("C:\\Savers\\Aurora.scr") +
                  machine.files.HasFile("C:\\Savers\\Aurora1.scr"),
              1);  // the other one stays
    EXPECT_TRUE(machine.files.HasFile("C:\\Windows\\System32\\kernel32.dll"));
    // A missing key is created, empty, by the purge.
    EXPECT_TRUE(machine.registry.HasKey(RegistryRoot::kCurrentUser, kSettingsKey));
  }
}

// Two installations in one folder with one record file name: the later one
// numbers its file and names its uninstaller after it. Each uninstaller
// deletes only the file its own installation wrote, also when the settings
// remember something else or nothing.
TEST_F(UninstallTest, TwoInstallationsInOneFolderDeleteOnlyTheirOwnFiles) {
  struct Case {
    const char* name;
    const char* second_title;   // the title of the second installation
    const char* uninstaller;    // the one that runs
    const char* settings;       // its settings key, after the installations
    std::optional<std::string> remembered;  // what is left in it (nullopt: as installed)
    bool first_stays, second_stays;
  } cases[] = {
      {"first of two screensavers", "Borealis", "C:\\Savers\\uninstall Aurora.exe", "Aurora",
       std::nullopt, false, true},
      {"second of two screensavers", "Borealis", "C:\\Savers\\uninstall Aurora1.exe", "Borealis",
       std::nullopt, true, false},
      {"second, nothing remembered", "Borealis", "C:\\Savers\\uninstall Aurora1.exe", "Borealis", "",
       true, true},
      {"second, remembering the first's file", "Borealis", "C:\\Savers\\uninstall Aurora1.exe",
       "Borealis", "C:\\Savers\\Aurora.scr", true, true},
      // One screensaver installed twice, its remembered name lost in between:
      // the key now remembers the second installation's numbered file.
      {"first installation of one screensaver", "Aurora", "C:\\Savers\\uninstall Aurora.exe",
       "Aurora", std::nullopt, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMachine machine;
    for (const std::string title : {"Aurora", c.second_title}) {
      PackageBuilder package = RegisteringPackage(0, false);
      SetFieldText(package.record.Title, title, true);
      if (title == "Aurora") {  // lost before the same screensaver is installed again
        machine.registry.DeleteTree(RegistryRoot::kCurrentUser, kSettingsKey);
      }
      machine.files.program_path = "C:\\Downloads\\setup.exe";
      WizardRun run(machine, package.Bytes(), "setup.exe -silent C:\\Savers");
    }
    ASSERT_TRUE(machine.files.HasFile("C:\\Savers\\Aurora1.scr"));
    ASSERT_TRUE(machine.files.HasFile("C:\\Savers\\uninstall Aurora1.exe"));
    const std::string settings = std::string("Software\\Lumivane\\") + c.settings;
    if (c.remembered) {
      machine.registry.DeleteTree(RegistryRoot::kCurrentUser, settings);
      if (!c.remembered->empty()) {
        machine.registry.SetString(RegistryRoot::kCurrentUser, settings, "FileName_", *c.remembered);
      }
    }
    machine.files.program_path = c.uninstaller;
    machine.app = testing::FakeApplication();
    Uninstall(machine, MessageAnswer::kYes, flags_);
    ASSERT_EQ(machine.dialogs.shown.size(), 1u);  // the question, no report
    EXPECT_EQ(machine.files.HasFile("C:\\Savers\\Aurora.scr"), c.first_stays);
    EXPECT_EQ(machine.files.HasFile("C:\\Savers\\Aurora1.scr"), c.second_stays);
  }
}

TEST_F(UninstallTest, RecognisesItsFolderThroughAShortPath) {
  FakeMachine machine;
  machine.files.AddShortName("C:\\PROGRA~1", "C:\\Program Files");
  machine.files.AddShortName("C:\\Program Files\\Aurora\\UNINST~1.EXE",
                             "C:\\Program Files\\Aurora\\uninstall Aurora.exe");
  WizardRun run(machine, RegisteringPackage(0, false).Bytes(), "setup.exe -silent \"C:\\Program Files\\Aurora\"");
  ASSERT_TRUE(machine.files.HasFile("C:\\Program Files\\Aurora\\Aurora.scr"));
  machine.files.program_path = "C:\\PROGRA~1\\Aurora\\UNINST~1.EXE";
  machine.app = testing::FakeApplication();
  Uninstall(machine, MessageAnswer::kYes, flags_);
  ASSERT_EQ(machine.dialogs.shown.size(), 1u);
  EXPECT_FALSE(machine.files.HasFile("C:\\Program Files\\Aurora\\Aurora.scr"));
}

// An uninstaller has no payload: whatever its PayloadSize holds, it uninstalls.
TEST_F(UninstallTest, PayloadSizeIsNeverRead) {
  for (int32_t payload_size : {0, -1, 12345, INT32_MAX, INT32_MIN}) {
    SCOPED_TRACE(payload_size);
    FakeMachine machine;
    Install(machine, RegisteringPackage());
    std::string& bytes = machine.files.Entry(kUninstaller).data;
    std::memcpy(&bytes[bytes.size() - kTailSize + offsetof(SetupRecord, PayloadSize)], &payload_size,
                sizeof(payload_size));
    Uninstall(machine, MessageAnswer::kYes, flags_);
    ASSERT_EQ(machine.dialogs.shown.size(), 1u);
    EXPECT_FALSE(machine.files.HasFile(std::string(kFolder) + "Aurora.scr"));
    EXPECT_FALSE(machine.files.HasFile(std::string(kFolder) + "Aurora Readme.txt"));
    EXPECT_EQ(machine.shell.requests.size(), 1u);
  }
}

// "-quiet" asks nothing, shows nothing (the hidden copy gets no closing
// message) and removes everything; a damaged uninstaller ends with 1.
TEST_F(UninstallTest, QuietAsksNothingAndShowsNothing) {
  for (bool damaged : {false, true}) {
    SCOPED_TRACE(damaged);
    FakeMachine machine;
    Install(machine, RegisteringPackage());
    if (damaged) {
      std::string& bytes = machine.files.Entry(kUninstaller).data;
      bytes[bytes.size() - kTailSize + offsetof(SetupRecord, RecordSignature)] = 'x';
    }
    machine.files.AddFile(machine.files.program_path = kUninstaller,
                          machine.files.Contents(kUninstaller));
    EXPECT_EQ(RunProgram(machine.platform, "\"uninstall Aurora.exe\" \" -QUIET\""),
              damaged ? kExitPackageUnreadable : kExitOk);
    EXPECT_TRUE(machine.dialogs.shown.empty());
    EXPECT_FALSE(machine.app.shown);
    EXPECT_EQ(machine.files.HasFile(std::string(kFolder) + "Aurora.scr"), damaged);
    EXPECT_EQ(machine.registry.HasKey(RegistryRoot::kLocalMachine, kEntryKey), damaged);
    EXPECT_EQ(machine.files.HasFile(kDesktopLink), damaged);
    ASSERT_EQ(machine.shell.requests.size(), damaged ? 0u : 1u);
    if (!damaged) {
      std::optional<DeferredDeletion> request = DecodeDeferredDeletion(
          CommandLine("copy.exe " + machine.shell.requests[0].parameters).Arguments());
      ASSERT_TRUE(request);
      EXPECT_FALSE(request->show_message);
    }
  }
}

// The entry goes from whichever root holds it, and only where it names this
// uninstaller: an entry of the same title naming another one stays.
TEST_F(UninstallTest, RemovesOnlyTheEntryThatNamesThisUninstaller) {
  const RegistryRoot hklm = RegistryRoot::kLocalMachine, hkcu = RegistryRoot::kCurrentUser;
  const std::string own = std::string("\"") + kUninstaller + "\"";
  struct Case {
    const char* name;
    std::string local_machine, current_user;  // UninstallString, "" for no entry
    bool local_machine_stays, current_user_stays;
  } cases[] = {
      {"under HKEY_LOCAL_MACHINE", own, "", false, false},
      {"under HKEY_CURRENT_USER", "", own, false, false},
      {"in both", own, own, false, false},
      {"another uninstaller under each", "\"D:\\Other\\uninstall Aurora.exe\"",
       "D:\\Other\\uninstall Aurora.exe -x", true, true},
      {"own under one, another under the other", "\"D:\\Other\\uninstall Aurora.exe\"", own, true,
       false},
      {"own, without quotes and in other letters", "c:\\SAVERS\\Uninstall Aurora.EXE", "", false,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMachine machine;
    Install(machine, RegisteringPackage());
    machine.registry.DeleteTree(hklm, kEntryKey);
    if (!c.local_machine.empty()) machine.registry.SetString(hklm, kEntryKey, "UninstallString", c.local_machine);
    if (!c.current_user.empty()) machine.registry.SetString(hkcu, kEntryKey, "UninstallString", c.current_user);
    Uninstall(machine, MessageAnswer::kYes, flags_);
    EXPECT_EQ(machine.registry.HasKey(hklm, kEntryKey), c.local_machine_stays);
    EXPECT_EQ(machine.registry.HasKey(hkcu, kEntryKey), c.current_user_stays);
  }
}

TEST_F(UninstallTest, FailuresAreReportedAsACorruptedFile) {
  struct Case {
    const char* name;
    std::function<void(FakeMachine&)> arrange;
    size_t questions;  // confirmations shown before the report
  } cases[] = {
      {"damaged record signature",
       [](FakeMachine& m) {
         std::string& bytes = m.files.Entry(kUninstaller).data;
         bytes[bytes.size() - kTailSize + offsetof(SetupRecord, RecordSignature)] = 'x';
       },
       0},
      // The sizes still add up and the (empty) language block still reads.
      {"record places the blocks before the file's start",
       [](FakeMachine& m) {
         std::string& bytes = m.files.Entry(kUninstaller).data;
         SetupRecord record;
         std::memcpy(&record, bytes.data() + bytes.size() - kTailSize, sizeof(record));
         record.ReadmeSize += static_cast<int32_t>(bytes.size());
         record.ExtrasSize += static_cast<int32_t>(bytes.size());
         std::memcpy(bytes.data() + bytes.size() - kTailSize, &record, sizeof(record));
       },
       0},
      {"remembered name is not text",
       [](FakeMachine& m) {
         m.registry.SetValue(RegistryRoot::kCurrentUser, kSettingsKey, "FileName_",
                             FakeValue{FakeValue::kDword, "", 1});
       },
       1},
      {"Programs folder not found",
       [](FakeMachine& m) { m.shell.special_folders[SpecialFolder::kPrograms] = std::nullopt; }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMachine machine;
    Install(machine, RegisteringPackage());
    c.arrange(machine);
    Uninstall(machine, MessageAnswer::kYes, flags_);
    ASSERT_EQ(machine.dialogs.shown.size(), c.questions + 1);
    EXPECT_EQ(machine.dialogs.shown.back().text, "The file is corrupted. Setup can not continue.");
    EXPECT_EQ(machine.dialogs.shown.back().caption, "Screensaver Setup");
    EXPECT_TRUE(machine.app.terminated);
  }
}

}  // namespace
}  // namespace scrsetup
