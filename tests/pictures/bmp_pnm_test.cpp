// The BMP and PNM readers: every variant read as PIL reads it, hostile headers refused
// before anything is reserved, data that ends early read as far as it goes.
#include <cstring>

#include "platform/bmp_pnm.h"
#include "tests/pictures/helpers.h"

namespace picturetest {
namespace {

using platform::Raster;
using platform::ReadMode;

// Writes one file per variant (with PIL where it can write it, by hand where not) and
// prints "name hex" lines: the RGBA pixels PIL reads from it, or the source's where PIL
// reads differently (alpha of 32-bit BMPs, 16-bit samples).
const char* kVariants = R"PY(
import struct, os
W, H = 13, 9
def rgb(): return tuple(random.randrange(256) for _ in range(3))
def noise(mode):
    im = Image.new('RGB', (W, H)); im.putdata([rgb() for _ in range(W * H)])
    return im.convert(mode)
def bmp(name, bpp, rows, palette=b'', info=40, compression=0, masks=b'', topdown=False):
    stride = (W * bpp + 31) // 32 * 4
    data = b''.join(r.ljust(stride, b'\0') for r in (rows if topdown else rows[::-1]))
    if info == 12:
        head = struct.pack('<IHHHH', 12, W, H, 1, bpp)
    else:
        head = struct.pack('<IiiHHIIiiII', info, W, -H if topdown else H, 1, bpp, compression, len(data), 2835, 2835, 0, 0)
        head = (head + masks).ljust(info, b'\0')
    off = 14 + len(head) + len(palette)
    open(name, 'wb').write(b'BM' + struct.pack('<IHHI', off + len(data), 0, 0, off) + head + palette + data)
def expect(name, im=None):
    im = (im or Image.open(name)).convert('RGBA')
    print(name, b''.join(bytes(p) for p in im.getdata()).hex())
def indexed(bpp, info=40):
    n = 1 << bpp
    pal = [rgb() for _ in range(n)]
    idx = [[random.randrange(n) for _ in range(W)] for _ in range(H)]
    rows = []
    for r in idx:
        bits = ''.join(format(i, '0%db' % bpp) for i in r)
        bits = bits.ljust((len(bits) + 7) // 8 * 8, '0')
        rows.append(bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8)))
    entry = 3 if info == 12 else 4
    palette = b''.join(bytes((b, g, r, 0)[:entry]) for r, g, b in pal)
    return rows, palette
os.chdir(sys.argv[1])
for mode, name in (('1', 'b1.bmp'), ('P', 'b8.bmp'), ('L', 'g8.bmp'), ('RGB', 'b24.bmp'),
                   ('1', 'p4.pbm'), ('L', 'p5.pgm'), ('RGB', 'p6.ppm')):
    noise(mode).save(name); expect(name)
im = noise('RGBA'); im.putdata([p[:3] + (random.randrange(256),) for p in im.getdata()])
im.save('b32.bmp'); expect('b32.bmp', im)
rows, pal = indexed(4); bmp('b4.bmp', 4, rows, pal); expect('b4.bmp')
rows, pal = indexed(8, 12); bmp('core8.bmp', 8, rows, pal, info=12); expect('core8.bmp')
px = [[random.randrange(1 << 16) for _ in range(W)] for _ in range(H)]
bmp('b555.bmp', 16, [struct.pack('<%dH' % W, *(v & 0x7FFF for v in r)) for r in px]); expect('b555.bmp')
bmp('b565.bmp', 16, [struct.pack('<%dH' % W, *r) for r in px], compression=3,
    masks=struct.pack('<III', 0xF800, 0x07E0, 0x001F)); expect('b565.bmp')
im = noise('RGB'); px = list(im.getdata())
bmp('down24.bmp', 24, [b''.join(bytes(p[::-1]) for p in px[y * W:(y + 1) * W]) for y in range(H)],
    topdown=True); expect('down24.bmp', im)
im = noise('RGBA'); px = [p[:3] + (random.randrange(256),) for p in im.getdata()]; im.putdata(px)
bmp('v5.bmp', 32, [b''.join(bytes((b, g, r, a)) for r, g, b, a in px[y * W:(y + 1) * W]) for y in range(H)],
    info=124, compression=3, masks=struct.pack('<IIII', 0xFF0000, 0xFF00, 0xFF, 0xFF000000)); expect('v5.bmp', im)
v = [random.randrange(65536) for _ in range(W * H)]
open('p5w.pgm', 'wb').write(b'P5 %d %d 65535\n' % (W, H) + struct.pack('>%dH' % (W * H), *v))
im = Image.new('L', (W, H)); im.putdata([(x * 255 + 32767) // 65535 for x in v]); expect('p5w.pgm', im)
bits = [random.randrange(2) for _ in range(W * H)]
open('p1.pbm', 'w').write('P1\n# plain\n%d %d\n' % (W, H) + ''.join('%d%s' % (b, '\n' if i % 7 == 6 else '') for i, b in enumerate(bits)))
expect('p1.pbm')
v = [random.randrange(16) for _ in range(W * H)]
open('p2.pgm', 'w').write('P2 %d %d 15\n' % (W, H) + ' '.join(map(str, v)) + '\n'); expect('p2.pgm')
v = [random.randrange(256) for _ in range(W * H * 3)]
open('p3.ppm', 'w').write('P3 %d %d\n255 # max\n' % (W, H) + '\n'.join(map(str, v))); expect('p3.ppm')
)PY";

bool Read(const std::string& bytes, ReadMode mode, Raster* out, bool bmp) {
  auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  return bmp ? platform::ReadBmp(p, bytes.size(), mode, out) : platform::ReadPnm(p, bytes.size(), mode, out);
}

std::string Rgba(const Raster& r) {
  std::string s;
  for (size_t i = 0; i < size_t(r.width) * size_t(r.height); ++i) {
    const uint8_t* p = r.pixels + i * size_t(r.channels);
    uint8_t grey = p[0];
    uint8_t px[4] = {grey, grey, grey, 255};
    if (r.channels >= 3) px[1] = p[1], px[2] = p[2];
    if (r.channels == 2 || r.channels == 4) px[3] = p[r.channels - 1];
    s.append(reinterpret_cast<char*>(px), 4);
  }
  return s;
}

TEST(BmpPnmReader, EveryVariantReadsAsPilReadsIt) {
  TempDir dir;
  WriteFile(dir / "variants.py", std::string("import sys, random\nfrom PIL import Image\nrandom.seed(7)\n") + kVariants);
  int status = -1;
  std::string out = Shell("/usr/bin/python3 " + dir / "variants.py" + " " + dir.path.string() + " 2>&1", &status);
  ASSERT_EQ(status, 0) << out;
  std::vector<std::string> lines = Lines(out);
  ASSERT_EQ(lines.size(), 18u);
  for (const std::string& line : lines) {
    std::string name = line.substr(0, line.find(' '));
    std::string want = Unhex(line.substr(name.size() + 1));
    std::string bytes = ReadFile(dir / name);
    bool bmp = name.ends_with(".bmp");
    Raster size, image;
    ASSERT_TRUE(Read(bytes, ReadMode::kSize, &size, bmp)) << name;
    ASSERT_TRUE(Read(bytes, ReadMode::kPixels, &image, bmp)) << name;
    EXPECT_EQ(size.pixels, nullptr);
    ASSERT_EQ(image.width, 13) << name;
    ASSERT_EQ(image.height, 9) << name;
    EXPECT_EQ(size.width, 13);
    EXPECT_EQ(size.height, 9);
    std::string got = Rgba(image);
    ASSERT_EQ(got.size(), want.size());
    // Masks and maximum values are scaled with rounding, which PIL does not always do.
    for (size_t i = 0; i < got.size(); ++i)
      ASSERT_LE(std::abs(int(uint8_t(got[i])) - int(uint8_t(want[i]))), 1) << name << " byte " << i;
  }
}

// A 2 x 2 24-bit BMP: blue, green / red, white from the top (rows stored bottom-up).
std::string SmallBmp() {
  std::string rows = std::string("\x00\x00\xFF\xFF\xFF\xFF\0\0", 8) + std::string("\xFF\x00\x00\x00\xFF\x00\0\0", 8);
  std::string info(40, '\0');
  const uint8_t head[] = {40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0};
  std::memcpy(info.data(), head, sizeof head);
  std::string file = "BM" + std::string("\x46\0\0\0\0\0\0\0\x36\0\0\0", 12) + info + rows;
  return file;
}

void Put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + size_t(i)] = char(v >> (8 * i));
}

TEST(BmpPnmReader, HostileHeadersAreRefusedAndShortDataReadsAsZeros) {
  std::string good = SmallBmp();
  Raster image;
  ASSERT_TRUE(Read(good, ReadMode::kPixels, &image, true));
  EXPECT_EQ(Rgba(image), Unhex("0000ffff00ff00ffff0000ffffffffff"));
  struct Field {
    size_t at;
    uint32_t value;
    int bytes;
  };
  const Field refused[] = {
      {14, 41, 4},           {26, 2, 2},           {28, 7, 2},            {30, 1, 4},  // info size, planes, bits, RLE
      {18, 0, 4},            {18, 16385, 4},       {22, 0xFFFFBFFF, 4},   {22, 0x80000000, 4},
      {18, 16384, 4},        {10, 0x46, 4},        {10, 0x20, 4},         {10, 0xFFFFFFFF, 4},
  };
  for (const Field& f : refused) {
    std::string bad = good;
    if (f.at == 18 && f.value == 16384) Put32(bad, 22, 1025);  // 16 Mi pixels and more
    for (int i = 0; i < f.bytes; ++i) bad[f.at + size_t(i)] = char(f.value >> (8 * i));
    EXPECT_FALSE(Read(bad, ReadMode::kSize, &image, true)) << f.at << " " << f.value;
    EXPECT_FALSE(Read(bad, ReadMode::kPixels, &image, true)) << f.at << " " << f.value;
    EXPECT_EQ(image.pixels, nullptr);
  }
  // Colour masks after the header: read when they select something; an 8-bit table with
  // no room before the rows.
  std::string masks = good.substr(0, 54) + std::string(12, '\0') + good.substr(54);
  Put32(masks, 10, 66);
  Put32(masks, 30, 3);
  masks[28] = 32;
  EXPECT_FALSE(Read(masks, ReadMode::kPixels, &image, true));
  Put32(masks, 54, 0xFF), Put32(masks, 58, 0xFF00), Put32(masks, 62, 0xFF0000);
  ASSERT_TRUE(Read(masks, ReadMode::kPixels, &image, true));
  EXPECT_EQ(image.channels, 3);
  EXPECT_EQ(Rgba(image).substr(0, 4), Unhex("ff0000ff"));  // red from the low byte
  std::string indexed = good;
  indexed[28] = 8;
  EXPECT_FALSE(Read(indexed, ReadMode::kPixels, &image, true));
  EXPECT_FALSE(Read(good.substr(0, 40), ReadMode::kSize, &image, true));  // header cut short

  // Top-down rows, and a file cut inside its second stored row: what is missing is zero.
  std::string down = good;
  Put32(down, 22, uint32_t(-2));
  ASSERT_TRUE(Read(down, ReadMode::kPixels, &image, true));
  EXPECT_EQ(Rgba(image), Unhex("ff0000ffffffffff0000ffff00ff00ff"));
  platform::Rect frame = platform::PictureFrame(reinterpret_cast<const uint8_t*>(down.data()), down.size());
  EXPECT_EQ(frame.bottom, 2);
  EXPECT_EQ(frame.right, 2);
  ASSERT_TRUE(Read(good.substr(0, good.size() - 5), ReadMode::kPixels, &image, true));
  EXPECT_EQ(Rgba(image), Unhex("0000ffff000000ffff0000ffffffffff"));

  for (std::string bad : {"P7 2 2 255\n", "P6 2 2\n", "P6 2 2 0\n1", "P6 2 2 65536\n", "P62 2 255\n",
                          "P6 99999999999999999999 2 255\n", "P6 2 2 255", "P6 16385 1 255\n",
                          "P5 16384 1025 255\n", "P4 2\n", "P6 -2 2 255\n"}) {
    EXPECT_FALSE(Read(bad, ReadMode::kSize, &image, false)) << bad;
    EXPECT_FALSE(Read(bad + "\x7F\x7F", ReadMode::kPixels, &image, false)) << bad;
  }
  // A large image promised, three samples given; text stops at the first non-number.
  ASSERT_TRUE(Read("P5 4096 4096 255\n\x10\x20\x30", ReadMode::kPixels, &image, false));
  EXPECT_EQ(image.width, 4096);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(image.pixels), 5), std::string("\x10\x20\x30\0\0", 5));
  ASSERT_TRUE(Read("P2 3 1 100 50 x 7", ReadMode::kPixels, &image, false));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(image.pixels), 3), std::string("\x80\0\0", 3));
}

}  // namespace
}  // namespace picturetest
