// The BMP and PNM readers on any bytes. A size read alone must agree with the pixels
// read; every sample of a raster is read, so the sanitizers see any that lies outside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>

#include "platform/bmp_pnm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (platform::ImageReader read : {platform::ReadBmp, platform::ReadPnm}) {
    platform::Raster sized, image;
    const bool hasSize = read(data, size, platform::ReadMode::kSize, &sized);
    // Large promised images cost a large zeroed buffer and nothing new to explore.
    if (hasSize && int64_t(sized.width) * sized.height > (int64_t(1) << 16)) continue;
    const bool decoded = read(data, size, platform::ReadMode::kPixels, &image);
    if (hasSize != decoded || sized.pixels) std::abort();
    if (!decoded) continue;
    if (image.width != sized.width || image.height != sized.height || image.channels < 1 || image.channels > 4)
      std::abort();
    unsigned sum = 0;
    const size_t count = size_t(image.width) * size_t(image.height) * size_t(image.channels);
    for (size_t i = 0; i < count; ++i) sum += image.pixels[i];
    volatile unsigned sink = sum;
    (void)sink;
  }
  return 0;
}
