#include <sys/wait.h>
#include <unistd.h>

#include "saverpack/host/host_program.h"

namespace saverpack {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

bool WriteText(std::FILE* stream, std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
         std::fflush(stream) == 0;
}

std::string ProgramFilePath() {
  // The link's target has no length limit of its own: grow until it fits.
  for (size_t size = 256; size <= (size_t{1} << 20); size *= 2) {
    std::string path(size, '\0');
    ssize_t length = readlink("/proc/self/exe", path.data(), size);
    if (length < 0) return {};
    if (static_cast<size_t>(length) < size) return path.substr(0, static_cast<size_t>(length));
  }
  return {};
}

std::string ShellQuoted(std::string_view path) {
  std::string quoted = "'";
  for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

int RunShellCommand(const std::string& command, std::string& output) {
  // popen runs `sh -c`; the group sends the error output along.
  std::FILE* pipe = popen(("{\n" + command + "\n} 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;) {
    output.append(buffer, got);
  }
  const int status = pclose(pipe);
  return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace saverpack
