// Program entry: decides from the command line which run takes place.
#pragma once

#include <string_view>

#include "platform/platform.h"
#include "platform/run_flags.h"
#include "entry/command_line.h"

namespace scrsetup {

// Runs the program with its full command line and returns its exit code:
//  - "-delfile FILE [CAPTION TEXT]" (exact, at least 2 arguments): the
//    deferred deletion of an uninstaller's file; nothing else is set up;
//  - otherwise a normal run, with "-silent [FOLDER]" or "-previewonly" as
//    argument 1 setting SilentMode or PreviewOnlyMode; "-quiet [FOLDER]"
//    sets QuietMode with everything "-silent" sets.
int RunProgram(Platform& platform, std::string_view command_line);

// The run flags a normal run's command line asks for: "-silent" or
// "-quiet" (with argument 2 as SilentFolder) or "-previewonly", by the
// switch test.
RunFlags ReadRunFlags(const CommandLine& arguments);

}  // namespace scrsetup
