// Whether a record fits the file it was read from: its block sizes agree
// with each other, and the blocks and, in a setup package, the payload lie
// inside [0, PackageEnd). One answer, given as named problems, serves the
// installer (which refuses a record with any) and the authoring tool's
// inspection (which lists them).
#pragma once

#include <cstdint>

#include "package/package_reader.h"
#include "package/setup_record.h"

namespace scrsetup {

enum class RecordProblem : uint8_t {
  // ExtrasSize is not ReadmeSize + LicenseSize + LanguageSize (in 64 bits).
  kExtrasSizeNotTheSum,
  // ReadmeSize, LicenseSize or LanguageSize is below 0.
  kNegativeBlockSize,
  // ExtrasSize is below 0, or the blocks would begin before offset 0.
  kBlocksOutsideFile,
  // A setup package only (an uninstaller's PayloadSize is stale and nothing
  // reads it): PayloadSize places the Stub's end before offset 0, or the
  // payload length is below 0 or beyond what its 32-bit computation holds.
  kPayloadOutsideFile,
};

// A set of RecordProblem values.
class RecordProblems {
 public:
  bool None() const { return bits_ == 0; }
  bool Has(RecordProblem problem) const { return (bits_ & Bit(problem)) != 0; }
  void Add(RecordProblem problem) { bits_ = static_cast<uint8_t>(bits_ | Bit(problem)); }

 private:
  static uint8_t Bit(RecordProblem problem) {
    return static_cast<uint8_t>(1u << static_cast<unsigned>(problem));
  }
  uint8_t bits_ = 0;
};

// Each way `record` does not fit the package of `kind` that ends at
// `package_end`. None of them means every part of the package lies inside
// [0, package_end) where the record places it. The record's own signature
// is not looked at.
[[nodiscard]] RecordProblems FindRecordProblems(const SetupRecord& record, int64_t package_end,
                                                PackageKind kind);

}  // namespace scrsetup
