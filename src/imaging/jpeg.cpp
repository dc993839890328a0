#include "imaging/jpeg.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <csetjmp>
#include <cstdlib>
#include <memory>

#include "archive/error.h"
#include "archive/stream.h"

namespace varune {

namespace {

struct TJpegErrors {
  jpeg_error_mgr Manager;  // first: libjpeg sees this struct as its error manager
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
  auto* errors = reinterpret_cast<TJpegErrors*>(info->err);
  errors->Manager.format_message(info, errors->Message);
  std::longjmp(errors->Jump, 1);
}

void OnJpegMessage(j_common_ptr) {}

// The libjpeg part; nothing in this frame has a destructor, so the longjmp
// back to it skips nothing.
bool Compress(jpeg_compress_struct& info, const TBitmap32& bitmap, int quality, unsigned char** buffer,
              unsigned long* size) {
  auto* errors = reinterpret_cast<TJpegErrors*>(info.err);
  if (setjmp(errors->Jump)) return false;
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, buffer, size);
  info.image_width = static_cast<JDIMENSION>(bitmap.Width());
  info.image_height = static_cast<JDIMENSION>(bitmap.Height());
  // Surface rows are B, G, R, A bytes, which libjpeg-turbo reads as they are.
  info.input_components = 4;
  info.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(reinterpret_cast<const JSAMPLE*>(bitmap.GetScanLine(
        static_cast<int32_t>(info.next_scanline))));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const TBitmap32& Bitmap, int Quality) {
  if (Bitmap.Empty()) throw Error("cannot write an empty picture as JPEG");
  if (Bitmap.Width() > JPEG_MAX_DIMENSION || Bitmap.Height() > JPEG_MAX_DIMENSION)
    throw Error("picture too large for JPEG");
  jpeg_compress_struct info{};
  TJpegErrors errors{};
  info.err = jpeg_std_error(&errors.Manager);
  errors.Manager.error_exit = OnJpegError;
  errors.Manager.output_message = OnJpegMessage;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const bool ok = Compress(info, Bitmap, Quality, &buffer, &size);
  jpeg_destroy_compress(&info);
  const std::unique_ptr<unsigned char, decltype(&std::free)> owned(buffer, &std::free);
  if (!ok) throw Error(Sprintf("JPEG writing failed: %s", errors.Message));
  return std::vector<uint8_t>(buffer, buffer + size);
}

void SaveJpegToFile(const std::string& FileName, const TBitmap32& Bitmap, int Quality) {
  WriteWholeFile(FileName, EncodeJpeg(Bitmap, Quality));
}

}  // namespace varune
