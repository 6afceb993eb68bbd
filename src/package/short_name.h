// The short-name rule: on Windows 2000, XP and version 6 systems the
// screensaver's file name is brought into a form the Screen Saver settings
// accept, an 8-character base of ASCII letters and digits.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "package/setup_record.h"
#include "platform/path_rules.h"

namespace scrsetup {

// Applies the rule to a ScreensaverFile value (folder part, as `paths`
// finds it, kept as is); the rule itself works on bytes:
//  - a name whose first "." stands at position 9 or later (counting from 1)
//    is cut to its first 8 characters followed by ".scr"; a name without
//    "." is never cut;
//  - in a name longer than 4 characters, every character but the last 4
//    that is not an ASCII letter or digit becomes "_"; a double-byte
//    character whose first byte is rewritten is rewritten whole (only a
//    second byte that is a letter or digit stays), so the rule never turns
//    a second byte "\" or ":" into a separator: the folder part is the same
//    before and after.
std::string ApplyShortNameRule(const PathRules& paths, std::string_view screensaver_file);

// Applies the rule to the record's ScreensaverFile, as the installer holds
// it in memory; false, leaving the record as it was, when the rewritten
// name would not fit the field.
[[nodiscard]] bool ApplyShortNameRule(const PathRules& paths, SetupRecord& record);

// The version classes from which the rule applies (Windows 2000 and later).
inline bool ShortNameRuleApplies(int windows_version_class) { return windows_version_class >= 5; }

}  // namespace scrsetup
