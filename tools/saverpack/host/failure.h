// How a saverpack command ends when it cannot do its work: the exit status
// and the message for stderr. Commands return std::optional<Failure>, empty
// on success; nothing in the tool throws.
#pragma once

#include <string>
#include <string_view>

namespace saverpack {

// The command line itself is wrong: unknown or missing option, bad value.
inline constexpr int kExitUsage = 2;
// An input that cannot make a package (text too long, file missing or too
// large, stub already a package), a file that is not a package, or a failed
// read or write.
inline constexpr int kExitBadInput = 1;

struct Failure {
  int exit_code = kExitBadInput;
  std::string message;  // one or more lines, without the program name
};

// A usage failure of `command` ("build"): the problem, then where to find
// the command's usage.
inline Failure UsageFailure(std::string_view command, const std::string& problem) {
  return Failure{kExitUsage, std::string(command) + ": " + problem + "\nRun 'saverpack " +
                                 std::string(command) + " --help' for usage."};
}

}  // namespace saverpack
