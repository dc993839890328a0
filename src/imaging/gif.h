#pragma once
// Animated GIF export through giflib.
//
// Every frame carries its own colour table (padded with black to the power of
// two GIF needs), a graphic control extension with its delay, disposal 2
// (restore to background) and no transparent colour. The first frame is
// preceded by the NETSCAPE2.0 extension with loop count 0 (forever).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/palette.h"

namespace varune {

struct TGifFrame {
  TPaletteImage Image;
  uint16_t Delay = 0;  // hundredths of a second
};

// Writes frame by frame, so an export never holds all frames reduced at once.
class TGifWriter {
 public:
  // The logical screen; frames are placed at its top-left corner.
  TGifWriter(int32_t Width, int32_t Height);
  ~TGifWriter();
  TGifWriter(const TGifWriter&) = delete;
  TGifWriter& operator=(const TGifWriter&) = delete;

  // Raises varune::Error for a frame larger than the screen, a palette that
  // is empty or over 256 entries, or an index the palette lacks.
  void AddFrame(const TPaletteImage& Image, uint16_t Delay);
  // Ends the file and hands over its bytes; needs at least one frame.
  std::vector<uint8_t> Finish();

 private:
  struct TState;
  std::unique_ptr<TState> FState;
};

// The screen takes the size of the largest frame.
std::vector<uint8_t> EncodeAnimatedGif(const std::vector<TGifFrame>& Frames);
void SaveAnimatedGifToFile(const std::string& FileName, const std::vector<TGifFrame>& Frames);

}  // namespace varune
