#include "uninstall/finish_uninstall.h"

namespace scrsetup {

void FinishUninstall(Platform&, const CommandLine&) {}

}  // namespace scrsetup
