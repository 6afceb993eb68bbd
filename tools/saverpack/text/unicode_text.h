// Unicode text as authors write it and as saverpack prints it: reading
// UTF-8 (or UTF-16 after its byte order mark) into characters, writing
// characters as UTF-8, and the marks that keep undecodable bytes visible.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace saverpack {

// A byte that is no character of the text's encoding is carried as the code
// point kByteMark + byte (U+DC80 to U+DCFF, which no UTF-8 or UTF-16 text
// can hold), so it can be shown escaped instead of being dropped.
inline constexpr char32_t kByteMark = 0xdc00;
inline char32_t ByteMark(uint8_t byte) { return kByteMark + byte; }
// The byte a mark stands for; nullopt for a real character.
std::optional<uint8_t> MarkedByte(char32_t character);

// Where reading a text stopped: the line (from 1) and the offending bytes.
struct UnicodeProblem {
  int line = 1;
  std::string message;  // e.g. "byte 0xE9 is not UTF-8"
};

// The characters of `source`: UTF-8, with a leading UTF-8 byte order mark
// dropped; with a UTF-16 byte order mark (FF FE or FE FF) first, UTF-16 in
// that byte order. A problem for a byte sequence that is not valid in the
// encoding (overlong forms, surrogates and unpaired surrogates included).
std::optional<UnicodeProblem> ReadUnicode(std::string_view source, std::u32string& characters);

// The characters of UTF-8 `bytes`; a problem at the first invalid sequence.
std::optional<UnicodeProblem> ReadUtf8(std::string_view bytes, std::u32string& characters);

// The characters of UTF-8 `bytes`, each byte of an invalid sequence marked.
std::u32string Utf8Characters(std::string_view bytes);

void AppendUtf8(std::string& text, char32_t character);
std::string Utf8(std::u32string_view characters);

// "U+4E2D", at least four hexadecimal digits.
std::string CodePointName(char32_t character);

// The line (from 1) that `position` of `characters` stands on; CR, LF and
// CR LF each end a line.
int LineAt(std::u32string_view characters, size_t position);

}  // namespace saverpack
