#include "install/target_file.h"

#include "lang/english_texts.h"

namespace scrsetup {

void ChooseTargetFileName(FileSystem& files, const PathRules& paths, const std::string& remembered,
                          std::string& target_path, const std::string& folder) {
  if (!files.FileExists(target_path)) return;
  if (!remembered.empty() && paths.FolderPart(remembered) == folder) {
    target_path = remembered;
    return;
  }
  const std::string name(paths.FileNamePart(target_path));
  const std::string extension = name.size() >= 4 ? name.substr(name.size() - 4) : name;
  std::string base = name.substr(0, name.size() - extension.size());
  for (int number = 1;; ++number) {
    const std::string digits = std::to_string(number);
    if (digits.size() >= 8) return;
    while (base.size() + digits.size() > 8) base = std::string(paths.WithoutLastCharacter(base));
    target_path = folder + base + digits + extension;
    if (!files.FileExists(target_path)) return;
  }
}

std::string UninstallerFileName(const LanguageTable& language, const PathRules& paths,
                                const std::string& name) {
  std::string file_name = paths.LowerAsciiLetters(language.Translate(kTextUninstall)) + " " + name;
  size_t dot = file_name.rfind('.');
  if (dot != std::string::npos) file_name.erase(dot);
  return file_name + ".exe";
}

std::string ReadmeFileName(const LanguageTable& language, const std::string& title) {
  return title + " " + language.Translate(kTextReadme) + ".txt";
}

bool DeleteIfExists(FileSystem& files, const std::string& path) {
  if (!files.FileExists(path)) return true;
  if (!files.OpenForUpdate(path)) return false;
  return files.RemoveFile(path);
}

int ProgressPercent(int64_t position, int64_t size) {
  if (size <= 0) return 0;
  int64_t scaled = 100 * position;
  int64_t quotient = scaled / size, twice_remainder = 2 * (scaled % size);
  if (twice_remainder > size || (twice_remainder == size && quotient % 2 == 1)) ++quotient;
  return static_cast<int>(quotient);
}

}  // namespace scrsetup
