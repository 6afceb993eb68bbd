// The shell through the Win32 API: ShellExecuteA, special folders, shell
// links (IShellLinkA with IPersistFile) and SHBrowseForFolderA.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/shell.h"

namespace scrsetup::win32 {

class Win32Shell : public Shell {
 public:
  // `wizard_window` gives the wizard's window handle (null before it exists).
  explicit Win32Shell(std::function<HWND()> wizard_window);
  ~Win32Shell() override;
  Win32Shell(const Win32Shell&) = delete;
  Win32Shell& operator=(const Win32Shell&) = delete;

  void Execute(const std::string& verb, const std::string& file, const std::string& parameters,
               ShowCommand show, ShellOwner owner) override;
  std::optional<std::string> SpecialFolderPath(SpecialFolder folder) override;
  std::string UserProgramFilesPath() override;
  bool WriteShortcut(const std::string& link_path, const std::string& target) override;
  std::optional<std::string> BrowseForFolder(const std::string& folder,
                                             const std::string& text) override;

 private:
  std::function<HWND()> wizard_window_;
  bool com_initialised_ = false;  // by the first WriteShortcut, undone on destruction
};

}  // namespace scrsetup::win32
