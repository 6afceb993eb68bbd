// Version, time, random numbers, code page and UI language through the
// Win32 API.
#pragma once

#include <windows.h>

#include <cstring>

#include "platform/system_info.h"

namespace scrsetup::win32 {

class Win32SystemInfo : public SystemInfo {
 public:
  std::optional<OsVersion> QueryVersion() override {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);  // 148
    if (!GetVersionExA(&info)) return std::nullopt;
    info.szCSDVersion[sizeof(info.szCSDVersion) - 1] = '\0';
    return OsVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                     info.szCSDVersion};
  }
  // GetTickCount wraps after 49 days; count the wraps so the value only grows.
  uint64_t TickCount() override {
    DWORD now = GetTickCount();
    if (now < last_tick_) wraps_ += uint64_t{1} << 32;
    last_tick_ = now;
    return wraps_ + now;
  }
  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }
  uint32_t Random(uint32_t bound) override {
    // A small linear congruential generator seeded from the clock: enough to
    // keep temporary file names of separate runs apart.
    if (state_ == 0) state_ = static_cast<uint32_t>(GetTickCount()) ^ GetCurrentProcessId() ^ 1u;
    state_ = state_ * 1664525u + 1013904223u;
    return bound == 0 ? 0 : state_ % bound;
  }
  bool IsLeadByte(uint8_t byte) override { return IsDBCSLeadByteEx(CP_ACP, byte) != 0; }
  uint32_t AnsiCodePage() override { return GetACP(); }
  // Systems before Windows 2000 have no UI language of their own: looked up,
  // with the user's locale language in its place.
  uint16_t UserUILanguage() override {
    using Query = LANGID(WINAPI*)();
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetUserDefaultUILanguage")));
    return query ? query() : GetUserDefaultLangID();
  }

 private:
  uint32_t state_ = 0;
  DWORD last_tick_ = 0;
  uint64_t wraps_ = 0;
};

static_assert(sizeof(OSVERSIONINFOA) == 148);

}  // namespace scrsetup::win32
