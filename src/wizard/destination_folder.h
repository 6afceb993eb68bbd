// The destination folder: its default, built from the record's folder
// fields with the folder macros "<Windows>" and "<Program Files>" replaced,
// and the folder dialog.
#pragma once

#include <string>
#include <string_view>

#include "platform/path_rules.h"
#include "platform/platform.h"

namespace scrsetup {

// Joins `folder` and `subfolder` and replaces the macros (exact,
// case-sensitive, every occurrence) by `windows_folder` and
// `program_files_folder`, each without a trailing "\":
//  1. folder trimmed (codes 0 to 32 at both ends), "\" appended if missing;
//  2. subfolder trimmed, one leading and one trailing "\" removed;
//  3. joined, trimmed again and ended with "\".
// The result always ends with "\"; two empty fields give "\".
std::string ExpandFolderMacros(const PathRules& paths, std::string_view folder,
                               std::string_view subfolder,
                               std::string_view windows_folder,
                               std::string_view program_files_folder);

// The same, with the Windows and Program Files folders looked up on the
// machine on every call. When the system cannot report one, its usual
// place stands in ("C:\Windows", "C:\Program Files").
std::string ExpandFolderMacros(Platform& platform, std::string_view folder,
                               std::string_view subfolder);

// Shows the folder dialog starting at `folder`, with `text` above the tree.
// When the user confirms a folder, replaces `folder` by it and returns true;
// a trailing "\" is removed except from a drive root ("C:\"). Returns false,
// leaving `folder` unchanged, when the user cancels.
[[nodiscard]]
bool BrowseForFolder(Shell& shell, const PathRules& paths, std::string& folder,
                     const std::string& text);

}  // namespace scrsetup
