// A file written under a temporary name beside its destination and moved
// over the destination only once complete, so a failure leaves no
// temporary file and the destination as it was.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "saverpack/host/failure.h"
#include "saverpack/host/host_file.h"

namespace saverpack {

class TemporaryOutput {
 public:
  // `label` names the destination in messages, e.g. "-o 'out.exe'".
  TemporaryOutput(std::string destination, std::string label);
  TemporaryOutput(const TemporaryOutput&) = delete;
  TemporaryOutput& operator=(const TemporaryOutput&) = delete;
  // Removes the temporary file unless Commit() succeeded.
  ~TemporaryOutput();

  // Creates DESTINATION.part0 (or the first of .part1 to .part99 that does
  // not exist yet).
  std::optional<Failure> Create();

  StdioFile& file() { return *file_; }
  // The temporary file's path.
  const std::string& path() const { return name_; }

  // Closes the file before Commit, so that another program may change it.
  std::optional<Failure> Close();

  // The message for a failed write, with the system's reason.
  std::string WriteFailure() const;

  // Closes the file and moves it over the destination. The destination
  // must not be open: Windows cannot replace a file that is.
  std::optional<Failure> Commit();

 private:
  std::string destination_;
  std::string label_;
  std::string name_;
  std::unique_ptr<StdioFile> file_;
  bool closed_ = false;
};

}  // namespace saverpack
