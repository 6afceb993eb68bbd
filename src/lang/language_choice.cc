#include "lang/language_choice.h"

#include "lang/language_table.h"

namespace scrsetup {
namespace {

constexpr std::string_view kSetupSection = "Setup";
constexpr std::string_view kTablePrefix = "Setup ";
constexpr std::string_view kMainWord = "main ";
constexpr uint16_t kPrimaryLanguageMask = 0x3ff;
constexpr uint16_t kEnglish = 0x09;

// Reads a table heading: "Setup ", "main " for the main table, four
// hexadecimal digits, a blank and a decimal code page from 1 to 65535.
bool ReadTableHeading(std::string_view line, LanguageSection& section, bool& main) {
  if (!line.starts_with(kTablePrefix)) return false;
  line.remove_prefix(kTablePrefix.size());
  main = line.starts_with(kMainWord);
  if (main) line.remove_prefix(kMainWord.size());
  if (line.size() < 6 || line.size() > 10 || line[4] != ' ') return false;
  uint32_t values[2] = {0, 0};  // language, code page
  for (size_t i = 0; i < line.size(); ++i) {
    if (i == 4) continue;
    const bool hex = i < 4;
    const char c = line[i];
    const char lower = static_cast<char>(c | 0x20);
    const int digit = c >= '0' && c <= '9'                   ? c - '0'
                      : hex && lower >= 'a' && lower <= 'f' ? lower - 'a' + 10
                                                             : -1;
    if (digit < 0) return false;
    values[!hex] = values[!hex] * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
  }
  section.language = static_cast<uint16_t>(values[0]);
  section.code_page = values[1];
  return values[1] != 0 && values[1] <= 0xffff;
}

// Calls `visit(section, is_main)` for each table heading of `text`, in
// order; the main table's section is "Setup".
template <typename Visit>
void ForEachTableHeading(std::string_view text, Visit visit) {
  ForEachLanguageLine(text, [&](std::string_view line) {
    LanguageSection section;
    bool main = false;
    if (line.find('=') != std::string_view::npos || !ReadTableHeading(line, section, main)) return;
    section.section = main ? kSetupSection : line;
    visit(section, main);
  });
}

}  // namespace

std::string LanguageSectionHeading(uint16_t language, uint32_t code_page, bool main) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string heading(kTablePrefix);
  if (main) heading += kMainWord;
  for (int shift = 12; shift >= 0; shift -= 4) heading += kHex[(language >> shift) & 0xf];
  heading += ' ';
  heading += std::to_string(code_page);
  return heading;
}

std::vector<LanguageSection> ReadLanguageSections(std::string_view text) {
  std::vector<LanguageSection> sections(1);
  bool has_main = false;
  ForEachTableHeading(text, [&](const LanguageSection& section, bool main) {
    if (!main) {
      sections.push_back(section);
    } else if (!has_main) {
      sections.front() = section;
      has_main = true;
    }
  });
  if (!has_main) sections.clear();
  return sections;
}

std::optional<std::string_view> ChooseLanguageSection(std::string_view text,
                                                      uint32_t ansi_code_page,
                                                      uint16_t ui_language) {
  // Ranks: 0 the UI language, 1 its primary language, 2 the main table,
  // 3 English, 4 none. The main table stands first in the block's order, so
  // it wins a tie; other ties go to the earlier heading.
  auto primary = [](uint16_t language) { return language & kPrimaryLanguageMask; };
  int best_rank = 4;
  std::string_view best;
  bool has_main = false;
  ForEachTableHeading(text, [&](const LanguageSection& section, bool main) {
    if (main && has_main) return;
    has_main = has_main || main;
    if (section.code_page != ansi_code_page) return;
    const int rank = section.language == ui_language                   ? 0
                     : primary(section.language) == primary(ui_language) ? 1
                     : main                                              ? 2
                     : primary(section.language) == kEnglish             ? 3
                                                                         : 4;
    if (rank < best_rank || (rank == best_rank && main)) {
      best_rank = rank;
      best = section.section;
    }
  });
  if (!has_main) return kSetupSection;
  if (best_rank == 4) return std::nullopt;
  return best;
}

}  // namespace scrsetup
