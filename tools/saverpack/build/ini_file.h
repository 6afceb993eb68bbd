// The INI file: a package's build options kept in a file, so a build is
// `saverpack build aurora.ini` (its users know it as the "package file").
//
//   ; comment            # comment
//   [package]            (optional, at most once)
//   title = Aurora
//   screensaver = Aurora.scr
//   uninstall-entry = yes
//
// UTF-8 (a byte order mark is dropped). Each line is empty, a comment (';'
// or '#' first), the section header, or `key = value`: the key is a long
// build option without "--" ("output", "title", "readme", "codepage"), the
// value is the rest of the line with its surrounding spaces removed, and
// with one pair of double quotes around it removed (to keep spaces at its
// ends). A switch takes yes, no, true, false, 1 or 0; "no" leaves it off.
// Paths (the options of kind kPath, and language when it names a file) are
// relative to the INI file's folder. A key may be given once, unless its
// option is repeatable. Every problem is named by "FILE:LINE: ".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "saverpack/build/build_options.h"
#include "saverpack/host/failure.h"

namespace saverpack {

// The settings of the INI file `name` whose contents are `text`, in
// file order. `exists` tells whether a path names a file (for --language).
std::optional<Failure> ParseIniFile(std::string_view text, const std::string& name,
                                        bool (*exists)(const std::string& path),
                                        std::vector<OptionSetting>& settings);

// Reads the INI file at `path`, lays `command_line` over its settings
// and fills `build` (ComposeBuildOptions). The input files its own lines
// name must open; a failure names the line.
std::optional<Failure> BuildOptionsFromIniFile(const std::string& path,
                                                   const std::vector<OptionSetting>& command_line,
                                                   BuildOptions& build);

// The commented INI file `saverpack init` writes (BuildOptionsTemplate):
// every build option, the optional ones commented out; its file names are
// made from `stem` ("aurora": aurora.scr, aurora-setup.exe), so it builds
// as written once aurora.scr is beside it.
std::string IniFileTemplate(std::string_view stem);

// Writes IniFileTemplate to `path`; a failure when the file exists
// (never replaced) or cannot be written.
std::optional<Failure> WriteIniFileTemplate(const std::string& path);

}  // namespace saverpack
