// Inspecting a package: finds it and reads its record exactly as the
// installer does (the core's LocatePackage and ReadRecord), checks the record
// against the file with the installer's own rules (FindRecordProblems), and
// a setup package's check block against the CRC-32 values of the bytes it
// covers, recomputed from the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lang/language_choice.h"
#include "package/check_block.h"
#include "package/package_reader.h"
#include "package/setup_record.h"
#include "platform/file_system.h"
#include "saverpack/host/failure.h"

namespace saverpack {

// One entry of the signature store: which uninstaller it signs.
struct StoredSignatureReport {
  // "as built", "short name" (the record after the short-name rule), or
  // empty when it signs none of the uninstallers the package writes.
  std::string uninstaller;
  uint32_t signed_length = 0;
  uint32_t table_size = 0;
};

struct PackageReport {
  scrsetup::PackageKind kind = scrsetup::PackageKind::kSetup;
  int64_t package_end = 0;  // just past the end signature
  int64_t file_size = 0;    // more than package_end when bytes follow the signature
  scrsetup::SetupRecord record{};
  int64_t stub_size = 0;  // bytes before the payload (setup) or the blocks (uninstaller)
  // The screensaver's length; only a setup package carries one.
  std::optional<int64_t> screensaver_size;
  // The block after the end signature; only a setup package carries one.
  scrsetup::CheckBlockRead check;
  // The language and code page of each table of a language block with
  // several tables, the main table first (sections not kept); empty for a
  // package with one table or none.
  std::vector<scrsetup::LanguageSection> languages;
  // The signature store's entries, in store order.
  std::vector<StoredSignatureReport> signatures;
  // Each way the record or the check block does not fit the file, in words;
  // empty when they do.
  std::vector<std::string> problems;
  // Of those, each way the check block does not match the file.
  std::vector<std::string> check_problems;
};

// "0xCBF43926".
std::string CrcText(uint32_t crc);

// Why the check block does not vouch for the package: none, damaged, or
// not matching the file; nullopt when it matches.
std::optional<std::string> VerifyFailure(const PackageReport& report);

// Reads the package in `file`; `name` is used in messages. A failure
// (exit status 1) when neither end signature occurs or the record does not
// lie inside the file.
std::optional<Failure> InspectPackage(scrsetup::File& file, const std::string& name,
                                      PackageReport& report);

// Opens the file at `path` and inspects it.
std::optional<Failure> InspectPackageFile(const std::string& path, PackageReport& report);

}  // namespace saverpack
