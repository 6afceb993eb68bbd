// The system registry, as far as the installer uses it: string and DWORD
// values under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
//
// Key paths are given from the root without a leading "\", for example
// "Software\Lumivane\Aurora". Keys are opened with full access.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace scrsetup {

enum class RegistryRoot { kLocalMachine, kCurrentUser };

enum class ValueRead {
  kString,     // a REG_SZ or REG_EXPAND_SZ value, cut at its first NUL
  kMissing,    // no value of that name
  kWrongType,  // a value of that name that is not a string
};

// An open key. Closed when the object is destroyed.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  [[nodiscard]] virtual ValueRead ReadString(const std::string& name, std::string* value) = 0;
  [[nodiscard]] virtual bool WriteString(const std::string& name, const std::string& value) = 0;
  [[nodiscard]] virtual bool WriteDword(const std::string& name, uint32_t value) = 0;
  // Names of all values, in the order the system lists them.
  virtual std::vector<std::string> ValueNames() = 0;
  [[nodiscard]] virtual bool DeleteValue(const std::string& name) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens an existing key; nullptr when it is missing or access is refused.
  [[nodiscard]]
  virtual std::unique_ptr<RegistryKey> Open(RegistryRoot root, const std::string& path) = 0;
  // Opens a key, creating it (non-volatile) with any missing parents; nullptr on failure.
  [[nodiscard]]
  virtual std::unique_ptr<RegistryKey> Create(RegistryRoot root, const std::string& path) = 0;
  // Deletes a key with all its subkeys, depth-first; false when it could not.
  [[nodiscard]] virtual bool DeleteTree(RegistryRoot root, const std::string& path) = 0;
};

}  // namespace scrsetup
