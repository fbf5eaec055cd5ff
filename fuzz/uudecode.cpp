// Uudecoding: lines in memory and whole files; what the encoder writes decodes back.
#include <fstream>

#include "codecs/uuencode.h"
#include "fuzz_support.h"

using namespace vrx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  std::string out;
  UudecodeLines(in, &out);
  std::string back;
  fuzz::Check(UudecodeLines(UuencodeLines(in), &back) && back == in, "uuencoded lines do not decode back", in);

  static const std::string source = fuzz::ScratchDir() + "/in.uu";
  static const std::string target = fuzz::ScratchDir() + "/out";
  {
    std::ofstream f(source, std::ios::binary | std::ios::trunc);
    f.write(in.data(), std::streamsize(in.size()));
  }
  UudecodeFile(source, target);
  return 0;
}
