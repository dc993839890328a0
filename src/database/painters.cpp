// Painters of the interface elements cut out of the game's pictures. Each
// element is composed in a small RGBA picture and drawn with one blend.

#include <algorithm>
#include <iterator>

#include "database/resources.h"

namespace varune {

namespace {

constexpr std::string_view kUiPicture = "DATA/INTERFACE/CONCEPT/UI102.PNG";
constexpr std::string_view kMiniIconPicture = "DATA/INTERFACE/CONCEPT/UI_ICON_000.PNG";
constexpr std::string_view kLobbyPicture = "DATA/LOBBY/RB001.PNG";
constexpr std::string_view kShadowPicture = "DATA/INTERFACE/CONCEPT/SHADOW.PNG";

constexpr TColor32 kWhite = Color32(0xFF, 0xFF, 0xFF);

// Copies Rect of Src into a new blank picture of the rectangle's size and draws it.
void DrawPiece(TCanvas& Canvas, int32_t X, int32_t Y, const TPngImage& Src, const TRect& Rect) {
  TPngImage piece = TPngImage::Blank(Rect.Width(), Rect.Height());
  TPngManager::CopyPngRect(piece, 0, 0, Src, Rect, false);
  Canvas.Draw(X, Y, piece);
}

}  // namespace

void TIconManager::Draw(TCanvas& Canvas, int32_t X, int32_t Y, std::string_view FileName, int32_t Index, bool Sub) {
  const TPngImage* sheet = GetFile(FileName);
  if (!sheet) return;
  // 64-bit, so that no index overflows; C++ division truncates like the game's.
  const int64_t n = int64_t{Index} - 1;
  const int64_t x0 = n % 16 * 32, y0 = n / 16 * 32;
  if (x0 < 0 || y0 < 0 || x0 >= sheet->Width || y0 >= sheet->Height) return;
  // A cell cut by the sheet's edge copies less; what it leaves must not be
  // the previous icon.
  if (x0 + 32 > sheet->Width || y0 + 32 > sheet->Height) FBuffer = TPngImage::Blank(32, 32);
  const TRect cell{static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x0 + 32),
                   static_cast<int32_t>(y0 + 32)};
  CopyPngRect(FBuffer, 0, 0, *sheet, cell, Sub);
  Canvas.Draw(X, Y, FBuffer);
}

void TUIManager::DrawEquipIcon(TCanvas& Canvas, int32_t X, int32_t Y, int32_t Index, bool Selected) {
  const TPngImage* picture = GetFile(kUiPicture);
  if (!picture) return;
  TBitmap32& target = Canvas.Target();
  const TColor32 frame = EquipFrameColors[Selected ? 1 : 0];
  target.FillRect(X, Y, X + 32, Y + 32, kWhite);
  target.FrameRectS(X, Y, X + 32, Y + 32, frame);
  target.FrameRectS(X + 1, Y + 1, X + 31, Y + 31, frame);
  if (Selected || Index < 1 || Index > 14) return;
  const int32_t n = EquipSlotIconCells[Index - 1] - 1;
  const int32_t left = n % 7 * 29 + 1, top = n / 7 * 29 + 211;
  DrawPiece(Canvas, X + 2, Y + 2, *picture, TRect{left, top, left + 28, top + 28});
}

void TUIManager::DrawMiniWeaponIcon(TCanvas& Canvas, int32_t X, int32_t Y, int32_t Index, bool Selected) {
  const TPngImage* picture = GetFile(kMiniIconPicture);
  if (!picture) return;
  TBitmap32& target = Canvas.Target();
  target.FillRect(X + 1, Y + 1, X + 19, Y + 19, Selected ? kWhite : Color32(0x84, 0xBD, 0x80));
  // A square with its top-right corner cut; every segment stops short of its end.
  const TPoint outline[] = {{X + 1, Y},      {X + 18, Y}, {X + 19, Y + 1}, {X + 19, Y + 19},
                            {X, Y + 19},     {X, Y + 1},  {X + 1, Y}};
  for (size_t i = 0; i + 1 < std::size(outline); ++i)
    target.Line(outline[i].X, outline[i].Y, outline[i + 1].X, outline[i + 1].Y, Color32(0x47, 0x8B, 0x7C));
  if (Index < 1 || Index > 15) return;
  const int32_t n = MiniWeaponIconCells[Index - 1] - 1;
  const int32_t left = n % 15 * 17 + 249, top = n / 15 * 17 + 133;
  DrawPiece(Canvas, X + 2, Y + 2, *picture, TRect{left, top, left + 16, top + 16});
}

void TUIManager::DrawGenderIcon(TCanvas& Canvas, int32_t X, int32_t Y, TGenderType Gender, bool Selected) {
  if (Gender != gtMale && Gender != gtFemale) return;
  const TPngImage* picture = GetFile(kLobbyPicture);
  if (!picture) return;
  DrawPiece(Canvas, X, Y, *picture, GenderIconRects[Gender][Selected ? 1 : 0]);
}

void TUIManager::DrawShadow(TCanvas& Canvas, int32_t X, int32_t Y) {
  const TPngImage* picture = GetFile(kShadowPicture);
  if (!picture) return;
  DrawPiece(Canvas, X - 32, Y - 16, *picture, TRect{0, 0, 64, 32});
}

void TUIManager::DrawWindow(TCanvas& Canvas, int32_t X, int32_t Y, int32_t Width, int32_t Height) {
  // Smaller sizes would place the right and bottom pieces outside the picture.
  if (Width < 4 || Height < 4) return;
  const TPngImage* picture = GetFile(kUiPicture);
  if (!picture) return;
  TPngImage window = TPngImage::Blank(Width, Height);
  std::fill(window.Rgb.begin(), window.Rgb.end(), uint8_t{0xFF});
  // Pictures without an alpha channel give their pieces alpha 255.
  const auto place = [&](int32_t x, int32_t y, int piece) {
    CopyPngRect(window, x, y, *picture, WindowFrameRects[piece], false);
  };
  const int32_t right = Width - 4, bottom = Height - 4;
  place(0, 0, 0);
  place(right, 0, 2);
  for (int32_t x = 4; x <= Width - 5; ++x) place(x, 0, 1);
  for (int32_t y = 4; y <= Height - 5; ++y) {
    place(0, y, 3);
    place(right, y, 5);
    for (int32_t x = 4; x <= Width - 5; ++x) place(x, y, 4);
  }
  place(0, bottom, 6);
  place(right, bottom, 8);
  for (int32_t x = 4; x <= Width - 5; ++x) place(x, bottom, 7);
  Canvas.Draw(X, Y, window);
}

}  // namespace varune
