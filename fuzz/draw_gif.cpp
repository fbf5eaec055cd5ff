// Drawing any picture into a small offscreen image at any frame, then writing the image
// as GIF: the decoders stay within their buffers and the GIF is well formed.
#include "fuzz_support.h"
#include "pictures/gif.h"
#include "platform/drawing.h"

using namespace vrx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input{data, size};
  const int32_t width = input.Byte() % 64 + 1, height = input.Byte() % 64 + 1;
  const uint8_t how = input.Byte();
  platform::Rect frame{int16_t(input.U16()), int16_t(input.U16()), int16_t(input.U16()), int16_t(input.U16())};
  if (how & 1) frame = platform::PictureFrame(input.data, input.size);
  platform::Offscreen* image = platform::NewOffscreen(width, height);
  if (!image) return 0;
  platform::EraseOffscreen(image);
  platform::DrawPicture(image, input.data, input.size, frame);
  uint16_t palette[256][3];
  for (int i = 0; i < 256; ++i)
    palette[i][0] = image->colors[i].red, palette[i][1] = image->colors[i].green, palette[i][2] = image->colors[i].blue;
  GifSource source;
  source.pixels = platform::LockPixels(image);
  source.rowBytes = image->rowBytes;
  source.width = width;
  source.height = height;
  source.palette = palette;
  std::string gif;
  bool ok = WriteGif(source, how & 2, (how & 4) ? int32_t(how) : -1, gif);
  platform::UnlockPixels(image);
  fuzz::Check(ok && gif.size() > 13 && gif.compare(0, 3, "GIF") == 0 && gif.back() == ';', "a malformed GIF");
  // The GIF drawn back gives the same pixels.
  if (!(how & 4)) {
    platform::Offscreen* back = platform::NewOffscreen(width, height);
    if (back) platform::EraseOffscreen(back);
    fuzz::Check(back && platform::DrawPicture(back, reinterpret_cast<const uint8_t*>(gif.data()), gif.size(),
                                              platform::Rect{0, 0, height, width}),
                "the written GIF does not draw");
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x)
        fuzz::Check(back->pixels[y * back->rowBytes + x] == image->pixels[y * image->rowBytes + x],
                    "the written GIF draws different pixels");
    platform::DisposeOffscreen(back);
  }
  platform::DisposeOffscreen(image);
  return 0;
}
