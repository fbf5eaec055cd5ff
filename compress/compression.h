// gzip files and zlib BLOBs.
#pragma once
#include <cstdint>
#include <string>

namespace vrx {

// 0, or -1 source unreadable, -2 gzip file not writable, -3 read error, -4 short gzip
// write, -5 gzip close failed. Levels outside 1..9 mean 6.
int32_t CompressFile(const std::string& sourcePath, const std::string& gzipPath, int32_t level);
// 0, or -1 gzip file unreadable, -2 destination not writable, -3 short write,
// -4 destination close failed, -5 gzip close failed, -6 damaged gzip data.
int32_t ExpandFile(const std::string& gzipPath, const std::string& destinationPath);

// Compress a BLOB in place into one zlib stream. zlib's code, or the memory manager's;
// on any failure the BLOB keeps its contents.
int32_t CompressBlob(uint32_t blob, int32_t level);
// Expand a BLOB holding one zlib stream in place. zlib's code, or the memory manager's;
// on any failure the BLOB keeps its contents.
int32_t ExpandBlob(uint32_t blob);

}  // namespace vrx
