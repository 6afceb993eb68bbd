// The language catalogue compiled into saverpack: a language table for each
// language in catalogue/, kept there as UTF-8 (catalogue/languages.txt lists
// the languages; embed_catalogue.cmake turns the folder into the table
// below at build time, so the tool needs no files beside it).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace saverpack {

struct CatalogueLanguage {
  std::string_view code;   // e.g. "de", "pt-BR"
  std::string_view name;   // UTF-8, e.g. "German (Deutsch)"
  int code_page;           // the ANSI code page its users usually run
  uint16_t language_id;    // the Windows LANGID, e.g. 0x0407
  std::string_view table;  // the language table, UTF-8
};

// Every language, in the order of languages.txt.
std::span<const CatalogueLanguage> CatalogueLanguages();

// The language with exactly this code; nullptr when there is none.
const CatalogueLanguage* FindCatalogueLanguage(std::string_view code);

// The listing `saverpack languages` prints: one "CODE  CODEPAGE  NAME" line each.
std::string CatalogueListing();

// Whether a --language value names a file rather than a catalogue language:
// it holds "/", "\" or ".", or `is_existing_file`.
bool NamesLanguageFile(std::string_view value, bool is_existing_file);

}  // namespace saverpack
