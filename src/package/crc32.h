// CRC-32 as zlib computes it (polynomial 0xEDB88320, reflected, initial
// and final value 0xFFFFFFFF), for checking a package's bytes as they pass.
#pragma once

#include <cstddef>
#include <cstdint>

namespace scrsetup {

// Extends `crc`, the CRC-32 of the bytes before `data` (0 for none), by
// `size` bytes: Crc32(Crc32(0, a), b) is the CRC-32 of a followed by b.
// Takes the widest path of Crc32Path this processor and system run, asked
// once of the processor (CPUID, and XGETBV for the registers the system
// saves).
[[nodiscard]] uint32_t Crc32(uint32_t crc, const void* data, size_t size);

// The ways of computing it, narrowest first. Every path gives the same
// value; a folding path hands the bytes it cannot fold (fewer than one
// round, the last under 16) to the next narrower one.
enum class Crc32Path {
  kTables,     // slicing by eight bytes: every processor
  kFold128,    // carry-less multiplication on 128-bit registers (PCLMULQDQ, SSE4.1)
  kFold256,    // the same on 256-bit registers (VPCLMULQDQ, AVX2)
  kFold512,    // the same on 512-bit registers (VPCLMULQDQ, AVX-512 F and VL)
};
inline constexpr Crc32Path kCrc32Paths[] = {Crc32Path::kTables, Crc32Path::kFold128,
                                            Crc32Path::kFold256, Crc32Path::kFold512};

// Whether this processor and system can run `path` (kTables always can).
[[nodiscard]] bool Crc32PathRuns(Crc32Path path);

// Crc32 by `path` and the narrower ones, which must run (for tests and
// benchmarks).
[[nodiscard]] uint32_t Crc32ByPath(Crc32Path path, uint32_t crc, const void* data, size_t size);

}  // namespace scrsetup
