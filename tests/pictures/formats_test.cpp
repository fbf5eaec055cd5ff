// GIF recognition, the JPEG stream inside a picture, and the commands that tell what a
// picture is and write its image bytes to a file.
#include <random>

#include "tests/pictures/helpers.h"
#include "pictures/pictures.h"

namespace picturetest {
namespace {

vrx::Bytes B(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

std::string Jpeg(const std::string& middle) { return "\xFF\xD8" + middle + "\xFF\xD9"; }

// A hand-made frame header segment: marker, length 17, precision 8, height, width.
std::string FrameSegment(uint8_t marker, uint16_t height, uint16_t width) {
  std::string s = {'\xFF', char(marker), 0, 17, 8, char(height >> 8), char(height), char(width >> 8), char(width)};
  return s + std::string(10, '\x01');
}

TEST(LocateJpeg, SpanOfAWholeFileAndOfAnEmbeddedStream) {
  // A whole file: the end marker at the very end is taken even with an earlier FF D9.
  std::string file = Jpeg("ab\xFF\xD9" "cd");
  vrx::JpegSpan s = vrx::LocateJpeg(B(file));
  EXPECT_EQ(s.start, 0);
  EXPECT_EQ(s.end, int32_t(file.size()) - 1);
  // Trailing bytes after the end marker: the first FF D9 from the start.
  s = vrx::LocateJpeg(B(file + "xyz"));
  EXPECT_EQ(s.end, 5);
  // Embedded: start at the FF, end at the first D9 after it.
  std::string inside = std::string(600, 'x') + Jpeg("12") + "tail\xFF\xD9";
  s = vrx::LocateJpeg(B(inside));
  EXPECT_EQ(s.start, 600);
  EXPECT_EQ(s.end, 605);
  // No start marker, no end marker, or too little data: (0, 0).
  for (std::string none : {std::string("plain bytes \xFF\xD9"), std::string("\xFF\xD8 no end"), std::string("\xFF"),
                           std::string()}) {
    s = vrx::LocateJpeg(B(none));
    EXPECT_EQ(s.start, 0);
    EXPECT_EQ(s.end, 0);
  }
}

TEST(PictureInfoReader, FrameHeadersOfEveryKindAndNotTheDifferentialOnes) {
  // APP0 segment, then the frame header.
  std::string app("\xFF\xE0\x00\x06JFIF", 8);
  for (uint8_t marker : {0xC0, 0xC1, 0xC2, 0xC3, 0xC8, 0xC9, 0xCA, 0xCB}) {
    std::string j = Jpeg(app + FrameSegment(marker, 300, 401));
    vrx::PictureInfo info = vrx::GetPictureInfo(B(j));
    EXPECT_EQ(info.kind, vrx::kPictureJpeg) << int(marker);
    EXPECT_EQ(info.bottom, 300);
    EXPECT_EQ(info.right, 401);
    EXPECT_EQ(info.result, int32_t(j.size()));
  }
  // Differential frames (FFC5...) are stepped over: no frame header, but the stream's
  // length is still the result, and the rectangle is the default one.
  std::string j = Jpeg(app + FrameSegment(0xC5, 300, 401));
  vrx::PictureInfo info = vrx::GetPictureInfo(B(j));
  EXPECT_EQ(info.kind, vrx::kPictureOther);
  EXPECT_EQ(info.result, int32_t(j.size()));
  EXPECT_NE(info.bottom, 300);
  // A frame header cut by the end of the stream is not read.
  std::string cut = Jpeg(std::string("\xFF\xC0\x00\x11\x08\x01", 6));
  info = vrx::GetPictureInfo(B(cut));
  EXPECT_EQ(info.kind, vrx::kPictureOther);
  EXPECT_EQ(info.result, int32_t(cut.size()));
}

TEST(PictureInfoReader, RecordHeaderAndShortGif) {
  std::string rec = PictureRecord(-3, 4, 250, 320, "not an image");
  vrx::PictureInfo info = vrx::GetPictureInfo(B(rec));
  EXPECT_EQ(info.kind, 0);
  EXPECT_EQ(info.top, -3);
  EXPECT_EQ(info.left, 4);
  EXPECT_EQ(info.bottom, 250);
  EXPECT_EQ(info.right, 320);
  EXPECT_EQ(info.result, int32_t(rec.size()));
  // Too short for the fields: what is missing reads as 0.
  info = vrx::GetPictureInfo(B("GIF8"));
  EXPECT_EQ(info.kind, 1);
  EXPECT_EQ(info.bottom, 0);
  EXPECT_EQ(info.right, 0);
  EXPECT_EQ(info.result, 4);
}

// Random damage to real images and random bytes: every answer stays inside the data
// (run under the sanitizers this also proves nothing is read outside it).
TEST(PictureInfoReader, DamagedAndRandomDataStayInBounds) {
  TempDir dir;
  std::string jpeg = NoisyImage(dir, 24, 16, "JPEG");
  std::mt19937 rng(5);
  for (int i = 0; i < 3000; ++i) {
    std::string d;
    if (i % 3 == 0) {
      d = RandomBytes(rng, rng() % 64);
      if (rng() % 2) d = "\xFF\xD8" + d;
      if (rng() % 2) d += "\xFF\xD9";
    } else {
      d = jpeg.substr(0, rng() % (jpeg.size() + 1));
      for (int k = 0; k < 4; ++k)
        if (!d.empty()) d[rng() % d.size()] = char(rng());
      if (i % 3 == 2) d = std::string(rng() % 700, '\x00') + d + "\xFF\xD9";
    }
    vrx::PictureInfo info = vrx::GetPictureInfo(B(d));
    ASSERT_GE(info.result, 0);
    ASSERT_LE(info.result, int32_t(d.size()));
    vrx::JpegSpan s = vrx::LocateJpeg(B(d));
    ASSERT_TRUE((s.start == 0 && s.end == 0) || (s.start < s.end && s.end < int32_t(d.size())));
  }
}

TEST(PictureRanges, SendAndFileRangesStayInsideTheData) {
  std::string j = std::string(20, 'r') + Jpeg("abcdef") + "zz";
  // Send: the JPEG span, a GIF whole, explicit ranges clamped, an empty one refused.
  vrx::SendRange s = vrx::PictureSendRange(B(j), 0, 0);
  EXPECT_EQ(s.start, 20);
  EXPECT_EQ(s.end, 29);
  s = vrx::PictureSendRange(B("GIF89a......"), 0, 0);
  EXPECT_EQ(s.start, 0);
  EXPECT_EQ(s.end, 11);
  s = vrx::PictureSendRange(B(j), 3, 0);  // end 0: the last byte
  EXPECT_EQ(s.start, 3);
  EXPECT_EQ(s.end, 31);
  s = vrx::PictureSendRange(B(j), -50, 1000000);
  EXPECT_EQ(s.start, 0);
  EXPECT_EQ(s.end, 31);
  s = vrx::PictureSendRange(B(j), 500, 600);
  EXPECT_EQ(s.start, s.end);
  s = vrx::PictureSendRange(B("no image"), 0, 0);
  EXPECT_EQ(s.start, s.end);
  // File: end exclusive; an inverted or empty range writes everything.
  vrx::FileRange f = vrx::PictureFileRange(B(j), 0, 0);
  EXPECT_EQ(f.start, 20);
  EXPECT_EQ(f.end, 30);
  f = vrx::PictureFileRange(B(j), 5, 3);
  EXPECT_EQ(f.start, 0);
  EXPECT_EQ(f.end, 3);
  f = vrx::PictureFileRange(B(j), -5, -1);
  EXPECT_EQ(f.start, 0);
  EXPECT_EQ(f.end, 32);
  f = vrx::PictureFileRange(B(j), 7, 7);
  EXPECT_EQ(f.end, 32);
  f = vrx::PictureFileRange(B(j), 10, 1 << 30);
  EXPECT_EQ(f.start, 10);
  EXPECT_EQ(f.end, 32);
  f = vrx::PictureFileRange(B("no image"), 0, 0);
  EXPECT_EQ(f.start, 0);
  EXPECT_EQ(f.end, 8);
}

TEST(PictureRanges, PiecesCarryTheRemainderFirst) {
  std::vector<int32_t> pieces;
  for (int32_t start = 0; start < 39999;) {
    int32_t n = vrx::NextPieceSize(start, 39999);
    pieces.push_back(n);
    start += n;
  }
  EXPECT_EQ(pieces, (std::vector<int32_t>{7232, 16384, 16384}));
  EXPECT_EQ(vrx::NextPieceSize(0, 32767), 16384);
  EXPECT_EQ(vrx::NextPieceSize(5, 9), 5);
}

// ---- the commands ------------------------------------------------------------------------

TEST(GetPictureInfo, GifJpegAndEmbeddedJpegMadeByPil) {
  TempDir dir;
  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  Value gif = Value::Picture(NoisyImage(dir, 320, 200, "GIF"));
  Info i = PictureInfo(h, gif);
  EXPECT_EQ(i.kind, 1);
  EXPECT_EQ(i.top, 0);
  EXPECT_EQ(i.left, 0);
  EXPECT_EQ(i.bottom, 200);
  EXPECT_EQ(i.right, 320);
  EXPECT_EQ(i.result, int32_t(gif.Bytes().size()));

  std::string jpeg = NoisyImage(dir, 45, 31, "JPEG");
  Value j = Value::Picture(jpeg);
  i = PictureInfo(h, j);
  EXPECT_EQ(i.kind, 2);
  EXPECT_EQ(i.bottom, 31);
  EXPECT_EQ(i.right, 45);
  EXPECT_EQ(i.result, int32_t(jpeg.size()));

  Value rec = Value::Picture(PictureRecord(0, 0, 31, 45, jpeg, 590, "trailing"));
  i = PictureInfo(h, rec);
  EXPECT_EQ(i.kind, 3);
  EXPECT_EQ(i.bottom, 31);
  EXPECT_EQ(i.right, 45);
  EXPECT_EQ(i.result, int32_t(jpeg.size()));

  std::string progressive = NoisyImage(dir, 64, 48, "JPEG", ", progressive=True");
  ASSERT_NE(progressive.find("\xFF\xC2"), std::string::npos);
  Value p = Value::Picture(progressive);
  i = PictureInfo(h, p);
  EXPECT_EQ(i.kind, 2);
  EXPECT_EQ(i.bottom, 48);
  EXPECT_EQ(i.right, 64);
}

TEST(GetPictureInfo, MissingOrEmptyPictureIsMinusOneAndWritesNothing) {
  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  Value empty = Value::Picture("");
  Info i = PictureInfo(h, empty);
  EXPECT_EQ(i.result, -1);
  EXPECT_EQ(i.kind, -7);
  EXPECT_EQ(i.bottom, -7);
  Value none = Value::Picture("x");
  none.AdoptHandle(0);
  EXPECT_EQ(PictureInfo(h, none).result, -1);
}

TEST(PictureToFile, WritesTheJpegOfARecordWithOrWithoutAHeader) {
  TempDir dir;
  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  std::string jpeg = NoisyImage(dir, 40, 30, "JPEG");
  Value rec = Value::Picture(PictureRecord(0, 0, 30, 40, jpeg, 590, "after the image"));
  ASSERT_EQ(PictureToFile(h, rec, dir / "plain.jpg", 0, 0, 0), 0);
  EXPECT_EQ(ReadFile(dir / "plain.jpg"), jpeg);
  ASSERT_EQ(PictureToFile(h, rec, dir / "headed.pict", 0, 0, 1), 0);
  std::string headed = ReadFile(dir / "headed.pict");
  ASSERT_EQ(headed.size(), jpeg.size() + 512);
  EXPECT_EQ(headed.substr(0, 512), std::string(512, '\0'));
  EXPECT_EQ(headed.substr(headed.size() - 2), "\xFF\xD9");
  // PIL reads back what was written: the image is whole.
  int status = -1;
  std::string size = Shell("/usr/bin/python3 -c \"from PIL import Image; im=Image.open('" + dir / "plain.jpg" +
                               "'); im.load(); print(im.size)\"",
                           &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(size, "(40, 30)\n");
  // A given range; an existing file is replaced, not appended to.
  ASSERT_EQ(PictureToFile(h, rec, dir / "plain.jpg", 2, 6, 0), 0);
  EXPECT_EQ(ReadFile(dir / "plain.jpg"), rec.Bytes().substr(2, 4));
  // A record without an image is written whole.
  Value other = Value::Picture(PictureRecord(0, 0, 3, 3, "pixels?"));
  ASSERT_EQ(PictureToFile(h, other, dir / "other", 0, 0, 0), 0);
  EXPECT_EQ(ReadFile(dir / "other"), other.Bytes());
}

TEST(PictureToFile, FileErrorsAreTheSystemsCodes) {
  TempDir dir;
  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  Value gif = Value::Picture("GIF89a\x01\x00\x01\x00");
  EXPECT_EQ(PictureToFile(h, gif, dir / "no/such/folder/x.gif", 0, 0, 0), 3);
  EXPECT_EQ(PictureToFile(h, gif, "", 0, 0, 0), 2);
  std::filesystem::create_directory(dir / "folder");
  EXPECT_NE(PictureToFile(h, gif, dir / "folder", 0, 0, 0), 0);
  EXPECT_EQ(PictureToFile(h, gif, "/dev/full", 0, 0, 0), 112);
}

}  // namespace
}  // namespace picturetest
