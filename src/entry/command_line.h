// The program's command line, split into arguments by the installer's own
// rules (the runtime's traditional ones):
//  - any run of characters with codes 1 to 32 separates arguments;
//  - a double-quoted stretch stays within one argument, quotes removed;
//  - pairs of double quotes at the start of an argument are skipped;
//  - an argument that comes out empty ends the list.
// Argument 0 is the program's name; arguments are counted from 1.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scrsetup {

class CommandLine {
 public:
  explicit CommandLine(std::string_view full_command_line);

  // Number of arguments after the program's name.
  int Count() const { return static_cast<int>(arguments_.size()) - 1; }
  // Argument `index` (0 is the program's name); empty beyond the count.
  const std::string& Arg(int index) const;
  // Every argument, the program's name first.
  const std::vector<std::string>& Arguments() const { return arguments_; }

  // The switch test: false without arguments; otherwise argument 1, with
  // every character of code 32 or less removed from both ends and the
  // letters A to Z lowered, equals `switch_text`.
  bool HasSwitch(std::string_view switch_text) const;

 private:
  std::vector<std::string> arguments_;
};

}  // namespace scrsetup
