#include "platform/win32/win32_registry.h"

#include <windows.h>

#include "platform/win32/scoped_handle.h"

namespace scrsetup::win32 {
namespace {

HKEY RootKey(RegistryRoot root) {
  return root == RegistryRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

class Win32Key : public RegistryKey {
 public:
  explicit Win32Key(HKEY key) : key_(key) {}

  ValueRead ReadString(const std::string& name, std::string* value) override {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      return ValueRead::kMissing;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ValueRead::kWrongType;
    std::string data(size, '\0');
    if (size > 0 && RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
      return ValueRead::kMissing;
    }
    data.resize(size);
    *value = data.substr(0, data.find('\0'));
    return ValueRead::kString;
  }

  bool WriteString(const std::string& name, const std::string& value) override {
    return RegSetValueExA(key_.get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  }

  bool WriteDword(const std::string& name, uint32_t value) override {
    DWORD data = value;
    return RegSetValueExA(key_.get(), name.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof(data)) == ERROR_SUCCESS;
  }

  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    char name[16384];
    for (DWORD index = 0;; ++index) {
      DWORD length = sizeof(name);
      if (RegEnumValueA(key_.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      names.emplace_back(name, length);
    }
    return names;
  }

  bool DeleteValue(const std::string& name) override {
    return RegDeleteValueA(key_.get(), name.c_str()) == ERROR_SUCCESS;
  }

 private:
  ScopedKey key_;
};

// Deletes `path` below `parent` with all its subkeys, depth-first.
bool DeleteKeyTree(HKEY parent, const std::string& path) {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &raw) != ERROR_SUCCESS) return false;
  {
    ScopedKey key(raw);
    char name[256];
    for (;;) {
      DWORD length = sizeof(name);
      if (RegEnumKeyExA(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
              ERROR_SUCCESS ||
          !DeleteKeyTree(key.get(), std::string(name, length))) {
        break;
      }
    }
  }
  return RegDeleteKeyA(parent, path.c_str()) == ERROR_SUCCESS;
}

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::Open(RegistryRoot root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<Win32Key>(key);
}

std::unique_ptr<RegistryKey> Win32Registry::Create(RegistryRoot root, const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<Win32Key>(key);
}

bool Win32Registry::DeleteTree(RegistryRoot root, const std::string& path) {
  return DeleteKeyTree(RootKey(root), path);
}

}  // namespace scrsetup::win32
