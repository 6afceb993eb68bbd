// Files and folders of the machine the installer runs on.
//
// Paths are 8-bit Windows paths in the system's ANSI code page, with "\"
// separators. Every operation reports failure through its result and never
// throws; the caller decides what a failure means.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace scrsetup {

// What other openers may do while a file is open for reading.
enum class ShareMode {
  kReadWrite,  // others may read and write (the loader's own-file open)
  kRead,       // others may read but not write (the installer's copy source)
};

// An open file. Closed when the object is destroyed.
class File {
 public:
  virtual ~File() = default;
  // Length in bytes, or -1 when it cannot be had.
  [[nodiscard]] virtual int64_t Size() = 0;
  // Current position, or -1.
  [[nodiscard]] virtual int64_t Position() = 0;
  // Moves to an absolute position; false when the system refuses.
  [[nodiscard]] virtual bool Seek(int64_t offset) = 0;
  // Reads up to `count` bytes; the number read (0 at the end), or -1 on error.
  [[nodiscard]] virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes `count` bytes; the number the file accepted, or -1 on error.
  [[nodiscard]] virtual int64_t Write(const void* data, int64_t count) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Opens an existing file read-only; nullptr on failure.
  [[nodiscard]]
  virtual std::unique_ptr<File> OpenForReading(const std::string& path, ShareMode share) = 0;
  // Opens an existing file for reading and writing without sharing; nullptr on failure.
  [[nodiscard]] virtual std::unique_ptr<File> OpenForUpdate(const std::string& path) = 0;
  // Creates a file for writing, truncating an existing one, shared with nobody.
  [[nodiscard]] virtual std::unique_ptr<File> CreateForWriting(const std::string& path) = 0;
  // Creates a new file for writing, shared with nobody; nullptr when a file
  // of that name exists already or it cannot be created.
  [[nodiscard]] virtual std::unique_ptr<File> CreateNew(const std::string& path) = 0;
  // Renames the closed file `from` to `to` on the same volume, replacing an
  // existing `to` in one step; false when the system refuses (`to` in use
  // or read-only, no right to write), leaving both as they were.
  [[nodiscard]] virtual bool MoveReplacing(const std::string& from, const std::string& to) = 0;

  // True when `path` names an existing file (not a folder).
  [[nodiscard]] virtual bool FileExists(const std::string& path) = 0;
  // True when `path` names an existing folder.
  [[nodiscard]] virtual bool FolderExists(const std::string& path) = 0;
  // Whether this user may create a file in the existing folder `folder`:
  // asked of the system by creating a file of a new name there and deleting
  // it again.
  [[nodiscard]] virtual bool CanCreateIn(const std::string& folder) = 0;
  // Creates one folder whose parent exists.
  [[nodiscard]] virtual bool MakeFolder(const std::string& path) = 0;
  // Removes a folder; fails unless it is empty.
  [[nodiscard]] virtual bool RemoveEmptyFolder(const std::string& path) = 0;
  [[nodiscard]] virtual bool RemoveFile(const std::string& path) = 0;
  // Copies a file, replacing the destination when it exists.
  [[nodiscard]] virtual bool CopyFileReplacing(const std::string& from, const std::string& to) = 0;
  // Asks the system to delete `path` at the next restart.
  [[nodiscard]] virtual bool DeleteAtRestart(const std::string& path) = 0;

  // The temporary folder, ending with "\".
  virtual std::string TempFolder() = 0;
  // The Windows folder as the system reports it (normally without trailing "\").
  virtual std::string WindowsFolder() = 0;
  // The full-path expansion of a possibly relative path; `path` itself on failure.
  virtual std::string FullPath(const std::string& path) = 0;
  // The short (8.3) form of an existing path; `path` itself on failure.
  virtual std::string ShortPath(const std::string& path) = 0;
  // The long form of an existing path (every 8.3 part spelled out); `path`
  // itself on failure, as for a path that does not exist.
  virtual std::string LongPath(const std::string& path) = 0;
  // Full path of the running program's own file.
  virtual std::string ProgramPath() = 0;
};

}  // namespace scrsetup
