#include "platform/win32/wizard_resources.h"

#include <cstring>
#include <span>
#include <vector>

#include "platform/picture_codes.h"
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

std::span<const uint8_t> ResourceBytes(HINSTANCE instance, int id) {
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), RT_RCDATA);
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  return {static_cast<const uint8_t*>(data), SizeofResource(instance, found)};
}

struct Variant {
  int size;
  int id;
};

// The picture drawn at `size` pixels, or the nearest larger one (the
// largest when none is), decoded; `out.width` is 0 when it cannot be.
void DecodeNearest(HINSTANCE instance, std::span<const Variant> variants, int size,
                   DecodedPicture& out) {
  const Variant* chosen = &variants[0];
  for (const Variant& variant : variants) {
    chosen = &variant;
    if (variant.size >= size) break;
  }
  DecodePicture(ResourceBytes(instance, IDR_PICTURE_PALETTE), ResourceBytes(instance, chosen->id),
                out);
}

// A 32-bit bitmap, rows top-down, holding `picture`'s pixels with their alpha.
HBITMAP BitmapOf(const DecodedPicture& picture) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap) memcpy(bits, picture.pixels.data(), picture.pixels.size() * sizeof(uint32_t));
  return bitmap;
}

// The header picture at `size` pixels (it lies on the band's white, opaque).
HBITMAP LoadHeaderPicture(HINSTANCE instance, int size) {
  constexpr Variant kVariants[] = {{48, IDR_HEADER_48}, {72, IDR_HEADER_72}};
  DecodedPicture picture;
  DecodeNearest(instance, kVariants, size, picture);
  if (picture.width == 0) return nullptr;
  HBITMAP drawn = BitmapOf(picture);
  if (!drawn || picture.width == size) return drawn;
  ScopedBitmap original(drawn);
  return Resample(original.get(), picture.width, size);
}

// The folder icon at `size` pixels, its edges blended by their alpha; the
// mask marks the fully transparent pixels, as an icon file's does.
HICON LoadFolderIcon(HINSTANCE instance, int size) {
  constexpr Variant kVariants[] = {{32, IDR_FOLDER_32}, {48, IDR_FOLDER_48}};
  DecodedPicture picture;
  DecodeNearest(instance, kVariants, size, picture);
  if (picture.width == 0) return nullptr;
  const int mask_stride = (picture.width + 15) / 16 * 2;  // rows of whole WORDs
  std::vector<uint8_t> mask(static_cast<size_t>(mask_stride) * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (picture.pixels[static_cast<size_t>(y) * picture.width + x] >> 24 == 0) {
        mask[static_cast<size_t>(y) * mask_stride + x / 8] |= 0x80 >> (x % 8);
      }
    }
  }
  ScopedBitmap colour(BitmapOf(picture));
  ScopedBitmap mask_bitmap(CreateBitmap(picture.width, picture.height, 1, 1, mask.data()));
  ICONINFO info = {TRUE, 0, 0, mask_bitmap.get(), colour.get()};
  HICON icon = colour.valid() && mask_bitmap.valid() ? CreateIconIndirect(&info) : nullptr;
  if (!icon || picture.width == size) return icon;
  ScopedIcon original(icon);
  return static_cast<HICON>(CopyImage(original.get(), IMAGE_ICON, size, size, 0));
}

}  // namespace

WizardResources::WizardResources(HINSTANCE instance, const DpiScale& scale)
    : text_font_(CreateTahoma(TextFontPixels(scale), FW_NORMAL, false)),
      title_font_(CreateTahoma(scale(kTitleFontPixels), FW_BOLD, false)),
      link_font_(CreateTahoma(TextFontPixels(scale), FW_NORMAL, true)),
      header_picture_(LoadHeaderPicture(instance, scale(kHeaderPicture.box.width))),
      folder_icon_(LoadFolderIcon(instance, scale(kFolderPicture.box.width))) {}

}  // namespace scrsetup::win32
