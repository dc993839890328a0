#pragma once
// The character picture as the view shows it and exports it: background,
// the character with its feet at a fixed point, and two rights notices.

#include <cstdint>
#include <string>

#include "character/chara.h"
#include "imaging/bitmap32.h"

namespace varune {

// Size of the character picture and where the character's feet stand.
struct TViewGeometry {
  int32_t Width;
  int32_t Height;
  int32_t FeetX;
  int32_t FeetY;
  friend bool operator==(const TViewGeometry&, const TViewGeometry&) = default;
};

// The desktop program starts with the large view and the feet at x 128;
// switching back from the small view puts them at x 125.
inline constexpr TViewGeometry kStartView{250, 250, 128, 200};
inline constexpr TViewGeometry kLargeView{250, 250, 125, 200};
inline constexpr TViewGeometry kSmallView{200, 200, 100, 170};

class TCharaView {
 public:
  TViewGeometry Geometry = kStartView;
  // The background colour, used where no picture is chosen or where the
  // picture does not cover the view.
  TColor32 BackgroundColor = 0xFFFFFFFF;

  // A BMP picture drawn at (0, 0) in its own size; empty for none. A file
  // that is missing or unreadable shows the colour alone.
  void SetBackgroundPicture(const std::string& FileName);
  const std::string& BackgroundPicture() const { return FPictureFile; }

  // The colour, then the picture, everything made opaque.
  void DrawBackground(TBitmap32& Target) const;
  // The two rights lines, silver, 7 points, right-aligned at the bottom.
  void DrawNotices(TBitmap32& Target) const;
  // A picture of the view's size: background, frame `Frame` of the character
  // with its feet at the view's point, notices unless left out.
  void Render(const TChara& Chara, int32_t Frame, TBitmap32& Target, bool Notices = true) const;
  // The character alone (shadow and layers) on transparent black.
  void RenderTransparent(const TChara& Chara, int32_t Frame, TBitmap32& Target) const;

 private:
  std::string FPictureFile;
  TBitmap32 FPicture;  // decoded once
};

// The rights notices, first line the developer, second the publisher.
extern const char* const kNoticeLines[2];

}  // namespace varune
