#include "package/crc32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace scrsetup {
namespace {

// One bit at a time, as the polynomial defines it.
uint32_t BitwiseCrc32(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// Crc32 itself and each path forced; a path this processor or system cannot
// run is named and left out.
std::vector<std::pair<std::string, std::function<uint32_t(uint32_t, const void*, size_t)>>>
RunnablePaths() {
  std::vector<std::pair<std::string, std::function<uint32_t(uint32_t, const void*, size_t)>>> paths;
  paths.emplace_back("Crc32", Crc32);
  const char* names[] = {"tables", "128-bit folding", "256-bit folding", "512-bit folding"};
  for (Crc32Path path : kCrc32Paths) {
    const char* name = names[static_cast<int>(path)];
    if (!Crc32PathRuns(path)) {
      std::printf("[ NOTE     ] %s: this processor or system cannot run it; not tested\n", name);
      continue;
    }
    paths.emplace_back(name, [path](uint32_t crc, const void* data, size_t size) {
      return Crc32ByPath(path, crc, data, size);
    });
  }
  return paths;
}

TEST(Crc32, KnownValues) {
  for (const auto& [name, crc32] : RunnablePaths()) {
    SCOPED_TRACE(name);
    EXPECT_EQ(crc32(0, "", 0), 0u);
    EXPECT_EQ(crc32(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(crc32(0, "The quick brown fox jumps over the lazy dog", 43), 0x414FA339u);
  }
}

// Every length and alignment around the 8-byte table rounds, the 16-byte
// folding steps and the 64-, 128- and 256-byte rounds of the folding paths,
// in one piece and split in two, gives the bit-by-bit value.
TEST(Crc32, AnySplitGivesTheWholeValue) {
  std::string bytes;
  for (int i = 0; i < 100001; ++i) bytes += static_cast<char>((i * 131 + (i >> 8) + 7) & 0xFF);
  for (const auto& [name, crc32] : RunnablePaths()) {
    SCOPED_TRACE(name);
    for (size_t start = 0; start < 17; ++start) {
      for (size_t length = 0; length <= 1100; length += start % 2 ? 7 : 1) {
        const std::string piece = bytes.substr(start, length);
        const uint32_t expected = BitwiseCrc32(piece);
        ASSERT_EQ(crc32(0, piece.data(), piece.size()), expected) << start << " " << length;
        const size_t split = length / 3;
        uint32_t crc = crc32(0, piece.data(), split);
        ASSERT_EQ(crc32(crc, piece.data() + split, length - split), expected);
      }
    }
    EXPECT_EQ(crc32(0, bytes.data(), bytes.size()), BitwiseCrc32(bytes));
  }
}

}  // namespace
}  // namespace scrsetup
