// The GIF writer: an 8-bit indexed image with a 256-entry colour table to a GIF87a or
// GIF89a file, LZW-compressed, optionally interlaced.
#pragma once
#include <cstdint>
#include <string>

namespace vrx {

struct GifSource {
  const uint8_t* pixels = nullptr;  // palette indexes, row y at y * rowBytes
  int32_t rowBytes = 0;
  int32_t width = 0;
  int32_t height = 0;
  const uint16_t (*palette)[3] = nullptr;  // 256 entries of 16-bit red, green, blue
};

// Appends the GIF file to `out`. transparent: a palette index (then GIF89a with a
// graphic control extension) or -1. False when the image has no pixels or is larger
// than a GIF can say.
bool WriteGif(const GifSource& image, bool interlace, int32_t transparent, std::string& out);

}  // namespace vrx
