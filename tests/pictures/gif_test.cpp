// Drawing pictures into the 8-bit offscreen image and VRX_PictureToGif. The GIFs are
// read back by PIL and by a small LZW reader here that also checks the code stream.
#include <random>

#include "platform/drawing.h"
#include "platform/memory.h"
#include "tests/pictures/helpers.h"
#include "pictures/gif.h"

namespace picturetest {
namespace {

// VRX_PictureToGif; the GIF's bytes ("" for a 0 result). The handle is disposed of.
std::string PictureToGif(Host& h, Value& picture, int32_t flags = 0, int32_t width = 0, int32_t height = 0,
                         int32_t column = 0, int32_t row = 0, int32_t* result = nullptr) {
  Value f = Value::Long(flags), w = Value::Long(width), ht = Value::Long(height), c = Value::Long(column),
        r = Value::Long(row);
  int32_t handle = CallLong(h, "VRX_PictureToGif", {&picture, &f, &w, &ht, &c, &r});
  if (result) *result = handle;
  if (!handle) return "";
  std::string bytes(reinterpret_cast<const char*>(platform::HandleAddress(vrx::Handle(handle))),
                    size_t(platform::HandleSize(vrx::Handle(handle))));
  platform::DisposeHandle(vrx::Handle(handle));
  return bytes;
}

// PIL's reading of a GIF: "w h transparency" on the first line, then one line of hex
// RGB per row.
std::vector<std::string> PilRead(const TempDir& dir, const std::string& gif) {
  WriteFile(dir / "read.gif", gif);
  WriteFile(dir / "read.py",
            "import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1]); im.load()\n"
            "print(im.format, im.width, im.height, im.info.get('transparency', -1))\n"
            "rgb = im.convert('RGB')\n"
            "for y in range(im.height):\n"
            "  print(b''.join(bytes(rgb.getpixel((x, y))) for x in range(im.width)).hex())\n");
  int status = -1;
  std::string out = Shell("/usr/bin/python3 " + dir / "read.py" + " " + dir / "read.gif 2>&1", &status);
  EXPECT_EQ(status, 0) << out;
  return Lines(out);
}

std::string HexColor(platform::RGBColor c) {
  char s[7];
  snprintf(s, sizeof s, "%02x%02x%02x", c.red >> 8, c.green >> 8, c.blue >> 8);
  return s;
}

// Reads the image data of a GIF made by the writer (global table of 256, optional
// graphic control extension): the pixel indexes in stream order, and checks the code
// stream on the way: codes within the table, a clear code as soon as 4096 codes are
// used, widths as a decoder expects them.
struct LzwRead {
  bool ok = false;
  std::vector<uint8_t> pixels;
  int clears = 0;
  std::string error;
};

LzwRead ReadLzw(const std::string& gif) {
  LzwRead r;
  size_t at = 6 + 7 + 768;
  if (gif.size() > at && uint8_t(gif[at]) == 0x21) at += 8;
  if (gif.size() < at + 11) return r.error = "short", r;
  at += 10;
  int minimum = uint8_t(gif[at++]);
  std::string data;
  while (at < gif.size() && gif[at] != 0) {
    size_t n = uint8_t(gif[at]);
    if (n > 254) return r.error = "sub-block over 254", r;
    data += gif.substr(at + 1, n);
    at += n + 1;
  }
  const int clear = 1 << minimum, end = clear + 1;
  int width = minimum + 1;
  std::vector<std::vector<uint8_t>> table;
  auto reset = [&] {
    table.clear();
    for (int i = 0; i < clear + 2; ++i) table.push_back({uint8_t(i)});
    width = minimum + 1;
  };
  reset();
  size_t bit = 0;
  int previous = -1;
  bool sawClear = false;
  for (;;) {
    if (bit + size_t(width) > data.size() * 8) return r.error = "no end code", r;
    int code = 0;
    for (int k = 0; k < width; ++k, ++bit) code |= ((uint8_t(data[bit / 8]) >> (bit % 8)) & 1) << k;
    if (code == clear) {
      if (sawClear && table.size() != 4096) return r.error = "clear before the table is full", r;
      sawClear = true;
      ++r.clears;
      reset();
      previous = -1;
      continue;
    }
    if (code == end) break;
    if (table.size() == 4096 && previous >= 0) return r.error = "no clear code at 4096", r;
    std::vector<uint8_t> entry;
    if (code < int(table.size())) {
      entry = table[size_t(code)];
      if (previous >= 0) {
        auto added = table[size_t(previous)];
        added.push_back(entry[0]);
        table.push_back(added);
      }
    } else if (code == int(table.size()) && previous >= 0) {
      entry = table[size_t(previous)];
      entry.push_back(entry[0]);
      table.push_back(entry);
    } else {
      return r.error = "code beyond the table", r;
    }
    r.pixels.insert(r.pixels.end(), entry.begin(), entry.end());
    previous = code;
    if (int(table.size()) == (1 << width) && width < 12) ++width;
  }
  r.ok = true;
  return r;
}

TEST(SystemPalette, TheClassicEightBitTable) {
  EXPECT_EQ(HexColor(platform::SystemColor(0)), "ffffff");
  EXPECT_EQ(HexColor(platform::SystemColor(1)), "ffffcc");
  EXPECT_EQ(HexColor(platform::SystemColor(35)), "ff0000");
  EXPECT_EQ(HexColor(platform::SystemColor(214)), "000033");
  EXPECT_EQ(HexColor(platform::SystemColor(215)), "ee0000");
  EXPECT_EQ(HexColor(platform::SystemColor(245)), "eeeeee");
  EXPECT_EQ(HexColor(platform::SystemColor(254)), "111111");
  EXPECT_EQ(HexColor(platform::SystemColor(255)), "000000");
  for (int i = 0; i < 256; ++i) {
    platform::RGBColor c = platform::SystemColor(i);
    EXPECT_EQ(platform::NearestSystemIndex(uint8_t(c.red >> 8), uint8_t(c.green >> 8), uint8_t(c.blue >> 8)), i);
  }
}

TEST(Offscreen, LimitsEraseAndDrawScaled) {
  EXPECT_EQ(platform::NewOffscreen(0, 5), nullptr);
  EXPECT_EQ(platform::NewOffscreen(5, -1), nullptr);
  EXPECT_EQ(platform::NewOffscreen(100000, 100000), nullptr);
  EXPECT_EQ(platform::NewOffscreen(16384, 16384), nullptr);  // more pixels than allowed
  platform::Offscreen* img = platform::NewOffscreen(5, 3);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->rowBytes, 8);
  platform::Offscreen* before = platform::SetDrawingTarget(img);
  EXPECT_EQ(platform::DrawingTarget(), img);
  platform::SetBackColor(img, platform::SystemColor(35));
  platform::EraseOffscreen(img);
  uint8_t* px = platform::LockPixels(img);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(px[y * 8 + x], 35);
  // A 2 x 1 PPM (black, white) drawn into (1, 1)-(3, 5): each source pixel covers two
  // columns; the rest keeps the background.
  std::string ppm = std::string("P6 2 1 255\n") + std::string("\0\0\0\xFF\xFF\xFF", 6);
  EXPECT_TRUE(platform::DrawPicture(img, reinterpret_cast<const uint8_t*>(ppm.data()), ppm.size(), {1, 1, 3, 5}));
  const uint8_t expect[3][5] = {{35, 35, 35, 35, 35}, {35, 255, 255, 0, 0}, {35, 255, 255, 0, 0}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(px[y * 8 + x], expect[y][x]) << x << "," << y;
  // Not an image: nothing drawn.
  EXPECT_FALSE(platform::DrawPicture(img, reinterpret_cast<const uint8_t*>("junk"), 4, {0, 0, 3, 5}));
  platform::UnlockPixels(img);
  platform::SetDrawingTarget(before);
  platform::DisposeOffscreen(img);
}

TEST(Offscreen, FrameOfImageFilesAndRecords) {
  std::string ppm = std::string("P6 7 4 255\n") + std::string(7 * 4 * 3, '\x40');
  platform::Rect r = platform::PictureFrame(reinterpret_cast<const uint8_t*>(ppm.data()), ppm.size());
  EXPECT_EQ(r.bottom, 4);
  EXPECT_EQ(r.right, 7);
  std::string rec = PictureRecord(2, 3, 40, 50, ppm);
  r = platform::PictureFrame(reinterpret_cast<const uint8_t*>(rec.data()), rec.size());
  EXPECT_EQ(r.top, 2);
  EXPECT_EQ(r.left, 3);
  EXPECT_EQ(r.bottom, 40);
  EXPECT_EQ(r.right, 50);
}

TEST(GifWriter, RefusesImagesItCannotDescribe) {
  uint16_t palette[256][3] = {};
  std::vector<uint8_t> px(16);
  const vrx::GifSource bad[] = {
      {nullptr, 4, 4, 4, palette}, {px.data(), 4, 4, 4, nullptr}, {px.data(), 4, 0, 4, palette},
      {px.data(), 4, 4, -1, palette}, {px.data(), 3, 4, 4, palette},  // rows shorter than the width
      {px.data(), 0x10000, 0x10000, 1, palette}, {px.data(), 4, 4, 0x10000, palette}};
  for (const vrx::GifSource& src : bad) {
    std::string gif = "kept";
    EXPECT_FALSE(vrx::WriteGif(src, false, -1, gif)) << src.width << "x" << src.height;
    EXPECT_EQ(gif, "kept");
  }
}

TEST(GifWriter, OneWhitePixelIsClearPixelEndInNineBits) {
  uint16_t palette[256][3] = {};
  uint8_t white = 0;
  vrx::GifSource src{&white, 1, 1, 1, palette};
  std::string gif;
  ASSERT_TRUE(vrx::WriteGif(src, false, -1, gif));
  ASSERT_EQ(gif.size(), 6u + 7 + 768 + 10 + 1 + 5 + 2);
  EXPECT_EQ(gif.substr(0, 6), "GIF87a");
  EXPECT_EQ(Hex(gif.substr(6, 7)), "01000100f70000");
  EXPECT_EQ(Hex(gif.substr(781)), "2c000000000100010000" "08" "0400010404" "003b");
}

TEST(GifWriter, NoisyImageFillsTheTableAndStartsAgain) {
  std::mt19937 rng(3);
  const int w = 301, h = 97;  // odd sizes: the stride is wider than a row
  std::vector<uint8_t> pixels(size_t(304 * h));
  for (auto& p : pixels) p = uint8_t(rng());
  uint16_t palette[256][3] = {};
  for (bool interlace : {false, true}) {
    std::string gif;
    ASSERT_TRUE(vrx::WriteGif({pixels.data(), 304, w, h, palette}, interlace, -1, gif));
    LzwRead read = ReadLzw(gif);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_GT(read.clears, 3);
    ASSERT_EQ(read.pixels.size(), size_t(w * h));
    // Rows in GIF order.
    std::vector<int> rows;
    if (!interlace) {
      for (int y = 0; y < h; ++y) rows.push_back(y);
    } else {
      for (int pass = 0; pass < 4; ++pass)
        for (int y = (int[]){0, 4, 2, 1}[pass]; y < h; y += (int[]){8, 8, 4, 2}[pass]) rows.push_back(y);
    }
    for (size_t i = 0; i < rows.size(); ++i)
      ASSERT_EQ(0, memcmp(&read.pixels[i * w], &pixels[size_t(rows[i]) * 304], w)) << "row " << rows[i];
  }
}

TEST(GifWriter, InterlacePassesBeyondTheLastRowAreSkipped) {
  uint16_t palette[256][3] = {};
  for (int h : {1, 2, 3, 5}) {
    std::vector<uint8_t> px(size_t(h) * 4);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < 4; ++x) px[size_t(y * 4 + x)] = uint8_t(y);
    std::string gif;
    ASSERT_TRUE(vrx::WriteGif({px.data(), 4, 4, h, palette}, true, -1, gif));
    LzwRead read = ReadLzw(gif);
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(read.pixels.size(), size_t(4 * h));
  }
}

// ---- the command ---------------------------------------------------------------------------

// A picture of palette colours, so the GIF must give them back exactly.
std::string Stripes(const TempDir& dir, int w, int h) {
  return MakeImage(dir, "cols = [(255,0,0),(0,255,0),(0,0,255),(255,255,255),(0,0,0),(51,102,153)]\n"
                        "im = Image.new('RGB', (" + std::to_string(w) + ", " + std::to_string(h) + "))\n"
                        "im.putdata([cols[(x // 3 + y) % 6] for y in range(im.height) for x in range(im.width)])\n"
                        "im.save(sys.argv[1], 'PNG')\n");
}

std::string StripeRow(int w, int y, int scale = 1) {
  static const char* cols[] = {"ff0000", "00ff00", "0000ff", "ffffff", "000000", "336699"};
  std::string row;
  for (int x = 0; x < w * scale; ++x) row += cols[(x / scale / 3 + y) % 6];
  return row;
}

TEST(PictureToGif, PilReadsBackThePictureAtItsSizeAndScaled) {
  TempDir dir;
  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  Value png = Value::Picture(Stripes(dir, 37, 23));
  for (int32_t flags : {0, 1}) {
    std::string gif = PictureToGif(h, png, flags);
    EXPECT_EQ(gif.substr(0, 6), "GIF87a");
    EXPECT_EQ(gif[6 + 7 + 768], '\x2C');  // no extension block
    EXPECT_EQ(uint8_t(gif[6 + 7 + 768 + 9]), flags ? 0x40 : 0);
    std::vector<std::string> lines = PilRead(dir, gif);
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[0], "GIF 37 23 -1");
    for (int y = 0; y < 23; ++y) ASSERT_EQ(lines[size_t(y) + 1], StripeRow(37, y)) << y;
  }
  // Twice the size: every pixel twice across and down.
  std::vector<std::string> lines = PilRead(dir, PictureToGif(h, png, 0, 74, 46));
  ASSERT_EQ(lines.size(), 47u);
  for (int y = 0; y < 46; ++y) ASSERT_EQ(lines[size_t(y) + 1], StripeRow(37, y / 2, 2)) << y;
}

TEST(PictureToGif, TransparentColourOfTheChosenPixel) {
  TempDir dir;
  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  Value png = Value::Picture(Stripes(dir, 12, 4));
  // Column 4, row 1: stripe (4 / 3 + 1) % 6 = 2, blue, palette index 210.
  std::string gif = PictureToGif(h, png, 2, 0, 0, 4, 1);
  ASSERT_EQ(gif.substr(0, 6), "GIF89a");
  EXPECT_EQ(Hex(gif.substr(6 + 7 + 768, 8)), "21f904010000d2" "00");
  std::vector<std::string> lines = PilRead(dir, gif);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "GIF 12 4 210");
  // A pixel outside the image names no colour.
  EXPECT_EQ(PictureToGif(h, png, 2, 0, 0, 12, 0).substr(0, 6), "GIF87a");
  EXPECT_EQ(PictureToGif(h, png, 2, 0, 0, 0, -1).substr(0, 6), "GIF87a");
}

TEST(PictureToGif, JpegInsideARecordIsDrawnAtTheRecordsFrame) {
  TempDir dir;
  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  std::string jpeg = MakeImage(dir, "Image.new('RGB', (16, 8), (255, 0, 0)).save(sys.argv[1], 'JPEG')\n");
  Value rec = Value::Picture(PictureRecord(0, 0, 8, 16, jpeg, 590, "trailing bytes"));
  std::vector<std::string> lines = PilRead(dir, PictureToGif(h, rec));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "GIF 16 8 -1");
  std::string red;
  for (int i = 0; i < 16; ++i) red += "ff0000";
  for (size_t y = 1; y < lines.size(); ++y) EXPECT_EQ(lines[y], red);
  // A record without a decodable image is a white GIF of its frame.
  Value blank = Value::Picture(PictureRecord(0, 0, 2, 3, "no image"));
  lines = PilRead(dir, PictureToGif(h, blank));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "ffffffffffffffffff");
}

TEST(PictureToGif, MissingEmptyHugeAndLyingPicturesGiveZeroOrAGif) {
  TempDir dir;
  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  int32_t result = -1;
  Value empty = Value::Picture("");
  Value flat = Value::Picture(PictureRecord(5, 5, 5, 9, ""));
  Value upside = Value::Picture(PictureRecord(9, 9, 1, 1, ""));
  int32_t before = platform::LiveHandleCount();
  EXPECT_EQ(PictureToGif(h, empty, 0, 0, 0, 0, 0, &result), "");
  EXPECT_EQ(result, 0);
  // An empty frame, a negative one, a huge one: no image can be made.
  EXPECT_EQ(PictureToGif(h, flat, 0, 0, 0, 0, 0, &result), "");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(PictureToGif(h, upside, 0, 0, 0, 0, 0, &result), "");
  EXPECT_EQ(PictureToGif(h, flat, 0, 1 << 30, 1 << 30, 0, 0, &result), "");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(platform::LiveHandleCount(), before);
  // Headers that promise more than the data holds: a PNG of 16384 x 16384 cut after its
  // header, a GIF screen of 65535 x 65535, a damaged JPEG. Each is a GIF of the size
  // asked for, drawn as far as the data allows.
  std::string png = Stripes(dir, 8, 8);
  std::string bigPng = png.substr(0, 33);
  bigPng[16] = bigPng[20] = 0;
  bigPng[18] = bigPng[22] = 0x40;
  std::string bigGif = "GIF89a\xFF\xFF\xFF\xFF\xF7\x00\x00" + std::string(768, '\x10') + ",";
  std::string jpeg = NoisyImage(dir, 32, 32, "JPEG");
  std::mt19937 rng(11);
  std::vector<std::string> pictures = {bigPng, bigGif, png.substr(0, png.size() / 2), jpeg.substr(0, 300)};
  for (int i = 0; i < 40; ++i) {
    std::string d = i % 2 ? jpeg : png;
    for (int k = 0; k < 6; ++k) d[size_t(rng() % d.size())] = char(rng());
    pictures.push_back(d);
  }
  for (const std::string& bytes : pictures) {
    Value p = Value::Picture(bytes);
    std::string gif = PictureToGif(h, p, 1, 10, 6, 0, 0, &result);
    ASSERT_NE(result, 0);
    LzwRead read = ReadLzw(gif);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.pixels.size(), 60u);
  }
}

}  // namespace
}  // namespace picturetest
