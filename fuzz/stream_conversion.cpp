// Conversions of data that arrives in pieces: any option bits, any bytes, cut at any
// points, give what converting all of the data at once in one text gives; so does a
// prefix that converts on its own to a given length, followed by the rest.
#include "codecs/conversions.h"
#include "codecs/stream_conversion.h"
#include "fuzz_support.h"

using namespace vrx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input{data, size};
  const int32_t options = int32_t(input.U16() & 0x7FF);
  uint32_t cuts = uint32_t(input.I32());
  // Small enough that the whole conversion fits in one text, which is the reference.
  const std::string_view in = input.Rest().substr(0, 600);
  TextValue t = NewText(in);
  ApplyTextConversions(&t, options);
  const std::string whole(TextView(t));
  fuzz::Take(t);
  if (whole.size() >= kTextLimit - 64) return 0;  // may have been cut at the text limit

  ConversionStream stream(options);
  std::string pieces;
  size_t at = 0;
  while (at < in.size()) {
    size_t n = 1 + cuts % 37;
    cuts = cuts * 1103515245u + 12345u;
    fuzz::Check(stream.Feed(in.substr(at, n), pieces), "a piece was refused");
    at += n;
  }
  fuzz::Check(stream.Finish(pieces), "the end was refused");
  fuzz::Check(pieces == whole, "pieces converted differently from the whole");

  // A prefix found to convert to some length on its own does, and the rest, converted
  // from a fresh start, continues it exactly.
  const size_t length = cuts % (whole.size() + 1);
  const size_t k = PrefixConvertingTo(in, options, length);
  if (k == std::string_view::npos) return 0;
  fuzz::Check(k <= in.size(), "a prefix longer than the data");
  ConversionStream head(options), tail(options);
  std::string first, rest;
  // (Whether a conversion holds bytes back depends on where the data was cut; what it
  // makes of them at the end does not.)
  fuzz::Check(head.Feed(in.substr(0, k), first) && head.Finish(first), "the prefix was refused");
  fuzz::Check(first == whole.substr(0, length), "the prefix converts to something else");
  fuzz::Check(tail.Feed(in.substr(k), rest) && tail.Finish(rest), "the rest was refused");
  fuzz::Check(first + rest == whole, "the rest does not continue the prefix");
  return 0;
}
