// The installer's entry point on Windows: restricts where DLLs come from,
// builds the Win32 platform and hands the command line to the portable
// program.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system_info.h"
#include "entry/program.h"

namespace {

// Every DLL loaded from here on comes from the system folder, never from the
// folder the program was started from (a downloads folder, the temporary
// folder), where a planted DLL would run with the installer's rights. Both
// calls are looked up, so systems that lack them still start.
void LoadDllsFromTheSystemFolderOnly() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return;
  using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryCall = BOOL(WINAPI*)(LPCSTR);
  auto set_default = reinterpret_cast<SetDefaultDllDirectoriesCall>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  auto set_directory = reinterpret_cast<SetDllDirectoryCall>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
  if (set_default) set_default(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // The empty text also takes the current folder out of the search order.
  if (set_directory) set_directory("");
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  LoadDllsFromTheSystemFolderOnly();
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
