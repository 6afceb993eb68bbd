#include "package/package_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "package/crc32.h"
#include "package/pe_header.h"
#include "package/signature_store.h"

namespace scrsetup {
namespace {

constexpr int64_t kScanBlock = 1 << 20;
constexpr int64_t kCopyBlock = 1 << 16;

bool IsSignature(const char* bytes, std::string_view signature) {
  return std::memcmp(bytes, signature.data(), kSignatureSize) == 0;
}

}  // namespace

bool ReadExactly(File& file, int64_t offset, void* buffer, int64_t count) {
  int64_t size = file.Size();
  if (offset < 0 || count < 0 || size < 0 || offset > size || count > size - offset) return false;
  if (!file.Seek(offset)) return false;
  auto* out = static_cast<char*>(buffer);
  while (count > 0) {
    int64_t got = file.Read(out, count);
    if (got <= 0) return false;
    out += got;
    count -= got;
  }
  return true;
}

std::optional<PackageLocation> LocatePackage(File& file) {
  int64_t size = file.Size();
  if (size < kSignatureSize) return std::nullopt;
  // Each block covers the windows ending at `end` down to `begin`; it
  // carries the 9 bytes before `begin` so no window is split.
  std::vector<char> buffer(static_cast<size_t>(std::min(size, kScanBlock + kSignatureSize - 1)));
  const std::string_view setup = SetupSignature(), uninstaller = UninstallerSignature();
  int64_t last_end = size;  // highest PackageEnd still untested
  while (last_end >= kSignatureSize) {
    int64_t first_end = std::max(kSignatureSize, last_end - kScanBlock + 1);
    int64_t read_from = first_end - kSignatureSize;
    int64_t length = last_end - read_from;
    if (!ReadExactly(file, read_from, buffer.data(), length)) return std::nullopt;
    // Both signatures end in the same byte: memchr finds its places, and the
    // last match in the block is the one nearest the end of the file.
    std::optional<PackageLocation> nearest;
    const char* const begin = buffer.data() + (first_end - 1 - read_from);
    const char* const limit = buffer.data() + length;
    for (const char* last = begin; last < limit; ++last) {
      last = static_cast<const char*>(std::memchr(last, setup.back(), limit - last));
      if (!last) break;
      const char* window = last + 1 - kSignatureSize;
      const int64_t end = read_from + (last + 1 - buffer.data());
      if (IsSignature(window, setup)) nearest = PackageLocation{end, PackageKind::kSetup};
      if (IsSignature(window, uninstaller)) nearest = PackageLocation{end, PackageKind::kUninstaller};
    }
    if (nearest) return nearest;
    last_end = first_end - 1;
  }
  return std::nullopt;
}

std::optional<std::string> ReadBlock(File& file, int64_t offset, int64_t size) {
  if (size < 0) return std::nullopt;
  if (size == 0) return std::string();
  int64_t file_size = file.Size();
  if (offset < 0 || file_size < 0 || offset > file_size || size > file_size - offset) {
    return std::nullopt;
  }
  if (size > kMaxBlockSize) return std::nullopt;
  std::string block(static_cast<size_t>(size), '\0');
  if (!ReadExactly(file, offset, block.data(), size)) return std::nullopt;
  return block;
}

bool ReadRecord(File& file, int64_t package_end, SetupRecord& record) {
  return ReadExactly(file, RecordStart(package_end), &record, kRecordSize);
}

std::optional<std::string> ReadLanguageText(File& file, int64_t package_end,
                                            const SetupRecord& record) {
  int64_t offset = ExtrasStart(package_end, record) + int64_t{record.ReadmeSize} +
                   int64_t{record.LicenseSize};
  return ReadBlock(file, offset, record.LanguageSize);
}

std::optional<SetupTexts> ReadSetupTexts(File& file, int64_t package_end,
                                         const SetupRecord& record) {
  SetupTexts texts;
  int64_t offset = ExtrasStart(package_end, record);
  if (record.ReadmeSize > 0) {
    texts.readme = ReadBlock(file, offset, record.ReadmeSize);
    if (!texts.readme) return std::nullopt;
    offset += record.ReadmeSize;
  }
  if (LicenseModeEnabled(record) && record.LicenseSize > 0) {
    texts.license = ReadBlock(file, offset, record.LicenseSize);
    if (!texts.license) return std::nullopt;
  }
  return texts;
}

bool CopyRange(File& source, int64_t offset, int64_t count, File& target, uint32_t* crc) {
  if (count < 0 || !source.Seek(offset)) return false;
  std::vector<char> buffer(static_cast<size_t>(std::min(std::max<int64_t>(count, 1), kCopyBlock)));
  while (count > 0) {
    int64_t want = std::min<int64_t>(count, static_cast<int64_t>(buffer.size()));
    int64_t got = source.Read(buffer.data(), want);
    if (got != want) return false;
    if (target.Write(buffer.data(), got) != got) return false;
    if (crc) *crc = Crc32(*crc, buffer.data(), static_cast<size_t>(got));
    count -= got;
  }
  return true;
}

namespace {

// Writes `count` bytes and extends `crc` by them.
bool WriteCounted(File& target, const void* data, int64_t count, uint32_t& crc) {
  crc = Crc32(crc, data, static_cast<size_t>(count));
  return target.Write(data, count) == count;
}

}  // namespace

bool WriteUninstallerPackage(File& source, int64_t package_end, const SetupRecord& record,
                             File& target, std::string_view signature_store) {
  // The stub's header goes through ClearSignatureFields: a signed package's
  // certificate lies beyond the uninstaller's end.
  const int64_t stub_length = StubLength(package_end, record);
  const int64_t header_length = std::clamp<int64_t>(stub_length, 0, kPeHeaderSpan);
  unsigned char header[kPeHeaderSpan];
  if (!ReadExactly(source, 0, header, header_length)) return false;
  ClearSignatureFields(header, static_cast<size_t>(header_length));
  uint32_t crc = 0;
  if (!WriteCounted(target, header, header_length, crc) ||
      !CopyRange(source, header_length, stub_length - header_length, target, &crc)) {
    return false;
  }
  if (record.ExtrasSize != 0 &&
      !CopyRange(source, ExtrasStart(package_end, record), record.ExtrasSize, target, &crc)) {
    return false;
  }
  if (!WriteCounted(target, &record, kRecordSize, crc) ||
      !WriteCounted(target, UninstallerSignature().data(), kSignatureSize, crc)) {
    return false;
  }
  // The CRC and length of what was written pick the stored signature.
  const auto length = static_cast<uint32_t>(stub_length + record.ExtrasSize + kTailSize);
  const std::optional<StoredSignature> signature =
      FindStoredSignature(signature_store, length, crc);
  const uint32_t padding = CertificatePadding(length);
  const auto table_size = static_cast<uint32_t>(signature ? signature->table.size() : 0);
  if (!signature || !SetSignatureFields(header, static_cast<size_t>(header_length),
                                        signature->checksum, length + padding, table_size)) {
    return true;
  }
  const char zeros[kCertificateAlignment] = {};
  return target.Write(zeros, padding) == padding &&
         target.Write(signature->table.data(), table_size) == table_size && target.Seek(0) &&
         target.Write(header, header_length) == header_length;
}

}  // namespace scrsetup
