// probe.scr: stands in for a real screensaver in the end-to-end tests. It never
// shows a window; it appends its command line, as GetCommandLineA gives it, as
// one line to a log and exits, so that a test can tell whether and how it ran.
// The log is the file named by PROBE_SAVER_LOG, or else this program's own path
// followed by ".runs.txt".
#include <windows.h>

#include <cstring>

namespace {

// Longest environment value and longest command line Windows allows, plus a terminator.
constexpr DWORD max_text = 32768;
constexpr char default_log_suffix[] = ".runs.txt";

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Fills `path` with the log file's path; false when it cannot be formed.
bool find_log_path(char (&path)[max_text]) {
    const DWORD length = GetEnvironmentVariableA("PROBE_SAVER_LOG", path, max_text);
    if (length > 0 && length < max_text) return true;

    const DWORD module_length = GetModuleFileNameA(nullptr, path, max_text);
    if (module_length == 0 || module_length + sizeof default_log_suffix > max_text) return false;
    std::memcpy(path + module_length, default_log_suffix, sizeof default_log_suffix);
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char log_path[max_text];
    if (!find_log_path(log_path)) return 1;

    const char* command_line = GetCommandLineA();
    const std::size_t length = strnlen(command_line, max_text - 1);
    char log_line[max_text + 2];
    std::memcpy(log_line, command_line, length);
    std::memcpy(log_line + length, "\r\n", 2);
    const DWORD line_size = static_cast<DWORD>(length + 2);

    // Appending writes land at the end even when several probes log at once.
    FileHandle log(CreateFileA(log_path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!log.valid() || !WriteFile(log.get(), log_line, line_size, &written, nullptr) || written != line_size)
        return 1;
    return 0;
}
