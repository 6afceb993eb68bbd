#include "package/short_name.h"

namespace scrsetup {
namespace {

bool IsAsciiAlphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

size_t NameStart(std::string_view path) {
  size_t separator = path.find_last_of("\\:");
  return separator == std::string_view::npos ? 0 : separator + 1;
}

}  // namespace

std::string_view FileNamePart(std::string_view path) { return path.substr(NameStart(path)); }

std::string_view FolderPart(std::string_view path) { return path.substr(0, NameStart(path)); }

std::string ApplyShortNameRule(std::string_view screensaver_file) {
  std::string name(FileNamePart(screensaver_file));
  size_t dot = name.find('.');
  if (dot != std::string::npos && dot >= 8) name = name.substr(0, 8) + ".scr";
  if (name.size() > 4) {
    for (size_t i = 0; i + 4 < name.size(); ++i) {
      if (!IsAsciiAlphanumeric(name[i])) name[i] = '_';
    }
  }
  return std::string(FolderPart(screensaver_file)) + name;
}

}  // namespace scrsetup
