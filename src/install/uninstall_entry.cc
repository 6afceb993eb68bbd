#include "install/uninstall_entry.h"

namespace scrsetup {
namespace {

std::string EntryKey(const std::string& title) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + title;
}

// Writes the entry under `root`; false when the root refuses it (the key
// cannot be created or its first value written).
bool WriteEntryUnder(Registry& registry, RegistryRoot root, const std::string& title,
                     const std::string& uninstaller_path, const UninstallEntryDetails& details) {
  std::unique_ptr<RegistryKey> key = registry.Create(root, EntryKey(title));
  if (!key || !key->WriteString("DisplayName", title)) return false;
  // Each write runs only while the ones before it succeeded.
  const auto write_text = [&](const char* name, const std::string& value) {
    return value.empty() || key->WriteString(name, value);
  };
  const std::string command = "\"" + uninstaller_path + "\"";
  (void)(key->WriteString("UninstallString", command) &&
         key->WriteString("QuietUninstallString", command + " -quiet") &&
         key->WriteString("DisplayIcon", details.display_icon) &&
         key->WriteString("InstallLocation", details.install_location) &&
         key->WriteDword("EstimatedSize", details.estimated_size_kb) &&
         key->WriteDword("NoModify", 1) && key->WriteDword("NoRepair", 1) &&
         write_text("DisplayVersion", details.facts.display_version) &&
         write_text("Publisher", details.facts.publisher) &&
         write_text("HelpLink", details.facts.help_link) &&
         write_text("URLInfoAbout", details.web_address));
  return true;
}

}  // namespace

void WriteUninstallEntry(Registry& registry, InstallScope scope, const std::string& title,
                         const std::string& uninstaller_path,
                         const UninstallEntryDetails& details) {
  if (scope == InstallScope::kMachine &&
      WriteEntryUnder(registry, RegistryRoot::kLocalMachine, title, uninstaller_path, details)) {
    return;
  }
  (void)WriteEntryUnder(registry, RegistryRoot::kCurrentUser, title, uninstaller_path, details);
}

std::optional<std::string> EntryUninstaller(Registry& registry, RegistryRoot root,
                                            const std::string& title) {
  std::unique_ptr<RegistryKey> key = registry.Open(root, EntryKey(title));
  std::string command;
  if (!key || key->ReadString("UninstallString", &command) != ValueRead::kString) {
    return std::nullopt;
  }
  if (command.empty() || command.front() != '"') return command;
  const size_t close = command.find('"', 1);
  return command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
}

void RemoveUninstallEntry(Registry& registry, RegistryRoot root, const std::string& title) {
  (void)registry.DeleteTree(root, EntryKey(title));
}

}  // namespace scrsetup
