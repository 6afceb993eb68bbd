#include "package/short_name.h"

namespace scrsetup {
namespace {

bool IsAsciiAlphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string ApplyShortNameRule(const PathRules& paths, std::string_view screensaver_file) {
  std::string name(paths.FileNamePart(screensaver_file));
  size_t dot = name.find('.');
  if (dot != std::string::npos && dot >= 8) name = name.substr(0, 8) + ".scr";
  if (name.size() > 4) {
    // By characters, so that the kept bytes split into the same characters
    // as before: a double-byte character whose first byte is rewritten has
    // its second byte rewritten with it, even among the last 4 (a letter or
    // digit stays), or a second byte "\" or ":" would become a separator.
    for (size_t i = 0; i + 4 < name.size();) {
      for (const size_t end = i + paths.CharacterLength(name, i); i < end; ++i) {
        if (!IsAsciiAlphanumeric(name[i])) name[i] = '_';
      }
    }
  }
  return std::string(paths.FolderPart(screensaver_file)) + name;
}

bool ApplyShortNameRule(const PathRules& paths, SetupRecord& record) {
  return SetFieldText(record.ScreensaverFile,
                      ApplyShortNameRule(paths, FieldText(record.ScreensaverFile)), true);
}

}  // namespace scrsetup
