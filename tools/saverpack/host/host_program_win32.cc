#include "saverpack/host/host_program.h"

#include "saverpack/host/wide_text_win32.h"  // windows.h before shellapi.h

#include <io.h>
#include <shellapi.h>

namespace saverpack {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv + 1, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
  LocalFree(wide);
  return arguments;
}

bool WriteText(std::FILE* stream, std::string_view text) {
  HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode)) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
           std::fflush(stream) == 0;
  }
  std::wstring wide = WideFromUtf8(text);
  DWORD written = 0;
  return WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
         written == wide.size();
}

std::string ProgramFilePath() {
  // A path may be longer than MAX_PATH: grow until it fits.
  for (DWORD size = MAX_PATH; size <= 32768 * 2; size *= 2) {
    std::wstring path(size, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
    if (length == 0) return {};
    if (length < size) return Utf8FromWide(path.c_str());
  }
  return {};
}

std::string ShellQuoted(std::string_view path) { return "\"" + std::string(path) + "\""; }

int RunShellCommand(const std::string& command, std::string& output) {
  // /s: cmd drops exactly the outer pair of quotes and keeps the command's
  // own; both output streams go into one pipe.
  std::wstring line = L"cmd.exe /d /s /c \"" + WideFromUtf8(command) + L"\"";
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return -1;
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = write_end;
  startup.hStdError = write_end;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &process);
  CloseHandle(write_end);
  if (!started) {
    CloseHandle(read_end);
    return -1;
  }
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(read_end, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
    output.append(buffer, got);
  }
  CloseHandle(read_end);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  const bool known = GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return known ? static_cast<int>(status) : -1;
}

}  // namespace saverpack
