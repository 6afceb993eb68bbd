#include "install/failure_report.h"

namespace scrsetup {

void ReportFailure(const RunContext& context, const std::string& text, const std::string& caption) {
  Platform& platform = context.platform;
  if (context.flags.SilentMode) {
    platform.app.Terminate();
  } else {
    platform.dialogs.ShowMessage(text, caption, MessageButtons::kOk, MessageIcon::kError);
  }
}

}  // namespace scrsetup
