#include "package/signature_store.h"

#include <gtest/gtest.h>

#include "fake/pe_image.h"

namespace scrsetup {
namespace {

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
    EXPECT_FALSE(IsSignatureStore(c.store)) << c.name;
  }
  EXPECT_TRUE(DecodeSignatureStore(Entry(100, 1, 2, 8, table)));
}

}  // namespace
}  // namespace scrsetup
