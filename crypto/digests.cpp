#include "crypto/digests.h"

#include <nettle/md2.h>
#include <nettle/md4.h>
#include <nettle/md5.h>
#include <nettle/ripemd160.h>
#include <nettle/sha1.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace vrx {
namespace {

struct DigestState {
  int32_t algorithm;
  DigestFamily family;
  union {
    md2_ctx md2;
    md4_ctx md4;
    md5_ctx md5;
    sha1_ctx sha1;
    ripemd160_ctx ripemd160;
    Sha0Context sha0;
    uint32_t checksum;
  };
};

// A reference is (generation << 20) | (index + 1): always positive, and a stale
// reference to a reused entry is caught by its generation.
constexpr int kIndexBits = 20;
constexpr uint32_t kMaxEntries = (1u << kIndexBits) - 1;
constexpr uint32_t kGenerationMask = 0x7FF;

struct Entry {
  uint32_t generation = 0;
  bool live = false;
  DigestState state;
};

struct DigestTable {
  std::vector<Entry> entries;
  std::vector<uint32_t> freeIndexes;
  int live = 0;
};

DigestTable& Table() {
  static DigestTable table;
  return table;
}

int32_t Allocate(const DigestState& state) {
  DigestTable& t = Table();
  uint32_t index;
  if (!t.freeIndexes.empty()) {
    index = t.freeIndexes.back();
    t.freeIndexes.pop_back();
  } else {
    if (t.entries.size() >= kMaxEntries) return 0;
    index = uint32_t(t.entries.size());
    t.entries.emplace_back();
  }
  Entry& e = t.entries[index];
  e.generation = (e.generation % kGenerationMask) + 1;  // 1..2047
  e.live = true;
  e.state = state;
  ++t.live;
  return int32_t((e.generation << kIndexBits) | (index + 1));
}

DigestState* Find(int32_t ref, DigestFamily family) {
  if (ref <= 0) return nullptr;
  uint32_t index = (uint32_t(ref) & kMaxEntries);
  uint32_t generation = uint32_t(ref) >> kIndexBits;
  DigestTable& t = Table();
  if (index == 0 || index > t.entries.size()) return nullptr;
  Entry& e = t.entries[index - 1];
  if (!e.live || e.generation != generation || e.state.family != family) return nullptr;
  return &e.state;
}

void Release(int32_t ref) {
  DigestTable& t = Table();
  uint32_t index = (uint32_t(ref) & kMaxEntries) - 1;
  Entry& e = t.entries[index];
  std::memset(&e.state, 0, sizeof e.state);
  e.live = false;
  t.freeIndexes.push_back(index);
  --t.live;
}

void Feed(DigestState* s, const uint8_t* p, size_t n) {
  switch (s->algorithm) {
    case kDigestSha0: Sha0Update(&s->sha0, p, n); break;
    case kDigestMd2: md2_update(&s->md2, n, p); break;
    case kDigestMd4: md4_update(&s->md4, n, p); break;
    case kDigestMd5: md5_update(&s->md5, n, p); break;
    case kDigestSha1: sha1_update(&s->sha1, n, p); break;
    case kDigestRipemd160: ripemd160_update(&s->ripemd160, n, p); break;
    case kDigestCrc32:
    case kDigestAdler32:
      // zlib's step functions take unsigned lengths: feed in bounded pieces.
      while (n > 0) {
        uInt piece = uInt(n > (1u << 30) ? (1u << 30) : n);
        s->checksum = uint32_t(s->algorithm == kDigestCrc32 ? crc32(s->checksum, p, piece)
                                                            : adler32(s->checksum, p, piece));
        p += piece;
        n -= piece;
      }
      break;
    default: break;  // NewDigest admits only the algorithms above
  }
}

inline uint32_t Rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

void Sha0Block(uint32_t h[5], const uint8_t* block) {
  uint32_t w[80];
  for (int i = 0; i < 16; ++i)
    w[i] = (uint32_t(block[4 * i]) << 24) | (uint32_t(block[4 * i + 1]) << 16) |
           (uint32_t(block[4 * i + 2]) << 8) | uint32_t(block[4 * i + 3]);
  for (int i = 16; i < 80; ++i) w[i] = w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16];
  uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
  for (int i = 0; i < 80; ++i) {
    uint32_t f, k;
    if (i < 20) {
      f = (b & c) | (~b & d);
      k = 0x5A827999;
    } else if (i < 40) {
      f = b ^ c ^ d;
      k = 0x6ED9EBA1;
    } else if (i < 60) {
      f = (b & c) | (b & d) | (c & d);
      k = 0x8F1BBCDC;
    } else {
      f = b ^ c ^ d;
      k = 0xCA62C1D6;
    }
    uint32_t t = Rotl(a, 5) + f + e + k + w[i];
    e = d;
    d = c;
    c = Rotl(b, 30);
    b = a;
    a = t;
  }
  h[0] += a;
  h[1] += b;
  h[2] += c;
  h[3] += d;
  h[4] += e;
}

}  // namespace

void Sha0Init(Sha0Context* c) {
  c->h[0] = 0x67452301;
  c->h[1] = 0xEFCDAB89;
  c->h[2] = 0x98BADCFE;
  c->h[3] = 0x10325476;
  c->h[4] = 0xC3D2E1F0;
  c->length = 0;
  c->used = 0;
}

void Sha0Update(Sha0Context* c, const uint8_t* data, size_t n) {
  c->length += n;
  if (c->used > 0) {
    size_t take = std::min<size_t>(n, 64 - c->used);
    std::memcpy(c->block + c->used, data, take);
    c->used += uint32_t(take);
    data += take;
    n -= take;
    if (c->used < 64) return;
    Sha0Block(c->h, c->block);
    c->used = 0;
  }
  for (; n >= 64; data += 64, n -= 64) Sha0Block(c->h, data);
  std::memcpy(c->block, data, n);
  c->used = uint32_t(n);
}

void Sha0Final(Sha0Context* c, uint8_t out[20]) {
  uint64_t bits = c->length * 8;
  c->block[c->used++] = 0x80;
  if (c->used > 56) {
    std::memset(c->block + c->used, 0, 64 - c->used);
    Sha0Block(c->h, c->block);
    c->used = 0;
  }
  std::memset(c->block + c->used, 0, 56 - c->used);
  for (int i = 0; i < 8; ++i) c->block[56 + i] = uint8_t(bits >> (56 - 8 * i));
  Sha0Block(c->h, c->block);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 4; ++j) out[4 * i + j] = uint8_t(c->h[i] >> (24 - 8 * j));
}

int DigestSize(int32_t algorithm) {
  switch (algorithm) {
    case kDigestSha0:
    case kDigestSha1:
    case kDigestRipemd160: return 20;
    case kDigestMd2:
    case kDigestMd4:
    case kDigestMd5: return 16;
    case kDigestCrc32:
    case kDigestAdler32: return 4;
    default: return 0;  // an unknown algorithm: no digest
  }
}

int32_t NewDigest(int32_t algorithm) {
  DigestState s;
  std::memset(&s, 0, sizeof s);
  s.algorithm = algorithm;
  s.family = DigestFamily::General;
  switch (algorithm) {
    case kDigestSha0: Sha0Init(&s.sha0); break;
    case kDigestMd2: md2_init(&s.md2); break;
    case kDigestMd4: md4_init(&s.md4); break;
    case kDigestMd5: md5_init(&s.md5); break;
    case kDigestSha1: sha1_init(&s.sha1); break;
    case kDigestRipemd160: ripemd160_init(&s.ripemd160); break;
    case kDigestCrc32: s.checksum = 0; break;
    case kDigestAdler32: s.checksum = 1; break;
    default: return 0;  // for callers outside a context, which has a known algorithm
  }
  return Allocate(s);
}

int32_t NewMd5Digest() {
  DigestState s;
  std::memset(&s, 0, sizeof s);
  s.algorithm = kDigestMd5;
  s.family = DigestFamily::Md5Only;
  md5_init(&s.md5);
  return Allocate(s);
}

bool UpdateDigest(int32_t ref, DigestFamily family, std::span<const uint8_t> data) {
  DigestState* s = Find(ref, family);
  if (!s) return false;
  Feed(s, data.data(), data.size());
  return true;
}

bool FinishDigest(int32_t ref, DigestFamily family, std::string* digest) {
  DigestState* s = Find(ref, family);
  if (!s) return false;
  uint8_t out[20] = {0};
  int size = DigestSize(s->algorithm);
  switch (s->algorithm) {
    case kDigestSha0: Sha0Final(&s->sha0, out); break;
    case kDigestMd2: md2_digest(&s->md2, size, out); break;
    case kDigestMd4: md4_digest(&s->md4, size, out); break;
    case kDigestMd5: md5_digest(&s->md5, size, out); break;
    case kDigestSha1: sha1_digest(&s->sha1, size, out); break;
    case kDigestRipemd160: ripemd160_digest(&s->ripemd160, size, out); break;
    case kDigestCrc32:
    case kDigestAdler32:
      for (int i = 0; i < 4; ++i) out[i] = uint8_t(s->checksum >> (24 - 8 * i));
      break;
    default: break;  // NewDigest admits only the algorithms above
  }
  digest->assign(reinterpret_cast<const char*>(out), size_t(size));
  Release(ref);
  return true;
}

int LiveDigestCount() { return Table().live; }

bool FormatDigest(const std::string& digest, int32_t form, std::string* out) {
  static constexpr char kHex[] = "0123456789abcdef";
  if (form == 0) {
    *out = digest;
    return true;
  }
  if (form != 1) return false;
  out->clear();
  for (unsigned char b : digest) {
    *out += kHex[b >> 4];
    *out += kHex[b & 15];
  }
  return true;
}

}  // namespace vrx
