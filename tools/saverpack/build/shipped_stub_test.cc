#include "saverpack/build/shipped_stub.h"

#include <gtest/gtest.h>

#include <map>

namespace saverpack {
namespace {

using Paths = std::vector<std::string>;

// Every layout saverpack ships in, for both architectures.
TEST(ShippedStubTest, CandidatesForEveryLayout) {
  struct Case {
    const char* name;
    std::string program;
    StubArch arch;
    Paths expected;
  } cases[] = {
      {"build tree",
       "/src/build/native/bin/saverpack",
       StubArch::kX86,
       {"/src/build/native/bin/setup-x86.exe", "/src/build/native/share/saverpack/setup-x86.exe",
        "/src/build/win32/bin/setup.exe"}},
      {"build tree, x64",
       "/src/build/native/bin/saverpack",
       StubArch::kX64,
       {"/src/build/native/bin/setup-x64.exe", "/src/build/native/share/saverpack/setup-x64.exe",
        "/src/build/win64/bin/setup.exe"}},
      {"Debian package",
       "/usr/bin/saverpack",
       StubArch::kX64,
       {"/usr/bin/setup-x64.exe", "/usr/share/saverpack/setup-x64.exe", "/win64/bin/setup.exe"}},
      {"Windows zip",
       "C:\\Tools\\saverpack-1.0.0\\saverpack.exe",
       StubArch::kX86,
       {"C:\\Tools\\saverpack-1.0.0\\setup-x86.exe", "C:\\Tools\\share\\saverpack\\setup-x86.exe",
        "C:\\win32\\bin\\setup.exe"}},
      {"Windows build tree",
       "Z:\\src\\build\\win32\\bin\\saverpack.exe",
       StubArch::kX64,
       {"Z:\\src\\build\\win32\\bin\\setup-x64.exe",
        "Z:\\src\\build\\win32\\share\\saverpack\\setup-x64.exe",
        "Z:\\src\\build\\win64\\bin\\setup.exe"}},
      {"drive root", "C:\\saverpack.exe", StubArch::kX86, {"C:\\setup-x86.exe"}},
      {"file system root", "/saverpack", StubArch::kX86, {"/setup-x86.exe"}},
      {"one folder down",
       "/opt/saverpack",
       StubArch::kX86,
       {"/opt/setup-x86.exe", "/share/saverpack/setup-x86.exe"}},
      {"no folder at all", "saverpack", StubArch::kX86, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StubCandidates(c.program, c.arch), c.expected);
  }
}

TEST(ShippedStubTest, TheFirstUsablePlaceIsTaken) {
  const Paths candidates = {"/a/setup-x64.exe", "/b/setup-x64.exe", "/c/setup.exe"};
  struct Case {
    const char* name;
    std::map<std::string, std::string> problems;  // the places that cannot be taken
    std::string chosen;
  } cases[] = {
      {"all there", {}, "/a/setup-x64.exe"},
      {"first missing", {{"/a/setup-x64.exe", "No such file or directory"}}, "/b/setup-x64.exe"},
      {"only the last",
       {{"/a/setup-x64.exe", "No such file or directory"}, {"/b/setup-x64.exe", "Is a directory"}},
       "/c/setup.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto problem = [&c](const std::string& path) -> std::optional<std::string> {
      auto found = c.problems.find(path);
      if (found == c.problems.end()) return std::nullopt;
      return found->second;
    };
    std::string stub = "unchanged";
    EXPECT_FALSE(ChooseStub(candidates, StubArch::kX64, problem, stub));
    EXPECT_EQ(stub, c.chosen);
  }
}

TEST(ShippedStubTest, NoUsablePlaceNamesEveryOneAndItsProblem) {
  const Paths candidates = {"/a/setup-x86.exe", "/b/setup-x86.exe"};
  auto problem = [](const std::string& path) -> std::optional<std::string> {
    return path[1] == 'a' ? "No such file or directory" : "Permission denied";
  };
  std::string stub = "unchanged";
  std::optional<Failure> failure = ChooseStub(candidates, StubArch::kX86, problem, stub);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->exit_code, kExitBadInput);
  EXPECT_EQ(failure->message,
            "no --stub given, and the x86 installer stub that ships with saverpack is not where it "
            "was looked for:\n"
            "  /a/setup-x86.exe: No such file or directory\n"
            "  /b/setup-x86.exe: Permission denied\n"
            "Name the installer program with --stub FILE.");
  EXPECT_EQ(stub, "unchanged");
}

TEST(ShippedStubTest, ArchitectureNames) {
  EXPECT_EQ(StubArchNamed("x86"), StubArch::kX86);
  EXPECT_EQ(StubArchNamed("x64"), StubArch::kX64);
  for (const char* name : {"", "X86", "x86_64", "amd64", "i686", "x64 "}) {
    EXPECT_EQ(StubArchNamed(name), std::nullopt) << name;
  }
  EXPECT_EQ(StubArchName(StubArch::kX64), "x64");
}

}  // namespace
}  // namespace saverpack
