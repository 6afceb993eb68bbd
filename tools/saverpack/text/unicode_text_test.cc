#include "saverpack/text/unicode_text.h"

#include <gtest/gtest.h>

namespace saverpack {
namespace {

TEST(SaverpackUnicodeTextTest, ReadsUtf8AndUtf16AndRefusesInvalidSequences) {
  struct Case {
    std::string source;
    std::u32string characters;  // when read
    std::string problem;        // when refused
  } cases[] = {
      {"A\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80", U"Aé中😀", ""},
      {"\xef\xbb\xbfX", U"X", ""},
      {"\xef\xbb\xbf\xef\xbb\xbfX", U"\xfeffX", ""},  // only the first mark is one
      {std::string("\xff\xfe\x3d\xd8\x00\xde", 6), U"😀", ""},
      {std::string("\xfe\xff\xd8\x3d\xde\x00", 6), U"😀", ""},
      {"\xc3", U"", "byte 0xC3 is not UTF-8"},              // cut short
      {"a\xc3(", U"", "byte 0xC3 is not UTF-8"},            // no continuation
      {"\xe0\x80\xaf", U"", "byte 0xE0 is not UTF-8"},      // overlong
      {"\xf4\x90\x80\x80", U"", "byte 0xF4 is not UTF-8"},  // beyond U+10FFFF
      {"\x80", U"", "byte 0x80 is not UTF-8"},              // a lone continuation
      {std::string("\xff\xfe\x3d\xd8", 4), U"", "unpaired UTF-16 surrogate"},
      {std::string("\xfe\xff\xde\x00", 4), U"", "unpaired UTF-16 surrogate"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.problem.empty() ? Utf8(c.characters) : c.problem);
    std::u32string characters;
    std::optional<UnicodeProblem> problem = ReadUnicode(c.source, characters);
    if (c.problem.empty()) {
      EXPECT_FALSE(problem) << problem->message;
      EXPECT_EQ(characters, c.characters);
    } else {
      ASSERT_TRUE(problem);
      EXPECT_NE(problem->message.find(c.problem), std::string::npos) << problem->message;
    }
  }
}

TEST(SaverpackUnicodeTextTest, MarksKeepInvalidBytesAndLinesCountEveryBreak) {
  EXPECT_EQ(Utf8Characters("a\xe9\xc3\xa9"), (std::u32string{U'a', ByteMark(0xe9), U'é'}));
  EXPECT_EQ(MarkedByte(ByteMark(0x81)), 0x81);
  EXPECT_FALSE(MarkedByte(U'é'));
  EXPECT_EQ(Utf8(U"Aé中😀"), "A\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80");
  EXPECT_EQ(CodePointName(U'中'), "U+4E2D");
  EXPECT_EQ(CodePointName(U'😀'), "U+1F600");
  const std::u32string text = U"a\nb\r\nc\rd";
  EXPECT_EQ(LineAt(text, 0), 1);
  EXPECT_EQ(LineAt(text, 2), 2);  // b
  EXPECT_EQ(LineAt(text, 5), 3);  // c, after CR LF
  EXPECT_EQ(LineAt(text, 7), 4);  // d, after a lone CR
}

}  // namespace
}  // namespace saverpack
