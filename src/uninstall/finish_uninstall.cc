#include "uninstall/finish_uninstall.h"

namespace scrsetup {

void FinishUninstall(Platform& platform, const CommandLine& arguments) {
  FileSystem& files = platform.files;
  const std::string& target = arguments.Arg(2);
  const uint64_t started = platform.system.TickCount();
  for (;;) {
    files.RemoveFile(target);
    if (!files.FileExists(target)) break;
    if (platform.system.TickCount() - started >= kDeleteRetryLimitMs) {
      files.DeleteAtRestart(target);
      break;
    }
    platform.system.Sleep(kDeleteRetryPauseMs);
  }
  files.DeleteAtRestart(files.ProgramPath());
  if (arguments.Count() == 4) {
    platform.dialogs.ShowMessage(arguments.Arg(4), arguments.Arg(3), MessageButtons::kOk,
                                 MessageIcon::kInformation);
  }
}

}  // namespace scrsetup
