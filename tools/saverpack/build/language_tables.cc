#include "saverpack/build/language_tables.h"

#include <cerrno>

#include "lang/language_choice.h"
#include "lang/language_table.h"
#include "package/package_reader.h"
#include "saverpack/host/host_file.h"

namespace saverpack {
namespace {

constexpr int64_t kMaxTableFileSize = int64_t{64} << 20;

Failure BadInput(std::string message) { return Failure{kExitBadInput, std::move(message)}; }

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string EntryName(const LanguageEntry& entry) { return "--language " + Quoted(entry.spelling); }

std::optional<int> ParseNumber(std::string_view text, int base, int limit) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int value = 0;
  for (char c : text) {
    int digit = c >= '0' && c <= '9' ? c - '0'
                : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                     : -1;
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
  }
  if (value < 1 || value > limit) return std::nullopt;
  return value;
}

// Reads "CODE", "CODE:CODEPAGE" or "LLLL:CODEPAGE", the part after "@".
std::optional<Failure> ReadFileLanguage(std::string_view language, LanguageEntry& entry) {
  const size_t colon = language.find(':');
  const std::string_view name = language.substr(0, colon);
  if (colon != std::string_view::npos) {
    entry.code_page = ParseNumber(language.substr(colon + 1), 10, 65535);
    if (!entry.code_page) {
      return Failure{kExitUsage, EntryName(entry) + ": the code page after ':' is no number from 1 "
                                                    "to 65535"};
    }
  }
  entry.catalogue = FindCatalogueLanguage(name);
  if (entry.catalogue) {
    entry.language_id = entry.catalogue->language_id;
    if (!entry.code_page) entry.code_page = entry.catalogue->code_page;
    return std::nullopt;
  }
  std::optional<int> id = name.size() == 4 ? ParseNumber(name, 16, 0xffff) : std::nullopt;
  if (!id || !entry.code_page) {
    return Failure{kExitUsage,
                   EntryName(entry) + ": after '@' give a catalogue language ('saverpack "
                                      "languages' lists them), or a Windows LANGID of four "
                                      "hexadecimal digits and its code page, as in @041D:1252"};
  }
  entry.language_id = static_cast<uint16_t>(*id);
  return std::nullopt;
}

std::optional<Failure> ReadEntry(std::string_view spelling, LanguageEntry& entry) {
  entry.spelling = std::string(spelling);
  const bool exists = OpenForReading(entry.spelling) != nullptr;
  const std::string_view file = LanguageEntryFile(spelling, exists);
  if (file.size() < spelling.size()) {
    entry.file = std::string(file);
    return ReadFileLanguage(spelling.substr(file.size() + 1), entry);
  }
  if (NamesLanguageFile(spelling, exists)) {
    entry.file = entry.spelling;
    return std::nullopt;
  }
  entry.catalogue = FindCatalogueLanguage(spelling);
  if (!entry.catalogue) {
    return BadInput(EntryName(entry) +
                    ": no such file, and no catalogue language has that code ('saverpack "
                    "languages' lists them)");
  }
  entry.language_id = entry.catalogue->language_id;
  entry.code_page = entry.catalogue->code_page;
  return std::nullopt;
}

// The entry's table (UTF-8 or UTF-16 as given) converted into `code_page`.
std::optional<Failure> ConvertTable(const LanguageEntry& entry, PackageCodePage& code_page,
                                    std::string& bytes) {
  if (entry.file.empty()) return code_page.EncodeFile(entry.catalogue->table, EntryName(entry), bytes);
  std::unique_ptr<StdioFile> file = OpenForReading(entry.file);
  if (!file) return BadInput(EntryName(entry) + ": cannot open: " + SystemErrorText());
  const int64_t size = file->Size();
  if (size < 0 || size > kMaxTableFileSize) {
    return BadInput(EntryName(entry) + ": cannot be read, or holds more than 64 MiB");
  }
  errno = 0;
  std::optional<std::string> contents = scrsetup::ReadBlock(*file, 0, size);
  if (!contents) return BadInput(EntryName(entry) + ": cannot read: " + SystemErrorText());
  return code_page.EncodeFile(*contents, EntryName(entry), bytes);
}

// The entry lines of the sections "Setup" of `table`, each with CR LF.
std::string SetupEntries(std::string_view table) {
  std::string entries;
  bool in_setup = false;
  scrsetup::ForEachLanguageLine(table, [&](std::string_view line) {
    if (line.find('=') == std::string_view::npos) {
      in_setup = line == "Setup";
    } else if (in_setup) {
      entries.append(line).append("\r\n");
    }
  });
  return entries;
}

}  // namespace

std::string_view LanguageEntryFile(std::string_view spelling, bool exists) {
  const size_t at = spelling.rfind('@');
  return exists || at == std::string_view::npos ? spelling : spelling.substr(0, at);
}

std::optional<Failure> ReadLanguageEntries(const std::vector<std::string>& values,
                                           std::vector<LanguageEntry>& entries) {
  for (const std::string& value : values) {
    // A whole value that names a file keeps its commas.
    std::vector<std::string_view> spellings;
    if (OpenForReading(value)) {
      spellings.push_back(value);
    } else {
      for (size_t start = 0, comma = 0; comma != std::string::npos; start = comma + 1) {
        comma = value.find(',', start);
        spellings.push_back(std::string_view(value).substr(start, comma - start));
      }
    }
    for (std::string_view spelling : spellings) {
      if (spelling.empty()) {
        return Failure{kExitUsage, "--language " + Quoted(value) + ": an entry is empty"};
      }
      if (auto failure = ReadEntry(spelling, entries.emplace_back())) return failure;
    }
  }
  if (entries.size() < 2) return std::nullopt;
  for (const LanguageEntry& entry : entries) {
    if (entry.language_id == 0) {
      return Failure{kExitUsage, EntryName(entry) +
                                     ": a package with several languages needs each file's "
                                     "language: give FILE@CODE or FILE@LLLL:CODEPAGE"};
    }
  }
  return std::nullopt;
}

std::optional<Failure> ComposeFurtherTables(const std::vector<LanguageEntry>& entries,
                                            std::string_view main_table,
                                            PackageCodePage& package_code_page,
                                            std::string& appended) {
  const std::optional<int> package_number = package_code_page.number();
  if (!package_number) {
    return Failure{kExitUsage,
                   "several languages are written each in its own code page; --codepage none "
                   "takes one table only"};
  }
  const LanguageEntry& main = entries.front();
  if (!main_table.empty() && main_table.back() != '\n' && main_table.back() != '\r') {
    appended += "\r\n";
  }
  appended += scrsetup::LanguageSectionHeading(main.language_id,
                                               static_cast<uint32_t>(*package_number), true) +
              "\r\n";
  for (size_t i = 1; i < entries.size(); ++i) {
    const LanguageEntry& entry = entries[i];
    const int number = entry.code_page.value_or(*package_number);
    PackageCodePage code_page;
    if (auto failure = PackageCodePage::Open(number, code_page)) return failure;
    std::string table;
    if (auto failure = ConvertTable(entry, code_page, table)) return failure;
    appended += scrsetup::LanguageSectionHeading(entry.language_id, static_cast<uint32_t>(number),
                                                 false) +
                "\r\n" + SetupEntries(table);
  }
  return std::nullopt;
}

std::optional<Failure> CheckSharedText(std::string_view bytes, std::string_view what,
                                       const std::vector<LanguageEntry>& entries,
                                       PackageCodePage& package_code_page) {
  if (entries.size() < 2 || !package_code_page.number()) return std::nullopt;
  const std::u32string meant = package_code_page.Decode(bytes);
  std::string unreadable;
  for (size_t i = 1; i < entries.size(); ++i) {
    const LanguageEntry& entry = entries[i];
    const int number = entry.code_page.value_or(*package_code_page.number());
    if (number == *package_code_page.number()) continue;
    PackageCodePage code_page;
    if (auto failure = PackageCodePage::Open(number, code_page)) return failure;
    if (code_page.Decode(bytes) == meant) continue;
    unreadable += (unreadable.empty() ? "" : ", ") + entry.spelling + " (code page " +
                  std::to_string(number) + ")";
  }
  if (unreadable.empty()) return std::nullopt;
  return BadInput(std::string(what) + ": is written in code page " +
                  std::to_string(*package_code_page.number()) +
                  ", and its characters outside ASCII would show as other ones to the users of " +
                  unreadable +
                  "; write it in ASCII, or build a separate package for those languages");
}

}  // namespace saverpack
