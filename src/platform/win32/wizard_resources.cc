#include "platform/win32/wizard_resources.h"

#include "platform/win32/res/resource_ids.h"
#include "platform/win32/wizard_layout.h"

namespace scrsetup::win32 {
namespace {

constexpr char kFontFace[] = "Tahoma";
constexpr int kTextFontPoints = 8;
constexpr int kTitleFontPixels = 15;

HFONT CreateTahoma(int height_pixels, int weight, bool underline) {
  return CreateFontA(-height_pixels, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, kFontFace);
}

int TextFontPixels(const DpiScale& scale) { return MulDiv(kTextFontPoints, scale.dpi(), 72); }

// A copy of `source` (`source_size` square) reduced or enlarged to `size`
// with halftoning, which keeps thin lines and colours smooth.
HBITMAP Resample(HBITMAP source, int source_size, int size) {
  WindowDc screen(nullptr);
  ScopedMemoryDc from(CreateCompatibleDC(screen.get()));
  ScopedMemoryDc to(CreateCompatibleDC(screen.get()));
  HBITMAP result = CreateCompatibleBitmap(screen.get(), size, size);
  if (!from.valid() || !to.valid() || !result) return result;
  SelectedObject source_selected(from.get(), source);
  SelectedObject result_selected(to.get(), result);
  SetStretchBltMode(to.get(), HALFTONE);
  SetBrushOrgEx(to.get(), 0, 0, nullptr);
  StretchBlt(to.get(), 0, 0, size, size, from.get(), 0, 0, source_size, source_size, SRCCOPY);
  return result;
}

// The header picture at `size` pixels: the variant drawn at that size, or
// the nearest larger one (the largest when none is) resampled.
HBITMAP LoadHeaderPicture(HINSTANCE instance, int size) {
  struct Variant {
    int size;
    int id;
  };
  constexpr Variant kVariants[] = {{48, IDB_HEADER_48}, {72, IDB_HEADER_72}};
  const Variant* chosen = &kVariants[0];
  for (const Variant& variant : kVariants) {
    chosen = &variant;
    if (variant.size >= size) break;
  }
  HBITMAP drawn = static_cast<HBITMAP>(
      LoadImageA(instance, MAKEINTRESOURCEA(chosen->id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  if (!drawn || chosen->size == size) return drawn;
  ScopedBitmap original(drawn);
  return Resample(original.get(), chosen->size, size);
}

HICON LoadIconSized(HINSTANCE instance, int id, int size) {
  return static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

WizardResources::WizardResources(HINSTANCE instance, const DpiScale& scale)
    : text_font_(CreateTahoma(TextFontPixels(scale), FW_NORMAL, false)),
      title_font_(CreateTahoma(scale(kTitleFontPixels), FW_BOLD, false)),
      link_font_(CreateTahoma(TextFontPixels(scale), FW_NORMAL, true)),
      header_picture_(LoadHeaderPicture(instance, scale(kHeaderPicture.box.width))),
      folder_icon_(LoadIconSized(instance, IDI_FOLDER_ICON, scale(kFolderPicture.box.width))) {}

}  // namespace scrsetup::win32
