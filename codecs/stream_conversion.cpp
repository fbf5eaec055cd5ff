#include "codecs/stream_conversion.h"

#include <algorithm>
#include <cstring>

#include "codecs/conversions.h"
#include "platform/memory.h"

namespace vrx {
namespace {

bool IsHex(uint8_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
bool IsAlnum(uint8_t c) { return IsHex(c) || (c >= 'G' && c <= 'Z') || (c >= 'g' && c <= 'z'); }
bool IsBase64(uint8_t c) { return IsAlnum(c) || c == '+' || c == '/'; }

// A byte that no unit of the conversion can contain, so that no unit spans it.
bool SeparatesQpUnits(uint8_t c) { return !(c == '=' || c == '\r' || c == '\n' || IsHex(c)); }
bool SeparatesEntities(uint8_t c) { return !(IsAlnum(c) || c == '&' || c == '#' || c == ';'); }

// Both scans look at positions above `from` only: what is below was looked at before,
// with the same bytes in front, and held no place to cut.
size_t AfterLast(std::string_view d, bool (*separates)(uint8_t), size_t from) {
  for (size_t i = d.size(); i > from; --i)
    if (separates(uint8_t(d[i - 1]))) return i;
  return 0;
}

// After the last byte no entity holds, unless that byte closes a numeric reference
// ("&#" digits), which takes it in whatever it is.
size_t AfterLastEntitySeparator(std::string_view d, size_t from) {
  for (size_t i = d.size(); i > from; --i) {
    if (!SeparatesEntities(uint8_t(d[i - 1]))) continue;
    size_t k = i - 1;
    while (k > 0 && d[k - 1] >= '0' && d[k - 1] <= '9') --k;
    if (k >= 2 && d[k - 1] == '#' && d[k - 2] == '&') continue;
    return i;
  }
  return 0;
}

// Where data may be cut for the conversion `bit`: the end of the longest prefix of `d`
// that converts the same alone as followed by anything. No such end lies at or below
// `from`.
size_t SafeCut(int32_t bit, std::string_view d, size_t from = 0) {
  const size_t n = d.size();
  switch (bit) {
    case kConvCollapseLineEnds:  // never between CR and LF
      return n > 0 && d[n - 1] == '\r' ? n - 1 : n;
    case kConvHtmlEncodeAmp:  // "&" is escaped only before a space
      return n > 0 && d[n - 1] == '&' ? n - 1 : n;
    case kConvHtmlDecode:  // entities are decoded in passes: cut where none can reach
      return AfterLastEntitySeparator(d, from);
    case kConvBase64Encode:
      return n / 3 * 3;
    case kConvBase64Decode: {  // after a whole group of four alphabet characters
      size_t count = 0, cut = 0;
      for (size_t i = 0; i < n; ++i)
        if (IsBase64(uint8_t(d[i])) && ++count % 4 == 0) cut = i + 1;
      return cut;
    }
    case kConvQPEncode: {  // lines are counted from a hard line break
      size_t p = d.substr(from > 0 ? from - 1 : 0).rfind("\r\n");
      return p == std::string_view::npos ? 0 : p + (from > 0 ? from - 1 : 0) + 2;
    }
    case kConvQPDecode:  // soft breaks are removed before escapes are read
      return d.find('=') == std::string_view::npos ? n : AfterLast(d, SeparatesQpUnits, from);
    default:  // byte by byte
      return n;
  }
}

// The most input one conversion call takes, so that its result fits in a text.
size_t PieceLimit(int32_t bit) {
  switch (bit) {
    case kConvHtmlEncode:
    case kConvHtmlEncodeAmp: return 640;  // up to 48 bytes an input byte
    case kConvQPEncode: return 8000;
    case kConvExpandLineEnds: return 16000;
    case kConvBase64Encode: return 16380;
    default: return 32000;
  }
}

// Held bytes with no place to cut past this are converted all the same (a line that
// long to encode, a run of hex digits that long to decode): nothing is held for ever.
constexpr size_t kMostHeld = 65536;

bool ConvertOne(int32_t bit, std::string_view in, std::string& out) {
  if (in.empty()) return true;
  TextValue text{int16_t(in.size()), platform::NewHandle(int32_t(in.size()))};
  if (!text.handle) return false;
  std::memcpy(platform::HandleAddress(text.handle), in.data(), in.size());
  ApplyTextConversions(&text, bit);
  if (!text.handle) return false;
  int32_t n = std::clamp<int32_t>(text.length, 0, platform::HandleSize(text.handle));
  const uint8_t* p = platform::HandleAddress(text.handle);
  if (n > 0 && p) out.append(reinterpret_cast<const char*>(p), size_t(n));
  platform::DisposeHandle(text.handle);
  return true;
}

}  // namespace

ConversionStream::ConversionStream(int32_t options) {
  for (int32_t bit : {kConvMacToIso, kConvIsoToMac, kConvExpandLineEnds, kConvCollapseLineEnds})
    if (options & bit) stages_.push_back({bit, {}});
  // Within a group only the highest bit counts.
  for (auto group : {std::initializer_list<int32_t>{kConvHtmlEncode, kConvHtmlDecode, kConvHtmlEncodeAmp},
                     std::initializer_list<int32_t>{kConvBase64Encode, kConvBase64Decode},
                     std::initializer_list<int32_t>{kConvQPEncode, kConvQPDecode}}) {
    int32_t chosen = 0;
    for (int32_t bit : group)
      if (options & bit) chosen = bit;
    if (chosen) stages_.push_back({chosen, {}});
  }
}

bool ConversionStream::Idle() const {
  return std::all_of(stages_.begin(), stages_.end(), [](const Stage& s) { return s.held.empty(); });
}

bool ConversionStream::Run(size_t first, std::string_view in, bool end, std::string& out) {
  if (first == stages_.size()) {
    out.append(in);
    return true;
  }
  Stage& s = stages_[first];
  s.held.append(in);
  size_t cut = end ? s.held.size() : SafeCut(s.bit, s.held, s.uncut);
  if (cut == 0 && s.held.size() > kMostHeld) cut = s.held.size();
  // A unit that keeps growing (a run of "&" trickling in) is not scanned again.
  s.uncut = cut == 0 ? s.held.size() : 0;
  std::string converted;
  size_t done = 0;
  while (done < cut) {
    size_t n = std::min(cut - done, PieceLimit(s.bit));
    if (done + n < cut) {
      size_t c = SafeCut(s.bit, std::string_view(s.held).substr(done, n));
      if (c > 0) n = c;
    }
    if (!ConvertOne(s.bit, std::string_view(s.held).substr(done, n), converted)) {
      s.held.erase(0, done);
      return false;
    }
    done += n;
  }
  s.held.erase(0, done);
  return Run(first + 1, converted, end, out);
}

bool ConversionStream::Feed(std::string_view piece, std::string& out) { return Run(0, piece, false, out); }

bool ConversionStream::Finish(std::string& out) { return Run(0, {}, true, out); }

bool ConversionStream::FeedUntilIdle(std::string_view piece) {
  std::string dropped;
  for (size_t i = 0; i < piece.size(); ++i) {
    if (!Feed(piece.substr(i, 1), dropped)) return true;
    if (Idle()) return true;
    dropped.clear();
  }
  return false;
}

size_t ConvertWholeUnits(std::string_view raw, int32_t options, bool end, size_t room, std::string& out) {
  out.clear();
  // Checkpoints along the data: the last one where nothing was held and the result
  // still fit wins. Steps shrink to single bytes near the end, where a unit may be open.
  constexpr size_t kStep = 256;
  ConversionStream s(options);
  size_t best = 0, bestLength = 0, at = 0;
  std::string converted;
  while (at < raw.size()) {
    size_t step = raw.size() - at > 2 * kStep ? kStep : 1;
    if (!s.Feed(raw.substr(at, step), converted)) break;
    at += step;
    if (converted.size() > room) break;
    if (s.Idle()) best = at, bestLength = converted.size();
  }
  if (end && at == raw.size() && s.Finish(converted) && converted.size() <= room)
    best = at, bestLength = converted.size();
  converted.resize(bestLength);
  out = std::move(converted);
  return best;
}

size_t PrefixConvertingTo(std::string_view raw, int32_t options, size_t length) {
  if (length == 0) return 0;
  // Large steps while the result stays short of `length`; a step that reaches it is
  // taken back and tried in halves, down to single bytes.
  ConversionStream s(options);
  std::string out;
  size_t at = 0, step = 256;
  while (at < raw.size()) {
    step = std::min(step, raw.size() - at);
    ConversionStream before = s;
    const size_t had = out.size();
    if (!s.Feed(raw.substr(at, step), out)) return std::string_view::npos;
    if (out.size() == length && s.Idle()) return at + step;
    if (out.size() >= length && step > 1) {
      s = std::move(before);
      out.resize(had);
      step /= 2;
      continue;
    }
    if (out.size() > length) return std::string_view::npos;
    at += step;
  }
  return std::string_view::npos;
}

}  // namespace vrx
