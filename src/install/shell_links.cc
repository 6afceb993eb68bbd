#include "install/shell_links.h"

#include "install/target_file.h"
#include "lang/english_texts.h"
#include "lang/text.h"

namespace scrsetup {
namespace {

// The longest path Windows accepts, without its terminating NUL.
constexpr size_t kMaxPathLength = 259;

std::string PreviewLinkName(const LanguageTable& language, const std::string& title) {
  return language.Translate(kTextPreview) + " " + title;
}

std::string UninstallLinkName(const LanguageTable& language, const std::string& title) {
  return language.Translate(kTextUninstall) + " " + title;
}

// The folder's path with a trailing "\", or "" when it has no path;
// nullopt when it cannot be located.
std::optional<std::string> SpecialFolderPrefix(Platform& platform, SpecialFolder folder) {
  std::optional<std::string> path = platform.shell.SpecialFolderPath(folder);
  if (!path || path->empty()) return path;
  return PathRules(platform.system).WithTrailingBackslash(*path);
}

// Writes the link `link_name` + ".lnk" in the folder `folder_path` (the
// special folder's path as the shell reported it).
bool WriteLinkIn(Shell& shell, const std::string& folder_path, const std::string& link_name,
                 const std::string& target) {
  std::string link_path = folder_path + "\\" + link_name + ".lnk";
  if (link_path.size() > kMaxPathLength) return false;
  return shell.WriteShortcut(link_path, target);
}

}  // namespace

bool CreateShortcut(Shell& shell, const std::string& target, const std::string& link_name,
                    SpecialFolder folder) {
  std::optional<std::string> folder_path = shell.SpecialFolderPath(folder);
  if (!folder_path) return false;
  return WriteLinkIn(shell, *folder_path, link_name, target);
}

bool CreateFolderChain(FileSystem& files, const PathRules& paths, const std::string& folder,
                       std::vector<std::string>* created) {
  const std::string path(paths.WithoutTrailingBackslash(folder));
  if (path.size() < 3 || files.FolderExists(path)) return true;
  std::string parent(paths.FolderPart(path));
  if (parent == path) return true;
  if (!CreateFolderChain(files, paths, parent, created) || !files.MakeFolder(path)) return false;
  if (created) created->push_back(path);
  return true;
}

void CreateDesktopPreviewShortcut(Platform& platform, const LanguageTable& language,
                                  const std::string& title, const std::string& screensaver_path) {
  (void)CreateShortcut(platform.shell, screensaver_path, PreviewLinkName(language, title),
                       SpecialFolder::kDesktop);
}

bool RemoveDesktopPreviewShortcut(Platform& platform, const LanguageTable& language,
                                  const std::string& title) {
  std::optional<std::string> desktop = SpecialFolderPrefix(platform, SpecialFolder::kDesktop);
  if (!desktop) return false;
  if (!desktop->empty()) {
    (void)platform.files.RemoveFile(*desktop + PreviewLinkName(language, title) + ".lnk");
  }
  return true;
}

void CreateProgramGroupShortcuts(Platform& platform, const LanguageTable& language,
                                 const std::string& title, const std::string& uninstaller_path,
                                 const std::string& screensaver_path, bool has_readme) {
  std::optional<std::string> programs = platform.shell.SpecialFolderPath(SpecialFolder::kPrograms);
  if (!programs) return;
  std::string programs_folder(TrimControls(*programs));
  if (programs_folder.empty()) return;
  const PathRules paths(platform.system);
  // Best-effort: a link whose folder is missing is simply not written.
  (void)CreateFolderChain(platform.files, paths,
                          paths.WithTrailingBackslash(programs_folder) + title + "\\");

  // The three links go into the Programs folder found above: asking the
  // shell again for each link costs a lookup of a few milliseconds apiece.
  const std::string group = title + "\\";
  (void)WriteLinkIn(platform.shell, *programs, group + PreviewLinkName(language, title),
                    screensaver_path);
  if (has_readme) {
    (void)WriteLinkIn(platform.shell, *programs, group + language.Translate(kTextReadme),
                      std::string(paths.FolderPart(screensaver_path)) +
                          ReadmeFileName(language, title));
  }
  (void)WriteLinkIn(platform.shell, *programs, group + UninstallLinkName(language, title),
                    uninstaller_path);
}

bool RemoveProgramGroup(Platform& platform, const LanguageTable& language,
                        const std::string& title) {
  std::optional<std::string> programs =
      SpecialFolderPrefix(platform, SpecialFolder::kPrograms);
  if (!programs) return false;
  if (programs->empty()) return true;
  const std::string group = *programs + title + "\\";
  (void)platform.files.RemoveFile(group + PreviewLinkName(language, title) + ".lnk");
  (void)platform.files.RemoveFile(group + language.Translate(kTextReadme) + ".lnk");
  (void)platform.files.RemoveFile(group + UninstallLinkName(language, title) + ".lnk");
  (void)platform.files.RemoveEmptyFolder(*programs + title);
  return true;
}

}  // namespace scrsetup
