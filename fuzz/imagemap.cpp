// Image maps: any map text and click point, including coordinates at the ends of the
// 32-bit range.
#include "fuzz_support.h"
#include "pictures/imagemap.h"

using namespace vrx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string url = HitTestImageMap(std::string_view(reinterpret_cast<const char*>(data), size));
  fuzz::Check(url.size() <= size, "a URL longer than the map");
  return 0;
}
