#include "entry/command_line.h"

#include "lang/text.h"

namespace scrsetup {
namespace {

bool IsSeparator(char c) {
  auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

// Reads the argument starting at `pos` into `argument` and returns the
// position after it.
size_t NextArgument(std::string_view line, size_t pos, std::string& argument) {
  argument.clear();
  for (;;) {
    while (pos < line.size() && IsSeparator(line[pos])) ++pos;
    if (pos + 1 < line.size() && line[pos] == '"' && line[pos + 1] == '"') {
      pos += 2;
    } else {
      break;
    }
  }
  while (pos < line.size() && line[pos] != '\0' && !IsSeparator(line[pos])) {
    if (line[pos] == '"') {
      ++pos;
      while (pos < line.size() && line[pos] != '\0' && line[pos] != '"') argument += line[pos++];
      if (pos < line.size() && line[pos] == '"') ++pos;
    } else {
      argument += line[pos++];
    }
  }
  return pos;
}

}  // namespace

CommandLine::CommandLine(std::string_view full_command_line) {
  std::string argument;
  size_t pos = NextArgument(full_command_line, 0, argument);
  arguments_.push_back(argument);
  for (;;) {
    pos = NextArgument(full_command_line, pos, argument);
    if (argument.empty()) break;
    arguments_.push_back(argument);
  }
}

const std::string& CommandLine::Arg(int index) const {
  static const std::string kNone;
  if (index < 0 || index >= static_cast<int>(arguments_.size())) return kNone;
  return arguments_[index];
}

bool CommandLine::HasSwitch(std::string_view switch_text) const {
  if (Count() == 0) return false;
  return AsciiLower(TrimControls(Arg(1))) == switch_text;
}

}  // namespace scrsetup
