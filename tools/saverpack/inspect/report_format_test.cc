#include "saverpack/inspect/report_format.h"

#include <gtest/gtest.h>

#include "saverpack/text/unicode_text.h"

namespace saverpack {
namespace {

TEST(SaverpackReportFormatTest, LiteralsEscapeWhatJsonForbidsAndShowMarkedBytes) {
  struct Case {
    std::u32string characters;
    std::string text;
    std::string json;
  } cases[] = {
      {U"Aurora 2.0", R"("Aurora 2.0")", R"("Aurora 2.0")"},
      {U"say \"hi\" C:\\x/y", R"("say \"hi\" C:\\x/y")", R"("say \"hi\" C:\\x/y")"},
      {U"\b\f\n\r\t", R"("\b\f\n\r\t")", R"("\b\f\n\r\t")"},
      {std::u32string(U"a\0b\x1f\x7f\x85", 6), R"("a\u0000b\u001f\u007f\u0085")",
       R"("a\u0000b\u001f\u007f\u0085")"},
      {U"Über 表示", "\"Über 表示\"", "\"Über 表示\""},
      {{U'a', ByteMark(0x81), ByteMark(0xff)}, R"("a\x81\xFF")", R"("a\\x81\\xFF")"},
      {U"", R"("")", R"("")"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextLiteral(c.characters, LiteralForm::kText), c.text) << c.text;
    EXPECT_EQ(TextLiteral(c.characters, LiteralForm::kJson), c.json) << c.json;
  }
  EXPECT_EQ(JsonString("caf\xc3\xa9 \xe9"), R"("café \\xE9")");
}

}  // namespace
}  // namespace saverpack
