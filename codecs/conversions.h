// The conversion options applied to stream text just before it is sent or just after
// it is received.
#pragma once
#include <cstdint>

#include "abi/abi.h"

namespace vrx {

// Option bits, applied in this order: the in-place steps, then three groups whose
// members exclude each other (the highest set bit of a group wins) and which chain.
enum : int32_t {
  kConvMacToIso = 0x001,
  kConvIsoToMac = 0x002,
  kConvExpandLineEnds = 0x004,    // CR -> CR LF
  kConvCollapseLineEnds = 0x008,  // CR LF -> CR
  kConvHtmlEncode = 0x010,        // group A
  kConvHtmlDecode = 0x020,
  kConvHtmlEncodeAmp = 0x040,  // only "& " escaped
  kConvBase64Encode = 0x080,   // group B, no padding
  kConvBase64Decode = 0x100,
  kConvQPEncode = 0x200,  // group C, with the character-set steps
  kConvQPDecode = 0x400,
};

// Converts `text` in place (its handle may be replaced) by the option bits.
void ApplyTextConversions(TextValue* text, int32_t options);

// In place on the text's handle; the length becomes the new size (at most 32767: a CR
// whose CR LF would not fit ends the text).
void ExpandLineEnds(TextValue* text);
void CollapseLineEnds(TextValue* text);

}  // namespace vrx
