// BMP and PNM headers of every layout and their refusals, and the drawing services given
// no image or an empty frame.
#include <gtest/gtest.h>

#include <string>

#include "platform/bmp_pnm.h"
#include "platform/drawing.h"

namespace {

using namespace platform;

std::string Le(uint32_t v, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += char(v >> (8 * i));
  return s;
}

// A BMP: the Windows info header of `infoSize` bytes (12: the OS/2 one), `extra` after
// its first 40 bytes (masks), then the pixel rows.
std::string Bmp(uint32_t infoSize, uint16_t bpp, uint32_t compression, const std::string& extra,
                const std::string& pixels) {
  std::string info = infoSize == 12 ? Le(12, 4) + Le(1, 2) + Le(1, 2) + Le(1, 2) + Le(bpp, 2)
                                    : Le(infoSize, 4) + Le(1, 4) + Le(1, 4) + Le(1, 2) + Le(bpp, 2) +
                                          Le(compression, 4) + std::string(20, '\0') + extra;
  if (info.size() < infoSize) info.resize(infoSize, '\0');
  uint32_t at = uint32_t(14 + info.size());
  return "BM" + Le(at + uint32_t(pixels.size()), 4) + Le(0, 4) + Le(at, 4) + info + pixels;
}

const std::string kMasks = Le(0xFF0000, 4) + Le(0xFF00, 4) + Le(0xFF, 4);

TEST(BitmapEdges, HeadersOfEveryLayoutAndTheirRefusals) {
  struct Row {
    const char* what;
    std::string bytes;
    ImageReader read;
    bool ok;
    uint8_t px[4] = {};  // the first pixel, when ok
  } rows[] = {
      {"OS/2 header with 16 bits", Bmp(12, 16, 0, "", "\0\0\0\0"), ReadBmp, false},
      {"unknown header size", Bmp(64, 24, 0, "", "\1\2\3\0"), ReadBmp, false},
      {"version 4 header", Bmp(108, 24, 0, "", std::string("\x0A\x14\x1E\0", 4)), ReadBmp, true, {30, 20, 10}},
      {"version 5 header, masks", Bmp(124, 32, 3, kMasks + Le(0xFF000000, 4), std::string("\x0A\x14\x1E\x80", 4)),
       ReadBmp, true, {30, 20, 10, 128}},
      {"masks for 24 bits", Bmp(40, 24, 3, kMasks, "\1\2\3\0"), ReadBmp, false},
      {"masks cut off", Bmp(40, 32, 3, "", "").substr(0, 60), ReadBmp, false},
      {"a mask without bits", Bmp(40, 32, 3, Le(0, 4) + Le(0xFF00, 4) + Le(0xFF, 4), "\1\2\3\4"), ReadBmp, false},
      // 32 bits whose alpha is zero everywhere: written without alpha, drawn opaque.
      {"32 bits, no alpha", Bmp(40, 32, 0, "", std::string("\x0A\x14\x1E\0", 4)), ReadBmp, true, {30, 20, 10, 255}},
      {"grey of maximum 100", "P5 1 1 100\n\x32", ReadPnm, true, {128}},
      {"comment ended by CR", "P5 #note\r1 1 255\n\x07", ReadPnm, true, {7}},
      {"bitmap digit past 1", "P1 2 1\n2 1", ReadPnm, true, {0}},
      {"bitmap cut short", "P4 9 2\n\x80", ReadPnm, true, {0}},
  };
  for (const Row& row : rows) {
    Raster r;
    ASSERT_EQ(row.read(reinterpret_cast<const uint8_t*>(row.bytes.data()), row.bytes.size(), ReadMode::kPixels, &r),
              row.ok)
        << row.what;
    if (!row.ok) continue;
    for (int c = 0; c < r.channels; ++c) EXPECT_NEAR(r.pixels[c], row.px[c], 1) << row.what << " channel " << c;
  }
}

TEST(BitmapEdges, DrawingWithoutAnImage) {
  const uint8_t pnm[] = "P5 1 1 255\n\x07";
  DisposeOffscreen(nullptr);
  SetForeColor(nullptr, RGBColor{});
  SetBackColor(nullptr, RGBColor{});
  EraseOffscreen(nullptr);
  UnlockPixels(nullptr);
  EXPECT_EQ(LockPixels(nullptr), nullptr);
  EXPECT_FALSE(DrawPicture(nullptr, pnm, sizeof pnm - 1, Rect{0, 0, 1, 1}));
  EXPECT_EQ(PictureFrame(nullptr, 10).bottom, 0);
  Offscreen* image = NewOffscreen(2, 2);
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(DrawPicture(image, pnm, sizeof pnm - 1, Rect{0, 0, 0, 2}));  // an empty frame draws nothing
  EXPECT_FALSE(DrawPicture(image, nullptr, 0, Rect{0, 0, 1, 1}));
  UnlockPixels(image);  // not locked: stays so
  DisposeOffscreen(image);
}

}  // namespace
