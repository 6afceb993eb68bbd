#include "package/signature_store.h"

#include <gtest/gtest.h>

#include "fake/pe_image.h"
#include "package/crc32.h"

namespace scrsetup {
namespace {

using testing::GetLe32;
using testing::PeCertificateEntryOffset;
using testing::PeChecksumOffset;
using testing::PeImage;
using testing::PutLe32;

std::string Le32(uint32_t value) {
  std::string bytes(4, '\0');
  PutLe32(bytes, 0, value);
  return bytes;
}

std::string Entry(uint32_t length, uint32_t crc, uint32_t checksum, uint32_t table_size,
                  std::string_view table) {
  return Le32(length) + Le32(crc) + Le32(checksum) + Le32(table_size) + std::string(table);
}

TEST(SignatureStore, EncodesDecodesAndFindsEntries) {
  const std::string first(16, 'a'), second(4096, 'b');
  const std::vector<StoredSignature> entries = {{1000, 0x11111111, 0xAB, first},
                                                {2000, 0x22222222, 0xCD, second}};
  const std::string store = EncodeSignatureStore(entries);
  EXPECT_EQ(store.size(), 2 * 16 + first.size() + second.size());
  std::optional<std::vector<StoredSignature>> decoded = DecodeSignatureStore(store);
  ASSERT_TRUE(decoded);
  ASSERT_EQ(decoded->size(), 2u);
  EXPECT_EQ((*decoded)[1].signed_length, 2000u);
  EXPECT_EQ((*decoded)[1].checksum, 0xCDu);
  EXPECT_EQ((*decoded)[1].table, second);

  std::optional<StoredSignature> found = FindStoredSignature(store, 2000, 0x22222222);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->table, second);
  // Length and CRC must both match.
  EXPECT_FALSE(FindStoredSignature(store, 2000, 0x11111111));
  EXPECT_FALSE(FindStoredSignature(store, 1001, 0x11111111));
}

TEST(SignatureStore, AnEntryThatDoesNotFitIsADamagedStore) {
  const std::string table(8, 't');
  const struct {
    const char* name;
    std::string store;
  } cases[] = {
      {"empty", ""},
      {"header cut short", Entry(100, 1, 2, 8, table).substr(0, 15)},
      {"table runs past the end", Entry(100, 1, 2, 16, table)},
      {"table size near 4 GiB", Entry(100, 1, 2, 0xFFFFFFF8u, table)},
      {"bytes after the last entry", Entry(100, 1, 2, 8, table) + "x"},
      {"empty table", Entry(100, 1, 2, 0, "")},
      {"table not a multiple of 8", Entry(100, 1, 2, 7, table.substr(0, 7))},
      {"signed file over 4 GiB", Entry(0xFFFFFFF9u, 1, 2, 8, table)},
      {"store over its limit", Entry(100, 1, 2, 2u << 20, std::string(2u << 20, 't'))},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(DecodeSignatureStore(c.store)) << c.name;
    EXPECT_FALSE(FindStoredSignature(c.store, 100, 1)) << c.name;
  }
  EXPECT_TRUE(DecodeSignatureStore(Entry(100, 1, 2, 8, table)));
}

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

TEST(SignatureStore, TakesWhatSigningAdded) {
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

TEST(SignatureStore, RefusesASignedFileThatIsMoreThanTheFileAndATable) {
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
