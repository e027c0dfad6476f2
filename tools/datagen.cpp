// Draws the frame bitmaps of the shipped information types and the editor's
// click sound, so that no binary file lives in the source tree.

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Rgb {
    std::uint8_t r, g, b;
};

void put16(std::ofstream& o, std::uint16_t v) {
    o.put(char(v & 0xFF)).put(char(v >> 8));
}
void put32(std::ofstream& o, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) o.put(char((v >> (8 * i)) & 0xFF));
}

bool writeBmp(const std::filesystem::path& file, int w, int h,
              const std::function<Rgb(int, int)>& pixel) {
    std::ofstream o(file, std::ios::binary);
    const int row = (w * 3 + 3) & ~3;
    const std::uint32_t size = 54 + static_cast<std::uint32_t>(row * h);
    o << "BM";
    put32(o, size);
    put32(o, 0);
    put32(o, 54);
    put32(o, 40);
    put32(o, static_cast<std::uint32_t>(w));
    put32(o, static_cast<std::uint32_t>(h));
    put16(o, 1);
    put16(o, 24);
    put32(o, 0);
    put32(o, static_cast<std::uint32_t>(row * h));
    put32(o, 2835);
    put32(o, 2835);
    put32(o, 0);
    put32(o, 0);
    for (int y = h - 1; y >= 0; --y) {
        int written = 0;
        for (int x = 0; x < w; ++x, written += 3) {
            Rgb c = pixel(x, y);
            o.put(char(c.b)).put(char(c.g)).put(char(c.r));
        }
        for (; written < row; ++written) o.put(0);
    }
    return bool(o);
}

std::uint8_t mix(int a, int b, double t) {
    return std::uint8_t(a + (b - a) * t);
}

// A gradient between two colours with a frame of the given colour and width.
std::function<Rgb(int, int)> framed(Rgb from, Rgb to, Rgb frame, int border, int w, int h) {
    return [=](int x, int y) {
        if (x < border || y < border || x >= w - border || y >= h - border) return frame;
        const double t = double(y) / h;
        const double wave = 0.04 * std::sin(x * 0.05);
        const double k = std::min(1.0, std::max(0.0, t + wave));
        return Rgb{mix(from.r, to.r, k), mix(from.g, to.g, k), mix(from.b, to.b, k)};
    };
}

bool writeClick(const std::filesystem::path& file) {
    const int rate = 22050;
    const int samples = rate / 25;
    std::ofstream o(file, std::ios::binary);
    o << "RIFF";
    put32(o, 36 + samples * 2);
    o << "WAVEfmt ";
    put32(o, 16);
    put16(o, 1);
    put16(o, 1);
    put32(o, rate);
    put32(o, rate * 2);
    put16(o, 2);
    put16(o, 16);
    o << "data";
    put32(o, samples * 2);
    for (int i = 0; i < samples; ++i) {
        const double env = std::exp(-double(i) / (samples / 6.0));
        const auto v = std::int16_t(12000 * env * std::sin(2 * 3.14159265 * 1800 * i / rate));
        put16(o, std::uint16_t(v));
    }
    return bool(o);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: kv_datagen <output folder>\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out / "data");
    const int w = 531, h = 471;
    bool ok = writeBmp(out / "data" / "default.bmp", w, h,
                       framed({238, 239, 240}, {200, 208, 222}, {82, 68, 58}, 10, w, h));
    ok &= writeBmp(out / "data" / "sunrise.bmp", w, h,
                   framed({255, 214, 150}, {236, 120, 90}, {140, 60, 40}, 14, w, h));
    ok &= writeBmp(out / "data" / "forest.bmp", w, h,
                   framed({196, 226, 180}, {60, 120, 70}, {30, 70, 40}, 14, w, h));
    ok &= writeBmp(out / "data" / "ocean.bmp", w, h,
                   framed({190, 225, 245}, {40, 90, 160}, {20, 40, 90}, 14, w, h));
    ok &= writeBmp(out / "data" / "urgent.bmp", w, h,
                   framed({255, 240, 240}, {230, 90, 90}, {160, 0, 0}, 20, w, h));
    ok &= writeClick(out / "click.wav");
    return ok ? 0 : 1;
}
