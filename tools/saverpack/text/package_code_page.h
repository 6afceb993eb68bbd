// The code page a package's texts are written in, both ways: texts authored
// in Unicode are encoded into it for the record and the blocks, and the
// record's bytes are decoded from it for display.
//
// Without a code page ("--codepage none") texts go into the package byte
// for byte as given, and only ASCII bytes count as characters when shown.
// A character is written only as a code that Decode reads back as that same
// character, so converters that substitute look-alikes (best fit) or
// decompose letters give no silent changes. The C1 control characters
// U+0080 to U+009F are never written, and bytes that decode to them count
// as undefined: in the code pages served they are no characters.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "saverpack/text/code_page.h"
#include "saverpack/host/failure.h"

namespace saverpack {

inline constexpr int kDefaultCodePage = 1252;

class PackageCodePage {
 public:
  // Texts byte for byte, no code page.
  PackageCodePage() = default;

  // The code page `number`, or none for nullopt; a failure when the host
  // cannot convert it.
  static std::optional<Failure> Open(std::optional<int> number, PackageCodePage& opened);

  std::optional<int> number() const { return number_; }

  // `text` (UTF-8, as given on the command line) in the code page. A
  // failure names `what`, the line and the first character that is not
  // UTF-8 or that the code page cannot hold.
  std::optional<Failure> EncodeText(std::string_view text, std::string_view what,
                                    std::string& bytes);

  // The contents of a text file (UTF-8 or UTF-16 with its byte order mark)
  // in the code page, with CR LF line ends. Failures as for EncodeText.
  std::optional<Failure> EncodeFile(std::string_view contents, std::string_view what,
                                    std::string& bytes);

  // The characters that `bytes` stand for; each byte that is no character
  // (or lead byte and no character with the next) kept as its ByteMark.
  std::u32string Decode(std::string_view bytes);

 private:
  // `file`: `source` may start with a byte order mark, and gets CR LF lines.
  std::optional<Failure> Encode(std::string_view source, bool file, std::string_view what,
                                std::string& bytes);

  std::optional<int> number_;
  std::unique_ptr<CodePage> code_page_;
};

}  // namespace saverpack
