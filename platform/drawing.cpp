// Offscreen 8-bit images, and pictures decoded with stb_image and drawn into them.
#include "platform/drawing.h"
#include "platform/memory.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

// Only the formats host pictures hold: the other stb decoders (TGA above all) would
// take almost any bytes for an image.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_ONLY_BMP
#define STBI_ONLY_PNM
#define STBI_MAX_DIMENSIONS 16384
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

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

struct Decoded {
  int width = 0, height = 0, channels = 0;  // 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA
  stbi_uc* rgba = nullptr;
  ~Decoded() { stbi_image_free(rgba); }
};

// stb_image builds a Huffman table from a DHT segment without checking that its 16
// counts add up to at most 256 symbols, and writes past the table when they do. Such a
// stream is refused before it gets there. The walk follows the segments and skips the
// entropy-coded data of each scan (where FF is always followed by 00 or a restart
// marker), so bytes inside other segments are never taken for a table.
bool JpegTablesSound(const uint8_t* p, size_t n) {
  if (n < 2 || p[0] != 0xFF || p[1] != 0xD8) return true;
  size_t at = 2;
  while (at + 1 < n) {
    if (p[at] != 0xFF) {
      ++at;  // stray byte: the decoder skips it too
      continue;
    }
    uint8_t m = p[at + 1];
    if (m == 0xFF) {
      ++at;  // fill byte
      continue;
    }
    at += 2;
    if (m == 0xD9) return true;
    if (m == 0xD8 || m == 0x01 || (m >= 0xD0 && m <= 0xD7)) continue;
    if (at + 2 > n) return true;
    size_t length = size_t(p[at] << 8 | p[at + 1]);
    if (length < 2) return true;  // the decoder refuses it
    size_t end = std::min(n, at + length);
    if (m == 0xC4) {
      // As the decoder reads it: tables until the length is used up, the counts of the
      // last one possibly beyond the segment (bytes past the data read as 0).
      int64_t left = int64_t(length) - 2;
      for (size_t t = at + 2; left > 0;) {
        size_t symbols = 0;
        for (size_t i = 0; i < 16 && t + 1 + i < n; ++i) symbols += p[t + 1 + i];
        if (symbols > 256) return false;
        t += 17 + symbols;
        left -= int64_t(17 + symbols);
      }
    }
    at = end;
    if (m == 0xDA) {
      while (at + 1 < n && !(p[at] == 0xFF && p[at + 1] != 0 && !(p[at + 1] >= 0xD0 && p[at + 1] <= 0xD7))) ++at;
    }
  }
  return true;
}

// A PNG whose chunk claims more bytes than follow cannot decode (the decoder needs the
// end chunk); refused here before the decoder reserves room for the claimed bytes,
// which may be up to 2 GiB.
// Empty image-data chunks (legal, and harmless to leave out) are noted in *emptyData:
// the decoder copies zero bytes to a null buffer for them.
bool PngChunksFit(const uint8_t* p, size_t n, bool* emptyData) {
  *emptyData = false;
  if (n < 8 || std::memcmp(p, "\x89PNG\r\n\x1A\n", 8) != 0) return true;
  for (size_t at = 8; at + 12 <= n;) {
    size_t length = size_t(p[at]) << 24 | size_t(p[at + 1]) << 16 | size_t(p[at + 2]) << 8 | p[at + 3];
    if (length > n - at - 12) return false;
    if (std::memcmp(p + at + 4, "IEND", 4) == 0) return true;
    if (length == 0 && std::memcmp(p + at + 4, "IDAT", 4) == 0) *emptyData = true;
    at += 12 + length;
  }
  return false;
}

// The PNG without its empty image-data chunks.
std::string WithoutEmptyData(const uint8_t* p, size_t n) {
  std::string out(reinterpret_cast<const char*>(p), 8);
  for (size_t at = 8; at + 12 <= n;) {
    size_t length = size_t(p[at]) << 24 | size_t(p[at + 1]) << 16 | size_t(p[at + 2]) << 8 | p[at + 3];
    if (!(length == 0 && std::memcmp(p + at + 4, "IDAT", 4) == 0))
      out.append(reinterpret_cast<const char*>(p + at), 12 + length);
    if (std::memcmp(p + at + 4, "IEND", 4) == 0) break;
    at += 12 + length;
  }
  return out;
}

bool DecodeAt(const uint8_t* data, size_t size, size_t offset, int* w, int* h, Decoded* out) {
  if (offset >= size) return false;
  bool emptyData = false;
  if (!JpegTablesSound(data + offset, size - offset) || !PngChunksFit(data + offset, size - offset, &emptyData))
    return false;
  std::string cleaned;
  if (emptyData) {
    cleaned = WithoutEmptyData(data + offset, size - offset);
    data = reinterpret_cast<const uint8_t*>(cleaned.data());
    size = cleaned.size();
    offset = 0;
  }
  int length = int(std::min<size_t>(size - offset, INT_MAX));
  int comp = 0;
  if (!stbi_info_from_memory(data + offset, length, w, h, &comp)) return false;
  if (*w <= 0 || *h <= 0 || *w > kMaxImageSide || *h > kMaxImageSide || int64_t(*w) * *h > kMaxImagePixels)
    return false;
  if (!out) return true;
  // The image's own channels: stb's conversion to another count treats 16-bit PNM
  // samples as 8-bit ones and then reads past its buffer.
  int dw = 0, dh = 0;
  out->rgba = stbi_load_from_memory(data + offset, length, &dw, &dh, &comp, 0);
  if (out->rgba && (dw != *w || dh != *h || comp < 1 || comp > 4)) {
    stbi_image_free(out->rgba);  // the next place tried starts afresh
    out->rgba = nullptr;
  }
  if (!out->rgba) return false;
  out->width = dw;
  out->height = dh;
  out->channels = comp;
  return true;
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
  Decoded picture;
  int w = 0, h = 0;
  if (!FindImage(data, size, [&](size_t at) { return DecodeAt(data, size, at, &w, &h, &picture); })) return false;
  int64_t frameWidth = int64_t(frame.right) - frame.left, frameHeight = int64_t(frame.bottom) - frame.top;
  if (frameWidth <= 0 || frameHeight <= 0) return true;
  int64_t y0 = std::max<int64_t>(frame.top, 0), y1 = std::min<int64_t>(frame.bottom, image->height);
  int64_t x0 = std::max<int64_t>(frame.left, 0), x1 = std::min<int64_t>(frame.right, image->width);
  for (int64_t y = y0; y < y1; ++y) {
    int64_t sy = (y - frame.top) * picture.height / frameHeight;
    const size_t channels = size_t(picture.channels);
    const stbi_uc* source = picture.rgba + size_t(sy) * size_t(picture.width) * channels;
    uint8_t* row = image->pixels + size_t(y) * size_t(image->rowBytes);
    for (int64_t x = x0; x < x1; ++x) {
      const stbi_uc* p = source + size_t((x - frame.left) * picture.width / frameWidth) * channels;
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
  int w = 0, h = 0;
  if (data && size > 0 && DecodeAt(data, size, 0, &w, &h, nullptr)) return {0, 0, h, w};
  return {Native16(data, size, 2), Native16(data, size, 4), Native16(data, size, 6), Native16(data, size, 8)};
}

}  // namespace platform
