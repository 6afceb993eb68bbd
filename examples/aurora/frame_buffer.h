#pragma once

#include <windows.h>

#include <cstdint>

// Pixels of one frame: 0x00RRGGBB values, rows from top to bottom.
struct PixelFrame {
    std::uint32_t* pixels;
    int width;
    int height;
};

// An off-screen 32-bit bitmap selected into its own memory device context:
// the saver paints pixels into it and then copies it to the window in one blit.
class FrameBuffer {
public:
    FrameBuffer(int width, int height);
    ~FrameBuffer();
    FrameBuffer(const FrameBuffer&) = delete;
    FrameBuffer& operator=(const FrameBuffer&) = delete;

    bool valid() const { return pixels_ != nullptr; }
    HDC dc() const { return dc_; }
    // Waits for pending drawing on the bitmap so that its pixels may be written.
    PixelFrame pixels() const;

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ replaced_bitmap_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
};
