#include "saverpack/build/execution_level.h"

#include <gtest/gtest.h>

namespace saverpack {
namespace {

constexpr char kElement[] =
    "<requestedExecutionLevel level=\"highestAvailable\" uiAccess=\"false\"/>";

TEST(RequestAsInvoker, RewritesTheOneLevelInPlace) {
  std::string stub = std::string("MZ\0\x01 manifest: ", 15) + kElement + " rest";
  const size_t size = stub.size();
  EXPECT_EQ(RequestAsInvoker(stub), std::nullopt);
  EXPECT_EQ(stub.size(), size);
  EXPECT_EQ(stub, std::string("MZ\0\x01 manifest: ", 15) +
                      "<requestedExecutionLevel level=\"asInvoker\"        uiAccess=\"false\"/> rest");
}

TEST(RequestAsInvoker, RefusesAStubWithoutExactlyOneLevel) {
  const std::string element(kElement);
  struct Case {
    const char* name;
    std::string stub;
  } cases[] = {
      {"no manifest", "MZ plain program"},
      {"already asInvoker", "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"},
      {"requireAdministrator", "<requestedExecutionLevel level=\"requireAdministrator\"/>"},
      {"two manifests", element + " and " + element},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string stub = c.stub;
    EXPECT_TRUE(RequestAsInvoker(stub));
    EXPECT_EQ(stub, c.stub);
  }
}

}  // namespace
}  // namespace saverpack
