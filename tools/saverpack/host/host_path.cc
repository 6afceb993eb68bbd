#include "saverpack/host/host_path.h"

namespace saverpack {

std::string FileNameOf(std::string_view path) {
  const size_t separator = path.find_last_of("/\\:");
  return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string StemOf(std::string_view path) {
  std::string name = FileNameOf(path);
  const size_t dot = name.rfind('.');
  return dot == 0 || dot == std::string::npos ? name : name.substr(0, dot);
}

std::string FolderOf(std::string_view path) {
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string_view::npos ? std::string() : std::string(path.substr(0, separator + 1));
}

std::optional<std::string> ParentFolder(std::string_view path) {
  std::string folder = FolderOf(path);
  if (folder.empty()) return std::nullopt;
  folder.pop_back();
  return folder;
}

bool IsAbsolutePath(std::string_view path) {
  return (!path.empty() && (path[0] == '/' || path[0] == '\\')) ||
         (path.size() >= 2 && path[1] == ':');
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  const char last = folder.back();
  const std::string_view separator = last == '/' || last == '\\' ? "" : "/";
  return std::string(folder) + std::string(separator) + std::string(name);
}

std::string PathRelativeTo(std::string_view folder, std::string_view path) {
  if (path.empty() || IsAbsolutePath(path)) return std::string(path);
  return JoinPath(folder, path);
}

}  // namespace saverpack
