#include "compress/compression.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/memory.h"

namespace vrx {
namespace {

constexpr size_t kFilePiece = 16384;
constexpr int32_t kMinBlobCapacity = 512;
constexpr int64_t kMaxHandleSize = 0x7FFFFFFF;

// A malloc'd copy of a handle's bytes; null data (and false) when it cannot be made.
struct Copy {
  uint8_t* data = nullptr;
  size_t size = 0;
  ~Copy() { std::free(data); }
};

bool CopyHandle(platform::Handle h, Copy* c) {
  c->size = size_t(platform::HandleSize(h));
  c->data = static_cast<uint8_t*>(std::malloc(c->size ? c->size : 1));
  if (!c->data) return false;
  if (c->size) std::memcpy(c->data, platform::HandleAddress(h), c->size);
  return true;
}

// Puts the original bytes back after a failed command.
void Restore(platform::Handle h, const Copy& c) {
  if (platform::SetHandleSize(h, int32_t(c.size)) && c.size)
    std::memcpy(platform::HandleAddress(h), c.data, c.size);
}

int32_t MemoryCode() {
  int16_t e = platform::MemError();
  return e ? e : platform::kMemFullErr;
}

}  // namespace

int32_t CompressFile(const std::string& sourcePath, const std::string& gzipPath, int32_t level) {
  char mode[4] = {'w', 'b', '6', 0};
  if (level >= 1 && level <= 9) mode[2] = char('0' + level);
  FILE* in = std::fopen(sourcePath.c_str(), "rb");
  if (!in) return -1;
  gzFile out = gzopen(gzipPath.c_str(), mode);
  if (!out) {
    std::fclose(in);
    return -2;
  }
  std::vector<uint8_t> buffer(kFilePiece);
  int32_t code = 0;
  for (;;) {
    size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
    if (std::ferror(in)) {
      code = -3;
      break;
    }
    if (got == 0) break;
    if (gzwrite(out, buffer.data(), unsigned(got)) != int(got)) {
      code = -4;
      break;
    }
  }
  std::fclose(in);
  int closed = gzclose(out);
  if (code == 0 && closed != Z_OK) code = -5;
  return code;
}

int32_t ExpandFile(const std::string& gzipPath, const std::string& destinationPath) {
  gzFile in = gzopen(gzipPath.c_str(), "rb");
  if (!in) return -1;
  FILE* out = std::fopen(destinationPath.c_str(), "wb");
  if (!out) {
    gzclose(in);
    return -2;
  }
  std::vector<uint8_t> buffer(kFilePiece);
  int32_t code = 0;
  for (;;) {
    int got = gzread(in, buffer.data(), unsigned(buffer.size()));
    if (got < 0) {
      code = -6;
      break;
    }
    if (got == 0) break;
    if (std::fwrite(buffer.data(), 1, size_t(got), out) != size_t(got)) {
      code = -3;
      break;
    }
  }
  int outClosed = std::fclose(out);
  int inClosed = gzclose(in);
  if (code == 0 && outClosed != 0) code = -4;
  if (code == 0 && inClosed != Z_OK) code = -5;
  return code;
}

int32_t CompressBlob(uint32_t blob, int32_t level) {
  Copy source;
  if (!CopyHandle(blob, &source)) return platform::kMemFullErr;
  // zlib's worst case, and at least 512 bytes. (512 alone is too little for
  // incompressible data of 496 to 511 bytes.)
  int64_t capacity = std::max<int64_t>(kMinBlobCapacity, int64_t(source.size) * 101 / 100 + 12);
  if (capacity > kMaxHandleSize) return platform::kMemFullErr;
  if (!platform::SetHandleSize(blob, int32_t(capacity))) return MemoryCode();
  uLongf length = uLongf(capacity);
  int code = compress2(platform::HandleAddress(blob), &length, source.data, uLong(source.size),
                       level);
  if (code != Z_OK) {
    Restore(blob, source);
    return code;
  }
  platform::SetHandleSize(blob, int32_t(length));  // shrinking keeps the data
  return Z_OK;
}

int32_t ExpandBlob(uint32_t blob) {
  Copy source;
  if (!CopyHandle(blob, &source)) return platform::kMemFullErr;
  // The output starts at the BLOB's size (at least 512 bytes) and doubles whenever it is
  // full, while zlib runs through the input once.
  int64_t capacity = source.size < size_t(kMinBlobCapacity) ? kMinBlobCapacity
                                                             : int64_t(source.size);
  if (!platform::SetHandleSize(blob, int32_t(capacity))) {
    int32_t code = MemoryCode();
    Restore(blob, source);
    return code;
  }
  z_stream z{};
  z.next_in = source.data;
  z.avail_in = uInt(source.size);  // handles hold less than 4 GB
  int code = inflateInit(&z);
  if (code != Z_OK) {  // zlib's own allocation failed: only a real shortage gets here
    Restore(blob, source);
    return code;
  }
  int64_t produced = 0;
  for (;;) {
    z.next_out = platform::HandleAddress(blob) + produced;
    z.avail_out = uInt(capacity - produced);
    code = inflate(&z, Z_NO_FLUSH);
    produced = capacity - z.avail_out;
    if (code == Z_STREAM_END) break;
    if ((code == Z_OK || code == Z_BUF_ERROR) && z.avail_out == 0) {
      int64_t grown = capacity * 2;
      if (grown > kMaxHandleSize) grown = kMaxHandleSize;
      // grown == capacity only at the 2 GB handle limit, which no test can fill.
      if (grown == capacity || !platform::SetHandleSize(blob, int32_t(grown))) {
        inflateEnd(&z);
        int32_t mem = grown == capacity ? platform::kMemFullErr : MemoryCode();
        Restore(blob, source);
        return mem;
      }
      capacity = grown;
      continue;
    }
    if (code == Z_OK) continue;  // more output may follow with room left
    // The one-call expansion reports a dictionary request and an input that ends before
    // the stream does as corrupt data.
    if (code == Z_NEED_DICT || (code == Z_BUF_ERROR && z.avail_out > 0)) code = Z_DATA_ERROR;
    inflateEnd(&z);
    Restore(blob, source);
    return code;
  }
  inflateEnd(&z);
  platform::SetHandleSize(blob, int32_t(produced));
  return Z_OK;
}

}  // namespace vrx
