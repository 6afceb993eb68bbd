#include "platform/path_rules.h"

namespace scrsetup {

size_t PathRules::LastCharacterStart(std::string_view path) const {
  size_t last = std::string_view::npos;
  for (size_t at = 0; at < path.size();) {
    last = at;
    at += system_.IsLeadByte(static_cast<uint8_t>(path[at])) ? 2 : 1;
  }
  return last;
}

size_t PathRules::NameStart(std::string_view path) const {
  size_t start = 0;
  for (size_t at = 0; at < path.size();) {
    if (system_.IsLeadByte(static_cast<uint8_t>(path[at]))) {
      at += 2;
    } else {
      if (path[at] == '\\' || path[at] == ':') start = at + 1;
      ++at;
    }
  }
  return start;
}

std::string_view PathRules::FileNamePart(std::string_view path) const {
  return path.substr(NameStart(path));
}

std::string_view PathRules::FolderPart(std::string_view path) const {
  return path.substr(0, NameStart(path));
}

bool PathRules::EndsWithBackslash(std::string_view path) const {
  size_t last = LastCharacterStart(path);
  return last != std::string_view::npos && last == path.size() - 1 && path[last] == '\\';
}

std::string PathRules::WithTrailingBackslash(std::string_view path) const {
  if (EndsWithBackslash(path)) return std::string(path);
  const size_t last = LastCharacterStart(path);
  // Half a character: the "\" appended would become its second byte.
  if (!path.empty() && last == path.size() - 1 &&
      system_.IsLeadByte(static_cast<uint8_t>(path[last]))) {
    path.remove_suffix(1);
  }
  return std::string(path) + '\\';
}

std::string_view PathRules::WithoutTrailingBackslash(std::string_view path) const {
  if (EndsWithBackslash(path)) path.remove_suffix(1);
  return path;
}

std::string_view PathRules::WithoutTrailingBackslashUnlessRoot(std::string_view path) const {
  if (path == "\\" || IsDriveRoot(path)) return path;
  return WithoutTrailingBackslash(path);
}

std::string_view PathRules::WithoutLastCharacter(std::string_view name) const {
  const size_t last = LastCharacterStart(name);
  return last == std::string_view::npos ? name : name.substr(0, last);
}

std::string PathRules::LowerAsciiLetters(std::string_view name) const {
  std::string lowered(name);
  for (size_t at = 0; at < lowered.size(); ++at) {
    if (system_.IsLeadByte(static_cast<uint8_t>(lowered[at]))) {
      ++at;
    } else if (lowered[at] >= 'A' && lowered[at] <= 'Z') {
      lowered[at] = static_cast<char>(lowered[at] - 'A' + 'a');
    }
  }
  return lowered;
}

size_t PathRules::CharacterLength(std::string_view text, size_t at) const {
  return at + 1 < text.size() && system_.IsLeadByte(static_cast<uint8_t>(text[at])) ? 2 : 1;
}

bool PathRules::IsDriveRoot(std::string_view path) {
  if (path.size() != 3 || path[1] != ':' || path[2] != '\\') return false;
  const char letter = static_cast<char>(path[0] | 0x20);
  return letter >= 'a' && letter <= 'z';
}

}  // namespace scrsetup
