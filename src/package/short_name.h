// The short-name rule: on Windows 2000, XP and version 6 systems the
// screensaver's file name is brought into a form the Screen Saver settings
// accept, an 8-character base of ASCII letters and digits.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scrsetup {

// Applies the rule to a ScreensaverFile value (folder part kept as is):
//  - a name whose first "." stands at position 9 or later (counting from 1)
//    is cut to its first 8 characters followed by ".scr"; a name without
//    "." is never cut;
//  - in a name longer than 4 characters, every character but the last 4
//    that is not an ASCII letter or digit becomes "_".
std::string ApplyShortNameRule(std::string_view screensaver_file);

// The version classes from which the rule applies (Windows 2000 and later).
inline bool ShortNameRuleApplies(int windows_version_class) { return windows_version_class >= 5; }

// The file-name part of a path: the text after its last "\" or ":".
std::string_view FileNamePart(std::string_view path);
// The folder part of a path: everything up to and including its last "\" or ":".
std::string_view FolderPart(std::string_view path);

}  // namespace scrsetup
