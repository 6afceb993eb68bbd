#include "saverpack/inspect/package_inspector.h"

#include <cstdio>

#include "package/crc32.h"
#include "package/record_problems.h"
#include "package/signature_store.h"
#include "saverpack/build/signing.h"
#include "saverpack/host/host_file.h"

namespace saverpack {
namespace {

using scrsetup::RecordProblem;
using scrsetup::SetupRecord;

std::string Bytes(int64_t count) { return std::to_string(count); }

// Lists each way the record does not fit the file, as the installer's load
// finds them, and sets the sizes of the stub and the screensaver that follow
// from it.
void CheckRecord(PackageReport& report) {
  const SetupRecord& record = report.record;
  auto& problems = report.problems;
  if (scrsetup::FieldText(record.RecordSignature) != scrsetup::kRecordSignature) {
    problems.push_back("RecordSignature is not \"" + std::string(scrsetup::kRecordSignature) +
                       "\"");
  }
  const scrsetup::RecordProblems found =
      scrsetup::FindRecordProblems(record, report.package_end, report.kind);
  if (found.Has(RecordProblem::kExtrasSizeNotTheSum)) {
    int64_t block_sum =
        int64_t{record.ReadmeSize} + int64_t{record.LicenseSize} + int64_t{record.LanguageSize};
    problems.push_back("ExtrasSize " + Bytes(record.ExtrasSize) +
                       " is not ReadmeSize + LicenseSize + LanguageSize = " + Bytes(block_sum));
  }
  if (found.Has(RecordProblem::kNegativeBlockSize)) {
    problems.push_back("a block size is negative");
  }
  if (found.Has(RecordProblem::kBlocksOutsideFile)) {
    problems.push_back("the blocks (ExtrasSize " + Bytes(record.ExtrasSize) +
                       ") do not lie inside the file");
  }
  int64_t extras_start = scrsetup::ExtrasStart(report.package_end, record);
  if (report.kind == scrsetup::PackageKind::kUninstaller) {
    report.stub_size = extras_start;
    return;
  }
  report.stub_size = scrsetup::StubLength(report.package_end, record);
  report.screensaver_size = scrsetup::PayloadLength(record);
  if (found.Has(RecordProblem::kPayloadOutsideFile)) {
    problems.push_back("PayloadSize " + Bytes(record.PayloadSize) +
                       " does not place the screensaver inside the file");
  }
}

// Compares one CRC the check block holds with the one recomputed over the
// same bytes of the file.
void CompareCrc(std::string_view what, uint32_t recorded, std::optional<uint32_t> in_file,
                PackageReport& report) {
  if (!in_file) {
    report.check_problems.push_back(std::string(what) +
                                    " cannot be read where the record places it, so its CRC-32 "
                                    "cannot be checked");
  } else if (*in_file != recorded) {
    report.check_problems.push_back("the CRC-32 of " + std::string(what) + " is " +
                                    CrcText(*in_file) + ", the check block holds " +
                                    CrcText(recorded));
  }
}

// Whether `table` starts with a certificate of the kind Authenticode
// writes: a length that fits the table, revision 2.0, PKCS#7 signed data.
bool HoldsAuthenticodeCertificate(std::string_view table) {
  auto get = [&](size_t offset, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
      value = (value << 8) | static_cast<unsigned char>(table[offset + static_cast<size_t>(i)]);
    }
    return value;
  };
  return table.size() >= 8 && get(0, 4) >= 8 && get(0, 4) <= table.size() &&
         get(4, 2) == 0x0200 && get(6, 2) == 0x0002;
}

// The signature store's entries, each matched with the uninstallers the
// package writes: with its record as built and after the short-name rule.
void CheckSignatures(scrsetup::File& file, PackageReport& report) {
  const std::optional<std::vector<scrsetup::StoredSignature>> entries =
      scrsetup::DecodeSignatureStore(report.check.signature_store);
  if (!entries) return;
  const std::vector<SetupRecord> records = UninstallerRecords(report.record, std::nullopt);
  std::vector<std::optional<std::string>> uninstallers;
  for (const SetupRecord& record : records) {
    uninstallers.push_back(UninstallerBytes(file, report.package_end, record));
  }
  for (const scrsetup::StoredSignature& entry : *entries) {
    StoredSignatureReport& signature = report.signatures.emplace_back();
    signature.signed_length = entry.signed_length;
    signature.table_size = static_cast<uint32_t>(entry.table.size());
    for (size_t i = 0; i < uninstallers.size(); ++i) {
      const std::optional<std::string>& bytes = uninstallers[i];
      if (bytes && bytes->size() == entry.signed_length &&
          scrsetup::Crc32(0, bytes->data(), bytes->size()) == entry.signed_crc) {
        signature.uninstaller = i == 0 ? "as built" : "short name";
      }
    }
    const std::string which = "the stored signature for " + Bytes(entry.signed_length) + " bytes";
    if (signature.uninstaller.empty()) {
      report.check_problems.push_back(which + " signs none of the uninstallers the package writes");
    }
    if (!HoldsAuthenticodeCertificate(entry.table)) {
      report.check_problems.push_back(which + " holds no Authenticode certificate");
    }
  }
}

// Reads the check block of a setup package and checks it against the file.
void CheckBlockAgainstFile(scrsetup::File& file, PackageReport& report) {
  report.check = scrsetup::ReadCheckBlock(file, report.package_end, report.record);
  if (report.check.state == scrsetup::CheckBlockState::kDamaged) {
    report.check_problems.push_back(
        "the check block after the end signature is damaged: its own CRC-32, its size, the "
        "length it covers or the signature store after it does not fit the package");
  } else if (report.check.state == scrsetup::CheckBlockState::kPresent) {
    const scrsetup::CheckBlock& block = report.check.block;
    std::optional<uint32_t> payload_crc;
    if (report.screensaver_size && *report.screensaver_size >= 0) {
      payload_crc = scrsetup::RangeCrc(file, report.stub_size, *report.screensaver_size);
    }
    CompareCrc("the screensaver", block.payload_crc, payload_crc, report);
    CompareCrc("the blocks and record", block.tail_crc,
               scrsetup::TailCrc(file, report.package_end, report.record), report);
    CheckSignatures(file, report);
  }
  report.problems.insert(report.problems.end(), report.check_problems.begin(),
                         report.check_problems.end());
}

}  // namespace

std::string CrcText(uint32_t crc) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(crc));
  return text;
}

std::optional<std::string> VerifyFailure(const PackageReport& report) {
  if (report.kind == scrsetup::PackageKind::kUninstaller) {
    return "an uninstaller carries no check block; only a setup package can be verified";
  }
  switch (report.check.state) {
    case scrsetup::CheckBlockState::kAbsent:
      return "the package carries no check block (it was built by an earlier saverpack, or the "
             "block is of a format this one does not know); rebuild it to verify it";
    case scrsetup::CheckBlockState::kDamaged:
    case scrsetup::CheckBlockState::kPresent:
      break;
  }
  if (report.check_problems.empty()) return std::nullopt;
  std::string message = "the package does not match its check block:";
  for (const std::string& problem : report.check_problems) message += "\n  " + problem;
  return message;
}

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
  if (std::optional<std::string> language =
          scrsetup::ReadLanguageText(file, report.package_end, report.record)) {
    for (scrsetup::LanguageSection section : scrsetup::ReadLanguageSections(*language)) {
      section.section = {};
      report.languages.push_back(section);
    }
  }
  if (report.kind == scrsetup::PackageKind::kSetup) CheckBlockAgainstFile(file, report);
  return std::nullopt;
}

std::optional<Failure> InspectPackageFile(const std::string& path, PackageReport& report) {
  std::unique_ptr<StdioFile> file = OpenForReading(path);
  if (!file) return Failure{kExitBadInput, "'" + path + "': cannot open: " + SystemErrorText()};
  return InspectPackage(*file, path, report);
}

}  // namespace saverpack
