#include "package/signed_file.h"

#include <algorithm>
#include <limits>

#include "package/crc32.h"
#include "package/pe_header.h"

namespace scrsetup {
namespace {

uint32_t Read32(std::string_view bytes, size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + static_cast<size_t>(i)]);
  }
  return value;
}

void Fail(std::string* problem, std::string text) {
  if (problem) *problem = std::move(text);
}

}  // namespace

std::optional<StoredSignature> TakeSignature(std::string_view unsigned_file,
                                             std::string_view signed_file, std::string* problem) {
  const auto* header = reinterpret_cast<const unsigned char*>(unsigned_file.data());
  const std::optional<SignatureFields> fields = FindSignatureFields(
      header, std::min(unsigned_file.size(), kPeHeaderSpan));
  if (!fields) {
    Fail(problem, "the file to sign has no PE header with a certificate table entry");
    return std::nullopt;
  }
  if (unsigned_file.size() > std::numeric_limits<uint32_t>::max() - kCertificateAlignment) {
    Fail(problem, "the file to sign is too large for a certificate table");
    return std::nullopt;
  }
  const auto length = static_cast<uint32_t>(unsigned_file.size());
  const uint32_t table_offset = length + CertificatePadding(length);
  if (signed_file.size() <= table_offset) {
    Fail(problem, "signing appended no certificate table");
    return std::nullopt;
  }
  // Every byte the signature's hash covers must be as it was.
  const struct {
    size_t begin, end;
  } kept[] = {{0, fields->checksum},
              {fields->checksum + kPeChecksumSize, fields->certificate},
              {fields->certificate + kCertificateEntrySize, length}};
  for (const auto& range : kept) {
    if (signed_file.substr(range.begin, range.end - range.begin) !=
        unsigned_file.substr(range.begin, range.end - range.begin)) {
      Fail(problem, "signing changed more than the checksum, the certificate table entry and "
                    "what follows the file");
      return std::nullopt;
    }
  }
  if (signed_file.substr(length, table_offset - length).find_first_not_of('\0') !=
      std::string_view::npos) {
    Fail(problem, "signing wrote something other than zeros before the certificate table");
    return std::nullopt;
  }
  const uint64_t table_size = signed_file.size() - table_offset;
  if (Read32(signed_file, fields->certificate) != table_offset ||
      Read32(signed_file, fields->certificate + 4) != table_size ||
      table_size % kCertificateAlignment != 0 ||
      table_offset + table_size > std::numeric_limits<uint32_t>::max()) {
    Fail(problem, "the certificate table entry does not point at one aligned table at the end "
                  "of the signed file");
    return std::nullopt;
  }
  return StoredSignature{length, Crc32(0, unsigned_file.data(), unsigned_file.size()),
                         Read32(signed_file, fields->checksum), signed_file.substr(table_offset)};
}

}  // namespace scrsetup
