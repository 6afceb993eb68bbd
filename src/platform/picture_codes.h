// The wizard's pictures as the installer stores them: one shared palette of
// colours with alpha, and per picture its size and its pixels as palette
// indices, coded in runs. The picture tool (res/make_pictures.py) writes
// them; the wizard decodes them into bitmaps at start.
//
//   palette resource               picture resource
//   +--------------------+         +--------+--------+---------------------+
//   | B G R A | B G R A  | ...     | width  | height | codes ...           |
//   +--------------------+         | u16 LE | u16 LE | to the resource end |
//   1 to 256 entries, 4 bytes each +--------+--------+---------------------+
//
// Pixels run left to right, rows top to bottom. Each code is one byte, its
// top two bits the kind and its low six bits a count n (1 + value, 1..64):
//   00  n literal pixels: n index bytes follow
//   01  a run: one index byte follows, repeated n times
//   10  n pixels copied from the row above (not in the first row)
//   11  not used
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace scrsetup {

struct DecodedPicture {
  int width = 0;
  int height = 0;
  // width * height pixels as 0xAARRGGBB (the byte order B, G, R, A of a
  // 32-bit bitmap), colour not premultiplied by alpha.
  std::vector<uint32_t> pixels;
};

// Decodes `picture` with `palette`. False, with `out` empty, for a palette
// that is empty, too long or not whole entries, a size of 0 or above 1024,
// an index past the palette, a code that runs past the picture or the end
// of the input, a copy in the first row, an unused code, or codes that end
// before the last pixel or go on after it.
bool DecodePicture(std::span<const uint8_t> palette, std::span<const uint8_t> picture,
                   DecodedPicture& out);

}  // namespace scrsetup
