#include "saverpack/command_line.h"

#include <charconv>
#include <span>
#include <utility>

namespace saverpack {
namespace {

constexpr std::string_view kUsageLines =
    "Usage:\n"
    "  saverpack build -o OUT.exe --screensaver FILE.scr --title TEXT [options]\n"
    "  saverpack inspect PACKAGE.exe [--json] [--codepage N | none]\n"
    "  saverpack languages\n"
    "  saverpack help [build | inspect | languages]\n"
    "  saverpack --version\n";

constexpr std::string_view kBuildHelp =
    "\n"
    "saverpack build writes a setup package: the stub (the installer program)\n"
    "followed by the screensaver, the readme, licence and language blocks and\n"
    "the setup record. OUT is replaced only once the new package is complete.\n"
    "\n"
    "  -o OUT.exe              the package to write\n"
    "  --arch x86 | x64        the installer program that ships with saverpack to\n"
    "                          build on: x86 (the default) runs on every Windows,\n"
    "                          x64 only on 64-bit Windows\n"
    "  --stub STUB.exe         build on this installer program instead\n"
    "  --screensaver FILE.scr  the screensaver; its file name, at most 255 bytes,\n"
    "                          is the name it is installed under\n"
    "  --title TEXT            the name the installer shows (at most 32 bytes)\n"
    "  --web URL               web address the installer shows as a link\n"
    "                          (at most 102 bytes)\n"
    "  --readme FILE           text for the readme page\n"
    "  --license FILE          text for the licence page\n"
    "  --license-mode N        record value 0 to 255; 1, 2 and 3 show the licence\n"
    "                          page (default: 1 with --license, otherwise 0)\n"
    "  --language CODE | FILE  the installer's texts: a language of the catalogue\n"
    "                          (see 'saverpack languages') or a language table\n"
    "                          file; a value that names an existing file or holds\n"
    "                          a \"/\", \"\\\" or \".\" is a file\n"
    "  --codepage N | none     the Windows code page the texts are written in\n"
    "                          (default 1252; 874, 932, 936, 949, 950, 1250 to\n"
    "                          1258), the one the users' Windows runs; \"none\"\n"
    "                          stores every text and file byte for byte as given\n"
    "  --folder TEXT           default installation folder (at most 250 bytes;\n"
    "                          default \"<Program Files>\")\n"
    "  --subfolder TEXT        default subfolder (at most 250 bytes; default: the\n"
    "                          title)\n"
    "  --skip-folder-page      do not show the folder page\n"
    "  --uninstall-entry       add the screensaver to the system's uninstall list\n"
    "  --program-group         create a program group in the Start menu\n"
    "  --desktop-shortcut      create a shortcut on the desktop\n"
    "\n"
    "Texts on the command line are UTF-8; the readme, licence and language files\n"
    "UTF-8 (a byte order mark is dropped) or UTF-16 with a byte order mark, at\n"
    "most 64 MiB. They are written in the code page, the files with CR LF line\n"
    "ends; a character the code page cannot hold is refused. The byte limits count\n"
    "the bytes in the code page; a text over its limit is refused, never cut.\n"
    "\n"
    "Everything after the stub (screensaver, blocks, and the 946 bytes of record\n"
    "and signature) must stay under 2 GiB.\n";

constexpr std::string_view kInspectHelp =
    "\n"
    "saverpack inspect reads a package as the installer does and prints its kind\n"
    "(setup or uninstaller), PackageEnd (where its end signature ends), the file\n"
    "size, the sizes of its parts and every field of the setup record, then any\n"
    "inconsistency found. With --json it prints the same as one JSON object.\n"
    "The record's texts are shown in UTF-8, decoded from code page N (default\n"
    "1252; \"none\": ASCII only); a byte the code page does not define shows as\n"
    "\\xNN (in the JSON, as the text \\xNN).\n";

constexpr std::string_view kLanguagesHelp =
    "\n"
    "saverpack languages lists the catalogue of installer translations that\n"
    "build --language CODE takes, with the code page each language's users\n"
    "usually run.\n";

constexpr std::string_view kExitHelp =
    "\n"
    "Exit status: 0 done; 1 bad input (a file or text that cannot go into a\n"
    "package, a file that is not a package, a failed read or write); 2 wrong\n"
    "command line.\n";

struct OptionRule {
  std::string_view name;
  bool takes_value;
  bool required;
};

constexpr OptionRule kBuildOptions[] = {
    {"-o", true, true},
    {"--stub", true, false},
    {"--arch", true, false},
    {"--screensaver", true, true},
    {"--title", true, true},
    {"--web", true, false},
    {"--readme", true, false},
    {"--license", true, false},
    {"--license-mode", true, false},
    {"--language", true, false},
    {"--folder", true, false},
    {"--subfolder", true, false},
    {"--skip-folder-page", false, false},
    {"--uninstall-entry", false, false},
    {"--program-group", false, false},
    {"--desktop-shortcut", false, false},
    {"--codepage", true, false},
};

constexpr OptionRule kInspectOptions[] = {
    {"--json", false, false},
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

Failure UsageFailure(std::string_view command, const std::string& problem) {
  std::string message = std::string(command) + ": " + problem + "\nRun 'saverpack " +
                        std::string(command) + " --help' for usage.";
  return Failure{kExitUsage, message};
}

Failure GeneralUsageFailure(const std::string& problem) {
  return Failure{kExitUsage, problem + "\nRun 'saverpack --help' for usage."};
}

bool IsHelpSwitch(std::string_view argument) { return argument == "--help" || argument == "-h"; }

// Sorts `arguments` into options and plain arguments; a failure for an
// unknown, repeated or valueless option, or a missing required one.
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
      if (candidate.name == argument) rule = &candidate;
    }
    if (rule == nullptr) {
      return UsageFailure(command, "unknown option '" + std::string(argument) + "'");
    }
    if (given.Has(rule->name)) {
      return UsageFailure(command, "option " + std::string(rule->name) + " is given twice");
    }
    std::string_view value;
    if (rule->takes_value) {
      if (i + 1 == arguments.size()) {
        return UsageFailure(command, "option " + std::string(rule->name) + " needs a value");
      }
      value = arguments[++i];
    }
    given.options.emplace_back(rule->name, value);
  }
  for (const OptionRule& rule : rules) {
    if (rule.required && !given.Has(rule.name)) {
      return UsageFailure(command, "option " + std::string(rule.name) + " is required");
    }
  }
  return std::nullopt;
}

std::optional<int> ParseLicenseMode(std::string_view text) {
  int value = -1;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 255) {
    return std::nullopt;
  }
  return value;
}

// Reads --codepage into `code_page` when given (nullopt for "none").
std::optional<Failure> ParseCodePage(std::string_view command, const GivenArguments& given,
                                     std::optional<int>& code_page) {
  std::optional<std::string_view> text = given.Find("--codepage");
  if (!text) return std::nullopt;
  if (*text == "none") {
    code_page.reset();
    return std::nullopt;
  }
  int value = 0;
  auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (error != std::errc() || end != text->data() + text->size() || !IsSupportedCodePage(value)) {
    return UsageFailure(command, "--codepage '" + std::string(*text) +
                                     "' is not a supported code page (874, 932, 936, 949, 950, "
                                     "1250 to 1258, or none)");
  }
  code_page = value;
  return std::nullopt;
}

std::optional<Failure> ParseBuild(std::span<const std::string_view> arguments,
                                  BuildOptions& build) {
  GivenArguments given;
  if (auto failure = Collect("build", arguments, kBuildOptions, given)) return failure;
  if (!given.plain.empty()) {
    return UsageFailure("build", "unexpected argument '" + std::string(given.plain[0]) + "'");
  }
  auto text = [&given](std::string_view name) {
    return std::string(given.Find(name).value_or(""));
  };
  auto file = [&given](std::string_view name) -> std::optional<std::string> {
    if (auto value = given.Find(name)) return std::string(*value);
    return std::nullopt;
  };
  build.output = text("-o");
  build.stub = text("--stub");
  if (given.Has("--stub") && build.stub.empty()) {
    return UsageFailure("build", "--stub needs a file name");
  }
  if (auto arch_text = given.Find("--arch")) {
    std::optional<StubArch> arch = StubArchNamed(*arch_text);
    if (!arch) {
      return UsageFailure("build",
                          "--arch '" + std::string(*arch_text) + "' is neither x86 nor x64");
    }
    build.arch = *arch;
  }
  build.screensaver = text("--screensaver");
  build.title = text("--title");
  build.web_address = text("--web");
  build.readme = file("--readme");
  build.license = file("--license");
  build.language = file("--language");
  build.folder = given.Has("--folder") ? text("--folder") : std::string(kDefaultFolder);
  build.subfolder = given.Has("--subfolder") ? text("--subfolder") : build.title;
  build.skip_folder_page = given.Has("--skip-folder-page");
  build.add_uninstall_entry = given.Has("--uninstall-entry");
  build.create_program_group = given.Has("--program-group");
  build.create_desktop_shortcut = given.Has("--desktop-shortcut");

  build.license_mode = build.license ? 1 : 0;
  if (auto mode_text = given.Find("--license-mode")) {
    std::optional<int> mode = ParseLicenseMode(*mode_text);
    if (!mode) {
      return UsageFailure("build", "--license-mode '" + std::string(*mode_text) +
                                       "' is not a number from 0 to 255");
    }
    build.license_mode = *mode;
  }
  return ParseCodePage("build", given, build.code_page);
}

std::optional<Failure> ParseInspect(std::span<const std::string_view> arguments,
                                    InspectOptions& inspect) {
  GivenArguments given;
  if (auto failure = Collect("inspect", arguments, kInspectOptions, given)) return failure;
  if (given.plain.size() != 1) return UsageFailure("inspect", "name exactly one package file");
  inspect.package = std::string(given.plain[0]);
  inspect.json = given.Has("--json");
  return ParseCodePage("inspect", given, inspect.code_page);
}

std::optional<Failure> ParseLanguages(std::span<const std::string_view> arguments) {
  GivenArguments given;
  if (auto failure = Collect("languages", arguments, {}, given)) return failure;
  if (!given.plain.empty()) {
    return UsageFailure("languages", "unexpected argument '" + std::string(given.plain[0]) + "'");
  }
  return std::nullopt;
}

std::optional<Command> CommandNamed(std::string_view name) {
  if (name == "build") return Command::kBuild;
  if (name == "inspect") return Command::kInspect;
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
        parsed.failure = GeneralUsageFailure("help: name one command, build, inspect or languages");
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
      parsed.failure = ParseBuild(rest, parsed.build);
      break;
    case Command::kInspect:
      parsed.failure = ParseInspect(rest, parsed.inspect);
      break;
    default:
      parsed.failure = ParseLanguages(rest);
  }
  return parsed;
}

std::string HelpText(Command topic) {
  std::string text = "saverpack: builds and inspects Screensaver Setup packages.\n\n";
  text += kUsageLines;
  bool all = topic == Command::kHelp;
  if (all || topic == Command::kBuild) text += kBuildHelp;
  if (all || topic == Command::kInspect) text += kInspectHelp;
  if (all || topic == Command::kLanguages) text += kLanguagesHelp;
  text += kExitHelp;
  return text;
}

}  // namespace saverpack
