// Owners for Win32 handles: each closes its handle when it goes.
#pragma once

#include <windows.h>

#include <utility>

namespace scrsetup::win32 {

// Owns a handle described by `Traits` (its type, the value that holds none,
// and how to close it).
template <typename Traits>
class Scoped {
 public:
  using Handle = typename Traits::Handle;
  Scoped() = default;
  explicit Scoped(Handle handle) : handle_(handle) {}
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;
  Scoped(Scoped&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
  ~Scoped() {
    if (valid()) Traits::Close(handle_);
  }
  Handle get() const { return handle_; }
  bool valid() const { return handle_ != Traits::Invalid(); }

 private:
  Handle handle_ = Traits::Invalid();
};

struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { CloseHandle(handle); }
};

struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle key) { RegCloseKey(key); }
};

using ScopedFileHandle = Scoped<FileHandleTraits>;
using ScopedKey = Scoped<RegistryKeyTraits>;

}  // namespace scrsetup::win32
