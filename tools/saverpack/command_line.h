// The saverpack command line: which command to run and its options.
//
//   saverpack build -o OUT [--stub STUB | --arch x86|x64] --screensaver FILE --title TEXT [...]
//   saverpack inspect PACKAGE [--json] [--codepage N|none]
//   saverpack languages
//   saverpack --help | help [COMMAND] | COMMAND --help
//   saverpack --version
//
// Parsing checks only the command line itself: every option known, given
// at most once and with its value, the required ones present,
// --license-mode a number from 0 to 255, --arch x86 or x64 and --codepage
// a supported code page or "none". Whether texts fit the record and
// files can be read is the build's business. Every problem found here is a
// usage failure (exit status 2).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "saverpack/failure.h"
#include "saverpack/package_code_page.h"
#include "saverpack/shipped_stub.h"

namespace saverpack {

inline constexpr std::string_view kDefaultFolder = "<Program Files>";

struct BuildOptions {
  std::string output;
  std::string stub;  // empty: the stub for `arch` that ships with saverpack
  StubArch arch = StubArch::kX86;
  std::string screensaver;
  std::string title;
  std::string web_address;
  std::optional<std::string> readme;
  std::optional<std::string> license;
  // A catalogue language's code or a language table file (NamesLanguageFile).
  std::optional<std::string> language;
  // The code page texts are written in; nullopt: as given, byte for byte.
  std::optional<int> code_page = kDefaultCodePage;
  int license_mode = 0;  // 1 when --license is given without --license-mode
  std::string folder{kDefaultFolder};
  std::string subfolder;  // the title when --subfolder is not given
  bool skip_folder_page = false;
  bool add_uninstall_entry = false;
  bool create_program_group = false;
  bool create_desktop_shortcut = false;
};

struct InspectOptions {
  std::string package;
  bool json = false;
  // The code page the record's texts are shown from; nullopt: ASCII only.
  std::optional<int> code_page = kDefaultCodePage;
};

enum class Command { kHelp, kVersion, kBuild, kInspect, kLanguages };

struct ParsedCommandLine {
  Command command = Command::kHelp;
  // For kHelp: the command whose help was asked for, or kHelp for all.
  Command help_topic = Command::kHelp;
  BuildOptions build;
  InspectOptions inspect;
  std::optional<Failure> failure;  // set when the command line is wrong
};

// Parses the arguments after the program's name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string_view>& arguments);

// The usage text for a help topic, ending in a newline.
std::string HelpText(Command topic);

}  // namespace saverpack
