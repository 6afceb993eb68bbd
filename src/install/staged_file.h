// A file written under a temporary name beside its final name and moved
// over it only once complete: nobody sees it half-written, and an earlier
// file of the final name stays whole until the move replaces it in one
// step. Two installations writing the same final name at once each get a
// temporary of their own.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace scrsetup {

class StagedFile {
 public:
  StagedFile(FileSystem& files, std::string final_path);
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;
  // Removes the temporary file unless it was committed.
  ~StagedFile();

  // Creates the temporary file: the final path followed by ".~N", with the
  // first N from 0 to 99 that names no file. False when none can be made.
  [[nodiscard]] bool Create();
  // The open temporary file; only between a successful Create and Commit.
  File& file() { return *file_; }
  const std::string& final_path() const { return final_path_; }
  // Closes the temporary file and moves it over the final name. False when
  // the move fails; the temporary is then removed with the object.
  [[nodiscard]] bool Commit();

 private:
  FileSystem& files_;
  std::string final_path_;
  std::string temporary_path_;
  std::unique_ptr<File> file_;
  bool committed_ = false;
};

}  // namespace scrsetup
