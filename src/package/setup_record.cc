#include "package/setup_record.h"

#include <algorithm>
#include <cstring>

namespace scrsetup {
namespace {

// Each byte one above the signature's; volatile so that the compiler cannot
// fold the restored text back into the program's data.
const volatile char kShiftedSetupSignature[] = "Wpsofy/tjh";
const volatile char kShiftedUninstallerSignature[] = "TdVojo/tjh";

std::string_view Restore(const volatile char (&shifted)[kSignatureSize + 1],
                         char (&restored)[kSignatureSize]) {
  if (restored[0] == '\0') {
    for (int64_t i = 0; i < kSignatureSize; ++i) restored[i] = static_cast<char>(shifted[i] - 1);
  }
  return std::string_view(restored, kSignatureSize);
}

}  // namespace

std::string_view SetupSignature() {
  static char restored[kSignatureSize];
  return Restore(kShiftedSetupSignature, restored);
}

std::string_view UninstallerSignature() {
  static char restored[kSignatureSize];
  return Restore(kShiftedUninstallerSignature, restored);
}

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
