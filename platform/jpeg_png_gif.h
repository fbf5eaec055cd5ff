// Readers for the compressed formats, over libjpeg-turbo, libpng and giflib (libraries
// written and fuzzed for untrusted files). They decode as the pictures were always
// drawn: JPEG to grey or RGB (CMYK converted), PNG to 8-bit grey, grey and alpha, RGB
// or RGBA (16-bit samples keep their high byte, palettes and transparent colours
// expanded), GIF's first frame on its logical screen as RGBA.
#pragma once
#include "platform/raster.h"

namespace platform {

bool ReadJpeg(const uint8_t* data, size_t size, ReadMode mode, Raster* out);
bool ReadPng(const uint8_t* data, size_t size, ReadMode mode, Raster* out);
bool ReadGif(const uint8_t* data, size_t size, ReadMode mode, Raster* out);

}  // namespace platform
