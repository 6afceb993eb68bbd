#include "package/record_problems.h"

#include <limits>

namespace scrsetup {

RecordProblems FindRecordProblems(const SetupRecord& record, int64_t package_end,
                                  PackageKind kind) {
  RecordProblems problems;
  const int64_t block_sum = int64_t{record.ReadmeSize} + record.LicenseSize + record.LanguageSize;
  if (block_sum != record.ExtrasSize) problems.Add(RecordProblem::kExtrasSizeNotTheSum);
  if (record.ReadmeSize < 0 || record.LicenseSize < 0 || record.LanguageSize < 0) {
    problems.Add(RecordProblem::kNegativeBlockSize);
  }
  if (record.ExtrasSize < 0 || ExtrasStart(package_end, record) < 0) {
    problems.Add(RecordProblem::kBlocksOutsideFile);
  }
  if (kind == PackageKind::kSetup) {
    // Counted in 64 bits, so no size near the int32 limits wraps into a
    // valid-looking one; the copy takes the length in 32 bits (PayloadLength).
    const int64_t payload_length = int64_t{record.PayloadSize} - record.ExtrasSize - kTailSize;
    if (StubLength(package_end, record) < 0 || payload_length < 0 ||
        payload_length > std::numeric_limits<int32_t>::max()) {
      problems.Add(RecordProblem::kPayloadOutsideFile);
    }
  }
  return problems;
}

}  // namespace scrsetup
