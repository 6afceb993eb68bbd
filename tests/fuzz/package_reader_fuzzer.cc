// The package reader on arbitrary bytes: the end signature, the record, the
// text blocks, and the uninstaller written from what was read. Whatever the
// record says, every block read is the size it declares, and an uninstaller
// that was written is found again as one.
#include <gtest/gtest.h>

#include <cstring>

#include "fake/fake_machine.h"
#include "fuzz/fuzz_support.h"
#include "package/package_reader.h"

namespace scrsetup {
namespace {

constexpr char kPackagePath[] = "C:\\p.exe";
constexpr char kUninstallerPath[] = "C:\\u.exe";

void CheckUninstallerWrittenFrom(testing::FakeFileSystem& files, File& source,
                                 int64_t package_end, const SetupRecord& record) {
  std::unique_ptr<File> target = files.CreateForWriting(kUninstallerPath);
  if (!WriteUninstallerPackage(source, package_end, record, *target)) return;
  target.reset();
  std::unique_ptr<File> uninstaller = files.OpenForReading(kUninstallerPath, ShareMode::kRead);
  std::optional<PackageLocation> written = LocatePackage(*uninstaller);
  FUZZ_CHECK(written && written->kind == PackageKind::kUninstaller);
  FUZZ_CHECK(written->PackageEnd == uninstaller->Size());
  SetupRecord reread;
  FUZZ_CHECK(ReadRecord(*uninstaller, written->PackageEnd, reread));
  FUZZ_CHECK(std::memcmp(&reread, &record, sizeof(record)) == 0);
}

}  // namespace
}  // namespace scrsetup

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A failure the fake machine reports (a read past the end of a file)
  // throws and, uncaught, ends the run.
  GTEST_FLAG_SET(throw_on_failure, true);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scrsetup;
  scrsetup::testing::FakeFileSystem files;
  files.AddFile(kPackagePath, fuzz::Bytes(data, size));
  std::unique_ptr<File> file = files.OpenForReading(kPackagePath, ShareMode::kReadWrite);
  std::optional<PackageLocation> location = LocatePackage(*file);
  if (!location) return 0;
  const int64_t end = location->PackageEnd;
  FUZZ_CHECK(end >= kSignatureSize && end <= static_cast<int64_t>(size));

  SetupRecord record;
  if (!ReadRecord(*file, end, record)) {
    FUZZ_CHECK(end < kTailSize);
    return 0;
  }
  if (std::optional<std::string> language = ReadLanguageText(*file, end, record)) {
    FUZZ_CHECK(language->size() == static_cast<size_t>(record.LanguageSize));
  }
  if (std::optional<SetupTexts> texts = ReadSetupTexts(*file, end, record)) {
    if (texts->readme) FUZZ_CHECK(texts->readme->size() == static_cast<size_t>(record.ReadmeSize));
    if (texts->license) {
      FUZZ_CHECK(texts->license->size() == static_cast<size_t>(record.LicenseSize));
    }
  }
  CheckUninstallerWrittenFrom(files, *file, end, record);
  return 0;
}
