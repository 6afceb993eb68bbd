// The system's uninstall entry for an installed screensaver, under
// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\<Title>.
#pragma once

#include <cstdint>
#include <string>

#include "package/check_block.h"
#include "platform/registry.h"

namespace scrsetup {

// What the list of programs shows besides the name and the uninstaller.
struct UninstallEntryDetails {
  std::string display_icon;      // the installed screensaver
  std::string install_location;  // the installation folder
  uint32_t estimated_size_kb = 0;
  // "DisplayVersion", "Publisher" and "HelpLink", from the package's check
  // block; each written only when the package gives it.
  PackageFacts facts;
};

// Writes "DisplayName" = title and "UninstallString" = the uninstaller's
// path in double quotes, then the details ("DisplayIcon",
// "InstallLocation", "EstimatedSize", "NoModify" and "NoRepair" = 1, and
// the facts the package gives).
// Best-effort: the first failed write ends it silently.
void WriteUninstallEntry(Registry& registry, const std::string& title,
                         const std::string& uninstaller_path,
                         const UninstallEntryDetails& details);

// Deletes the entry's key with everything under it; failures are ignored.
void RemoveUninstallEntry(Registry& registry, const std::string& title);

}  // namespace scrsetup
