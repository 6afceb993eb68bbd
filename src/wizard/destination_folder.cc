#include "wizard/destination_folder.h"

#include "lang/text.h"

namespace scrsetup {
namespace {

constexpr std::string_view kProgramFilesMacro = "<Program Files>";

// A special folder's path; nullopt when the system reports none.
std::optional<std::string> FolderPath(Platform& platform, SpecialFolder folder) {
  std::optional<std::string> path = platform.shell.SpecialFolderPath(folder);
  if (path && path->empty()) return std::nullopt;
  return path;
}

}  // namespace

std::string ExpandFolderMacros(const PathRules& paths, std::string_view folder,
                               std::string_view subfolder, std::string_view windows_folder,
                               std::string_view program_files_folder) {
  std::string joined = paths.WithTrailingBackslash(TrimControls(folder));
  subfolder = TrimControls(subfolder);
  // The first byte always starts a character.
  if (!subfolder.empty() && subfolder.front() == '\\') subfolder.remove_prefix(1);
  subfolder = paths.WithoutTrailingBackslash(subfolder);
  joined = paths.WithTrailingBackslash(TrimControls(joined + std::string(subfolder)));
  joined = ReplaceAll(joined, "<Windows>", paths.WithoutTrailingBackslash(windows_folder));
  return ReplaceAll(joined, kProgramFilesMacro,
                    paths.WithoutTrailingBackslash(program_files_folder));
}

std::string ProgramFilesFolder(Platform& platform, InstallScope scope) {
  if (scope == InstallScope::kUser) {
    std::string own = platform.shell.UserProgramFilesPath();
    if (!own.empty()) return own;
    if (std::optional<std::string> local = FolderPath(platform, SpecialFolder::kLocalAppData)) {
      return PathRules(platform.system).WithTrailingBackslash(*local) + "Programs";
    }
  }
  return FolderPath(platform, SpecialFolder::kProgramFiles).value_or("C:\\Program Files");
}

std::string ExpandFolderMacros(Platform& platform, std::string_view folder,
                               std::string_view subfolder, InstallScope scope) {
  std::string windows_folder = platform.files.WindowsFolder();
  if (windows_folder.empty()) windows_folder = "C:\\Windows";
  return ExpandFolderMacros(PathRules(platform.system), folder, subfolder, windows_folder,
                            ProgramFilesFolder(platform, scope));
}

bool CanWriteFolder(FileSystem& files, const PathRules& paths, std::string_view folder) {
  std::string existing(paths.WithoutTrailingBackslashUnlessRoot(folder));
  while (!existing.empty() && !files.FolderExists(existing)) {
    std::string parent(paths.WithoutTrailingBackslashUnlessRoot(paths.FolderPart(existing)));
    if (parent == existing) return false;
    existing = std::move(parent);
  }
  return !existing.empty() && files.CanCreateIn(existing);
}

std::string DefaultDestination(Platform& platform, const SetupRecord& record,
                               InstallScope scope, bool may_probe) {
  const std::string folder = CountedText(record.DefaultFolder);
  const std::string subfolder = CountedText(record.DefaultSubfolder);
  std::string destination = ExpandFolderMacros(platform, folder, subfolder, scope);
  if (scope == InstallScope::kUser || !may_probe ||
      CanWriteFolder(platform.files, PathRules(platform.system), destination)) {
    return destination;
  }
  const bool uses_macro = (folder + subfolder).find(kProgramFilesMacro) != std::string::npos;
  return ExpandFolderMacros(platform, uses_macro ? folder : kProgramFilesMacro, subfolder,
                            InstallScope::kUser);
}

bool BrowseForFolder(Shell& shell, const PathRules& paths, std::string& folder,
                     const std::string& text) {
  std::optional<std::string> chosen = shell.BrowseForFolder(folder, text);
  if (!chosen) return false;
  folder = paths.WithoutTrailingBackslashUnlessRoot(*chosen);
  return true;
}

}  // namespace scrsetup
