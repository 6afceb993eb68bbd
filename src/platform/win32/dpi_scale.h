// Scaling of the wizard's 96-DPI layout to the screen's DPI.
#pragma once

#include <windows.h>

#include "platform/win32/gdi_handles.h"

namespace scrsetup::win32 {

class DpiScale {
 public:
  static constexpr int kDesignDpi = 96;

  explicit DpiScale(int dpi) : dpi_(dpi > 0 ? dpi : kDesignDpi) {}
  // The DPI the system reports for the screen (the process is DPI-aware
  // through its manifest, so this is the real setting).
  static DpiScale OfScreen() {
    WindowDc screen(nullptr);
    return DpiScale(screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : kDesignDpi);
  }

  int dpi() const { return dpi_; }
  // A length of the 96-DPI layout in pixels at this DPI.
  int operator()(int design_pixels) const { return MulDiv(design_pixels, dpi_, kDesignDpi); }
  // A rectangle of the 96-DPI layout; its edges are scaled, not its size, so
  // neighbouring rectangles stay neighbours.
  RECT Rect(int x, int y, int width, int height) const {
    return RECT{(*this)(x), (*this)(y), (*this)(x + width), (*this)(y + height)};
  }

 private:
  int dpi_;
};

}  // namespace scrsetup::win32
