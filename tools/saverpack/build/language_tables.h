// The language tables a package carries (--language, one or several).
//
// Each entry of --language is spelled one of these ways:
//   CODE                    a catalogue language ('saverpack languages')
//   FILE                    a table file, in the package's code page
//   FILE@CODE               a table file for catalogue language CODE,
//                           written in CODE's code page
//   FILE@CODE:CODEPAGE      ... written in CODEPAGE
//   FILE@LLLL:CODEPAGE      a table file for the language with Windows
//                           LANGID LLLL (four hexadecimal digits)
// A value that names an existing file is always that file.
//
// The first entry is the main table: the section "Setup" of the block,
// written as a package with one table has it, in the package's code page.
// With several entries the block goes on as the installer's reader of
// several tables expects (lang/language_choice.h): the main table's
// language heading, then each further table's "Setup" entries under its
// own heading, in its own code page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "saverpack/build/catalogue.h"
#include "saverpack/host/failure.h"
#include "saverpack/text/package_code_page.h"

namespace saverpack {

struct LanguageEntry {
  std::string spelling;                          // as given
  const CatalogueLanguage* catalogue = nullptr;  // CODE, or the CODE of FILE@CODE
  std::string file;                              // empty for a catalogue language
  uint16_t language_id = 0;                      // 0: a FILE that names none
  std::optional<int> code_page;                  // nullopt: the package's
};

// The file an entry names: all of `spelling` when it names an existing file
// (`exists`), else the part before its last "@" (all of it when there is
// none).
std::string_view LanguageEntryFile(std::string_view spelling, bool exists);

// Reads the comma-separated entries of `values` (each a --language value),
// in order. A failure names the entry.
std::optional<Failure> ReadLanguageEntries(const std::vector<std::string>& values,
                                           std::vector<LanguageEntry>& entries);

// What follows the main table in a block with several tables: its language
// heading, then the further tables (`entries` after the first), each
// converted into its own code page. `main_table` is the main table as
// written in `package_code_page`.
std::optional<Failure> ComposeFurtherTables(const std::vector<LanguageEntry>& entries,
                                            std::string_view main_table,
                                            PackageCodePage& package_code_page,
                                            std::string& appended);

// Refuses a readme or licence (`bytes`, written in the package's code page)
// that a carried table's code page would show as other characters: such a
// table's users would read a garbled text, a licence they must accept
// among them. `what` names the option and file.
std::optional<Failure> CheckSharedText(std::string_view bytes, std::string_view what,
                                       const std::vector<LanguageEntry>& entries,
                                       PackageCodePage& package_code_page);

}  // namespace saverpack
