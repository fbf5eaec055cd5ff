// A decoded picture, as the image readers hand it to drawing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/drawing.h"

namespace platform {

// Whether an image of width x height is within the offscreen bounds, which are also
// the bounds of every picture decoded.
inline bool WithinImageBounds(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

// 8-bit samples, rows packed one after another: 1 channel is grey, 2 grey and alpha,
// 3 RGB, 4 RGBA. Owns its pixels.
struct Raster {
  int32_t width = 0;
  int32_t height = 0;
  int32_t channels = 0;
  uint8_t* pixels = nullptr;

  Raster() = default;
  Raster(const Raster&) = delete;
  Raster& operator=(const Raster&) = delete;
  ~Raster() { std::free(pixels); }

  // Zeroed pixels for an image of width x height x channels, replacing any held.
  // False, with nothing held, when the image is outside the bounds or memory runs out.
  bool Allocate(int64_t w, int64_t h, int32_t c) {
    Release();
    if (!WithinImageBounds(w, h) || c < 1 || c > 4) return false;
    pixels = static_cast<uint8_t*>(std::calloc(size_t(w) * size_t(h), size_t(c)));
    if (!pixels) return false;
    width = int32_t(w), height = int32_t(h), channels = c;
    return true;
  }
  void Release() {
    std::free(pixels);
    pixels = nullptr;
    width = height = channels = 0;
  }
  uint8_t* Row(int64_t y) { return pixels + size_t(y) * size_t(width) * size_t(channels); }
};

// What an image reader is asked for: the size from the header alone, or the pixels.
enum class ReadMode { kSize, kPixels };

// An image reader: false when the bytes are not an image of its format that it can
// read within the bounds. Otherwise sets `out`'s width and height, and for kPixels its
// channels and pixels; on false `out` holds nothing. Reads only the `size` bytes.
using ImageReader = bool (*)(const uint8_t* data, size_t size, ReadMode mode, Raster* out);

}  // namespace platform
