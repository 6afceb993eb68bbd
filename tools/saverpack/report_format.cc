#include "saverpack/report_format.h"

#include <cstdio>
#include <variant>
#include <vector>

namespace saverpack {
namespace {

using scrsetup::CountedText;
using scrsetup::FieldText;

struct ReportField {
  std::string_view name;
  std::variant<int64_t, std::string> value;
};

std::vector<ReportField> ReportFields(const PackageReport& report) {
  const scrsetup::SetupRecord& record = report.record;
  bool setup = report.kind == scrsetup::PackageKind::kSetup;
  std::vector<ReportField> fields = {
      {"Kind", std::string(setup ? "setup" : "uninstaller")},
      {"PackageEnd", report.package_end},
      {"FileSize", report.file_size},
      {"StubSize", report.stub_size},
      {"PayloadSize", record.PayloadSize},
      {"ScreensaverFile", FieldText(record.ScreensaverFile)},
      {"Title", FieldText(record.Title)},
      {"WebAddress", FieldText(record.WebAddress)},
      {"AddUninstallEntry", record.AddUninstallEntry},
      {"CreateProgramGroup", record.CreateProgramGroup},
      {"CreateDesktopShortcut", record.CreateDesktopShortcut},
      {"ExtrasSize", record.ExtrasSize},
      {"ReadmeSize", record.ReadmeSize},
      {"LicenseSize", record.LicenseSize},
      {"LanguageSize", record.LanguageSize},
      {"DefaultFolder", CountedText(record.DefaultFolder)},
      {"DefaultSubfolder", CountedText(record.DefaultSubfolder)},
      {"SkipFolderPage", record.SkipFolderPage},
      {"RecordSignature", FieldText(record.RecordSignature)},
      {"LicenseMode", record.LicenseMode},
  };
  // Only a setup package carries a screensaver; its size follows StubSize.
  constexpr size_t kAfterStubSize = 4;
  if (report.screensaver_size) {
    fields.insert(fields.begin() + kAfterStubSize, {"ScreensaverSize", *report.screensaver_size});
  }
  return fields;
}

std::string ValueText(const std::variant<int64_t, std::string>& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return JsonString(*text);
  return std::to_string(*std::get_if<int64_t>(&value));
}

}  // namespace

std::string JsonString(std::string_view bytes) {
  std::string literal = "\"";
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        literal += "\\\"";
        break;
      case '\\':
        literal += "\\\\";
        break;
      case '\b':
        literal += "\\b";
        break;
      case '\f':
        literal += "\\f";
        break;
      case '\n':
        literal += "\\n";
        break;
      case '\r':
        literal += "\\r";
        break;
      case '\t':
        literal += "\\t";
        break;
      default:
        if (byte < 0x20 || byte >= 0x7f) {
          char escape[8];
          std::snprintf(escape, sizeof(escape), "\\u%04x", byte);
          literal += escape;
        } else {
          literal += c;
        }
    }
  }
  return literal + "\"";
}

std::string FormatReportText(const PackageReport& report) {
  std::string text;
  for (const ReportField& field : ReportFields(report)) {
    std::string line = std::string(field.name);
    line.resize(24, ' ');
    text += line + ValueText(field.value) + "\n";
  }
  for (const std::string& problem : report.problems) text += "Problem: " + problem + "\n";
  return text;
}

std::string FormatReportJson(const PackageReport& report) {
  std::string json = "{\n";
  for (const ReportField& field : ReportFields(report)) {
    json += "  " + JsonString(field.name) + ": " + ValueText(field.value) + ",\n";
  }
  json += "  \"Problems\": [";
  for (size_t i = 0; i < report.problems.size(); ++i) {
    json += (i == 0 ? "" : ", ") + JsonString(report.problems[i]);
  }
  return json + "]\n}\n";
}

}  // namespace saverpack
