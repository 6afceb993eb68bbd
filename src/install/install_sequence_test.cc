#include "install/install_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fake/wizard_run.h"
#include "fake/pe_image.h"
#include "lang/text.h"
#include "package/crc32.h"
#include "package/pe_header.h"
#include "package/signature_store.h"
#include "package/signed_file.h"

namespace scrsetup {
namespace {

using testing::FakeMachine;
using testing::FakeValue;
using testing::PackageBuilder;
using testing::ThreeChunkPackage;
using testing::WizardRun;

constexpr char kDesktop[] = "C:\\Users\\Tester\\Desktop\\";
constexpr char kGroup[] =
    "C:\\Users\\Tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Aurora\\";
constexpr char kEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Aurora";
constexpr char kSettingsKey[] = "Software\\Lumivane\\Aurora";

// Starts the wizard, types `folder` into the Directory page and presses Install.
void InstallInto(WizardRun& run, const std::string& folder) {
  run.window().texts[Control::edDirectory] = folder;
  run.setup().btnNextClick();
}

std::string StringValue(FakeMachine& machine, RegistryRoot root, const char* key, const char* name) {
  std::optional<FakeValue> value = machine.registry.Value(root, key, name);
  return value ? value->data : "<missing>";
}

TEST(Installation, InstallsFilesRegistrationsAndLinks) {
  PackageBuilder package = ThreeChunkPackage();
  FakeMachine machine;
  WizardRun run(machine, package.Bytes());
  InstallInto(run, "C:\\Savers\\Aurora");

  const std::string folder = "C:\\Savers\\Aurora\\";
  EXPECT_EQ(run.Text(Control::edDirectory), folder);
  EXPECT_EQ(machine.files.Contents(folder + "Aurora.scr"), package.payload);
  EXPECT_EQ(machine.files.Contents(folder + "Aurora Readme.txt"), "Read me\r\nplease");
  EXPECT_EQ(machine.files.Contents(folder + "uninstall Aurora.exe"), package.UninstallerBytes());

  ASSERT_EQ(machine.shell.requests.size(), 1u);
  EXPECT_EQ(machine.shell.requests[0].verb, "install");
  EXPECT_EQ(machine.shell.requests[0].file, folder + "Aurora.scr");
  EXPECT_EQ(machine.shell.requests[0].show, ShowCommand::kShowNoActivate);

  auto hklm = RegistryRoot::kLocalMachine;
  EXPECT_EQ(StringValue(machine, hklm, kEntryKey, "DisplayName"), "Aurora");
  EXPECT_EQ(StringValue(machine, hklm, kEntryKey, "UninstallString"),
            "\"" + folder + "uninstall Aurora.exe\"");
  EXPECT_EQ(StringValue(machine, hklm, kEntryKey, "DisplayIcon"), folder + "Aurora.scr");
  EXPECT_EQ(StringValue(machine, hklm, kEntryKey, "InstallLocation"), "C:\\Savers\\Aurora");
  EXPECT_EQ(machine.registry.Value(hklm, kEntryKey, "EstimatedSize")->dword, 245u);
  EXPECT_EQ(machine.registry.Value(hklm, kEntryKey, "NoModify")->dword, 1u);
  EXPECT_EQ(machine.registry.Value(hklm, kEntryKey, "NoRepair")->dword, 1u);
  EXPECT_EQ(StringValue(machine, RegistryRoot::kCurrentUser, kSettingsKey, "FileName_"),
            folder + "Aurora.scr");

  auto target = [&](const std::string& link) { return machine.shell.link_targets[AsciiLower(link)]; };
  EXPECT_EQ(target(kDesktop + std::string("Preview Aurora.lnk")), folder + "Aurora.scr");
  EXPECT_EQ(target(kGroup + std::string("Preview Aurora.lnk")), folder + "Aurora.scr");
  EXPECT_EQ(target(kGroup + std::string("Readme.lnk")), folder + "Aurora Readme.txt");
  EXPECT_EQ(target(kGroup + std::string("Uninstall Aurora.lnk")), folder + "uninstall Aurora.exe");

  // With a readme the wizard stays on Progress; Next leads to the Readme page.
  EXPECT_EQ(run.setup().page(), kReadmePage);
  EXPECT_TRUE(machine.dialogs.shown.empty());
  EXPECT_FALSE(machine.app.terminated);
  // The window was disabled and the wait cursor shown for the copy only.
  EXPECT_TRUE(run.window().window_enabled);
  EXPECT_EQ(machine.app.wait_cursor_log, (std::vector<bool>{true, false}));
  // Each of the three 100001-byte chunks moves the bar: one progress update,
  // one repaint and one message pass each.
  EXPECT_EQ(machine.app.message_passes, 3);
  EXPECT_EQ(run.window().progress_repaints, 3);
  EXPECT_EQ(run.window().progress_log.size(), 1u + 3u);  // 0 at the start, then per chunk
}

// The copy does the window work its pacer finds due. A large licence block
// that is not shown (no licence mode) makes each of the payload's three
// chunks less than a visible value: the bar moves at the first and the
// third, and a slow clock adds a message pass at the second.
TEST(Installation, TheCopyDoesTheWindowWorkItsPacerFindsDue) {
  PackageBuilder package = ThreeChunkPackage();
  package.license = std::string(15000000, 'l');
  struct Case {
    uint64_t milliseconds_per_chunk;
    int passes;
  } cases[] = {{0, 2}, {20, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.milliseconds_per_chunk);
    FakeMachine machine;
    WizardRun run(machine, package.Bytes());
    machine.system.tick_step = c.milliseconds_per_chunk;
    InstallInto(run, "C:\\S");
    EXPECT_EQ(machine.app.message_passes, c.passes);
    EXPECT_EQ(run.window().progress_repaints, 2);
    EXPECT_EQ(run.window().progress_log, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(machine.files.Contents("C:\\S\\Aurora.scr"), package.payload);
  }
}

// A relative folder is stored as the full path it names.
TEST(Installation, RelativeFolderIsRememberedAndRegisteredAsAFullPath) {
  FakeMachine machine;
  WizardRun run(machine, ThreeChunkPackage().Bytes());
  InstallInto(run, "Savers");
  const std::string folder = "C:\\Users\\Tester\\Savers\\";
  EXPECT_TRUE(machine.files.HasFile(folder + "Aurora.scr"));
  EXPECT_EQ(StringValue(machine, RegistryRoot::kCurrentUser, kSettingsKey, "FileName_"),
            folder + "Aurora.scr");
  EXPECT_EQ(StringValue(machine, RegistryRoot::kLocalMachine, kEntryKey, "UninstallString"),
            "\"" + folder + "uninstall Aurora.exe\"");
}

// The bar measures the whole file: the stub's share is in the first value,
// and the blocks after the payload keep the last one below 100.
TEST(Installation, ProgressMeasuresTheWholeFile) {
  PackageBuilder package = ThreeChunkPackage();
  package.payload = std::string(300000, 'p');
  package.readme = std::string(100000, 'r');
  const std::string bytes = package.Bytes();
  ASSERT_EQ(bytes.size(), 13u + 300000 + 100000 + 18 + kTailSize);
  FakeMachine machine;
  WizardRun run(machine, bytes);
  InstallInto(run, "C:\\S");
  // 100014, 200015 and 300013 of 400977 bytes.
  EXPECT_EQ(run.window().progress_log, (std::vector<int>{0, 25, 50, 75}));
}

// Beyond its header the stub is copied byte for byte, however long it is.
TEST(Installation, TheUninstallerIsTheStubFollowedByTheBlocksAndTheRecord) {
  PackageBuilder package = ThreeChunkPackage();
  package.stub = "MZ";
  for (int i = 0; package.stub.size() < 300000; ++i) package.stub += std::to_string(i * 7919 % 65536);
  FakeMachine machine;
  WizardRun run(machine, package.Bytes());
  InstallInto(run, "C:\\S");
  EXPECT_TRUE(machine.files.Contents("C:\\S\\uninstall Aurora.exe") == package.UninstallerBytes());
}

TEST(Installation, FlagsDecideWhatIsRegistered) {
  for (int flags = 0; flags < 8; ++flags) {
    PackageBuilder package = ThreeChunkPackage();
    package.readme.clear();
    package.record.AddUninstallEntry = flags & 1;
    package.record.CreateProgramGroup = (flags >> 1) & 1;
    package.record.CreateDesktopShortcut = (flags >> 2) & 1;
    FakeMachine machine;
    WizardRun run(machine, package.Bytes());
    InstallInto(run, "C:\\S");
    SCOPED_TRACE(flags);
    EXPECT_EQ(machine.registry.HasKey(RegistryRoot::kLocalMachine, kEntryKey), (flags & 1) != 0);
    EXPECT_EQ(machine.files.HasFile(kGroup + std::string("Preview Aurora.lnk")), (flags & 2) != 0);
    EXPECT_EQ(machine.files.HasFile(kGroup + std::string("Uninstall Aurora.lnk")), (flags & 2) != 0);
    EXPECT_FALSE(machine.files.HasFile(kGroup + std::string("Readme.lnk")));
    EXPECT_EQ(machine.files.HasFile(kDesktop + std::string("Preview Aurora.lnk")), (flags & 4) != 0);
    EXPECT_FALSE(machine.files.HasFile("C:\\S\\Aurora Readme.txt"));
    EXPECT_TRUE(machine.files.HasFile("C:\\S\\Aurora.scr"));
    // Without a readme the same press of Install ends on Finished and closes.
    EXPECT_EQ(run.setup().page(), kFinishedPage);
    EXPECT_TRUE(run.window().closed);
  }
}

TEST(Installation, FolderAndTargetErrorsReturnToTheDirectoryPage) {
  struct Case {
    const char* name;
    std::string folder;
    std::function<void(FakeMachine&)> arrange;
    const char* message;
  } cases[] = {
      {"folder cannot be created", "C:\\Locked\\Sub", [](FakeMachine& m) { m.files.RefuseCreate("C:\\Locked"); },
       "Unable to create the directory. Please select a different directory."},
      {"a file stands in the way", "C:\\taken.txt", [](FakeMachine& m) { m.files.AddFile("C:\\taken.txt", "x"); },
       "Unable to create the directory. Please select a different directory."},
      {"empty folder text", "", [](FakeMachine&) {},
       "Invalid directory. Please select an existing directory."},
      {"missing drive", "Q:", [](FakeMachine&) {},
       "Invalid directory. Please select an existing directory."},
      {"folder not writable", "C:\\S",
       [](FakeMachine& m) {
         m.files.AddFolder("C:\\S");
         m.files.RefuseCreateIn("C:\\S");
       },
       "Unable to copy the files. Access is denied. Please select a different directory."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PackageBuilder package = ThreeChunkPackage();
    package.license = "Terms";
    package.record.LicenseMode = 1;
    FakeMachine machine;
    c.arrange(machine);
    size_t files_before = machine.files.AllFiles().size() + 1;
    WizardRun run(machine, package.Bytes());
    run.window().ClickRadio(Control::rbAccept);
    run.setup().btnNextClick();
    InstallInto(run, c.folder);
    ASSERT_EQ(machine.dialogs.shown.size(), 1u);
    EXPECT_EQ(machine.dialogs.shown[0].text, c.message);
    EXPECT_EQ(machine.dialogs.shown[0].caption, "Screensaver Setup");
    EXPECT_EQ(machine.dialogs.shown[0].icon, MessageIcon::kError);
    EXPECT_EQ(run.setup().page(), kDirectoryPage);
    EXPECT_TRUE(run.Visible(Control::btnNext));
    EXPECT_TRUE(run.Visible(Control::btnBack));
    EXPECT_FALSE(run.Enabled(Control::btnCancel));  // nothing enables Cancel again
    EXPECT_FALSE(run.window().closed);
    EXPECT_EQ(machine.files.AllFiles().size(), files_before);
    EXPECT_FALSE(machine.registry.HasKey(RegistryRoot::kLocalMachine, kEntryKey));
  }
}

// What a run that failed may leave: nothing but the package itself.
void ExpectNothingInstalled(FakeMachine& machine) {
  EXPECT_EQ(machine.files.AllFiles(), std::vector<std::string>{machine.files.program_path});
  EXPECT_FALSE(machine.files.HasFolder("C:\\S"));
  EXPECT_FALSE(machine.files.HasFolder(kGroup));
  EXPECT_FALSE(machine.registry.HasKey(RegistryRoot::kLocalMachine, kEntryKey));
  EXPECT_FALSE(machine.registry.HasKey(RegistryRoot::kCurrentUser, kSettingsKey));
  EXPECT_TRUE(machine.shell.link_targets.empty());
  EXPECT_TRUE(machine.shell.requests.empty());
}

TEST(Installation, CopyFailuresLeaveNothingAndCloseTheWizard) {
  struct Case {
    const char* name;
    std::function<void(FakeMachine&)> arrange;  // after loading, before Install
  } cases[] = {
      {"read error", [](FakeMachine& m) { m.files.Entry(m.files.program_path).fail_reads_from = 150000; }},
      {"full disk", [](FakeMachine& m) { m.files.LimitWrites("C:\\S", 120000); }},
      {"a read reports more than it was asked for",
       [](FakeMachine& m) { m.files.Entry(m.files.program_path).overstate_reads = true; }},
      {"disk full after the payload", [](FakeMachine& m) { m.files.LimitWrites("C:\\S", 250010); }},
      {"payload cut short after start-up",
       [](FakeMachine& m) { m.files.Entry(m.files.program_path).data.resize(100); }},
      {"readme cannot be written", [](FakeMachine& m) { m.files.RefuseCreate("C:\\S\\Aurora Readme.txt"); }},
      {"uninstaller cannot be written",
       [](FakeMachine& m) { m.files.RefuseCreate("C:\\S\\uninstall Aurora.exe"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMachine machine;
    WizardRun run(machine, ThreeChunkPackage().Bytes());
    c.arrange(machine);
    InstallInto(run, "C:\\S");
    ASSERT_EQ(machine.dialogs.shown.size(), 1u);
    EXPECT_EQ(machine.dialogs.shown[0].text,
              "There was an error installing Aurora. Installation is not complete.");
    EXPECT_EQ(machine.dialogs.shown[0].caption, "Aurora Setup");
    EXPECT_TRUE(run.window().closed);
    EXPECT_TRUE(run.window().window_enabled);
    ExpectNothingInstalled(machine);
  }
}

// Only the folders the run made go again, and only while empty.
TEST(Installation, AFailedCopyKeepsFoldersItDidNotMake) {
  FakeMachine machine;
  machine.files.AddFolder("C:\\Savers");
  machine.files.AddFile("C:\\Savers\\Other.scr", "other");
  WizardRun run(machine, ThreeChunkPackage().Bytes());
  machine.files.LimitWrites("C:\\Savers\\New\\Deeper", 10);
  InstallInto(run, "C:\\Savers\\New\\Deeper");
  EXPECT_EQ(machine.files.AllFiles(),
            (std::vector<std::string>{"C:\\Downloads\\setup.exe", "C:\\Savers\\Other.scr"}));
  EXPECT_TRUE(machine.files.HasFolder("C:\\Savers"));
  EXPECT_FALSE(machine.files.HasFolder("C:\\Savers\\New"));
}

// The package checks its own bytes: a damaged payload is found as it is
// copied, damaged texts or record when the package is read.
TEST(Installation, ADamagedPackageIsReportedAndLeavesNothing) {
  const PackageBuilder package = ThreeChunkPackage();
  const std::string good = package.CheckedBytes();
  const size_t payload_at = package.stub.size(), readme_at = payload_at + package.payload.size();
  const size_t record_at = package.Bytes().size() - kTailSize;
  struct Case {
    const char* name;
    size_t offset;  // the byte flipped
    bool silent;
    bool found_at_load;
  } cases[] = {
      {"payload, first chunk", payload_at + 7, false, false},
      {"payload, last byte", readme_at - 1, true, false},
      {"readme", readme_at + 2, false, true},
      {"record title", record_at + 0x104, true, true},
      {"record reserved byte", record_at + 0x3a4, false, true},
      {"check block", package.Bytes().size() + 0x12, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = good;
    bytes[c.offset] = static_cast<char>(bytes[c.offset] ^ 0x20);
    FakeMachine machine;
    WizardRun run(machine, bytes, c.silent ? "setup.exe -silent C:\\S" : "setup.exe");
    if (!c.silent && !c.found_at_load) InstallInto(run, "C:\\S");
    if (c.silent) {
      EXPECT_TRUE(machine.dialogs.shown.empty());
      EXPECT_EQ(run.setup().exit_code(), kExitPackageUnreadable);
    } else {
      ASSERT_EQ(machine.dialogs.shown.size(), 1u);
      EXPECT_EQ(machine.dialogs.shown[0].text, "The file is corrupted. Setup can not continue.");
      EXPECT_EQ(machine.dialogs.shown[0].caption, "Screensaver Setup");
    }
    EXPECT_TRUE(machine.app.terminated || run.window().closed);
    ExpectNothingInstalled(machine);
  }
  // Whole, it installs, and the entry shows what the package tells of itself.
  FakeMachine machine;
  WizardRun run(machine, package.CheckedBytes({"1.4", "Example Makers", "https://e.org/help"}));
  InstallInto(run, "C:\\S");
  EXPECT_EQ(machine.files.Contents("C:\\S\\Aurora.scr"), package.payload);
  EXPECT_EQ(StringValue(machine, RegistryRoot::kLocalMachine, kEntryKey, "DisplayVersion"), "1.4");
  EXPECT_EQ(StringValue(machine, RegistryRoot::kLocalMachine, kEntryKey, "Publisher"),
            "Example Makers");
  EXPECT_EQ(StringValue(machine, RegistryRoot::kLocalMachine, kEntryKey, "HelpLink"),
            "https://e.org/help");
}

// A reinstallation that fails keeps the earlier installation as it was.
TEST(Installation, AFailedReinstallKeepsTheEarlierInstallation) {
  struct Case {
    const char* name;
    std::function<void(FakeMachine&)> arrange;
    const char* message;
  } cases[] = {
      {"earlier screensaver in use", [](FakeMachine& m) { m.files.Entry("C:\\S\\Aurora.scr").open_count = 1; },
       "Unable to copy the files. Access is denied. Please select a different directory."},
      {"earlier screensaver read-only", [](FakeMachine& m) { m.files.Entry("C:\\S\\Aurora.scr").read_only = true; },
       "Unable to copy the files. Access is denied. Please select a different directory."},
      {"folder no longer writable", [](FakeMachine& m) { m.files.RefuseCreateIn("C:\\S"); },
       "Unable to copy the files. Access is denied. Please select a different directory."},
      {"disk full", [](FakeMachine& m) { m.files.LimitWrites("C:\\S", 1000); },
       "There was an error installing Aurora. Installation is not complete."},
      {"read error", [](FakeMachine& m) { m.files.Entry(m.files.program_path).fail_reads_from = 150000; },
       "There was an error installing Aurora. Installation is not complete."},
      {"uninstaller in use at the move",
       [](FakeMachine& m) {
         m.files.on_move = [&m](const std::string&, const std::string& to) {
           if (to == "C:\\S\\uninstall Aurora.exe") m.files.Entry(to).open_count = 1;
         };
       },
       "There was an error installing Aurora. Installation is not complete."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMachine machine;
    PackageBuilder first = ThreeChunkPackage();
    {
      WizardRun run(machine, first.Bytes(), "setup.exe -silent C:\\S");
      ASSERT_EQ(run.setup().exit_code(), kExitOk);
    }
    const std::vector<std::string> files = machine.files.AllFiles();
    const std::string entry = StringValue(machine, RegistryRoot::kLocalMachine, kEntryKey, "UninstallString");
    (void)machine.files.RemoveFile(machine.files.program_path);
    PackageBuilder second = ThreeChunkPackage();
    second.payload = std::string(250000, 'q');
    second.readme = "New readme";
    WizardRun run(machine, second.Bytes());
    c.arrange(machine);
    InstallInto(run, "C:\\S");
    ASSERT_EQ(machine.dialogs.shown.size(), 1u);
    EXPECT_EQ(machine.dialogs.shown[0].text, c.message);
    EXPECT_EQ(machine.files.AllFiles(), files);
    // A move that fails after the screensaver's and readme's have been made
    // leaves those two complete in their new version beside the earlier
    // uninstaller, which removes them as well.
    const bool moved_before = std::string(c.name) == "uninstaller in use at the move";
    EXPECT_EQ(machine.files.Contents("C:\\S\\Aurora.scr"), moved_before ? second.payload : first.payload);
    EXPECT_EQ(machine.files.Contents("C:\\S\\Aurora Readme.txt"), moved_before ? second.readme : first.readme);
    EXPECT_EQ(StringValue(machine, RegistryRoot::kLocalMachine, kEntryKey, "UninstallString"), entry);
    EXPECT_EQ(StringValue(machine, RegistryRoot::kCurrentUser, kSettingsKey, "FileName_"), "C:\\S\\Aurora.scr");
  }
}

// The entry goes where this user may write it: a machine-scope package's
// under HKEY_LOCAL_MACHINE unless that refuses it, a user-scope one's
// always under HKEY_CURRENT_USER.
TEST(Installation, UninstallEntryRootFollowsScopeAndRights) {
  struct Case {
    InstallScope scope;
    bool local_machine_refuses;
    RegistryRoot root;
  } cases[] = {
      {InstallScope::kMachine, false, RegistryRoot::kLocalMachine},
      {InstallScope::kMachine, true, RegistryRoot::kCurrentUser},
      {InstallScope::kUser, false, RegistryRoot::kCurrentUser},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.scope) * 2 + c.local_machine_refuses);
    PackageBuilder package = testing::RegisteringPackage();
    package.scope = c.scope;
    SetFieldText(package.record.WebAddress, "https://example.org/aurora", true);
    FakeMachine machine;
    machine.registry.deny_local_machine = c.local_machine_refuses;
    WizardRun run(machine, package.CheckedBytes());
    InstallInto(run, "C:\\S");
    const RegistryRoot other = c.root == RegistryRoot::kLocalMachine ? RegistryRoot::kCurrentUser
                                                                     : RegistryRoot::kLocalMachine;
    EXPECT_FALSE(machine.registry.HasKey(other, kEntryKey));
    EXPECT_EQ(machine.registry.ValueNames(c.root, kEntryKey),
              (std::vector<std::string>{"DisplayName", "UninstallString", "QuietUninstallString",
                                        "DisplayIcon", "InstallLocation", "EstimatedSize",
                                        "NoModify", "NoRepair", "URLInfoAbout"}));
    EXPECT_EQ(StringValue(machine, c.root, kEntryKey, "QuietUninstallString"),
              "\"C:\\S\\uninstall Aurora.exe\" -quiet");
    EXPECT_EQ(StringValue(machine, c.root, kEntryKey, "URLInfoAbout"),
              "https://example.org/aurora");
  }
}

TEST(Installation, RegistrationFailuresAreSilent) {
  struct Case {
    const char* name;
    std::function<void(FakeMachine&)> arrange;
    bool entry, group, desktop;
  } cases[] = {
      {"no right under HKEY_LOCAL_MACHINE", [](FakeMachine& m) { m.registry.deny_local_machine = true; },
       false, true, true},
      {"no Programs folder",
       [](FakeMachine& m) { m.shell.special_folders[SpecialFolder::kPrograms] = std::nullopt; }, true,
       false, true},
      {"Programs folder without a path",
       [](FakeMachine& m) { m.shell.special_folders[SpecialFolder::kPrograms] = ""; }, true, false, true},
      {"links cannot be written", [](FakeMachine& m) { m.shell.fail_links = true; }, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMachine machine;
    c.arrange(machine);
    WizardRun run(machine, ThreeChunkPackage().Bytes());
    InstallInto(run, "C:\\S");
    EXPECT_TRUE(machine.dialogs.shown.empty());
    EXPECT_EQ(machine.registry.HasKey(RegistryRoot::kLocalMachine, kEntryKey), c.entry);
    EXPECT_EQ(machine.files.HasFile(kGroup + std::string("Preview Aurora.lnk")), c.group);
    EXPECT_EQ(machine.files.HasFile(kDesktop + std::string("Preview Aurora.lnk")), c.desktop);
    EXPECT_TRUE(machine.files.HasFile("C:\\S\\Aurora.scr"));
    EXPECT_EQ(StringValue(machine, RegistryRoot::kCurrentUser, kSettingsKey, "FileName_"),
              "C:\\S\\Aurora.scr");
    EXPECT_EQ(run.setup().page(), kReadmePage);
  }
}

TEST(Installation, ReinstallingOverwritesOrPicksANumberedName) {
  struct Case {
    const char* name;
    const char* screensaver;
    std::vector<std::string> existing;
    const char* remembered;
    const char* folder;
    const char* installed;
  } cases[] = {
      {"same folder overwrites", "Aurora.scr", {"C:\\S\\Aurora.scr"}, "C:\\S\\Aurora.scr", "C:\\S",
       "C:\\S\\Aurora.scr"},
      {"same folder, numbered earlier", "Aurora.scr", {"C:\\S\\Aurora.scr", "C:\\S\\Aurora1.scr"},
       "C:\\S\\Aurora1.scr", "C:\\S", "C:\\S\\Aurora1.scr"},
      {"remembered elsewhere", "Aurora.scr", {"C:\\S\\Aurora.scr"}, "C:\\T\\Aurora.scr", "C:\\S",
       "C:\\S\\Aurora1.scr"},
      {"remembered in other letter case", "Aurora.scr", {"C:\\S\\Aurora.scr"}, "c:\\s\\Aurora.scr",
       "C:\\S", "C:\\S\\Aurora1.scr"},
      {"next free number", "Aurora.scr", {"C:\\S\\Aurora.scr", "C:\\S\\Aurora1.scr"}, "", "C:\\S",
       "C:\\S\\Aurora2.scr"},
      {"eight-character cut", "Longname.scr", {"C:\\S\\Longname.scr"}, "", "C:\\S", "C:\\S\\Longnam1.scr"},
      {"no file yet", "Aurora.scr", {}, "C:\\T\\Aurora.scr", "C:\\S", "C:\\S\\Aurora.scr"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PackageBuilder package;
    SetFieldText(package.record.ScreensaverFile, c.screensaver, true);
    FakeMachine machine;
    for (const std::string& file : c.existing) machine.files.AddFile(file, "old");
    if (*c.remembered) {
      machine.registry.SetString(RegistryRoot::kCurrentUser, kSettingsKey, "FileName_", c.remembered);
    }
    WizardRun run(machine, package.Bytes());
    InstallInto(run, c.folder);
    EXPECT_EQ(machine.files.Contents(c.installed), package.payload);
    EXPECT_EQ(StringValue(machine, RegistryRoot::kCurrentUser, kSettingsKey, "FileName_"), c.installed);
  }
}

TEST(Installation, NumberedNamesKeepEightCharactersFromTenOn) {
  FakeMachine machine;
  std::string existing = "C:\\S\\Longname.scr";
  machine.files.AddFile(existing, "old");
  for (int n = 1; n <= 9; ++n) machine.files.AddFile("C:\\S\\Longnam" + std::to_string(n) + ".scr", "");
  PackageBuilder package;
  SetFieldText(package.record.ScreensaverFile, "Longname.scr", true);
  WizardRun run(machine, package.Bytes());
  InstallInto(run, "C:\\S");
  EXPECT_TRUE(machine.files.HasFile("C:\\S\\Longna10.scr"));
}

TEST(Installation, PreviewWritesNothing) {
  FakeMachine machine;
  PackageBuilder package = ThreeChunkPackage();
  package.readme.clear();
  WizardRun run(machine, package.Bytes(), "setup.exe -previewonly");
  std::vector<std::string> before = machine.files.AllFiles();
  InstallInto(run, "C:\\Not\\There");
  EXPECT_EQ(machine.files.AllFiles(), before);
  EXPECT_FALSE(machine.files.HasFolder("C:\\Not"));
  EXPECT_FALSE(machine.registry.HasKey(RegistryRoot::kLocalMachine, kEntryKey));
  EXPECT_FALSE(machine.registry.HasKey(RegistryRoot::kCurrentUser, kSettingsKey));
  EXPECT_TRUE(machine.shell.requests.empty());
  ASSERT_EQ(machine.dialogs.shown.size(), 1u);
  EXPECT_EQ(machine.dialogs.shown[0].caption, "Aurora");
  EXPECT_EQ(machine.dialogs.shown[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(machine.dialogs.shown[0].text,
            "After successful installation screensaver setup would open Windows Screen Saver "
            "Settings. This window is not displayed in setup preview mode.");
  EXPECT_EQ(run.window().progress_log.back(), 100 - 0);  // read up to the payload's end
  EXPECT_EQ(run.setup().page(), kFinishedPage);
}

TEST(Installation, SilentRunsEndWithoutMessagesAndReportByExitCode) {
  struct Case {
    const char* command_line;
    std::function<void(FakeMachine&)> arrange;
    int exit_code;
    const char* installed;
  } cases[] = {
      {"setup.exe -silent", [](FakeMachine&) {}, kExitOk, "C:\\Program Files\\Aurora\\Aurora.scr"},
      {"setup.exe -silent \"D:\\My Savers\"", [](FakeMachine& m) { m.files.AddFolder("D:\\"); }, kExitOk,
       "D:\\My Savers\\Aurora.scr"},
      {"setup.exe -silent \"\"", [](FakeMachine&) {}, kExitOk, "C:\\Program Files\\Aurora\\Aurora.scr"},
      // The folder argument is used as it stands, blanks and all.
      {"setup.exe -silent \"C:\\Savers \"", [](FakeMachine&) {}, kExitOk, "C:\\Savers \\Aurora.scr"},
      {"setup.exe -silent Q:\\Nowhere", [](FakeMachine&) {}, kExitInstallFailed, nullptr},
      {"setup.exe -silent C:\\S",
       [](FakeMachine& m) { m.files.LimitWrites("C:\\S", 10); }, kExitInstallFailed, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command_line);
    PackageBuilder package = ThreeChunkPackage();
    SetCountedText(package.record.DefaultFolder, "<Program Files>");
    SetCountedText(package.record.DefaultSubfolder, "Aurora");
    FakeMachine machine;
    c.arrange(machine);
    WizardRun run(machine, package.Bytes(), c.command_line);
    EXPECT_TRUE(machine.dialogs.shown.empty());
    EXPECT_TRUE(machine.app.terminated);
    EXPECT_EQ(run.setup().exit_code(), c.exit_code);
    if (c.installed) {
      EXPECT_EQ(machine.files.Contents(c.installed), package.payload);
    }
    EXPECT_FALSE(machine.files.HasFile("C:\\S\\Aurora.scr"));
    EXPECT_FALSE(machine.files.HasFolder("C:\\Savers"));
  }
}

TEST(Installation, TranslatedFailureMessageKeepsItsPlaceholderSafe) {
  struct Case {
    const char* translation;
    const char* shown;
  } cases[] = {
      {"Fehler bei %s.", "Fehler bei Aurora."},
      {"Fehler %d bei %s.", "There was an error installing Aurora. Installation is not complete."},
      {"Fehler.", "There was an error installing Aurora. Installation is not complete."},
  };
  for (const Case& c : cases) {
    PackageBuilder package = ThreeChunkPackage();
    package.language = std::string("Setup\r\nThere was an error installing %s. Installation is not complete.=") +
                       c.translation;
    FakeMachine machine;
    WizardRun run(machine, package.Bytes());
    machine.files.Entry(machine.files.program_path).fail_reads_from = 0;
    InstallInto(run, "C:\\S");
    ASSERT_EQ(machine.dialogs.shown.size(), 1u);
    EXPECT_EQ(machine.dialogs.shown[0].text, c.shown);
  }
}

}  // namespace
}  // namespace scrsetup

// A package built with signing carries certificate tables for the
// uninstallers it can write; the installation appends the one made for
// exactly the bytes it wrote, and writes any other uninstaller unsigned.
namespace scrsetup {
namespace {

// The package followed by a check block that names `store`, and the store.
std::string WithSignatureStore(const PackageBuilder& package, const std::string& store) {
  CheckBlock block = DecodeCheckBlock(package.CheckBlockBytes()).block;
  block.store_size = static_cast<uint32_t>(store.size());
  block.store_crc = Crc32(0, store.data(), store.size());
  return package.Bytes() + EncodeCheckBlock(block, nullptr).value() + store;
}

// The uninstaller an installation writes unsigned, with `screensaver_file`
// in its record.
std::string UnsignedUninstaller(const PackageBuilder& package, std::string_view screensaver_file) {
  std::string stub = package.stub;
  ClearSignatureFields(reinterpret_cast<unsigned char*>(stub.data()), stub.size());
  SetupRecord record = package.FinalRecord();
  SetFieldText(record.ScreensaverFile, screensaver_file, true);
  std::string uninstaller = stub + package.readme + package.language;
  uninstaller.append(reinterpret_cast<const char*>(&record), sizeof(record));
  return uninstaller + "ScUnin.sig";
}

StoredSignature SignatureFor(const std::string& uninstaller, uint32_t checksum,
                             std::string_view table) {
  return {static_cast<uint32_t>(uninstaller.size()),
          Crc32(0, uninstaller.data(), uninstaller.size()), checksum, table};
}

TEST(Installation, TheUninstallerCarriesTheSignatureStoredForItsBytes) {
  const std::string built_table(24, 'B'), rule_table(32, 'R');
  const OsVersion windows98{1, 4, 10, " A "}, windows7{2, 6, 1, ""};
  for (uint16_t magic : {0x10b, 0x20b}) {
    PackageBuilder package = testing::RegisteringPackage();
    package.stub = testing::PeImage(magic, 3001);
    SetFieldText(package.record.ScreensaverFile, "Aurora Borealis.scr", true);
    const std::string as_built = UnsignedUninstaller(package, "Aurora Borealis.scr");
    const std::string after_rule = UnsignedUninstaller(package, "Aurora_B.scr");
    const std::string store = EncodeSignatureStore(
        {SignatureFor(as_built, 0xB0B0, built_table), SignatureFor(after_rule, 0xF0F0, rule_table)});
    const struct {
      OsVersion version;
      const std::string& unsigned_file;
      uint32_t checksum;
      const std::string& table;
    } cases[] = {{windows98, as_built, 0xB0B0, built_table},
                 {windows7, after_rule, 0xF0F0, rule_table}};
    for (const auto& c : cases) {
      SCOPED_TRACE(::testing::Message() << magic << " " << c.version.major);
      FakeMachine machine;
      machine.system.version = c.version;
      WizardRun run(machine, WithSignatureStore(package, store));
      InstallInto(run, "C:\\S");
      const std::string name = &c.unsigned_file == &as_built ? "Aurora Borealis" : "Aurora_B";
      const std::string written = machine.files.Contents("C:\\S\\uninstall " + name + ".exe");
      std::string problem;
      std::optional<StoredSignature> taken = TakeSignature(c.unsigned_file, written, &problem);
      ASSERT_TRUE(taken) << problem;
      EXPECT_EQ(taken->checksum, c.checksum);
      EXPECT_EQ(taken->table, c.table);
    }
  }
}

TEST(Installation, AnUninstallerWithoutAStoredSignatureIsWrittenUnsigned) {
  PackageBuilder package = testing::RegisteringPackage();
  package.stub = testing::PeImage(0x10b, 3001);
  const std::string uninstaller = UnsignedUninstaller(package, "Aurora.scr");
  std::string other = uninstaller;
  other[0x400] ^= 1;
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"no store", package.CheckedBytes()},
      {"signed by hand after the build", package.CheckedBytes() + std::string(8, '\0') + "CERT"},
      {"a store for other bytes",
       WithSignatureStore(package, EncodeSignatureStore({SignatureFor(other, 1, "TABLE..!")}))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMachine machine;
    WizardRun run(machine, c.bytes);
    InstallInto(run, "C:\\S");
    EXPECT_TRUE(machine.files.Contents("C:\\S\\uninstall Aurora.exe") == uninstaller);
  }
}

TEST(Installation, ADamagedSignatureStoreIsADamagedPackage) {
  PackageBuilder package = testing::RegisteringPackage();
  package.stub = testing::PeImage(0x10b, 3001);
  const std::string store = EncodeSignatureStore(
      {SignatureFor(UnsignedUninstaller(package, "Aurora.scr"), 7, std::string(16, 'T'))});
  const std::string good = WithSignatureStore(package, store);
  std::string flipped = good, overlong = store;
  flipped[flipped.size() - 3] ^= 0x20;
  testing::PutLe32(overlong, 12, 24);  // the entry claims more than the store holds
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"a flipped byte in the table", flipped},
      {"an entry that does not fit, its CRC right", WithSignatureStore(package, overlong)},
      {"the store cut short", good.substr(0, good.size() - 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMachine machine;
    WizardRun run(machine, c.bytes, "setup.exe -silent C:\\S");
    EXPECT_EQ(run.setup().exit_code(), kExitPackageUnreadable);
    ExpectNothingInstalled(machine);
  }
  FakeMachine machine;
  WizardRun run(machine, good, "setup.exe -silent C:\\S");
  EXPECT_EQ(run.setup().exit_code(), kExitOk);
}

}  // namespace
}  // namespace scrsetup
