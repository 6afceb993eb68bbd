#include "saverpack/inspect/report_format.h"

#include <cstdio>
#include <variant>
#include <vector>

#include "saverpack/build/catalogue.h"
#include "saverpack/text/unicode_text.h"

namespace saverpack {
namespace {

using scrsetup::CountedText;
using scrsetup::FieldText;

struct ReportField {
  std::string_view name;
  std::variant<int64_t, std::u32string> value;
};

std::string_view StateName(scrsetup::CheckBlockState state) {
  switch (state) {
    case scrsetup::CheckBlockState::kPresent:
      return "present";
    case scrsetup::CheckBlockState::kDamaged:
      return "damaged";
    case scrsetup::CheckBlockState::kAbsent:
      break;
  }
  return "absent";
}

// The signature store's size and, for each stored signature, which
// uninstaller it signs and the sizes.
template <typename Add>
void AddSignatures(const PackageReport& report, const scrsetup::CheckBlock& block, Add& add) {
  add("SignatureStoreSize", block.store_size);
  std::string signed_uninstallers;
  for (const StoredSignatureReport& signature : report.signatures) {
    if (!signed_uninstallers.empty()) signed_uninstallers += "; ";
    signed_uninstallers +=
        (signature.uninstaller.empty() ? std::string("none") : signature.uninstaller) + ": " +
        std::to_string(signature.signed_length) + " bytes, certificate table " +
        std::to_string(signature.table_size) + " bytes";
  }
  add("SignedUninstallers", Utf8Characters(signed_uninstallers));
}

// The check block's fields, and whether it matches the file.
template <typename Text, typename Add>
void AddCheckBlock(const PackageReport& report, Text& text, Add& add) {
  add("CheckBlock", Utf8Characters(StateName(report.check.state)));
  if (report.check.state != scrsetup::CheckBlockState::kPresent) return;
  const scrsetup::CheckBlock& block = report.check.block;
  add("CheckFormatVersion", scrsetup::kCheckBlockFormat);
  add("CoveredLength", block.covered_length);
  add("PayloadCrc", Utf8Characters(CrcText(block.payload_crc)));
  add("TailCrc", Utf8Characters(CrcText(block.tail_crc)));
  add("DisplayVersion", text(block.facts.display_version));
  add("Publisher", text(block.facts.publisher));
  add("HelpLink", text(block.facts.help_link));
  add("InstallScope", Utf8Characters(scrsetup::ScopeText(block.scope)));
  if (block.store_size != 0) AddSignatures(report, block, add);
  add("CheckMatchesFile", Utf8Characters(report.check_problems.empty() ? "yes" : "no"));
}

// "de 1252, ru 1251, 041D 1252": each table's catalogue code (or its LANGID
// in hexadecimal when the catalogue has none) and code page.
std::string LanguagesText(const std::vector<scrsetup::LanguageSection>& languages) {
  std::string text;
  for (const scrsetup::LanguageSection& table : languages) {
    if (!text.empty()) text += ", ";
    std::string code;
    for (const CatalogueLanguage& known : CatalogueLanguages()) {
      if (known.language_id == table.language) code = known.code;
    }
    if (code.empty()) {
      char hex[8];
      std::snprintf(hex, sizeof(hex), "%04X", static_cast<unsigned>(table.language));
      code = hex;
    }
    text += code + " " + std::to_string(table.code_page);
  }
  return text;
}

std::vector<ReportField> ReportFields(const PackageReport& report, PackageCodePage& code_page) {
  const scrsetup::SetupRecord& record = report.record;
  auto text = [&code_page](std::string_view bytes) { return code_page.Decode(bytes); };
  bool setup = report.kind == scrsetup::PackageKind::kSetup;
  std::vector<ReportField> fields;
  auto add = [&fields](std::string_view name, std::variant<int64_t, std::u32string> value) {
    fields.push_back({name, std::move(value)});
  };
  add("Kind", Utf8Characters(setup ? "setup" : "uninstaller"));
  add("PackageEnd", report.package_end);
  add("FileSize", report.file_size);
  add("StubSize", report.stub_size);
  // Only a setup package carries a screensaver; its size follows StubSize.
  if (report.screensaver_size) add("ScreensaverSize", *report.screensaver_size);
  add("PayloadSize", record.PayloadSize);
  add("ScreensaverFile", text(FieldText(record.ScreensaverFile)));
  add("Title", text(FieldText(record.Title)));
  add("WebAddress", text(FieldText(record.WebAddress)));
  add("AddUninstallEntry", record.AddUninstallEntry);
  add("CreateProgramGroup", record.CreateProgramGroup);
  add("CreateDesktopShortcut", record.CreateDesktopShortcut);
  add("ExtrasSize", record.ExtrasSize);
  add("ReadmeSize", record.ReadmeSize);
  add("LicenseSize", record.LicenseSize);
  add("LanguageSize", record.LanguageSize);
  if (!report.languages.empty()) add("Languages", Utf8Characters(LanguagesText(report.languages)));
  add("DefaultFolder", text(CountedText(record.DefaultFolder)));
  add("DefaultSubfolder", text(CountedText(record.DefaultSubfolder)));
  add("SkipFolderPage", record.SkipFolderPage);
  add("RecordSignature", text(FieldText(record.RecordSignature)));
  add("LicenseMode", record.LicenseMode);
  if (setup) AddCheckBlock(report, text, add);
  return fields;
}

std::string ValueText(const std::variant<int64_t, std::u32string>& value, LiteralForm form) {
  if (const auto* text = std::get_if<std::u32string>(&value)) return TextLiteral(*text, form);
  return std::to_string(*std::get_if<int64_t>(&value));
}

// The escape of a character that JSON spells with a backslash; empty for others.
std::string_view ShortEscape(char32_t c) {
  switch (c) {
    case '"':
      return "\\\"";
    case '\\':
      return "\\\\";
    case '\b':
      return "\\b";
    case '\f':
      return "\\f";
    case '\n':
      return "\\n";
    case '\r':
      return "\\r";
    case '\t':
      return "\\t";
    default:
      return "";
  }
}

}  // namespace

std::string TextLiteral(std::u32string_view characters, LiteralForm form) {
  std::string literal = "\"";
  char escape[16];
  for (char32_t c : characters) {
    if (std::string_view short_escape = ShortEscape(c); !short_escape.empty()) {
      literal += short_escape;
    } else if (std::optional<uint8_t> byte = MarkedByte(c)) {
      std::snprintf(escape, sizeof(escape), form == LiteralForm::kJson ? "\\\\x%02X" : "\\x%02X",
                    *byte);
      literal += escape;
    } else if (c < 0x20 || (c >= 0x7f && c <= 0x9f)) {
      std::snprintf(escape, sizeof(escape), "\\u%04x", static_cast<unsigned>(c));
      literal += escape;
    } else {
      AppendUtf8(literal, c);
    }
  }
  return literal + "\"";
}

std::string JsonString(std::string_view text) {
  return TextLiteral(Utf8Characters(text), LiteralForm::kJson);
}

std::string FormatReportText(const PackageReport& report, PackageCodePage& code_page) {
  std::string text;
  for (const ReportField& field : ReportFields(report, code_page)) {
    std::string line = std::string(field.name);
    line.resize(24, ' ');
    text += line + ValueText(field.value, LiteralForm::kText) + "\n";
  }
  for (const std::string& problem : report.problems) text += "Problem: " + problem + "\n";
  return text;
}

std::string FormatReportJson(const PackageReport& report, PackageCodePage& code_page) {
  std::string json = "{\n";
  for (const ReportField& field : ReportFields(report, code_page)) {
    json +=
        "  " + JsonString(field.name) + ": " + ValueText(field.value, LiteralForm::kJson) + ",\n";
  }
  json += "  \"Problems\": [";
  for (size_t i = 0; i < report.problems.size(); ++i) {
    json += (i == 0 ? "" : ", ") + JsonString(report.problems[i]);
  }
  return json + "]\n}\n";
}

}  // namespace saverpack
