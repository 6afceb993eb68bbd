#include "package/crc32.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define SCRSETUP_CRC32_CLMUL 1
#endif

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

// `crc` is the running register (not inverted).
uint32_t UpdateByTables(uint32_t crc, const unsigned char* bytes, size_t size) {
  if (!tables.ready) tables.Fill();
  const auto& t = tables.entries;
  for (; size >= 8; size -= 8, bytes += 8) {
    uint32_t low = Load32(bytes) ^ crc, high = Load32(bytes + 4);
    crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
          t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^
          t[0][high >> 24];
  }
  for (; size > 0; --size, ++bytes) crc = (crc >> 8) ^ t[0][(crc ^ *bytes) & 0xFF];
  return crc;
}

#ifdef SCRSETUP_CRC32_CLMUL
// Folding with carry-less multiplication: four 128-bit lanes are folded
// forward over 64 bytes a round, then into one lane, then reduced to 32
// bits (Barrett). The constants are powers of x modulo the polynomial, in
// the reflected bit order: x^(4*128+32) and x^(4*128-32) for the four-lane
// fold, x^(128+32) and x^(128-32) for one lane, x^64 for the last 64 bits,
// and the polynomial with its Barrett quotient. Takes `size`, a multiple of
// 16 of at least 64, and the running register.
#define SCRSETUP_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))

SCRSETUP_CLMUL_TARGET inline __m128i Load128(const unsigned char* bytes) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

// `lane` times the two halves of `k`, added to `next`.
SCRSETUP_CLMUL_TARGET inline __m128i Fold(__m128i lane, __m128i k, __m128i next) {
  return _mm_xor_si128(
      _mm_xor_si128(_mm_clmulepi64_si128(lane, k, 0x00), _mm_clmulepi64_si128(lane, k, 0x11)),
      next);
}

SCRSETUP_CLMUL_TARGET uint32_t UpdateByFolding(uint32_t crc, const unsigned char* bytes,
                                               size_t size) {
  const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
  const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
  const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);
  const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);
  const __m128i mask32 = _mm_set_epi32(0, 0, 0, -1);
  __m128i x1 = _mm_xor_si128(Load128(bytes), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x2 = Load128(bytes + 16), x3 = Load128(bytes + 32), x4 = Load128(bytes + 48);
  bytes += 64;
  size -= 64;
  for (; size >= 64; size -= 64, bytes += 64) {
    x1 = Fold(x1, k1k2, Load128(bytes));
    x2 = Fold(x2, k1k2, Load128(bytes + 16));
    x3 = Fold(x3, k1k2, Load128(bytes + 32));
    x4 = Fold(x4, k1k2, Load128(bytes + 48));
  }
  x1 = Fold(Fold(Fold(x1, k3k4, x2), k3k4, x3), k3k4, x4);
  for (; size >= 16; size -= 16, bytes += 16) x1 = Fold(x1, k3k4, Load128(bytes));
  // 128 bits to 64, then to 32 bits followed by 32 zero bits.
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(x1, k3k4, 0x10), _mm_srli_si128(x1, 8));
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask32), k5, 0x00),
                     _mm_srli_si128(x1, 4));
  // Barrett reduction to the 32-bit remainder.
  __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, mask32), poly, 0x10);
  t = _mm_clmulepi64_si128(_mm_and_si128(t, mask32), poly, 0x00);
  return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, t), 1));
}

// Asks the processor (leaf 1 of its identification: ECX bit 1 is carry-less
// multiplication, bit 19 SSE4.1); a processor too old to be asked has neither.
bool FoldingAvailable() {
  static int available = -1;
  if (available < 0) {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    available = __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_PCLMUL) && (ecx & bit_SSE4_1);
  }
  return available;
}
#endif

}  // namespace

uint32_t Crc32ByTables(uint32_t crc, const void* data, size_t size) {
  return ~UpdateByTables(~crc, static_cast<const unsigned char*>(data), size);
}

uint32_t Crc32(uint32_t crc, const void* data, size_t size) {
  auto* bytes = static_cast<const unsigned char*>(data);
  crc = ~crc;
#ifdef SCRSETUP_CRC32_CLMUL
  if (size >= 64 && FoldingAvailable()) {
    const size_t folded = size & ~size_t{15};
    crc = UpdateByFolding(crc, bytes, folded);
    bytes += folded;
    size -= folded;
  }
#endif
  return ~UpdateByTables(crc, bytes, size);
}

}  // namespace scrsetup
