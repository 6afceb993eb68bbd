// The deferred deletion run ("-delfile"): a hidden temporary copy of the
// uninstaller deletes the uninstaller's file once the uninstaller has ended,
// asks for its own deletion at the next restart, and shows the closing
// message of the uninstallation.
#pragma once

#include "platform/platform.h"
#include "uninstall/deferred_deletion.h"

namespace scrsetup {

// How long the copy keeps trying to delete the uninstaller's file, and the
// pause between two attempts.
inline constexpr uint64_t kDeleteRetryLimitMs = 60000;
inline constexpr uint32_t kDeleteRetryPauseMs = 50;

// Deletes the request's file, then shows its closing message when it came
// with one. A file that cannot be deleted within the retry limit is left to
// the next restart.
void FinishUninstall(Platform& platform, const DeferredDeletion& request);

}  // namespace scrsetup
