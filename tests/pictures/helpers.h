// Shared pieces of the picture tests: images made by Python's imaging library (an
// encoder and decoder outside the plug-in), picture records, and the commands.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host/host.h"
#include "tests/support.h"

namespace picturetest {

using host::Host;
using host::Value;
using namespace vrxtest;

// Runs a Python program with PIL in `dir`; it writes its image to argv[1]. Returns the
// file's bytes.
inline std::string MakeImage(const TempDir& dir, const std::string& body) {
  std::string script = "import sys, random\nfrom PIL import Image\nrandom.seed(7)\n" + body;
  WriteFile(dir / "make.py", script);
  int status = -1;
  std::string out = Shell("/usr/bin/python3 " + dir / "make.py" + " " + dir / "image.out 2>&1", &status);
  EXPECT_EQ(status, 0) << out;
  return ReadFile(dir / "image.out");
}

// A noisy RGB image of w x h saved in `format` with extra save arguments.
inline std::string NoisyImage(const TempDir& dir, int w, int h, const std::string& format,
                              const std::string& args = "") {
  return MakeImage(dir, "im = Image.new('RGB', (" + std::to_string(w) + ", " + std::to_string(h) +
                            "))\n"
                            "im.putdata([(random.randrange(256), random.randrange(256), random.randrange(256))"
                            " for _ in range(im.width * im.height)])\n"
                            "im.save(sys.argv[1], '" + format + "'" + args + ")\n");
}

// A host picture record: 10-byte header (size, top, left, bottom, right, in host byte
// order), then `fill` bytes of 0x11, then the image data, then `after`.
inline std::string PictureRecord(int16_t top, int16_t left, int16_t bottom, int16_t right,
                                 const std::string& image, size_t fill = 0, const std::string& after = "") {
  int16_t head[5] = {0, top, left, bottom, right};
  std::string s(reinterpret_cast<const char*>(head), sizeof head);
  s += std::string(fill, '\x11');
  return s + image + after;
}

inline int32_t CallLong(Host& h, std::string_view name, std::vector<Value*> ps) {
  return h.Call(name, ps).value;
}

struct Info {
  int32_t result, top, left, bottom, right, kind;
};

inline Info PictureInfo(Host& h, Value& picture) {
  Value t = Value::Long(-7), l = Value::Long(-7), b = Value::Long(-7), r = Value::Long(-7), k = Value::Long(-7);
  int32_t result = CallLong(h, "VRX_GetPictureInfo", {&picture, &t, &l, &b, &r, &k});
  return {result, t.AsLong(), l.AsLong(), b.AsLong(), r.AsLong(), k.AsLong()};
}

inline int32_t PictureToFile(Host& h, Value& picture, const std::string& path, int32_t first, int32_t last,
                             int32_t header) {
  Value p = Value::Text(path), f = Value::Long(first), l = Value::Long(last), hd = Value::Long(header);
  return CallLong(h, "VRX_PictureToFile", {&picture, &p, &f, &l, &hd});
}

}  // namespace picturetest
