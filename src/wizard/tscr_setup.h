// TSCRSetup, the installer's wizard window: it reads the package when it is
// created, then either runs the uninstallation or prepares the wizard (and
// in SilentMode installs at once), and handles the wizard's clicks.
//
// This is the window's logic; the window itself is a WizardWindow from the
// platform, created here and told what to show. The current page is kept
// here: every page change goes through SelectPage, which applies the page
// rules (NotebookPageChanged).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "install/install_sequence.h"
#include "install/run_context.h"
#include "package/check_block.h"
#include "lang/language_table.h"
#include "package/package_reader.h"
#include "package/setup_record.h"
#include "platform/platform.h"
#include "platform/run_flags.h"

namespace scrsetup {

// Exit codes of a run. Only silent runs end with a failure code; every other
// run ends with 0, whatever happened.
enum ExitCode {
  kExitOk = 0,
  kExitPackageUnreadable = 1,
  kExitInstallFailed = 2,
};

class TSCRSetup : public WizardEvents, public InstallerWindow {
 public:
  TSCRSetup(Platform& platform, const RunFlags& flags);
  ~TSCRSetup() override;

  // The creation handler: reads the package and, by its signature, runs the
  // uninstallation or prepares the wizard (and in SilentMode installs).
  void FormCreate();
  // Releases the language table when the window goes.
  void FormDestroy();

  int exit_code() const { return exit_code_; }
  WizardPage page() const { return page_; }

  // WizardEvents.
  void btnNextClick() override;
  void btnBackClick() override;
  void btnCancelClick() override;
  void btnBrowseClick() override;
  void rbAcceptClick() override;
  void LinkClick() override;

  // InstallerWindow.
  void SelectPage(WizardPage page) override;
  WizardWindow& Controls() override { return *window_; }
  std::string Caption() override { return caption_; }

 private:
  // Makes the window of a silent run, for a package of `kind` (every other
  // run has made its own at creation).
  void MakeWindow(PackageKind kind);
  // The guarded loading steps on the open own file, whose end signature
  // says `kind`; false on any failure, which is reported as a corrupted file.
  bool LoadPackage(File& own_file, PackageKind kind);
  // Reads a setup package's check block and checks the extra blocks and the
  // record against it; false when the block is damaged or they differ. A
  // package without a block passes unchecked.
  bool CheckPackageTail(File& own_file);
  // Sets every translatable text of the window.
  void LangRenameControls();
  // Fills the memos, picks the first page, sets caption and link label.
  void PrepareWizard();
  // Sets the destination folder and, in SilentMode, installs.
  void PrepareDestination();
  // Applies the page rules to the current page.
  void NotebookPageChanged();
  // Runs the installation step; false when it ended by a silent abort.
  bool btnOKClick();
  // The licence page is in use: licence mode 1 to 3 and a licence block.
  bool LicenseInUse() const;
  std::string T(std::string_view english) const { return language_.Translate(english); }
  void ReportCorruptedPackage();
  // Ends the run: in SilentMode with `silent_code` as exit code.
  void EndRun(ExitCode silent_code);

  Platform& platform_;
  const RunFlags flags_;
  std::unique_ptr<WizardWindow> window_;
  LanguageTable language_;
  SetupRecord record_;
  int64_t PackageEnd_ = 0;
  CheckBlockRead check_;
  RunContext context_{platform_, flags_, language_, record_, PackageEnd_, check_};
  SetupTexts texts_;
  std::array<std::string, kPageCount> PageTitles_;
  std::array<std::string, kPageCount> PageDescriptions_;
  std::string caption_;
  WizardPage page_ = kLicensePage;
  int exit_code_ = kExitOk;
};

}  // namespace scrsetup
