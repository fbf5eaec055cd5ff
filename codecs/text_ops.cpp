// The codecs on host texts: read the text, apply the character-set steps with the tables
// of the resource store, return a new text. Tables are fetched before the input's
// address is taken, since fetching allocates and an allocation may move the input.
#include <algorithm>
#include <cstring>

#include "codecs/text_codecs.h"
#include "platform/text_value.h"
#include "platform/memory.h"
#include "platform/services.h"

namespace vrx {
namespace {

constexpr platform::ResType kTableType = platform::MakeResType("VRXc");

// Table number 1 of a direction, or null when its resource is missing.
struct Table {
  uint8_t bytes[256];
  bool present;
  const uint8_t* get() const { return present ? bytes : nullptr; }
};
Table TableOne(int16_t listId) {
  Table t;
  t.present = LoadCharTable(listId, 1, t.bytes);
  return t;
}
Table NamedTable(std::string_view name) {
  Table t;
  t.present = LoadNamedCharTable(name, t.bytes);
  return t;
}

void MapText(TextValue* text, const Table& table) {
  if (!table.present) return;
  std::string_view v = TextView(*text);
  MapBytes(reinterpret_cast<uint8_t*>(const_cast<char*>(v.data())), v.size(), table.bytes);
}

TextValue EmptyText() { return NewText({}); }

// A new text written by write(input, n, out) straight into its handle. unit: the longest
// output per input byte (1 for decoders). The handle is allocated first, so the input's
// address is taken after the allocation that may move it.
template <typename Write>
TextValue Produce(const TextValue& in, size_t unit, Write write) {
  size_t n = TextView(in).size();
  size_t capacity = unit == 1 ? n : EncodedCapacity(n, unit);
  Handle h = platform::NewHandle(int32_t(capacity));
  if (!h) return {0, 0};
  std::string_view src = TextView(in);
  size_t len =
      write(reinterpret_cast<const uint8_t*>(src.data()), src.size(), platform::HandleAddress(h));
  platform::SetHandleSize(h, int32_t(len));
  return {int16_t(len), h};
}

}  // namespace

bool LoadNamedCharTable(std::string_view name, uint8_t out[256]) {
  // Read in place: a copy into a handle of its own would cost more than the conversion
  // of a short text.
  std::span<const uint8_t> table = platform::NamedResourceBytes(kTableType, name);
  if (table.size() < 256) return false;
  std::memcpy(out, table.data(), 256);
  return true;
}

bool LoadCharTable(int16_t listId, int32_t tableNumber, uint8_t out[256]) {
  if (tableNumber < 1) tableNumber = 1;
  uint8_t entry[256] = {};
  if (tableNumber <= 32767) platform::GetIndexedString(listId, int16_t(tableNumber), entry);
  std::string_view name(reinterpret_cast<const char*>(entry + 1), entry[0]);
  if (name.empty()) name = listId == kIsoToMacList ? "ISO2Mac" : "Mac2ISO";
  return LoadNamedCharTable(name, out);
}

std::string_view TextView(const TextValue& t) { return TextValueBytes(&t); }

TextValue NewText(std::string_view bytes) {
  bytes = bytes.substr(0, kTextLimit);
  Handle h = platform::NewHandleWith(bytes);
  return {h ? int16_t(bytes.size()) : int16_t(0), h};
}

TextValue CopyText(const TextValue& in) {
  size_t n = TextView(in).size();
  uint8_t* to;
  Handle h = platform::NewHandleAt(int32_t(n), &to);
  if (!h) return {0, 0};
  // Only now: the allocation may have moved the source (its size it cannot change).
  if (n) std::memcpy(to, platform::HandleAddress(in.handle), n);
  return {int16_t(n), h};
}

TextValue Rot13TextCopy(const TextValue& in) {
  // Sized by the length, which the block's own size can only cut: the source's address
  // and size are read once, after the allocation that may move it.
  int32_t length = in.handle ? std::max<int32_t>(in.length, 0) : 0;
  uint8_t* to;
  Handle h = platform::NewHandleAt(length, &to);
  if (!h) return {0, 0};
  int32_t size = 0;
  const uint8_t* from = length ? platform::HandleBytes(in.handle, &size) : nullptr;
  int32_t n = from ? std::min(length, size) : 0;
  if (n < length) {  // a length past the end of its block: the text is what the block holds
    platform::SetHandleSize(h, n);  // shrinking needs no memory, but may move the block
    from = n ? platform::HandleAddress(in.handle) : nullptr;
    to = platform::HandleAddress(h);
  }
  if (n) Rot13Bytes(from, size_t(n), to);
  return {int16_t(n), h};
}

void ISOToMac(TextValue* text, int32_t tableNumber) {
  Table t;
  t.present = LoadCharTable(kIsoToMacList, tableNumber, t.bytes);
  MapText(text, t);
}

void MacToISO(TextValue* text, int32_t tableNumber) {
  Table t;
  t.present = LoadCharTable(kMacToIsoList, tableNumber, t.bytes);
  MapText(text, t);
}

TextValue Base64Encode(const TextValue& in, int32_t options) {
  size_t n = TextView(in).size();
  if (n > kBase64MaxInput) return EmptyText();
  // Encode straight into the result block: allocate first, then take both addresses.
  Handle h = platform::NewHandle(int32_t((n + 2) / 3 * 4));
  if (!h) return {0, 0};
  std::string_view src = TextView(in);
  size_t len = Base64EncodeTo(reinterpret_cast<const uint8_t*>(src.data()), src.size(),
                              (options & 1) != 0, platform::HandleAddress(h));
  platform::SetHandleSize(h, int32_t(len));
  return {int16_t(len), h};
}

TextValue Base64Decode(const TextValue& in) {
  size_t n = TextView(in).size();
  Handle h = platform::NewHandle(int32_t(n / 4 * 3 + 3));
  if (!h) return {0, 0};
  std::string_view src = TextView(in);
  size_t len = Base64DecodeTo(reinterpret_cast<const uint8_t*>(src.data()), src.size(),
                              platform::HandleAddress(h));
  platform::SetHandleSize(h, int32_t(len));
  return {int16_t(len), h};
}

TextValue QPEncode(const TextValue& in, int32_t options) {
  Table table{};
  if ((options & 1) == 0) table = TableOne(kMacToIsoList);
  TextValue r = Produce(in, kQPUnit, [&](const uint8_t* p, size_t n, uint8_t* o) {
    return QPEncodeTo(p, n, table.get(), o);
  });
  if (!r.handle) platform::Beep();  // no memory for the result
  return r;
}

TextValue QPDecode(const TextValue& in, int32_t options) {
  Table table{};
  if (options == 0) table = TableOne(kIsoToMacList);
  return Produce(in, 1, [&](const uint8_t* p, size_t n, uint8_t* o) {
    return QPDecodeTo(p, n, table.get(), o);
  });
}

TextValue DecodeHexEscapes(const TextValue& in, int32_t options) {
  Table table{};
  if (options != -1 && (options & 4) == 0) table = TableOne(kIsoToMacList);
  return Produce(in, 1, [&](const uint8_t* p, size_t n, uint8_t* o) {
    return DecodeHexEscapesTo(p, n, options, table.get(), o);
  });
}

TextValue URLEncode(const TextValue& in, int32_t options) {
  Table table{};
  if (options & 4)
    options -= 4;
  else
    table = TableOne(kMacToIsoList);
  TextValue r = Produce(in, kURLUnit, [&](const uint8_t* p, size_t n, uint8_t* o) {
    return URLEncodeTo(p, n, options, table.get(), o);
  });
  if (!r.handle) platform::Beep();  // no memory for the result
  return r;
}

TextValue HTMLEncode(const TextValue& in, int32_t mode) {
  Table table = TableOne(kMacToIsoList);
  size_t unit = HTMLTableKeepsAscii(table.get()) ? kHTMLUnit : kHTMLUnit * 6;
  return Produce(in, unit, [&](const uint8_t* p, size_t n, uint8_t* o) {
    return HTMLEncodeTo(p, n, mode, table.get(), o);
  });
}

TextValue HTMLDecode(const TextValue& in, int32_t mode) {
  Table table = NamedTable("ISO2Mac");
  return Produce(in, 1, [&](const uint8_t* p, size_t n, uint8_t* o) {
    return HTMLDecodeTo(p, n, mode, table.get(), o);
  });
}

TextValue HTMLToText(const TextValue& in) {
  Table table = NamedTable("ISO2Mac");
  return NewText(HTMLToTextBytes(TextView(in), table.get()));
}

void ReplaceAll(Handle h, const uint8_t* pattern, const uint8_t* replacement) {
  // Resume at the returned offset even when it is 0 (a removal at the very start), so
  // that every occurrence is replaced. Each step either moves past inserted bytes or
  // shortens the block, and an empty pattern never matches, so the loop ends.
  int32_t offset = 0;
  for (;;) {
    int32_t next = platform::SearchReplace(h, offset, pattern + 1, pattern[0], replacement + 1,
                                           replacement[0]);
    if (next < 0) break;
    offset = next;
  }
}

}  // namespace vrx
