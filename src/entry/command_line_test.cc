#include "entry/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace scrsetup {
namespace {

std::vector<std::string> Arguments(const CommandLine& line) {
  std::vector<std::string> all;
  for (int i = 1; i <= line.Count(); ++i) all.push_back(line.Arg(i));
  return all;
}

TEST(CommandLine, SplitsByTheRuntimeRules) {
  struct Case {
    const char* line;
    std::vector<std::string> expected;
  } cases[] = {
      {"setup.exe", {}},
      {"setup.exe -silent C:\\Target", {"-silent", "C:\\Target"}},
      {"\"C:\\Program Files\\setup.exe\" -silent", {"-silent"}},
      {"setup.exe \t\x01-silent\x1f  x", {"-silent", "x"}},
      {"setup.exe \"C:\\My Savers\\\"", {"C:\\My Savers\\"}},
      {"setup.exe ab\"c d\"e", {"abc de"}},
      {"setup.exe \"\"-silent", {"-silent"}},
      {"setup.exe \"\" \"\"x", {"x"}},
      {"setup.exe \"unterminated arg", {"unterminated arg"}},
      {"setup.exe -silent \"\"", {"-silent"}},
      {"setup.exe \xe4\xf6 x", {"\xe4\xf6", "x"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Arguments(CommandLine(c.line)), c.expected) << c.line;
  }
}

TEST(CommandLine, ArgumentsBeyondTheCountAreEmpty) {
  CommandLine line("setup.exe -silent");
  EXPECT_EQ(line.Count(), 1);
  EXPECT_EQ(line.Arg(0), "setup.exe");
  EXPECT_EQ(line.Arg(2), "");
  EXPECT_EQ(line.Arg(-1), "");
}

TEST(CommandLine, SwitchTestTrimsAndLowersArgumentOneOnly) {
  struct Case {
    const char* line;
    bool silent;
    bool preview;
  } cases[] = {
      {"s.exe -silent", true, false},
      {"s.exe -SILENT", true, false},
      {"s.exe -SiLeNt", true, false},
      {"s.exe \" -silent \"", true, false},
      {"s.exe \"\t-silent\x01\"", true, false},
      {"s.exe -previewonly", false, true},
      {"s.exe -PreviewOnly", false, true},
      {"s.exe -silent -previewonly", true, false},
      {"s.exe -previewonly -silent", false, true},
      {"s.exe /silent", false, false},
      {"s.exe -silent2", false, false},
      {"s.exe x -silent", false, false},
      {"s.exe", false, false},
  };
  for (const Case& c : cases) {
    CommandLine line(c.line);
    EXPECT_EQ(line.HasSwitch("-silent"), c.silent) << c.line;
    EXPECT_EQ(line.HasSwitch("-previewonly"), c.preview) << c.line;
  }
}

}  // namespace
}  // namespace scrsetup
