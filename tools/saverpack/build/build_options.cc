#include "saverpack/build/build_options.h"

#include <algorithm>
#include <charconv>

namespace saverpack {
namespace {

constexpr BuildOption kBuildOptionTable[] = {
    {.name = "--output",
     .short_name = "-o",
     .kind = ValueKind::kPath,
     .required = true,
     .value_name = "OUT.exe",
     .help = "the package to write",
     .template_comment = "The package to write.",
     .template_value = "{name}-setup.exe",
     .template_live = true},
    {.name = "--arch",
     .value_name = "x86 | x64",
     .help = "the installer program that ships with saverpack to\n"
             "build on: x86 (the default) runs on every Windows,\n"
             "x64 only on 64-bit Windows",
     .template_comment = "The installer program it is built on: the one that ships with saverpack\n"
                         "for arch (x86 runs on every Windows, x64 only on 64-bit Windows), or\n"
                         "a stub of your own.",
     .template_value = "x86"},
    {.name = "--stub",
     .kind = ValueKind::kPath,
     .value_name = "STUB.exe",
     .help = "build on this installer program instead",
     .template_value = "setup.exe"},
    {.name = "--screensaver",
     .kind = ValueKind::kPath,
     .required = true,
     .value_name = "FILE.scr",
     .help = "the screensaver; its file name, at most 255 bytes,\n"
             "is the name it is installed under",
     .template_comment = "The screensaver; its file name is the name it is installed under.",
     .template_value = "{name}.scr",
     .template_live = true},
    {.name = "--title",
     .required = true,
     .value_name = "TEXT",
     .help = "the name the installer shows (at most 32 bytes)",
     .template_comment = "The name the installer shows (at most 32 bytes), and its web link.",
     .template_value = "{title}",
     .template_live = true},
    {.name = "--web",
     .value_name = "URL",
     .help = "web address the installer shows as a link\n"
             "(at most 102 bytes)",
     .template_value = "https://example.org/{name}"},
    {.name = "--readme",
     .kind = ValueKind::kPath,
     .value_name = "FILE",
     .help = "text for the readme page",
     .template_comment = "The readme and licence pages; license-mode 0 keeps the licence but hides\n"
                         "its page.",
     .template_value = "readme.txt"},
    {.name = "--license",
     .kind = ValueKind::kPath,
     .value_name = "FILE",
     .help = "text for the licence page",
     .template_value = "license.txt"},
    {.name = "--license-mode",
     .value_name = "N",
     .help = "record value 0 to 255; 1, 2 and 3 show the licence\n"
             "page (default: 1 with --license, otherwise 0)",
     .template_value = "1"},
    {.name = "--language",
     .kind = ValueKind::kPathOrName,
     .repeatable = true,
     .value_name = "CODE | FILE",
     .help = "the installer's texts: a language of the catalogue\n"
             "(see 'saverpack languages') or a language table\n"
             "file; a value that names an existing file or holds\n"
             "a \"/\", \"\\\" or \".\" is a file\n"
             "several: give it again or separate them with commas\n"
             "(de,fr,ru,ja); the first is the main table, each is\n"
             "written in its own code page, and the installer\n"
             "shows the one of its user's language; a file then\n"
             "names its language: FILE@CODE, FILE@CODE:CODEPAGE\n"
             "or FILE@LLLL:CODEPAGE (a Windows LANGID in hex)",
     .template_comment = "The installer's texts: a language of 'saverpack languages' or a language\n"
                         "table file; and the Windows code page of the users (or none: as given).",
     .template_value = "de"},
    {.name = "--codepage",
     .value_name = "N | none",
     .help = "the Windows code page the texts are written in\n"
             "(default 1252; 874, 932, 936, 949, 950, 1250 to\n"
             "1258), the one the users' Windows runs; \"none\"\n"
             "stores every text and file byte for byte as given",
     .template_value = "1252",
     .template_live = true},
    {.name = "--folder",
     .value_name = "TEXT",
     .help = "default installation folder (at most 250 bytes;\n"
             "default \"<Program Files>\")",
     .template_comment = "The default folder, its subfolder, and whether to skip the folder page.",
     .template_value = "<Program Files>"},
    {.name = "--subfolder",
     .value_name = "TEXT",
     .help = "default subfolder (at most 250 bytes; default: the\n"
             "title)",
     .template_value = "{title}"},
    {.name = "--skip-folder-page",
     .kind = ValueKind::kSwitch,
     .help = "do not show the folder page",
     .template_value = "no"},
    {.name = "--scope",
     .value_name = "machine | user",
     .help = "machine (the default): install for every user where\n"
             "the user may write the machine's places, else for\n"
             "that user; user: always for the user running it,\n"
             "into their own programs folder, without elevation",
     .template_comment = "Who it installs for: machine (every user, where the user running it may;\n"
                         "that user alone where not) or user (always that user alone, no elevation).",
     .template_value = "machine"},
    {.name = "--uninstall-entry",
     .kind = ValueKind::kSwitch,
     .help = "add the screensaver to the system's uninstall list",
     .template_comment = "What the installation registers (yes or no).",
     .template_value = "yes",
     .template_live = true},
    {.name = "--program-group",
     .kind = ValueKind::kSwitch,
     .help = "create a program group in the Start menu",
     .template_value = "yes",
     .template_live = true},
    {.name = "--desktop-shortcut",
     .kind = ValueKind::kSwitch,
     .help = "create a shortcut on the desktop",
     .template_value = "no",
     .template_live = true},
    {.name = "--version",
     .value_name = "TEXT",
     .help = "the screensaver's version, for the uninstall entry",
     .template_comment = "The uninstall entry's version, publisher and support link; saverpack\n"
                         "winget takes the version and publisher from them.",
     .template_value = "1.0"},
    {.name = "--publisher",
     .value_name = "TEXT",
     .help = "who publishes it, for the uninstall entry",
     .template_value = "Example Ltd."},
    {.name = "--help-link",
     .value_name = "URL",
     .help = "its support address, for the uninstall entry",
     .template_value = "https://example.org/{name}/help"},
    {.name = "--sign",
     .value_name = "COMMAND",
     .help = "sign the uninstallers the installer writes and the\n"
             "package: COMMAND runs through the shell (sh -c;\n"
             "cmd /c on Windows) with {file} replaced by the\n"
             "quoted path of a file to sign in place",
     .template_comment = "Signs the uninstallers the installer writes and the package; {file} is\n"
                         "the file to sign in place (cmd /c on Windows, sh -c elsewhere).",
     .template_value = "osslsigncode sign -pkcs12 author.pfx -pass PASSWORD -in {file} "
                       "-out {file}.signed && mv {file}.signed {file}"},
};

// The column where --help's descriptions start.
constexpr size_t kHelpColumn = 26;

// Calls `line` for each line of `text`, a '\n' between them.
template <typename LineFunction>
void ForEachLine(std::string_view text, LineFunction line) {
  for (size_t start = 0;;) {
    const size_t end = text.find('\n', start);
    line(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return;
    start = end + 1;
  }
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// "aurora" becomes "Aurora".
std::string Capitalised(std::string_view stem) {
  std::string title(stem);
  if (!title.empty() && title[0] >= 'a' && title[0] <= 'z') {
    title[0] = static_cast<char>(title[0] - 'a' + 'A');
  }
  return title;
}

std::optional<int> ParseLicenseMode(std::string_view text) {
  int value = -1;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 255) {
    return std::nullopt;
  }
  return value;
}

// A setting's name as its source spells it: "--title" on the command line,
// "title" in an INI file.
std::string Shown(const OptionSetting& setting) {
  return setting.origin.empty() ? setting.name : setting.name.substr(2);
}

Failure SettingFailure(const OptionSetting& setting, const std::string& problem) {
  if (setting.origin.empty()) return UsageFailure("build", problem);
  return Failure{kExitBadInput, setting.origin + ": " + problem};
}

// The settings as ComposeBuildOptions reads them.
class Settings {
 public:
  explicit Settings(const std::vector<OptionSetting>& settings) : settings_(settings) {}

  const OptionSetting* Find(std::string_view name) const {
    for (const OptionSetting& setting : settings_) {
      if (setting.name == name) return &setting;
    }
    return nullptr;
  }
  bool Has(std::string_view name) const { return Find(name) != nullptr; }
  // The value, or empty when not given.
  std::string Text(std::string_view name) const {
    const OptionSetting* setting = Find(name);
    return setting ? setting->value : std::string();
  }
  // Every value given, in order (a repeatable option).
  std::vector<std::string> All(std::string_view name) const {
    std::vector<std::string> values;
    for (const OptionSetting& setting : settings_) {
      if (setting.name == name) values.push_back(setting.value);
    }
    return values;
  }
  std::optional<std::string> Optional(std::string_view name) const {
    if (const OptionSetting* setting = Find(name)) return setting->value;
    return std::nullopt;
  }

 private:
  const std::vector<OptionSetting>& settings_;
};

// The failure for the first required option not given.
std::optional<Failure> MissingRequired(const Settings& settings, std::string_view ini_file) {
  for (const BuildOption& option : kBuildOptionTable) {
    if (!option.required || settings.Has(option.name)) continue;
    if (ini_file.empty()) return UsageFailure("build", "option " + option.Shown() + " is required");
    const std::string key(option.Key());
    return Failure{kExitBadInput, std::string(ini_file) + ": no " + key + " given: add a line '" +
                                      key + " = ...' or give " + std::string(option.name)};
  }
  return std::nullopt;
}

// The options taken as given: texts, paths and switches.
void ReadPlainOptions(const Settings& settings, BuildOptions& build) {
  build.output = settings.Text("--output");
  build.stub = settings.Text("--stub");
  build.screensaver = settings.Text("--screensaver");
  build.title = settings.Text("--title");
  build.web_address = settings.Text("--web");
  build.readme = settings.Optional("--readme");
  build.license = settings.Optional("--license");
  build.language = settings.All("--language");
  build.folder = settings.Optional("--folder").value_or(std::string(kDefaultFolder));
  build.subfolder = settings.Optional("--subfolder").value_or(build.title);
  build.skip_folder_page = settings.Has("--skip-folder-page");
  build.add_uninstall_entry = settings.Has("--uninstall-entry");
  build.create_program_group = settings.Has("--program-group");
  build.create_desktop_shortcut = settings.Has("--desktop-shortcut");
  build.display_version = settings.Text("--version");
  build.publisher = settings.Text("--publisher");
  build.help_link = settings.Text("--help-link");
  if (settings.Has("--sign")) build.sign_command = settings.Text("--sign");
}

// The options whose values are checked: --stub, --arch, --license-mode
// (after --license, its default) and --codepage.
std::optional<Failure> ReadCheckedOptions(const Settings& settings, BuildOptions& build) {
  if (const OptionSetting* stub = settings.Find("--stub"); stub && stub->value.empty()) {
    return SettingFailure(*stub, Shown(*stub) + " needs a file name");
  }
  if (const OptionSetting* arch_setting = settings.Find("--arch")) {
    std::optional<StubArch> arch = StubArchNamed(arch_setting->value);
    if (!arch) {
      return SettingFailure(*arch_setting, Shown(*arch_setting) + " '" + arch_setting->value +
                                               "' is neither x86 nor x64");
    }
    build.arch = *arch;
  }
  if (const OptionSetting* scope_setting = settings.Find("--scope")) {
    std::optional<scrsetup::InstallScope> scope = scrsetup::ScopeNamed(scope_setting->value);
    if (!scope) {
      return SettingFailure(*scope_setting, Shown(*scope_setting) + " '" + scope_setting->value +
                                                "' is neither machine nor user");
    }
    build.scope = *scope;
  }
  build.license_mode = build.license ? 1 : 0;
  if (const OptionSetting* mode_setting = settings.Find("--license-mode")) {
    std::optional<int> mode = ParseLicenseMode(mode_setting->value);
    if (!mode) {
      return SettingFailure(*mode_setting, Shown(*mode_setting) + " '" + mode_setting->value +
                                               "' is not a number from 0 to 255");
    }
    build.license_mode = *mode;
  }
  if (const OptionSetting* code_page = settings.Find("--codepage")) {
    if (auto problem = ReadCodePage(code_page->value, build.code_page)) {
      return SettingFailure(*code_page, Shown(*code_page) + " " + *problem);
    }
  }
  return std::nullopt;
}

}  // namespace

std::string ShownOptionName(std::string_view name, std::string_view short_name) {
  return short_name.empty() ? std::string(name)
                            : std::string(short_name) + " (" + std::string(name) + ")";
}

std::string BuildOption::Shown() const { return ShownOptionName(name, short_name); }

std::span<const BuildOption> BuildOptionTable() { return kBuildOptionTable; }

const BuildOption* FindBuildOption(std::string_view name) {
  for (const BuildOption& option : kBuildOptionTable) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

std::string BuildOptionsHelp() {
  std::string help;
  for (const BuildOption& option : kBuildOptionTable) {
    std::string left = "  ";
    if (!option.short_name.empty()) left += std::string(option.short_name) + ", ";
    left += option.name;
    if (!option.value_name.empty()) left += " " + std::string(option.value_name);
    ForEachLine(option.help, [&](std::string_view line) {
      left.resize(std::max(left.size() + 1, kHelpColumn), ' ');
      help += left + std::string(line) + "\n";
      left.clear();
    });
  }
  return help;
}

std::string BuildOptionsTemplate(std::string_view header, std::string_view stem) {
  std::string text(header);
  for (const BuildOption& option : kBuildOptionTable) {
    if (!option.template_comment.empty()) {
      text += "\n";
      ForEachLine(option.template_comment,
                  [&text](std::string_view line) { text += "; " + std::string(line) + "\n"; });
    }
    std::string value = ReplaceAll(std::string(option.template_value), "{name}", stem);
    value = ReplaceAll(value, "{title}", Capitalised(stem));
    text += std::string(option.template_live ? "" : "; ") + std::string(option.Key()) + " = " +
            value + "\n";
  }
  return text;
}

std::vector<OptionSetting> MergeSettings(std::vector<OptionSetting> file,
                                         const std::vector<OptionSetting>& command_line) {
  for (const OptionSetting& setting : command_line) {
    const BuildOption* option = FindBuildOption(setting.name);
    if (option && option->repeatable) {
      std::erase_if(file, [&setting](const OptionSetting& s) {
        return s.name == setting.name && !s.origin.empty();
      });
      file.push_back(setting);
      continue;
    }
    auto same = std::find_if(file.begin(), file.end(),
                             [&setting](const OptionSetting& s) { return s.name == setting.name; });
    if (same != file.end()) {
      *same = setting;
    } else {
      file.push_back(setting);
    }
  }
  return file;
}

std::optional<Failure> ComposeBuildOptions(const std::vector<OptionSetting>& settings,
                                           std::string_view ini_file, BuildOptions& build) {
  const Settings given(settings);
  if (auto failure = MissingRequired(given, ini_file)) return failure;
  ReadPlainOptions(given, build);
  return ReadCheckedOptions(given, build);
}

std::optional<std::string> ReadCodePage(std::string_view text, std::optional<int>& code_page) {
  if (text == "none") {
    code_page.reset();
    return std::nullopt;
  }
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !IsSupportedCodePage(value)) {
    return "'" + std::string(text) +
           "' is not a supported code page (874, 932, 936, 949, 950, 1250 to 1258, or none)";
  }
  code_page = value;
  return std::nullopt;
}

}  // namespace saverpack
