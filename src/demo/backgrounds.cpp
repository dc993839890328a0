#include "demo/backgrounds.h"

#include <cstdint>
#include <filesystem>

#include "demo/pixel_art.h"
#include "imaging/bmp.h"

namespace varune::demo {
namespace {

constexpr int32_t kSize = 250;

// Top to bottom from one colour to another.
void Gradient(TBitmap32& Picture, int32_t Top, int32_t Bottom, uint32_t From, uint32_t To) {
  for (int32_t y = Top; y < Bottom; ++y) {
    const uint32_t rgb = MixRgb(From, To, double(y - Top) / std::max(1, Bottom - Top - 1));
    Picture.FillRect(0, y, Picture.Width(), y + 1, 0xFF000000u | rgb);
  }
}

// A soft cloud of three overlapping discs.
void Cloud(TBitmap32& Picture, int32_t X, int32_t Y, int32_t R) {
  const int32_t discs[3][3] = {{X, Y, R}, {X + R, Y - R / 2, R + 2}, {X + 2 * R, Y, R}};
  for (const auto& disc : discs)
    for (int32_t y = disc[1] - disc[2]; y <= disc[1] + disc[2]; ++y)
      for (int32_t x = disc[0] - disc[2]; x <= disc[0] + disc[2]; ++x)
        if ((x - disc[0]) * (x - disc[0]) + (y - disc[1]) * (y - disc[1]) <= disc[2] * disc[2] && x >= 0 &&
            y >= 0 && x < Picture.Width() && y < Picture.Height())
          Picture.Pixel(x, y) = y > disc[1] + disc[2] / 2 ? 0xFFE4EEF6 : 0xFFFFFFFF;
}

TBitmap32 Sky() {
  TBitmap32 picture(kSize, kSize);
  Gradient(picture, 0, kSize, 0x5D9CEC, 0xD6ECFA);
  Cloud(picture, 20, 60, 14);
  Cloud(picture, 150, 35, 10);
  Cloud(picture, 120, 120, 12);
  return picture;
}

TBitmap32 Meadow() {
  TBitmap32 picture(kSize, kSize);
  Gradient(picture, 0, 170, 0x8EC5F0, 0xE8F4FB);
  Gradient(picture, 170, kSize, 0x7CC462, 0x3E7F35);
  Cloud(picture, 170, 50, 11);
  // Tufts of grass in a fixed scatter.
  for (int32_t i = 0; i < 60; ++i) {
    const int32_t x = (i * 97) % kSize, y = 178 + (i * 53) % 68;
    picture.FillRect(x, y - 3, x + 1, y, 0xFF2F6A2A);
    picture.FillRect(x + 2, y - 2, x + 3, y, 0xFF2F6A2A);
  }
  return picture;
}

TBitmap32 Night() {
  TBitmap32 picture(kSize, kSize);
  Gradient(picture, 0, kSize, 0x0B1030, 0x2B3A6B);
  uint32_t seed = 12345;  // the same stars on every run
  for (int32_t i = 0; i < 90; ++i) {
    seed = seed * 1103515245u + 12345u;
    const int32_t x = int32_t(seed >> 8) % kSize, y = int32_t(seed >> 20) % 200;
    picture.Pixel(x, y) = i % 7 == 0 ? 0xFFFFF4C0 : 0xFFDDE6FF;
  }
  // A crescent moon.
  for (int32_t y = 20; y <= 60; ++y)
    for (int32_t x = 170; x <= 210; ++x) {
      const int32_t dx = x - 190, dy = y - 40, ex = x - 200, ey = y - 34;
      if (dx * dx + dy * dy <= 400 && ex * ex + ey * ey > 324) picture.Pixel(x, y) = 0xFFFFF1B5;
    }
  return picture;
}

}  // namespace

std::vector<std::string> WriteDemoBackgrounds(const std::string& Dir) {
  std::filesystem::create_directories(Dir);
  std::vector<std::string> files;
  for (const auto& [name, picture] : {std::pair{"Sky", Sky()}, std::pair{"Meadow", Meadow()}, std::pair{"Night", Night()}}) {
    files.push_back(Dir + "/" + name + ".bmp");
    SaveBmpToFile(files.back(), picture);
  }
  return files;
}

}  // namespace varune::demo
