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

uint32_t Read32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24);
}

// The offset of the "PE\0\0" signature when `bytes` hold it, the COFF
// header and `after_coff` bytes more; nullopt otherwise.
std::optional<size_t> PeSignatureOffset(const unsigned char* bytes, size_t size, size_t after_coff) {
  if (size < kNewHeaderPointer + 4 || bytes[0] != 'M' || bytes[1] != 'Z') return std::nullopt;
  const size_t pe = Read32(bytes + kNewHeaderPointer);
  if (pe > size || size - pe < 4 + kCoffHeaderSize + after_coff ||
      std::memcmp(bytes + pe, "PE\0\0", 4) != 0) {
    return std::nullopt;
  }
  return pe;
}

}  // namespace

std::optional<uint16_t> PeMachine(const unsigned char* bytes, size_t size) {
  const std::optional<size_t> pe = PeSignatureOffset(bytes, size, 0);
  if (!pe) return std::nullopt;
  return static_cast<uint16_t>(bytes[*pe + 4] | (bytes[*pe + 5] << 8));
}

std::optional<SignatureFields> FindSignatureFields(const unsigned char* bytes, size_t size) {
  const std::optional<size_t> found = PeSignatureOffset(bytes, size, 2);
  if (!found) return std::nullopt;
  const size_t optional = *found + 4 + kCoffHeaderSize;
  const uint16_t magic = static_cast<uint16_t>(bytes[optional] | (bytes[optional + 1] << 8));
  size_t directories;
  if (magic == kPe32Magic) {
    directories = optional + kPe32DirectoriesOffset;
  } else if (magic == kPe32PlusMagic) {
    directories = optional + kPe32PlusDirectoriesOffset;
  } else {
    return std::nullopt;
  }
  const size_t certificate = directories + kCertificateDirectory * kCertificateEntrySize;
  if (certificate + kCertificateEntrySize > size ||
      Read32(bytes + directories - kNumberOfDirectoriesFromEnd) <= kCertificateDirectory) {
    return std::nullopt;
  }
  return SignatureFields{optional + kChecksumOffset, certificate};
}

bool SetSignatureFields(unsigned char* bytes, size_t size, uint32_t checksum,
                        uint32_t table_offset, uint32_t table_size) {
  const std::optional<SignatureFields> fields = FindSignatureFields(bytes, size);
  if (!fields) return false;
  const uint32_t values[] = {checksum, table_offset, table_size};
  unsigned char* const places[] = {bytes + fields->checksum, bytes + fields->certificate,
                                   bytes + fields->certificate + 4};
  for (int i = 0; i < 3; ++i) {
    for (int byte = 0; byte < 4; ++byte) {
      places[i][byte] = static_cast<unsigned char>(values[i] >> (8 * byte));
    }
  }
  return true;
}

}  // namespace scrsetup
