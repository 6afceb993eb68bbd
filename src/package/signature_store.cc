#include "package/signature_store.h"

#include <algorithm>
#include <limits>


namespace scrsetup {
namespace {

constexpr size_t kHeaderSize = sizeof(StoredSignatureHeader);

uint32_t Read32(std::string_view bytes, size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + static_cast<size_t>(i)]);
  }
  return value;
}

void Put32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

}  // namespace

namespace {

// The entry at `offset` of a store no larger than the limit, with `offset`
// moved past it; nullopt when it does not fit.
std::optional<StoredSignature> EntryAt(std::string_view store, size_t& offset) {
  if (store.size() - offset < kHeaderSize) return std::nullopt;
  StoredSignature entry{Read32(store, offset), Read32(store, offset + 4), Read32(store, offset + 8),
                        {}};
  const uint32_t table_size = Read32(store, offset + 12);
  offset += kHeaderSize;
  const uint64_t signed_end =
      uint64_t{entry.signed_length} + CertificatePadding(entry.signed_length) + table_size;
  if (table_size == 0 || table_size % kCertificateAlignment != 0 ||
      table_size > store.size() - offset || signed_end > std::numeric_limits<uint32_t>::max()) {
    return std::nullopt;
  }
  entry.table = store.substr(offset, table_size);
  offset += table_size;
  return entry;
}

bool SizeFits(std::string_view store) {
  return !store.empty() && static_cast<int64_t>(store.size()) <= kMaxSignatureStoreSize;
}

}  // namespace

bool IsSignatureStore(std::string_view store) {
  if (!SizeFits(store)) return false;
  for (size_t offset = 0; offset < store.size();) {
    if (!EntryAt(store, offset)) return false;
  }
  return true;
}

std::optional<std::vector<StoredSignature>> DecodeSignatureStore(std::string_view store) {
  if (!IsSignatureStore(store)) return std::nullopt;
  std::vector<StoredSignature> entries;
  for (size_t offset = 0; offset < store.size();) entries.push_back(*EntryAt(store, offset));
  return entries;
}

std::optional<StoredSignature> FindStoredSignature(std::string_view store, uint32_t length,
                                                   uint32_t crc) {
  if (!SizeFits(store)) return std::nullopt;
  for (size_t offset = 0; offset < store.size();) {
    std::optional<StoredSignature> entry = EntryAt(store, offset);
    if (!entry) return std::nullopt;
    if (entry->signed_length == length && entry->signed_crc == crc) return entry;
  }
  return std::nullopt;
}

std::string EncodeSignatureStore(const std::vector<StoredSignature>& entries) {
  std::string store;
  for (const StoredSignature& entry : entries) {
    Put32(store, entry.signed_length);
    Put32(store, entry.signed_crc);
    Put32(store, entry.checksum);
    Put32(store, static_cast<uint32_t>(entry.table.size()));
    store += entry.table;
  }
  return store;
}

}  // namespace scrsetup
