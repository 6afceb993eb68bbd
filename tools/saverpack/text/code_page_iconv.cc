// The code pages through glibc's iconv. The names are those of the Windows
// tables ("CP932" is the Windows variant of Shift JIS, unlike "SHIFT_JIS").
#include <errno.h>
#include <iconv.h>

#include <cstring>

#include "saverpack/text/code_page.h"

namespace saverpack {
namespace {

// One iconv conversion descriptor, closed when destroyed.
class Conversion {
 public:
  Conversion(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
  ~Conversion() {
    if (valid()) iconv_close(descriptor_);
  }
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

  bool valid() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of `input` in one go, then flushes any state (some code
  // pages hold back a character that a combining mark could follow); false
  // when any of it cannot be converted.
  bool Convert(std::string_view input, std::string& output) {
    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
    char buffer[32];
    char* in = const_cast<char*>(input.data());
    size_t in_left = input.size();
    char* out = buffer;
    size_t out_left = sizeof(buffer);
    if (iconv(descriptor_, &in, &in_left, &out, &out_left) == static_cast<size_t>(-1) ||
        in_left != 0 ||
        iconv(descriptor_, nullptr, nullptr, &out, &out_left) == static_cast<size_t>(-1)) {
      return false;
    }
    output.assign(buffer, out - buffer);
    return true;
  }

 private:
  iconv_t descriptor_;
};

class IconvCodePage : public CodePage {
 public:
  explicit IconvCodePage(const std::string& name)
      : encode_(name.c_str(), "UTF-32LE"), decode_("UTF-32LE", name.c_str()) {}

  bool valid() const { return encode_.valid() && decode_.valid(); }

  std::optional<std::string> Encode(char32_t character) override {
    char unit[4];
    for (int i = 0; i < 4; ++i) unit[i] = static_cast<char>((character >> (8 * i)) & 0xff);
    std::string bytes;
    if (!encode_.Convert(std::string_view(unit, 4), bytes) || bytes.empty()) return std::nullopt;
    return bytes;
  }

  std::optional<char32_t> Decode(std::string_view bytes) override {
    std::string units;
    if (!decode_.Convert(bytes, units) || units.size() != 4) return std::nullopt;
    char32_t character = 0;
    for (int i = 3; i >= 0; --i)
      character = (character << 8) | static_cast<unsigned char>(units[i]);
    return character;
  }

 private:
  Conversion encode_;
  Conversion decode_;
};

}  // namespace

std::unique_ptr<CodePage> OpenCodePage(int number) {
  if (!IsSupportedCodePage(number)) return nullptr;
  auto code_page = std::make_unique<IconvCodePage>("CP" + std::to_string(number));
  if (!code_page->valid()) return nullptr;
  return code_page;
}

}  // namespace saverpack
