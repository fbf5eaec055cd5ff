// GIF writer with its own LZW compressor (the GIF variant: variable code width from
// 9 to 12 bits, a clear code when the table is full, codes least significant bit
// first, 254-byte data sub-blocks).
#include "pictures/gif.h"

#include <vector>

namespace vrx {
namespace {

constexpr int kBitsPerPixel = 8;
constexpr int kMaxBits = 12;
constexpr int32_t kTableLimit = 1 << kMaxBits;  // 4096 codes
constexpr int32_t kHashSize = 5003;             // a prime a little above 4096 / 0.8
constexpr int kSubBlock = 254;

struct GifEncoder {
  const GifSource* image = nullptr;
  std::string* out = nullptr;
  // Pixel order.
  bool interlace = false;
  int pass = 0;
  int32_t row = 0, column = 0;
  int64_t remaining = 0;
  // Bit packing into sub-blocks.
  uint32_t accumulator = 0;
  int bits = 0;
  uint8_t block[kSubBlock] = {};
  int blockLength = 0;
  // LZW.
  std::vector<int32_t> hashTable = std::vector<int32_t>(kHashSize, -1);  // (p << 12) + prefix
  std::vector<uint16_t> codeTable = std::vector<uint16_t>(kHashSize, 0);
  int initialBits = 0, codeBits = 0;
  int32_t maxCode = 0, clearCode = 0, endCode = 0, nextCode = 0;
  bool clearPending = false;
};

void Put16(std::string& out, int32_t v) {
  out += char(v & 0xFF);
  out += char((v >> 8) & 0xFF);
}

// The next pixel in GIF order: rows 0, 1, 2... or the four interlace passes.
int NextPixel(GifEncoder& e) {
  const GifSource& img = *e.image;
  if (e.remaining <= 0 || e.row >= img.height) return -1;
  --e.remaining;
  int p = img.pixels[size_t(e.row) * size_t(img.rowBytes) + size_t(e.column)];
  if (++e.column == img.width) {
    e.column = 0;
    if (!e.interlace) {
      ++e.row;
    } else {
      static const int kStep[4] = {8, 8, 4, 2};
      static const int kStart[4] = {0, 4, 2, 1};
      e.row += kStep[e.pass];
      // A pass that would start beyond the last row is skipped.
      while (e.row >= img.height && e.pass < 3) e.row = kStart[++e.pass];
    }
  }
  return p;
}

void FlushBlock(GifEncoder& e) {
  if (e.blockLength == 0) return;
  *e.out += char(e.blockLength);
  e.out->append(reinterpret_cast<const char*>(e.block), size_t(e.blockLength));
  e.blockLength = 0;
}

void PutByte(GifEncoder& e, uint8_t b) {
  e.block[e.blockLength++] = b;
  if (e.blockLength == kSubBlock) FlushBlock(e);
}

int32_t MaxCodeFor(int bits) { return (1 << bits) - 1; }

void Emit(GifEncoder& e, int32_t code) {
  e.accumulator &= (1u << e.bits) - 1;
  e.accumulator |= uint32_t(code) << e.bits;
  e.bits += e.codeBits;
  while (e.bits >= 8) {
    PutByte(e, uint8_t(e.accumulator & 0xFF));
    e.accumulator >>= 8;
    e.bits -= 8;
  }
  // The decoder widens its codes as soon as the next code would not fit: so do we.
  if (e.nextCode > e.maxCode || e.clearPending) {
    if (e.clearPending) {
      e.codeBits = e.initialBits;
      e.maxCode = MaxCodeFor(e.codeBits);
      e.clearPending = false;
    } else {
      ++e.codeBits;
      e.maxCode = e.codeBits == kMaxBits ? kTableLimit : MaxCodeFor(e.codeBits);
    }
  }
  if (code == e.endCode) {
    while (e.bits > 0) {
      PutByte(e, uint8_t(e.accumulator & 0xFF));
      e.accumulator >>= 8;
      e.bits -= 8;
    }
    e.bits = 0;
    FlushBlock(e);
  }
}

void Compress(GifEncoder& e, int minimumCodeSize) {
  e.initialBits = minimumCodeSize + 1;
  e.codeBits = e.initialBits;
  e.maxCode = MaxCodeFor(e.codeBits);
  e.clearCode = 1 << (e.initialBits - 1);
  e.endCode = e.clearCode + 1;
  e.nextCode = e.clearCode + 2;
  e.clearPending = false;
  std::fill(e.hashTable.begin(), e.hashTable.end(), -1);
  Emit(e, e.clearCode);

  int32_t prefix = NextPixel(e);
  for (int p; (p = NextPixel(e)) >= 0;) {
    int32_t key = (int32_t(p) << kMaxBits) + prefix;
    int32_t slot = (p << 4) ^ prefix;
    bool found = false;
    if (e.hashTable[size_t(slot)] == key) {
      found = true;
    } else if (e.hashTable[size_t(slot)] >= 0) {
      int32_t step = slot == 0 ? 1 : kHashSize - slot;
      do {
        slot -= step;
        if (slot < 0) slot += kHashSize;
        if (e.hashTable[size_t(slot)] == key) {
          found = true;
          break;
        }
      } while (e.hashTable[size_t(slot)] >= 0);
    }
    if (found) {
      prefix = e.codeTable[size_t(slot)];
      continue;
    }
    Emit(e, prefix);
    prefix = p;
    if (e.nextCode < kTableLimit) {
      e.codeTable[size_t(slot)] = uint16_t(e.nextCode++);
      e.hashTable[size_t(slot)] = key;
    } else {
      // The table is full: start again with an empty one.
      std::fill(e.hashTable.begin(), e.hashTable.end(), -1);
      e.nextCode = e.clearCode + 2;
      e.clearPending = true;
      Emit(e, e.clearCode);
    }
  }
  Emit(e, prefix);
  Emit(e, e.endCode);
}

}  // namespace

bool WriteGif(const GifSource& image, bool interlace, int32_t transparent, std::string& out) {
  if (!image.pixels || !image.palette || image.width <= 0 || image.height <= 0 || image.width > 0xFFFF ||
      image.height > 0xFFFF || image.rowBytes < image.width)
    return false;
  const int b = kBitsPerPixel;
  bool hasTransparent = transparent >= 0 && transparent < (1 << b);
  out += hasTransparent ? "GIF89a" : "GIF87a";
  // Logical screen: global colour table of 2^b entries, colour resolution b.
  Put16(out, image.width);
  Put16(out, image.height);
  out += char(0x80 | ((b - 1) << 4) | (b - 1));
  out += '\0';  // background index
  out += '\0';  // aspect
  for (int i = 0; i < (1 << b); ++i)
    for (int k = 0; k < 3; ++k) out += char(image.palette[i][k] & 0xFF);
  if (hasTransparent) {
    const char gce[] = {'\x21', '\xF9', 4, 1, 0, 0, char(transparent), 0};
    out.append(gce, sizeof gce);
  }
  out += '\x2C';
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, image.width);
  Put16(out, image.height);
  out += char(interlace ? 0x40 : 0);
  int minimumCodeSize = b < 2 ? 2 : b;
  out += char(minimumCodeSize);

  GifEncoder e;
  e.image = &image;
  e.out = &out;
  e.interlace = interlace;
  e.remaining = int64_t(image.width) * image.height;
  Compress(e, minimumCodeSize);
  out += '\0';
  out += '\x3B';
  return true;
}

}  // namespace vrx
