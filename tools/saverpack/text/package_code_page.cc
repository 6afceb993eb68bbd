#include "saverpack/text/package_code_page.h"

#include "lang/text.h"
#include "saverpack/text/unicode_text.h"

namespace saverpack {
namespace {

bool IsC1Control(char32_t character) { return character >= 0x80 && character <= 0x9f; }

std::string LinePrefix(std::string_view what, int line) {
  return std::string(what) + ": line " + std::to_string(line) + ": ";
}

// The character as a message shows it: its code point, and itself when printable.
std::string Shown(char32_t character) {
  std::string shown = CodePointName(character);
  if (character >= 0x20 && character != 0x7f && !IsC1Control(character)) {
    shown += " \"";
    AppendUtf8(shown, character);
    shown += '"';
  }
  return shown;
}

}  // namespace

std::optional<Failure> PackageCodePage::Open(std::optional<int> number, PackageCodePage& opened) {
  opened = PackageCodePage();
  if (!number) return std::nullopt;
  opened.code_page_ = OpenCodePage(*number);
  if (!opened.code_page_) {
    return Failure{kExitBadInput,
                   "code page " + std::to_string(*number) + " cannot be converted on this system"};
  }
  opened.number_ = number;
  return std::nullopt;
}

std::optional<Failure> PackageCodePage::EncodeText(std::string_view text, std::string_view what,
                                                   std::string& bytes) {
  return Encode(text, false, what, bytes);
}

std::optional<Failure> PackageCodePage::EncodeFile(std::string_view contents, std::string_view what,
                                                   std::string& bytes) {
  return Encode(contents, true, what, bytes);
}

std::optional<Failure> PackageCodePage::Encode(std::string_view source, bool file,
                                               std::string_view what, std::string& bytes) {
  if (!code_page_) {
    bytes.assign(source);
    return std::nullopt;
  }
  std::u32string characters;
  std::optional<UnicodeProblem> problem =
      file ? ReadUnicode(source, characters) : ReadUtf8(source, characters);
  if (problem) {
    return Failure{kExitBadInput, LinePrefix(what, problem->line) + problem->message +
                                      "; write it in UTF-8, or give --codepage none to store "
                                      "bytes already in the package's code page"};
  }
  std::string encoded;
  for (size_t i = 0; i < characters.size(); ++i) {
    char32_t character = characters[i];
    std::optional<std::string> code;
    if (character < 0x80) {
      code = std::string(1, static_cast<char>(character));  // ASCII is the same in every one
    } else if (!IsC1Control(character)) {
      code = code_page_->Encode(character);
      // Only a code that reads back as this very character counts: no
      // best-fit stand-ins (CP932's "\" for U+00A5, say), no letter written
      // as base and combining mark, on every host alike.
      if (code && Decode(*code) != std::u32string(1, character)) code.reset();
    }
    if (!code) {
      return Failure{kExitBadInput, LinePrefix(what, LineAt(characters, i)) + Shown(character) +
                                        " has no code in code page " + std::to_string(*number_)};
    }
    encoded += *code;
  }
  // CR and LF are never the second byte of a double-byte character.
  bytes = file ? scrsetup::WithCrLfLines(encoded) : std::move(encoded);
  return std::nullopt;
}

std::u32string PackageCodePage::Decode(std::string_view bytes) {
  std::u32string characters;
  for (size_t at = 0; at < bytes.size();) {
    auto byte = static_cast<uint8_t>(bytes[at]);
    std::optional<char32_t> character;
    size_t length = 1;
    if (byte < 0x80) {
      character = byte;
    } else if (code_page_) {
      character = code_page_->Decode(bytes.substr(at, 1));
      if (!character && at + 1 < bytes.size()) {
        character = code_page_->Decode(bytes.substr(at, 2));
        length = 2;
      }
    }
    if (!character || IsC1Control(*character)) {
      characters += ByteMark(byte);
      at += 1;
    } else {
      characters += *character;
      at += length;
    }
  }
  return characters;
}

}  // namespace saverpack
