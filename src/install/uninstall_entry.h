// The system's uninstall entry for an installed screensaver: the key
// Software\Microsoft\Windows\CurrentVersion\Uninstall\<Title>, under
// HKEY_LOCAL_MACHINE for an installation for every user and under
// HKEY_CURRENT_USER for one for this user alone.
#pragma once

#include <cstdint>
#include <optional>
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
  std::string web_address;  // "URLInfoAbout", written only when set
};

// Writes "DisplayName" = title, "UninstallString" = the uninstaller's path
// in double quotes and "QuietUninstallString" = the same followed by
// " -quiet", then the details ("DisplayIcon", "InstallLocation",
// "EstimatedSize", "NoModify" and "NoRepair" = 1, and the facts and web
// address the package gives).
// A machine-scope package's entry goes under HKEY_LOCAL_MACHINE, unless
// that refuses it (the key cannot be created or its name written): then,
// as a user-scope package's always, under HKEY_CURRENT_USER.
// Best-effort: otherwise the first failed write ends it silently.
void WriteUninstallEntry(Registry& registry, InstallScope scope, const std::string& title,
                         const std::string& uninstaller_path,
                         const UninstallEntryDetails& details);

// The uninstaller named by the UninstallString of the entry of `title`
// under `root`: the text between its leading pair of double quotes, or the
// whole value when it does not start with one. nullopt when there is no
// such entry or value.
[[nodiscard]] std::optional<std::string> EntryUninstaller(Registry& registry, RegistryRoot root,
                                                          const std::string& title);

// Deletes the entry's key under `root` with everything under it; failures
// are ignored.
void RemoveUninstallEntry(Registry& registry, RegistryRoot root, const std::string& title);

}  // namespace scrsetup
