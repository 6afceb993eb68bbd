// The language table carried in a package, and the translation of the
// installer's English texts through it.
//
// Language text format: 8-bit text, cut into lines at CR, LF or CR LF, ending
// at the end of the block or at its first NUL. A line without "=" is a
// section heading (the whole line, untrimmed; an empty line too). A line with
// "=" is an entry of the current section: the key is everything before the
// first "=", the value everything after it. In a value "#13" stands for a
// line break (CR LF). Lines before the first heading belong to the section
// with the empty name. The installer reads the section "Setup".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scrsetup {

// Calls `visit` with each line of a language text, up to its first NUL. A
// final line break adds no empty line; an empty line between two breaks is
// a line.
template <typename Visit>
void ForEachLanguageLine(std::string_view text, Visit visit) {
  text = text.substr(0, text.find('\0'));
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      visit(text.substr(start));
      return;
    }
    visit(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
}

class LanguageTable {
 public:
  // Builds the table from `text`, keeping the entries of every section named
  // exactly `section` (byte-exact, case-sensitive), or of all sections when
  // `section` is empty. Leaves the table loaded, also when nothing was kept.
  void LoadLanguageTable(std::string_view text, std::string_view section);

  // The translation of `english`: the value of the first entry whose key is
  // `english` with CR LF written as "#13", with "#13" turned into CR LF; or
  // `english` itself when the table is not loaded or has no such key.
  std::string Translate(std::string_view english) const;

  // Releases the entries; the table then counts as not loaded.
  void FreeLanguageTable();

  bool loaded() const { return loaded_; }

 private:
  bool loaded_ = false;
  std::vector<std::string> keys_;
  std::vector<std::string> values_;
};

// Puts `argument` in place of the one "%s" of a translated message, as plain
// text. A translation that does not hold exactly one "%" (the one of "%s")
// falls back to `english`, which always does; no text ever reaches a
// printf-style formatter.
std::string FillPlaceholder(std::string_view translated, std::string_view english,
                          std::string_view argument);

}  // namespace scrsetup
