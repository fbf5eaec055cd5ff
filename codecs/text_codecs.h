// Text codecs of mail and the Web: Base64, quoted-printable, URL escapes, HTML entities,
// the Mac Roman <-> ISO-8859-1 tables and ROT13.
//
// Two layers. The byte functions (suffix Bytes) are pure: they read a byte string and
// return the encoded or decoded bytes, without the character-set steps, so they can be
// tested and measured alone. The TextValue operations are what the commands and the
// stream conversions call: they read a host text, apply the character-set steps with the
// tables of the resource store, and return a new host text (a handle sized exactly to
// the result) that the caller owns. They never change their input and never fail: what
// they cannot use they skip or copy through.
//
// A host text holds at most 32767 bytes. Where an encoding would grow past that, the
// result stops before the first input byte whose encoded form no longer fits, so it
// always decodes to a prefix of the input and never ends inside an escape or entity.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "abi/abi.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vrx {

constexpr size_t kTextLimit = size_t(kMaxTextLength);
// The longest Base64 encoder input: 24500 bytes give 32667 characters (32668 padded).
constexpr size_t kBase64MaxInput = 24500;

// ---- byte functions -----------------------------------------------------------------
// Base64: empty when in is longer than kBase64MaxInput; no line breaks.
std::string Base64EncodeBytes(std::string_view in, bool pad);
// Skips every byte outside the alphabet ("=" included, anywhere).
std::string Base64DecodeBytes(std::string_view in);
// Raw forms for callers that own the buffers. out needs 4 * ceil(n / 3) bytes; returns
// the length written (0 when n > kBase64MaxInput).
size_t Base64EncodeTo(const uint8_t* in, size_t n, bool pad, uint8_t* out);
// out needs 3 * n / 4 bytes; returns the length written.
size_t Base64DecodeTo(const uint8_t* in, size_t n, uint8_t* out);

// Quoted-printable without the character-set steps. The encoder keeps every line (ended by
// CR LF) to 76 characters with soft line breaks and escapes a space or TAB before CR, LF or
// the end of the text; the decoder removes "=" CR LF and "=" CR, then decodes "=XX" escapes.
std::string QPEncodeBytes(std::string_view in);
std::string QPDecodeBytes(std::string_view in);
// "%XX" escapes (options other than -1; bit 0 keeps "+") or "=XX" escapes (options -1),
// without the character-set step.
std::string DecodeHexEscapesBytes(std::string_view in, int32_t options);
// URL escaping by mode 0, 1 or 2 (any other mode copies the bytes).
std::string URLEncodeBytes(std::string_view in, int32_t mode);

// Raw forms: read n bytes, write into out, return the length written. table is the
// character-set table applied with the operation (Mac Roman -> ISO-8859-1 before an
// encoding, ISO-8859-1 -> Mac Roman after a decoding), or null for none. out must hold
// EncodedCapacity(n, unit) bytes for an encoder whose longest unit is `unit` bytes, and
// n bytes for a decoder.
constexpr size_t kQPUnit = 6, kURLUnit = 3, kHTMLUnit = 8;
constexpr size_t EncodedCapacity(size_t n, size_t unit) {
  return (n * unit < kTextLimit + unit ? n * unit : kTextLimit + unit) + 8;
}
size_t QPEncodeTo(const uint8_t* in, size_t n, const uint8_t* table, uint8_t* out);
size_t QPDecodeTo(const uint8_t* in, size_t n, const uint8_t* table, uint8_t* out);
size_t DecodeHexEscapesTo(const uint8_t* in, size_t n, int32_t options, const uint8_t* table,
                          uint8_t* out);
size_t URLEncodeTo(const uint8_t* in, size_t n, int32_t mode, const uint8_t* table, uint8_t* out);
// HTML encoding with a table that moves ASCII bytes has units of up to 48 bytes; the
// capacity is then EncodedCapacity(n, kHTMLUnit * 6).
bool HTMLTableKeepsAscii(const uint8_t* table);
size_t HTMLEncodeTo(const uint8_t* in, size_t n, int32_t mode, const uint8_t* table, uint8_t* out);
size_t HTMLDecodeTo(const uint8_t* in, size_t n, int32_t mode, const uint8_t* table, uint8_t* out);

// HTML entities over Mac Roman text. macToIso / isoToMac: the 256-byte tables, or null
// when the resource is missing (the step is then skipped).
std::string HTMLEncodeBytes(std::string_view mac, int32_t mode, const uint8_t* macToIso);
std::string HTMLDecodeBytes(std::string_view html, int32_t mode, const uint8_t* isoToMac);
// Drops tags, then decodes as HTMLDecodeBytes mode 0.
std::string HTMLToTextBytes(std::string_view html, const uint8_t* isoToMac);

// CR -> CR LF (cut at the text limit before a CR that no longer fits) and CR LF -> CR.
std::string ExpandLineEndsBytes(std::string_view in);
std::string CollapseLineEndsBytes(std::string_view in);

constexpr uint8_t Rot13Byte(uint8_t b) {
  if ((b >= 'a' && b <= 'm') || (b >= 'A' && b <= 'M')) return uint8_t(b + 13);
  if ((b >= 'n' && b <= 'z') || (b >= 'N' && b <= 'Z')) return uint8_t(b - 13);
  return b;
}
// Rot13Byte of sixteen bytes. `in` and `out` may be the same. A byte is a letter when,
// with bit 5 set, it lies in 'a'..'z'; moved to the bottom of the signed range, one
// compare tells a letter and another its half of the alphabet.
inline void Rot13Block(const uint8_t* in, uint8_t* out) {
#if defined(__SSE2__)
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  const __m128i from = _mm_add_epi8(_mm_or_si128(x, _mm_set1_epi8(0x20)), _mm_set1_epi8(char(0x80 - 'a')));
  const __m128i letter = _mm_cmplt_epi8(from, _mm_set1_epi8(char(-128 + 26)));
  const __m128i firstHalf = _mm_cmplt_epi8(from, _mm_set1_epi8(char(-128 + 13)));
  // +13 in the first half, -13 in the second, 0 for any other byte
  const __m128i step = _mm_sub_epi8(_mm_set1_epi8(-13), _mm_and_si128(firstHalf, _mm_set1_epi8(-26)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_add_epi8(x, _mm_and_si128(letter, step)));
#else
  uint8_t b[16];
  std::memcpy(b, in, 16);
  for (uint8_t& c : b) c = Rot13Byte(c);
  std::memcpy(out, b, 16);
#endif
}
// Rot13Byte of every byte, for the bytes a block does not take.
struct Rot13Table {
  uint8_t bytes[256] = {};
  constexpr Rot13Table() {
    for (int b = 0; b < 256; ++b) bytes[b] = Rot13Byte(uint8_t(b));
  }
};
inline constexpr Rot13Table kRot13;
// Rot13Byte of n bytes from `in` to `out` (which may be `in`), sixteen at a time. The
// bytes after the last whole block go through one more block, the one that ends with
// the text (worked out from the input before anything is written, as `out` may be
// `in`): byte by byte, a short text's tail would cost more than the rest. A text of 8
// to 15 bytes goes through one block made of its first and last eight bytes, a shorter
// one through the table, whose loop has no branch to mispredict.
inline void Rot13Bytes(const uint8_t* in, size_t n, uint8_t* out) {
  if (n < 16) {
    if (n >= 8) {  // the first and the last eight bytes, overlapping, as one block
      uint8_t b[16];
      std::memcpy(b, in, 8);
      std::memcpy(b + 8, in + n - 8, 8);
      Rot13Block(b, b);
      std::memcpy(out, b, 8);
      std::memcpy(out + n - 8, b + 8, 8);
      return;
    }
    for (size_t i = 0; i < n; ++i) out[i] = kRot13.bytes[in[i]];
    return;
  }
  uint8_t last[16];
  Rot13Block(in + n - 16, last);
  for (size_t i = 0; i + 16 <= n; i += 16) Rot13Block(in + i, out + i);
  std::memcpy(out + n - 16, last, 16);
}
inline void MapBytes(uint8_t* p, size_t n, const uint8_t* table) {
  for (size_t i = 0; i < n; ++i) p[i] = table[p[i]];
}

// The named entities: name (with "&" and ";") and Mac Roman byte, in pass order.
struct HtmlEntity {
  std::string_view name;
  uint8_t mac;
  bool decodeOnly;
};
extern const HtmlEntity kHtmlEntities[94];

// ---- character-set tables -----------------------------------------------------------
constexpr int16_t kIsoToMacList = 15001;
constexpr int16_t kMacToIsoList = 15002;
// Table number k of a direction (k < 1 counts as 1): entry k of the string list names it,
// "ISO2Mac" / "Mac2ISO" when the entry is empty. False when the named resource is missing
// or shorter than 256 bytes.
bool LoadCharTable(int16_t listId, int32_t tableNumber, uint8_t out[256]);
bool LoadNamedCharTable(std::string_view name, uint8_t out[256]);

// ---- TextValue operations -----------------------------------------------------------
// A host text's bytes: min(length, handle size), empty for a null handle or a length
// below 1. Valid until the next allocation or resize of a handle.
std::string_view TextView(const TextValue& t);
// A new host text holding bytes (cut at the text limit). The bytes must not lie in a
// handle: the allocation may move it (CopyText copies a host text).
TextValue NewText(std::string_view bytes);
TextValue CopyText(const TextValue& in);
// A new host text holding in's bytes through Rot13Bytes.
TextValue Rot13TextCopy(const TextValue& in);

// In place, length unchanged.
void ISOToMac(TextValue* text, int32_t tableNumber);
void MacToISO(TextValue* text, int32_t tableNumber);

TextValue Base64Encode(const TextValue& in, int32_t options);
TextValue Base64Decode(const TextValue& in);
TextValue QPEncode(const TextValue& in, int32_t options);
TextValue QPDecode(const TextValue& in, int32_t options);
TextValue URLEncode(const TextValue& in, int32_t options);
TextValue DecodeHexEscapes(const TextValue& in, int32_t options);
TextValue HTMLEncode(const TextValue& in, int32_t mode);
TextValue HTMLDecode(const TextValue& in, int32_t mode);
TextValue HTMLToText(const TextValue& in);

// Replaces every occurrence of pattern in the block, resuming after each inserted
// replacement (inserted text is never searched again). Pattern and replacement are
// length-prefixed strings.
void ReplaceAll(Handle h, const uint8_t* pattern, const uint8_t* replacement);

}  // namespace vrx
