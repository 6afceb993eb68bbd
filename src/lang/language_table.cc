#include "lang/language_table.h"

#include <algorithm>

#include "lang/text.h"

namespace scrsetup {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kLineBreakCode = "#13";

}  // namespace

void LanguageTable::LoadLanguageTable(std::string_view text, std::string_view section) {
  keys_.clear();
  values_.clear();
  loaded_ = true;
  std::string_view current;
  ForEachLanguageLine(text, [&](std::string_view line) {
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      current = line;
    } else if (section.empty() || current == section) {
      keys_.emplace_back(line.substr(0, equals));
      values_.emplace_back(line.substr(equals + 1));
    }
  });
}

std::string LanguageTable::Translate(std::string_view english) const {
  if (!loaded_) return std::string(english);
  std::string key = ReplaceAll(english, kCrLf, kLineBreakCode);
  auto found = std::find(keys_.begin(), keys_.end(), key);
  if (found == keys_.end()) return std::string(english);
  return ReplaceAll(values_[found - keys_.begin()], kLineBreakCode, kCrLf);
}

void LanguageTable::FreeLanguageTable() {
  keys_.clear();
  values_.clear();
  loaded_ = false;
}

std::string FillPlaceholder(std::string_view translated, std::string_view english,
                          std::string_view argument) {
  auto usable = [](std::string_view text) {
    size_t percent = text.find('%');
    return percent != std::string_view::npos && text.substr(percent, 2) == "%s" &&
           text.find('%', percent + 1) == std::string_view::npos;
  };
  std::string_view format = usable(translated) ? translated : english;
  size_t at = format.find("%s");
  std::string result(format.substr(0, at));
  result.append(argument);
  result.append(format.substr(at + 2));
  return result;
}

}  // namespace scrsetup
