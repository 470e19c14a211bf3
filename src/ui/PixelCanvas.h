#pragma once

#include <cstdint>
#include <vector>

// A colour as the drawing surfaces use it: 8 bits each of red, green and blue.
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kRed{255, 0, 0};

// The pixels of one drawing surface with a pen, in the manner of a classic desktop canvas:
// frameRect clears the surface to white with a one-pixel border in the pen colour, moveTo places
// the pen, lineTo draws from the pen to a point and leaves the pen there. A line covers its start
// pixel but not its end pixel, so a polyline draws each joint once. Points may lie anywhere (also
// far outside; coordinates are held to ±2^24, which keeps the line arithmetic exact): only the
// pixels inside the surface are touched, and a line costs at most one step per visible pixel of
// its longer axis. Pixels are stored as 0xffRRGGBB words, row by row, so a
// toolkit image can wrap them without copying.
class PixelCanvas {
public:
    PixelCanvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    void setPen(Rgb colour) { pen_ = pack(colour); }
    // Rectangle (0, 0)–(width, height): white inside, the border in the pen colour.
    void frameRect();
    void moveTo(int x, int y) {
        penX_ = hold(x);
        penY_ = hold(y);
    }
    void lineTo(int x, int y);

    Rgb pixel(int x, int y) const { return unpack(pixels_[index(x, y)]); }
    const std::uint32_t* data() const { return pixels_.data(); }

private:
    static std::uint32_t pack(Rgb c) {
        return 0xff000000u | (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
    }
    static Rgb unpack(std::uint32_t w) {
        return {static_cast<std::uint8_t>(w >> 16), static_cast<std::uint8_t>(w >> 8),
                static_cast<std::uint8_t>(w)};
    }
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }
    static int hold(int v) {
        constexpr int kLimit = 1 << 24;
        return v < -kLimit ? -kLimit : (v > kLimit ? kLimit : v);
    }
    void plot(std::int64_t x, std::int64_t y) {
        if (x >= 0 && x < width_ && y >= 0 && y < height_)
            pixels_[index(static_cast<int>(x), static_cast<int>(y))] = pen_;
    }

    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
    std::uint32_t pen_ = pack(kBlack);
    int penX_ = 0;
    int penY_ = 0;
};
