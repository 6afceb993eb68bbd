#include "package/setup_record.h"

#include <gtest/gtest.h>

#include <cstring>

namespace scrsetup {
namespace {

// Writes a little-endian int32 into hand-made record bytes.
void PutInt32(unsigned char* bytes, size_t offset, int32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

TEST(SetupRecord, ReadsEveryFieldFromHandWrittenBytes) {
  unsigned char bytes[936] = {};
  PutInt32(bytes, 0x000, 123456);
  std::memcpy(bytes + 0x004, "Aurora.scr", 10);
  std::memcpy(bytes + 0x104, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", 32);  // no NUL
  std::memcpy(bytes + 0x124, "https://example.org", 19);
  bytes[0x18a] = 1;
  bytes[0x18b] = 0;
  bytes[0x18c] = 7;
  PutInt32(bytes, 0x190, 60);
  PutInt32(bytes, 0x194, 10);
  PutInt32(bytes, 0x198, 20);
  PutInt32(bytes, 0x19c, 30);
  bytes[0x1a1] = 15;
  std::memcpy(bytes + 0x1a2, "<Program Files>", 15);
  bytes[0x29c] = 3;
  std::memcpy(bytes + 0x29d, "Sub", 3);
  bytes[0x397] = 1;
  std::memcpy(bytes + 0x398, "SCRSet.sig", 11);
  bytes[0x3a3] = 2;
  bytes[0x3a5] = 0xAA;  // reserved bytes travel with the record

  SetupRecord record;
  std::memcpy(&record, bytes, sizeof(record));
  EXPECT_EQ(record.PayloadSize, 123456);
  EXPECT_EQ(FieldText(record.ScreensaverFile), "Aurora.scr");
  EXPECT_EQ(FieldText(record.Title), "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
  EXPECT_EQ(FieldText(record.WebAddress), "https://example.org");
  EXPECT_EQ(record.AddUninstallEntry, 1);
  EXPECT_EQ(record.CreateProgramGroup, 0);
  EXPECT_EQ(record.CreateDesktopShortcut, 7);
  EXPECT_EQ(record.ExtrasSize, 60);
  EXPECT_EQ(record.ReadmeSize, 10);
  EXPECT_EQ(record.LicenseSize, 20);
  EXPECT_EQ(record.LanguageSize, 30);
  EXPECT_EQ(CountedText(record.DefaultFolder), "<Program Files>");
  EXPECT_EQ(CountedText(record.DefaultSubfolder), "Sub");
  EXPECT_EQ(record.SkipFolderPage, 1);
  EXPECT_EQ(FieldText(record.RecordSignature), "SCRSet.sig");
  EXPECT_EQ(record.LicenseMode, 2);
  EXPECT_TRUE(LicenseModeEnabled(record));

  unsigned char written[936];
  std::memcpy(written, &record, sizeof(record));
  EXPECT_EQ(std::memcmp(written, bytes, sizeof(bytes)), 0);
}

TEST(SetupRecord, EndSignatures) {
  EXPECT_EQ(SetupSignature(), "Vornex.sig");
  EXPECT_EQ(UninstallerSignature(), "ScUnin.sig");
}

TEST(SetupRecord, FullWidthTextsHaveNoNul) {
  SetupRecord record = EmptyRecord();
  std::string web(102, 'w');
  ASSERT_TRUE(SetFieldText(record.WebAddress, web, false));
  EXPECT_EQ(FieldText(record.WebAddress), web);
  EXPECT_FALSE(SetFieldText(record.WebAddress, web + "x", false));
  EXPECT_FALSE(SetFieldText(record.ScreensaverFile, std::string(256, 'n'), true));
  EXPECT_TRUE(SetFieldText(record.ScreensaverFile, std::string(255, 'n'), true));
}

TEST(SetupRecord, CountedStringsAreBoundedTo250) {
  SetupRecord record = EmptyRecord();
  EXPECT_TRUE(SetCountedText(record.DefaultFolder, std::string(250, 'f')));
  EXPECT_FALSE(SetCountedText(record.DefaultFolder, std::string(251, 'f')));
  record.DefaultFolder.length = 255;  // invalid: read as its 250 characters
  EXPECT_EQ(CountedText(record.DefaultFolder), std::string(250, 'f'));
}

TEST(SetupRecord, LicenseModeOneToThreeEnablesTheLicence) {
  SetupRecord record = EmptyRecord();
  for (int mode : {0, 1, 2, 3, 4, 255}) {
    record.LicenseMode = static_cast<uint8_t>(mode);
    EXPECT_EQ(LicenseModeEnabled(record), mode >= 1 && mode <= 3) << mode;
  }
}

}  // namespace
}  // namespace scrsetup
