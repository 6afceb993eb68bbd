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

// Zeroes the certificate table entry (data directory 4) and the checksum in
// the PE header found in `bytes` (the first `size` bytes of an executable).
// Leaves the bytes unchanged when they hold no complete PE32 or PE32+
// header. Returns true when a header was found.
bool ClearSignatureFields(unsigned char* bytes, size_t size);

// The COFF header's Machine field: the processor the executable runs on.
inline constexpr uint16_t kPeMachineI386 = 0x14c;
inline constexpr uint16_t kPeMachineAmd64 = 0x8664;

// The Machine field of the PE header found in `bytes` (the first `size`
// bytes of an executable); nullopt when they hold no "MZ" header pointing
// at a complete "PE\0\0" signature and COFF header.
[[nodiscard]] std::optional<uint16_t> PeMachine(const unsigned char* bytes, size_t size);

}  // namespace scrsetup
