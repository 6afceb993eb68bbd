// The language table on arbitrary text. The input's first line (up to the
// first LF) names the section to keep, the rest is the language text. Every
// English text of the installer is translated, the section name too (an
// English text with any bytes), and each message with "%s" is filled. The
// text is also read as a block of several tables, and the table a run would
// pick under a few systems must be one the block carries in that system's
// code page (or "Setup" for a block of one table).
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "lang/language_choice.h"
#include "lang/language_table.h"

namespace {

constexpr std::string_view kEnglishTexts[] = {
    "Back", "Next", "Install", "Finish", "Setup", "Uninstall", "Readme", "Preview",
    "I &accept the agreement", "The file is corrupted. Setup can not continue.",
    "Unable to create the directory. Please select a different directory.",
};

constexpr std::string_view kMessagesWithPlaceholder[] = {
    "There was an error installing %s. Installation is not complete.",
    "%s has been successfully removed from your computer.",
    "Are you sure you want to remove %s and its components?",
};

struct System {
  uint32_t code_page;
  uint16_t ui_language;
};
constexpr System kSystems[] = {{1252, 0x0407}, {1251, 0x0419}, {932, 0x0411}, {1250, 0x0415}};

void CheckChoice(std::string_view text) {
  const std::vector<scrsetup::LanguageSection> sections = scrsetup::ReadLanguageSections(text);
  for (const System& system : kSystems) {
    const std::optional<std::string_view> chosen =
        scrsetup::ChooseLanguageSection(text, system.code_page, system.ui_language);
    if (sections.empty()) {
      FUZZ_CHECK(chosen == "Setup");
      continue;
    }
    if (!chosen) continue;
    bool carried = false;
    for (const scrsetup::LanguageSection& section : sections) {
      carried = carried || (section.section == *chosen && section.code_page == system.code_page);
    }
    FUZZ_CHECK(carried);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input = scrsetup::fuzz::Bytes(data, size);
  const size_t line_end = input.find('\n');
  const std::string_view section = std::string_view(input).substr(0, line_end);
  const std::string_view text =
      line_end == std::string::npos ? std::string_view() : std::string_view(input).substr(line_end + 1);

  scrsetup::LanguageTable table;
  table.LoadLanguageTable(text, section);
  FUZZ_CHECK(table.loaded());
  for (std::string_view english : kEnglishTexts) table.Translate(english);
  table.Translate(section);
  for (std::string_view english : kMessagesWithPlaceholder) {
    std::string filled = scrsetup::FillPlaceholder(table.Translate(english), english, section);
    FUZZ_CHECK(filled.size() >= section.size());
  }
  CheckChoice(text);
  table.FreeLanguageTable();
  FUZZ_CHECK(!table.loaded() && table.Translate(section) == section);
  return 0;
}
