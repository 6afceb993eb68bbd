// The installer's entry point on Windows: builds the Win32 platform and hands
// the command line to the portable program.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system_info.h"
#include "setup/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace scrsetup;
  win32::Win32Application app(instance);
  auto main_window = [&app] { return app.MainWindow(); };
  win32::Win32FileSystem files;
  win32::Win32Registry registry;
  win32::Win32Shell shell(main_window);
  win32::Win32Dialogs dialogs(main_window);
  win32::Win32SystemInfo system;
  Platform platform{files, registry, shell, dialogs, system, app};
  return RunProgram(platform, GetCommandLineA());
}
