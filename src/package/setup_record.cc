#include "package/setup_record.h"

#include <algorithm>
#include <cstring>

namespace scrsetup {

std::string CountedText(const CountedString& field) {
  size_t length = std::min<size_t>(field.length, CountedString::kCapacity);
  return std::string(field.text, length);
}

bool SetCountedText(CountedString& field, std::string_view text) {
  if (text.size() > CountedString::kCapacity) return false;
  field.length = static_cast<uint8_t>(text.size());
  std::memset(field.text, 0, sizeof(field.text));
  std::memcpy(field.text, text.data(), text.size());
  return true;
}

SetupRecord EmptyRecord() {
  SetupRecord record;
  std::memset(&record, 0, sizeof(record));
  SetFieldText(record.RecordSignature, kRecordSignature, true);
  return record;
}

}  // namespace scrsetup
