#include "uninstall/finish_uninstall.h"

namespace scrsetup {

void FinishUninstall(Platform& platform, const DeferredDeletion& request) {
  FileSystem& files = platform.files;
  const std::string& target = request.file;
  const uint64_t started = platform.system.TickCount();
  for (;;) {
    (void)files.RemoveFile(target);  // whether it is gone is checked next
    if (!files.FileExists(target)) break;
    if (platform.system.TickCount() - started >= kDeleteRetryLimitMs) {
      (void)files.DeleteAtRestart(target);
      break;
    }
    platform.system.Sleep(kDeleteRetryPauseMs);
  }
  (void)files.DeleteAtRestart(files.ProgramPath());
  if (request.show_message) {
    platform.dialogs.ShowMessage(request.text, request.caption, MessageButtons::kOk,
                                 MessageIcon::kInformation);
  }
}

}  // namespace scrsetup
