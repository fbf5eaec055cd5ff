// The BinHex decoder fed in pieces of any size: it never reads or writes outside its
// record, and after it stops no fork and no block is left open.
#include <cstring>

#include "codecs/binhex.h"
#include "fuzz_support.h"
#include "platform/files.h"

using namespace vrx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input{data, size};
  const size_t piece = size_t(input.Byte()) + 1;
  const int32_t forks = platform::OpenForkCount(), handles = platform::LiveHandleCount();
  static const std::string out = fuzz::ScratchDir() + "/binhex.out";
  BinHexDecoderState* d = BinHexDecoderNew();
  if (!d) return 0;
  BinHexDecoderSetDestination(d, out);
  while (input.size) {
    std::string_view chunk = input.Take(piece);
    int state = BinHexDecoderFeed(d, reinterpret_cast<const uint8_t*>(chunk.data()), int32_t(chunk.size()));
    fuzz::Check(state == 100 || (state >= 0 && state <= kBinHexFinished), "decoder in an unknown state");
  }
  BinHexDecoderStop(d);
  fuzz::Check(d->forkRef == 0, "a fork is still open after the stop");
  BinHexDecoderDispose(d);
  fuzz::Check(platform::OpenForkCount() == forks, "the decoder leaked a fork");
  fuzz::Check(platform::LiveHandleCount() == handles, "the decoder leaked a block");
  return 0;
}
