#include "saver_args.h"

#include <cstdint>

namespace {

const char* skip_blanks(const char* text) {
    while (*text == ' ' || *text == '\t') ++text;
    return text;
}

char ascii_lower(char letter) {
    return (letter >= 'A' && letter <= 'Z') ? static_cast<char>(letter - 'A' + 'a') : letter;
}

// Reads the decimal window handle after a switch letter; null when there is none
// or the number does not fit a handle.
HWND read_window(const char* text) {
    text = skip_blanks(text);
    if (*text == ':') text = skip_blanks(text + 1);
    std::uintptr_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        const auto digit = static_cast<std::uintptr_t>(*text - '0');
        if (value > (UINTPTR_MAX - digit) / 10) return nullptr;
        value = value * 10 + digit;
    }
    return reinterpret_cast<HWND>(value);
}

}  // namespace

SaverArgs parse_saver_args(const char* command_tail) {
    const char* text = skip_blanks(command_tail);
    if (*text == '/' || *text == '-') ++text;
    const char letter = ascii_lower(*text);
    if (letter == '\0') return {SaverMode::Settings, nullptr};
    const HWND window = read_window(text + 1);
    switch (letter) {
        case 's': return {SaverMode::FullScreen, nullptr};
        case 'p': return {SaverMode::Preview, window};
        default: return {SaverMode::Settings, window};
    }
}
