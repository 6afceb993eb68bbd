#include "saverpack/build/ini_file.h"

#include <cerrno>
#include <map>
#include <memory>

#include "package/package_reader.h"
#include "saverpack/build/catalogue.h"
#include "saverpack/build/language_tables.h"
#include "saverpack/host/host_file.h"
#include "saverpack/host/host_path.h"
#include "saverpack/text/unicode_text.h"

namespace saverpack {
namespace {

// The most an INI file may hold; it is a page of options.
constexpr int64_t kMaxIniFileSize = 1 << 20;

std::string_view Trimmed(std::string_view text) {
  const size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// A switch's value: true for yes, false for no, nullopt for anything else.
std::optional<bool> SwitchValue(std::string_view value) {
  const std::string lower = Lower(value);
  if (lower == "yes" || lower == "true" || lower == "1") return true;
  if (lower == "no" || lower == "false" || lower == "0") return false;
  return std::nullopt;
}

bool FileOpens(const std::string& path) { return OpenForReading(path) != nullptr; }

// Whether `setting` names an input file that must open: the paths but the
// output's, and a path-or-name when its value names a file.
bool NamesInputFile(const OptionSetting& setting) {
  const BuildOption* option = FindBuildOption(setting.name);
  if (option == nullptr || setting.name == "--output") return false;
  if (option->kind == ValueKind::kPathOrName) {
    // A file that names its language (FILE@CODE) is opened by the build.
    const bool exists = FileOpens(setting.value);
    return NamesLanguageFile(setting.value, exists) &&
           LanguageEntryFile(setting.value, exists).size() == setting.value.size();
  }
  return option->kind == ValueKind::kPath;
}

// One `key = value` line as a setting (none for a switch that is off).
std::optional<Failure> ParseSetting(std::string_view line, const std::string& origin,
                                    const std::string& folder,
                                    bool (*exists)(const std::string& path),
                                    std::vector<OptionSetting>& settings) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    return Failure{kExitBadInput, origin + ": expected 'key = value', a comment (';' or '#') or "
                                           "[package], not '" + std::string(line) + "'"};
  }
  const std::string key(Trimmed(line.substr(0, equals)));
  std::string_view value = Trimmed(line.substr(equals + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  const std::string name = "--" + key;
  const BuildOption* option = FindBuildOption(name);
  if (key.empty() || option == nullptr) {
    return Failure{kExitBadInput, origin + ": unknown key '" + key +
                                      "' (keys are the long build options without \"--\"; "
                                      "'saverpack help build' lists them)"};
  }
  if (!option->TakesValue()) {
    std::optional<bool> on = SwitchValue(value);
    if (!on) {
      return Failure{kExitBadInput, origin + ": " + key + " = '" + std::string(value) +
                                        "': give yes or no"};
    }
    if (*on) settings.push_back({name, "", origin});
    return std::nullopt;
  }
  if (option->kind == ValueKind::kPathOrName) {
    // Each comma-separated entry a setting of its own, the file it names
    // relative to the package file's folder.
    for (size_t start = 0, comma = 0; comma != std::string_view::npos; start = comma + 1) {
      comma = value.find(',', start);
      std::string entry(value.substr(start, comma - start));
      const std::string_view file =
          LanguageEntryFile(entry, exists(PathRelativeTo(folder, entry)));
      if (NamesLanguageFile(file, exists(PathRelativeTo(folder, std::string(file))))) {
        entry = PathRelativeTo(folder, std::string(file)) + entry.substr(file.size());
      }
      settings.push_back({name, entry, origin});
    }
    return std::nullopt;
  }
  std::string text(value);
  if (option->kind == ValueKind::kPath) text = PathRelativeTo(folder, text);
  settings.push_back({name, text, origin});
  return std::nullopt;
}

}  // namespace

std::optional<Failure> ParseIniFile(std::string_view text, const std::string& name,
                                        bool (*exists)(const std::string& path),
                                        std::vector<OptionSetting>& settings) {
  const std::string folder = FolderOf(name);
  std::map<std::string, int> first_line;  // key -> line
  bool had_section = false;
  int number = 0;
  for (size_t start = 0; start <= text.size(); ++number) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(start, end - start);
    start = end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string_view line = Trimmed(raw);
    const std::string origin = name + ":" + std::to_string(number + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      if (Lower(line) != "[package]") {
        return Failure{kExitBadInput, origin + ": unknown section " + std::string(line) +
                                          "; a package file has at most one, [package]"};
      }
      if (had_section) return Failure{kExitBadInput, origin + ": a second [package] section"};
      had_section = true;
      continue;
    }
    const size_t before = settings.size();
    if (auto failure = ParseSetting(line, origin, folder, exists, settings)) return failure;
    const std::string key(Trimmed(line.substr(0, line.find('='))));
    const BuildOption* option = FindBuildOption("--" + key);
    if (option->repeatable) continue;
    if (auto [at, fresh] = first_line.emplace(key, number + 1); !fresh) {
      settings.resize(before);
      return Failure{kExitBadInput, origin + ": " + key + " is given twice (first on line " +
                                        std::to_string(at->second) + ")"};
    }
  }
  return std::nullopt;
}

std::optional<Failure> BuildOptionsFromIniFile(const std::string& path,
                                                   const std::vector<OptionSetting>& command_line,
                                                   BuildOptions& build) {
  std::unique_ptr<StdioFile> file = OpenForReading(path);
  if (!file) return Failure{kExitBadInput, path + ": cannot open: " + SystemErrorText()};
  const int64_t size = file->Size();
  if (size > kMaxIniFileSize) {
    return Failure{kExitBadInput, path + ": is " + std::to_string(size) +
                                      " bytes; a package file may hold at most 1 MiB"};
  }
  errno = 0;
  std::optional<std::string> contents = size < 0 ? std::nullopt : scrsetup::ReadBlock(*file, 0, size);
  if (!contents) return Failure{kExitBadInput, path + ": cannot read: " + SystemErrorText()};
  std::u32string characters;
  if (std::optional<UnicodeProblem> problem = ReadUnicode(*contents, characters)) {
    return Failure{kExitBadInput, path + ":" + std::to_string(problem->line) + ": " +
                                      problem->message + "; a package file is UTF-8"};
  }
  std::vector<OptionSetting> settings;
  if (auto failure = ParseIniFile(Utf8(characters), path, FileOpens, settings)) return failure;
  settings = MergeSettings(std::move(settings), command_line);
  for (const OptionSetting& setting : settings) {
    if (setting.origin.empty() || !NamesInputFile(setting)) continue;
    if (!OpenForReading(setting.value)) {
      return Failure{kExitBadInput, setting.origin + ": " + setting.name.substr(2) + " '" +
                                        setting.value + "': cannot open: " + SystemErrorText()};
    }
  }
  return ComposeBuildOptions(settings, path, build);
}

std::string IniFileTemplate(std::string_view stem) {
  const std::string name(stem);
  return BuildOptionsTemplate(
      "; A saverpack package file: 'saverpack build " + name +
          ".ini' builds the package it\n"
          "; describes. Options on the command line replace the ones here, as in\n"
          "; 'saverpack build " + name + ".ini --version 1.1'.\n"
          ";\n"
          "; Each line is 'key = value', the keys being saverpack build's long options\n"
          "; without \"--\" ('saverpack help build' explains each); lines starting with\n"
          "; ';' or '#' are comments. Paths are relative to this file's folder. The file\n"
          "; is UTF-8; its texts go into the package in the code page below.\n"
          "\n"
          "[package]\n",
      stem);
}

std::optional<Failure> WriteIniFileTemplate(const std::string& path) {
  const std::string stem = StemOf(path);
  std::unique_ptr<StdioFile> file = CreateNewFile(path);
  if (!file) {
    if (errno == EEXIST) {
      return Failure{kExitBadInput, path + ": exists already; init never replaces a file"};
    }
    return Failure{kExitBadInput, path + ": cannot create: " + SystemErrorText()};
  }
  const std::string text = IniFileTemplate(stem);
  errno = 0;
  const bool written = file->Write(text.data(), static_cast<int64_t>(text.size())) ==
                           static_cast<int64_t>(text.size()) &&
                       file->Close();
  if (written) return std::nullopt;
  std::string reason = SystemErrorText();
  file.reset();
  RemoveFile(path);
  return Failure{kExitBadInput, path + ": writing failed: " + reason};
}

}  // namespace saverpack
