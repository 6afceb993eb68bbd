#include "lang/text.h"

namespace scrsetup {

std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement) {
  if (pattern.empty()) return std::string(text);
  std::string result;
  result.reserve(text.size());
  size_t from = 0;
  for (size_t at = text.find(pattern); at != std::string_view::npos;
       at = text.find(pattern, from)) {
    result.append(text.substr(from, at - from));
    result.append(replacement);
    from = at + pattern.size();
  }
  result.append(text.substr(from));
  return result;
}

std::string_view TrimControls(std::string_view text) {
  auto control = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && control(text.front())) text.remove_prefix(1);
  while (!text.empty() && control(text.back())) text.remove_suffix(1);
  return text;
}

std::string AsciiLower(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

std::string WithCrLfLines(std::string_view text) {
  std::string lines;
  lines.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines += "\r\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      lines += text[i];
    }
  }
  return lines;
}

}  // namespace scrsetup
