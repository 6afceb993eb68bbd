// The host's files for the authoring tool, through <cstdio>: the core's File
// interface over a FILE* with 64-bit offsets, and the few whole-file
// operations a build needs. host_file.cc holds both hosts' ways: on Windows
// the wide file functions, 64-bit seeks and MoveFileExW (_wfopen, _wopen,
// _fseeki64, _fstat64), on Linux fopen, open, fseeko, fstat and rename.
// The tool's other host-specific parts are host_program_*.cc (arguments,
// console, own path) and text/code_page_*.cc (the code page converter).
//
// Paths are UTF-8 (on Windows they go to the wide file functions). Failures
// set errno; SystemErrorText() turns it into words for a message.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace saverpack {

class StdioFile : public scrsetup::File {
 public:
  explicit StdioFile(std::FILE* stream) : stream_(stream) {}
  ~StdioFile() override;
  StdioFile(const StdioFile&) = delete;
  StdioFile& operator=(const StdioFile&) = delete;

  int64_t Size() override;
  int64_t Position() override;
  bool Seek(int64_t offset) override;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* data, int64_t count) override;

  // Writes out buffered data; false when that fails.
  bool Flush();

  // Writes out buffered data and closes the file; false when either fails
  // (a full disk often shows only here). Later calls fail.
  bool Close();

 private:
  std::FILE* stream_;
};

// Opens an existing regular file for reading; nullptr when it cannot be
// opened or is not a regular file (errno EISDIR for a folder, EINVAL for a
// device or pipe).
std::unique_ptr<StdioFile> OpenForReading(const std::string& path);

// Creates a new file for writing; nullptr when it cannot be created, also
// when `path` already exists (errno EEXIST), so nothing is ever overwritten.
std::unique_ptr<StdioFile> CreateNewFile(const std::string& path);

// Moves file `from` to `to`, replacing an existing `to` in one step.
bool MoveFileReplacing(const std::string& from, const std::string& to);

bool RemoveFile(const std::string& path);

// The system's description of errno, e.g. "No such file or directory".
std::string SystemErrorText();

}  // namespace saverpack
