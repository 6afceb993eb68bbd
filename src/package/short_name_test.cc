#include "package/short_name.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"

namespace scrsetup {
namespace {

TEST(ShortNameRule, CutsAndReplacesAsTheSettingsExpect) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"Aurora.scr", "Aurora.scr"},
      {"My Long Screensaver.scr", "My_Long_.scr"},       // cut at 8, blank replaced
      {"Northern Lights.scr", "Northern.scr"},           // 15 characters, cut
      {"Star.Field.scr", "Star_Field.scr"},             // first "." at 5: not cut
      {"ABCDEFGH.scr", "ABCDEFGH.scr"},                 // "." at position 9: cut, same text
      {"ABCDEFG.txt", "ABCDEFG.txt"},                   // 7 characters before the ".": kept
      {"ABCDEFGH.txt", "ABCDEFGH.scr"},                 // 8: cut, ".scr" appended
      {"ABCDEFGHI.txt", "ABCDEFGH.scr"},                // 9: cut
      {"ABCDEFGHI.scr", "ABCDEFGH.scr"},                // "." at position 10
      {"Long name without dot", "Long_name_without dot"},  // never cut; last 4 kept
      {"a.b", "a.b"},                                   // 4 characters or fewer: unchanged
      {"a b!", "a b!"},
      {"x y b!c", "x_y b!c"},
      {"x b!c", "x b!c"},
      {"\xe4pfel.scr", "_pfel.scr"},                    // codes of 128 and above
      {"C:\\Sav ers\\My Saver.scr", "C:\\Sav ers\\My_Saver.scr"},  // folder part kept
      {"D:Great Saver.scr", "D:Great_Sa.scr"},
      {"", ""},
  };
  testing::FakeSystemInfo system;
  const PathRules paths(system);
  for (const Case& c : cases) EXPECT_EQ(ApplyShortNameRule(paths, c.in), c.out) << c.in;
}

// The folder part is found by characters; the rule itself stays on bytes,
// so both bytes of a double-byte character become "_".
TEST(ShortNameRule, FindsTheNameByCharactersAndRewritesBytes) {
  testing::FakeSystemInfo system;
  const PathRules paths(system);
  const char* name = "\x95\\Northern Lights.scr";
  EXPECT_EQ(ApplyShortNameRule(paths, name), "\x95\\Northern.scr");
  system.code_page = 932;
  EXPECT_EQ(ApplyShortNameRule(paths, name), "__Northe.scr");
}

// A double-byte character whose first byte is rewritten is rewritten whole,
// even when its second byte is among the last 4: that byte never comes out
// as a "\" or ":" of its own, so the folder part stays what it was.
TEST(ShortNameRule, RewritesADoubleByteCharacterWhole) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"Sub3\xff\xff~\xfc:\x8c\x9c\x85", "Sub3_____\x8c\x9c\x85"},  // ":" stays a second byte
      {"abc\x95\\xyz", "abc__xyz"},              // a second byte "\" likewise
      {"abc\x9c\x81\x9c\\x", "abc__\x9c\\x"},   // and the characters after keep their split
      {"abcd\x95" "Axyz", "abcd_Axyz"},            // a letter as second byte stays
      {"\x95\x95Long.scr", "__Long.scr"},         // in the middle: as before
  };
  testing::FakeSystemInfo system;
  system.code_page = 932;
  const PathRules paths(system);
  for (const Case& c : cases) {
    const std::string out = ApplyShortNameRule(paths, c.in);
    EXPECT_EQ(out, c.out) << c.in;
    EXPECT_EQ(paths.FolderPart(out), paths.FolderPart(c.in)) << c.in;
  }
}

}  // namespace
}  // namespace scrsetup
