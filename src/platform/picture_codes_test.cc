#include "platform/picture_codes.h"

#include <gtest/gtest.h>

#include <vector>

namespace scrsetup {
namespace {

using Bytes = std::vector<uint8_t>;

// Three entries: 0 transparent, 1 opaque red, 2 half-transparent blue.
const Bytes kPalette = {0, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0, 128};
constexpr uint32_t T = 0x00000000, R = 0xFFFF0000, B = 0x800000FF;

Bytes Picture(int width, int height, const Bytes& codes) {
  Bytes out = {uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8)};
  for (uint8_t code : codes) out.push_back(code);
  return out;
}

TEST(PictureCodes, DecodesEveryKindOfCode) {
  const Bytes picture = Picture(3, 3, {
                                          0x02, 0, 1, 2,  // literal of 3
                                          0x41, 1,        // run of 2 red
                                          0x80,           // 1 copied from above (B)
                                          0x82,           // 3 copied from above
                                      });
  DecodedPicture out;
  ASSERT_TRUE(DecodePicture(kPalette, picture, out));
  EXPECT_EQ(out.width, 3);
  EXPECT_EQ(out.height, 3);
  EXPECT_EQ(out.pixels, (std::vector<uint32_t>{T, R, B, R, R, B, R, R, B}));
}

TEST(PictureCodes, LongestCountsReachTheEndExactly) {
  DecodedPicture out;
  ASSERT_TRUE(DecodePicture(kPalette, Picture(64, 2, {0x7F, 2, 0xBF}), out));
  EXPECT_EQ(out.pixels, std::vector<uint32_t>(128, B));
}

TEST(PictureCodes, RefusesBrokenInputAndLeavesNothing) {
  const Bytes full_palette(256 * 4, 255);
  struct Case {
    const char* what;
    Bytes palette;
    Bytes picture;
  } cases[] = {
      {"empty palette", {}, Picture(1, 1, {0x00, 0})},
      {"palette not whole entries", {0, 0, 0}, Picture(1, 1, {0x00, 0})},
      {"palette of 257 entries", Bytes(257 * 4, 0), Picture(1, 1, {0x00, 0})},
      {"no size", kPalette, {1, 0, 1}},
      {"zero width", kPalette, Picture(0, 1, {})},
      {"too tall", kPalette, Picture(1, 1025, {})},
      {"index past the palette", kPalette, Picture(1, 1, {0x00, 3})},
      {"run index past the palette", kPalette, Picture(2, 1, {0x41, 3})},
      {"literal runs past the picture", kPalette, Picture(1, 1, {0x01, 0, 0})},
      {"run past the picture", kPalette, Picture(2, 1, {0x42, 1})},
      {"copy in the first row", kPalette, Picture(2, 2, {0x80, 0x00, 1, 0x81})},
      {"unused code", kPalette, Picture(1, 1, {0xC0})},
      {"literal cut short", kPalette, Picture(2, 1, {0x01, 1})},
      {"run without its index", kPalette, Picture(2, 1, {0x41})},
      {"codes end early", kPalette, Picture(2, 1, {0x00, 1})},
      {"bytes after the last pixel", kPalette, Picture(1, 1, {0x00, 1, 0x00})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DecodedPicture out{1, 1, {R}};
    EXPECT_FALSE(DecodePicture(c.palette, c.picture, out));
    EXPECT_EQ(out.width, 0);
    EXPECT_TRUE(out.pixels.empty());
  }
  DecodedPicture out;
  EXPECT_TRUE(DecodePicture(full_palette, Picture(1, 1, {0x00, 255}), out));
}

}  // namespace
}  // namespace scrsetup
