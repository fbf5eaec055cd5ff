// BinHex 4.0: a Macintosh file (both forks, type, creator, Finder flags) as 7-bit text.
// Also the CRC-16 that BinHex and MacBinary share.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/files.h"
#include "platform/memory.h"

namespace vrx {

// CRC-16, polynomial 0x1021, most significant bit first (CRC-16/XMODEM from 0).
// With a table: the table-driven step from `initial`. Without one: bit by bit from 0,
// whatever `initial` says.
uint16_t Crc16(const uint8_t* bytes, size_t count, uint16_t initial,
               const uint16_t* table = nullptr);
// The 256-entry table for polynomial 0x1021.
const uint16_t* Crc16Table();

// Status of a decode whose input held a damaged or unfinished block (bad character,
// CRC mismatch, over-long name, stray characters, input ending inside the block).
constexpr int16_t kBinHexDamaged = 3;

// Writes the BinHex text of the file at `sourcePath` (a Mac Roman host path) to the
// open fork `output`, from its current position. 0 or a file-system status.
int16_t BinHexEncodeFile(std::string_view sourcePath, int16_t output);

// Decoder states (the outer machine): 0 looking for a line start, 100 at a line start,
// 1..8 inside a block, 9 after the last CRC, 10 finished or stopped.
constexpr int kBinHexFinished = 10;

struct BinHexDecoderState {
  int state;
  uint32_t remaining;     // bytes of the current fork still expected
  platform::Handle forkBuffer;
  int32_t bufferSize;
  int32_t bufferFill;
  int16_t forkRef;        // 0 when no fork is open
  uint8_t name[64];       // as read from the header: length byte, then the bytes
  int nameRead;           // bytes of name[] read so far (the length byte included)
  uint8_t lastByte;       // for run-length expansion
  int phase;              // 0..3 within a group of four characters
  uint32_t bits;          // pending bits of the group
  bool marker;            // a 0x90 was decoded, its count comes next
  uint8_t header[20];     // type, creator, flags, lengths, header CRC
  int headerFill;
  uint16_t crc;
  uint16_t expectedCrc;
  uint32_t dataLength;
  uint32_t resourceLength;
  int stray;              // characters between the last CRC and the closing ":"
  bool lineEnd;           // the last byte fed was CR or LF
  char destination[256];  // Mac Roman path of the file to write
  int destinationLength;
  bool error;             // a block was damaged
  int16_t fileError;      // first file-system status met while writing
  int blocks;             // blocks finished
};

// A zero-filled decoder whose input starts at a line start; null when memory is short.
BinHexDecoderState* BinHexDecoderNew();
void BinHexDecoderSetDestination(BinHexDecoderState* d, std::string_view path);
// Feeds input bytes; returns the state number (10 = finished or stopped).
int BinHexDecoderFeed(BinHexDecoderState* d, const uint8_t* bytes, int32_t count);
// The input has ended: closes what is open; a block cut short counts as damaged.
void BinHexDecoderStop(BinHexDecoderState* d);
// Stops the decoder and frees it.
void BinHexDecoderDispose(BinHexDecoderState* d);

// The commands' work on Mac Roman host paths. 0, a file-system status or -108 when
// memory is short; decoding also gives kBinHexDamaged.
int16_t EncodeBinHex(std::string_view sourcePath, std::string_view binHexPath);
int16_t DecodeBinHex(std::string_view binHexPath, std::string_view destinationPath);

}  // namespace vrx
