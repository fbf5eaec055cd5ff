// MacBinary II: a 128-byte header, then the data fork and the resource fork, each
// padded with zeros to a multiple of 128 bytes. Streamed in chunks through a small
// record that knows where in that layout the current position lies.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vrx {

// Command statuses besides 0 and the file system's.
constexpr int16_t kMacBinaryNoRecord = 2;     // the stream record could not be allocated
constexpr int16_t kMacBinaryNotMacBinary = 3; // the input is not a MacBinary file

struct MacBinaryStream {
  char path[256];        // Mac Roman host path of the file read or written
  int pathLength;
  int16_t forkRef;       // 0 when no fork is open
  uint32_t dataLength;
  uint32_t resourceLength;
  int64_t position;      // in the MacBinary layout
  uint8_t header[128];
  bool dataEntered;      // the data fork was opened (and, when writing, emptied)
  bool resourceEntered;
  bool shortFork;        // reading: a fork ended before its catalog length
};

// Fills `header` from the file's catalog information. 0 or a file-system status.
int16_t MacBinaryHeaderBuild(std::string_view path, uint8_t header[128], uint32_t* dataLength,
                             uint32_t* resourceLength);
// 0 not MacBinary, 1 MacBinary I, 2 MacBinary II; for 1 and 2 also the name and lengths.
int MacBinaryHeaderCheck(const uint8_t header[128], std::string* name, uint32_t* dataLength,
                         uint32_t* resourceLength);
// Next bytes of the MacBinary form of the stream's file. *count: wanted in, delivered out.
// -39 once the end is reached (and when a fork turns out shorter than its length).
int16_t MacBinaryRead(MacBinaryStream* s, uint8_t* buffer, int32_t* count);
// Next bytes of a MacBinary file into the stream's file (header bytes are skipped, the
// forks written, padding and anything after the last fork ignored).
int16_t MacBinaryWrite(MacBinaryStream* s, const uint8_t* buffer, int32_t* count);

// The commands' work on Mac Roman host paths.
int16_t EncodeMacBinary(std::string_view sourcePath, std::string_view macBinaryPath);
int16_t DecodeMacBinary(std::string_view macBinaryPath, std::string_view destinationPath);

}  // namespace vrx
