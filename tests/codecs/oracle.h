// The literal, pass-by-pass model of the HTML, URL and quoted-printable codecs: one
// whole-text search-and-replace pass per substitution on a host block, in-place inserts
// and removals, exactly as the codecs are defined. Slow by design; the one-pass codecs
// must produce the same bytes (outputs within the text limit).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace oracle {

std::string HTMLEncode(std::string_view mac, int32_t mode);
std::string HTMLDecode(std::string_view html, int32_t mode);
std::string URLEncode(std::string_view mac, int32_t options);
std::string DecodeHexEscapes(std::string_view in, int32_t options);
std::string QPDecode(std::string_view in, int32_t options);

}  // namespace oracle
