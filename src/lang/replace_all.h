// Byte-exact, case-sensitive replace-all.
#pragma once

#include <string>
#include <string_view>

namespace scrsetup {

// Replaces every occurrence of `pattern` in `text`, scanning left to right;
// occurrences do not overlap and inserted text is not scanned again. An
// empty pattern leaves the text unchanged.
std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement);

}  // namespace scrsetup
