// Format readers for the picture commands: GIF recognition, the JPEG stream inside a
// picture, what a picture is and how large, and the byte ranges the send and file
// commands take.
#pragma once
#include <cstdint>
#include <span>

namespace vrx {

using Bytes = std::span<const uint8_t>;

// 0 other picture, 1 GIF, 2 JPEG at offset 0, 3 JPEG found further inside.
enum PictureKind : int32_t { kPictureOther = 0, kPictureGif = 1, kPictureJpeg = 2, kPictureEmbeddedJpeg = 3 };

// A JPEG stream: start = the FF of its FF D8, end = the D9 of its FF D9. (0, 0) when
// there is none.
struct JpegSpan {
  int32_t start = 0;
  int32_t end = 0;
  bool found() const { return start != end; }
};

struct PictureInfo {
  int32_t result = 0;  // byte count: the data's, or the JPEG stream's
  int32_t top = 0, left = 0, bottom = 0, right = 0;
  int32_t kind = kPictureOther;
};

bool IsGif(Bytes data);
JpegSpan LocateJpeg(Bytes data);
PictureInfo GetPictureInfo(Bytes data);

// Bytes [start, end] (both inclusive) to send; start == end sends nothing. Offsets
// from 4D are clamped to the data.
struct SendRange {
  int32_t start = 0;
  int32_t end = 0;
};
SendRange PictureSendRange(Bytes data, int32_t first, int32_t last);
// Size of the next piece of a send of bytes [start, end]: the remainder modulo 16384
// first, so every later piece is exactly 16384 bytes.
int32_t NextPieceSize(int32_t start, int32_t end);
constexpr int32_t kPicturePiece = 16384;

// Bytes [start, end) to write to a file.
struct FileRange {
  int32_t start = 0;
  int32_t end = 0;
};
FileRange PictureFileRange(Bytes data, int32_t first, int32_t last);

}  // namespace vrx
