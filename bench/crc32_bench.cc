// crc32_bench: the CRC-32 of 512 MiB in the installer's chunks of 100001
// bytes, by every path this processor runs, against memcpy of the same
// chunks (what reading them from the page cache costs at least). Best of 5
// each; prints the value too, which every path must give alike.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "package/crc32.h"

namespace {

constexpr size_t kChunk = 100001;
constexpr int kChunks = 5368;  // 512 MiB
constexpr int kRounds = 5;

template <typename Work>
double BestSeconds(Work work) {
  double best = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took.count() < best) best = took.count();
  }
  return best;
}

void Print(const char* what, double seconds, double reference) {
  std::printf("  %-36s %7.3f s  %6.1f GB/s  %5.2fx memcpy\n", what, seconds,
              double(kChunk) * kChunks / seconds / 1e9, seconds / reference);
}

}  // namespace

int main() {
  using namespace scrsetup;
  std::vector<unsigned char> chunk(kChunk), copy(kChunk);
  for (size_t i = 0; i < kChunk; ++i) chunk[i] = static_cast<unsigned char>(i * 131 + (i >> 8));
  const double reference = BestSeconds([&] {
    for (int i = 0; i < kChunks; ++i) {
      chunk[0] = static_cast<unsigned char>(i);
      std::memcpy(copy.data(), chunk.data(), kChunk);
    }
  });
  Print("reference: memcpy of the chunks", reference, reference);
  const char* names[] = {"tables", "128-bit folding", "256-bit folding", "512-bit folding"};
  uint32_t first = 0;
  for (Crc32Path path : kCrc32Paths) {
    const char* name = names[static_cast<int>(path)];
    if (!Crc32PathRuns(path)) {
      std::printf("  %-36s not run: this processor or system lacks it\n", name);
      continue;
    }
    uint32_t crc = 0;
    const double seconds = BestSeconds([&] {
      crc = 0;
      for (int i = 0; i < kChunks; ++i) crc = Crc32ByPath(path, crc, chunk.data(), kChunk);
    });
    Print(name, seconds, reference);
    if (path == Crc32Path::kTables) first = crc;
    if (crc != first) {
      std::printf("  %s gives %08x, the tables %08x\n", name, crc, first);
      return 1;
    }
  }
  return 0;
}
