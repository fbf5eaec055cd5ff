// Base64 with the RFC 2045 alphabet, on whole texts, without line breaks.
#include <array>
#include <cstring>

#include "codecs/text_codecs.h"

namespace vrx {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Two output characters for every 12-bit value, so a 3-byte group costs two loads.
constexpr std::array<uint16_t, 4096> MakePairs() {
  std::array<uint16_t, 4096> t{};
  for (int v = 0; v < 4096; ++v) {
    // Stored in memory order: first character in the low byte (little-endian store).
    t[v] = uint16_t(uint8_t(kAlphabet[v >> 6]) | (uint8_t(kAlphabet[v & 63]) << 8));
  }
  return t;
}
constexpr std::array<uint16_t, 4096> kPairs = MakePairs();

// Decoding: one table per position in a group of four, each giving that character's bits
// already shifted into a 24-bit value (big-endian order of the three output bytes), and
// kBad for a byte outside the alphabet.
constexpr uint32_t kBad = 0x80000000u;
constexpr int kValue(uint8_t c) {
  for (int k = 0; k < 64; ++k)
    if (uint8_t(kAlphabet[k]) == c) return k;
  return -1;
}
constexpr std::array<uint32_t, 256> MakeDecode(int shift) {
  std::array<uint32_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    int v = kValue(uint8_t(c));
    t[c] = v < 0 ? kBad : uint32_t(v) << shift;
  }
  return t;
}
constexpr std::array<uint32_t, 256> kD0 = MakeDecode(18);
constexpr std::array<uint32_t, 256> kD1 = MakeDecode(12);
constexpr std::array<uint32_t, 256> kD2 = MakeDecode(6);
constexpr std::array<uint32_t, 256> kD3 = MakeDecode(0);

inline void Store2(uint8_t* out, uint16_t pair) { std::memcpy(out, &pair, 2); }

}  // namespace

size_t Base64EncodeTo(const uint8_t* in, size_t n, bool pad, uint8_t* out) {
  if (n > kBase64MaxInput) return 0;
  uint8_t* o = out;
  size_t i = 0;
  for (; i + 3 <= n; i += 3) {
    uint32_t v = (uint32_t(in[i]) << 16) | (uint32_t(in[i + 1]) << 8) | in[i + 2];
    Store2(o, kPairs[v >> 12]);
    Store2(o + 2, kPairs[v & 0xFFF]);
    o += 4;
  }
  size_t rest = n - i;
  if (rest) {
    // The missing bytes read as zero; only the characters they do not fill are dropped.
    uint32_t v = uint32_t(in[i]) << 16;
    if (rest == 2) v |= uint32_t(in[i + 1]) << 8;
    *o++ = uint8_t(kAlphabet[v >> 18]);
    *o++ = uint8_t(kAlphabet[(v >> 12) & 63]);
    if (rest == 2) *o++ = uint8_t(kAlphabet[(v >> 6) & 63]);
    if (pad) {
      *o++ = '=';
      if (rest == 1) *o++ = '=';
    }
  }
  return size_t(o - out);
}

size_t Base64DecodeTo(const uint8_t* in, size_t n, uint8_t* out) {
  uint8_t* o = out;
  size_t i = 0;
  uint32_t acc = 0;  // characters of a group interrupted by skipped bytes
  int held = 0;
  while (i < n) {
    if (held == 0) {
      // Whole groups of four alphabet characters: the common case.
      while (i + 4 <= n) {
        uint32_t v = kD0[in[i]] | kD1[in[i + 1]] | kD2[in[i + 2]] | kD3[in[i + 3]];
        if (v & kBad) break;
        o[0] = uint8_t(v >> 16);
        o[1] = uint8_t(v >> 8);
        o[2] = uint8_t(v);
        o += 3;
        i += 4;
      }
      if (i >= n) break;
    }
    uint32_t d = kD3[in[i++]];
    if (d & kBad) continue;
    acc = (acc << 6) | d;
    if (++held == 4) {
      o[0] = uint8_t(acc >> 16);
      o[1] = uint8_t(acc >> 8);
      o[2] = uint8_t(acc);
      o += 3;
      acc = 0;
      held = 0;
    }
  }
  // An incomplete last group: 2 characters give 1 byte, 3 give 2, 1 gives nothing.
  if (held == 2) {
    *o++ = uint8_t(acc >> 4);
  } else if (held == 3) {
    *o++ = uint8_t(acc >> 10);
    *o++ = uint8_t(acc >> 2);
  }
  return size_t(o - out);
}

std::string Base64EncodeBytes(std::string_view in, bool pad) {
  if (in.size() > kBase64MaxInput) return {};
  std::string out((in.size() + 2) / 3 * 4, '\0');
  size_t len = Base64EncodeTo(reinterpret_cast<const uint8_t*>(in.data()), in.size(), pad,
                              reinterpret_cast<uint8_t*>(out.data()));
  out.resize(len);
  return out;
}

std::string Base64DecodeBytes(std::string_view in) {
  std::string out(in.size() / 4 * 3 + 3, '\0');
  size_t len = Base64DecodeTo(reinterpret_cast<const uint8_t*>(in.data()), in.size(),
                              reinterpret_cast<uint8_t*>(out.data()));
  out.resize(len);
  return out;
}

}  // namespace vrx
