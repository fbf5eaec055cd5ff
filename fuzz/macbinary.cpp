// MacBinary: the header check on any 128 bytes, and a whole decode of any file into a
// scratch folder without a fork or block left open.
#include <fstream>

#include "codecs/macbinary.h"
#include "fuzz_support.h"
#include "platform/files.h"

using namespace vrx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 128) {
    std::string name;
    uint32_t dataLength = 0, resourceLength = 0;
    int version = MacBinaryHeaderCheck(data, &name, &dataLength, &resourceLength);
    fuzz::Check(version >= 0 && version <= 2, "unknown MacBinary version");
    fuzz::Check(name.size() <= 63, "a name longer than the header holds");
  }
  static const std::string source = fuzz::ScratchDir() + "/in.bin";
  static const std::string target = fuzz::ScratchDir() + "/out";
  {
    std::ofstream f(source, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), std::streamsize(size));
  }
  const int32_t forks = platform::OpenForkCount(), handles = platform::LiveHandleCount();
  DecodeMacBinary(source, target);
  fuzz::Check(platform::OpenForkCount() == forks, "the decoder leaked a fork");
  fuzz::Check(platform::LiveHandleCount() == handles, "the decoder leaked a block");
  platform::DeleteFile(target);
  return 0;
}
