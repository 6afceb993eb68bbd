// Signing at build time (--sign COMMAND).
//
// COMMAND signs one file in place. It runs through the host's shell (sh -c
// on Linux, cmd /c on Windows) with every "{file}" replaced by the quoted
// path of the file. Before the package is finished, saverpack writes each
// uninstaller the installer can write from it, with the core's own
// WriteUninstallerPackage: with the record as built and, when the
// short-name rule (Windows 2000 and later) changes the screensaver's name,
// with the record after the rule. It has each signed and keeps what signing
// added in the package's signature store (signature_store.h). Last the
// finished package is signed. A command that fails, or that changes more
// than the checksum, the certificate table entry and what follows the file,
// fails the build.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "package/setup_record.h"
#include "platform/file_system.h"
#include "saverpack/host/failure.h"

namespace saverpack {

// The records of the uninstallers the installer writes from a package
// with `record`, the screensaver's name read in `code_page` (none: bytes
// as they are): `record` itself and, when the rule changes it, the record
// after the short-name rule.
std::vector<scrsetup::SetupRecord> UninstallerRecords(const scrsetup::SetupRecord& record,
                                                      std::optional<int> code_page);

// The bytes of the uninstaller the installer writes from the package in
// `package` ending at `package_end` with `record` in memory, unsigned;
// nullopt when the package cannot be read.
std::optional<std::string> UninstallerBytes(scrsetup::File& package, int64_t package_end,
                                            const scrsetup::SetupRecord& record);

// Runs COMMAND on the file at `path`; a failure with the command's output
// when it cannot be run or ends with a status other than 0.
std::optional<Failure> RunSignCommand(std::string_view command, const std::string& path);

// The signature store for the package in `package` that ends at
// `package_end` (its end signature written): one entry for each of
// `records`, signed by COMMAND in work files beside `output`.
std::optional<Failure> MakeSignatureStore(std::string_view command, scrsetup::File& package,
                                          int64_t package_end,
                                          const std::vector<scrsetup::SetupRecord>& records,
                                          const std::string& output, std::string& store);

// Signs the finished package at `path` in place with COMMAND and checks
// that signing only added a signature.
std::optional<Failure> SignPackage(std::string_view command, const std::string& path);

}  // namespace saverpack
