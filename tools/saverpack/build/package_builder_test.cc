#include "saverpack/build/package_builder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "package/crc32.h"
#include "package/package_reader.h"
#include "saverpack/host/host_file.h"
#include "saverpack/test_support.h"

namespace saverpack {
namespace {

using scrsetup::SetupRecord;

// The installer reads what the tool wrote: without a code page every part
// comes back byte for byte through the core's own reading functions. The
// screensaver is larger than one copy chunk so the bounded copy is exercised.
TEST(SaverpackBuilderTest, BuiltPackageReadsBackThroughTheCore) {
  testing::TempFolder folder;
  const std::string stub = testing::PatternBytes(3000, 1);
  const std::string screensaver = testing::PatternBytes(300 * 1024 + 7, 2);
  const std::string readme = "Read me first.\r\n";
  const std::string license = "Licence \xe9 text.\r\n";
  const std::string language = "[Language]\r\nName=Test\r\n";
  testing::WriteFile(folder.Path("setup.exe"), stub);
  testing::WriteFile(folder.Path("Aurora.scr"), screensaver);
  testing::WriteFile(folder.Path("readme.txt"), readme);
  testing::WriteFile(folder.Path("license.txt"), license);
  testing::WriteFile(folder.Path("language.txt"), language);

  BuildOptions options;
  options.output = folder.Path("package.exe");
  options.stub = folder.Path("setup.exe");
  options.screensaver = folder.Path("Aurora.scr");
  options.title = "Aurora";
  options.subfolder = "Aurora";
  options.readme = folder.Path("readme.txt");
  options.license = folder.Path("license.txt");
  options.license_mode = 2;
  options.language = {folder.Path("language.txt")};
  options.code_page = std::nullopt;
  std::optional<Failure> failure = BuildPackage(options);
  ASSERT_FALSE(failure) << failure->message;

  auto file = OpenForReading(options.output);
  ASSERT_TRUE(file);
  auto location = scrsetup::LocatePackage(*file);
  ASSERT_TRUE(location);
  EXPECT_EQ(location->kind, scrsetup::PackageKind::kSetup);
  // The check block follows, with no facts: its 24 fixed bytes and its CRC.
  EXPECT_EQ(location->PackageEnd + 28, file->Size());
  SetupRecord record;
  ASSERT_TRUE(scrsetup::ReadRecord(*file, location->PackageEnd, record));
  EXPECT_EQ(scrsetup::FieldText(record.ScreensaverFile), "Aurora.scr");
  EXPECT_EQ(scrsetup::FieldText(record.RecordSignature), scrsetup::kRecordSignature);
  EXPECT_EQ(record.LicenseMode, 2);

  auto texts = scrsetup::ReadSetupTexts(*file, location->PackageEnd, record);
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->readme, readme);
  EXPECT_EQ(texts->license, license);
  EXPECT_EQ(scrsetup::ReadLanguageText(*file, location->PackageEnd, record), language);

  int64_t stub_length = scrsetup::StubLength(location->PackageEnd, record);
  EXPECT_EQ(scrsetup::ReadBlock(*file, 0, stub_length), stub);
  EXPECT_EQ(scrsetup::ReadBlock(*file, stub_length, scrsetup::PayloadLength(record)), screensaver);
}

void Put(std::string& bytes, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xff);
}

uint32_t Crc(const std::string& bytes) { return scrsetup::Crc32(0, bytes.data(), bytes.size()); }

// The check block of a small package, byte for byte: tag, format, size, the
// covered length and both CRCs of the bytes as written, the three facts in
// the code page (1252: "é" is one byte), and the block's own CRC.
TEST(SaverpackBuilderTest, CheckBlockIsWrittenByteExact) {
  testing::TempFolder folder;
  testing::WriteFile(folder.Path("setup.exe"), "MZstub");
  testing::WriteFile(folder.Path("a.scr"), "saver");
  testing::WriteFile(folder.Path("readme.txt"), "hi\n");
  BuildOptions options;
  options.output = folder.Path("package.exe");
  options.stub = folder.Path("setup.exe");
  options.screensaver = folder.Path("a.scr");
  options.title = "A";
  options.readme = folder.Path("readme.txt");
  options.display_version = "1.0";
  options.publisher = "Caf\xc3\xa9";
  options.help_link = "h";
  std::optional<Failure> failure = BuildPackage(options);
  ASSERT_FALSE(failure) << failure->message;

  const std::string package = testing::ReadFile(options.output);
  const size_t tail_start = 6 + 5;  // after stub and screensaver
  const size_t signature_start = tail_start + 4 + 936;
  ASSERT_GT(package.size(), signature_start + 10);
  EXPECT_EQ(package.substr(signature_start, 10), "Vornex.sig");
  std::string expected = "SCRcheck";
  Put(expected, 1, 2);
  Put(expected, 24 + (4 + 3) + (4 + 4) + (4 + 1) + 4, 2);
  Put(expected, 5 + 4 + 936, 4);  // PayloadSize - 10
  Put(expected, Crc("saver"), 4);
  Put(expected, Crc(package.substr(tail_start, 4 + 936)), 4);
  EXPECT_EQ(package.substr(tail_start, 4), "hi\r\n");
  expected += std::string("\x01\x00\x03\x00", 4) + "1.0";
  expected += std::string("\x02\x00\x04\x00", 4) + "Caf\xe9";
  expected += std::string("\x03\x00\x01\x00", 4) + "h";
  Put(expected, Crc(expected), 4);
  EXPECT_EQ(package.substr(signature_start + 10), expected);
}

TEST(SaverpackBuilderTest, PartAfterStubMustStayUnderTwoGiB) {
  constexpr int64_t kLimit = int64_t{1} << 31;
  constexpr int64_t kTail = scrsetup::kTailSize;
  struct Case {
    const char* name;
    PartSizes sizes;
    bool fits;
  } cases[] = {
      {"largest screensaver", {.screensaver = kLimit - 1 - kTail}, true},
      {"one byte more", {.screensaver = kLimit - kTail}, false},
      {"largest with blocks",
       {.screensaver = kLimit - 1 - kTail - 6, .readme = 1, .license = 2, .language = 3},
       true},
      {"blocks tip it over",
       {.screensaver = kLimit - kTail - 6, .readme = 1, .license = 2, .language = 3},
       false},
      {"a block alone too large", {.screensaver = 0, .language = kLimit}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetupRecord record = scrsetup::EmptyRecord();
    std::optional<Failure> failure = SetPartSizes(c.sizes, record);
    if (!c.fits) {
      ASSERT_TRUE(failure);
      EXPECT_EQ(failure->exit_code, kExitBadInput);
      EXPECT_NE(failure->message.find("2 GiB"), std::string::npos) << failure->message;
      continue;
    }
    ASSERT_FALSE(failure) << failure->message;
    EXPECT_EQ(record.PayloadSize, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(record.ExtrasSize, c.sizes.readme + c.sizes.license + c.sizes.language);
    EXPECT_EQ(record.ReadmeSize, c.sizes.readme);
    EXPECT_EQ(record.LicenseSize, c.sizes.license);
    EXPECT_EQ(record.LanguageSize, c.sizes.language);
    EXPECT_EQ(scrsetup::PayloadLength(record), c.sizes.screensaver);
  }
}

}  // namespace
}  // namespace saverpack
