// Facts about the running system: its version, time, a source of
// pseudo-random numbers, its ANSI code page with the lead bytes of it, and
// the user's UI language.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace scrsetup {

// What the system's version query reports.
struct OsVersion {
  uint32_t platform_id = 0;  // 1: Windows 9x family, 2: NT family
  uint32_t major = 0;
  uint32_t minor = 0;
  std::string service_pack;  // the service-pack text, up to its first NUL
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // The version as the system reports it; nullopt when the query fails.
  virtual std::optional<OsVersion> QueryVersion() = 0;
  // Milliseconds from an arbitrary start; only differences are meaningful.
  virtual uint64_t TickCount() = 0;
  // Pauses the calling thread.
  virtual void Sleep(uint32_t milliseconds) = 0;
  // A pseudo-random number from 0 to `bound` - 1.
  virtual uint32_t Random(uint32_t bound) = 0;
  // Whether `byte` is the first of a two-byte character in the system's
  // ANSI code page (never in single-byte code pages such as 1252).
  virtual bool IsLeadByte(uint8_t byte) = 0;
  // The system's ANSI code page (1252, 1251, 932, ...): the one 8-bit texts
  // show in.
  virtual uint32_t AnsiCodePage() = 0;
  // The language of the user's interface, as a Windows LANGID (0x0407
  // German, 0x0419 Russian).
  virtual uint16_t UserUILanguage() = 0;
};

// Whether `byte` starts a two-byte character in `code_page`, for the
// double-byte code pages this system is tested in (932, 936, 949, 950);
// false in every other code page. For a system that is not the running one:
// the installer asks the running system through SystemInfo::IsLeadByte.
inline bool IsLeadByteOfCodePage(uint32_t code_page, uint8_t byte) {
  switch (code_page) {
    case 932:
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
      return byte >= 0x81 && byte <= 0xFE;
    default:
      return false;
  }
}

}  // namespace scrsetup
