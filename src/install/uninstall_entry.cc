#include "install/uninstall_entry.h"

namespace scrsetup {
namespace {

std::string EntryKey(const std::string& title) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + title;
}

}  // namespace

void WriteUninstallEntry(Registry& registry, const std::string& title,
                         const std::string& uninstaller_path,
                         const UninstallEntryDetails& details) {
  std::unique_ptr<RegistryKey> key = registry.Create(RegistryRoot::kLocalMachine, EntryKey(title));
  if (!key) return;
  // Each write runs only while the ones before it succeeded.
  const auto write_fact = [&](const char* name, const std::string& value) {
    return value.empty() || key->WriteString(name, value);
  };
  (void)(key->WriteString("DisplayName", title) &&
         key->WriteString("UninstallString", "\"" + uninstaller_path + "\"") &&
         key->WriteString("DisplayIcon", details.display_icon) &&
         key->WriteString("InstallLocation", details.install_location) &&
         key->WriteDword("EstimatedSize", details.estimated_size_kb) &&
         key->WriteDword("NoModify", 1) && key->WriteDword("NoRepair", 1) &&
         write_fact("DisplayVersion", details.facts.display_version) &&
         write_fact("Publisher", details.facts.publisher) &&
         write_fact("HelpLink", details.facts.help_link));
}

void RemoveUninstallEntry(Registry& registry, const std::string& title) {
  (void)registry.DeleteTree(RegistryRoot::kLocalMachine, EntryKey(title));
}

}  // namespace scrsetup
