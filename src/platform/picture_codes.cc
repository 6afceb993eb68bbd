#include "platform/picture_codes.h"

#include <cstddef>
#include <utility>

namespace scrsetup {
namespace {

constexpr size_t kMaxPaletteEntries = 256;
constexpr int kMaxSide = 1024;

enum CodeKind : uint8_t { kLiteral = 0, kRun = 1, kCopyAbove = 2 };

uint32_t Entry(std::span<const uint8_t> palette, size_t index) {
  const uint8_t* e = palette.data() + index * 4;
  return e[0] | e[1] << 8 | e[2] << 16 | static_cast<uint32_t>(e[3]) << 24;
}

bool DecodeCodes(std::span<const uint8_t> palette, std::span<const uint8_t> codes, int width,
                 std::vector<uint32_t>& pixels) {
  const size_t entries = palette.size() / 4;
  const size_t total = pixels.size();
  size_t at = 0;
  size_t in = 0;
  auto next_index = [&](size_t& index) {
    if (in >= codes.size() || codes[in] >= entries) return false;
    index = codes[in++];
    return true;
  };
  while (at < total) {
    if (in >= codes.size()) return false;
    const uint8_t code = codes[in++];
    const size_t count = (code & 0x3F) + 1u;
    if (count > total - at) return false;
    size_t index = 0;
    switch (code >> 6) {
      case kLiteral:
        for (size_t i = 0; i < count; ++i) {
          if (!next_index(index)) return false;
          pixels[at++] = Entry(palette, index);
        }
        break;
      case kRun:
        if (!next_index(index)) return false;
        for (size_t i = 0; i < count; ++i) pixels[at++] = Entry(palette, index);
        break;
      case kCopyAbove:
        if (at < static_cast<size_t>(width)) return false;
        for (size_t i = 0; i < count; ++i, ++at) pixels[at] = pixels[at - width];
        break;
      default:
        return false;
    }
  }
  return in == codes.size();
}

}  // namespace

bool DecodePicture(std::span<const uint8_t> palette, std::span<const uint8_t> picture,
                   DecodedPicture& out) {
  out = {};
  if (palette.empty() || palette.size() % 4 != 0 || palette.size() / 4 > kMaxPaletteEntries ||
      picture.size() < 4) {
    return false;
  }
  const int width = picture[0] | picture[1] << 8;
  const int height = picture[2] | picture[3] << 8;
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return false;
  DecodedPicture decoded{width, height, std::vector<uint32_t>(size_t(width) * height)};
  if (!DecodeCodes(palette, picture.subspan(4), width, decoded.pixels)) return false;
  out = std::move(decoded);
  return true;
}

}  // namespace scrsetup
