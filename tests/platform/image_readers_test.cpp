// The image readers on unusual and damaged images (made by Python's imaging library and
// then cut or patched): each either reads the picture or refuses it, never more.
#include <gtest/gtest.h>

#include "platform/jpeg_png_gif.h"
#include "tests/support.h"

namespace {

using namespace platform;

// Writes the images into `dir`: a CMYK JPEG, JPEGs with an impossible size, with two
// components and with 511 scans; GIFs on a larger screen with a background colour, taller
// than their screen (interlaced), without a colour table, with a huge frame, without an
// image, cut inside an extension, with short and opaque graphic control blocks, with a
// background past the table and with an empty frame; a JPEG and a PNG past the bounds.
const char kMake[] =
    "import sys, io, struct\n"
    "from PIL import Image\n"
    "out = sys.argv[1]\n"
    "def save(name, data): open(out + '/' + name, 'wb').write(data)\n"
    "def jpeg(im, **kw):\n"
    "    b = io.BytesIO(); im.save(b, 'JPEG', **kw); return b.getvalue()\n"
    "save('cmyk.jpg', jpeg(Image.new('CMYK', (3, 2), (0, 255, 255, 0))))\n"
    "grey = jpeg(Image.new('L', (3, 2), 128))\n"
    "sof = grey.index(b'\\xff\\xc0')\n"
    "# The frame claims a size past every bound.\n"
    "save('huge.jpg', grey[:sof + 5] + b'\\xff\\xff\\xff\\xff' + grey[sof + 9:])\n"
    "# Two components: a colour space no reader knows.\n"
    "n = struct.unpack('>H', grey[sof + 2:sof + 4])[0]\n"
    "seg = grey[sof + 4:sof + 2 + n]\n"
    "seg = seg[:5] + b'\\x02' + seg[6:] + b'\\x02\\x11\\x00'\n"
    "save('two.jpg', grey[:sof + 2] + struct.pack('>H', n + 3) + seg + grey[sof + 2 + n:])\n"
    "def gif(w, h, interlace):\n"
    "    im = Image.new('P', (w, h)); im.putpalette([255,0,0, 0,255,0, 0,0,255, 9,8,7])\n"
    "    im.putdata([i % 3 for i in range(w * h)])\n"
    "    b = io.BytesIO(); im.save(b, 'GIF', interlace=interlace, optimize=False); return b.getvalue()\n"
    "g = gif(4, 4, False)\n"
    "gi = gif(4, 12, True)\n"
    "prog = jpeg(Image.new('RGB', (8, 8), (10, 200, 30)), progressive=True)\n"
    "last = prog.rindex(b'\\xff\\xda')\n"
    "save('scans.jpg', prog[:last] + prog[last:-2] * 510 + b'\\xff\\xd9')\n"
    "head = g[:25]\n"
    "body = g[25:]\n"
    "def with_screen(b, w, h, bg):\n"
    "    return b[:6] + struct.pack('<HH', w, h) + b[10:11] + bytes([bg]) + b[12:]\n"
    "desc = bytearray(body)\n"
    "desc[1:5] = struct.pack('<HH', 1, 1)\n"
    "save('background.gif', with_screen(head, 6, 6, 3) + bytes(desc))\n"
    "tall = bytearray(gi)\n"
    "tall[25 + 9] |= 0x40\n"
    "save('tall.gif', with_screen(bytes(tall[:25]), 4, 5, 0) + bytes(tall[25:]))\n"
    "save('nomap.gif', g[:10] + b'\\x00' + g[11:13] + g[25:])\n"
    "wide = bytearray(body); wide[5:9] = struct.pack('<HH', 0xFFFF, 0xFFFF)\n"
    "save('hugeframe.gif', head + bytes(wide))\n"
    "save('noimage.gif', head + b';')\n"
    "save('cutextension.gif', head + b'!')\n"
    "save('cutblock.gif', head + b'!\\xfe\\x05ab')\n"
    "save('cutnextblock.gif', head + b'!\\xfe\\x02ab\\x05a')\n"
    "save('shortcontrol.gif', head + b'!\\xf9\\x03\\x01\\x00\\x00\\x00' + body)\n"
    "save('opaquecontrol.gif', head + b'!\\xf9\\x04\\x00\\x00\\x00\\x02\\x00' + body)\n"
    "save('pastmap.gif', with_screen(head, 6, 6, 200) + bytes(desc))\n"
    "empty = bytearray(body); empty[5:7] = b'\\x00\\x00'\n"
    "save('emptyframe.gif', with_screen(head, 6, 6, 1) + bytes(empty))\n"
    "save('wide.jpg', grey[:sof + 5] + struct.pack('>HH', 20000, 20000) + grey[sof + 9:])\n"
    "png = io.BytesIO(); Image.new('L', (2, 2)).save(png, 'PNG'); png = png.getvalue()\n"
    "save('wide.png', png[:16] + struct.pack('>II', 16000, 16000) + png[24:])\n"
    ;

struct Row {
  const char* file;
  ImageReader read;
  bool ok;
  int32_t width = 0, height = 0;
  int x = 0, y = 0;        // a pixel to look at, when ok
  uint8_t rgb[4] = {};     // its value (the alpha only with four channels)
};

TEST(ImageReaders, UnusualAndDamagedImages) {
  vrxtest::TempDir d;
  vrxtest::WriteFile(d / "make.py", kMake);
  int status = -1;
  std::string out = vrxtest::Shell("/usr/bin/python3 " + d / "make.py" + " " + d.path.string() + " 2>&1", &status);
  ASSERT_EQ(status, 0) << out;
  const Row rows[] = {
      {"cmyk.jpg", ReadJpeg, true, 3, 2, 2, 1, {255, 0, 0}},
      {"huge.jpg", ReadJpeg, false},
      {"two.jpg", ReadJpeg, false},
      {"scans.jpg", ReadJpeg, false},
      {"background.gif", ReadGif, true, 6, 6, 0, 0, {9, 8, 7, 255}},
      {"background.gif", ReadGif, true, 6, 6, 1, 1, {255, 0, 0, 255}},
      {"tall.gif", ReadGif, true, 4, 5, 0, 0, {255, 0, 0, 255}},
      {"nomap.gif", ReadGif, false},
      {"hugeframe.gif", ReadGif, false},
      {"noimage.gif", ReadGif, false},
      {"cutextension.gif", ReadGif, false},
      {"cutblock.gif", ReadGif, false},
      {"cutnextblock.gif", ReadGif, false},
      {"shortcontrol.gif", ReadGif, true, 4, 4, 1, 0, {0, 255, 0, 255}},
      {"opaquecontrol.gif", ReadGif, true, 4, 4, 2, 0, {0, 0, 255, 255}},
      {"pastmap.gif", ReadGif, true, 6, 6, 0, 0, {0, 0, 0, 255}},
      {"emptyframe.gif", ReadGif, true, 6, 6, 1, 1, {0, 255, 0, 255}},
      {"wide.jpg", ReadJpeg, false},
      {"wide.png", ReadPng, false},
  };
  for (const Row& row : rows) {
    std::string bytes = vrxtest::ReadFile(d / row.file);
    ASSERT_FALSE(bytes.empty()) << row.file;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    Raster r;
    ASSERT_EQ(row.read(data, bytes.size(), ReadMode::kPixels, &r), row.ok) << row.file;
    if (!row.ok) {
      EXPECT_EQ(r.pixels, nullptr) << row.file;
      continue;
    }
    EXPECT_EQ(r.width, row.width) << row.file;
    EXPECT_EQ(r.height, row.height) << row.file;
    const uint8_t* px = r.Row(row.y) + size_t(row.x) * size_t(r.channels);
    for (int c = 0; c < std::min(r.channels, 4); ++c)
      EXPECT_NEAR(px[c], row.rgb[c], 3) << row.file << " channel " << c;
  }
}

// What is no image of the format at all is refused before any library sees it.
TEST(ImageReaders, WrongSignaturesAndNoData) {
  const std::string bad[] = {"", "\xFF", "\xFF\xD9 not a JPEG", "\x89PNG\r\n", "\x89PNG\r\n\x1A\t more",
                             "GIF88a and more", "GIF8"};
  for (ImageReader read : {ReadJpeg, ReadPng, ReadGif}) {
    Raster r;
    EXPECT_FALSE(read(nullptr, 10, ReadMode::kPixels, &r));
    for (const std::string& b : bad) {
      EXPECT_FALSE(read(reinterpret_cast<const uint8_t*>(b.data()), b.size(), ReadMode::kSize, &r)) << b;
      EXPECT_EQ(r.width, 0);
    }
  }
}

}  // namespace
