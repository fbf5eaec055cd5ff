// Base64 with the RFC 2045 alphabet, on whole texts, without line breaks.
#include <immintrin.h>

#include <array>
#include <bit>
#include <cstring>

#include "codecs/base64_paths.h"
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

// ---- vector paths ----------------------------------------------------------------------
// Each encoder takes whole steps while its loads stay inside the input and returns the
// bytes consumed; each decoder takes whole steps of alphabet characters while its stores
// stay inside an output of 3n/4 bytes, returns the characters consumed and sets *written.
// A wider path hands what it leaves to the next narrower one; the scalar code finishes.
// Each starts on a cache line of its own: where the linker happened to put them moved
// a decode's speed by a fifth with no change to this file.

// SSSE3: 12 bytes to 16 characters and back per step (the multiply-shift and
// table-shuffle method).
// Encodes whole 12-byte steps while 16 input bytes can be loaded; returns bytes consumed.
__attribute__((target("ssse3"), aligned(64))) size_t EncodeSsse3(const uint8_t* in, size_t n, uint8_t* out) {
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
__attribute__((target("ssse3"), aligned(64))) size_t DecodeSsse3(const uint8_t* in, size_t n, uint8_t* out,
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


// AVX2: the SSSE3 steps on two 128-bit lanes, 24 bytes to 32 characters.
__attribute__((target("avx2"), aligned(64))) size_t EncodeAvx2(const uint8_t* in, size_t n, uint8_t* out) {
  const __m256i shuffle = _mm256_broadcastsi128_si256(
      _mm_set_epi8(10, 11, 9, 10, 7, 8, 6, 7, 4, 5, 3, 4, 1, 2, 0, 1));
  const __m256i shiftLut = _mm256_broadcastsi128_si256(
      _mm_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                    '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0));
  size_t i = 0;
  for (; i + 28 <= n; i += 24, out += 32) {
    // Lane 0 takes bytes 0..11, lane 1 bytes 12..23 (each loads 16, uses 12).
    __m256i v = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 12)), 1);
    v = _mm256_shuffle_epi8(v, shuffle);
    __m256i ac = _mm256_mulhi_epu16(_mm256_and_si256(v, _mm256_set1_epi32(0x0FC0FC00)),
                                    _mm256_set1_epi32(0x04000040));
    __m256i bd = _mm256_mullo_epi16(_mm256_and_si256(v, _mm256_set1_epi32(0x003F03F0)),
                                    _mm256_set1_epi32(0x01000010));
    __m256i idx = _mm256_or_si256(ac, bd);
    __m256i range = _mm256_subs_epu8(idx, _mm256_set1_epi8(51));
    __m256i upper = _mm256_cmpgt_epi8(_mm256_set1_epi8(26), idx);
    range = _mm256_or_si256(range, _mm256_and_si256(upper, _mm256_set1_epi8(13)));
    __m256i chars = _mm256_add_epi8(_mm256_shuffle_epi8(shiftLut, range), idx);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), chars);
  }
  _mm256_zeroupper();  // the SSE code below would pay for wide registers left dirty
  return i + EncodeSsse3(in + i, n - i, out);
}

// 32 characters to 24 bytes. Validity and value come from nibble tables: a character is
// in the alphabet when the bits its low and high nibbles select have nothing in common.
__attribute__((target("avx2"), aligned(64))) size_t DecodeAvx2(const uint8_t* in, size_t n, uint8_t* out,
                                                  size_t* written) {
  const __m256i lutLo = _mm256_broadcastsi128_si256(_mm_setr_epi8(
      0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A));
  const __m256i lutHi = _mm256_broadcastsi128_si256(_mm_setr_epi8(
      0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10));
  // What to add to a character, by its high nibble ('/' has its own entry).
  const __m256i lutRoll =
      _mm256_broadcastsi128_si256(_mm_setr_epi8(0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0));
  const __m256i order = _mm256_broadcastsi128_si256(
      _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1));
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  size_t i = 0;
  uint8_t* o = out;
  for (; i + 44 <= n; i += 32, o += 24) {
    __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
    __m256i hi = _mm256_and_si256(_mm256_srli_epi32(c, 4), nibble);
    __m256i lo = _mm256_and_si256(c, nibble);
    if (!_mm256_testz_si256(_mm256_shuffle_epi8(lutLo, lo), _mm256_shuffle_epi8(lutHi, hi))) break;
    __m256i slash = _mm256_cmpeq_epi8(c, _mm256_set1_epi8('/'));
    __m256i values = _mm256_add_epi8(c, _mm256_shuffle_epi8(lutRoll, _mm256_add_epi8(slash, hi)));
    __m256i twelve = _mm256_maddubs_epi16(values, _mm256_set1_epi32(0x01400140));
    __m256i both = _mm256_madd_epi16(twelve, _mm256_set1_epi32(0x00011000));
    __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(both, order), lanes);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(o), packed);
  }
  size_t rest = 0;
  _mm256_zeroupper();  // the SSE code below would pay for wide registers left dirty
  i += DecodeSsse3(in + i, n - i, o, &rest);
  *written = size_t(o - out) + rest;
  return i;
}

// AVX-512 VBMI: 48 bytes to 64 characters with byte permutes across the register and a
// multishift that cuts every 6-bit field out in one instruction.
template <size_t N, typename F>
constexpr std::array<uint8_t, N> Bytes(F f) {
  std::array<uint8_t, N> t{};
  for (size_t k = 0; k < N; ++k) t[k] = f(k);
  return t;
}
// Each 32-bit lane gets the bytes b1 b0 b2 b1 of its 3-byte group.
constexpr auto kGather = Bytes<64>([](size_t k) {
  constexpr uint8_t kOrder[4] = {1, 0, 2, 1};
  return uint8_t(k / 4 * 3 + kOrder[k % 4]);
});
// And back: the three bytes of each 24-bit lane value, most significant first.
constexpr auto kScatter = Bytes<64>([](size_t k) { return uint8_t(k < 48 ? k / 3 * 4 + 2 - k % 3 : 0); });
// Each ASCII character's value, or 0x80 for one outside the alphabet.
constexpr auto kAsciiValues = Bytes<128>([](size_t c) {
  int v = kValue(uint8_t(c));
  return uint8_t(v < 0 ? 0x80 : v);
});
constexpr uint64_t kLow48 = (uint64_t(1) << 48) - 1;

// GCC 12's headers build these permutes on _mm512_undefined_epi32() and then warn that
// it may be used uninitialized; every lane is written.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

__attribute__((target("avx512f,avx512bw,avx512vbmi,avx2"), aligned(64))) size_t EncodeAvx512(const uint8_t* in, size_t n,
                                                                                 uint8_t* out) {
  const __m512i gather = _mm512_loadu_si512(kGather.data());
  const __m512i alphabet = _mm512_loadu_si512(kAlphabet);
  // Within each 32-bit lane the fields start at bits 10, 4, 22 and 16.
  const __m512i shifts = _mm512_set1_epi64(0x3036242A1016040ALL);
  size_t i = 0;
  for (; i + 48 <= n; i += 48, out += 64) {
    __m512i v = _mm512_permutexvar_epi8(gather, _mm512_maskz_loadu_epi8(kLow48, in + i));
    __m512i idx = _mm512_multishift_epi64_epi8(shifts, v);
    _mm512_storeu_si512(out, _mm512_permutexvar_epi8(idx, alphabet));  // uses the low 6 bits
  }
  _mm256_zeroupper();  // so would the SSE code the AVX2 path hands its rest to
  return i + EncodeAvx2(in + i, n - i, out);
}

__attribute__((target("avx512f,avx512bw,avx512vbmi,avx2"), aligned(64))) size_t DecodeAvx512(const uint8_t* in, size_t n,
                                                                                 uint8_t* out, size_t* written) {
  const __m512i lookLo = _mm512_loadu_si512(kAsciiValues.data());
  const __m512i lookHi = _mm512_loadu_si512(kAsciiValues.data() + 64);
  const __m512i scatter = _mm512_loadu_si512(kScatter.data());
  size_t i = 0;
  uint8_t* o = out;
  for (; i + 64 <= n; i += 64, o += 48) {
    __m512i c = _mm512_loadu_si512(in + i);
    __m512i values = _mm512_permutex2var_epi8(lookLo, c, lookHi);
    // Outside the alphabet: the table says so, or the character is not ASCII.
    if (_mm512_movepi8_mask(_mm512_or_si512(values, c))) break;
    __m512i twelve = _mm512_maddubs_epi16(values, _mm512_set1_epi32(0x01400140));
    __m512i both = _mm512_madd_epi16(twelve, _mm512_set1_epi32(0x00011000));
    _mm512_mask_storeu_epi8(o, kLow48, _mm512_permutexvar_epi8(scatter, both));
  }
  size_t rest = 0;
  _mm256_zeroupper();  // so would the SSE code the AVX2 path hands its rest to
  i += DecodeAvx2(in + i, n - i, o, &rest);
  *written = size_t(o - out) + rest;
  return i;
}

#pragma GCC diagnostic pop

size_t EncodeNone(const uint8_t*, size_t, uint8_t*) { return 0; }
size_t DecodeNone(const uint8_t*, size_t, uint8_t*, size_t* written) {
  *written = 0;
  return 0;
}

struct Kernels {
  size_t (*encode)(const uint8_t* in, size_t n, uint8_t* out);
  size_t (*decode)(const uint8_t* in, size_t n, uint8_t* out, size_t* written);
};

constexpr Kernels kKernels[] = {
    {EncodeNone, DecodeNone},
    {EncodeSsse3, DecodeSsse3},
    {EncodeAvx2, DecodeAvx2},
    {EncodeAvx512, DecodeAvx512},
};

bool Supported(Base64Path path) {
  switch (path) {
    case Base64Path::Scalar: return true;
    case Base64Path::Ssse3: return __builtin_cpu_supports("ssse3");
    case Base64Path::Avx2: return __builtin_cpu_supports("avx2");
    case Base64Path::Avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
             __builtin_cpu_supports("avx512vbmi");
  }
  return false;
}

// Which paths a machine has decides which branches here run: this one needs a processor
// without SSSE3. Likewise a processor without AVX-512 VBMI (many build machines) never
// runs the AVX-512 kernels above, and one with it never takes the refusals in Supported:
// neither set of lines can be covered on a single machine.
Base64Path Best() {
  for (Base64Path p : {Base64Path::Avx512, Base64Path::Avx2, Base64Path::Ssse3})
    if (Supported(p)) return p;
  return Base64Path::Scalar;
}

Base64Path& Chosen() {
  static Base64Path path = Best();
  return path;
}

const Kernels& Active() { return kKernels[int(Chosen())]; }

}  // namespace

bool UseBase64Path(Base64Path path) {
  if (!Supported(path)) return false;
  Chosen() = path;
  return true;
}

Base64Path CurrentBase64Path() { return Chosen(); }

size_t Base64EncodeTo(const uint8_t* in, size_t n, bool pad, uint8_t* out) {
  if (n > kBase64MaxInput) return 0;
  uint8_t* o = out;
  size_t i = Active().encode(in, n, o);
  o += i / 3 * 4;
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
  const Kernels& k = Active();
  while (i < n) {
    if (held == 0) {
      // Whole groups of four alphabet characters: the common case.
      size_t written = 0;
      i += k.decode(in + i, n - i, o, &written);
      o += written;
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
