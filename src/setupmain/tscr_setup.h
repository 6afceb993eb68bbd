// TSCRSetup, the installer's wizard window: it reads the package when it is
// created, then either runs the uninstallation or prepares the wizard, and
// handles the wizard's clicks.
//
// This is the window's logic; the window itself is a WizardWindow from the
// platform, created here and told what to show.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "lang/language_table.h"
#include "package/package_reader.h"
#include "package/setup_record.h"
#include "platform/platform.h"
#include "setup/command_line.h"
#include "setup/run_flags.h"

namespace scrsetup {

// Exit codes of a run. Only silent runs end with a failure code; every other
// run ends with 0, whatever happened.
enum ExitCode {
  kExitOk = 0,
  kExitPackageUnreadable = 1,
  kExitInstallFailed = 2,
};

class TSCRSetup : public WizardEvents {
 public:
  TSCRSetup(Platform& platform, const RunFlags& flags, const CommandLine& arguments);
  ~TSCRSetup() override;

  // The creation handler: reads the package and, by its signature, runs the
  // uninstallation or prepares the wizard (and in SilentMode installs).
  void FormCreate();
  // Releases the language table when the window goes.
  void FormDestroy();

  int exit_code() const { return exit_code_; }

  // WizardEvents.
  void btnNextClick() override;
  void btnBackClick() override;
  void btnCancelClick() override;
  void btnBrowseClick() override;
  void rbAcceptClick() override;
  void LinkClick() override;

 private:
  // Reads the package from the open own file: the guarded loading steps.
  // False on any failure, to be reported as a corrupted file.
  bool LoadPackage(File& own_file);
  // Sets every translatable text of the window.
  void LangRenameControls();
  // Shows the corrupted-file report (not in SilentMode) and ends the run.
  void ReportCorruptedPackage();
  // Ends the run: in SilentMode with `silent_code` as exit code.
  void EndRun(ExitCode silent_code);

  Platform& platform_;
  const RunFlags flags_;
  const CommandLine& arguments_;
  std::unique_ptr<WizardWindow> window_;
  LanguageTable language_;
  SetupRecord record_;
  int64_t PackageEnd_ = 0;
  PackageKind kind_ = PackageKind::kSetup;
  SetupTexts texts_;
  int exit_code_ = kExitOk;
};

}  // namespace scrsetup
