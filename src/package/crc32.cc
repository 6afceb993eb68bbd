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
// Folding with carry-less multiplication: four lanes are folded forward
// over four lanes' bytes a round, then into one 128-bit lane, then reduced
// to 32 bits (Barrett). A fold constant for a distance of D bits is the
// pair x^(D+32), x^(D-32) modulo the polynomial, in the reflected bit order;
// x^64 serves the last 64 bits, and the polynomial with its Barrett quotient
// the reduction. The wide paths do the same on 256- and 512-bit registers,
// each 128-bit part of a register folded by the same pair.
#define SCRSETUP_FOLD128 __attribute__((target("pclmul,sse4.1")))
#define SCRSETUP_FOLD256 __attribute__((target("pclmul,sse4.1,avx2,vpclmulqdq")))
#define SCRSETUP_FOLD512 __attribute__((target("pclmul,sse4.1,avx2,avx512f,avx512vl,vpclmulqdq")))

SCRSETUP_FOLD128 inline __m128i Load128(const unsigned char* bytes) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

// `lane` times the two halves of `k`, added to `next`.
SCRSETUP_FOLD128 inline __m128i Fold(__m128i lane, __m128i k, __m128i next) {
  return _mm_xor_si128(
      _mm_xor_si128(_mm_clmulepi64_si128(lane, k, 0x00), _mm_clmulepi64_si128(lane, k, 0x11)),
      next);
}

SCRSETUP_FOLD128 inline __m128i FoldBy128Bits() { return _mm_set_epi64x(0x00ccaa009e, 0x01751997d0); }

// Folds `x1` (the lane before `bytes`) over the `size` bytes (a multiple of
// 16) and reduces it to the running register.
SCRSETUP_FOLD128 uint32_t FinishFolding(__m128i x1, const unsigned char* bytes, size_t size) {
  const __m128i k3k4 = FoldBy128Bits();
  const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);
  const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);
  const __m128i mask32 = _mm_set_epi32(0, 0, 0, -1);
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

// Four 128-bit lanes, 64 bytes a round. `size`: a multiple of 16, at least 64.
SCRSETUP_FOLD128 uint32_t Fold128(uint32_t crc, const unsigned char* bytes, size_t size) {
  const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);  // 512 bits
  const __m128i k3k4 = FoldBy128Bits();
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
  return FinishFolding(Fold(Fold(Fold(x1, k3k4, x2), k3k4, x3), k3k4, x4), bytes, size);
}

SCRSETUP_FOLD256 inline __m256i Load256(const unsigned char* bytes) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
}

SCRSETUP_FOLD256 inline __m256i Fold(__m256i lane, __m256i k, __m256i next) {
  return _mm256_xor_si256(_mm256_xor_si256(_mm256_clmulepi64_epi128(lane, k, 0x00),
                                           _mm256_clmulepi64_epi128(lane, k, 0x11)),
                          next);
}

// Four 256-bit lanes, 128 bytes a round. `size`: a multiple of 16, at least 128.
SCRSETUP_FOLD256 uint32_t Fold256(uint32_t crc, const unsigned char* bytes, size_t size) {
  const __m256i by1024 = _mm256_set_epi64x(0x014a7fe880, 0x01e88ef372, 0x014a7fe880, 0x01e88ef372);
  const __m256i by256 = _mm256_set_epi64x(0x015a546366, 0x00f1da05aa, 0x015a546366, 0x00f1da05aa);
  __m256i y1 = _mm256_xor_si256(Load256(bytes), _mm256_zextsi128_si256(_mm_cvtsi32_si128(static_cast<int>(crc))));
  __m256i y2 = Load256(bytes + 32), y3 = Load256(bytes + 64), y4 = Load256(bytes + 96);
  bytes += 128;
  size -= 128;
  for (; size >= 128; size -= 128, bytes += 128) {
    y1 = Fold(y1, by1024, Load256(bytes));
    y2 = Fold(y2, by1024, Load256(bytes + 32));
    y3 = Fold(y3, by1024, Load256(bytes + 64));
    y4 = Fold(y4, by1024, Load256(bytes + 96));
  }
  y1 = Fold(Fold(Fold(y1, by256, y2), by256, y3), by256, y4);
  const __m128i x1 = Fold(_mm256_castsi256_si128(y1), FoldBy128Bits(), _mm256_extracti128_si256(y1, 1));
  return FinishFolding(x1, bytes, size);
}

SCRSETUP_FOLD512 inline __m512i Load512(const unsigned char* bytes) {
  return _mm512_loadu_si512(bytes);
}

SCRSETUP_FOLD512 inline __m512i Fold(__m512i lane, __m512i k, __m512i next) {
  return _mm512_xor_si512(_mm512_xor_si512(_mm512_clmulepi64_epi128(lane, k, 0x00),
                                           _mm512_clmulepi64_epi128(lane, k, 0x11)),
                          next);
}

SCRSETUP_FOLD512 inline __m512i EveryPart(long long low, long long high) {
  return _mm512_set_epi64(high, low, high, low, high, low, high, low);
}

// Four 512-bit lanes, 256 bytes a round. `size`: a multiple of 16, at least 256.
SCRSETUP_FOLD512 uint32_t Fold512(uint32_t crc, const unsigned char* bytes, size_t size) {
  const __m512i by2048 = EveryPart(0x011542778a, 0x01322d1430);
  const __m512i by512 = EveryPart(0x0154442bd4, 0x01c6e41596);
  __m512i z1 = _mm512_xor_si512(Load512(bytes), _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(crc))));
  __m512i z2 = Load512(bytes + 64), z3 = Load512(bytes + 128), z4 = Load512(bytes + 192);
  bytes += 256;
  size -= 256;
  for (; size >= 256; size -= 256, bytes += 256) {
    z1 = Fold(z1, by2048, Load512(bytes));
    z2 = Fold(z2, by2048, Load512(bytes + 64));
    z3 = Fold(z3, by2048, Load512(bytes + 128));
    z4 = Fold(z4, by2048, Load512(bytes + 192));
  }
  z1 = Fold(Fold(Fold(z1, by512, z2), by512, z3), by512, z4);
  // Into its four 128-bit parts through memory (once a call).
  unsigned char parts[64];
  _mm512_storeu_si512(parts, z1);
  const __m128i k3k4 = FoldBy128Bits();
  __m128i x1 = Load128(parts);
  for (int part = 1; part < 4; ++part) x1 = Fold(x1, k3k4, Load128(parts + 16 * part));
  return FinishFolding(x1, bytes, size);
}

// The paths this processor and system run, asked once. Leaf 1 of the
// processor's identification: ECX bit 1 carry-less multiplication, bit 19
// SSE4.1, bit 27 XGETBV usable; leaf 7: EBX bit 5 AVX2, bit 16 AVX-512 F,
// bit 31 AVX-512 VL, ECX bit 10 VPCLMULQDQ. XGETBV says which registers the
// system saves: bits 1 and 2 the 128- and 256-bit ones, 5 to 7 the 512-bit
// ones. A processor too old to be asked runs the tables only.
struct Paths {
  bool fold128 = false;
  bool fold256 = false;
  bool fold512 = false;

  Paths() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return;
    fold128 = (ecx & bit_PCLMUL) && (ecx & bit_SSE4_1);
    if (!fold128 || !(ecx & bit_OSXSAVE)) return;
    unsigned saved = 0, saved_high = 0;
    __asm__("xgetbv" : "=a"(saved), "=d"(saved_high) : "c"(0));
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) || !(ecx & bit_VPCLMULQDQ)) return;
    fold256 = (saved & 0x06) == 0x06 && (ebx & bit_AVX2);
    fold512 = fold256 && (saved & 0xE0) == 0xE0 && (ebx & bit_AVX512F) && (ebx & bit_AVX512VL);
  }
};

const Paths& RunningPaths() {
  static const Paths paths;
  return paths;
}
#endif

// `crc` is the running register. Folds what `path` can, hands the rest on.
uint32_t Update(Crc32Path path, uint32_t crc, const unsigned char* bytes, size_t size) {
#ifdef SCRSETUP_CRC32_CLMUL
  struct Step {
    Crc32Path path;
    size_t round;  // the fewest bytes the path folds
    uint32_t (*fold)(uint32_t, const unsigned char*, size_t);
  };
  static constexpr Step kSteps[] = {{Crc32Path::kFold512, 256, Fold512},
                                    {Crc32Path::kFold256, 128, Fold256},
                                    {Crc32Path::kFold128, 64, Fold128}};
  for (const Step& step : kSteps) {
    if (path < step.path || size < step.round) continue;
    const size_t folded = size & ~size_t{15};
    crc = step.fold(crc, bytes, folded);
    bytes += folded;
    size -= folded;
    break;
  }
#else
  (void)path;
#endif
  return UpdateByTables(crc, bytes, size);
}

Crc32Path WidestPath() {
  static const Crc32Path widest = [] {
    Crc32Path path = Crc32Path::kTables;
    for (Crc32Path candidate : kCrc32Paths) {
      if (Crc32PathRuns(candidate)) path = candidate;
    }
    return path;
  }();
  return widest;
}

}  // namespace

bool Crc32PathRuns(Crc32Path path) {
#ifdef SCRSETUP_CRC32_CLMUL
  const Paths& paths = RunningPaths();
  switch (path) {
    case Crc32Path::kTables: return true;
    case Crc32Path::kFold128: return paths.fold128;
    case Crc32Path::kFold256: return paths.fold256;
    case Crc32Path::kFold512: return paths.fold512;
  }
  return false;
#else
  return path == Crc32Path::kTables;
#endif
}

uint32_t Crc32ByPath(Crc32Path path, uint32_t crc, const void* data, size_t size) {
  return ~Update(path, ~crc, static_cast<const unsigned char*>(data), size);
}

uint32_t Crc32(uint32_t crc, const void* data, size_t size) {
  return Crc32ByPath(WidestPath(), crc, data, size);
}

}  // namespace scrsetup
