#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include "platform/win32/scoped_handle.h"

namespace scrsetup::win32 {
namespace {

class Win32File : public File {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}

  int64_t Size() override {
    LARGE_INTEGER size;
    return GetFileSizeEx(handle_.get(), &size) ? size.QuadPart : -1;
  }
  int64_t Position() override {
    LARGE_INTEGER zero{}, position;
    return SetFilePointerEx(handle_.get(), zero, &position, FILE_CURRENT) ? position.QuadPart : -1;
  }
  bool Seek(int64_t offset) override {
    LARGE_INTEGER target;
    target.QuadPart = offset;
    return offset >= 0 && SetFilePointerEx(handle_.get(), target, nullptr, FILE_BEGIN);
  }
  // A failure is -1 as a signed count: "? done : -1" would give the DWORD
  // 0xFFFFFFFF, which reads as four gigabytes transferred.
  int64_t Read(void* buffer, int64_t count) override {
    DWORD done = 0;
    DWORD want = static_cast<DWORD>(count > kMaxTransfer ? kMaxTransfer : count);
    if (!ReadFile(handle_.get(), buffer, want, &done, nullptr)) return -1;
    return done;
  }
  int64_t Write(const void* data, int64_t count) override {
    DWORD done = 0;
    DWORD want = static_cast<DWORD>(count > kMaxTransfer ? kMaxTransfer : count);
    if (!WriteFile(handle_.get(), data, want, &done, nullptr)) return -1;
    return done;
  }

 private:
  static constexpr int64_t kMaxTransfer = 1 << 30;
  ScopedFileHandle handle_;
};

std::unique_ptr<File> Open(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  HANDLE handle = CreateFileA(path.c_str(), access, share, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32File>(handle);
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// Calls `query(buffer, size)` for a text of up to MAX_PATH characters; the
// text, or `fallback` when the call fails or the text does not fit.
template <typename Query>
std::string QueryText(Query query, const std::string& fallback) {
  char buffer[MAX_PATH + 1];
  DWORD length = query(buffer, static_cast<DWORD>(sizeof(buffer)));
  if (length == 0 || length >= sizeof(buffer)) return fallback;
  return std::string(buffer, length);
}

}  // namespace

std::unique_ptr<File> Win32FileSystem::OpenForReading(const std::string& path, ShareMode share) {
  DWORD share_flags =
      share == ShareMode::kReadWrite ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
  return Open(path, GENERIC_READ, share_flags, OPEN_EXISTING);
}

std::unique_ptr<File> Win32FileSystem::OpenForUpdate(const std::string& path) {
  return Open(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
}

std::unique_ptr<File> Win32FileSystem::CreateForWriting(const std::string& path) {
  return Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
}

std::unique_ptr<File> Win32FileSystem::CreateNew(const std::string& path) {
  return Open(path, GENERIC_WRITE, 0, CREATE_NEW);
}

bool Win32FileSystem::MoveReplacing(const std::string& from, const std::string& to) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  // Windows 95, 98 and Me have no MoveFileExA: delete, then rename.
  if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
  if (!DeleteFileA(to.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
  return MoveFileA(from.c_str(), to.c_str());
}

bool Win32FileSystem::FileExists(const std::string& path) {
  DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::FolderExists(const std::string& path) {
  DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::CanCreateIn(const std::string& folder) {
  // A new file of a name no one else uses, gone again as it is closed.
  char name[32];
  wsprintfA(name, "\\~scr%lx%lx.tmp", GetCurrentProcessId(), GetTickCount());
  const ScopedFileHandle probe(CreateFileA((folder + name).c_str(), GENERIC_WRITE | DELETE, 0,
                                           nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                           nullptr));
  return probe.valid();
}

bool Win32FileSystem::MakeFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr);
}

bool Win32FileSystem::RemoveEmptyFolder(const std::string& path) {
  return RemoveDirectoryA(path.c_str());
}

bool Win32FileSystem::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()); }

bool Win32FileSystem::CopyFileReplacing(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE);
}

bool Win32FileSystem::DeleteAtRestart(const std::string& path) {
  return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

std::string Win32FileSystem::TempFolder() {
  return QueryText([](char* buffer, DWORD size) { return GetTempPathA(size, buffer); }, "");
}

std::string Win32FileSystem::WindowsFolder() {
  return QueryText(
      [](char* buffer, DWORD size) { return static_cast<DWORD>(GetWindowsDirectoryA(buffer, size)); },
      "");
}

std::string Win32FileSystem::FullPath(const std::string& path) {
  return QueryText(
      [&](char* buffer, DWORD size) { return GetFullPathNameA(path.c_str(), size, buffer, nullptr); },
      path);
}

std::string Win32FileSystem::ShortPath(const std::string& path) {
  return QueryText(
      [&](char* buffer, DWORD size) { return GetShortPathNameA(path.c_str(), buffer, size); }, path);
}

std::string Win32FileSystem::LongPath(const std::string& path) {
  return QueryText(
      [&](char* buffer, DWORD size) { return GetLongPathNameA(path.c_str(), buffer, size); }, path);
}

std::string Win32FileSystem::ProgramPath() {
  return QueryText(
      [](char* buffer, DWORD size) { return GetModuleFileNameA(nullptr, buffer, size); }, "");
}

}  // namespace scrsetup::win32
