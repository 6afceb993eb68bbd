#include "setup/program.h"

#include "setup/command_line.h"
#include "setup/run_flags.h"
#include "setupmain/tscr_setup.h"
#include "uninstall/finish_uninstall.h"

namespace scrsetup {

int RunProgram(Platform& platform, std::string_view command_line) {
  const CommandLine arguments(command_line);
  if (arguments.Count() >= 2 && arguments.Arg(1) == "-delfile") {
    FinishUninstall(platform, arguments);
    return kExitOk;
  }
  platform.app.SetTitle(kApplicationTitle);
  RunFlags flags;
  if (arguments.HasSwitch("-silent")) {
    platform.app.SetShowMainWindow(false);
    flags.SilentMode = true;
  }
  if (arguments.HasSwitch("-previewonly")) flags.PreviewOnlyMode = true;

  TSCRSetup setup(platform, flags, arguments);
  setup.FormCreate();
  platform.app.RunMessageLoop();
  setup.FormDestroy();
  return setup.exit_code();
}

}  // namespace scrsetup
