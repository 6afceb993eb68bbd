// Printing an inspected package, as aligned "Name  value" lines or as one
// JSON object. Both list the same fields in the same order: Kind,
// PackageEnd, FileSize, StubSize, ScreensaverSize (setup packages only),
// every record field under its own name, Languages for a package with
// several language tables ("de 1252, ru 1251": each table's catalogue code,
// or its LANGID in hexadecimal, and code page), for setup packages CheckBlock
// ("present", "absent" or "damaged") and, when present, its fields
// (CheckFormatVersion, CoveredLength, PayloadCrc and TailCrc as "0x" and
// eight hexadecimal digits, DisplayVersion, Publisher, HelpLink and, for a
// package that carries a signature store, SignatureStoreSize and
// SignedUninstallers: for each
// stored signature which uninstaller it signs ("as built", "short name" or
// "none"), that uninstaller's length and the certificate table's size) and
// CheckMatchesFile ("yes" or "no"), and Problems.
//
// Texts are printed as string literals in UTF-8 in both forms, with quotes,
// backslashes and control characters escaped as in JSON, so spaces and line
// breaks stay visible. The record's texts are decoded from the package's
// code page first; a byte that is no character there (a ByteMark) is shown
// as \xNN in the text form and as the text \xNN ("\\xNN") in the JSON,
// which must stay valid.
#pragma once

#include <string>
#include <string_view>

#include "saverpack/text/package_code_page.h"
#include "saverpack/inspect/package_inspector.h"

namespace saverpack {

enum class LiteralForm { kText, kJson };

// `characters` as a string literal, quotes included.
std::string TextLiteral(std::u32string_view characters, LiteralForm form);

// UTF-8 `text` as a JSON string literal; the bytes of invalid sequences as
// ByteMarks.
std::string JsonString(std::string_view text);

std::string FormatReportText(const PackageReport& report, PackageCodePage& code_page);
std::string FormatReportJson(const PackageReport& report, PackageCodePage& code_page);

}  // namespace saverpack
