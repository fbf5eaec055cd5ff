// What a picture is and the byte ranges the send and file commands take: every range
// lies within the data, whatever the bytes and offsets.
#include "fuzz_support.h"
#include "pictures/pictures.h"
#include "platform/drawing.h"

using namespace vrx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input{data, size};
  const int32_t first = input.I32() % 4096, last = input.I32() % 4096;
  const Bytes bytes(input.data, input.size);
  const int32_t n = int32_t(bytes.size());
  IsGif(bytes);
  JpegSpan jpeg = LocateJpeg(bytes);
  if (jpeg.found())
    fuzz::Check(jpeg.start >= 0 && jpeg.start < jpeg.end && jpeg.end < n &&
                    bytes[size_t(jpeg.start)] == 0xFF && bytes[size_t(jpeg.end)] == 0xD9,
                "a JPEG span outside the data or not on its markers");
  PictureInfo info = GetPictureInfo(bytes);
  fuzz::Check(info.result >= 0 && info.result <= n, "picture info counts bytes that are not there");
  for (auto [a, b] : {std::pair{first, last}, std::pair{0, 0}}) {
    SendRange send = PictureSendRange(bytes, a, b);
    fuzz::Check((send.start == 0 && send.end == 0) || (send.start >= 0 && send.start <= send.end && send.end < n),
                "a send range outside the data");
    if (send.start != send.end) {
      int32_t piece = NextPieceSize(send.start, send.end);
      fuzz::Check(piece > 0 && piece <= kPicturePiece, "a bad piece size");
    }
    FileRange file = PictureFileRange(bytes, a, b);
    fuzz::Check(file.start >= 0 && file.start <= file.end && file.end <= n, "a file range outside the data");
  }
  platform::PictureFrame(input.data, input.size);
  return 0;
}
