#include "saverpack/report_format.h"

#include <gtest/gtest.h>

namespace saverpack {
namespace {

TEST(SaverpackReportFormatTest, JsonStringEscapesWhatJsonForbids) {
  struct Case {
    std::string bytes;
    std::string literal;
  } cases[] = {
      {"Aurora 2.0", R"("Aurora 2.0")"},
      {"say \"hi\" C:\\x/y", R"("say \"hi\" C:\\x/y")"},
      {"\b\f\n\r\t", R"("\b\f\n\r\t")"},
      {std::string("a\0b\x1f\x7f", 5), R"("a\u0000b\u001f\u007f")"},
      {"\x80\xe9\xff", R"("\u0080\u00e9\u00ff")"},
      {"", R"("")"},
  };
  for (const Case& c : cases) EXPECT_EQ(JsonString(c.bytes), c.literal) << c.literal;
}

}  // namespace
}  // namespace saverpack
