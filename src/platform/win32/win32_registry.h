// The registry through the Win32 API (ANSI calls, full access).
#pragma once

#include "platform/registry.h"

namespace scrsetup::win32 {

class Win32Registry : public Registry {
 public:
  std::unique_ptr<RegistryKey> Open(RegistryRoot root, const std::string& path) override;
  std::unique_ptr<RegistryKey> Create(RegistryRoot root, const std::string& path) override;
  bool DeleteTree(RegistryRoot root, const std::string& path) override;
};

}  // namespace scrsetup::win32
