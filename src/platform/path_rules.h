// The path helpers every part of the installer uses on Windows paths (8-bit
// text in the system's ANSI code page, "\" separators). They walk a path
// character by character: in a double-byte code page (932, 936, 949, 950)
// the second byte of a character may be 0x5C, the "\" byte, or 0x3A, the ":"
// byte, and is then part of that character, never a separator. Which bytes
// start a two-byte character is the system's answer (SystemInfo::IsLeadByte).
// A lead byte at the very end of a path counts as a character of its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/system_info.h"

namespace scrsetup {

class PathRules {
 public:
  explicit PathRules(SystemInfo& system) : system_(system) {}

  // The file-name part: the text after the last "\" or ":" character.
  std::string_view FileNamePart(std::string_view path) const;
  // The folder part: everything up to and including the last "\" or ":"
  // character; "" when there is none.
  std::string_view FolderPart(std::string_view path) const;
  // Whether the last character is "\".
  bool EndsWithBackslash(std::string_view path) const;
  // `path` with a "\" appended unless it already ends with one ("" gives "\").
  // A lead byte left alone at the end is dropped first, so that the "\"
  // stands as a character of its own: the result always ends with "\".
  std::string WithTrailingBackslash(std::string_view path) const;
  // `path` without its last character when that is "\"; otherwise `path`.
  std::string_view WithoutTrailingBackslash(std::string_view path) const;
  // `path` without a trailing "\", except for a drive root ("C:\") and the
  // root "\" itself, which keep theirs.
  std::string_view WithoutTrailingBackslashUnlessRoot(std::string_view path) const;
  // The length in bytes of the character that starts at `at` in `text`: 2
  // for a lead byte followed by another byte, otherwise 1.
  size_t CharacterLength(std::string_view text, size_t at) const;
  // Whether `path` is a drive root: an ASCII letter, ":" and "\" ("C:\").
  static bool IsDriveRoot(std::string_view path);
  // `name` without its last character (both bytes of a double-byte one).
  std::string_view WithoutLastCharacter(std::string_view name) const;
  // `name` with the letters A to Z of its single-byte characters turned into
  // a to z; the second byte of a double-byte character is never changed.
  std::string LowerAsciiLetters(std::string_view name) const;

 private:
  // The position of the last character's first byte; npos for "".
  size_t LastCharacterStart(std::string_view path) const;
  // The position just after the last character that is "\" or ":", or 0.
  size_t NameStart(std::string_view path) const;

  SystemInfo& system_;
};

}  // namespace scrsetup
