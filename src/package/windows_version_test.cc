#include "package/windows_version.h"

#include <gtest/gtest.h>

namespace scrsetup {
namespace {

TEST(WindowsVersionClass, MapsEveryKnownVersion) {
  struct Case {
    std::optional<OsVersion> version;
    int expected;
  } cases[] = {
      {std::nullopt, -1},
      {OsVersion{1, 4, 0, ""}, 0},
      {OsVersion{1, 4, 10, ""}, 1},
      {OsVersion{1, 4, 10, " A "}, 2},
      {OsVersion{1, 4, 10, "A"}, 1},
      {OsVersion{1, 4, 90, ""}, 3},
      {OsVersion{1, 5, 0, ""}, -1},
      {OsVersion{2, 3, 51, ""}, 4},
      {OsVersion{2, 4, 0, ""}, 4},
      {OsVersion{2, 5, 0, ""}, 5},
      {OsVersion{2, 5, 1, ""}, 6},
      {OsVersion{2, 5, 2, ""}, -1},
      {OsVersion{2, 6, 0, ""}, 7},
      {OsVersion{2, 6, 3, ""}, 7},
      {OsVersion{2, 10, 0, ""}, -1},
      {OsVersion{0, 3, 1, ""}, -1},
  };
  for (const Case& c : cases) {
    std::string name = c.version ? std::to_string(c.version->platform_id) + ":" +
                                       std::to_string(c.version->major) + "." +
                                       std::to_string(c.version->minor) + c.version->service_pack
                                 : "failed";
    EXPECT_EQ(WindowsVersionClass(c.version), c.expected) << name;
  }
}

}  // namespace
}  // namespace scrsetup
