// The uninstall sequence, run when the program's own file is an
// UninstallerPackage: confirm, remove the screensaver file, its settings
// and readme, hand the uninstaller's own file to a hidden temporary copy
// started with "-delfile", remove the uninstall entry (in whichever root
// holds the one naming this uninstaller) and the shortcuts, and end the
// program without ever showing the wizard. In QuietMode nothing is asked
// and the copy shows no closing message.
#pragma once

#include "install/run_context.h"
#include "platform/file_system.h"
#include "platform/wizard_window.h"

namespace scrsetup {

// Runs the uninstallation. False when the package is not a sound
// uninstaller (the signature before PackageEnd, the record signature) or a
// step fails on the way (a remembered file name that is not text, a shell
// folder that cannot be located); the caller reports that as a corrupted
// file. What was removed before a failure stays removed.
[[nodiscard]] bool RunUninstall(File& own_file, const RunContext& context, WizardWindow& window);

}  // namespace scrsetup
