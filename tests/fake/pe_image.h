// The smallest executable header the signature code works on: "MZ", the
// PE signature at 0x80, a PE32 or PE32+ optional header with 16 data
// directories, and filler bytes. Enough for the header fields an
// Authenticode signature changes; no program runs from it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace scrsetup::testing {

inline constexpr size_t kPeOffset = 0x80;
inline constexpr size_t kOptionalHeaderOffset = kPeOffset + 24;

inline void PutLe32(std::string& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

inline uint32_t GetLe32(const std::string& bytes, size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  return value;
}

// `size` bytes of an executable whose optional header has `magic` (0x10b
// PE32, 0x20b PE32+).
inline std::string PeImage(uint16_t magic = 0x10b, size_t size = 1024) {
  std::string bytes(size, 'x');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  PutLe32(bytes, 0x3c, kPeOffset);
  std::memcpy(bytes.data() + kPeOffset, "PE\0\0", 4);
  bytes[kOptionalHeaderOffset] = static_cast<char>(magic & 0xff);
  bytes[kOptionalHeaderOffset + 1] = static_cast<char>(magic >> 8);
  const size_t directories = kOptionalHeaderOffset + (magic == 0x20b ? 112 : 96);
  PutLe32(bytes, directories - 4, 16);
  return bytes;
}

// Offsets of the checksum and the certificate table entry in a PeImage.
inline size_t PeChecksumOffset() { return kOptionalHeaderOffset + 64; }
inline size_t PeCertificateEntryOffset(uint16_t magic = 0x10b) {
  return kOptionalHeaderOffset + (magic == 0x20b ? 112 : 96) + 4 * 8;
}

}  // namespace scrsetup::testing
