// Text routines shared by every layer: replace-all, trimming, ASCII case
// and CR LF line ends. All byte-exact on 8-bit text.
#pragma once

#include <string>
#include <string_view>

namespace scrsetup {

// Replaces every occurrence of `pattern` in `text`, scanning left to right;
// occurrences do not overlap and inserted text is not scanned again. An
// empty pattern leaves the text unchanged.
std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement);

// Removes characters with codes 0 to 32 from both ends.
std::string_view TrimControls(std::string_view text);

// Turns the letters A to Z into a to z; no other character changes.
std::string AsciiLower(std::string_view text);

// `text` with every CR, LF or CR LF written as CR LF, the line ends a Windows
// multi-line box and text file show.
std::string WithCrLfLines(std::string_view text);

}  // namespace scrsetup
