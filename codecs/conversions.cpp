#include "codecs/conversions.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>

#include "codecs/text_codecs.h"
#include "platform/memory.h"

namespace vrx {
namespace {

// Puts bytes into the text's own handle (a new one when it has none).
void SetTextBytes(TextValue* text, const std::string& bytes) {
  int32_t n = int32_t(std::min(bytes.size(), kTextLimit));
  if (!text->handle) {
    *text = NewText(bytes);
    return;
  }
  if (!platform::SetHandleSize(text->handle, n)) return;
  if (n) std::memcpy(platform::HandleAddress(text->handle), bytes.data(), size_t(n));
  text->length = int16_t(n);
}

TextValue Convert(const TextValue& text, int32_t bit) {
  switch (bit) {
    case kConvHtmlEncode:
      return HTMLEncode(text, 0);
    case kConvHtmlDecode:
      return HTMLDecode(text, 0);
    case kConvHtmlEncodeAmp:
      return HTMLEncode(text, 1);
    case kConvBase64Encode:
      return Base64Encode(text, 0);
    case kConvBase64Decode:
      return Base64Decode(text);
    case kConvQPEncode:
      return QPEncode(text, 0);
    default:
      return QPDecode(text, 0);
  }
}

// Only the highest set bit of a group counts: every member starts from the same text,
// so the lower ones would be computed only to be discarded.
void ApplyGroup(TextValue* text, int32_t options, std::initializer_list<int32_t> group) {
  int32_t chosen = 0;
  for (int32_t bit : group)
    if (options & bit) chosen = bit;
  if (!chosen) return;
  TextValue result = Convert(*text, chosen);
  if (text->handle) platform::DisposeHandle(text->handle);
  *text = result;
}

}  // namespace

void ExpandLineEnds(TextValue* text) { SetTextBytes(text, ExpandLineEndsBytes(TextView(*text))); }

void CollapseLineEnds(TextValue* text) {
  SetTextBytes(text, CollapseLineEndsBytes(TextView(*text)));
}

void ApplyTextConversions(TextValue* text, int32_t options) {
  if (options == 0 || !text) return;
  if (options & kConvMacToIso) MacToISO(text, 1);
  if (options & kConvIsoToMac) ISOToMac(text, 1);
  if (options & kConvExpandLineEnds) ExpandLineEnds(text);
  if (options & kConvCollapseLineEnds) CollapseLineEnds(text);
  ApplyGroup(text, options, {kConvHtmlEncode, kConvHtmlDecode, kConvHtmlEncodeAmp});
  ApplyGroup(text, options, {kConvBase64Encode, kConvBase64Decode});
  ApplyGroup(text, options, {kConvQPEncode, kConvQPDecode});
}

}  // namespace vrx
