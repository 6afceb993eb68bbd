// Owners for GDI objects, icons and device contexts used by the wizard window.
#pragma once

#include <windows.h>

#include "platform/win32/scoped_handle.h"

namespace scrsetup::win32 {

template <typename GdiHandle>
struct GdiObjectTraits {
  using Handle = GdiHandle;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle object) { DeleteObject(object); }
};

struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle icon) { DestroyIcon(icon); }
};

struct MemoryDcTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle dc) { DeleteDC(dc); }
};

using ScopedFont = Scoped<GdiObjectTraits<HFONT>>;
using ScopedBitmap = Scoped<GdiObjectTraits<HBITMAP>>;
using ScopedIcon = Scoped<IconTraits>;
using ScopedMemoryDc = Scoped<MemoryDcTraits>;

// The device context of a window (null: the screen), released when it goes.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context and restores the previous one.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace scrsetup::win32
