// Offscreen 8-bit images, and pictures decoded and drawn into them.
#include "platform/drawing.h"
#include "platform/memory.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/bmp_pnm.h"
#include "platform/jpeg_png_gif.h"
#include "platform/raster.h"

namespace platform {
namespace {

Offscreen* gTarget = nullptr;

// 5 bits per component -> nearest palette entry, built on first use.
const std::array<uint8_t, 32768>& NearestTable() {
  static const std::array<uint8_t, 32768> table = [] {
    std::array<uint8_t, 32768> t{};
    int pal[256][3];
    for (int i = 0; i < 256; ++i) {
      RGBColor c = SystemColor(i);
      pal[i][0] = c.red >> 8;
      pal[i][1] = c.green >> 8;
      pal[i][2] = c.blue >> 8;
    }
    for (int q = 0; q < 32768; ++q) {
      int r = ((q >> 10) & 31) * 255 / 31, g = ((q >> 5) & 31) * 255 / 31, b = (q & 31) * 255 / 31;
      int best = 0, bestDistance = INT_MAX;
      for (int i = 0; i < 256; ++i) {
        int dr = r - pal[i][0], dg = g - pal[i][1], db = b - pal[i][2];
        int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) bestDistance = d, best = i;
      }
      t[size_t(q)] = uint8_t(best);
    }
    return t;
  }();
  return table;
}

// The image formats a picture may hold, by the bytes their files start with (a PNM's
// second byte, its kind, is the reader's to check).
const struct {
  const char* signature;
  size_t length;
  ImageReader read;
} kFormats[] = {
    {"\xFF\xD8", 2, ReadJpeg}, {"\x89PNG\r\n\x1A\n", 8, ReadPng}, {"GIF8", 4, ReadGif},
    {"BM", 2, ReadBmp},        {"P", 1, ReadPnm},
};

bool ReadAt(const uint8_t* data, size_t size, size_t offset, ReadMode mode, Raster* out) {
  if (offset >= size) return false;
  data += offset, size -= offset;
  for (const auto& f : kFormats)
    if (size >= f.length && std::memcmp(data, f.signature, f.length) == 0) return f.read(data, size, mode, out);
  return false;
}

// Where an image may start: the file itself, after a record's header, or where an
// image signature stands further in. A bounded number of tries, so hostile data full
// of signatures costs no more than a few passes.
template <typename Try>
bool FindImage(const uint8_t* data, size_t size, Try&& tryAt) {
  if (!data || size == 0) return false;
  if (tryAt(0) || tryAt(10)) return true;
  static const struct {
    const char* bytes;
    size_t length;
  } kSignatures[] = {{"\xFF\xD8\xFF", 3}, {"\x89PNG\r\n\x1A\n", 8}, {"GIF87a", 6}, {"GIF89a", 6}};
  int tries = 0;
  for (size_t at = 1; at < size && tries < 16; ++at) {
    if (at == 10) continue;
    for (const auto& s : kSignatures) {
      if (size - at >= s.length && std::memcmp(data + at, s.bytes, s.length) == 0) {
        ++tries;
        if (tryAt(at)) return true;
        break;
      }
    }
  }
  return false;
}

int16_t Native16(const uint8_t* data, size_t size, size_t at) {
  if (!data || at + 2 > size) return 0;
  int16_t v;
  std::memcpy(&v, data + at, sizeof v);
  return v;
}

uint8_t IndexOf(RGBColor c) { return NearestSystemIndex(uint8_t(c.red >> 8), uint8_t(c.green >> 8), uint8_t(c.blue >> 8)); }

}  // namespace

RGBColor SystemColor(int i) {
  i &= 255;
  static const uint8_t kRamp[10] = {0xEE, 0xDD, 0xBB, 0xAA, 0x88, 0x77, 0x55, 0x44, 0x22, 0x11};
  uint8_t r = 0, g = 0, b = 0;
  if (i < 215) {
    // The 6 x 6 x 6 cube from white down, black left out (it is the last entry).
    r = uint8_t((5 - i / 36) * 0x33);
    g = uint8_t((5 - i / 6 % 6) * 0x33);
    b = uint8_t((5 - i % 6) * 0x33);
  } else if (i < 225) {
    r = kRamp[i - 215];
  } else if (i < 235) {
    g = kRamp[i - 225];
  } else if (i < 245) {
    b = kRamp[i - 235];
  } else if (i < 255) {
    r = g = b = kRamp[i - 245];
  }
  return {uint16_t(r * 0x101), uint16_t(g * 0x101), uint16_t(b * 0x101)};
}

uint8_t NearestSystemIndex(uint8_t red, uint8_t green, uint8_t blue) {
  return NearestTable()[size_t(((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3))];
}

Offscreen* NewOffscreen(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
      int64_t(width) * height > kMaxImagePixels)
    return nullptr;
  if (!AllocationAllowed()) return nullptr;
  auto* image = new (std::nothrow) Offscreen;
  if (!image) return nullptr;
  image->width = width;
  image->height = height;
  image->rowBytes = (width + 3) & ~3;
  image->pixels = static_cast<uint8_t*>(std::malloc(size_t(image->rowBytes) * size_t(height)));
  if (!image->pixels) {
    delete image;
    return nullptr;
  }
  for (int i = 0; i < 256; ++i) image->colors[i] = SystemColor(i);
  return image;
}

void DisposeOffscreen(Offscreen* image) {
  if (!image) return;
  if (gTarget == image) gTarget = nullptr;
  std::free(image->pixels);
  delete image;
}

Offscreen* SetDrawingTarget(Offscreen* image) {
  Offscreen* previous = gTarget;
  gTarget = image;
  return previous;
}

Offscreen* DrawingTarget() { return gTarget; }

void SetForeColor(Offscreen* image, RGBColor color) {
  if (image) image->foreground = color;
}

void SetBackColor(Offscreen* image, RGBColor color) {
  if (image) image->background = color;
}

void EraseOffscreen(Offscreen* image) {
  if (!image || !image->pixels) return;
  std::memset(image->pixels, IndexOf(image->background), size_t(image->rowBytes) * size_t(image->height));
}

bool DrawPicture(Offscreen* image, const uint8_t* data, size_t size, Rect frame) {
  if (!image || !image->pixels) return false;
  Raster picture;
  if (!FindImage(data, size, [&](size_t at) { return ReadAt(data, size, at, ReadMode::kPixels, &picture); }))
    return false;
  int64_t frameWidth = int64_t(frame.right) - frame.left, frameHeight = int64_t(frame.bottom) - frame.top;
  if (frameWidth <= 0 || frameHeight <= 0) return true;
  int64_t y0 = std::max<int64_t>(frame.top, 0), y1 = std::min<int64_t>(frame.bottom, image->height);
  int64_t x0 = std::max<int64_t>(frame.left, 0), x1 = std::min<int64_t>(frame.right, image->width);
  for (int64_t y = y0; y < y1; ++y) {
    int64_t sy = (y - frame.top) * picture.height / frameHeight;
    const size_t channels = size_t(picture.channels);
    const uint8_t* source = picture.pixels + size_t(sy) * size_t(picture.width) * channels;
    uint8_t* row = image->pixels + size_t(y) * size_t(image->rowBytes);
    for (int64_t x = x0; x < x1; ++x) {
      const uint8_t* p = source + size_t((x - frame.left) * picture.width / frameWidth) * channels;
      uint8_t r = p[0], g = p[0], b = p[0];
      unsigned a = channels == 2 ? p[1] : channels == 4 ? p[3] : 255;
      if (channels >= 3) g = p[1], b = p[2];
      if (a == 0) continue;
      if (a < 255) {
        // Partly transparent: blended with the colour already there.
        RGBColor under = image->colors[row[x]];
        r = uint8_t((r * a + (under.red >> 8) * (255 - a) + 127) / 255);
        g = uint8_t((g * a + (under.green >> 8) * (255 - a) + 127) / 255);
        b = uint8_t((b * a + (under.blue >> 8) * (255 - a) + 127) / 255);
      }
      row[x] = NearestSystemIndex(r, g, b);
    }
  }
  return true;
}

uint8_t* LockPixels(Offscreen* image) {
  if (!image) return nullptr;
  ++image->lockCount;
  return image->pixels;
}

void UnlockPixels(Offscreen* image) {
  if (image && image->lockCount > 0) --image->lockCount;
}

Rect PictureFrame(const uint8_t* data, size_t size) {
  Raster image;
  if (data && ReadAt(data, size, 0, ReadMode::kSize, &image)) return {0, 0, image.height, image.width};
  return {Native16(data, size, 2), Native16(data, size, 4), Native16(data, size, 6), Native16(data, size, 8)};
}

}  // namespace platform
