#include "platform/path_rules.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"

namespace scrsetup {
namespace {

// "\x95\x5C" is one Shift-JIS character whose second byte is the "\" byte;
// "\x81\x3A" one whose second byte is the ":" byte.
TEST(PathRules, SplitsByCharactersOfTheCodePage) {
  struct Case {
    int code_page;
    const char* path;
    const char* folder;
    const char* name;
    bool ends_with_backslash;
  } cases[] = {
      {1252, "C:\\a\\b.scr", "C:\\a\\", "b.scr", false},
      {1252, "D:b.scr", "D:", "b.scr", false},
      {1252, "b.scr", "", "b.scr", false},
      {1252, "C:\\Savers\\", "C:\\Savers\\", "", true},
      {1252, "", "", "", false},
      {1252, "C:\\\x95\\", "C:\\\x95\\", "", true},
      {1252, "C:\\\x95\\x.scr", "C:\\\x95\\", "x.scr", false},
      {932, "C:\\a\\b.scr", "C:\\a\\", "b.scr", false},
      {932, "C:\\Savers\\\x95\\", "C:\\Savers\\", "\x95\\", false},
      {932, "C:\\Savers\\\x95\\\\", "C:\\Savers\\\x95\\\\", "", true},
      {932, "C:\\\x95\\x.scr", "C:\\", "\x95\\x.scr", false},
      {932, "C:\\\x95\\\\x.scr", "C:\\\x95\\\\", "x.scr", false},
      {932, "C:\\\x81:x.scr", "C:\\", "\x81:x.scr", false},
      {932, "\xE0\\\xFC\\", "", "\xE0\\\xFC\\", false},
      {932, "\xA0\\", "\xA0\\", "", true},  // 0xA0 is a single-byte character
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.code_page << " " << c.path);
    testing::FakeSystemInfo system;
    system.code_page = c.code_page;
    const PathRules paths(system);
    EXPECT_EQ(paths.FolderPart(c.path), c.folder);
    EXPECT_EQ(paths.FileNamePart(c.path), c.name);
    EXPECT_EQ(paths.EndsWithBackslash(c.path), c.ends_with_backslash);
    const std::string with = paths.WithTrailingBackslash(c.path);
    EXPECT_EQ(with, c.ends_with_backslash ? std::string(c.path) : std::string(c.path) + "\\");
    const std::string_view without = paths.WithoutTrailingBackslash(c.path);
    EXPECT_EQ(without, c.ends_with_backslash ? std::string_view(c.path).substr(0, with.size() - 1)
                                             : std::string_view(c.path));
  }
}

// A lead byte at the end is a character of its own, but one "\" after it
// would be its second byte: WithTrailingBackslash drops it instead.
TEST(PathRules, ALeadByteAtTheEndNeverTakesTheAppendedBackslash) {
  testing::FakeSystemInfo system;
  system.code_page = 932;
  const PathRules paths(system);
  EXPECT_EQ(paths.FolderPart("C:\\ab\x95"), "C:\\");
  EXPECT_EQ(paths.FileNamePart("C:\\ab\x95"), "ab\x95");
  EXPECT_FALSE(paths.EndsWithBackslash("C:\\ab\x95"));
  EXPECT_EQ(paths.WithTrailingBackslash("C:\\ab\x95"), "C:\\ab\\");
  EXPECT_EQ(paths.WithTrailingBackslash("\x95"), "\\");
  EXPECT_EQ(paths.WithTrailingBackslash("C:\\\x95\\"), "C:\\\x95\\\\");  // a whole character stays
  system.code_page = 1252;
  EXPECT_EQ(paths.WithTrailingBackslash("C:\\ab\x95"), "C:\\ab\x95\\");
}

TEST(PathRules, DriveRootsKeepTheirBackslash) {
  testing::FakeSystemInfo system;
  system.code_page = 932;
  const PathRules paths(system);
  struct Case {
    const char* path;
    bool drive_root;
    const char* without;
  } cases[] = {
      {"C:\\", true, "C:\\"},      {"z:\\", true, "z:\\"},      {"\\", false, "\\"},
      {"1:\\", false, "1:"},       {"C:", false, "C:"},         {"C:\\a\\", false, "C:\\a"},
      {"C:\\\x95\\", false, "C:\\\x95\\"},  {"", false, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PathRules::IsDriveRoot(c.path), c.drive_root) << c.path;
    EXPECT_EQ(paths.WithoutTrailingBackslashUnlessRoot(c.path), c.without) << c.path;
  }
}

}  // namespace
}  // namespace scrsetup
