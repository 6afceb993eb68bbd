#include "package/crc32.h"

#include <cstring>

namespace scrsetup {
namespace {

constexpr uint32_t kPolynomial = 0xEDB88320u;

// Eight tables for slicing by eight bytes a round: entries[k][b] is the
// CRC of byte b followed by k zero bytes. Filled on first use; the object
// has no initialiser, so it lies in zeroed memory and the program file
// carries none of its 8 KiB.
struct Crc32Tables {
  uint32_t entries[8][256];
  bool ready;

  void Fill() {
    for (uint32_t byte = 0; byte < 256; ++byte) {
      uint32_t crc = byte;
      for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (kPolynomial & (0u - (crc & 1u)));
      entries[0][byte] = crc;
    }
    for (int k = 1; k < 8; ++k) {
      for (uint32_t byte = 0; byte < 256; ++byte) {
        uint32_t previous = entries[k - 1][byte];
        entries[k][byte] = (previous >> 8) ^ entries[0][previous & 0xFF];
      }
    }
    ready = true;
  }
};

Crc32Tables tables;

uint32_t Load32(const unsigned char* bytes) {
  uint32_t value;
  std::memcpy(&value, bytes, sizeof(value));
  return value;  // the host is little-endian (setup_record.h)
}

}  // namespace

uint32_t Crc32(uint32_t crc, const void* data, size_t size) {
  if (!tables.ready) tables.Fill();
  const auto& t = tables.entries;
  auto* bytes = static_cast<const unsigned char*>(data);
  crc = ~crc;
  for (; size >= 8; size -= 8, bytes += 8) {
    uint32_t low = Load32(bytes) ^ crc, high = Load32(bytes + 4);
    crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
          t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^
          t[0][high >> 24];
  }
  for (; size > 0; --size, ++bytes) crc = (crc >> 8) ^ t[0][(crc ^ *bytes) & 0xFF];
  return ~crc;
}

}  // namespace scrsetup
