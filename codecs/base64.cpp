// Base64 with the RFC 2045 alphabet, on whole texts, without line breaks.
#include <immintrin.h>

#include <array>
#include <bit>
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

static_assert(std::endian::native == std::endian::little, "pair table is in memory order");
inline void Store2(uint8_t* out, uint16_t pair) { std::memcpy(out, &pair, 2); }

// SSSE3 paths: 12 bytes to 16 characters and back per step (the multiply-shift and
// table-shuffle method). Chosen at run time; the scalar code finishes what they leave.
bool HaveSsse3() {
  static const bool have = __builtin_cpu_supports("ssse3");
  return have;
}

// Encodes whole 12-byte steps while 16 input bytes can be loaded; returns bytes consumed.
__attribute__((target("ssse3"))) size_t EncodeSsse3(const uint8_t* in, size_t n, uint8_t* out) {
  const __m128i shuffle = _mm_set_epi8(10, 11, 9, 10, 7, 8, 6, 7, 4, 5, 3, 4, 1, 2, 0, 1);
  const __m128i shiftLut =
      _mm_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                    '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0);
  size_t i = 0;
  for (; i + 16 <= n; i += 12, out += 16) {
    __m128i v =
        _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i)), shuffle);
    // Four 6-bit indices per 3-byte group, one per byte.
    __m128i ac =
        _mm_mulhi_epu16(_mm_and_si128(v, _mm_set1_epi32(0x0FC0FC00)), _mm_set1_epi32(0x04000040));
    __m128i bd =
        _mm_mullo_epi16(_mm_and_si128(v, _mm_set1_epi32(0x003F03F0)), _mm_set1_epi32(0x01000010));
    __m128i idx = _mm_or_si128(ac, bd);
    // Map each index to its alphabet range, then add the range's offset.
    __m128i range = _mm_subs_epu8(idx, _mm_set1_epi8(51));
    __m128i upper = _mm_cmpgt_epi8(_mm_set1_epi8(26), idx);
    range = _mm_or_si128(range, _mm_and_si128(upper, _mm_set1_epi8(13)));
    __m128i chars = _mm_add_epi8(_mm_shuffle_epi8(shiftLut, range), idx);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), chars);
  }
  return i;
}

// Decodes 16 characters to 12 bytes per step while all 16 are in the alphabet and 24
// input bytes remain (so the 16-byte store stays inside an output of 3n/4 bytes).
// Returns the characters consumed; *written gets the bytes written.
__attribute__((target("ssse3"))) size_t DecodeSsse3(const uint8_t* in, size_t n, uint8_t* out,
                                                    size_t* written) {
  auto between = [](__m128i v, char lo, char hi) {
    return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(char(lo - 1))),
                         _mm_cmplt_epi8(v, _mm_set1_epi8(char(hi + 1))));
  };
  const __m128i order = _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
  size_t i = 0;
  uint8_t* o = out;
  for (; i + 24 <= n; i += 16, o += 12) {
    __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    // Signed compares: bytes from 0x80 up are negative and fall in no range.
    __m128i up = between(c, 'A', 'Z'), lo = between(c, 'a', 'z'), dig = between(c, '0', '9');
    __m128i plus = _mm_cmpeq_epi8(c, _mm_set1_epi8('+'));
    __m128i slash = _mm_cmpeq_epi8(c, _mm_set1_epi8('/'));
    __m128i valid =
        _mm_or_si128(_mm_or_si128(up, lo), _mm_or_si128(dig, _mm_or_si128(plus, slash)));
    if (_mm_movemask_epi8(valid) != 0xFFFF) break;
    __m128i shift = _mm_or_si128(
        _mm_or_si128(_mm_and_si128(up, _mm_set1_epi8(-65)), _mm_and_si128(lo, _mm_set1_epi8(-71))),
        _mm_or_si128(_mm_and_si128(dig, _mm_set1_epi8(4)),
                     _mm_or_si128(_mm_and_si128(plus, _mm_set1_epi8(19)),
                                  _mm_and_si128(slash, _mm_set1_epi8(16)))));
    __m128i values = _mm_add_epi8(c, shift);
    // Pairs of 6-bit values to 12 bits, pairs of those to 24, then bytes in order.
    __m128i twelve = _mm_maddubs_epi16(values, _mm_set1_epi32(0x01400140));
    __m128i both = _mm_madd_epi16(twelve, _mm_set1_epi32(0x00011000));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_shuffle_epi8(both, order));
  }
  *written = size_t(o - out);
  return i;
}

}  // namespace

size_t Base64EncodeTo(const uint8_t* in, size_t n, bool pad, uint8_t* out) {
  if (n > kBase64MaxInput) return 0;
  uint8_t* o = out;
  size_t i = 0;
  if (HaveSsse3()) {
    i = EncodeSsse3(in, n, o);
    o += i / 3 * 4;
  }
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
      if (HaveSsse3()) {
        size_t written = 0;
        i += DecodeSsse3(in + i, n - i, o, &written);
        o += written;
      }
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
