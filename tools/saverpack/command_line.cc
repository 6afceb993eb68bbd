#include "saverpack/command_line.h"

#include <span>
#include <utility>

namespace saverpack {
namespace {

constexpr std::string_view kUsageLines =
    "Usage:\n"
    "  saverpack build -o OUT.exe --screensaver FILE.scr --title TEXT [options]\n"
    "  saverpack build PACKAGE.ini [options]\n"
    "  saverpack init PACKAGE.ini\n"
    "  saverpack inspect PACKAGE.exe [--json] [--codepage N | none] [--verify]\n"
    "  saverpack winget PACKAGE.exe --id PUBLISHER.NAME --url URL [options]\n"
    "  saverpack languages\n"
    "  saverpack help [build | init | inspect | winget | languages]\n"
    "  saverpack --version\n";

// Before the option lines of BuildOptionsHelp.
constexpr std::string_view kBuildHelpBeforeOptions =
    "\n"
    "saverpack build writes a setup package: the stub (the installer program)\n"
    "followed by the screensaver, the readme, licence and language blocks and\n"
    "the setup record. OUT is replaced only once the new package is complete.\n"
    "\n";

// After the option lines of BuildOptionsHelp.
constexpr std::string_view kBuildHelpAfterOptions =
    "\n"
    "PACKAGE.ini, a package file, gives the options as 'key = value' lines (UTF-8),\n"
    "the keys being the long option names without \"--\" (\"output\", \"title\",\n"
    "\"uninstall-entry = yes\"); ';' or '#' starts a comment line, and one\n"
    "[package] section may hold them. Paths in it are relative to its folder.\n"
    "Options on the command line replace the file's. 'saverpack init' writes one.\n"
    "\n"
    "Texts on the command line are UTF-8; the readme, licence and language files\n"
    "UTF-8 (a byte order mark is dropped) or UTF-16 with a byte order mark, at\n"
    "most 64 MiB. They are written in the code page, the files with CR LF line\n"
    "ends; a character the code page cannot hold is refused. The byte limits count\n"
    "the bytes in the code page; a text over its limit is refused, never cut.\n"
    "\n"
    "Everything after the stub (screensaver, blocks, and the 946 bytes of record\n"
    "and signature) must stay under 2 GiB. After the end signature follows the\n"
    "check block: the CRC-32 of the screensaver and of the blocks and record, and\n"
    "the version, publisher and help link, written in the code page.\n";

constexpr std::string_view kInitHelp =
    "\n"
    "saverpack init writes PACKAGE.ini, a package file with every build option\n"
    "explained, to start from; it never replaces an existing file.\n";

constexpr std::string_view kInspectHelp =
    "\n"
    "saverpack inspect reads a package as the installer does and prints its kind\n"
    "(setup or uninstaller), PackageEnd (where its end signature ends), the file\n"
    "size, the sizes of its parts and every field of the setup record, then any\n"
    "inconsistency found. With --json it prints the same as one JSON object.\n"
    "The record's texts are shown in UTF-8, decoded from code page N (default\n"
    "1252; \"none\": ASCII only); a byte the code page does not define shows as\n"
    "\\xNN (in the JSON, as the text \\xNN). The check block after the end\n"
    "signature is shown with the CRC-32 values recomputed from the file; a\n"
    "difference is a problem.\n"
    "\n"
    "  --verify                exit with status 1 and a message on stderr unless\n"
    "                          the package carries a check block that matches the\n"
    "                          file (a package built without one, and an\n"
    "                          uninstaller, cannot be verified)\n";

constexpr std::string_view kWingetHelp =
    "\n"
    "saverpack winget writes the three files of a winget manifest (version,\n"
    "defaultLocale en-US, installer; manifest version 1.10.0) for a setup\n"
    "package: PUBLISHER.NAME.yaml, PUBLISHER.NAME.locale.en-US.yaml and\n"
    "PUBLISHER.NAME.installer.yaml. The version and publisher come from the\n"
    "package's check block (build --version and --publisher), the name from\n"
    "its title, the architecture from its stub, the SHA-256 from its bytes.\n"
    "\n"
    "  --id PUBLISHER.NAME     the package identifier\n"
    "  --url URL               the https:// address the package is downloaded from\n"
    "  --license TEXT          the licence's name (default \"Proprietary\")\n"
    "  --description TEXT      the short description (default \"The TITLE\n"
    "                          screensaver.\")\n"
    "  -o, --output DIR        the folder the files go to (default: the current\n"
    "                          one); existing files of those names are replaced\n"
    "  --codepage N | none     the code page the package's texts are written in\n"
    "                          (default 1252)\n";

constexpr std::string_view kLanguagesHelp =
    "\n"
    "saverpack languages lists the catalogue of installer translations that\n"
    "build --language CODE takes, with the code page each language's users\n"
    "usually run.\n";

constexpr std::string_view kExitHelp =
    "\n"
    "Exit status: 0 done; 1 bad input (a file or text that cannot go into a\n"
    "package, a wrong line in a package file, a file that is not a package, a\n"
    "check block that does not match, a failed read or write); 2 wrong command\n"
    "line.\n";

// An option of inspect or winget, or a build option (BuildOptionTable).
struct OptionRule {
  std::string_view name;
  bool takes_value;
  bool required;
  std::string_view short_name = "";
  bool repeatable = false;

  std::string Shown() const { return ShownOptionName(name, short_name); }
};

constexpr OptionRule kInspectOptions[] = {
    {"--json", false, false},
    {"--codepage", true, false},
    {"--verify", false, false},
};

constexpr OptionRule kWingetOptions[] = {
    {"--id", true, true},
    {"--url", true, true},
    {"--license", true, false},
    {"--description", true, false},
    {"--output", true, false, "-o"},
    {"--codepage", true, false},
};

// The options and plain arguments of one command, as given.
struct GivenArguments {
  std::vector<std::pair<std::string_view, std::string_view>> options;  // name, value
  std::vector<std::string_view> plain;

  std::optional<std::string_view> Find(std::string_view name) const {
    for (const auto& [given, value] : options) {
      if (given == name) return value;
    }
    return std::nullopt;
  }
  bool Has(std::string_view name) const { return Find(name).has_value(); }
};

std::vector<OptionRule> BuildOptionRules() {
  std::vector<OptionRule> rules;
  for (const BuildOption& option : BuildOptionTable()) {
    rules.push_back(
        {option.name, option.TakesValue(), option.required, option.short_name, option.repeatable});
  }
  return rules;
}

Failure GeneralUsageFailure(const std::string& problem) {
  return Failure{kExitUsage, problem + "\nRun 'saverpack --help' for usage."};
}

bool IsHelpSwitch(std::string_view argument) { return argument == "--help" || argument == "-h"; }

// The failure for the first required option of `rules` that is not given.
std::optional<Failure> MissingRequired(std::string_view command, std::span<const OptionRule> rules,
                                       const GivenArguments& given) {
  for (const OptionRule& rule : rules) {
    if (rule.required && !given.Has(rule.name)) {
      return UsageFailure(command, "option " + rule.Shown() + " is required");
    }
  }
  return std::nullopt;
}

// Sorts `arguments` into options (under their long names) and plain
// arguments; a failure for an unknown or valueless option, or one given
// twice that is not repeatable.
std::optional<Failure> Collect(std::string_view command,
                               std::span<const std::string_view> arguments,
                               std::span<const OptionRule> rules, GivenArguments& given) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string_view argument = arguments[i];
    if (argument.size() < 2 || argument.front() != '-') {
      given.plain.push_back(argument);
      continue;
    }
    const OptionRule* rule = nullptr;
    for (const OptionRule& candidate : rules) {
      if (candidate.name == argument || candidate.short_name == argument) rule = &candidate;
    }
    if (rule == nullptr) {
      return UsageFailure(command, "unknown option '" + std::string(argument) + "'");
    }
    if (!rule->repeatable && given.Has(rule->name)) {
      return UsageFailure(command, "option " + rule->Shown() + " is given twice");
    }
    std::string_view value;
    if (rule->takes_value) {
      if (i + 1 == arguments.size()) {
        return UsageFailure(command, "option " + rule->Shown() + " needs a value");
      }
      value = arguments[++i];
    }
    given.options.emplace_back(rule->name, value);
  }
  return std::nullopt;
}

// Collect, then MissingRequired.
std::optional<Failure> CollectAll(std::string_view command,
                                  std::span<const std::string_view> arguments,
                                  std::span<const OptionRule> rules, GivenArguments& given) {
  if (auto failure = Collect(command, arguments, rules, given)) return failure;
  return MissingRequired(command, rules, given);
}

// Reads --codepage into `code_page` when given.
std::optional<Failure> ParseCodePage(std::string_view command, const GivenArguments& given,
                                     std::optional<int>& code_page) {
  std::optional<std::string_view> text = given.Find("--codepage");
  if (!text) return std::nullopt;
  if (auto problem = ReadCodePage(*text, code_page)) {
    return UsageFailure(command, "--codepage " + *problem);
  }
  return std::nullopt;
}

std::optional<Failure> ParseBuild(std::span<const std::string_view> arguments,
                                  ParsedCommandLine& parsed) {
  GivenArguments given;
  if (auto failure = Collect("build", arguments, BuildOptionRules(), given)) return failure;
  if (given.plain.size() > 1) {
    return UsageFailure("build", "unexpected argument '" + std::string(given.plain[1]) + "'");
  }
  for (const auto& [name, value] : given.options) {
    parsed.build_settings.push_back({std::string(name), std::string(value), ""});
  }
  if (!given.plain.empty()) {
    parsed.ini_file = std::string(given.plain[0]);
    return std::nullopt;
  }
  return ComposeBuildOptions(parsed.build_settings, "", parsed.build);
}

std::optional<Failure> ParseInit(std::span<const std::string_view> arguments,
                                 std::string& init_file) {
  GivenArguments given;
  if (auto failure = CollectAll("init", arguments, {}, given)) return failure;
  if (given.plain.size() != 1) return UsageFailure("init", "name exactly one package file to write");
  init_file = std::string(given.plain[0]);
  return std::nullopt;
}

std::optional<Failure> ParseWinget(std::span<const std::string_view> arguments,
                                   WingetOptions& winget) {
  GivenArguments given;
  if (auto failure = CollectAll("winget", arguments, kWingetOptions, given)) return failure;
  if (given.plain.size() != 1) return UsageFailure("winget", "name exactly one package file");
  winget.package = std::string(given.plain[0]);
  winget.identifier = std::string(*given.Find("--id"));
  winget.url = std::string(*given.Find("--url"));
  if (auto license = given.Find("--license")) winget.license = std::string(*license);
  if (auto description = given.Find("--description")) winget.description = std::string(*description);
  if (auto folder = given.Find("--output")) winget.folder = std::string(*folder);
  return ParseCodePage("winget", given, winget.code_page);
}


std::optional<Failure> ParseInspect(std::span<const std::string_view> arguments,
                                    InspectOptions& inspect) {
  GivenArguments given;
  if (auto failure = CollectAll("inspect", arguments, kInspectOptions, given)) return failure;
  if (given.plain.size() != 1) return UsageFailure("inspect", "name exactly one package file");
  inspect.package = std::string(given.plain[0]);
  inspect.json = given.Has("--json");
  inspect.verify = given.Has("--verify");
  return ParseCodePage("inspect", given, inspect.code_page);
}

std::optional<Failure> ParseLanguages(std::span<const std::string_view> arguments) {
  GivenArguments given;
  if (auto failure = CollectAll("languages", arguments, {}, given)) return failure;
  if (!given.plain.empty()) {
    return UsageFailure("languages", "unexpected argument '" + std::string(given.plain[0]) + "'");
  }
  return std::nullopt;
}

std::optional<Command> CommandNamed(std::string_view name) {
  if (name == "build") return Command::kBuild;
  if (name == "init") return Command::kInit;
  if (name == "inspect") return Command::kInspect;
  if (name == "winget") return Command::kWinget;
  if (name == "languages") return Command::kLanguages;
  return std::nullopt;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string_view>& arguments) {
  ParsedCommandLine parsed;
  if (arguments.empty()) {
    parsed.failure = GeneralUsageFailure("no command given");
    return parsed;
  }
  std::string_view first = arguments[0];
  if (first == "--version") {
    parsed.command = Command::kVersion;
    if (arguments.size() > 1) parsed.failure = GeneralUsageFailure("--version takes no arguments");
    return parsed;
  }
  if (first == "help" || IsHelpSwitch(first)) {
    if (arguments.size() > 1) {
      std::optional<Command> topic = CommandNamed(arguments[1]);
      if (!topic || arguments.size() > 2) {
        parsed.failure = GeneralUsageFailure(
            "help: name one command, build, init, inspect, winget or languages");
        return parsed;
      }
      parsed.help_topic = *topic;
    }
    return parsed;
  }
  std::optional<Command> command = CommandNamed(first);
  if (!command) {
    parsed.failure = GeneralUsageFailure("unknown command '" + std::string(first) + "'");
    return parsed;
  }
  std::span<const std::string_view> rest(arguments.begin() + 1, arguments.end());
  for (std::string_view argument : rest) {
    if (IsHelpSwitch(argument)) {
      parsed.help_topic = *command;
      return parsed;
    }
  }
  parsed.command = *command;
  switch (*command) {
    case Command::kBuild:
      parsed.failure = ParseBuild(rest, parsed);
      break;
    case Command::kInit:
      parsed.failure = ParseInit(rest, parsed.init_file);
      break;
    case Command::kInspect:
      parsed.failure = ParseInspect(rest, parsed.inspect);
      break;
    case Command::kWinget:
      parsed.failure = ParseWinget(rest, parsed.winget);
      break;
    default:
      parsed.failure = ParseLanguages(rest);
  }
  return parsed;
}

std::string_view UsageLines() { return kUsageLines; }

std::string CommandHelp(Command command) {
  switch (command) {
    case Command::kBuild:
      return std::string(kBuildHelpBeforeOptions) + BuildOptionsHelp() +
             std::string(kBuildHelpAfterOptions);
    case Command::kInit:
      return std::string(kInitHelp);
    case Command::kInspect:
      return std::string(kInspectHelp);
    case Command::kWinget:
      return std::string(kWingetHelp);
    case Command::kLanguages:
      return std::string(kLanguagesHelp);
    default:
      return "";
  }
}

std::string_view ExitStatusHelp() { return kExitHelp; }

std::string HelpText(Command topic) {
  std::string text = "saverpack: builds and inspects Screensaver Setup packages.\n\n";
  text += kUsageLines;
  for (Command command : kCommands) {
    if (topic == Command::kHelp || topic == command) text += CommandHelp(command);
  }
  text += kExitHelp;
  return text;
}

}  // namespace saverpack
