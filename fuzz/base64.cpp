// Base64: every instruction-set path decodes and encodes alike, the raw decoder stays
// within the room it asks for, and what is encoded decodes back.
#include <cstring>
#include <vector>

#include "codecs/base64_paths.h"
#include "fuzz_support.h"

using namespace vrx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  const Base64Path start = CurrentBase64Path();
  std::string decoded, encoded;
  bool first = true;
  for (Base64Path path : {Base64Path::Scalar, Base64Path::Ssse3, Base64Path::Avx2, Base64Path::Avx512}) {
    if (!UseBase64Path(path)) continue;
    std::string d = Base64DecodeBytes(in);
    std::string e = Base64EncodeBytes(in, size % 2 == 0);
    // The raw form with exactly the room it documents.
    std::vector<uint8_t> out(3 * size / 4);
    size_t n = Base64DecodeTo(data, size, out.data());
    fuzz::Check(n <= out.size() && d == std::string_view(reinterpret_cast<char*>(out.data()), n),
                "raw decode differs");
    if (first) {
      decoded = d, encoded = e, first = false;
    } else {
      fuzz::Check(d == decoded, "decode differs between paths", in);
      fuzz::Check(e == encoded, "encode differs between paths", in);
    }
  }
  UseBase64Path(start);
  if (size <= kBase64MaxInput) {
    fuzz::Check(Base64DecodeBytes(encoded) == in, "encode does not decode back", in);
    fuzz::Check(Base64EncodeBytes(Base64DecodeBytes(Base64EncodeBytes(decoded, true)), true) ==
                    Base64EncodeBytes(decoded, true),
                "decoded bytes do not round-trip");
  } else {
    fuzz::Check(encoded.empty(), "over-long input encoded");
  }
  fuzz::Text t(in.substr(0, kTextLimit));
  fuzz::Take(Base64Decode(t.t));
  fuzz::Take(Base64Encode(t.t, int32_t(size & 3)));
  return 0;
}
