#include "package/crc32.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(Crc32, KnownValues) {
  for (auto crc32 : {Crc32, Crc32ByTables}) {
    EXPECT_EQ(crc32(0, "", 0), 0u);
    EXPECT_EQ(crc32(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(crc32(0, "The quick brown fox jumps over the lazy dog", 43), 0x414FA339u);
  }
}

// Every length and alignment around the 8-byte table rounds and the 16- and
// 64-byte folding steps, in one piece and split in two, gives the
// bit-by-bit value.
TEST(Crc32, AnySplitGivesTheWholeValue) {
  std::string bytes;
  for (int i = 0; i < 100001; ++i) bytes += static_cast<char>((i * 131 + (i >> 8) + 7) & 0xFF);
  for (auto crc32 : {Crc32, Crc32ByTables}) {
    for (size_t start = 0; start < 17; ++start) {
      for (size_t length = 0; length <= 300; length += start % 2 ? 7 : 1) {
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
