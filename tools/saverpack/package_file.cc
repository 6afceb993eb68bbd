#include "saverpack/package_file.h"

#include <cerrno>
#include <map>
#include <memory>

#include "package/package_reader.h"
#include "saverpack/catalogue.h"
#include "saverpack/host_file.h"
#include "saverpack/package_builder.h"
#include "saverpack/unicode_text.h"

namespace saverpack {
namespace {

// The most a package file may hold; it is a page of options.
constexpr int64_t kMaxPackageFileSize = 1 << 20;

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

bool IsAbsolute(std::string_view path) {
  return (!path.empty() && (path[0] == '/' || path[0] == '\\')) ||
         (path.size() >= 2 && path[1] == ':');
}

// The folder part of `path`, with its separator; empty for a bare name.
std::string FolderOf(std::string_view path) {
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string_view::npos ? std::string() : std::string(path.substr(0, separator + 1));
}

std::string Resolved(const std::string& folder, std::string_view value) {
  if (value.empty() || IsAbsolute(value)) return std::string(value);
  return folder + std::string(value);
}

// A switch's value: true for yes, false for no, nullopt for anything else.
std::optional<bool> SwitchValue(std::string_view value) {
  const std::string lower = Lower(value);
  if (lower == "yes" || lower == "true" || lower == "1") return true;
  if (lower == "no" || lower == "false" || lower == "0") return false;
  return std::nullopt;
}

// "aurora" for "examples/aurora.ini".
std::string Stem(const std::string& path) {
  std::string name = ScreensaverFileName(path);
  const size_t dot = name.rfind('.');
  return dot == 0 || dot == std::string::npos ? name : name.substr(0, dot);
}

bool FileOpens(const std::string& path) { return OpenForReading(path) != nullptr; }

// Whether `setting` names an input file that must open: the paths of the
// inputs, and --language when its value names a file.
bool NamesInputFile(const OptionSetting& setting) {
  if (setting.name == "--output") return false;
  if (setting.name == "--language") return NamesLanguageFile(setting.value, FileOpens(setting.value));
  std::optional<BuildOptionKind> kind = FindBuildOption(setting.name);
  return kind && kind->is_path;
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
  std::optional<BuildOptionKind> kind = FindBuildOption(name);
  if (key.empty() || !kind) {
    return Failure{kExitBadInput, origin + ": unknown key '" + key +
                                      "' (keys are the long build options without \"--\"; "
                                      "'saverpack help build' lists them)"};
  }
  if (!kind->takes_value) {
    std::optional<bool> on = SwitchValue(value);
    if (!on) {
      return Failure{kExitBadInput, origin + ": " + key + " = '" + std::string(value) +
                                        "': give yes or no"};
    }
    if (*on) settings.push_back({name, "", origin});
    return std::nullopt;
  }
  std::string text(value);
  if (kind->is_path ||
      (name == "--language" && NamesLanguageFile(text, exists(Resolved(folder, text))))) {
    text = Resolved(folder, text);
  }
  settings.push_back({name, text, origin});
  return std::nullopt;
}

}  // namespace

std::optional<Failure> ParsePackageFile(std::string_view text, const std::string& name,
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
    if (auto [at, fresh] = first_line.emplace(key, number + 1); !fresh) {
      settings.resize(before);
      return Failure{kExitBadInput, origin + ": " + key + " is given twice (first on line " +
                                        std::to_string(at->second) + ")"};
    }
  }
  return std::nullopt;
}

std::optional<Failure> BuildOptionsFromPackageFile(const std::string& path,
                                                   const std::vector<OptionSetting>& command_line,
                                                   BuildOptions& build) {
  std::unique_ptr<StdioFile> file = OpenForReading(path);
  if (!file) return Failure{kExitBadInput, path + ": cannot open: " + SystemErrorText()};
  const int64_t size = file->Size();
  if (size > kMaxPackageFileSize) {
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
  if (auto failure = ParsePackageFile(Utf8(characters), path, FileOpens, settings)) return failure;
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

std::string PackageFileTemplate(std::string_view stem) {
  std::string title(stem);
  if (!title.empty() && title[0] >= 'a' && title[0] <= 'z') {
    title[0] = static_cast<char>(title[0] - 'a' + 'A');
  }
  const std::string name(stem);
  return "; A saverpack package file: 'saverpack build " + name +
         ".ini' builds the package it\n"
         "; describes. Options on the command line replace the ones here, as in\n"
         "; 'saverpack build " + name + ".ini --version 1.1'.\n"
         ";\n"
         "; Each line is 'key = value', the keys being saverpack build's long options\n"
         "; without \"--\" ('saverpack help build' explains each); lines starting with\n"
         "; ';' or '#' are comments. Paths are relative to this file's folder. The file\n"
         "; is UTF-8; its texts go into the package in the code page below.\n"
         "\n"
         "[package]\n"
         "\n"
         "; The package to write, and the installer program it is built on.\n"
         "output = " + name + "-setup.exe\n"
         "stub = setup.exe\n"
         "\n"
         "; The screensaver; its file name is the name it is installed under.\n"
         "screensaver = " + name + ".scr\n"
         "\n"
         "; The name the installer shows (at most 32 bytes), and its web link.\n"
         "title = " + title + "\n"
         "; web = https://example.org/" + name + "\n"
         "\n"
         "; The readme and licence pages; license-mode 0 keeps the licence but hides\n"
         "; its page.\n"
         "; readme = readme.txt\n"
         "; license = license.txt\n"
         "; license-mode = 1\n"
         "\n"
         "; The installer's texts: a language of 'saverpack languages' or a language\n"
         "; table file; and the Windows code page of the users (or none: as given).\n"
         "; language = de\n"
         "codepage = 1252\n"
         "\n"
         "; The default folder, its subfolder, and whether to skip the folder page.\n"
         "; folder = <Program Files>\n"
         "; subfolder = " + title + "\n"
         "; skip-folder-page = no\n"
         "\n"
         "; What the installation registers (yes or no).\n"
         "uninstall-entry = yes\n"
         "program-group = yes\n"
         "desktop-shortcut = no\n"
         "\n"
         "; The uninstall entry's version, publisher and support link; saverpack\n"
         "; winget takes the version and publisher from them.\n"
         "; version = 1.0\n"
         "; publisher = Example Ltd.\n"
         "; help-link = https://example.org/" + name + "/help\n";
}

std::optional<Failure> WritePackageFileTemplate(const std::string& path) {
  const std::string stem = Stem(path);
  std::unique_ptr<StdioFile> file = CreateNewFile(path);
  if (!file) {
    if (errno == EEXIST) {
      return Failure{kExitBadInput, path + ": exists already; init never replaces a file"};
    }
    return Failure{kExitBadInput, path + ": cannot create: " + SystemErrorText()};
  }
  const std::string text = PackageFileTemplate(stem);
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
