// The package's code page through the host's converter (iconv here; the
// Windows converter is checked by running saverpack.exe under Wine).
#include "saverpack/text/package_code_page.h"

#include <gtest/gtest.h>

#include "saverpack/text/unicode_text.h"

namespace saverpack {
namespace {

PackageCodePage Opened(std::optional<int> number) {
  PackageCodePage code_page;
  std::optional<Failure> failure = PackageCodePage::Open(number, code_page);
  EXPECT_FALSE(failure) << failure->message;
  return code_page;
}

// One character of each code page, and the Windows table's bytes for it.
TEST(SaverpackCodePageTest, EncodesAndDecodesEveryCodePageAsWindowsDoes) {
  struct Case {
    int code_page;
    const char* text;  // UTF-8
    std::string bytes;
  } cases[] = {
      {874, "ก฿", "\xa1\xdf"},
      {932, "表示", "\x95\x5c\x8e\xa6"},   // the second byte of 表 is "\"
      {932, "～ｱ\\", "\x81\x60\xb1\x5c"},  // U+FF5E is Windows' 0x8160
      {936, "中文€", "\xd6\xd0\xce\xc4\x80"},
      {949, "한국", "\xc7\xd1\xb1\xb9"},
      {950, "中文", "\xa4\xa4\xa4\xe5"},
      {1250, "łŕ", "\xb3\xe0"},
      {1251, "Жё", "\xc6\xb8"},
      {1252, "Ü€é", "\xdc\x80\xe9"},
      {1253, "Ωά", "\xd9\xdc"},
      {1254, "ğŞ", "\xf0\xde"},
      {1255, "א₪", "\xe0\xa4"},
      {1256, "عپ", "\xda\x81"},
      {1257, "ąŽ", "\xe0\xde"},
      {1258, "đe\xcc\x81", "\xf0\x65\xec"},  // a letter and a combining acute
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.code_page) + " " + c.text);
    PackageCodePage code_page = Opened(c.code_page);
    std::string bytes;
    std::optional<Failure> failure = code_page.EncodeText(c.text, "--title", bytes);
    ASSERT_FALSE(failure) << failure->message;
    EXPECT_EQ(bytes, c.bytes);
    EXPECT_EQ(Utf8(code_page.Decode(bytes)), c.text);
  }
}

TEST(SaverpackCodePageTest, RefusesWhatTheCodePageCannotHold) {
  struct Case {
    int code_page;
    std::string text;
    std::string message;
  } cases[] = {
      {1252, "Aurora 中", "--title: line 1: U+4E2D \"中\" has no code in code page 1252"},
      {1252, "a\xc2\x81", "line 1: U+0081 has no code"},               // a C1 control
      {932, "\xc2\xa5", "U+00A5 \"¥\" has no code in code page 932"},  // not as "\"
      {932, "〜", "U+301C"},                                           // not as Windows' U+FF5E
      {1258, "ế", "U+1EBF"},                                           // only as base and mark
      {1251, "Wörter", "U+00F6"},
      {1252, "\xf0\x9f\x98\x80", "U+1F600"},
      {1252, "caf\xe9", "line 1: byte 0xE9 is not UTF-8"},
      {1252, "\xc0\xaf", "byte 0xC0 is not UTF-8"},      // overlong "/"
      {1252, "\xed\xa0\x80", "byte 0xED is not UTF-8"},  // a surrogate
      {1252,
       "\xef\xbb\xbf"
       "BOM",
       "U+FEFF"},  // in a text a byte order mark is a character
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    PackageCodePage code_page = Opened(c.code_page);
    std::string bytes = "unchanged";
    std::optional<Failure> failure = code_page.EncodeText(c.text, "--title", bytes);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->exit_code, kExitBadInput);
    EXPECT_NE(failure->message.find(c.message), std::string::npos) << failure->message;
  }
}

// Files: a byte order mark chooses UTF-8 or UTF-16, every line ends in CR
// LF, and a refusal names the line, counted at CR, LF and CR LF alike.
TEST(SaverpackCodePageTest, FilesAreUnicodeWithCrLfLines) {
  struct Case {
    const char* name;
    std::string contents;
    std::string bytes;  // in 1252; empty when refused
    std::string message;
  } cases[] = {
      {"UTF-8",
       "Gr\xc3\xbc\xc3\x9f"
       "e\nzwei\r\ndrei\rvier\n",
       "Gr\xfc\xdf"
       "e\r\nzwei\r\ndrei\r\nvier\r\n",
       ""},
      {"UTF-8 with mark", "\xef\xbb\xbf\xc3\x9c\n", "\xdc\r\n", ""},
      {"UTF-16LE",
       std::string("\xff\xfe\xdc\x00\n\x00"
                   "a\x00",
                   8),
       "\xdc\r\na", ""},
      {"UTF-16BE", std::string("\xfe\xff\x00\xdc\x00\r\x00\n\x20\xac", 10), "\xdc\r\n\x80", ""},
      {"empty", "", "", ""},
      {"line counted through every kind of break", "a\nb\r\nc\rd\xe4\xb8\xad", "",
       "--readme 'r.txt': line 4: U+4E2D"},
      {"invalid UTF-8 on line 2", "ok\r\n\xe9", "", "line 2: byte 0xE9 is not UTF-8"},
      {"UTF-16 cut in half",
       std::string("\xff\xfe"
                   "a\x00"
                   "b",
                   5),
       "", "half a character"},
      {"UTF-16 lone surrogate",
       std::string("\xff\xfe\x00\xd8"
                   "a\x00",
                   6),
       "", "unpaired UTF-16 surrogate"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PackageCodePage code_page = Opened(1252);
    std::string bytes;
    std::optional<Failure> failure = code_page.EncodeFile(c.contents, "--readme 'r.txt'", bytes);
    if (!c.message.empty()) {
      ASSERT_TRUE(failure);
      EXPECT_NE(failure->message.find(c.message), std::string::npos) << failure->message;
      continue;
    }
    ASSERT_FALSE(failure) << failure->message;
    EXPECT_EQ(bytes, c.bytes);
  }
}

TEST(SaverpackCodePageTest, WithoutCodePageTextsPassAsGivenAndOnlyAsciiShows) {
  PackageCodePage none = Opened(std::nullopt);
  const std::string raw = "\xef\xbb\xbf\xe9\n\x81";
  std::string bytes;
  ASSERT_FALSE(none.EncodeFile(raw, "--readme", bytes));
  EXPECT_EQ(bytes, raw);
  ASSERT_FALSE(none.EncodeText(raw, "--title", bytes));
  EXPECT_EQ(bytes, raw);
  EXPECT_EQ(none.Decode("A\xe9"), (std::u32string{U'A', ByteMark(0xe9)}));
}

// A byte the code page does not define is kept as its mark, never dropped;
// so is a lead byte that no second byte completes.
TEST(SaverpackCodePageTest, DecodingMarksUndefinedBytes) {
  struct Case {
    int code_page;
    std::string bytes;
    std::u32string characters;
  } cases[] = {
      {1252, "a\x81z", {U'a', ByteMark(0x81), U'z'}},
      {1252, "\x8d\x8f\x90\x9d", {ByteMark(0x8d), ByteMark(0x8f), ByteMark(0x90), ByteMark(0x9d)}},
      {932, "\x95", {ByteMark(0x95)}},
      {932, "\x95\x5c\x95", {U'表', ByteMark(0x95)}},
      {932, "\x95\n\\", {ByteMark(0x95), U'\n', U'\\'}},
      {1253, "\xaa", {ByteMark(0xaa)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code_page);
    PackageCodePage code_page = Opened(c.code_page);
    EXPECT_EQ(code_page.Decode(c.bytes), c.characters);
  }
}

TEST(SaverpackCodePageTest, OnlyTheServedCodePagesOpen) {
  for (int number :
       {874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}) {
    EXPECT_TRUE(IsSupportedCodePage(number)) << number;
    EXPECT_TRUE(OpenCodePage(number)) << number;
  }
  for (int number : {0, 437, 1200, 1249, 1259, 65001}) {
    EXPECT_FALSE(IsSupportedCodePage(number)) << number;
    EXPECT_FALSE(OpenCodePage(number)) << number;
  }
}

}  // namespace
}  // namespace saverpack
