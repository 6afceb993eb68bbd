#include "wizard/destination_folder.h"

#include "lang/text.h"

namespace scrsetup {
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
  return ReplaceAll(joined, "<Program Files>",
                    paths.WithoutTrailingBackslash(program_files_folder));
}

std::string ExpandFolderMacros(Platform& platform, std::string_view folder,
                               std::string_view subfolder) {
  std::string windows_folder = platform.files.WindowsFolder();
  if (windows_folder.empty()) windows_folder = "C:\\Windows";
  std::optional<std::string> program_files =
      platform.shell.SpecialFolderPath(SpecialFolder::kProgramFiles);
  if (!program_files || program_files->empty()) program_files = "C:\\Program Files";
  return ExpandFolderMacros(PathRules(platform.system), folder, subfolder, windows_folder,
                            *program_files);
}

bool BrowseForFolder(Shell& shell, const PathRules& paths, std::string& folder,
                     const std::string& text) {
  std::optional<std::string> chosen = shell.BrowseForFolder(folder, text);
  if (!chosen) return false;
  folder = paths.WithoutTrailingBackslashUnlessRoot(*chosen);
  return true;
}

}  // namespace scrsetup
