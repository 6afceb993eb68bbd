#include "package/signed_file.h"

#include <gtest/gtest.h>

#include "fake/pe_image.h"
#include "package/crc32.h"

namespace scrsetup {
namespace {

using testing::PeCertificateEntryOffset;
using testing::PeChecksumOffset;
using testing::PeImage;
using testing::PutLe32;

// What a signing tool makes of `file`: checksum and certificate table entry
// set, zeros to a multiple of 8, the table.
std::string Signed(const std::string& file, const std::string& table, uint32_t checksum) {
  std::string result = file;
  const uint32_t offset = static_cast<uint32_t>(file.size() + CertificatePadding(file.size()));
  result.resize(offset, '\0');
  result += table;
  PutLe32(result, PeChecksumOffset(), checksum);
  PutLe32(result, PeCertificateEntryOffset(), offset);
  PutLe32(result, PeCertificateEntryOffset() + 4, static_cast<uint32_t>(table.size()));
  return result;
}

TEST(SignedFile, TakesWhatSigningAdded) {
  const std::string table = std::string("\x10\x00\x00\x00\x00\x02\x02\x00", 8) + "PKCS#7..";
  for (size_t size : {1024u, 1027u, 1031u}) {
    const std::string file = PeImage(0x10b, size);
    const std::string signed_file = Signed(file, table, 0x1234);
    std::string problem;
    std::optional<StoredSignature> taken = TakeSignature(file, signed_file, &problem);
    ASSERT_TRUE(taken) << size << ": " << problem;
    EXPECT_EQ(taken->signed_length, size);
    EXPECT_EQ(taken->signed_crc, Crc32(0, file.data(), file.size()));
    EXPECT_EQ(taken->checksum, 0x1234u);
    EXPECT_EQ(taken->table, table);
  }
}

TEST(SignedFile, RefusesASignedFileThatIsMoreThanTheFileAndATable) {
  const std::string file = PeImage(0x10b, 1027);
  const std::string table(16, 'c');
  const std::string good = Signed(file, table, 0x1234);
  auto changed = [&](size_t offset, char value) {
    std::string bytes = good;
    bytes[offset] = value;
    return bytes;
  };
  auto entry = [&](uint32_t offset, uint32_t size) {
    std::string bytes = good;
    PutLe32(bytes, PeCertificateEntryOffset(), offset);
    PutLe32(bytes, PeCertificateEntryOffset() + 4, size);
    return bytes;
  };
  const struct {
    const char* name;
    std::string unsigned_file, signed_file;
  } cases[] = {
      {"a byte of the header changed", file, changed(0x90, 'y')},
      {"a byte after the header changed", file, changed(1026, 'y')},
      {"padding that is not zero", file, changed(1028, '\1')},
      {"nothing appended", file, file},
      {"entry points elsewhere", file, entry(1024, 16 + 8)},
      {"entry gives another size", file, entry(1032, 8)},
      {"table not a multiple of 8", file, Signed(file, std::string(12, 'c'), 1)},
      {"signed file shorter", file, good.substr(0, 1000)},
      {"no PE header", std::string(1027, 'x'), good},
  };
  for (const auto& c : cases) {
    std::string problem;
    EXPECT_FALSE(TakeSignature(c.unsigned_file, c.signed_file, &problem)) << c.name;
    EXPECT_FALSE(problem.empty()) << c.name;
  }
}

}  // namespace
}  // namespace scrsetup
