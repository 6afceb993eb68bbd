// The platform seam: everything the installer needs from the machine it runs
// on. The core holds all decisions and reaches the machine only through
// these interfaces; src/platform/win32 implements them for Windows, and
// tests/fake holds an in-memory Windows machine for the native tests.
#pragma once

#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system_info.h"

namespace scrsetup {

struct Platform {
  FileSystem& files;
  Registry& registry;
  Shell& shell;
  Dialogs& dialogs;
  SystemInfo& system;
  Application& app;
};

}  // namespace scrsetup
