#define _FILE_OFFSET_BITS 64

#include "saverpack/host/host_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>

#include "saverpack/host/wide_text_win32.h"
#else
#include <unistd.h>
#endif

namespace saverpack {
namespace {

// One fread/fwrite moves at most this much, so a count always fits size_t.
constexpr int64_t kMaxTransfer = 1 << 30;

#ifdef _WIN32
int SeekTo(std::FILE* stream, int64_t offset, int origin) {
  return _fseeki64(stream, offset, origin);
}
int64_t Tell(std::FILE* stream) { return _ftelli64(stream); }
// 0 for a regular file, otherwise the errno that says why it cannot be read as one.
int NotRegularError(std::FILE* stream) {
  struct _stat64 status;
  if (_fstat64(_fileno(stream), &status) != 0) return errno;
  if ((status.st_mode & _S_IFMT) == _S_IFREG) return 0;
  return (status.st_mode & _S_IFMT) == _S_IFDIR ? EISDIR : EINVAL;
}
// Paths are UTF-8 inside the tool; the wide functions take any character.
std::FILE* OpenStreamForReading(const std::string& path) {
  return _wfopen(WideFromUtf8(path).c_str(), L"rb");
}
int OpenNewDescriptor(const std::string& path) {
  return _wopen(WideFromUtf8(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                _S_IREAD | _S_IWRITE);
}
bool Remove(const std::string& path) { return _wremove(WideFromUtf8(path).c_str()) == 0; }
std::FILE* StreamForDescriptor(int descriptor) { return _fdopen(descriptor, "wb"); }
void CloseDescriptor(int descriptor) { _close(descriptor); }

// errno for the Win32 errors a replacing move commonly ends in.
int ErrnoFor(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    case ERROR_DISK_FULL:
      return ENOSPC;
    default:
      return EIO;
  }
}
bool MoveReplacing(const std::string& from, const std::string& to) {
  if (MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
                  MOVEFILE_REPLACE_EXISTING)) {
    return true;
  }
  errno = ErrnoFor(GetLastError());
  return false;
}
#else
int SeekTo(std::FILE* stream, int64_t offset, int origin) {
  return fseeko(stream, static_cast<off_t>(offset), origin);
}
int64_t Tell(std::FILE* stream) { return ftello(stream); }
int NotRegularError(std::FILE* stream) {
  struct stat status;
  if (fstat(fileno(stream), &status) != 0) return errno;
  if (S_ISREG(status.st_mode)) return 0;
  return S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
}
std::FILE* OpenStreamForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }
int OpenNewDescriptor(const std::string& path) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
bool MoveReplacing(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}
bool Remove(const std::string& path) { return std::remove(path.c_str()) == 0; }
std::FILE* StreamForDescriptor(int descriptor) { return fdopen(descriptor, "wb"); }
void CloseDescriptor(int descriptor) { close(descriptor); }
#endif

}  // namespace

StdioFile::~StdioFile() {
  if (stream_ != nullptr) std::fclose(stream_);
}

int64_t StdioFile::Size() {
  if (stream_ == nullptr) return -1;
  int64_t position = Tell(stream_);
  if (position < 0 || SeekTo(stream_, 0, SEEK_END) != 0) return -1;
  int64_t size = Tell(stream_);
  if (SeekTo(stream_, position, SEEK_SET) != 0) return -1;
  return size;
}

int64_t StdioFile::Position() { return stream_ != nullptr ? Tell(stream_) : -1; }

bool StdioFile::Seek(int64_t offset) {
  return stream_ != nullptr && offset >= 0 && SeekTo(stream_, offset, SEEK_SET) == 0;
}

int64_t StdioFile::Read(void* buffer, int64_t count) {
  if (stream_ == nullptr || count < 0) return -1;
  size_t want = static_cast<size_t>(count < kMaxTransfer ? count : kMaxTransfer);
  size_t got = std::fread(buffer, 1, want, stream_);
  if (got < want && std::ferror(stream_)) return -1;
  return static_cast<int64_t>(got);
}

int64_t StdioFile::Write(const void* data, int64_t count) {
  if (stream_ == nullptr || count < 0) return -1;
  size_t want = static_cast<size_t>(count < kMaxTransfer ? count : kMaxTransfer);
  size_t done = std::fwrite(data, 1, want, stream_);
  if (done == 0 && want > 0) return -1;
  return static_cast<int64_t>(done);
}

bool StdioFile::Flush() { return stream_ != nullptr && std::fflush(stream_) == 0; }

bool StdioFile::Close() {
  if (stream_ == nullptr) return false;
  bool written = std::fclose(stream_) == 0;
  stream_ = nullptr;
  return written;
}

std::unique_ptr<StdioFile> OpenForReading(const std::string& path) {
  std::FILE* stream = OpenStreamForReading(path);
  if (stream == nullptr) return nullptr;
  auto file = std::make_unique<StdioFile>(stream);
  if (int error = NotRegularError(stream); error != 0) {
    file.reset();
    errno = error;
    return nullptr;
  }
  return file;
}

std::unique_ptr<StdioFile> CreateNewFile(const std::string& path) {
  int descriptor = OpenNewDescriptor(path);
  if (descriptor < 0) return nullptr;
  std::FILE* stream = StreamForDescriptor(descriptor);
  if (stream == nullptr) {
    int error = errno;
    CloseDescriptor(descriptor);
    RemoveFile(path);
    errno = error;
    return nullptr;
  }
  return std::make_unique<StdioFile>(stream);
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
  return MoveReplacing(from, to);
}

bool RemoveFile(const std::string& path) { return Remove(path); }

std::string SystemErrorText() { return std::strerror(errno); }

}  // namespace saverpack
