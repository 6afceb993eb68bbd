// Times LocatePackage on a package with bytes appended after its end
// signature, against one plain sequential read of the same appended bytes
// (fread in 1 MiB blocks). Both run warm (one untimed pass first, so the file
// is in the page cache); the best of five runs counts.
//
//   locate_package_bench PACKAGE PACKAGE_END
//
// PACKAGE_END is where the end signature ends (PackageEnd, which a check
// block after the signature does not move); the run fails if LocatePackage
// finds anything else, so a wrong result is never reported as a speed.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "package/package_reader.h"
#include "saverpack/host/host_file.h"

namespace {

constexpr int kRuns = 5;
constexpr size_t kReadBlock = 1 << 20;

// Seconds taken by the fastest of kRuns calls of `run`, after one warm-up
// call. False as soon as any call fails.
bool BestSeconds(const std::function<bool()>& run, double& best) {
  if (!run()) return false;
  best = 1e30;
  for (int i = 0; i < kRuns; ++i) {
    auto start = std::chrono::steady_clock::now();
    if (!run()) return false;
    std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
    if (taken.count() < best) best = taken.count();
  }
  return true;
}

bool LocateOnce(const char* path, int64_t expected_end) {
  auto file = saverpack::OpenForReading(path);
  if (!file) return false;
  auto location = scrsetup::LocatePackage(*file);
  if (!location || location->PackageEnd != expected_end) {
    std::fprintf(stderr, "LocatePackage found %lld, expected %lld\n",
                 location ? static_cast<long long>(location->PackageEnd) : -1LL,
                 static_cast<long long>(expected_end));
    return false;
  }
  return true;
}

// Reads `count` bytes from `offset` to the end of the file, front to back.
bool ReadSequentially(const char* path, int64_t offset, int64_t count) {
  std::FILE* stream = std::fopen(path, "rb");
  if (!stream) return false;
  std::vector<char> block(kReadBlock);
  bool ok = fseeko(stream, offset, SEEK_SET) == 0;
  while (ok && count > 0) {
    size_t want = count < static_cast<int64_t>(kReadBlock) ? static_cast<size_t>(count) : kReadBlock;
    size_t got = std::fread(block.data(), 1, want, stream);
    ok = got == want;
    count -= static_cast<int64_t>(got);
  }
  std::fclose(stream);
  return ok;
}

double MibPerSecond(int64_t bytes, double seconds) {
  return static_cast<double>(bytes) / (1024.0 * 1024.0) / seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: locate_package_bench PACKAGE PACKAGE_END\n");
    return 2;
  }
  const char* path = argv[1];
  const int64_t package_end = std::strtoll(argv[2], nullptr, 10);
  int64_t size;
  {
    auto file = saverpack::OpenForReading(path);
    if (!file || (size = file->Size()) < package_end || package_end <= 0) {
      std::fprintf(stderr, "cannot read %s, or it is shorter than %lld bytes\n", path,
                   static_cast<long long>(package_end));
      return 2;
    }
  }
  const int64_t appended = size - package_end;

  double locate_seconds = 0, read_seconds = 0;
  if (!BestSeconds([&] { return LocateOnce(path, package_end); }, locate_seconds)) return 1;
  if (!BestSeconds([&] { return ReadSequentially(path, package_end, appended); }, read_seconds)) {
    std::fprintf(stderr, "sequential read of %s failed\n", path);
    return 1;
  }
  std::printf("  bytes after the signature: %lld (%.1f MiB); warm, best of %d\n",
              static_cast<long long>(appended), appended / (1024.0 * 1024.0), kRuns);
  std::printf("  %-34s %8.1f ms  %8.0f MiB/s\n", "LocatePackage", locate_seconds * 1e3,
              MibPerSecond(appended, locate_seconds));
  std::printf("  %-34s %8.1f ms  %8.0f MiB/s\n", "reference: fread 1 MiB blocks", read_seconds * 1e3,
              MibPerSecond(appended, read_seconds));
  std::printf("  LocatePackage / reference: %.2fx the time\n", locate_seconds / read_seconds);
  return 0;
}
