// The deferred deletion run ("-delfile"): a hidden temporary copy of the
// uninstaller deletes the uninstaller's file once the uninstaller has ended,
// asks for its own deletion at the next restart, and shows the closing
// message of the uninstallation.
#pragma once

#include "platform/platform.h"
#include "setup/command_line.h"

namespace scrsetup {

// How long the copy keeps trying to delete the uninstaller's file, and the
// pause between two attempts.
inline constexpr uint64_t kDeleteRetryLimitMs = 60000;
inline constexpr uint32_t kDeleteRetryPauseMs = 50;

// Arguments: 2, the file to delete; 3 and 4, caption and text of the closing
// message, shown only when there are exactly four arguments. A file that
// cannot be deleted within the retry limit is left to the next restart.
void FinishUninstall(Platform& platform, const CommandLine& arguments);

}  // namespace scrsetup
