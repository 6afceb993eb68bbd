#include "package/pe_header.h"

#include <cstdint>
#include <cstring>

namespace scrsetup {
namespace {

// Offsets in the PE format.
constexpr size_t kNewHeaderPointer = 0x3c;   // in the MS-DOS header
constexpr size_t kCoffHeaderSize = 20;       // after the "PE\0\0" signature
constexpr size_t kChecksumOffset = 64;       // in the optional header
constexpr uint16_t kPe32Magic = 0x10b;
constexpr uint16_t kPe32PlusMagic = 0x20b;
constexpr size_t kPe32DirectoriesOffset = 96;
constexpr size_t kPe32PlusDirectoriesOffset = 112;
constexpr size_t kNumberOfDirectoriesFromEnd = 4;  // field right before the directories
constexpr uint32_t kCertificateDirectory = 4;
constexpr size_t kDirectoryEntrySize = 8;

uint32_t Read32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24);
}

}  // namespace

bool ClearSignatureFields(unsigned char* bytes, size_t size) {
  if (size < kNewHeaderPointer + 4 || bytes[0] != 'M' || bytes[1] != 'Z') return false;
  const size_t pe = Read32(bytes + kNewHeaderPointer);
  const size_t optional = pe + 4 + kCoffHeaderSize;
  if (pe > size || size - pe < 4 + kCoffHeaderSize + 2 || std::memcmp(bytes + pe, "PE\0\0", 4) != 0) {
    return false;
  }
  const uint16_t magic = static_cast<uint16_t>(bytes[optional] | (bytes[optional + 1] << 8));
  size_t directories;
  if (magic == kPe32Magic) {
    directories = optional + kPe32DirectoriesOffset;
  } else if (magic == kPe32PlusMagic) {
    directories = optional + kPe32PlusDirectoriesOffset;
  } else {
    return false;
  }
  const size_t certificate = directories + kCertificateDirectory * kDirectoryEntrySize;
  if (certificate + kDirectoryEntrySize > size ||
      Read32(bytes + directories - kNumberOfDirectoriesFromEnd) <= kCertificateDirectory) {
    return false;
  }
  std::memset(bytes + optional + kChecksumOffset, 0, 4);
  std::memset(bytes + certificate, 0, kDirectoryEntrySize);
  return true;
}

}  // namespace scrsetup
