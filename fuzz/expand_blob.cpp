// Expanding a BLOB in place: a failure leaves its bytes as they were, a success gives
// what zlib itself makes of the stream.
#include <zlib.h>

#include <cstring>

#include "compress/compression.h"
#include "fuzz_support.h"

using namespace vrx;

namespace {
// The whole expansion by zlib's streaming interface; false when the data is not one
// complete zlib stream.
bool Inflate(std::string_view in, std::string* out) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = uInt(in.size());
  int code;
  do {
    uint8_t buf[16384];
    z.next_out = buf;
    z.avail_out = sizeof buf;
    code = inflate(&z, Z_NO_FLUSH);
    out->append(reinterpret_cast<char*>(buf), sizeof buf - z.avail_out);
  } while (code == Z_OK);
  inflateEnd(&z);
  return code == Z_STREAM_END;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  platform::Handle h = platform::NewHandle(int32_t(size));
  if (!h) return 0;
  if (size) std::memcpy(platform::HandleAddress(h), data, size);
  int32_t code = ExpandBlob(h);
  std::string now(reinterpret_cast<const char*>(platform::HandleAddress(h)), size_t(platform::HandleSize(h)));
  platform::DisposeHandle(h);
  std::string expected;
  bool ok = Inflate(in, &expected);
  if (code == 0) {
    fuzz::Check(ok && now == expected, "the expansion differs from zlib's", in);
  } else {
    fuzz::Check(now == in, "a failed expansion changed the BLOB", in);
    fuzz::Check(!ok, "a stream zlib expands was refused", in);
  }
  return 0;
}
