#include "setupmain/destination_folder.h"

#include "lang/text.h"

namespace scrsetup {
namespace {

std::string_view WithoutTrailingBackslash(std::string_view folder) {
  if (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
  return folder;
}

}  // namespace

std::string ExpandFolderMacros(std::string_view folder, std::string_view subfolder,
                               std::string_view windows_folder,
                               std::string_view program_files_folder) {
  std::string joined = WithTrailingBackslash(TrimControls(folder));
  subfolder = TrimControls(subfolder);
  if (!subfolder.empty() && subfolder.front() == '\\') subfolder.remove_prefix(1);
  if (!subfolder.empty() && subfolder.back() == '\\') subfolder.remove_suffix(1);
  joined = WithTrailingBackslash(TrimControls(joined + std::string(subfolder)));
  joined = ReplaceAll(joined, "<Windows>", WithoutTrailingBackslash(windows_folder));
  return ReplaceAll(joined, "<Program Files>", WithoutTrailingBackslash(program_files_folder));
}

std::string ExpandFolderMacros(Platform& platform, std::string_view folder,
                               std::string_view subfolder) {
  std::string windows_folder = platform.files.WindowsFolder();
  if (windows_folder.empty()) windows_folder = "C:\\Windows";
  std::optional<std::string> program_files =
      platform.shell.SpecialFolderPath(SpecialFolder::kProgramFiles);
  if (!program_files || program_files->empty()) program_files = "C:\\Program Files";
  return ExpandFolderMacros(folder, subfolder, windows_folder, *program_files);
}

bool BrowseForFolder(Shell& shell, std::string& folder, const std::string& text) {
  std::optional<std::string> chosen = shell.BrowseForFolder(folder, text);
  if (!chosen) return false;
  bool drive_root = chosen->size() == 3 && (*chosen)[1] == ':' && (*chosen)[2] == '\\' &&
                    ((*chosen)[0] | 0x20) >= 'a' && ((*chosen)[0] | 0x20) <= 'z';
  if (chosen->size() > 1 && chosen->back() == '\\' && !drive_root) chosen->pop_back();
  folder = *chosen;
  return true;
}

}  // namespace scrsetup
