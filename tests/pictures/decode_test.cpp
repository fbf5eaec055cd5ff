// Drawing damaged and hostile pictures: never a crash, a read outside the data or an
// unbounded allocation (the sanitizer build runs these too).
#include <random>

#include "platform/drawing.h"
#include "tests/pictures/helpers.h"

namespace picturetest {
namespace {

bool Draw(platform::Offscreen* img, const std::string& bytes) {
  return platform::DrawPicture(img, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                               {0, 0, img->height, img->width});
}

std::string SmallImage(const TempDir& dir, const std::string& mode, const std::string& format,
                       const std::string& args = "") {
  return MakeImage(dir, "im = Image.new('RGB', (13, 9))\n"
                        "im.putdata([(random.randrange(256), random.randrange(256), random.randrange(256))"
                        " for _ in range(im.width * im.height)])\n"
                        "im = im.convert('" + mode + "')\n"
                        "im.save(sys.argv[1], '" + format + "'" + args + ")\n");
}

TEST(DecodePicture, EveryFormatDecodesAtOffsetZeroAfterAHeaderAndFurtherIn) {
  TempDir dir;
  std::vector<std::string> images = {
      SmallImage(dir, "RGB", "JPEG"),          SmallImage(dir, "RGB", "JPEG", ", progressive=True"),
      SmallImage(dir, "RGBA", "PNG"),          SmallImage(dir, "P", "PNG", ", interlace=1"),
      SmallImage(dir, "P", "GIF"),             SmallImage(dir, "RGB", "BMP"),
      SmallImage(dir, "RGB", "PPM")};
  platform::Offscreen* img = platform::NewOffscreen(13, 9);
  ASSERT_NE(img, nullptr);
  for (size_t i = 0; i < images.size(); ++i) {
    EXPECT_TRUE(Draw(img, images[i])) << i;
    EXPECT_TRUE(Draw(img, PictureRecord(0, 0, 9, 13, images[i]))) << i;
    // Only the formats with a strong signature are looked for further in.
    bool strong = i <= 4;
    EXPECT_EQ(Draw(img, PictureRecord(0, 0, 9, 13, images[i], 590)), strong) << i;
  }
  platform::DisposeOffscreen(img);
}

TEST(DecodePicture, AHuffmanTableOfMoreThan256SymbolsIsRefused) {
  TempDir dir;
  std::string jpeg = SmallImage(dir, "RGB", "JPEG");
  size_t dht = jpeg.find("\xFF\xC4");
  ASSERT_NE(dht, std::string::npos);
  platform::Offscreen* img = platform::NewOffscreen(13, 9);
  // Counts of 255 in every bit length: 4080 symbols for a table of 256.
  std::string bad = jpeg;
  for (size_t i = 0; i < 16; ++i) bad[dht + 5 + i] = '\xFF';
  EXPECT_FALSE(Draw(img, bad));
  // The same through a segment whose length stops short of the counts.
  std::string shortSegment = jpeg.substr(0, dht) + std::string("\xFF\xC4\x00\x03\x00", 5) +
                             std::string(16, '\xFF') + jpeg.substr(dht);
  EXPECT_FALSE(Draw(img, shortSegment));
  platform::DisposeOffscreen(img);
}

TEST(DecodePicture, APngChunkLongerThanTheDataIsRefused) {
  TempDir dir;
  std::string png = SmallImage(dir, "RGB", "PNG");
  platform::Offscreen* img = platform::NewOffscreen(13, 9);
  ASSERT_TRUE(Draw(img, png));
  size_t idat = png.find("IDAT");
  ASSERT_NE(idat, std::string::npos);
  std::string lying = png;
  lying.replace(idat - 4, 4, "\x7F\xFF\xFF\xF0");
  EXPECT_FALSE(Draw(img, lying));
  EXPECT_FALSE(Draw(img, png.substr(0, png.size() - 6)));  // no end chunk
  // Empty image-data chunks, first and between, change nothing.
  std::string empty = std::string("\0\0\0\0IDAT", 8) + "\x35\xAF\x06\x1E";
  std::string padded = png.substr(0, idat - 4) + empty + png.substr(idat - 4);
  size_t end = padded.find("IEND");
  padded.insert(end - 4, empty);
  platform::EraseOffscreen(img);
  ASSERT_TRUE(Draw(img, png));
  std::vector<uint8_t> before(img->pixels, img->pixels + img->rowBytes * img->height);
  platform::EraseOffscreen(img);
  ASSERT_TRUE(Draw(img, padded));
  EXPECT_EQ(before, std::vector<uint8_t>(img->pixels, img->pixels + img->rowBytes * img->height));
  platform::DisposeOffscreen(img);
}

// 16-bit samples, grey and grey with alpha: drawn with the right colours.
TEST(DecodePicture, SixteenBitAndGreyImages) {
  TempDir dir;
  platform::Offscreen* img = platform::NewOffscreen(2, 1);
  ASSERT_NE(img, nullptr);
  uint8_t* px = platform::LockPixels(img);
  // P6 with 16-bit samples: red, then 0x3333 blue.
  std::string ppm16 = "P6 2 1 65535\n" + std::string("\xFF\xFF\x00\x00\x00\x00\x00\x00\x00\x00\x33\x33", 12);
  ASSERT_TRUE(Draw(img, ppm16));
  EXPECT_EQ(px[0], 35);   // ff0000
  EXPECT_EQ(px[1], 214);  // 000033
  std::string grey = MakeImage(dir, "im = Image.new('LA', (2, 1)); im.putdata([(0x33, 255), (0, 0)])\n"
                                    "im.save(sys.argv[1], 'PNG')\n");
  platform::EraseOffscreen(img);
  ASSERT_TRUE(Draw(img, grey));
  EXPECT_EQ(px[0], 172);  // 333333
  EXPECT_EQ(px[1], 0);    // transparent: the white background stays
  platform::UnlockPixels(img);
  platform::DisposeOffscreen(img);
}

TEST(DecodePicture, RandomDamageToEveryFormat) {
  TempDir dir;
  std::vector<std::string> seeds = {
      SmallImage(dir, "RGB", "JPEG"), SmallImage(dir, "RGB", "JPEG", ", progressive=True"),
      SmallImage(dir, "L", "JPEG"),   SmallImage(dir, "RGBA", "PNG"),
      SmallImage(dir, "P", "PNG", ", interlace=1"), SmallImage(dir, "P", "GIF"),
      SmallImage(dir, "RGB", "BMP"),  SmallImage(dir, "RGB", "PPM"),
      MakeImage(dir, "im = Image.new('I', (13, 9)); im.putdata([random.randrange(65536) for _ in range(117)])\n"
                     "im.save(sys.argv[1], 'PNG')\n"),
      SmallImage(dir, "LA", "PNG"),
      "P6 4 3 65535\n" + std::string(4 * 3 * 3 * 2, '\x7F')};
  platform::Offscreen* img = platform::NewOffscreen(20, 20);
  ASSERT_NE(img, nullptr);
  std::mt19937 rng(1234);
  int drawn = 0;
  for (int i = 0; i < 2400; ++i) {
    std::string d = seeds[size_t(i) % seeds.size()];
    switch (rng() % 4) {
      case 0:  // bytes changed
        for (int k = 1 + int(rng() % 8); k > 0; --k) d[rng() % d.size()] = char(rng());
        break;
      case 1:  // cut short
        d.resize(rng() % d.size());
        break;
      case 2:  // header fields made large
        for (int k = 0; k < 3; ++k) d[rng() % std::min<size_t>(d.size(), 40)] = char(0xFF - (rng() % 4));
        break;
      default:  // bytes inserted
        d.insert(rng() % d.size(), RandomBytes(rng, 1 + rng() % 40));
    }
    drawn += Draw(img, d);
  }
  EXPECT_GT(drawn, 0);  // damage does not stop every picture from drawing
  platform::DisposeOffscreen(img);
}

}  // namespace
}  // namespace picturetest
