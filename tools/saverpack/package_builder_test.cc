#include "saverpack/package_builder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "package/package_reader.h"
#include "saverpack/host_file.h"
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
  options.language = folder.Path("language.txt");
  options.code_page = std::nullopt;
  std::optional<Failure> failure = BuildPackage(options);
  ASSERT_FALSE(failure) << failure->message;

  auto file = OpenForReading(options.output);
  ASSERT_TRUE(file);
  auto location = scrsetup::LocatePackage(*file);
  ASSERT_TRUE(location);
  EXPECT_EQ(location->kind, scrsetup::PackageKind::kSetup);
  EXPECT_EQ(location->PackageEnd, file->Size());
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

TEST(SaverpackBuilderTest, ScreensaverFileNameIsTheLastPathPart) {
  struct Case {
    const char* path;
    const char* name;
  } cases[] = {
      {"Aurora.scr", "Aurora.scr"},
      {"savers/Aurora.scr", "Aurora.scr"},
      {"C:\\Savers\\Aurora.scr", "Aurora.scr"},
      {"C:Aurora.scr", "Aurora.scr"},
      {"mixed\\dir/Aurora.scr", "Aurora.scr"},
      {"savers/", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ScreensaverFileName(c.path), c.name) << c.path;
}

}  // namespace
}  // namespace saverpack
