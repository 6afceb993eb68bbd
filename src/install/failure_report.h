// The one way a run reports a failure to its user.
#pragma once

#include <string>

#include "install/run_context.h"

namespace scrsetup {

// In SilentMode no window may appear: the program is asked to end.
// Otherwise an error message box shows `text` under `caption` and waits
// for OK. What the run does next is up to the caller.
void ReportFailure(const RunContext& context, const std::string& text,
                   const std::string& caption = kApplicationTitle);

}  // namespace scrsetup
