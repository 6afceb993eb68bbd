// Naming the files of an installation: the screensaver file (kept apart
// from a different screensaver's file of the same name), the uninstaller and
// the readme file; and deleting a file only when it is free.
#pragma once

#include <string>

#include "lang/language_table.h"
#include "platform/path_rules.h"
#include "platform/platform.h"

namespace scrsetup {

// Settles the screensaver's target path. While `target_path` names an
// existing file, a remembered path in the same folder (`folder`, compared
// case-sensitively) is reused, so a reinstallation overwrites its earlier
// file; otherwise the first free numbered name is taken: the base before
// the last 4 characters is cut so base and number fit 8 characters
// (Aurora.scr -> Aurora1.scr, Longname.scr -> Longnam1.scr, Longna10.scr);
// the cut drops whole characters, never half of a double-byte one.
// Numbers stop at 9,999,999; the last name tried then stays.
void ChooseTargetFileName(FileSystem& files, const PathRules& paths, const std::string& remembered,
                          std::string& target_path, const std::string& folder);

// "uninstall <Name>.exe" with the translated word lowered (A to Z only, in
// single-byte characters): the extension of the whole text becomes ".exe".
std::string UninstallerFileName(const LanguageTable& language, const PathRules& paths,
                                const std::string& name);

// <Title> <Readme>.txt
std::string ReadmeFileName(const LanguageTable& language, const std::string& title);

// Deletes `path` when it exists. True when the file did not exist or was
// deleted; false when it could not be opened for writing (read-only, in
// use) or deleted.
[[nodiscard]] bool DeleteIfExists(FileSystem& files, const std::string& path);

// The progress bar's value for `position` of `size` bytes: the integer
// nearest to 100 * position / size, an exact half going to the even one.
int ProgressPercent(int64_t position, int64_t size);

}  // namespace scrsetup
