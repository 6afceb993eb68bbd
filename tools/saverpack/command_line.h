// The saverpack command line: which command to run and its options.
//
//   saverpack build [PACKAGE.ini] -o OUT [--stub STUB | --arch x86|x64] --screensaver FILE
//                   --title TEXT [...]
//   saverpack init PACKAGE.ini
//   saverpack inspect PACKAGE [--json] [--codepage N|none] [--verify]
//   saverpack winget PACKAGE --id ID --url URL [--license TEXT] [--description TEXT] [-o DIR]
//   saverpack languages
//   saverpack --help | help [COMMAND] | COMMAND --help
//   saverpack --version
//
// Parsing checks only the command line itself: every option known, given
// at most once and with its value, the required ones present,
// --license-mode a number from 0 to 255, --arch x86 or x64 and --codepage
// a supported code page or "none". Whether texts fit the record and
// files can be read is the build's business. Every problem found here is a
// usage failure (exit status 2). The build options are those of
// BuildOptionTable (build/build_options.h). A build that names an INI file
// is parsed in two steps: the command line's options here, then
// ComposeBuildOptions over the file's options with the command line's laid
// over them (build/ini_file.h); a problem in a file's line is bad input
// (exit status 1) named by the file and line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "saverpack/build/build_options.h"
#include "saverpack/host/failure.h"
#include "saverpack/text/package_code_page.h"
#include "saverpack/winget/winget_manifest.h"

namespace saverpack {

struct InspectOptions {
  std::string package;
  bool json = false;
  // The code page the record's texts are shown from; nullopt: ASCII only.
  std::optional<int> code_page = kDefaultCodePage;
  // Exit with status 1 unless the package's check block matches the file.
  bool verify = false;
};

enum class Command { kHelp, kVersion, kBuild, kInit, kInspect, kWinget, kLanguages };

// The commands that do work, in the order help shows them.
inline constexpr Command kCommands[] = {Command::kBuild, Command::kInit, Command::kInspect,
                                        Command::kWinget, Command::kLanguages};

struct ParsedCommandLine {
  Command command = Command::kHelp;
  // For kHelp: the command whose help was asked for, or kHelp for all.
  Command help_topic = Command::kHelp;
  BuildOptions build;
  // For kBuild with an INI file: its path, and the command line's
  // settings to lay over the file's; `build` is then filled by
  // BuildOptionsFromIniFile.
  std::optional<std::string> ini_file;
  std::vector<OptionSetting> build_settings;
  std::string init_file;  // for kInit
  InspectOptions inspect;
  WingetOptions winget;
  std::optional<Failure> failure;  // set when the command line is wrong
};

// Parses the arguments after the program's name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string_view>& arguments);

// The usage text for a help topic, ending in a newline: a line on what
// saverpack is, UsageLines, the CommandHelp of the topic (of every command
// for kHelp) and ExitStatusHelp. The manual page (manual_page.h) is made
// of the same parts.
std::string HelpText(Command topic);

// "Usage:" and a line for each way to run saverpack.
std::string_view UsageLines();

// The paragraphs and option lines of one command's help, after an empty
// line; option lines start with "  -", their description in column 26.
std::string CommandHelp(Command command);

// The paragraph on exit statuses, after an empty line.
std::string_view ExitStatusHelp();

}  // namespace saverpack
