// The deferred deletion run ("-delfile"): a temporary copy of the uninstaller
// deletes the uninstaller's file once it has ended.
#pragma once

#include "platform/platform.h"
#include "setup/command_line.h"

namespace scrsetup {

// Reads its arguments: 2, the file to delete; 3 and 4, caption and text of
// the closing message.
void FinishUninstall(Platform& platform, const CommandLine& arguments);

}  // namespace scrsetup
