// Inspecting a package: finds it and reads its record exactly as the
// installer does (the core's LocatePackage and ReadRecord), then checks the
// record against the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "package/package_reader.h"
#include "package/setup_record.h"
#include "platform/file_system.h"
#include "saverpack/failure.h"

namespace saverpack {

struct PackageReport {
  scrsetup::PackageKind kind = scrsetup::PackageKind::kSetup;
  int64_t package_end = 0;  // just past the end signature
  int64_t file_size = 0;    // more than package_end when bytes follow the signature
  scrsetup::SetupRecord record{};
  int64_t stub_size = 0;  // bytes before the payload (setup) or the blocks (uninstaller)
  // The screensaver's length; only a setup package carries one.
  std::optional<int64_t> screensaver_size;
  // Each way the record does not fit the file, in words; empty when it does.
  std::vector<std::string> problems;
};

// Reads the package in `file`; `name` is used in messages. A failure
// (exit status 1) when neither end signature occurs or the record does not
// lie inside the file.
std::optional<Failure> InspectPackage(scrsetup::File& file, const std::string& name,
                                      PackageReport& report);

// Opens the file at `path` and inspects it.
std::optional<Failure> InspectPackageFile(const std::string& path, PackageReport& report);

}  // namespace saverpack
