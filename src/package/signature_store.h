// The signature store: Authenticode certificate tables made when the
// package was built, one for each uninstaller the installer can write from
// it, so that an installation writes a signed uninstaller.
//
// The installer writes an uninstaller from its own stub, blocks and record
// in memory (WriteUninstallerPackage), with the stub's checksum and
// certificate table entry cleared, so its bytes are fixed by the package and
// the record. The authoring tool writes those bytes, has them signed, and
// keeps what signing added. The installer takes the length and CRC-32 of
// the bytes as it writes them; when an entry signs exactly those, it
// appends the entry's table and sets the header fields as the signed file
// has them. Otherwise the uninstaller stays unsigned.
//
//   ... | "Vornex.sig" | check block | signature store | (padding, certificate)
//                        ^ PackageEnd  ^ PackageEnd + BlockSize
//
// The check block's field 5 gives the store's size and CRC-32; a store that
// does not match them, or whose entries do not fill it exactly, makes the
// package damaged. The store is one entry after the other:
//
//   0x00  uint32  SignedLength  length of the unsigned uninstaller
//   0x04  uint32  SignedCrc     its CRC-32
//   0x08  uint32  Checksum      the PE checksum of the signed file
//   0x0c  uint32  TableSize     bytes of the certificate table: a multiple
//                               of 8, more than 0
//   0x10  TableSize bytes       the certificate table
//
// The signed uninstaller is the unsigned one, zeros up to the next multiple
// of 8 bytes (the table's alignment), then the table; its certificate table
// entry holds that padded length and TableSize, its checksum Checksum.
// Integers are little-endian. No byte run of the store may equal an end
// signature (the writer refuses such a store).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrsetup {

struct StoredSignatureHeader {
  uint32_t SignedLength;
  uint32_t SignedCrc;
  uint32_t Checksum;
  uint32_t TableSize;
};
static_assert(sizeof(StoredSignatureHeader) == 16, "an entry's header is 16 bytes");

// The largest store a package may carry: a table is several KiB, and a
// package carries one or two.
inline constexpr int64_t kMaxSignatureStoreSize = int64_t{1} << 20;
// Certificate tables start at a multiple of this in the file.
inline constexpr uint32_t kCertificateAlignment = 8;

// One entry. `table` views the store's (or the caller's) bytes.
struct StoredSignature {
  uint32_t signed_length = 0;
  uint32_t signed_crc = 0;
  uint32_t checksum = 0;
  std::string_view table;
};

// The zeros before the table in a signed file whose first `length` bytes
// are the unsigned file.
[[nodiscard]] constexpr uint32_t CertificatePadding(uint32_t length) {
  return (kCertificateAlignment - length % kCertificateAlignment) % kCertificateAlignment;
}

// Whether `store` is a well-formed store (as DecodeSignatureStore takes it).
[[nodiscard]] bool IsSignatureStore(std::string_view store);

// The entries of a store; nullopt when the store is empty, larger than
// kMaxSignatureStoreSize, or an entry does not fit it: a table that runs
// past its end, a size that is 0 or no multiple of 8, or a signed file
// whose length would not fit in 32 bits.
[[nodiscard]] std::optional<std::vector<StoredSignature>> DecodeSignatureStore(
    std::string_view store);

// The entry of a store that IsSignatureStore takes (the installer checks
// it as the package is read) that signs the uninstaller of `length`
// bytes with CRC-32 `crc`; nullopt when there is none.
[[nodiscard]] std::optional<StoredSignature> FindStoredSignature(std::string_view store,
                                                                uint32_t length, uint32_t crc);

// The store's bytes for `entries`, which must each be well-formed as
// DecodeSignatureStore requires.
[[nodiscard]] std::string EncodeSignatureStore(const std::vector<StoredSignature>& entries);

}  // namespace scrsetup
