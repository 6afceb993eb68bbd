// UTF-8 and the wide (UTF-16) strings of the Win32 API, for the Windows
// parts of the tool. Invalid input gives an empty result, which no Win32
// call takes for a file that exists.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <string_view>

namespace saverpack {

inline std::wstring WideFromUtf8(std::string_view text) {
  if (text.empty()) return {};
  int size = static_cast<int>(text.size());
  int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
  return wide;
}

inline std::string Utf8FromWide(const wchar_t* wide) {
  int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
  text.pop_back();  // the terminating NUL
  return text;
}

}  // namespace saverpack
