// Picture commands: finding the JPEG in a large picture, drawing a picture into the
// 8-bit image, and the GIF writer, alone and through VRX_PictureToGif.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "host/host.h"
#include "platform/drawing.h"
#include "platform/memory.h"
#include "pictures/gif.h"
#include "pictures/pictures.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

// A PPM with smooth gradients and some noise, as photographs have.
const std::string& Ppm() {
  static const std::string data = [] {
    std::mt19937 rng(2);
    std::string s = "P6 " + std::to_string(kWidth) + " " + std::to_string(kHeight) + " 255\n";
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        s += char(x * 255 / kWidth);
        s += char(y * 255 / kHeight);
        s += char((x + y + int(rng() % 16)) & 0xFF);
      }
    return s;
  }();
  return data;
}

void BM_LocateEmbeddedJpeg(benchmark::State& state) {
  std::string data(1 << 20, '\x11');
  data.replace(600, 2, "\xFF\xD8");
  data.replace(data.size() - 100, 2, "\xFF\xD9");
  vrx::Bytes bytes(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  for (auto _ : state) benchmark::DoNotOptimize(vrx::GetPictureInfo(bytes));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}
BENCHMARK(BM_LocateEmbeddedJpeg);

void BM_DrawPicture(benchmark::State& state) {
  platform::Offscreen* img = platform::NewOffscreen(kWidth, kHeight);
  const std::string& ppm = Ppm();
  for (auto _ : state)
    platform::DrawPicture(img, reinterpret_cast<const uint8_t*>(ppm.data()), ppm.size(), {0, 0, kHeight, kWidth});
  state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
  platform::DisposeOffscreen(img);
}
BENCHMARK(BM_DrawPicture)->Unit(benchmark::kMillisecond);

void BM_WriteGif(benchmark::State& state) {
  platform::Offscreen* img = platform::NewOffscreen(kWidth, kHeight);
  platform::EraseOffscreen(img);
  const std::string& ppm = Ppm();
  platform::DrawPicture(img, reinterpret_cast<const uint8_t*>(ppm.data()), ppm.size(), {0, 0, kHeight, kWidth});
  uint16_t palette[256][3];
  for (int i = 0; i < 256; ++i) palette[i][0] = palette[i][1] = palette[i][2] = uint16_t(i);
  size_t size = 0;
  for (auto _ : state) {
    std::string out;
    vrx::WriteGif({img->pixels, img->rowBytes, kWidth, kHeight, palette}, state.range(0) != 0, -1, out);
    size = out.size();
  }
  state.counters["gif_bytes"] = double(size);
  state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
  platform::DisposeOffscreen(img);
}
BENCHMARK(BM_WriteGif)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PictureToGifCommand(benchmark::State& state) {
  host::Host h;
  host::Value pic = host::Value::Picture(Ppm());
  host::Value flags = host::Value::Long(0), w = host::Value::Long(0), ht = host::Value::Long(0),
              c = host::Value::Long(0), r = host::Value::Long(0);
  std::vector<host::Value*> ps{&pic, &flags, &w, &ht, &c, &r};
  for (auto _ : state) {
    int32_t handle = h.Call("VRX_PictureToGif", ps).value;
    platform::DisposeHandle(vrx::Handle(handle));
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}
BENCHMARK(BM_PictureToGifCommand)->Unit(benchmark::kMillisecond);

}  // namespace
