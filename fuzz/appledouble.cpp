// The AppleDouble companion of a file holding any bytes: reading the catalog and Finder
// information and the resource fork, then writing them (which rewrites the companion),
// never reads outside it, leaves no fork open and keeps the data fork as it was.
#include <fstream>

#include "fuzz_support.h"
#include "platform/files.h"

using namespace platform;

namespace {
std::string ReadResourceFork(const std::string& path) {
  int16_t ref = 0;
  std::string out;
  if (OpenResourceFork(path, kReadPermission, &ref) != 0) return out;
  char buf[4096];
  for (;;) {
    int32_t n = sizeof buf;
    int16_t rc = ReadFork(ref, &n, buf);
    out.append(buf, size_t(n));
    if (rc != 0 || n == 0) break;
  }
  CloseFork(ref);
  return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchDir() + "/f";
  static const std::string companion = AppleDoublePath(path);
  {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << "data";
    std::ofstream ad(companion, std::ios::binary | std::ios::trunc);
    ad.write(reinterpret_cast<const char*>(data), std::streamsize(size));
  }
  const int32_t forks = OpenForkCount();
  CatalogInfo catalog;
  if (GetCatalogInfo(path, &catalog) == 0)
    fuzz::Check(catalog.dataLength == 4 && catalog.resourceLength >= 0 &&
                    catalog.resourceLength <= int32_t(size),
                "catalog lengths that the files cannot hold");
  FinderInfo finder;
  int16_t finderRc = GetFinderInfo(path, &finder);
  std::string resource = ReadResourceFork(path);
  fuzz::Check(resource.size() <= size, "a resource fork longer than its companion");
  if (finderRc == 0) {
    finder.flags ^= 0x0100;
    if (SetFinderInfo(path, finder) == 0) {
      FinderInfo again;
      fuzz::Check(GetFinderInfo(path, &again) == 0 && again.flags == finder.flags && again.type == finder.type &&
                      again.creator == finder.creator,
                  "Finder information written is not read back");
      fuzz::Check(ReadResourceFork(path) == resource, "writing Finder information changed the resource fork");
    }
  }
  fuzz::Check(OpenForkCount() == forks, "a fork left open");
  int16_t ref = 0;
  char buf[8] = {};
  int32_t n = sizeof buf;
  if (OpenDataFork(path, kReadPermission, &ref) == 0) {
    ReadFork(ref, &n, buf);
    CloseFork(ref);
    fuzz::Check(std::string_view(buf, size_t(n)) == "data", "the data fork changed");
  }
  return 0;
}
