// Finding and reading a package inside a file: the end signature, the
// record, and the text blocks. Pure reading over an open File; what a
// failure means is decided by the caller.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "package/setup_record.h"
#include "platform/file_system.h"

namespace scrsetup {

enum class PackageKind {
  kSetup,        // ends in "Vornex.sig"
  kUninstaller,  // ends in "ScUnin.sig"
};

struct PackageLocation {
  int64_t PackageEnd = 0;  // offset just past the end signature
  PackageKind kind = PackageKind::kSetup;
};

// Finds the end signature nearest the end of the file, testing both
// signatures at every position from the last 10 bytes back to offset 0.
// Reads backwards in large blocks and looks only where the signatures' last
// byte stands, so bytes appended after the signature cost about one read. nullopt when neither signature occurs.
[[nodiscard]] std::optional<PackageLocation> LocatePackage(File& file);

// Reads exactly `count` bytes at `offset`. False when the read would start
// before 0 or end past the end of the file, or returns fewer bytes.
[[nodiscard]] bool ReadExactly(File& file, int64_t offset, void* buffer, int64_t count);

// The largest block ReadBlock takes into memory: 64 MiB. The program holds a
// block and copies of it (the window's text) at once, and a 32-bit process
// has 2 GiB; an allocation that fails would end the program, as it has no
// exceptions, so a larger block counts as memory that cannot be obtained.
inline constexpr int64_t kMaxBlockSize = int64_t{64} << 20;

// Reads a block of `size` bytes at `offset` (empty for size 0); nullopt when
// the size is negative or over kMaxBlockSize, or the read fails as for
// ReadExactly. The sizes are checked against the file before any memory is
// taken.
[[nodiscard]] std::optional<std::string> ReadBlock(File& file, int64_t offset, int64_t size);

// Reads the record of the package that ends at `package_end`.
[[nodiscard]] bool ReadRecord(File& file, int64_t package_end, SetupRecord& record);

// The language block of the package (empty when LanguageSize is 0); nullopt
// when LanguageSize is negative or the block lies outside the file.
[[nodiscard]]
std::optional<std::string> ReadLanguageText(File& file, int64_t package_end,
                                            const SetupRecord& record);

// The readme and licence texts of a setup package: each present only when
// its block is in use (ReadmeSize > 0; licence mode 1 to 3 and
// LicenseSize > 0).
struct SetupTexts {
  std::optional<std::string> readme;
  std::optional<std::string> license;
};
[[nodiscard]]
std::optional<SetupTexts> ReadSetupTexts(File& file, int64_t package_end,
                                         const SetupRecord& record);

// Copies `count` bytes from `source` at `offset` to the end of `target`
// through a bounded buffer, extending `*crc` (when given) by them; false on
// any short read or write.
[[nodiscard]] bool CopyRange(File& source, int64_t offset, int64_t count, File& target,
                             uint32_t* crc = nullptr);

// Writes an UninstallerPackage into `target` (opened empty) from the running
// SetupPackage `source`: its Stub with the checksum and certificate table
// entry cleared, its extra blocks, `record` as held in memory and the
// uninstaller signature. When `signature_store` (signature_store.h) holds
// an entry for exactly the bytes written, their length and CRC-32 taken as
// they pass, the entry's padding and table follow and the header gets its
// checksum and certificate table entry: a signed uninstaller. False on any
// short read or write.
[[nodiscard]]
bool WriteUninstallerPackage(File& source, int64_t package_end, const SetupRecord& record,
                             File& target, std::string_view signature_store = {});

}  // namespace scrsetup
