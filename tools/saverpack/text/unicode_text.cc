#include "saverpack/text/unicode_text.h"

#include <cstdio>

namespace saverpack {
namespace {

constexpr std::string_view kUtf8Mark = "\xef\xbb\xbf";

std::string HexByte(uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof(text), "0x%02X", byte);
  return text;
}

// The length of the UTF-8 sequence starting at `at` and its character;
// 0 when the bytes there are no valid sequence.
size_t Utf8Sequence(std::string_view bytes, size_t at, char32_t& character) {
  auto byte = [&](size_t i) { return static_cast<uint8_t>(bytes[at + i]); };
  uint8_t first = byte(0);
  if (first < 0x80) {
    character = first;
    return 1;
  }
  size_t length = first >= 0xc2 && first <= 0xdf   ? 2
                  : first >= 0xe0 && first <= 0xef ? 3
                  : first >= 0xf0 && first <= 0xf4 ? 4
                                                   : 0;
  if (length == 0 || at + length > bytes.size()) return 0;
  character = first & (0x7f >> length);
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xc0) != 0x80) return 0;
    character = (character << 6) | (byte(i) & 0x3f);
  }
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  bool surrogate = character >= 0xd800 && character <= 0xdfff;
  if (character < kSmallest[length] || character > 0x10ffff || surrogate) return 0;
  return length;
}

std::optional<UnicodeProblem> ReadUtf16(std::string_view bytes, bool big_endian,
                                        std::u32string& characters) {
  auto unit_at = [&](size_t at) -> char32_t {
    auto first = static_cast<uint8_t>(bytes[at]), second = static_cast<uint8_t>(bytes[at + 1]);
    return big_endian ? (first << 8) | second : (second << 8) | first;
  };
  auto problem = [&](std::string what) {
    return UnicodeProblem{LineAt(characters, characters.size()), std::move(what)};
  };
  for (size_t at = 0; at < bytes.size(); at += 2) {
    if (at + 1 == bytes.size()) return problem("the UTF-16 text ends in half a character");
    char32_t unit = unit_at(at);
    if (unit >= 0xdc00 && unit <= 0xdfff) return problem("an unpaired UTF-16 surrogate");
    if (unit >= 0xd800 && unit <= 0xdbff) {
      char32_t low = at + 3 < bytes.size() ? unit_at(at + 2) : 0;
      if (low < 0xdc00 || low > 0xdfff) return problem("an unpaired UTF-16 surrogate");
      unit = 0x10000 + ((unit - 0xd800) << 10) + (low - 0xdc00);
      at += 2;
    }
    characters += unit;
  }
  return std::nullopt;
}

}  // namespace

std::optional<uint8_t> MarkedByte(char32_t character) {
  if (character < ByteMark(0x80) || character > ByteMark(0xff)) return std::nullopt;
  return static_cast<uint8_t>(character - kByteMark);
}

std::optional<UnicodeProblem> ReadUnicode(std::string_view source, std::u32string& characters) {
  characters.clear();
  if (source.starts_with("\xff\xfe")) return ReadUtf16(source.substr(2), false, characters);
  if (source.starts_with("\xfe\xff")) return ReadUtf16(source.substr(2), true, characters);
  if (source.starts_with(kUtf8Mark)) source.remove_prefix(kUtf8Mark.size());
  return ReadUtf8(source, characters);
}

std::optional<UnicodeProblem> ReadUtf8(std::string_view bytes, std::u32string& characters) {
  characters.clear();
  for (size_t at = 0; at < bytes.size();) {
    char32_t character;
    size_t length = Utf8Sequence(bytes, at, character);
    if (length == 0) {
      return UnicodeProblem{LineAt(characters, characters.size()),
                            "byte " + HexByte(static_cast<uint8_t>(bytes[at])) + " is not UTF-8"};
    }
    characters += character;
    at += length;
  }
  return std::nullopt;
}

std::u32string Utf8Characters(std::string_view bytes) {
  std::u32string characters;
  for (size_t at = 0; at < bytes.size();) {
    char32_t character;
    size_t length = Utf8Sequence(bytes, at, character);
    if (length == 0) {
      characters += ByteMark(static_cast<uint8_t>(bytes[at++]));
    } else {
      characters += character;
      at += length;
    }
  }
  return characters;
}

void AppendUtf8(std::string& text, char32_t c) {
  auto put = [&text](char32_t bits) { text += static_cast<char>(bits); };
  if (c < 0x80) {
    put(c);
  } else if (c < 0x800) {
    put(0xc0 | (c >> 6));
    put(0x80 | (c & 0x3f));
  } else if (c < 0x10000) {
    put(0xe0 | (c >> 12));
    put(0x80 | ((c >> 6) & 0x3f));
    put(0x80 | (c & 0x3f));
  } else {
    put(0xf0 | (c >> 18));
    put(0x80 | ((c >> 12) & 0x3f));
    put(0x80 | ((c >> 6) & 0x3f));
    put(0x80 | (c & 0x3f));
  }
}

std::string Utf8(std::u32string_view characters) {
  std::string text;
  for (char32_t c : characters) AppendUtf8(text, c);
  return text;
}

std::string CodePointName(char32_t character) {
  char text[16];
  std::snprintf(text, sizeof(text), "U+%04X", static_cast<unsigned>(character));
  return text;
}

int LineAt(std::u32string_view characters, size_t position) {
  int line = 1;
  for (size_t i = 0; i < position && i < characters.size(); ++i) {
    if (characters[i] == '\n' ||
        (characters[i] == '\r' && (i + 1 >= characters.size() || characters[i + 1] != '\n'))) {
      ++line;
    }
  }
  return line;
}

}  // namespace saverpack
