#include "entry/program.h"

#include "wizard/tscr_setup.h"
#include "uninstall/deferred_deletion.h"
#include "uninstall/finish_uninstall.h"

namespace scrsetup {

RunFlags ReadRunFlags(const CommandLine& arguments) {
  RunFlags flags;
  flags.QuietMode = arguments.HasSwitch("-quiet");
  if (flags.QuietMode || arguments.HasSwitch("-silent")) {
    flags.SilentMode = true;
    flags.SilentFolder = arguments.Arg(2);
  }
  if (arguments.HasSwitch("-previewonly")) flags.PreviewOnlyMode = true;
  return flags;
}

int RunProgram(Platform& platform, std::string_view command_line) {
  const CommandLine arguments(command_line);
  if (std::optional<DeferredDeletion> deletion = DecodeDeferredDeletion(arguments.Arguments())) {
    FinishUninstall(platform, *deletion);
    return kExitOk;
  }
  const RunFlags flags = ReadRunFlags(arguments);
  platform.app.SetTitle(kApplicationTitle);
  if (flags.SilentMode) platform.app.SetShowMainWindow(false);

  TSCRSetup setup(platform, flags);
  setup.FormCreate();
  platform.app.RunMessageLoop();
  setup.FormDestroy();
  return setup.exit_code();
}

}  // namespace scrsetup
