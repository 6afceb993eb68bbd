#include "package/record_problems.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>

namespace scrsetup {
namespace {

using P = RecordProblem;
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr P kEvery[] = {P::kExtrasSizeNotTheSum, P::kNegativeBlockSize, P::kBlocksOutsideFile,
                        P::kPayloadOutsideFile};

// A 10,000-byte package: a 7,994-byte Stub, a 1,000-byte payload, blocks of
// 10, 20 and 30 bytes, the record and the end signature.
constexpr int64_t kPackageEnd = 10000;

struct Sizes {
  int32_t payload = 2006, extras = 60, readme = 10, license = 20, language = 30;
};

SetupRecord RecordWith(const Sizes& sizes) {
  SetupRecord record = EmptyRecord();
  record.PayloadSize = sizes.payload;
  record.ExtrasSize = sizes.extras;
  record.ReadmeSize = sizes.readme;
  record.LicenseSize = sizes.license;
  record.LanguageSize = sizes.language;
  return record;
}

TEST(RecordProblems, NamesEachWayARecordDoesNotFitItsFile) {
  struct Case {
    const char* name;
    Sizes sizes;
    PackageKind kind;
    std::initializer_list<P> expected;
  } cases[] = {
      {"sound", {}, PackageKind::kSetup, {}},
      {"empty screensaver", {.payload = 60 + 946}, PackageKind::kSetup, {}},
      {"empty Stub", {.payload = 10000}, PackageKind::kSetup, {}},
      {"no blocks", {.payload = 1946, .extras = 0, .readme = 0, .license = 0, .language = 0},
       PackageKind::kSetup, {}},
      {"uninstaller with a stale PayloadSize", {.payload = kMax}, PackageKind::kUninstaller, {}},
      {"ExtrasSize one too many", {.extras = 61}, PackageKind::kSetup, {P::kExtrasSizeNotTheSum}},
      {"negative block that adds up", {.extras = 40, .readme = -10}, PackageKind::kSetup,
       {P::kNegativeBlockSize}},
      {"sizes whose 32-bit sum wraps", {.extras = kMin, .readme = kMax, .license = 1, .language = 0},
       PackageKind::kSetup,
       {P::kExtrasSizeNotTheSum, P::kBlocksOutsideFile, P::kPayloadOutsideFile}},
      {"blocks beyond the file's start", {.extras = 9150, .readme = 9100}, PackageKind::kSetup,
       {P::kBlocksOutsideFile, P::kPayloadOutsideFile}},
      {"uninstaller, blocks beyond the file's start", {.extras = 9150, .readme = 9100},
       PackageKind::kUninstaller, {P::kBlocksOutsideFile}},
      {"PayloadSize past the file's start", {.payload = 10001}, PackageKind::kSetup,
       {P::kPayloadOutsideFile}},
      {"PayloadSize short of the blocks", {.payload = 60 + 946 - 1}, PackageKind::kSetup,
       {P::kPayloadOutsideFile}},
      {"negative PayloadSize", {.payload = kMin}, PackageKind::kSetup, {P::kPayloadOutsideFile}},
      {"uninstaller, negative PayloadSize", {.payload = kMin}, PackageKind::kUninstaller, {}},
      {"payload length past 32 bits",
       {.payload = 10000, .extras = kMin, .readme = kMin, .license = 0, .language = 0},
       PackageKind::kSetup, {P::kNegativeBlockSize, P::kBlocksOutsideFile, P::kPayloadOutsideFile}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RecordProblems found = FindRecordProblems(RecordWith(c.sizes), kPackageEnd, c.kind);
    EXPECT_EQ(found.None(), c.expected.size() == 0);
    for (P problem : kEvery) {
      bool expected = false;
      for (P e : c.expected) expected = expected || e == problem;
      EXPECT_EQ(found.Has(problem), expected) << static_cast<int>(problem);
    }
  }
}

}  // namespace
}  // namespace scrsetup
