// Printing an inspected package, as aligned "Name  value" lines or as one
// JSON object. Both list the same fields in the same order: Kind,
// PackageEnd, FileSize, StubSize, ScreensaverSize (setup packages only),
// every record field under its own name, and Problems.
//
// Texts are printed as JSON string literals in both forms, so spaces,
// quotes and control characters stay visible. The record's texts are bytes
// in the installer's 8-bit code page: each byte of 0x80 and above becomes
// \u00XX, its Latin-1 value.
#pragma once

#include <string>
#include <string_view>

#include "saverpack/package_inspector.h"

namespace saverpack {

// `bytes` as a JSON string literal, quotes included.
std::string JsonString(std::string_view bytes);

std::string FormatReportText(const PackageReport& report);
std::string FormatReportJson(const PackageReport& report);

}  // namespace saverpack
