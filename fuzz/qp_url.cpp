// Quoted-printable and URL escapes, checked against the pass-by-pass model for inputs
// small enough to keep it cheap.
#include "fuzz_support.h"
#include "tests/codecs/oracle.h"

using namespace vrx;

namespace {
// Mail rules: every line (ended by CR LF) at most 76 characters, and no space or TAB
// right before CR, LF or the end of the text.
bool KeepsMailRules(std::string_view e) {
  size_t lineStart = 0;
  for (size_t p = 0; p <= e.size(); ++p) {
    const bool end = p == e.size() || e[p] == '\r' || e[p] == '\n';
    if (end && p > 0 && (e[p - 1] == ' ' || e[p - 1] == '\t')) return false;
    if (p == e.size() || (e[p] == '\r' && p + 1 < e.size() && e[p + 1] == '\n')) {
      if (p - lineStart > 76) return false;
      lineStart = p + 2;
    }
  }
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input{data, size};
  const int32_t options = int32_t(int8_t(input.Byte()));
  const std::string_view in = input.Rest().substr(0, kTextLimit);
  fuzz::Text t(in);
  const std::string qpDecoded = fuzz::Take(QPDecode(t.t, options & 1));
  const std::string hexDecoded = fuzz::Take(DecodeHexEscapes(t.t, options));
  const std::string urlEncoded = fuzz::Take(URLEncode(t.t, options));
  const std::string qpEncoded = fuzz::Take(QPEncode(t.t, options & 1));
  fuzz::Check(qpEncoded.size() <= kTextLimit && urlEncoded.size() <= kTextLimit, "result over the text limit");
  fuzz::Check(KeepsMailRules(qpEncoded), "QP line too long or with bare white space at its end", in);
  if (in.size() <= 200) {
    fuzz::Check(qpDecoded == oracle::QPDecode(in, options & 1), "QP decode differs from the model", in);
    fuzz::Check(hexDecoded == oracle::DecodeHexEscapes(in, options), "hex escapes differ from the model", in);
    fuzz::Check(urlEncoded == oracle::URLEncode(in, options), "URL encode differs from the model", in);
  }
  // Without the character-set steps, encoding then decoding gives the input back.
  if (in.size() <= 4000) {
    fuzz::Check(QPDecodeBytes(QPEncodeBytes(in)) == in, "QP does not round-trip", in);
    // Modes 0 and 2 write a space as "+" and escape "+"; mode 1 keeps both as they are.
    for (int32_t mode : {0, 1, 2})
      fuzz::Check(DecodeHexEscapesBytes(URLEncodeBytes(in, mode), mode == 1) == in, "URL escapes do not round-trip",
                  in);
  }
  return 0;
}
