// Files and folders through the Win32 API (ANSI calls).
#pragma once

#include "platform/file_system.h"

namespace scrsetup::win32 {

class Win32FileSystem : public FileSystem {
 public:
  std::unique_ptr<File> OpenForReading(const std::string& path, ShareMode share) override;
  std::unique_ptr<File> OpenForUpdate(const std::string& path) override;
  std::unique_ptr<File> CreateForWriting(const std::string& path) override;
  std::unique_ptr<File> CreateNew(const std::string& path) override;
  bool MoveReplacing(const std::string& from, const std::string& to) override;
  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  bool CanCreateIn(const std::string& folder) override;
  bool MakeFolder(const std::string& path) override;
  bool RemoveEmptyFolder(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool CopyFileReplacing(const std::string& from, const std::string& to) override;
  bool DeleteAtRestart(const std::string& path) override;
  std::string TempFolder() override;
  std::string WindowsFolder() override;
  std::string FullPath(const std::string& path) override;
  std::string ShortPath(const std::string& path) override;
  std::string LongPath(const std::string& path) override;
  std::string ProgramPath() override;
};

}  // namespace scrsetup::win32
