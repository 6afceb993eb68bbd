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
// usage failure (exit status 2). A build that names a package file is
// parsed in two steps: the command line's options here, then
// ComposeBuildOptions over the file's options with the command line's laid
// over them (package_file.h); a problem in a file's line is bad input
// (exit status 1) named by the file and line.
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
  // Facts for the check block, in UTF-8 as given; empty when not given.
  std::string display_version;
  std::string publisher;
  std::string help_link;
  // The command that signs a file in place (signing.h); nullopt: unsigned.
  std::optional<std::string> sign_command;
};

// One build option as given: its long name ("--title"), its value (empty
// for a switch) and where it was given: empty for the command line,
// "FILE:LINE" for a line of a package file.
struct OptionSetting {
  std::string name;
  std::string value;
  std::string origin;
};

// What a build option is: whether it takes a value, and whether that value
// is a path (which a package file gives relative to its own folder).
struct BuildOptionKind {
  bool takes_value = false;
  bool is_path = false;
};

// The build option with long name `name` ("--readme"); nullopt when there
// is none.
std::optional<BuildOptionKind> FindBuildOption(std::string_view name);

// `command_line` laid over `file`: a command-line setting replaces the
// file's setting of the same option.
std::vector<OptionSetting> MergeSettings(std::vector<OptionSetting> file,
                                         const std::vector<OptionSetting>& command_line);

// Fills `build` from `settings` (each option at most once): checks that the
// required options are there and the values of --license-mode and
// --codepage. A setting from the command line fails as a usage failure; one
// from a package file as bad input that names its file and line. A missing
// required option names `package_file` when one is given.
std::optional<Failure> ComposeBuildOptions(const std::vector<OptionSetting>& settings,
                                           std::string_view package_file, BuildOptions& build);

struct InspectOptions {
  std::string package;
  bool json = false;
  // The code page the record's texts are shown from; nullopt: ASCII only.
  std::optional<int> code_page = kDefaultCodePage;
  // Exit with status 1 unless the package's check block matches the file.
  bool verify = false;
};

struct WingetOptions {
  std::string package;
  std::string identifier;  // Publisher.Name
  std::string url;         // where the package is downloaded from
  std::string license = "Proprietary";
  std::string description;  // empty: "The TITLE screensaver."
  std::string folder = ".";  // where the three manifest files go
  // The code page the package's texts are read in; nullopt: ASCII only.
  std::optional<int> code_page = kDefaultCodePage;
};

enum class Command { kHelp, kVersion, kBuild, kInit, kInspect, kWinget, kLanguages };

struct ParsedCommandLine {
  Command command = Command::kHelp;
  // For kHelp: the command whose help was asked for, or kHelp for all.
  Command help_topic = Command::kHelp;
  BuildOptions build;
  // For kBuild with a package file: its path, and the command line's
  // settings to lay over the file's; `build` is then filled by
  // BuildOptionsFromPackageFile.
  std::optional<std::string> package_file;
  std::vector<OptionSetting> build_settings;
  std::string init_file;  // for kInit
  InspectOptions inspect;
  WingetOptions winget;
  std::optional<Failure> failure;  // set when the command line is wrong
};

// Parses the arguments after the program's name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string_view>& arguments);

// The usage text for a help topic, ending in a newline.
std::string HelpText(Command topic);

}  // namespace saverpack
