// The parts of a Windows executable's header that a copied stub must not
// keep: the certificate table entry and the checksum.
//
// A signed SetupPackage carries its Authenticode signature after the end
// signature, and the stub's header points at it. An UninstallerPackage
// carries only the stub, so its header must not point past its own end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace scrsetup {

// How many leading bytes of a stub hold every header field cleared below.
inline constexpr size_t kPeHeaderSpan = 4096;

// Where the header fields of an Authenticode signature stand: the 4-byte
// checksum and the 8-byte certificate table entry (data directory 4: the
// table's file offset and size). The signature's hash covers every other
// byte of the file before the table.
struct SignatureFields {
  size_t checksum;     // offset of the checksum in the file
  size_t certificate;  // offset of the certificate table entry
};
inline constexpr size_t kPeChecksumSize = 4;
inline constexpr size_t kCertificateEntrySize = 8;

// The signature fields of the PE header found in `bytes` (the first `size`
// bytes of an executable); nullopt when they hold no complete PE32 or PE32+
// header with a certificate directory.
[[nodiscard]] std::optional<SignatureFields> FindSignatureFields(const unsigned char* bytes,
                                                                size_t size);

// Writes the checksum and the certificate table entry (`table_offset`,
// `table_size`) into the header in `bytes`; false, leaving the bytes
// unchanged, when FindSignatureFields finds none.
bool SetSignatureFields(unsigned char* bytes, size_t size, uint32_t checksum,
                        uint32_t table_offset, uint32_t table_size);

// Zeroes the certificate table entry and the checksum, as an unsigned file
// has them. Returns true when a header was found.
inline bool ClearSignatureFields(unsigned char* bytes, size_t size) {
  return SetSignatureFields(bytes, size, 0, 0, 0);
}

// The COFF header's Machine field: the processor the executable runs on.
inline constexpr uint16_t kPeMachineI386 = 0x14c;
inline constexpr uint16_t kPeMachineAmd64 = 0x8664;

// The Machine field of the PE header found in `bytes` (the first `size`
// bytes of an executable); nullopt when they hold no "MZ" header pointing
// at a complete "PE\0\0" signature and COFF header.
[[nodiscard]] std::optional<uint16_t> PeMachine(const unsigned char* bytes, size_t size);

}  // namespace scrsetup
