// CRC-32 as zlib computes it (polynomial 0xEDB88320, reflected, initial
// and final value 0xFFFFFFFF), for checking a package's bytes as they pass.
#pragma once

#include <cstddef>
#include <cstdint>

namespace scrsetup {

// Extends `crc`, the CRC-32 of the bytes before `data` (0 for none), by
// `size` bytes: Crc32(Crc32(0, a), b) is the CRC-32 of a followed by b.
// On x86 processors with carry-less multiplication it folds 16 bytes a
// step; elsewhere, and for the last bytes, it uses tables.
[[nodiscard]] uint32_t Crc32(uint32_t crc, const void* data, size_t size);

// The same by tables alone, the way every processor can (for tests and
// benchmarks).
[[nodiscard]] uint32_t Crc32ByTables(uint32_t crc, const void* data, size_t size);

}  // namespace scrsetup
