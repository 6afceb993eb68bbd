#include "install/staged_file.h"

#include <utility>

namespace scrsetup {
namespace {

constexpr int kTemporaryNames = 100;

}  // namespace

StagedFile::StagedFile(FileSystem& files, std::string final_path)
    : files_(files), final_path_(std::move(final_path)) {}

StagedFile::~StagedFile() {
  file_.reset();
  if (!committed_ && !temporary_path_.empty()) (void)files_.RemoveFile(temporary_path_);
}

bool StagedFile::Create() {
  for (int number = 0; number < kTemporaryNames; ++number) {
    std::string candidate = final_path_ + ".~" + std::to_string(number);
    if (files_.FileExists(candidate)) continue;
    file_ = files_.CreateNew(candidate);
    if (file_) {
      temporary_path_ = std::move(candidate);
      return true;
    }
    // Taken by another installation meanwhile, or no right to write here.
    if (!files_.FileExists(candidate)) return false;
  }
  return false;
}

bool StagedFile::Commit() {
  file_.reset();
  committed_ = files_.MoveReplacing(temporary_path_, final_path_);
  return committed_;
}

}  // namespace scrsetup
