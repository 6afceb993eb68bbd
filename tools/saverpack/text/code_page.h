// One Windows ANSI code page, character by character, through the host's
// own converter: iconv on Linux (code_page_iconv.cc), the Win32 code page
// functions on Windows (code_page_win32.cc). No best-fit or substitute
// characters: a character the code page does not hold is reported as such.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace saverpack {

class CodePage {
 public:
  virtual ~CodePage() = default;

  // The bytes (one or two) that stand for `character` in the code page;
  // nullopt when the code page has no code for it.
  virtual std::optional<std::string> Encode(char32_t character) = 0;

  // The one character that `bytes` (one or two bytes) stand for; nullopt
  // when they are not exactly one character the code page defines (a lead
  // byte alone, an undefined byte, a pair that is no character).
  virtual std::optional<char32_t> Decode(std::string_view bytes) = 0;
};

// The code pages a package can be written in: 874, 932, 936, 949, 950 and
// 1250 to 1258.
bool IsSupportedCodePage(int number);

// The converter for a supported code page; nullptr when the host cannot
// convert it.
std::unique_ptr<CodePage> OpenCodePage(int number);

}  // namespace saverpack
