// GIF and JPEG recognition for the picture commands.
#include "pictures/pictures.h"

#include <algorithm>
#include <cstring>

namespace vrx {
namespace {

// First offset >= from where the two bytes a, b stand; -1 when they do not.
int32_t FindPair(Bytes data, int64_t from, uint8_t a, uint8_t b) {
  if (from < 0) return -1;
  for (size_t i = size_t(from); i + 1 < data.size(); ++i) {
    const void* hit = std::memchr(data.data() + i, a, data.size() - 1 - i);
    if (!hit) return -1;
    i = size_t(static_cast<const uint8_t*>(hit) - data.data());
    if (data[i + 1] == b) return int32_t(i);
  }
  return -1;
}

int32_t BigEndian16(Bytes data, size_t at) { return (int32_t(data[at]) << 8) | data[at + 1]; }

int16_t LittleEndian16(Bytes data, size_t at) {
  if (at + 2 > data.size()) return 0;
  return int16_t(data[at] | (data[at + 1] << 8));
}

// A picture record's frame: signed 16-bit values in host byte order; bytes beyond the
// data read as 0.
int16_t Native16(Bytes data, size_t at) {
  if (at + 2 > data.size()) return 0;
  int16_t v;
  std::memcpy(&v, data.data() + at, sizeof v);
  return v;
}

int32_t DataSize(Bytes data) { return int32_t(std::min<size_t>(data.size(), INT32_MAX)); }

}  // namespace

bool IsGif(Bytes data) { return data.size() >= 4 && std::memcmp(data.data(), "GIF8", 4) == 0; }

JpegSpan LocateJpeg(Bytes data) {
  data = data.first(size_t(DataSize(data)));
  int32_t start = FindPair(data, 0, 0xFF, 0xD8);
  if (start < 0) return {};
  int32_t end = -1;
  // A file that ends with its end marker is found at once.
  if (start == 0) end = FindPair(data, int64_t(data.size()) - 3, 0xFF, 0xD9);
  if (end < 0) end = FindPair(data, start, 0xFF, 0xD9);
  if (end < 0) return {};
  return {start, end + 1};
}

PictureInfo GetPictureInfo(Bytes data) {
  data = data.first(size_t(DataSize(data)));
  PictureInfo info;
  info.result = int32_t(data.size());
  info.top = Native16(data, 2);
  info.left = Native16(data, 4);
  info.bottom = Native16(data, 6);
  info.right = Native16(data, 8);
  if (IsGif(data)) {
    info.kind = kPictureGif;
    info.top = info.left = 0;
    info.bottom = LittleEndian16(data, 8);
    info.right = LittleEndian16(data, 6);
    return info;
  }
  JpegSpan span = LocateJpeg(data);
  if (!span.found()) return info;
  info.result = span.end - span.start + 1;
  // Walk the segments up to the frame header: FFC0-FFC3 and FFC8-FFCB (not the
  // differential frames, whose marker has bit 2 set). Every step moves on by at least
  // two bytes, and nothing is read past the stream's end.
  int64_t at = int64_t(span.start) + 2;
  while (at + 1 <= span.end) {
    int32_t marker = BigEndian16(data, size_t(at));
    if ((marker & 0xFFF0) == 0xFFC0 && !(marker & 4)) {
      if (at + 8 > span.end) break;
      info.kind = span.start == 0 ? kPictureJpeg : kPictureEmbeddedJpeg;
      info.top = info.left = 0;
      info.bottom = BigEndian16(data, size_t(at + 5));
      info.right = BigEndian16(data, size_t(at + 7));
      break;
    }
    at += 2;
    if (at + 1 > span.end) break;
    at += BigEndian16(data, size_t(at));
  }
  return info;
}

SendRange PictureSendRange(Bytes data, int32_t first, int32_t last) {
  int32_t size = DataSize(data);
  if (first != 0 || last != 0) {
    int32_t end = (last <= 0 || last > size - 1) ? size - 1 : last;
    int32_t start = std::max(first, 0);
    // A range outside the data sends nothing.
    if (start > end) return {0, 0};
    return {start, end};
  }
  if (IsGif(data)) return {0, size - 1};
  JpegSpan span = LocateJpeg(data);
  return {span.start, span.end};
}

int32_t NextPieceSize(int32_t start, int32_t end) {
  int32_t n = end - start + 1;
  if (n > kPicturePiece) {
    n %= kPicturePiece;
    if (n == 0) n = kPicturePiece;
  }
  return n;
}

FileRange PictureFileRange(Bytes data, int32_t first, int32_t last) {
  int32_t size = DataSize(data);
  FileRange r;
  if (first != 0 || last != 0) {
    r.start = std::max(first, 0);
    r.end = std::min(last, size);
    if (r.end < r.start) r.start = 0;
    if (r.end < r.start) r.end = 0;
  } else if (IsGif(data)) {
    r = {0, size};
  } else {
    JpegSpan span = LocateJpeg(data);
    r = span.found() ? FileRange{span.start, span.end + 1} : FileRange{0, size};
  }
  if (r.start == r.end) r = {0, size};
  return r;
}

}  // namespace vrx
