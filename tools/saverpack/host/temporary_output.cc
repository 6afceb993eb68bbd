#include "saverpack/host/temporary_output.h"

#include <cerrno>
#include <utility>

namespace saverpack {
namespace {

// Temporary names tried beside the destination: .part0 to .part99.
constexpr int kTemporaryNameAttempts = 100;

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

}  // namespace

TemporaryOutput::TemporaryOutput(std::string destination, std::string label)
    : destination_(std::move(destination)), label_(std::move(label)) {}

TemporaryOutput::~TemporaryOutput() {
  if (file_) {
    file_.reset();
    RemoveFile(name_);
  }
}

std::optional<Failure> TemporaryOutput::Create() {
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    name_ = destination_ + ".part" + std::to_string(attempt);
    file_ = CreateNewFile(name_);
    if (file_) return std::nullopt;
    if (errno != EEXIST) break;
  }
  return Failure{kExitBadInput,
                 label_ + ": cannot create " + Quoted(name_) + ": " + SystemErrorText()};
}

std::string TemporaryOutput::WriteFailure() const {
  return label_ + ": writing " + Quoted(name_) + " failed: " + SystemErrorText();
}

std::optional<Failure> TemporaryOutput::Close() {
  errno = 0;
  if (closed_) return std::nullopt;
  closed_ = true;
  if (!file_->Close()) return Failure{kExitBadInput, WriteFailure()};
  return std::nullopt;
}

std::optional<Failure> TemporaryOutput::Commit() {
  if (auto failure = Close()) return failure;
  if (!MoveFileReplacing(name_, destination_)) {
    return Failure{kExitBadInput, label_ + ": cannot replace it with " + Quoted(name_) + ": " +
                                      SystemErrorText()};
  }
  file_.reset();
  return std::nullopt;
}

}  // namespace saverpack
