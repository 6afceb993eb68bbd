// The code pages through the Win32 code page functions, without best-fit
// mappings and with invalid sequences refused.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "saverpack/text/code_page.h"

namespace saverpack {
namespace {

class Win32CodePage : public CodePage {
 public:
  explicit Win32CodePage(UINT number) : number_(number) {}

  std::optional<std::string> Encode(char32_t character) override {
    wchar_t units[2];
    int count = 1;
    if (character >= 0x10000) {
      units[0] = static_cast<wchar_t>(0xd800 + ((character - 0x10000) >> 10));
      units[1] = static_cast<wchar_t>(0xdc00 + ((character - 0x10000) & 0x3ff));
      count = 2;
    } else {
      units[0] = static_cast<wchar_t>(character);
    }
    char bytes[8];
    BOOL used_default = FALSE;
    int length = WideCharToMultiByte(number_, WC_NO_BEST_FIT_CHARS, units, count, bytes,
                                     sizeof(bytes), nullptr, &used_default);
    if (length <= 0 || used_default) return std::nullopt;
    return std::string(bytes, length);
  }

  std::optional<char32_t> Decode(std::string_view bytes) override {
    wchar_t units[4];
    int count = MultiByteToWideChar(number_, MB_ERR_INVALID_CHARS, bytes.data(),
                                    static_cast<int>(bytes.size()), units, 4);
    if (count != 1) return std::nullopt;
    return static_cast<char32_t>(units[0]);
  }

 private:
  UINT number_;
};

}  // namespace

std::unique_ptr<CodePage> OpenCodePage(int number) {
  if (!IsSupportedCodePage(number) || !IsValidCodePage(static_cast<UINT>(number))) return nullptr;
  return std::make_unique<Win32CodePage>(static_cast<UINT>(number));
}

}  // namespace saverpack
