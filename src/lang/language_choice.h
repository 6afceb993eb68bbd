// Several language tables in one language block, and the choice of the one
// a run speaks.
//
// A block with one table is a plain language text (language_table.h): its
// section "Setup" is the table. A block with several tables starts the same
// way, so a reader of one table sees only the first, the main table; the
// others follow as sections that such a reader skips, each headed by its
// language and code page:
//
//   Setup                      ┐ the main table, exactly as a package with
//   Back=Zurück                │ one table carries it (written in its own
//   ...                        ┘ code page)
//   Setup main 0407 1252       the main table's language and code page:
//                              a heading alone, it marks the block as one
//                              with several tables
//   Setup 040C 1252            ┐ a further table: its heading names its
//   Back=Précédent             │ language and code page, its entries follow
//   ...                        ┘ (written in that code page)
//   Setup 0419 1251
//   ...
//
// A heading is "Setup", optionally " main", then " ", the language
// identifier as four hexadecimal digits (a Windows LANGID), " " and the
// code page in decimal (1 to 65535); lines break as in any language text.
// A table's entries are read with LoadLanguageTable(text, its heading), the
// main table's with "Setup". A heading of any other form is an ordinary
// section and names no table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrsetup {

struct LanguageSection {
  uint16_t language = 0;     // LANGID
  uint32_t code_page = 0;    // the ANSI code page its texts are written in
  std::string_view section;  // the section to load: "Setup" for the main table
};

// The heading of a further table ("Setup 0419 1251"), or with `main` the
// line that names the main table's language ("Setup main 0407 1252").
std::string LanguageSectionHeading(uint16_t language, uint32_t code_page, bool main);

// The tables of a block with several tables, the main table first and the
// others in the order of their headings; empty for a block with one table
// (no "Setup main" heading). Views point into `text`.
std::vector<LanguageSection> ReadLanguageSections(std::string_view text);

// The section a run loads from the language block `text`, chosen once at
// start from the system's ANSI code page and the user's UI language:
//   - a block with one table: "Setup", whatever the system;
//   - otherwise only tables written in `ansi_code_page` are candidates, in
//     block order; the first whose language equals `ui_language`, else the
//     first with its primary language, else the main table when it is one,
//     else the first English table among them;
//   - nullopt when none fits: the run shows the program's English texts.
std::optional<std::string_view> ChooseLanguageSection(std::string_view text,
                                                      uint32_t ansi_code_page,
                                                      uint16_t ui_language);

}  // namespace scrsetup
