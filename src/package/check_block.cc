#include "package/check_block.h"

#include <algorithm>
#include <vector>

#include "package/crc32.h"
#include "package/package_reader.h"
#include "package/signature_store.h"

namespace scrsetup {
namespace {

constexpr int64_t kFieldHeaderSize = 4;
constexpr size_t kCrcSize = 4;
constexpr uint16_t kStoreFieldSize = 8;
// The room the scope field takes at most.
constexpr int64_t kScopeFieldRoom = kFieldHeaderSize + static_cast<int64_t>(kUserScopeText.size());

void Put16(std::string& out, uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void Put32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

uint32_t Get(std::string_view bytes, size_t offset, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + static_cast<size_t>(i)]);
  }
  return value;
}

bool HoldsSignature(std::string_view bytes) {
  return bytes.find(SetupSignature()) != std::string_view::npos ||
         bytes.find(UninstallerSignature()) != std::string_view::npos;
}

struct FactField {
  CheckFieldId id;
  std::string PackageFacts::*text;
  std::string_view name;
};

constexpr FactField kFactFields[] = {
    {CheckFieldId::kDisplayVersion, &PackageFacts::display_version, "the version"},
    {CheckFieldId::kPublisher, &PackageFacts::publisher, "the publisher"},
    {CheckFieldId::kHelpLink, &PackageFacts::help_link, "the help link"},
};

}  // namespace

std::optional<std::string> EncodeCheckBlock(const CheckBlock& block, std::string* problem) {
  std::string bytes(kCheckBlockTag);
  Put16(bytes, kCheckBlockFormat);
  Put16(bytes, 0);  // BlockSize, set below
  Put32(bytes, block.covered_length);
  Put32(bytes, block.payload_crc);
  Put32(bytes, block.tail_crc);
  const int64_t store_field = block.store_size != 0 ? kFieldHeaderSize + kStoreFieldSize : 0;
  for (const FactField& field : kFactFields) {
    const std::string& text = block.facts.*field.text;
    if (text.empty()) continue;
    if (HoldsSignature(text)) {
      if (problem) *problem = std::string(field.name) + " holds an end signature";
      return std::nullopt;
    }
    if (static_cast<int64_t>(bytes.size() + text.size()) + kFieldHeaderSize + kScopeFieldRoom +
            store_field + 4 >
        kMaxCheckBlockSize) {
      if (problem) *problem = "the version, publisher and help link together are too long";
      return std::nullopt;
    }
    Put16(bytes, static_cast<uint16_t>(field.id));
    Put16(bytes, static_cast<uint16_t>(text.size()));
    bytes += text;
  }
  // A machine-scope package's block is the one it was before scopes
  // existed: absence means machine.
  if (block.scope == InstallScope::kUser) {
    Put16(bytes, static_cast<uint16_t>(CheckFieldId::kInstallScope));
    Put16(bytes, static_cast<uint16_t>(kUserScopeText.size()));
    bytes += kUserScopeText;
  }
  if (block.store_size != 0) {
    Put16(bytes, static_cast<uint16_t>(CheckFieldId::kSignatureStore));
    Put16(bytes, kStoreFieldSize);
    Put32(bytes, block.store_size);
    Put32(bytes, block.store_crc);
  }
  const size_t size = bytes.size() + kCrcSize;
  bytes[10] = static_cast<char>(size & 0xFF);
  bytes[11] = static_cast<char>(size >> 8);
  Put32(bytes, Crc32(0, bytes.data(), bytes.size()));
  // A run of CRC bytes next to a text could still spell a signature.
  if (HoldsSignature(bytes)) {
    if (problem) *problem = "the version, publisher and help link spell an end signature";
    return std::nullopt;
  }
  return bytes;
}

CheckBlockRead DecodeCheckBlock(std::string_view after) {
  CheckBlockRead read;
  if (after.size() < kCheckBlockTag.size() + 2 || after.substr(0, kCheckBlockTag.size()) != kCheckBlockTag ||
      Get(after, 8, 2) != kCheckBlockFormat) {
    return read;  // absent, or a format this reader cannot check
  }
  read.state = CheckBlockState::kDamaged;
  if (after.size() < static_cast<size_t>(kMinCheckBlockSize)) return read;
  const size_t size = Get(after, 10, 2);
  if (size < static_cast<size_t>(kMinCheckBlockSize) || size > static_cast<size_t>(kMaxCheckBlockSize) ||
      size > after.size()) {
    return read;
  }
  std::string_view bytes = after.substr(0, size);
  if (Crc32(0, bytes.data(), size - kCrcSize) != Get(bytes, size - kCrcSize, 4)) return read;
  CheckBlock& block = read.block;
  block.covered_length = Get(bytes, 0x0c, 4);
  block.payload_crc = Get(bytes, 0x10, 4);
  block.tail_crc = Get(bytes, 0x14, 4);
  size_t offset = kCheckBlockFixedSize;
  const size_t fields_end = size - kCrcSize;
  while (offset < fields_end) {
    if (fields_end - offset < static_cast<size_t>(kFieldHeaderSize)) return read;
    const uint32_t id = Get(bytes, offset, 2), length = Get(bytes, offset + 2, 2);
    offset += kFieldHeaderSize;
    if (length > fields_end - offset) return read;
    const std::string_view text = bytes.substr(offset, length);
    for (const FactField& field : kFactFields) {
      if (static_cast<uint32_t>(field.id) == id) block.facts.*field.text = std::string(text);
    }
    if (id == static_cast<uint32_t>(CheckFieldId::kInstallScope)) {
      const std::optional<InstallScope> scope = ScopeNamed(text);
      if (!scope) return read;
      block.scope = *scope;
    }
    if (id == static_cast<uint32_t>(CheckFieldId::kSignatureStore)) {
      if (length != kStoreFieldSize) return read;
      block.store_size = Get(bytes, offset, 4);
      block.store_crc = Get(bytes, offset + 4, 4);
    }
    offset += length;
  }
  read.state = CheckBlockState::kPresent;
  read.block_size = static_cast<int64_t>(size);
  return read;
}

CheckBlockRead ReadCheckBlock(File& file, int64_t package_end, const SetupRecord& record) {
  const int64_t size = file.Size();
  CheckBlockRead damaged;
  damaged.state = CheckBlockState::kDamaged;
  if (size < package_end) return damaged;
  const int64_t available = std::min(size - package_end, kMaxCheckBlockSize);
  std::string after(static_cast<size_t>(available), '\0');
  if (!ReadExactly(file, package_end, after.data(), available)) return damaged;
  CheckBlockRead read = DecodeCheckBlock(after);
  if (read.state != CheckBlockState::kPresent) return read;
  if (int64_t{read.block.covered_length} != int64_t{record.PayloadSize} - kSignatureSize) {
    return damaged;
  }
  if (read.block.store_size != 0) {
    if (read.block.store_size > kMaxSignatureStoreSize) return damaged;
    std::optional<std::string> store =
        ReadBlock(file, package_end + read.block_size, read.block.store_size);
    if (!store || Crc32(0, store->data(), store->size()) != read.block.store_crc ||
        !IsSignatureStore(*store)) {
      return damaged;
    }
    read.signature_store = std::move(*store);
  }
  return read;
}

std::optional<uint32_t> RangeCrc(File& file, int64_t offset, int64_t count) {
  if (count < 0) return std::nullopt;
  std::vector<char> buffer(static_cast<size_t>(std::clamp<int64_t>(count, 1, 1 << 16)));
  uint32_t crc = 0;
  while (count > 0) {
    const int64_t part = std::min<int64_t>(count, static_cast<int64_t>(buffer.size()));
    if (!ReadExactly(file, offset, buffer.data(), part)) return std::nullopt;
    crc = Crc32(crc, buffer.data(), static_cast<size_t>(part));
    offset += part;
    count -= part;
  }
  return crc;
}

std::optional<uint32_t> TailCrc(File& file, int64_t package_end, const SetupRecord& record) {
  return RangeCrc(file, ExtrasStart(package_end, record), int64_t{record.ExtrasSize} + kRecordSize);
}

}  // namespace scrsetup
