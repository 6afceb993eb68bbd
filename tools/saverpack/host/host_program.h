// How the program meets its caller on each host: its arguments, its text
// output and its own file's path, all UTF-8 inside the tool. On Linux both pass as they are
// (host_program_posix.cc). On Windows (host_program_win32.cc) the arguments
// come from the wide command line, so any character arrives whatever the
// system's ANSI code page, and text for a console window is written as
// wide characters; redirected output stays UTF-8. The program's own path
// is /proc/self/exe's target on Linux, GetModuleFileNameW's on Windows.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace saverpack {

// The arguments after the program's name, in UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Writes UTF-8 `text` to `stream` (stdout or stderr) and flushes it; false
// when it cannot be written completely.
bool WriteText(std::FILE* stream, std::string_view text);

// The full path of the running program's file, in UTF-8; empty when the
// host cannot tell.
std::string ProgramFilePath();

// `path` quoted for the host's shell as one word: in single quotes for sh,
// in double quotes for cmd (a Windows path holds no double quote).
std::string ShellQuoted(std::string_view path);

// Runs `command` through the host's shell (sh -c on Linux, cmd /c on
// Windows) and waits for it; `output` gets what it wrote to its standard
// output and error. Its exit status, or -1 when it could not be run.
int RunShellCommand(const std::string& command, std::string& output);

}  // namespace saverpack
