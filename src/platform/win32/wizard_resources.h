// The fonts and pictures of the wizard window, made for the screen's DPI
// and released when the window's owner goes.
#pragma once

#include <windows.h>

#include "platform/win32/dpi_scale.h"
#include "platform/win32/gdi_handles.h"

namespace scrsetup::win32 {

class WizardResources {
 public:
  WizardResources(HINSTANCE instance, const DpiScale& scale);

  // Tahoma 8 pt: every text of the window but the two below.
  HFONT text_font() const { return text_font_.get(); }
  // Bold Tahoma, 15 pixels at 96 DPI: the page title in the header band.
  HFONT title_font() const { return title_font_.get(); }
  // The text font underlined: the web link.
  HFONT link_font() const { return link_font_.get(); }
  // The header band's monitor picture, 48 x 48 at 96 DPI.
  HBITMAP header_picture() const { return header_picture_.get(); }
  // The folder icon of the destination page, 32 x 32 at 96 DPI.
  HICON folder_icon() const { return folder_icon_.get(); }

 private:
  ScopedFont text_font_;
  ScopedFont title_font_;
  ScopedFont link_font_;
  ScopedBitmap header_picture_;
  ScopedIcon folder_icon_;
};

}  // namespace scrsetup::win32
