#include "wizard/tscr_setup.h"

#include <gtest/gtest.h>

#include "fake/wizard_run.h"

namespace scrsetup {
namespace {

using testing::FakeMachine;
using testing::PackageBuilder;
using testing::WizardRun;

constexpr char kCorrupted[] = "The file is corrupted. Setup can not continue.";

PackageBuilder LicensedPackage() {
  PackageBuilder package;
  package.license = "Terms\nof use";
  package.record.LicenseMode = 1;
  return package;
}

TEST(TSCRSetupLoading, AnUnreadablePackageIsReportedOnceAndEndsTheRun) {
  PackageBuilder package;
  SetupRecord damaged_signature = package.FinalRecord();
  damaged_signature.RecordSignature[0] = 'X';
  SetupRecord negative_language = package.FinalRecord();
  negative_language.LanguageSize = -1;
  SetupRecord readme_outside = package.FinalRecord();
  readme_outside.ReadmeSize = 1 << 30;
  SetupRecord extras_mismatch = package.FinalRecord();
  extras_mismatch.ExtrasSize += 1000;  // would shift the payload's end into the stub
  SetupRecord negative_readme = package.FinalRecord();
  negative_readme.ReadmeSize = -5;
  negative_readme.ExtrasSize = -5;
  // Sizes near the int32 limits: in 32-bit arithmetic the payload length
  // wraps to a positive value, or the payload would start before the file.
  SetupRecord payload_near_min = package.FinalRecord();
  payload_near_min.PayloadSize = INT32_MIN + 100;
  SetupRecord payload_at_max = package.FinalRecord();
  payload_at_max.PayloadSize = INT32_MAX;
  SetupRecord payload_past_start = package.FinalRecord();
  payload_past_start.PayloadSize += static_cast<int32_t>(package.stub.size()) + 1;
  SetupRecord readme_2gb = package.FinalRecord();
  readme_2gb.ReadmeSize = INT32_MAX - 1000;
  readme_2gb.ExtrasSize = INT32_MAX - 1000;
  readme_2gb.PayloadSize = INT32_MAX;
  PackageBuilder uninstaller = package;
  uninstaller.signature = UninstallerSignature();

  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"no signature", std::string(4000, 'x')},
      {"shorter than a signature", "Vornex"},
      {"record outside the file", "tiny Vornex.sig"},
      {"negative language size", package.BytesWithRecord(negative_language)},
      {"readme outside the file", package.BytesWithRecord(readme_outside)},
      {"block sizes that do not add up", package.BytesWithRecord(extras_mismatch)},
      {"negative readme size", package.BytesWithRecord(negative_readme)},
      {"payload size near INT32_MIN", package.BytesWithRecord(payload_near_min)},
      {"payload size INT32_MAX", package.BytesWithRecord(payload_at_max)},
      {"payload starting before the file", package.BytesWithRecord(payload_past_start)},
      {"readme block of 2 GB", package.BytesWithRecord(readme_2gb)},
      {"uninstaller with a damaged record signature",
       uninstaller.BytesWithRecord(damaged_signature)},
  };
  for (const Case& c : cases) {
    for (bool silent : {false, true}) {
      FakeMachine machine;
      WizardRun run(machine, c.bytes, silent ? "setup.exe -silent" : "setup.exe");
      SCOPED_TRACE(std::string(c.name) + (silent ? " (silent)" : ""));
      EXPECT_TRUE(machine.app.terminated);
      EXPECT_EQ(run.setup().exit_code(), silent ? kExitPackageUnreadable : kExitOk);
      if (silent) {
        EXPECT_TRUE(machine.dialogs.shown.empty());
      } else {
        ASSERT_EQ(machine.dialogs.shown.size(), 1u);
        EXPECT_EQ(machine.dialogs.shown[0].text, kCorrupted);
        EXPECT_EQ(machine.dialogs.shown[0].caption, "Screensaver Setup");
        EXPECT_EQ(machine.dialogs.shown[0].icon, MessageIcon::kError);
      }
      EXPECT_TRUE(machine.shell.requests.empty());
      EXPECT_EQ(machine.files.AllFiles().size(), 1u);  // only the package itself
    }
  }
}

// A block that lies inside the file but cannot be read is a damaged package
// too, whichever block it is.
TEST(TSCRSetupLoading, AFailedBlockReadIsReportedAsCorrupted) {
  PackageBuilder package = LicensedPackage();
  package.readme = "Read me";
  package.language = "Setup\r\nNext=Weiter";
  const std::string bytes = package.Bytes();
  const int64_t extras = int64_t(bytes.size()) - kTailSize - package.FinalRecord().ExtrasSize;
  struct Case {
    const char* block;
    int64_t offset;
  } cases[] = {
      {"readme", extras},
      {"licence", extras + int64_t(package.readme.size())},
      {"language", extras + int64_t(package.readme.size() + package.license.size())},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.block);
    FakeMachine machine;
    machine.files.AddFile(machine.files.program_path, bytes);
    machine.files.Entry(machine.files.program_path).fail_reads_at = c.offset;
    TSCRSetup setup(machine.platform, RunFlags{});
    setup.FormCreate();
    ASSERT_EQ(machine.dialogs.shown.size(), 1u);
    EXPECT_EQ(machine.dialogs.shown[0].text, kCorrupted);
    EXPECT_TRUE(machine.app.terminated);
  }
}

TEST(TSCRSetupLoading, TheOwnFileIsClosedAfterLoading) {
  PackageBuilder uninstaller;
  uninstaller.signature = UninstallerSignature();
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"wizard", LicensedPackage().Bytes()},
      {"damaged package", "tiny Vornex.sig"},
      {"uninstaller answered No", uninstaller.Bytes()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMachine machine;
    machine.dialogs.answers = {MessageAnswer::kNo};
    WizardRun run(machine, c.bytes);
    EXPECT_EQ(machine.files.Entry(machine.files.program_path).open_count, 0);
  }
}

TEST(TSCRSetupLoading, ASetupPackageWithADamagedRecordSignatureLoads) {
  PackageBuilder package;
  package.record.RecordSignature[3] = '?';
  FakeMachine machine;
  WizardRun run(machine, package.Bytes());
  EXPECT_FALSE(machine.app.terminated);
  EXPECT_TRUE(machine.dialogs.shown.empty());
  EXPECT_EQ(run.setup().page(), kDirectoryPage);
}

TEST(TSCRSetupLoading, TheCorruptedReportIsTranslatedOnceTheTableIsLoaded) {
  PackageBuilder package;
  package.language = "Setup\r\nThe file is corrupted. Setup can not continue.=Kaputt.";
  SetupRecord record = package.FinalRecord();
  // The language block is where it belongs, but the readme would start
  // before the file: loading fails after the table is loaded.
  int32_t record_start = static_cast<int32_t>(package.Bytes().size() - kTailSize);
  record.ExtrasSize = record_start + 100;
  record.ReadmeSize = record.ExtrasSize - static_cast<int32_t>(package.language.size());
  FakeMachine machine;
  WizardRun run(machine, package.BytesWithRecord(record));
  ASSERT_EQ(machine.dialogs.shown.size(), 1u);
  EXPECT_EQ(machine.dialogs.shown[0].text, "Kaputt.");
}

TEST(TSCRSetupLoading, AppliesTheShortNameRuleFromWindows2000On) {
  struct Case {
    OsVersion version;
    const char* installed_name;
  } cases[] = {
      {OsVersion{1, 4, 10, ""}, "My Long Saver.scr"},
      {OsVersion{2, 4, 0, ""}, "My Long Saver.scr"},
      {OsVersion{2, 5, 0, ""}, "My_Long_.scr"},
      {OsVersion{2, 6, 2, ""}, "My_Long_.scr"},
      {OsVersion{2, 10, 0, ""}, "My Long Saver.scr"},
  };
  for (const Case& c : cases) {
    PackageBuilder package;
    SetFieldText(package.record.ScreensaverFile, "My Long Saver.scr", true);
    FakeMachine machine;
    machine.system.version = c.version;
    WizardRun run(machine, package.Bytes(), "setup.exe -silent C:\\Savers");
    EXPECT_TRUE(machine.files.HasFile(std::string("C:\\Savers\\") + c.installed_name))
        << c.installed_name;
  }
}

TEST(TSCRSetupLoading, ARewrittenNameThatNoLongerFitsIsADamagedPackage) {
  PackageBuilder package;
  // 244 characters of folder, then a 9-character name cut to 12 characters.
  std::string name = std::string(243, 'd') + "\\" + "Saver1234.x";
  ASSERT_TRUE(SetFieldText(package.record.ScreensaverFile, name, true));
  FakeMachine machine;
  WizardRun run(machine, package.Bytes());
  ASSERT_EQ(machine.dialogs.shown.size(), 1u);
  EXPECT_EQ(machine.dialogs.shown[0].text, kCorrupted);
}

TEST(TSCRSetupLoading, UnopenableOwnFileIsReportedWithItsPath) {
  FakeMachine machine;
  machine.files.program_path = "C:\\Gone\\setup.exe";
  TSCRSetup setup(machine.platform, RunFlags{});
  setup.FormCreate();
  ASSERT_EQ(machine.dialogs.shown.size(), 1u);
  EXPECT_EQ(machine.dialogs.shown[0].text, "Cannot open file \"C:\\Gone\\setup.exe\".");
  EXPECT_TRUE(machine.app.terminated);
}

// The page rules: what every page shows, with and without the licence.
TEST(TSCRSetupPages, PageRulesSetTitlesButtonsAndStates) {
  struct Case {
    WizardPage page;
    bool license;
    const char* title;
    const char* next;
    bool back_visible;
    bool cancel_enabled;
  } cases[] = {
      {kLicensePage, true, "License Agreement", "Next >", false, true},
      {kDirectoryPage, true, "Select Destination Directory", "Install", true, true},
      {kReadyPage, true, "Ready to Install", "Install", true, true},
      {kDirectoryPage, false, "Select Destination Directory", "Install", false, true},
      {kReadyPage, false, "Ready to Install", "Install", false, true},
      {kProgressPage, true, "Installing", "Next >", false, false},
      {kReadmePage, false, "Information", "Next >", false, false},
      {kFinishedPage, false, "Finish", "Finish", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title + std::string(c.license ? " with licence" : ""));
    FakeMachine machine;
    WizardRun run(machine, (c.license ? LicensedPackage() : PackageBuilder()).Bytes());
    run.setup().SelectPage(c.page);
    EXPECT_EQ(run.window().page, c.page);
    EXPECT_EQ(run.Text(Control::lbTitle), c.title);
    EXPECT_EQ(run.Text(Control::btnNext), c.next);
    EXPECT_TRUE(run.Visible(Control::btnNext));
    EXPECT_EQ(run.Visible(Control::btnBack), c.back_visible);
    EXPECT_EQ(run.Enabled(Control::btnCancel), c.cancel_enabled);
  }
}

TEST(TSCRSetupPages, FirstPageAndFlowsFollowLicenceAndSkipFolderPage) {
  struct Case {
    const char* name;
    uint8_t license_mode;
    bool license_block;
    bool skip_folder;
    int first_page;
    int after_next;  // from the first page, licence accepted where shown
  } cases[] = {
      {"licence", 1, true, false, kLicensePage, kDirectoryPage},
      {"licence, skip folder", 3, true, true, kLicensePage, kReadyPage},
      {"licence mode without block", 2, false, false, kDirectoryPage, -1},
      {"block in mode 0", 0, true, false, kDirectoryPage, -1},
      {"block in mode 4", 4, true, true, kReadyPage, -1},
      {"no licence, skip folder", 0, false, true, kReadyPage, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PackageBuilder package;
    if (c.license_block) package.license = "Terms";
    package.record.LicenseMode = c.license_mode;
    package.record.SkipFolderPage = c.skip_folder;
    FakeMachine machine;
    WizardRun run(machine, package.Bytes());
    EXPECT_EQ(run.setup().page(), c.first_page);
    EXPECT_FALSE(run.Visible(Control::btnBack));
    EXPECT_EQ(run.Text(Control::edLicense), c.first_page == kLicensePage ? "Terms" : "");
    if (c.after_next < 0) continue;
    EXPECT_FALSE(run.Enabled(Control::btnNext));
    run.window().ClickRadio(Control::rbAccept);
    EXPECT_TRUE(run.Enabled(Control::btnNext));
    EXPECT_EQ(run.window().focused, Control::btnNext);
    run.setup().btnNextClick();
    EXPECT_EQ(run.setup().page(), c.after_next);
    EXPECT_TRUE(run.Visible(Control::btnBack));
    run.setup().btnBackClick();
    EXPECT_EQ(run.setup().page(), kLicensePage);
    // The agreement is still accepted: Next stays enabled.
    EXPECT_TRUE(run.Enabled(Control::btnNext));
    EXPECT_EQ(run.Text(Control::btnNext), "Next >");
  }
}

TEST(TSCRSetupPages, AcceptingControlsNextOnlyInLicenceModesOneToThree) {
  for (int mode = 0; mode <= 5; ++mode) {
    PackageBuilder package;
    package.license = "Terms";
    package.record.LicenseMode = static_cast<uint8_t>(mode);
    FakeMachine machine;
    WizardRun run(machine, package.Bytes());
    bool before = run.Enabled(Control::btnNext);
    run.window().ClickRadio(Control::rbAccept);
    bool accepted = run.Enabled(Control::btnNext);
    run.window().ClickRadio(Control::rbNotAccept);
    bool refused = run.Enabled(Control::btnNext);
    if (mode >= 1 && mode <= 3) {
      EXPECT_FALSE(before);
      EXPECT_TRUE(accepted);
      EXPECT_FALSE(refused) << mode;
    } else {
      // The Directory page's Install stays as the page rules left it.
      EXPECT_TRUE(before && accepted && refused) << mode;
    }
  }
}

TEST(TSCRSetupPages, ReadmeLeadsToFinishedAndFinishCloses) {
  PackageBuilder package;
  package.readme = "line one\nline two\rline three";
  FakeMachine machine;
  WizardRun run(machine, package.Bytes());
  EXPECT_EQ(run.Text(Control::edReadme), "line one\r\nline two\r\nline three");
  run.setup().btnNextClick();  // Install
  EXPECT_EQ(run.setup().page(), kReadmePage);
  run.setup().btnNextClick();
  EXPECT_EQ(run.setup().page(), kFinishedPage);
  EXPECT_FALSE(run.window().closed);
  run.setup().btnNextClick();
  EXPECT_TRUE(run.window().closed);
}

TEST(TSCRSetupPages, APreviewWithAReadmeReachesTheReadmePage) {
  PackageBuilder package;
  package.readme = "Read me";
  FakeMachine machine;
  WizardRun run(machine, package.Bytes(), "setup.exe -previewonly");
  run.setup().btnNextClick();  // Install
  EXPECT_EQ(machine.dialogs.shown.size(), 1u);  // the preview notice
  EXPECT_EQ(run.setup().page(), kReadmePage);
  EXPECT_EQ(run.Text(Control::edReadme), "Read me");
  run.setup().btnNextClick();
  EXPECT_EQ(run.setup().page(), kFinishedPage);
  EXPECT_EQ(machine.files.AllFiles().size(), 1u);  // only the package itself
}

TEST(TSCRSetupPages, CancelClosesWithoutAQuestion) {
  FakeMachine machine;
  WizardRun run(machine, LicensedPackage().Bytes());
  run.setup().btnCancelClick();
  EXPECT_TRUE(run.window().closed);
  EXPECT_TRUE(machine.dialogs.shown.empty());
}

TEST(TSCRSetupTexts, CaptionsLinkAndTranslatedTexts) {
  PackageBuilder package;
  SetFieldText(package.record.Title, std::string(32, 'T'), false);
  SetFieldText(package.record.WebAddress, "https://example.org/aurora", true);
  package.language =
      "Setup\r\nSetup=Installation\r\nNext=Weiter\r\nBack=Zur\xfc" "ck\r\nCancel=Abbrechen\r\n"
      "&Browse=&Durchsuchen\r\nInstall=Installieren\r\n"
      "Select Destination Directory=Zielordner w\xe4hlen\r\n";
  package.license = "Terms";
  package.record.LicenseMode = 1;
  FakeMachine machine;
  WizardRun run(machine, package.Bytes());
  EXPECT_EQ(run.window().caption, std::string(32, 'T') + " Installation");
  EXPECT_EQ(run.Text(Control::btnNext), "Weiter >");
  EXPECT_EQ(run.Text(Control::btnBack), "< Zur\xfc" "ck");
  EXPECT_EQ(run.Text(Control::btnCancel), "Abbrechen");
  EXPECT_EQ(run.Text(Control::btnBrowse), "&Durchsuchen...");
  EXPECT_EQ(run.Text(Control::rbAccept), "I &accept the agreement");
  EXPECT_EQ(run.Text(Control::Link), "https://example.org/aurora");
  EXPECT_TRUE(run.Visible(Control::Link));
  run.window().ClickRadio(Control::rbAccept);
  run.setup().btnNextClick();
  EXPECT_EQ(run.Text(Control::lbTitle), "Zielordner w\xe4hlen");
  EXPECT_EQ(run.Text(Control::btnNext), "Installieren");

  run.setup().LinkClick();
  ASSERT_EQ(machine.shell.requests.size(), 1u);
  EXPECT_EQ(machine.shell.requests[0].verb, "");
  EXPECT_EQ(machine.shell.requests[0].file, "https://example.org/aurora");
  EXPECT_EQ(machine.shell.requests[0].owner, ShellOwner::kWizard);
}

TEST(TSCRSetupTexts, EmptyWebAddressHidesTheLink) {
  FakeMachine machine;
  WizardRun run(machine, PackageBuilder().Bytes());
  EXPECT_FALSE(run.Visible(Control::Link));
  EXPECT_EQ(run.window().caption, "Aurora Setup");
}

TEST(TSCRSetupFolder, DefaultFolderBrowseAndSilentFolderArgument) {
  PackageBuilder package;
  SetCountedText(package.record.DefaultFolder, "  <Program Files> ");
  SetCountedText(package.record.DefaultSubfolder, "\\Aurora\\");
  FakeMachine machine;
  WizardRun run(machine, package.Bytes());
  EXPECT_EQ(run.Text(Control::edDirectory), "C:\\Program Files\\Aurora\\");

  machine.shell.browse_answer = std::nullopt;
  run.setup().btnBrowseClick();
  EXPECT_EQ(run.Text(Control::edDirectory), "C:\\Program Files\\Aurora\\");
  ASSERT_EQ(machine.shell.browse_calls.size(), 1u);
  EXPECT_EQ(machine.shell.browse_calls[0].first, "C:\\Program Files\\Aurora\\");
  EXPECT_EQ(machine.shell.browse_calls[0].second, "Browse");

  machine.shell.browse_answer = "D:\\Savers\\";
  run.setup().btnBrowseClick();
  EXPECT_EQ(run.Text(Control::edDirectory), "D:\\Savers");
  machine.shell.browse_answer = "d:\\";
  run.setup().btnBrowseClick();
  EXPECT_EQ(run.Text(Control::edDirectory), "d:\\");
}

// A silent installation shows nothing, so it builds no window; every run
// that may show something (a message over its hidden window) builds one.
TEST(TSCRSetupWindow, OnlyASilentInstallationGoesWithoutAWindow) {
  PackageBuilder setup;
  setup.readme = "Read me\r\nplease";
  PackageBuilder uninstaller = setup;
  uninstaller.signature = UninstallerSignature();
  struct Case {
    const char* command_line;
    const PackageBuilder& package;
    bool window;
  } cases[] = {
      {"setup.exe", setup, true},
      {"setup.exe -silent C:\\S", setup, false},
      {"setup.exe -silent", uninstaller, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command_line);
    FakeMachine machine;
    WizardRun run(machine, c.package.Bytes(), c.command_line);
    EXPECT_EQ(machine.app.window != nullptr, c.window);
  }
  FakeMachine machine;
  WizardRun run(machine, setup.Bytes(), "setup.exe -silent C:\\S");
  EXPECT_EQ(run.setup().exit_code(), kExitOk);
  EXPECT_EQ(machine.files.Contents("C:\\S\\Aurora.scr"), setup.payload);
  EXPECT_EQ(machine.files.Contents("C:\\S\\Aurora Readme.txt"), setup.readme);
}

}  // namespace
}  // namespace scrsetup
