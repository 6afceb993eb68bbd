#include "saverpack/manual_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "saverpack/build/build_options.h"

namespace saverpack {
namespace {

// Every build option has its tagged paragraph, and no text line can be
// taken for a roff request.
TEST(ManualPageTest, ShowsEveryBuildOptionAsRoff) {
  const std::string page = ManualPage("9.8.7");
  EXPECT_TRUE(page.starts_with(".TH SAVERPACK 1 \"\" \"saverpack 9.8.7\"")) << page;
  for (const BuildOption& option : BuildOptionTable()) {
    std::string shown;
    for (char c : std::string(option.name)) shown += c == '-' ? std::string("\\-") : std::string(1, c);
    const std::string short_name = option.short_name.empty() ? "" : "\\-o, ";
    EXPECT_NE(page.find(".TP\n\\fB" + short_name + shown),
              std::string::npos)
        << option.name;
  }
  for (const char* wanted : {".SH BUILD\n", ".SH INSPECT\n", ".SH \"EXIT STATUS\"\n",
                             "saverpack build PACKAGE.ini [options]\n",
                             "\\e\" or \".\" is a file\n"}) {
    EXPECT_NE(page.find(wanted), std::string::npos) << wanted;
  }
  const std::string requests[] = {".TH", ".SH", ".PP", ".TP", ".nf", ".fi"};
  for (size_t start = 0; start < page.size(); start = page.find('\n', start) + 1) {
    const std::string line = page.substr(start, page.find('\n', start) - start);
    if (!line.starts_with('.') && !line.starts_with('\'')) continue;
    EXPECT_TRUE(std::any_of(std::begin(requests), std::end(requests),
                            [&line](const std::string& r) { return line.starts_with(r); }))
        << line;
  }
}

}  // namespace
}  // namespace saverpack
