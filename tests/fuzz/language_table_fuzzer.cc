// The language table on arbitrary text. The input's first line (up to the
// first LF) names the section to keep, the rest is the language text. Every
// English text of the installer is translated, the section name too (an
// English text with any bytes), and each message with "%s" is filled.
#include <string_view>

#include "fuzz/fuzz_support.h"
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
  table.FreeLanguageTable();
  FUZZ_CHECK(!table.loaded() && table.Translate(section) == section);
  return 0;
}
