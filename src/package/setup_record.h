// The package formats and the setup record.
//
// A SetupPackage is the installer program with everything it installs
// appended; an UninstallerPackage is the same program carrying only the
// texts and the record. Every position is counted back from PackageEnd, the
// offset just past the end signature (normally the file size; bytes appended
// after the signature, such as an Authenticode signature, are skipped).
//
//   SetupPackage                         UninstallerPackage
//   +-----------------------------+      +-----------------------------+
//   | Stub (the installer)        |      | Stub (same bytes)           |
//   +-----------------------------+      +-----------------------------+ <- PackageEnd - PayloadSize
//   | ScreensaverPayload          |      |                             |    (setup package only)
//   +-----------------------------+      |                             |
//   | readme block   ReadmeSize   |      | readme block                | <- extras start
//   | licence block  LicenseSize  |      | licence block               |    = record start - ExtrasSize
//   | language block LanguageSize |      | language block              |
//   +-----------------------------+      +-----------------------------+
//   | SetupRecord (936 bytes)     |      | SetupRecord (936 bytes)     | <- record start = PackageEnd - 946
//   +-----------------------------+      +-----------------------------+
//   | "Vornex.sig" (10 bytes)     |      | "ScUnin.sig" (10 bytes)     |
//   +-----------------------------+      +-----------------------------+ <- PackageEnd
//
//   PayloadSize = bytes from the end of the Stub to PackageEnd
//   payload length = PayloadSize - ExtrasSize - 946
//   ExtrasSize = ReadmeSize + LicenseSize + LanguageSize
//
// SetupRecord, 936 bytes, little-endian, packed:
//
//   0x000  int32      PayloadSize
//   0x004  char[256]  ScreensaverFile    file name, may carry a folder part
//   0x104  char[32]   Title              display name
//   0x124  char[102]  WebAddress         link label text and address
//   0x18a  bool       AddUninstallEntry
//   0x18b  bool       CreateProgramGroup
//   0x18c  bool       CreateDesktopShortcut
//   0x18d  3 reserved
//   0x190  int32      ExtrasSize
//   0x194  int32      ReadmeSize         <= 0: no readme
//   0x198  int32      LicenseSize        <= 0: no licence
//   0x19c  int32      LanguageSize       0: no language table
//   0x1a0  1 reserved
//   0x1a1  cstr[250]  DefaultFolder      length byte + 250 characters
//   0x29c  cstr[250]  DefaultSubfolder
//   0x397  bool       SkipFolderPage
//   0x398  char[11]   RecordSignature    "SCRSet.sig" and a NUL
//   0x3a3  uint8      LicenseMode        1, 2, 3: licence page in use
//   0x3a4  4 reserved
//
// char[N] fields hold text up to their first NUL, or all N bytes without one.
// Reserved bytes are kept as read, so a copied record is byte-identical.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace scrsetup {

static_assert(std::endian::native == std::endian::little,
              "the record is read and written in the host's byte order");

// The end signatures "Vornex.sig" (setup package) and "ScUnin.sig"
// (uninstaller). The program restores them from shifted bytes when first
// asked, so its own file never holds them as plain text and a stub without a
// package is never taken for one.
std::string_view SetupSignature();
std::string_view UninstallerSignature();
inline constexpr std::string_view kRecordSignature = "SCRSet.sig";
inline constexpr int64_t kSignatureSize = 10;
inline constexpr int64_t kRecordSize = 936;
// Record and end signature together: record start = PackageEnd - kTailSize.
inline constexpr int64_t kTailSize = kRecordSize + kSignatureSize;

// A length byte followed by up to 250 characters.
struct CountedString {
  static constexpr size_t kCapacity = 250;
  uint8_t length;
  char text[kCapacity];
};

#pragma pack(push, 1)
struct SetupRecord {
  int32_t PayloadSize;
  char ScreensaverFile[256];
  char Title[32];
  char WebAddress[102];
  uint8_t AddUninstallEntry;
  uint8_t CreateProgramGroup;
  uint8_t CreateDesktopShortcut;
  uint8_t reserved_alignment[3];
  int32_t ExtrasSize;
  int32_t ReadmeSize;
  int32_t LicenseSize;
  int32_t LanguageSize;
  uint8_t reserved_1a0;
  CountedString DefaultFolder;
  CountedString DefaultSubfolder;
  uint8_t SkipFolderPage;
  char RecordSignature[11];
  uint8_t LicenseMode;
  uint8_t reserved_tail[4];
};
#pragma pack(pop)

static_assert(sizeof(CountedString) == 251);
static_assert(sizeof(SetupRecord) == kRecordSize);
static_assert(offsetof(SetupRecord, ScreensaverFile) == 0x004);
static_assert(offsetof(SetupRecord, Title) == 0x104);
static_assert(offsetof(SetupRecord, WebAddress) == 0x124);
static_assert(offsetof(SetupRecord, AddUninstallEntry) == 0x18a);
static_assert(offsetof(SetupRecord, CreateProgramGroup) == 0x18b);
static_assert(offsetof(SetupRecord, CreateDesktopShortcut) == 0x18c);
static_assert(offsetof(SetupRecord, ExtrasSize) == 0x190);
static_assert(offsetof(SetupRecord, ReadmeSize) == 0x194);
static_assert(offsetof(SetupRecord, LicenseSize) == 0x198);
static_assert(offsetof(SetupRecord, LanguageSize) == 0x19c);
static_assert(offsetof(SetupRecord, DefaultFolder) == 0x1a1);
static_assert(offsetof(SetupRecord, DefaultSubfolder) == 0x29c);
static_assert(offsetof(SetupRecord, SkipFolderPage) == 0x397);
static_assert(offsetof(SetupRecord, RecordSignature) == 0x398);
static_assert(offsetof(SetupRecord, LicenseMode) == 0x3a3);

// The text of a char[N] field: up to its first NUL, or all N bytes.
template <size_t N>
std::string FieldText(const char (&field)[N]) {
  size_t length = 0;
  while (length < N && field[length] != '\0') ++length;
  return std::string(field, length);
}

// Stores `text` into a char[N] field and zeroes the rest. Returns false,
// leaving the field unchanged, when the text does not fit; `needs_nul`
// demands room for a terminating NUL.
template <size_t N>
bool SetFieldText(char (&field)[N], std::string_view text, bool needs_nul) {
  if (text.size() > (needs_nul ? N - 1 : N)) return false;
  for (size_t i = 0; i < N; ++i) field[i] = i < text.size() ? text[i] : '\0';
  return true;
}

// The value of a counted string. A length byte over 250 is taken as 250.
std::string CountedText(const CountedString& field);
// Stores `text` (at most 250 characters) and zeroes the rest; false when it is longer.
bool SetCountedText(CountedString& field, std::string_view text);

// A record with every byte zero except RecordSignature.
SetupRecord EmptyRecord();

// Whether LicenseMode turns the licence page on (1, 2 or 3).
inline bool LicenseModeEnabled(const SetupRecord& record) {
  return record.LicenseMode >= 1 && record.LicenseMode <= 3;
}

// Positions inside a package, from PackageEnd and the record.
inline int64_t RecordStart(int64_t package_end) { return package_end - kTailSize; }
inline int64_t ExtrasStart(int64_t package_end, const SetupRecord& record) {
  return RecordStart(package_end) - record.ExtrasSize;
}
inline int64_t StubLength(int64_t package_end, const SetupRecord& record) {
  return package_end - record.PayloadSize;
}
// The payload's length, computed in 32 bits as the installer always has.
inline int64_t PayloadLength(const SetupRecord& record) {
  return static_cast<int32_t>(static_cast<uint32_t>(record.PayloadSize) -
                              static_cast<uint32_t>(record.ExtrasSize) - 946u);
}

}  // namespace scrsetup
