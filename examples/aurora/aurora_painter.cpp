#include "aurora_painter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double two_pi = 6.283185307179586;

// Share of the frame height below a curtain's edge over which its light fades out.
constexpr double edge_fade = 0.02;

struct Curtain {
    int red, green, blue;  // colour at full brightness
    double edge;           // mean height of the lower edge, as a share of the frame height
    double waves;          // waves of the lower edge across the frame
    double drift;          // radians per second the waves move by
    double rays;           // bright rays across the frame
    double length;         // height of the light above the edge, as a share of the frame height
};

constexpr Curtain curtains[] = {
    {150, 60, 210, 0.34, 0.8, 0.05, 17.0, 0.22},
    {20, 170, 200, 0.48, 2.1, -0.07, 31.0, 0.30},
    {40, 230, 110, 0.62, 1.3, 0.11, 23.0, 0.42},
};

std::uint32_t add_light(std::uint32_t pixel, int red, int green, int blue) {
    const int r = std::min(255, static_cast<int>(pixel >> 16 & 0xFF) + red);
    const int g = std::min(255, static_cast<int>(pixel >> 8 & 0xFF) + green);
    const int b = std::min(255, static_cast<int>(pixel & 0xFF) + blue);
    return static_cast<std::uint32_t>(r << 16 | g << 8 | b);
}

// Adds one curtain's light to column x: brightest at the wavy lower edge, fading
// upwards over the curtain's length and quickly below the edge.
void paint_column(const PixelFrame& frame, int x, const Curtain& curtain, double seconds) {
    const double across = static_cast<double>(x) / frame.width;
    const double phase = across * curtain.waves * two_pi + seconds * curtain.drift;
    const double edge = frame.height * (curtain.edge + 0.07 * std::sin(phase) +
                                        0.025 * std::sin(phase * 2.7 - seconds * 0.31));
    const double ray = (0.5 + 0.5 * std::sin(across * curtain.rays * two_pi +
                                             1.7 * std::sin(phase * 0.9 + seconds * 0.23))) *
                       (0.6 + 0.4 * std::sin(across * curtain.rays * 0.43 * two_pi - seconds * 0.17));
    const double brightness = 0.25 + 0.75 * ray * ray;
    const double length = std::max(1.0, frame.height * curtain.length * (0.6 + 0.4 * ray));
    const double fade = std::max(1.0, frame.height * edge_fade);

    const int top = std::max(0, static_cast<int>(edge - length));
    const int bottom = std::min(frame.height, static_cast<int>(edge + fade) + 1);
    for (int y = top; y < bottom; ++y) {
        const double distance = y < edge ? (edge - y) / length : (y - edge) / fade;
        const double weight = std::max(0.0, 1.0 - distance);
        const double level = brightness * weight * weight;
        std::uint32_t& pixel = frame.pixels[y * frame.width + x];
        pixel = add_light(pixel, static_cast<int>(curtain.red * level),
                          static_cast<int>(curtain.green * level), static_cast<int>(curtain.blue * level));
    }
}

}  // namespace

void paint_aurora(const PixelFrame& frame, double seconds) {
    std::fill_n(frame.pixels, frame.width * frame.height, 0u);
    for (const Curtain& curtain : curtains) {
        for (int x = 0; x < frame.width; ++x) paint_column(frame, x, curtain, seconds);
    }
}
