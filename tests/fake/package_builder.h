// Builds package bytes in memory for tests: a stub, a payload, the three
// text blocks, a record and an end signature, laid out as the installer
// expects them.
#pragma once

#include <string>
#include <string_view>

#include "package/check_block.h"
#include "package/crc32.h"
#include "package/setup_record.h"

namespace scrsetup::testing {

struct PackageBuilder {
  std::string stub = "MZ-stub-bytes";
  std::string payload = "screensaver-payload";
  std::string readme, license, language;
  SetupRecord record = EmptyRecord();
  std::string_view signature = SetupSignature();
  InstallScope scope = InstallScope::kMachine;  // written into the check block

  PackageBuilder() {
    SetFieldText(record.ScreensaverFile, "Aurora.scr", true);
    SetFieldText(record.Title, "Aurora", true);
  }

  // The record with its sizes filled in from the parts.
  SetupRecord FinalRecord() const {
    SetupRecord final_record = record;
    final_record.ReadmeSize = static_cast<int32_t>(readme.size());
    final_record.LicenseSize = static_cast<int32_t>(license.size());
    final_record.LanguageSize = static_cast<int32_t>(language.size());
    final_record.ExtrasSize = static_cast<int32_t>(readme.size() + license.size() + language.size());
    final_record.PayloadSize =
        static_cast<int32_t>(payload.size() + final_record.ExtrasSize + kTailSize);
    return final_record;
  }

  // The package with the record exactly as given (sizes not filled in).
  std::string BytesWithRecord(const SetupRecord& tail_record) const {
    std::string bytes = stub + payload + readme + license + language;
    bytes.append(reinterpret_cast<const char*>(&tail_record), sizeof(tail_record));
    bytes.append(signature);
    return bytes;
  }

  std::string Bytes() const { return BytesWithRecord(FinalRecord()); }

  // The check block the authoring tool writes after the end signature.
  std::string CheckBlockBytes(const PackageFacts& facts = {}) const {
    const SetupRecord final_record = FinalRecord();
    std::string tail = readme + license + language;
    tail.append(reinterpret_cast<const char*>(&final_record), sizeof(final_record));
    CheckBlock block{static_cast<uint32_t>(final_record.PayloadSize - kSignatureSize),
                     Crc32(0, payload.data(), payload.size()), Crc32(0, tail.data(), tail.size()),
                     facts, scope};
    return EncodeCheckBlock(block, nullptr).value();
  }

  // The package followed by its check block.
  std::string CheckedBytes(const PackageFacts& facts = {}) const {
    return Bytes() + CheckBlockBytes(facts);
  }
};

}  // namespace scrsetup::testing
