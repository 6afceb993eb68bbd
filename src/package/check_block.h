// The check block: what a SetupPackage carries to check its own bytes, and
// the optional facts about the screensaver that the uninstall entry shows.
//
// It stands directly after the end signature, so a reader that does not
// know it sees only bytes after the signature, which it already skips. An
// Authenticode signature added later goes after the block (with the padding
// the signing tool adds), so the block is read at PackageEnd, never at the
// end of the file. An UninstallerPackage carries none.
//
//   ... | SetupRecord | "Vornex.sig" | check block | signature store | (padding, certificate)
//                                     ^ PackageEnd  ^ PackageEnd + BlockSize
//
//   0x00  char[8]   Tag            "SCRcheck"
//   0x08  uint16    FormatVersion  1; raised only when the fixed fields
//                                  change meaning (new facts are new fields)
//   0x0a  uint16    BlockSize      bytes from Tag to BlockCrc inclusive,
//                                  kMinBlockSize to kMaxBlockSize
//   0x0c  uint32    CoveredLength  bytes covered: payload, extra blocks and
//                                  record, which end where the signature
//                                  starts (PayloadSize - 10)
//   0x10  uint32    PayloadCrc     CRC-32 of the payload
//   0x14  uint32    TailCrc        CRC-32 of the extra blocks and the record
//                                  as stored in the file
//   0x18  fields    { uint16 Id, uint16 Length, Length bytes } ...
//   end-4 uint32    BlockCrc       CRC-32 of every byte of the block before it
//
// Integers are little-endian; CRC-32 is zlib's (polynomial 0xEDB88320,
// reflected, initial and final value 0xFFFFFFFF). A field's text is in the
// package's code page, without NUL. Ids: 1 DisplayVersion, 2 Publisher,
// 3 HelpLink, 4 InstallScope ("user" or "machine"; absent means machine),
// 5 SignatureStore, 8 bytes: uint32 StoreSize, uint32 StoreCrc, the size
// and CRC-32 of the signature store that follows the block directly
// (signature_store.h), so the block covers the store too. A reader skips
// ids it does not know, and a later id for the same fact replaces the
// earlier one. No byte run of the block may equal an
// end signature (the writer refuses such texts), so the signature nearest
// the end of the file stays the package's own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "package/setup_record.h"
#include "platform/file_system.h"

namespace scrsetup {

inline constexpr std::string_view kCheckBlockTag = "SCRcheck";
inline constexpr uint16_t kCheckBlockFormat = 1;
inline constexpr int64_t kCheckBlockFixedSize = 0x18;
inline constexpr int64_t kMinCheckBlockSize = kCheckBlockFixedSize + 4;
inline constexpr int64_t kMaxCheckBlockSize = 4096;

enum class CheckFieldId : uint16_t {
  kDisplayVersion = 1,
  kPublisher = 2,
  kHelpLink = 3,
  kInstallScope = 4,
  kSignatureStore = 5,
};

// Who the package installs for. A machine-scope package installs for every
// user where this user may write the machine's places, and for this user
// alone where not; a user-scope package always for this user alone.
enum class InstallScope : uint8_t { kMachine, kUser };

// The InstallScope field's texts.
inline constexpr std::string_view kMachineScopeText = "machine";
inline constexpr std::string_view kUserScopeText = "user";

inline constexpr std::string_view ScopeText(InstallScope scope) {
  return scope == InstallScope::kUser ? kUserScopeText : kMachineScopeText;
}

// The scope `text` names ("user" or "machine", exactly); nullopt for any
// other text.
inline constexpr std::optional<InstallScope> ScopeNamed(std::string_view text) {
  if (text == kUserScopeText) return InstallScope::kUser;
  if (text == kMachineScopeText) return InstallScope::kMachine;
  return std::nullopt;
}

// The facts about the screensaver a package may carry; empty when absent.
struct PackageFacts {
  std::string display_version;
  std::string publisher;
  std::string help_link;
};

struct CheckBlock {
  uint32_t covered_length = 0;
  uint32_t payload_crc = 0;
  uint32_t tail_crc = 0;
  PackageFacts facts;
  InstallScope scope = InstallScope::kMachine;
  // The signature store after the block; none when store_size is 0.
  uint32_t store_size = 0;
  uint32_t store_crc = 0;
};

// What stands after the end signature.
enum class CheckBlockState {
  kAbsent,   // no block (or one of a format this reader does not know)
  kDamaged,  // a block whose own bytes are damaged or do not fit the package
  kPresent,
};

struct CheckBlockRead {
  CheckBlockState state = CheckBlockState::kAbsent;
  CheckBlock block;
  int64_t block_size = 0;       // BlockSize, when present
  std::string signature_store;  // the store's bytes, checked, when present
};

// The block's bytes for `block`: fields only for facts that are not empty,
// and the scope field only for a user-scope package.
// nullopt when the block would exceed kMaxCheckBlockSize or a text holds an
// end signature (names the fact in `problem`).
[[nodiscard]] std::optional<std::string> EncodeCheckBlock(const CheckBlock& block,
                                                          std::string* problem);

// Parses the block from the bytes that follow the end signature (at most
// kMaxCheckBlockSize of them are looked at). A scope field holding neither
// "user" nor "machine" makes the block damaged.
[[nodiscard]] CheckBlockRead DecodeCheckBlock(std::string_view after_signature);

// Reads and parses the block after the setup package ending at
// `package_end`, and the signature store after it when the block names one;
// kDamaged also when its CoveredLength is not the one the record gives
// (PayloadSize - 10), when the store does not match its size and CRC or
// its entries do not fill it (signature_store.h), or a read fails.
[[nodiscard]] CheckBlockRead ReadCheckBlock(File& file, int64_t package_end,
                                            const SetupRecord& record);

// The CRC-32 of `count` bytes of `file` from `offset`, read through a
// bounded buffer; nullopt when a read fails or the range leaves the file.
[[nodiscard]] std::optional<uint32_t> RangeCrc(File& file, int64_t offset, int64_t count);

// The CRC-32 of the extra blocks and the record as the file holds them;
// nullopt when a read fails.
[[nodiscard]] std::optional<uint32_t> TailCrc(File& file, int64_t package_end,
                                              const SetupRecord& record);

}  // namespace scrsetup
