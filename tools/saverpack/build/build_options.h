// The options of `saverpack build`, each declared once in one table
// (BuildOptionTable): its name, the kind of value it takes, whether it is
// required or may be given several times, its lines in `build --help`, and
// how `saverpack init`'s template shows it. The command line, the INI file
// (its keys are the long names without "--"), --help, the template and the
// manual page all read the table, so an option is added as one row plus the
// code that uses its value (ComposeBuildOptions, BuildOptions).
//
// Options arrive as settings, in the order given, from the command line
// and from an INI file (ini_file.h); ComposeBuildOptions turns them into
// BuildOptions.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "package/check_block.h"
#include "saverpack/build/shipped_stub.h"
#include "saverpack/host/failure.h"
#include "saverpack/text/package_code_page.h"

namespace saverpack {

// What an option's value is.
enum class ValueKind {
  kSwitch,  // none: the option is given or not ("yes" or "no" in an INI file)
  kText,    // a text, as given
  kPath,    // a file's path; an INI file gives it relative to its own folder
  // A file's path when it names a file (NamesLanguageFile), else a name.
  kPathOrName,
};

struct BuildOption {
  std::string_view name = {};   // "--output"
  std::string_view short_name = {};  // "-o", or empty
  ValueKind kind = ValueKind::kText;
  bool required = false;
  // Given several times, every value counts, in order; otherwise a second
  // setting is refused. A command line's settings of a repeatable option
  // replace all of an INI file's.
  bool repeatable = false;
  std::string_view value_name = {};  // shown after the name in --help: "OUT.exe"
  std::string_view help = {};  // --help's description, its lines split by '\n'
  // The template's comment lines before the key, each without its "; ",
  // split by '\n'; empty when the key belongs to the group above.
  std::string_view template_comment = {};
  // The template's value; "{name}" stands for the INI file's stem
  // ("aurora"), "{title}" for it capitalised ("Aurora").
  std::string_view template_value = {};
  bool template_live = false;  // a live line in the template, else commented out

  bool TakesValue() const { return kind != ValueKind::kSwitch; }
  // The INI key: the long name without "--".
  std::string_view Key() const { return name.substr(2); }
  std::string Shown() const;  // ShownOptionName
};

// An option as messages name it: "-o (--output)" for an option with a
// short name, else its name ("--title").
std::string ShownOptionName(std::string_view name, std::string_view short_name);

// Every build option, in the order --help and the template show them.
std::span<const BuildOption> BuildOptionTable();

// The build option with long name `name` ("--readme"); nullptr when there
// is none.
const BuildOption* FindBuildOption(std::string_view name);

// The option lines of `build --help`, each option's name and value in a
// column of 24 characters after two spaces, its description beside them.
std::string BuildOptionsHelp();

// The INI file `saverpack init` writes for the stem `stem` ("aurora"):
// `header`, then each option's comment and `key = value` line.
std::string BuildOptionsTemplate(std::string_view header, std::string_view stem);

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
  // The --language values in order, each one or more comma-separated
  // entries (language_tables.h); empty: no language block.
  std::vector<std::string> language;
  // The code page texts are written in; nullopt: as given, byte for byte.
  std::optional<int> code_page = kDefaultCodePage;
  int license_mode = 0;  // 1 when --license is given without --license-mode
  std::string folder{kDefaultFolder};
  std::string subfolder;  // the title when --subfolder is not given
  bool skip_folder_page = false;
  bool add_uninstall_entry = false;
  bool create_program_group = false;
  bool create_desktop_shortcut = false;
  scrsetup::InstallScope scope = scrsetup::InstallScope::kMachine;
  // Facts for the check block, in UTF-8 as given; empty when not given.
  std::string display_version;
  std::string publisher;
  std::string help_link;
  // The command that signs a file in place (signing.h); nullopt: unsigned.
  std::optional<std::string> sign_command;
};

// One build option as given: its long name ("--title"), its value (empty
// for a switch) and where it was given: empty for the command line,
// "FILE:LINE" for a line of an INI file.
struct OptionSetting {
  std::string name;
  std::string value;
  std::string origin;
};

// `command_line` laid over `file`: a command-line setting replaces the
// file's setting of the same option (all of them, for a repeatable one).
std::vector<OptionSetting> MergeSettings(std::vector<OptionSetting> file,
                                         const std::vector<OptionSetting>& command_line);

// Fills `build` from `settings` (each option at most once, unless
// repeatable): checks that the required options are there and the values
// of --arch, --stub, --scope, --license-mode and --codepage. A setting from the
// command line fails as a usage failure; one from an INI file as bad input
// that names its file and line. A missing required option names
// `ini_file` when one is given.
std::optional<Failure> ComposeBuildOptions(const std::vector<OptionSetting>& settings,
                                           std::string_view ini_file, BuildOptions& build);

// Reads a --codepage value ("1252" or "none") into `code_page` (nullopt
// for "none"); the problem in words when it names no supported code page.
std::optional<std::string> ReadCodePage(std::string_view text, std::optional<int>& code_page);

}  // namespace saverpack
