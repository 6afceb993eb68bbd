#include "package/package_reader.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "fake/package_builder.h"

namespace scrsetup {
namespace {

using testing::FakeFileSystem;
using testing::PackageBuilder;

class PackageReaderTest : public ::testing::Test {
 protected:
  std::unique_ptr<File> Open(std::string bytes) {
    files_.AddFile("C:\\p.exe", std::move(bytes));
    return files_.OpenForReading("C:\\p.exe", ShareMode::kReadWrite);
  }
  FakeFileSystem files_;
};

TEST_F(PackageReaderTest, FindsTheSignatureNearestTheEnd) {
  PackageBuilder package;
  package.payload = "payload ending in Vornex.sig";
  std::string bytes = package.Bytes();
  struct Case {
    std::string name;
    std::string bytes;
    std::optional<int64_t> end;
    PackageKind kind;
  } cases[] = {
      {"well formed", bytes, int64_t(bytes.size()), PackageKind::kSetup},
      {"bytes appended", bytes + std::string(3 * (1 << 20) + 17, 'x'), int64_t(bytes.size()),
       PackageKind::kSetup},
      {"appended bytes hold the other signature", bytes + "..ScUnin.sig..", int64_t(bytes.size()) + 12,
       PackageKind::kUninstaller},
      {"nearer setup signature after an uninstaller one", bytes + "ScUnin.sig..Vornex.sig..",
       int64_t(bytes.size()) + 22, PackageKind::kSetup},
      {"signature at offset 0", "Vornex.sigtail", 10, PackageKind::kSetup},
      {"no signature", std::string(5000, 'z'), std::nullopt, PackageKind::kSetup},
      {"shorter than a signature", "Vornex.si", std::nullopt, PackageKind::kSetup},
      {"empty", "", std::nullopt, PackageKind::kSetup},
  };
  for (const Case& c : cases) {
    std::unique_ptr<File> file = Open(c.bytes);
    std::optional<PackageLocation> found = LocatePackage(*file);
    ASSERT_EQ(found.has_value(), c.end.has_value()) << c.name;
    if (found) {
      EXPECT_EQ(found->PackageEnd, *c.end) << c.name;
      EXPECT_EQ(found->kind, c.kind) << c.name;
    }
  }
}

TEST_F(PackageReaderTest, FindsASignatureSplitAcrossScanBlocks) {
  // The signature straddles the boundary of the 1 MiB blocks read backwards.
  for (int64_t split : {1, 5, 9}) {
    std::string bytes(3 << 20, 'a');
    int64_t end = int64_t(bytes.size()) - (1 << 20) + split;
    bytes.replace(end - 10, 10, "ScUnin.sig");
    std::unique_ptr<File> file = Open(bytes);
    std::optional<PackageLocation> found = LocatePackage(*file);
    ASSERT_TRUE(found) << split;
    EXPECT_EQ(found->PackageEnd, end);
  }
}

TEST_F(PackageReaderTest, ReadsStayInsideTheFile) {
  std::unique_ptr<File> file = Open("0123456789");
  char buffer[16];
  EXPECT_TRUE(ReadExactly(*file, 0, buffer, 10));
  EXPECT_TRUE(ReadExactly(*file, 10, buffer, 0));
  EXPECT_FALSE(ReadExactly(*file, -1, buffer, 2));
  EXPECT_FALSE(ReadExactly(*file, 5, buffer, 6));
  EXPECT_FALSE(ReadBlock(*file, 0, -1));
  EXPECT_EQ(ReadBlock(*file, 8, 0), "");
  EXPECT_EQ(ReadBlock(*file, 2, 3), "234");
  EXPECT_FALSE(ReadBlock(*file, 2, int64_t{1} << 40));
}

// A block the file holds but the program will not take into memory fails
// like one outside the file, before any memory is taken for it.
TEST_F(PackageReaderTest, BlocksOverTheSizeLimitFailToRead) {
  std::unique_ptr<File> file = Open(std::string(static_cast<size_t>(kMaxBlockSize) + 1, 'r'));
  EXPECT_FALSE(ReadBlock(*file, 0, kMaxBlockSize + 1));
  std::optional<std::string> largest = ReadBlock(*file, 1, kMaxBlockSize);
  ASSERT_TRUE(largest);
  EXPECT_EQ(int64_t(largest->size()), kMaxBlockSize);
}

TEST_F(PackageReaderTest, ReadsTheBlocksOfASetupPackage) {
  PackageBuilder package;
  package.readme = "Read me\r\n";
  package.license = "Licence terms";
  package.language = "Setup\r\nNext=Weiter\r\n";
  package.record.LicenseMode = 1;
  std::unique_ptr<File> file = Open(package.Bytes());
  PackageLocation location = *LocatePackage(*file);
  SetupRecord record;
  ASSERT_TRUE(ReadRecord(*file, location.PackageEnd, record));
  EXPECT_EQ(FieldText(record.Title), "Aurora");
  EXPECT_EQ(ReadLanguageText(*file, location.PackageEnd, record), package.language);
  std::optional<SetupTexts> texts = ReadSetupTexts(*file, location.PackageEnd, record);
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->readme, package.readme);
  EXPECT_EQ(texts->license, package.license);
}

TEST_F(PackageReaderTest, LicenceIsReadOnlyInModesOneToThree) {
  PackageBuilder package;
  package.license = "Licence terms";
  for (int mode : {0, 1, 3, 4}) {
    package.record.LicenseMode = static_cast<uint8_t>(mode);
    std::unique_ptr<File> file = Open(package.Bytes());
    PackageLocation location = *LocatePackage(*file);
    SetupRecord record;
    ASSERT_TRUE(ReadRecord(*file, location.PackageEnd, record));
    std::optional<SetupTexts> texts = ReadSetupTexts(*file, location.PackageEnd, record);
    ASSERT_TRUE(texts);
    EXPECT_FALSE(texts->readme);
    EXPECT_EQ(texts->license.has_value(), mode >= 1 && mode <= 3) << mode;
  }
}

TEST_F(PackageReaderTest, BlocksOutsideTheFileOrNegativeFailToRead) {
  PackageBuilder package;
  SetupRecord record = package.FinalRecord();
  struct Case {
    const char* name;
    int32_t extras, readme, license, language;
    bool language_ok, texts_ok;
  } cases[] = {
      {"negative language", 0, 0, 0, -1, false, true},
      {"language before the file", 1 << 30, 0, 0, 5, false, true},
      {"readme past the end", -900, 1000, 0, 0, true, false},
      {"negative readme means none", 0, -5, 0, 0, true, true},
  };
  for (const Case& c : cases) {
    record.ExtrasSize = c.extras;
    record.ReadmeSize = c.readme;
    record.LicenseSize = c.license;
    record.LanguageSize = c.language;
    std::unique_ptr<File> file = Open(package.BytesWithRecord(record));
    int64_t end = LocatePackage(*file)->PackageEnd;
    EXPECT_EQ(ReadLanguageText(*file, end, record).has_value(), c.language_ok) << c.name;
    EXPECT_EQ(ReadSetupTexts(*file, end, record).has_value(), c.texts_ok) << c.name;
  }
}

TEST_F(PackageReaderTest, WritesAnUninstallerFromTheRunningPackage) {
  for (bool with_blocks : {false, true}) {
    PackageBuilder package;
    if (with_blocks) {
      package.readme = "readme";
      package.language = "Setup\r\nCancel=Abbrechen";
    }
    std::string bytes = package.Bytes() + "APPENDED-CERTIFICATE";
    std::unique_ptr<File> source = Open(bytes);
    int64_t end = LocatePackage(*source)->PackageEnd;
    SetupRecord record;
    ASSERT_TRUE(ReadRecord(*source, end, record));
    SetFieldText(record.ScreensaverFile, "Rewritten.scr", true);

    std::unique_ptr<File> target = files_.CreateForWriting("C:\\u.exe");
    ASSERT_TRUE(WriteUninstallerPackage(*source, end, record, *target));
    target.reset();

    EXPECT_EQ(files_.Contents("C:\\u.exe"), package.UninstallerBytes(record)) << with_blocks;
  }
}

TEST_F(PackageReaderTest, UninstallerWriteFailsOnAShortWrite) {
  PackageBuilder package;
  std::unique_ptr<File> source = Open(package.Bytes());
  int64_t end = LocatePackage(*source)->PackageEnd;
  SetupRecord record = package.FinalRecord();
  std::unique_ptr<File> target = files_.CreateForWriting("C:\\u.exe");
  files_.Entry("C:\\u.exe").write_capacity = 100;
  EXPECT_FALSE(WriteUninstallerPackage(*source, end, record, *target));
}

}  // namespace
}  // namespace scrsetup
