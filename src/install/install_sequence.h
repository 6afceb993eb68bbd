// The installation step, run by Install on the Directory or Ready page and,
// in SilentMode, as soon as the wizard has prepared itself.
//
// In one pass it checks and creates the destination folder, settles the
// file name, copies the screensaver out of the running file with progress,
// writes the readme file and the uninstaller, moves the three into place,
// hands the screensaver to the shell's "install" verb, registers the
// installation and remembers the installed path. In PreviewOnlyMode it reads
// the payload with the same progress but writes and registers nothing.
//
// The files are written under temporary names and moved into place only
// when all are complete, so a failed reinstallation keeps the earlier one
// whole. A failed copy leaves nothing this run made: no file, no folder it
// created, no registration.
#pragma once

#include <string>

#include "install/run_context.h"
#include "platform/wizard_window.h"

namespace scrsetup {

// What the installation does to the wizard.
class InstallerWindow {
 public:
  virtual ~InstallerWindow() = default;
  // Selects a page and applies its page rules.
  virtual void SelectPage(WizardPage page) = 0;
  // The window's controls.
  virtual WizardWindow& Controls() = 0;
  // The window's caption (caption of the copy-failure message).
  virtual std::string Caption() = 0;
};

enum class InstallResult {
  kInstalled,            // installed or previewed; the wizard moved on
  kFailed,               // the copy failed: reported, nothing left, window closed
  kDamaged,              // the payload does not match its check: reported as a
                         // corrupted file, nothing left, window closed
  kBackToDirectoryPage,  // a folder or target error: reported, back on the
                         // Directory page for another folder
};

// Runs the installation; the wizard's btnOKClick hands over to it.
[[nodiscard]] InstallResult InstallScreensaver(const RunContext& context, InstallerWindow& wizard);

}  // namespace scrsetup
