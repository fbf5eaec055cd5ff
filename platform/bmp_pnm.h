// Readers for the two simple uncompressed formats host pictures may hold.
//
// BMP: the Windows and OS/2 headers (12, 40, 56, 108 or 124 bytes), 1, 4 and 8 bits
// per pixel through a colour table, 16, 24 and 32 bits direct, uncompressed or with
// colour masks; rows bottom-up or top-down. 32-bit pixels carry alpha unless it is 0
// everywhere (then it was never written). Compressed variants (RLE, embedded JPEG or
// PNG) are not read.
// PNM: P1-P6 (bitmap, grey and RGB, as text or binary), samples of up to 16 bits scaled
// to 8.
// Pixel data that ends early reads as zeros, as far as the rows go.
#pragma once
#include "platform/raster.h"

namespace platform {

bool ReadBmp(const uint8_t* data, size_t size, ReadMode mode, Raster* out);
bool ReadPnm(const uint8_t* data, size_t size, ReadMode mode, Raster* out);

}  // namespace platform
