// The destination folder: its default, built from the record's folder
// fields with the folder macros "<Windows>" and "<Program Files>" replaced,
// and the folder dialog.
#pragma once

#include <string>
#include <string_view>

#include "package/check_block.h"
#include "package/setup_record.h"
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
// machine on every call. "<Program Files>" is the machine's Program Files
// folder for `scope` machine and the user's own programs folder for `scope`
// user (ProgramFilesFolder). When the system cannot report the Windows
// folder, "C:\Windows" stands in.
std::string ExpandFolderMacros(Platform& platform, std::string_view folder,
                               std::string_view subfolder,
                               InstallScope scope = InstallScope::kMachine);

// Where "<Program Files>" leads for `scope`. Machine: the Program Files
// folder ("C:\Program Files" when the system cannot report it). User: the
// system's per-user programs folder; where the system has none, "Programs"
// in the user's local application data; where that is unknown too, the
// machine's folder.
std::string ProgramFilesFolder(Platform& platform, InstallScope scope);

// Whether this user can create `folder` or write into it: the nearest
// folder on its path that exists takes a new file. False when no folder on
// the path exists (a missing drive).
[[nodiscard]] bool CanWriteFolder(FileSystem& files, const PathRules& paths,
                                  std::string_view folder);

// The destination folder the wizard starts with, from the record's
// DefaultFolder and DefaultSubfolder. A machine-scope package whose default
// this user cannot create or write (asked only when `may_probe`, since
// asking writes a file) gets the per-user place instead: the default with
// "<Program Files>" taken for the user, or, when the default does not use
// that macro, the DefaultSubfolder in the user's programs folder.
std::string DefaultDestination(Platform& platform, const SetupRecord& record,
                               InstallScope scope, bool may_probe);

// Shows the folder dialog starting at `folder`, with `text` above the tree.
// When the user confirms a folder, replaces `folder` by it and returns true;
// a trailing "\" is removed except from a drive root ("C:\"). Returns false,
// leaving `folder` unchanged, when the user cancels.
[[nodiscard]]
bool BrowseForFolder(Shell& shell, const PathRules& paths, std::string& folder,
                     const std::string& text);

}  // namespace scrsetup
