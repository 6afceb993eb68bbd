#include "saverpack/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace saverpack {
namespace {

using Arguments = std::vector<std::string>;

ParsedCommandLine Parse(const Arguments& arguments) {
  std::vector<std::string_view> views(arguments.begin(), arguments.end());
  return ParseCommandLine(views);
}

// A build command line that parses, with `extra` appended.
Arguments Build(const Arguments& extra = {}) {
  Arguments arguments = {"build",         "-o",    "out.exe", "--stub", "setup.exe",
                         "--screensaver", "a.scr", "--title", "Aurora"};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  return arguments;
}

// `arguments` without the option `name` and its value.
Arguments Without(Arguments arguments, const std::string& name) {
  for (size_t i = 0; i + 1 < arguments.size(); ++i) {
    if (arguments[i] == name) arguments.erase(arguments.begin() + i, arguments.begin() + i + 2);
  }
  return arguments;
}

Arguments Appended(Arguments arguments, const Arguments& extra) {
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  return arguments;
}

// Every way a command line is wrong: exit status 2, the problem named, and
// the way to the usage of the command it concerns.
TEST(CommandLineTest, UsageErrors) {
  struct Case {
    Arguments arguments;
    std::string problem;
    std::string usage;  // the help command the message ends with
  } cases[] = {
      {{}, "no command given", "saverpack --help"},
      {{"pack"}, "unknown command 'pack'", "saverpack --help"},
      {{"help", "pack"}, "help: name one command, build, init, inspect, winget or languages",
       "saverpack --help"},
      {{"help", "build", "inspect"}, "help: name one command", "saverpack --help"},
      {{"--version", "build"}, "--version takes no arguments", "saverpack --help"},
      {Build({"--license-mode", "256"}), "--license-mode '256' is not a number from 0 to 255",
       "saverpack build --help"},
      {Build({"--license-mode", "-1"}), "--license-mode '-1'", "saverpack build --help"},
      {Build({"--license-mode", "2x"}), "--license-mode '2x'", "saverpack build --help"},
      {Without(Build(), "-o"), "option -o (--output) is required", "saverpack build --help"},
      {Without(Build(), "--screensaver"), "option --screensaver is required",
       "saverpack build --help"},
      {Without(Build(), "--title"), "option --title is required", "saverpack build --help"},
      {Appended(Without(Build(), "--stub"), {"--stub", ""}), "--stub needs a file name",
       "saverpack build --help"},
      {Build({"--arch", "x86_64"}), "--arch 'x86_64' is neither x86 nor x64",
       "saverpack build --help"},
      {Build({"--scope", "User"}), "--scope 'User' is neither machine nor user",
       "saverpack build --help"},
      {Build({"--frobnicate"}), "unknown option '--frobnicate'", "saverpack build --help"},
      {Build({"--web"}), "option --web needs a value", "saverpack build --help"},
      {Build({"--version"}), "option --version needs a value", "saverpack build --help"},
      {Build({"--title", "Again"}), "option --title is given twice", "saverpack build --help"},
      {Build({"--output", "again.exe"}), "option -o (--output) is given twice",
       "saverpack build --help"},
      {Build({"--codepage", "437"}),
       "--codepage '437' is not a supported code page (874, 932, 936, 949, 950, 1250 to 1258, "
       "or none)",
       "saverpack build --help"},
      {Build({"--codepage", "cp1252"}), "--codepage 'cp1252'", "saverpack build --help"},
      {{"build", "a.ini", "b.ini"}, "unexpected argument 'b.ini'", "saverpack build --help"},
      {{"build", "a.ini", "--skip-folder-page", "--skip-folder-page"},
       "option --skip-folder-page is given twice", "saverpack build --help"},
      {{"inspect", "a.exe", "--codepage", "65001"}, "--codepage '65001' is not a supported",
       "saverpack inspect --help"},
      {{"inspect"}, "name exactly one package file", "saverpack inspect --help"},
      {{"inspect", "a.exe", "b.exe"}, "name exactly one package file", "saverpack inspect --help"},
      {{"inspect", "a.exe", "--yaml"}, "unknown option '--yaml'", "saverpack inspect --help"},
      {{"inspect", "a.exe", "--json", "--json"}, "option --json is given twice",
       "saverpack inspect --help"},
      {{"winget", "a.exe", "--url", "https://example.org/a.exe"}, "option --id is required",
       "saverpack winget --help"},
      {{"winget", "--id", "A.B", "--url", "https://x"}, "name exactly one package file",
       "saverpack winget --help"},
      {{"winget", "a.exe", "--id", "A.B", "--url", "https://x", "-o"},
       "option -o (--output) needs a value", "saverpack winget --help"},
      {{"init"}, "name exactly one package file to write", "saverpack init --help"},
      {{"init", "a.ini", "--force"}, "unknown option '--force'", "saverpack init --help"},
      {{"languages", "de"}, "unexpected argument 'de'", "saverpack languages --help"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    ParsedCommandLine parsed = Parse(c.arguments);
    ASSERT_TRUE(parsed.failure);
    EXPECT_EQ(parsed.failure->exit_code, kExitUsage);
    EXPECT_NE(parsed.failure->message.find(c.problem), std::string::npos)
        << parsed.failure->message;
    const std::string ending = "\nRun '" + c.usage + "' for usage.";
    EXPECT_TRUE(parsed.failure->message.ends_with(ending)) << parsed.failure->message;
  }
}

// Each build option is known on the command line under its table row's
// names, switches without a value, the others with one.
TEST(CommandLineTest, EveryBuildOptionOfTheTableParses) {
  for (const BuildOption& option : BuildOptionTable()) {
    SCOPED_TRACE(std::string(option.name));
    Arguments arguments = Without(Build(), std::string(option.name));
    if (!option.short_name.empty()) arguments = Without(arguments, std::string(option.short_name));
    arguments.push_back(std::string(option.name));
    const std::string value = option.name == "--arch"           ? "x64"
                              : option.name == "--license-mode" ? "0"
                              : option.name == "--codepage"     ? "1250"
                              : option.name == "--scope"        ? "user"
                                                                : "value";
    if (option.TakesValue()) arguments.push_back(value);
    ParsedCommandLine parsed = Parse(arguments);
    ASSERT_FALSE(parsed.failure) << parsed.failure->message;
    EXPECT_EQ(parsed.command, Command::kBuild);
    EXPECT_EQ(parsed.build_settings.back().name, option.name);
    EXPECT_EQ(parsed.build_settings.back().value, option.TakesValue() ? value : "");
  }
}

TEST(CommandLineTest, HelpTopics) {
  struct Case {
    Arguments arguments;
    Command topic;
  } cases[] = {
      {{"--help"}, Command::kHelp},
      {{"-h"}, Command::kHelp},
      {{"help"}, Command::kHelp},
      {{"help", "winget"}, Command::kWinget},
      {{"build", "--frobnicate", "-h"}, Command::kBuild},
      {{"inspect", "--help"}, Command::kInspect},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    ParsedCommandLine parsed = Parse(c.arguments);
    EXPECT_FALSE(parsed.failure);
    EXPECT_EQ(parsed.command, Command::kHelp);
    EXPECT_EQ(parsed.help_topic, c.topic);
  }
}

}  // namespace
}  // namespace saverpack
