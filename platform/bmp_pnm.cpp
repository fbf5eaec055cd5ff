// Bounded BMP and PNM readers. Every header field is checked against the data and the
// image bounds before anything is reserved; offsets and sizes are 64-bit sums of
// values under 2^32, so none can wrap; rows are read only as far as the data goes.
#include "platform/bmp_pnm.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace platform {
namespace {

uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }

// ---- BMP ---------------------------------------------------------------------------------

constexpr uint32_t kBmpUncompressed = 0, kBmpMasks = 3;

// One colour mask of a direct-colour BMP: the bits of a pixel value it selects, scaled
// to 8 bits. Masks need not be contiguous; whatever they select stays within 0..255.
struct Mask {
  uint32_t bits = 0;
  int shift = 0;
  uint64_t max = 0;

  Mask() = default;
  explicit Mask(uint32_t m) : bits(m), shift(m ? std::countr_zero(m) : 0), max(m >> shift) {}
  uint8_t operator()(uint32_t v) const {
    if (!max) return 0;
    uint64_t x = (v & bits) >> shift;
    return uint8_t((x * 255 + max / 2) / max);
  }
};

struct BmpHeader {
  int64_t width = 0, height = 0;
  bool topDown = false;
  uint32_t bitsPerPixel = 0;
  uint64_t pixelsAt = 0;   // where the rows start
  uint64_t tableAt = 0;    // the colour table, for 8 bits per pixel and fewer
  uint64_t entrySize = 4;  // bytes per colour-table entry
  uint64_t colors = 0;     // colour-table entries present
  Mask red, green, blue, alpha;
};

// The info header's size names its layout: 12 the OS/2 core header (16-bit sides),
// the others the Windows header and its extensions (masks inside from 56 bytes on).
bool ParseBmpHeader(const uint8_t* d, size_t n, BmpHeader* h) {
  if (n < 18 || d[0] != 'B' || d[1] != 'M') return false;
  const uint64_t infoSize = Le32(d + 14);
  if (infoSize != 12 && infoSize != 40 && infoSize != 56 && infoSize != 108 && infoSize != 124) return false;
  if (n < 14 + infoSize) return false;
  const uint8_t* info = d + 14;
  uint32_t planes = 0, compression = kBmpUncompressed, used = 0;
  if (infoSize == 12) {
    h->width = Le16(info + 4);
    h->height = Le16(info + 6);
    planes = Le16(info + 8);
    h->bitsPerPixel = Le16(info + 10);
    h->entrySize = 3;
  } else {
    h->width = int32_t(Le32(info + 4));
    h->height = int32_t(Le32(info + 8));  // negative: rows run top-down
    planes = Le16(info + 12);
    h->bitsPerPixel = Le16(info + 14);
    compression = Le32(info + 16);
    used = Le32(info + 32);
  }
  if (h->height < 0) h->topDown = true, h->height = -h->height;
  if (planes != 1 || !WithinImageBounds(h->width, h->height)) return false;
  const uint32_t bpp = h->bitsPerPixel;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  if (infoSize == 12 && (bpp == 16 || bpp == 32)) return false;

  uint64_t tableAt = 14 + infoSize;
  if (compression == kBmpMasks) {
    if (bpp != 16 && bpp != 32) return false;
    if (infoSize == 40) {  // the three masks follow the header
      if (n < tableAt + 12) return false;
      tableAt += 12;
    }
    const uint8_t* masks = info + 40;
    h->red = Mask(Le32(masks));
    h->green = Mask(Le32(masks + 4));
    h->blue = Mask(Le32(masks + 8));
    if (infoSize >= 56) h->alpha = Mask(Le32(masks + 12));
    if (!h->red.bits || !h->green.bits || !h->blue.bits) return false;
  } else if (compression == kBmpUncompressed) {
    if (bpp == 16) h->red = Mask(0x7C00), h->green = Mask(0x03E0), h->blue = Mask(0x001F);
    if (bpp == 32) {
      h->red = Mask(0xFF0000), h->green = Mask(0xFF00), h->blue = Mask(0xFF);
      h->alpha = Mask(0xFF000000);
    }
  } else {
    return false;  // run-length encoded, or a JPEG or PNG inside
  }

  h->pixelsAt = Le32(d + 10);
  if (h->pixelsAt < tableAt || h->pixelsAt >= n) return false;
  if (bpp <= 8) {
    // The table lies between the headers and the rows; a count it names beyond that
    // room, or beyond what the pixels can index, is not believed.
    const uint64_t most = uint64_t(1) << bpp;
    h->colors = std::min({used ? uint64_t(used) : most, most, (h->pixelsAt - tableAt) / h->entrySize});
    h->tableAt = tableAt;
    if (h->colors == 0) return false;
  }
  return true;
}

// Decodes one row of `h.width` pixels from `src` (a whole stride) into `dst` with 3 or
// 4 channels; returns the alpha values or-ed together.
uint32_t BmpRow(const BmpHeader& h, const uint8_t (*palette)[3], const uint8_t* src, uint8_t* dst,
                int channels) {
  uint32_t alphaSeen = 0;
  for (int64_t x = 0; x < h.width; ++x, dst += channels) {
    switch (h.bitsPerPixel) {
      case 1:
      case 4:
      case 8: {
        const uint32_t bpp = h.bitsPerPixel;
        const uint64_t bit = uint64_t(x) * bpp;
        const uint32_t index = (src[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
        std::memcpy(dst, palette[index], 3);
        break;
      }
      case 24:
        dst[0] = src[3 * x + 2], dst[1] = src[3 * x + 1], dst[2] = src[3 * x];
        break;
      default: {
        const uint32_t v = h.bitsPerPixel == 16 ? Le16(src + 2 * x) : Le32(src + 4 * x);
        dst[0] = h.red(v), dst[1] = h.green(v), dst[2] = h.blue(v);
        if (channels == 4) alphaSeen |= dst[3] = h.alpha(v);
      }
    }
  }
  return alphaSeen;
}

// ---- PNM ---------------------------------------------------------------------------------

bool IsPnmSpace(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// Whitespace and comments (from '#' to the end of the line).
void SkipPnmSpace(const uint8_t* d, size_t n, size_t* at) {
  while (*at < n) {
    if (IsPnmSpace(d[*at])) {
      ++*at;
    } else if (d[*at] == '#') {
      while (*at < n && d[*at] != '\n' && d[*at] != '\r') ++*at;
    } else {
      break;
    }
  }
}

// A header number: set apart from what precedes it, decimal, at most `limit`.
bool PnmNumber(const uint8_t* d, size_t n, size_t* at, uint32_t limit, uint32_t* value) {
  const size_t start = *at;
  SkipPnmSpace(d, n, at);
  if (*at == start || *at >= n || !IsDigit(d[*at])) return false;
  uint32_t v = 0;
  for (; *at < n && IsDigit(d[*at]); ++*at) {
    v = v * 10 + uint32_t(d[*at] - '0');
    if (v > limit) return false;
  }
  *value = v;
  return true;
}

uint8_t Scaled(uint32_t v, uint32_t maxval) {
  v = std::min(v, maxval);
  return uint8_t((v * 255 + maxval / 2) / maxval);
}

// Text samples: numbers set apart by whitespace (a bitmap's digits need not be), each
// scaled; stops at the first thing that is not one.
void PnmTextSamples(const uint8_t* d, size_t n, size_t at, bool bitmap, uint32_t maxval, uint8_t* out,
                    uint64_t count) {
  for (uint64_t i = 0; i < count; ++i) {
    SkipPnmSpace(d, n, &at);
    if (at >= n || !IsDigit(d[at])) return;
    if (bitmap) {
      if (d[at] > '1') return;
      out[i] = d[at++] == '1' ? 0 : 255;  // 1 is black
      continue;
    }
    uint32_t v = 0;
    for (; at < n && IsDigit(d[at]); ++at) v = std::min<uint32_t>(v * 10 + uint32_t(d[at] - '0'), 65536);
    out[i] = Scaled(v, maxval);
  }
}

void PnmBinarySamples(const uint8_t* d, size_t n, size_t at, uint32_t maxval, uint8_t* out, uint64_t count) {
  const uint64_t wide = maxval > 255 ? 2 : 1;
  count = std::min<uint64_t>(count, (n - at) / wide);
  const uint8_t* src = d + at;
  if (maxval == 255) {
    std::memcpy(out, src, count);
  } else if (wide == 1) {
    for (uint64_t i = 0; i < count; ++i) out[i] = Scaled(src[i], maxval);
  } else {
    for (uint64_t i = 0; i < count; ++i) out[i] = Scaled(uint32_t(src[2 * i]) << 8 | src[2 * i + 1], maxval);
  }
}

// Packed bitmap rows, each starting on a byte.
void PnmBitmapRows(const uint8_t* d, size_t n, size_t at, Raster* out) {
  const uint64_t rowBytes = (uint64_t(out->width) + 7) / 8;
  for (int64_t y = 0; y < out->height; ++y) {
    const uint64_t rowAt = at + uint64_t(y) * rowBytes;
    uint8_t* dst = out->Row(y);
    for (int64_t x = 0; x < out->width; ++x) {
      if (rowAt + uint64_t(x) / 8 >= n) return;
      dst[x] = (d[rowAt + uint64_t(x) / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
    }
  }
}

}  // namespace

bool ReadBmp(const uint8_t* data, size_t size, ReadMode mode, Raster* out) {
  out->Release();
  BmpHeader h;
  if (!data || !ParseBmpHeader(data, size, &h)) return false;
  if (mode == ReadMode::kSize) {
    out->width = int32_t(h.width), out->height = int32_t(h.height);
    return true;
  }
  const int channels = h.alpha.bits ? 4 : 3;
  if (!out->Allocate(h.width, h.height, channels)) return false;
  uint8_t palette[256][3] = {};  // indexes past the table are black
  for (uint64_t i = 0; i < h.colors; ++i) {
    const uint8_t* entry = data + h.tableAt + i * h.entrySize;
    palette[i][0] = entry[2], palette[i][1] = entry[1], palette[i][2] = entry[0];
  }
  const uint64_t stride = (uint64_t(h.width) * h.bitsPerPixel + 31) / 32 * 4;
  std::vector<uint8_t> lastRow;
  uint32_t alphaSeen = 0;
  for (int64_t r = 0; r < h.height; ++r) {
    const uint64_t at = h.pixelsAt + uint64_t(r) * stride;
    if (at >= size) break;
    const uint8_t* src = data + at;
    if (size - at < stride) {  // the data ends inside this row
      lastRow.assign(stride, 0);
      std::memcpy(lastRow.data(), src, size - at);
      src = lastRow.data();
    }
    alphaSeen |= BmpRow(h, palette, src, out->Row(h.topDown ? r : h.height - 1 - r), channels);
  }
  if (channels == 4 && alphaSeen == 0) {
    const size_t count = size_t(out->width) * size_t(out->height);
    for (size_t i = 0; i < count; ++i) out->pixels[4 * i + 3] = 255;
  }
  return true;
}

bool ReadPnm(const uint8_t* data, size_t size, ReadMode mode, Raster* out) {
  out->Release();
  if (!data || size < 2 || data[0] != 'P' || data[1] < '1' || data[1] > '6') return false;
  const int kind = data[1] - '0';
  const bool text = kind <= 3, bitmap = kind == 1 || kind == 4;
  size_t at = 2;
  uint32_t width = 0, height = 0, maxval = 1;
  if (!PnmNumber(data, size, &at, kMaxImageSide, &width) || !PnmNumber(data, size, &at, kMaxImageSide, &height) ||
      (!bitmap && !PnmNumber(data, size, &at, 65535, &maxval)))
    return false;
  if (maxval == 0 || !WithinImageBounds(width, height)) return false;
  // One whitespace character ends the header; binary samples start right after it.
  if (at >= size || !IsPnmSpace(data[at])) return false;
  ++at;
  if (mode == ReadMode::kSize) {
    out->width = int32_t(width), out->height = int32_t(height);
    return true;
  }
  const int channels = kind == 3 || kind == 6 ? 3 : 1;
  if (!out->Allocate(width, height, channels)) return false;
  const uint64_t count = uint64_t(width) * height * uint64_t(channels);
  if (text)
    PnmTextSamples(data, size, at, bitmap, maxval, out->pixels, count);
  else if (bitmap)
    PnmBitmapRows(data, size, at, out);
  else
    PnmBinarySamples(data, size, at, maxval, out->pixels, count);
  return true;
}

}  // namespace platform
