#include "frame_buffer.h"

FrameBuffer::FrameBuffer(int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) return;
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: rows run from top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_) return;
    replaced_bitmap_ = SelectObject(dc_, bitmap_);
    pixels_ = static_cast<std::uint32_t*>(bits);
}

FrameBuffer::~FrameBuffer() {
    if (replaced_bitmap_) SelectObject(dc_, replaced_bitmap_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
}

PixelFrame FrameBuffer::pixels() const {
    GdiFlush();
    return {pixels_, width_, height_};
}
