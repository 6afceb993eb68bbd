#include "saverpack/package_inspector.h"

#include "saverpack/host_file.h"

namespace saverpack {
namespace {

using scrsetup::SetupRecord;

std::string Bytes(int64_t count) { return std::to_string(count); }

// Lists each way the record does not fit the file, and sets the sizes of
// the stub and the screensaver that follow from it.
void CheckRecord(PackageReport& report) {
  const SetupRecord& record = report.record;
  auto& problems = report.problems;
  if (scrsetup::FieldText(record.RecordSignature) != scrsetup::kRecordSignature) {
    problems.push_back("RecordSignature is not \"" + std::string(scrsetup::kRecordSignature) +
                       "\"");
  }
  int64_t block_sum =
      int64_t{record.ReadmeSize} + int64_t{record.LicenseSize} + int64_t{record.LanguageSize};
  if (block_sum != record.ExtrasSize) {
    problems.push_back("ExtrasSize " + Bytes(record.ExtrasSize) +
                       " is not ReadmeSize + LicenseSize + LanguageSize = " + Bytes(block_sum));
  }
  if (record.ReadmeSize < 0 || record.LicenseSize < 0 || record.LanguageSize < 0) {
    problems.push_back("a block size is negative");
  }
  int64_t extras_start = scrsetup::ExtrasStart(report.package_end, record);
  if (record.ExtrasSize < 0 || extras_start < 0) {
    problems.push_back("the blocks (ExtrasSize " + Bytes(record.ExtrasSize) +
                       ") do not lie inside the file");
  }
  if (report.kind == scrsetup::PackageKind::kUninstaller) {
    report.stub_size = extras_start;
    return;
  }
  report.stub_size = scrsetup::StubLength(report.package_end, record);
  int64_t screensaver_size = scrsetup::PayloadLength(record);
  report.screensaver_size = screensaver_size;
  if (report.stub_size < 0 || screensaver_size < 0 ||
      report.stub_size + screensaver_size != extras_start) {
    problems.push_back("PayloadSize " + Bytes(record.PayloadSize) +
                       " does not place the screensaver inside the file");
  }
}

}  // namespace

std::optional<Failure> InspectPackage(scrsetup::File& file, const std::string& name,
                                      PackageReport& report) {
  std::string quoted = "'" + name + "'";
  report.file_size = file.Size();
  if (report.file_size < 0) return Failure{kExitBadInput, quoted + ": cannot read its size"};
  std::optional<scrsetup::PackageLocation> location = scrsetup::LocatePackage(file);
  if (!location) {
    return Failure{kExitBadInput, quoted + ": not a package: it contains neither \"" +
                                      std::string(scrsetup::SetupSignature()) + "\" nor \"" +
                                      std::string(scrsetup::UninstallerSignature()) + "\""};
  }
  report.kind = location->kind;
  report.package_end = location->PackageEnd;
  if (scrsetup::RecordStart(report.package_end) < 0) {
    return Failure{kExitBadInput, quoted + ": not a package: the end signature at offset " +
                                      Bytes(report.package_end - scrsetup::kSignatureSize) +
                                      " has no room for the " + Bytes(scrsetup::kRecordSize) +
                                      "-byte record before it"};
  }
  if (!scrsetup::ReadRecord(file, report.package_end, report.record)) {
    return Failure{kExitBadInput, quoted + ": cannot read the record: " + SystemErrorText()};
  }
  CheckRecord(report);
  return std::nullopt;
}

std::optional<Failure> InspectPackageFile(const std::string& path, PackageReport& report) {
  std::unique_ptr<StdioFile> file = OpenForReading(path);
  if (!file) return Failure{kExitBadInput, "'" + path + "': cannot open: " + SystemErrorText()};
  return InspectPackage(*file, path, report);
}

}  // namespace saverpack
