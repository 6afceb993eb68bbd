#include "install/settings_key.h"

namespace scrsetup {
namespace {

std::string SettingsKey(const std::string& title) { return "Software\\Lumivane\\" + title; }

constexpr char kFileNameValue[] = "FileName_";

}  // namespace

std::optional<std::string> ReadRememberedFileName(Registry& registry, const std::string& title) {
  std::unique_ptr<RegistryKey> key = registry.Open(RegistryRoot::kCurrentUser, SettingsKey(title));
  if (!key) return std::string();
  std::string path;
  switch (key->ReadString(kFileNameValue, &path)) {
    case ValueRead::kString:
      return path;
    case ValueRead::kMissing:
      return std::string();
    case ValueRead::kWrongType:
      break;
  }
  return std::nullopt;
}

bool WriteRememberedFileName(Registry& registry, const std::string& title, const std::string& path) {
  std::unique_ptr<RegistryKey> key = registry.Create(RegistryRoot::kCurrentUser, SettingsKey(title));
  return !key || key->WriteString(kFileNameValue, path);
}

void PurgeSettings(Registry& registry, const std::string& title) {
  std::unique_ptr<RegistryKey> key = registry.Create(RegistryRoot::kCurrentUser, SettingsKey(title));
  if (!key) return;
  for (const std::string& name : key->ValueNames()) {
    if (name != "StartID") (void)key->DeleteValue(name);
  }
  (void)registry.DeleteTree(RegistryRoot::kCurrentUser, SettingsKey(title) + "\\PlayList");
}

}  // namespace scrsetup
