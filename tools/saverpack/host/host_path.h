// Paths as text, the same on every host: '/' and '\' both separate folders
// (a Windows path may hold either, a Linux one gives only '/'), and a name
// after a drive ("C:aurora.scr") ends at the ':'. Nothing here touches the
// file system.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace saverpack {

// The last part of `path`: after its last '/', '\' or ':'
// ("C:\Savers\Aurora.scr": "Aurora.scr"); empty when it ends in one.
std::string FileNameOf(std::string_view path);

// FileNameOf without its last extension ("examples/aurora.ini": "aurora");
// a name that starts with its only dot keeps it (".ini").
std::string StemOf(std::string_view path);

// The folder part of `path` with its last separator ('/' or '\'):
// "savers/Aurora.scr": "savers/"; empty for a bare name.
std::string FolderOf(std::string_view path);

// FolderOf without its separator ("/usr/bin/saverpack": "/usr/bin", and
// "/saverpack": ""); nullopt when `path` has no separator.
std::optional<std::string> ParentFolder(std::string_view path);

// Whether `path` starts at a root: '/', '\' or a drive ("C:").
bool IsAbsolutePath(std::string_view path);

// `name` inside `folder`, with a '/' between them unless `folder` is empty
// or ends in a separator.
std::string JoinPath(std::string_view folder, std::string_view name);

// `path` taken relative to `folder`: as it is when empty or absolute,
// else JoinPath(folder, path).
std::string PathRelativeTo(std::string_view folder, std::string_view path);

}  // namespace saverpack
