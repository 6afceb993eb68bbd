// Shell links and folders of an installation: the desktop preview shortcut,
// the Start-menu program group, and the folder chain they live in.
//
// Names are built from the Title and the translated words "Preview",
// "Readme" and "Uninstall", so installation and removal find the same files:
//   desktop:        <Desktop>\<Preview> <Title>.lnk            -> screensaver
//   program group:  <Programs>\<Title>\<Preview> <Title>.lnk   -> screensaver
//                   <Programs>\<Title>\<Readme>.lnk            -> readme file
//                   <Programs>\<Title>\<Uninstall> <Title>.lnk -> uninstaller
#pragma once

#include <string>
#include <vector>

#include "lang/language_table.h"
#include "platform/path_rules.h"
#include "platform/platform.h"

namespace scrsetup {

// Writes the link `link_name` + ".lnk" (the name may hold "\" for a
// subfolder that must exist) in the special folder `folder`, pointing at
// `target` with `target` as icon source. False when the folder cannot be
// located, the link path would not fit the 260-character path limit, or
// the link cannot be written.
[[nodiscard]]
bool CreateShortcut(Shell& shell, const std::string& target, const std::string& link_name,
                    SpecialFolder folder);

// Creates `folder` (with or without a trailing "\") and its missing
// parents. True when every missing folder was created or none was missing.
// Each folder it creates is added to `created`, when given, parents first.
[[nodiscard]]
bool CreateFolderChain(FileSystem& files, const PathRules& paths, const std::string& folder,
                       std::vector<std::string>* created = nullptr);

// The shortcut operations. Creation is best-effort and reports nothing;
// removal returns false only when the special folder cannot be located
// (deleting the links never fails visibly).
void CreateDesktopPreviewShortcut(Platform& platform, const LanguageTable& language,
                                  const std::string& title, const std::string& screensaver_path);
[[nodiscard]]
bool RemoveDesktopPreviewShortcut(Platform& platform, const LanguageTable& language,
                                  const std::string& title);
void CreateProgramGroupShortcuts(Platform& platform, const LanguageTable& language,
                                 const std::string& title, const std::string& uninstaller_path,
                                 const std::string& screensaver_path, bool has_readme);
[[nodiscard]]
bool RemoveProgramGroup(Platform& platform, const LanguageTable& language,
                        const std::string& title);

}  // namespace scrsetup
