#include "codecs/binhex.h"
#include "platform/guards.h"

#include <algorithm>
#include <array>
#include <cstring>


namespace vrx {
namespace {

using platform::kEofErr;

constexpr std::array<uint16_t, 256> MakeCrcTable() {
  std::array<uint16_t, 256> t{};
  for (int i = 0; i < 256; ++i) {
    uint16_t crc = uint16_t(i << 8);
    for (int b = 0; b < 8; ++b) crc = uint16_t((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    t[size_t(i)] = crc;
  }
  return t;
}
constexpr std::array<uint16_t, 256> kCrcTable = MakeCrcTable();

inline uint16_t CrcStep(uint16_t crc, uint8_t b) {
  return uint16_t(kCrcTable[((crc >> 8) ^ b) & 0xFF] ^ (crc << 8));
}

constexpr char kAlphabet[] = "!\"#$%&'()*+,-012345689@ABCDEFGHIJKLMNPQRSTUVXYZ[`abcdefhijklmpqr";
static_assert(sizeof kAlphabet == 65);

constexpr int8_t kSkip = -1;
constexpr int8_t kEnd = -2;  // ":"
constexpr int8_t kBad = -3;

constexpr std::array<int8_t, 256> MakeClassTable() {
  std::array<int8_t, 256> t{};
  for (auto& v : t) v = kBad;
  for (int i = 0; i < 64; ++i) t[uint8_t(kAlphabet[i])] = int8_t(i);
  t['\t'] = t['\n'] = t['\r'] = t[0x10] = kSkip;
  t[':'] = kEnd;
  return t;
}
constexpr std::array<int8_t, 256> kClass = MakeClassTable();

constexpr char kPreamble[] = "\r(This file must be converted with BinHex 4.0)\r\r:";
static_assert(sizeof kPreamble - 1 == 49);

constexpr int32_t kInputSize = 16384;
// One input chunk, every byte escaped (two bytes), four characters per three bytes,
// a CR per 64 characters, and the closing bytes: well inside this.
constexpr int32_t kOutputSize = 49152;
constexpr int kMaxName = 61;  // a longer name stops the block (63 non-zero bytes in a row)

constexpr platform::OSType Code(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
         (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

// Finder flags that describe this copy on this disk, not the file: kept from the file.
constexpr uint16_t kLocalFlags = 0x4101;

// ---- encoder -----------------------------------------------------------------------------

struct Encoder {
  uint16_t crc = 0;
  int phase = 0;
  uint8_t pending = 0;  // bits of the group not yet written
  int column = 1;       // the ":" of the first line is already out
  int16_t out = 0;
  uint8_t* buffer = nullptr;
  int32_t fill = 0;
};

void PutChar(Encoder& e, uint8_t v) {
  e.buffer[e.fill++] = uint8_t(kAlphabet[v & 63]);
  if (++e.column == 64) {
    e.buffer[e.fill++] = '\r';
    e.column = 0;
  }
}

void PutSixBits(Encoder& e, uint8_t b) {
  switch (e.phase) {
    case 0:
      PutChar(e, b >> 2);
      e.pending = uint8_t((b & 3) << 4);
      e.phase = 1;
      break;
    case 1:
      PutChar(e, e.pending | (b >> 4));
      e.pending = uint8_t((b & 15) << 2);
      e.phase = 2;
      break;
    default:
      PutChar(e, e.pending | (b >> 6));
      PutChar(e, b & 63);
      e.phase = 0;
      break;
  }
}

// One byte of the decoded stream: into the CRC, out with 0x90 escaped.
void EncodeByte(Encoder& e, uint8_t b) {
  e.crc = CrcStep(e.crc, b);
  PutSixBits(e, b);
  if (b == 0x90) PutSixBits(e, 0);
}

void EncodeCrc(Encoder& e) {
  uint16_t crc = e.crc;
  EncodeByte(e, uint8_t(crc >> 8));
  EncodeByte(e, uint8_t(crc));
  e.crc = 0;
}

int16_t Flush(Encoder& e) {
  int32_t n = e.fill;
  e.fill = 0;
  if (n == 0) return 0;
  return platform::WriteFork(e.out, &n, e.buffer);
}

void Put32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24), p[1] = uint8_t(v >> 16), p[2] = uint8_t(v >> 8), p[3] = uint8_t(v);
}

struct PtrFree {
  void* p = nullptr;
  ~PtrFree() {
    if (p) platform::DisposePtr(p);
  }
};

// Encodes exactly `length` bytes of one fork and its CRC. A fork shorter than its
// catalog length has changed under us: -39.
int16_t EncodeFork(Encoder& e, std::string_view path, bool resource, uint32_t length,
                   uint8_t* input) {
  ForkCloser fork;
  int16_t rc = resource ? platform::OpenResourceFork(path, platform::kReadPermission, &fork.ref)
                        : platform::OpenDataFork(path, platform::kReadPermission, &fork.ref);
  if (rc) return rc;
  uint32_t left = length;
  while (left > 0) {
    int32_t n = int32_t(std::min<uint32_t>(left, kInputSize));
    int32_t want = n;
    rc = platform::ReadFork(fork.ref, &n, input);
    if (rc != 0 && rc != kEofErr) return rc;
    for (int32_t i = 0; i < n; ++i) EncodeByte(e, input[i]);
    left -= uint32_t(n);
    if (int16_t w = Flush(e)) return w;
    if (n < want) return kEofErr;
  }
  EncodeCrc(e);
  if (int16_t w = Flush(e)) return w;
  return fork.Close();
}

// ---- decoder -----------------------------------------------------------------------------

void CloseOpenFork(BinHexDecoderState* d) {
  if (d->forkRef) platform::CloseFork(d->forkRef);
  d->forkRef = 0;
}

void FreeForkBuffer(BinHexDecoderState* d) {
  if (d->forkBuffer) platform::DisposeHandle(d->forkBuffer);
  d->forkBuffer = 0;
}

void NoteFileError(BinHexDecoderState* d, int16_t rc) {
  if (rc && !d->fileError) d->fileError = rc;
}

void Abort(BinHexDecoderState* d, bool damaged) {
  FreeForkBuffer(d);
  CloseOpenFork(d);
  d->state = kBinHexFinished;
  if (damaged) d->error = true;
}

bool CheckCrc(BinHexDecoderState* d) {
  bool ok = d->crc == d->expectedCrc;
  if (!ok) d->error = true;
  d->crc = 0;
  return ok;
}

bool WriteBuffer(BinHexDecoderState* d) {
  int32_t n = d->bufferFill;
  d->bufferFill = 0;
  if (n == 0) return true;
  int16_t rc = platform::WriteFork(d->forkRef, &n, platform::HandleAddress(d->forkBuffer));
  NoteFileError(d, rc);
  return rc == 0;
}

std::string_view Destination(const BinHexDecoderState* d) {
  return std::string_view(d->destination, size_t(d->destinationLength));
}

// End of the header: create the file, give it the header's type, creator and flags,
// and open its data fork.
void StartFile(BinHexDecoderState* d) {
  const uint8_t* h = d->header;
  auto get32 = [](const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
  };
  platform::OSType type = get32(h), creator = get32(h + 4);
  uint16_t flags = uint16_t((h[8] << 8) | h[9]);
  d->dataLength = get32(h + 10);
  d->resourceLength = get32(h + 14);
  d->expectedCrc = uint16_t((h[18] << 8) | h[19]);
  // Lengths and type from a header that fails its check are not to be trusted: no file.
  if (!CheckCrc(d)) return Abort(d, true);
  std::string_view path = Destination(d);
  int16_t rc = platform::CreateFile(path, creator, type);
  if (rc != 0 && rc != platform::kDupFNErr) return NoteFileError(d, rc), Abort(d, true);
  platform::FinderInfo info;
  rc = platform::GetFinderInfo(path, &info);
  if (rc == 0) {
    info.type = type;
    info.creator = creator;
    info.flags = uint16_t((info.flags & kLocalFlags) | (flags & ~kLocalFlags));
    rc = platform::SetFinderInfo(path, info);
  }
  if (rc == 0) rc = platform::OpenDataFork(path, platform::kReadWritePermission, &d->forkRef);
  if (rc != 0) return NoteFileError(d, rc), Abort(d, true);
  d->remaining = d->dataLength;
  d->state = 3;
}

// After a fork's CRC: check it, write the rest, cut the fork there, close it; after the
// data fork open the resource fork.
void EndFork(BinHexDecoderState* d) {
  if (d->forkRef) {
    CheckCrc(d);
    if (!WriteBuffer(d)) return Abort(d, true);
    int32_t position = 0;
    int16_t rc = platform::GetForkPosition(d->forkRef, &position);
    if (rc == 0) rc = platform::SetForkLength(d->forkRef, position);
    if (rc == 0) {
      rc = platform::CloseFork(d->forkRef);
      d->forkRef = 0;
    }
    if (rc != 0) return NoteFileError(d, rc), Abort(d, true);
  }
  if (d->state == 6) {
    int16_t rc = platform::OpenResourceFork(Destination(d), platform::kReadWritePermission,
                                            &d->forkRef);
    if (rc != 0) return NoteFileError(d, rc), Abort(d, true);
    d->remaining = d->resourceLength;
  } else {
    FreeForkBuffer(d);
    d->blocks++;
  }
}

void InnerByte(BinHexDecoderState* d, uint8_t b) {
  switch (d->state) {
    case 1: {
      d->crc = CrcStep(d->crc, b);
      if (d->nameRead == 0 && b > kMaxName) return Abort(d, true);
      if (d->nameRead <= d->name[0]) {
        d->name[d->nameRead++] = b;
        return;
      }
      d->state = 2;  // this byte is the version
      return;
    }
    case 2:
      d->header[d->headerFill++] = b;
      if (d->headerFill <= 18) d->crc = CrcStep(d->crc, b);
      if (d->headerFill == 20) StartFile(d);
      return;
    case 3:
    case 6:
      if (d->remaining == 0) {
        d->state++;
        return InnerByte(d, b);
      }
      d->crc = CrcStep(d->crc, b);
      platform::HandleAddress(d->forkBuffer)[d->bufferFill++] = b;
      d->remaining--;
      if (d->bufferFill == d->bufferSize && !WriteBuffer(d)) return Abort(d, true);
      return;
    case 4:
    case 7:
      d->expectedCrc = uint16_t(b << 8);
      d->state++;
      return;
    case 5:
    case 8:
      d->expectedCrc |= b;
      d->state++;
      return EndFork(d);
    default:
      return;  // after the last CRC: the flush bytes mean nothing
  }
}

void DecodedByte(BinHexDecoderState* d, uint8_t b) {
  if (d->marker) {
    d->marker = false;
    if (b == 0) {
      d->lastByte = 0x90;
      return InnerByte(d, 0x90);
    }
    for (int i = 1; i < b && d->state >= 1 && d->state <= 8; ++i) InnerByte(d, d->lastByte);
    return;
  }
  if (b == 0x90) {
    d->marker = true;
    return;
  }
  d->lastByte = b;
  InnerByte(d, b);
}

bool StartBlock(BinHexDecoderState* d) {
  if (!d->forkBuffer) {
    int32_t size = std::min<int32_t>(16384, std::max<int32_t>(platform::FreeMem() / 2, 0));
    d->forkBuffer = size > 0 ? platform::NewHandle(size) : 0;
    if (!d->forkBuffer) return false;
    d->bufferSize = size;
  }
  d->bufferFill = 0;
  std::memset(d->name, 0, sizeof d->name);
  d->nameRead = 0;
  d->headerFill = 0;
  d->crc = 0;
  d->expectedCrc = 0;
  d->phase = 0;
  d->bits = 0;
  d->marker = false;
  d->lastByte = 0;
  d->stray = 0;
  d->remaining = 0;
  d->state = 1;
  return true;
}

void BlockCharacter(BinHexDecoderState* d, uint8_t c) {
  int8_t v = kClass[c];
  if (v == kSkip) return;
  if (v < 0) return Abort(d, true);
  switch (d->phase) {
    case 0:
      d->bits = uint32_t(v) << 2;
      d->phase = 1;
      return;
    case 1: {
      uint8_t b = uint8_t(d->bits | (v >> 4));
      d->bits = uint32_t(v << 4) & 0xFF;
      d->phase = 2;
      return DecodedByte(d, b);
    }
    case 2: {
      uint8_t b = uint8_t(d->bits | (v >> 2));
      d->bits = uint32_t(v << 6) & 0xFF;
      d->phase = 3;
      return DecodedByte(d, b);
    }
    default: {
      uint8_t b = uint8_t(d->bits | v);
      d->phase = 0;
      return DecodedByte(d, b);
    }
  }
}

}  // namespace

uint16_t Crc16(const uint8_t* bytes, size_t count, uint16_t initial, const uint16_t* table) {
  if (table) {
    uint16_t crc = initial;
    for (size_t i = 0; i < count; ++i)
      crc = uint16_t(table[((crc >> 8) ^ bytes[i]) & 0xFF] ^ (crc << 8));
    return crc;
  }
  uint16_t crc = 0;
  for (size_t i = 0; i < count; ++i) {
    crc ^= uint16_t(bytes[i] << 8);
    for (int b = 0; b < 8; ++b) crc = uint16_t((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return crc;
}

const uint16_t* Crc16Table() { return kCrcTable.data(); }

int16_t BinHexEncodeFile(std::string_view sourcePath, int16_t output) {
  platform::CatalogInfo cat;
  if (int16_t rc = platform::GetCatalogInfo(sourcePath, &cat)) return rc;
  PtrFree input{platform::NewPtr(kInputSize)};
  PtrFree outBuf{platform::NewPtr(kOutputSize)};
  if (!input.p || !outBuf.p) return platform::MemError() ? platform::MemError() : platform::kMemFullErr;
  Encoder e;
  e.out = output;
  e.buffer = static_cast<uint8_t*>(outBuf.p);

  std::memcpy(e.buffer, kPreamble, sizeof kPreamble - 1);
  e.fill = sizeof kPreamble - 1;

  // The name: a length byte and up to 61 bytes, so every decoder here can read it back.
  std::string_view name = platform::LeafName(sourcePath);
  if (size_t zero = name.find('\0'); zero != std::string_view::npos) name = name.substr(0, zero);
  name = name.substr(0, kMaxName);
  EncodeByte(e, uint8_t(name.size()));
  for (char ch : name) EncodeByte(e, uint8_t(ch));
  uint8_t fields[19];
  fields[0] = 0;  // version
  Put32(fields + 1, cat.finder.type);
  Put32(fields + 5, cat.finder.creator);
  fields[9] = uint8_t(cat.finder.flags >> 8);
  fields[10] = uint8_t(cat.finder.flags);
  uint32_t dataLength = uint32_t(std::max(cat.dataLength, 0));
  uint32_t resourceLength = uint32_t(std::max(cat.resourceLength, 0));
  Put32(fields + 11, dataLength);
  Put32(fields + 15, resourceLength);
  for (uint8_t b : fields) EncodeByte(e, b);
  EncodeCrc(e);
  if (int16_t rc = Flush(e)) return rc;

  uint8_t* in = static_cast<uint8_t*>(input.p);
  if (int16_t rc = EncodeFork(e, sourcePath, false, dataLength, in)) return rc;
  if (resourceLength > 0) {
    if (int16_t rc = EncodeFork(e, sourcePath, true, resourceLength, in)) return rc;
  }
  // Completes the last group; with no resource section the first two stand for its CRC.
  for (int i = 0; i < 3; ++i) EncodeByte(e, 0);
  e.buffer[e.fill++] = ':';
  e.buffer[e.fill++] = '\r';
  return Flush(e);
}

BinHexDecoderState* BinHexDecoderNew() {
  auto* d = static_cast<BinHexDecoderState*>(platform::NewPtrClear(sizeof(BinHexDecoderState)));
  // The start of the input is a line start, so a file beginning with ":" decodes too.
  if (d) d->state = 100;
  return d;
}

void BinHexDecoderSetDestination(BinHexDecoderState* d, std::string_view path) {
  size_t n = std::min(path.size(), sizeof d->destination - 1);
  std::memcpy(d->destination, path.data(), n);
  d->destination[n] = 0;
  d->destinationLength = int(n);
}

int BinHexDecoderFeed(BinHexDecoderState* d, const uint8_t* bytes, int32_t count) {
  if (d->state == kBinHexFinished) d->state = d->lineEnd ? 100 : 0;
  for (int32_t i = 0; i < count; ++i) {
    uint8_t c = bytes[i];
    switch (d->state) {
      case 0:
        if (c == '\r' || c == '\n') d->state = 100;
        break;
      case 100:
        if (c == ':') {
          // No memory for the fork buffer is the memory manager's error, not damaged input.
          if (!StartBlock(d)) NoteFileError(d, platform::kMemFullErr), Abort(d, true);
        } else if (c != '\r' && c != '\n') {
          d->state = 0;
        }
        break;
      case 9: {
        int8_t v = kClass[c];
        if (v == kEnd) {
          if (d->stray > 3) d->error = true;
          d->state = kBinHexFinished;
        } else if (v != kSkip) {
          d->stray++;
        }
        break;
      }
      case kBinHexFinished:
        break;
      default:
        BlockCharacter(d, c);
        break;
    }
    d->lineEnd = c == '\r' || c == '\n';
  }
  return d->state;
}

void BinHexDecoderStop(BinHexDecoderState* d) {
  bool unfinished = d->state >= 1 && d->state <= 8;
  FreeForkBuffer(d);
  CloseOpenFork(d);
  if (unfinished) d->error = true;
  d->state = kBinHexFinished;
}

void BinHexDecoderDispose(BinHexDecoderState* d) {
  if (!d) return;
  BinHexDecoderStop(d);
  platform::DisposePtr(d);
}

int16_t EncodeBinHex(std::string_view sourcePath, std::string_view binHexPath) {
  // A source that cannot be read leaves an existing output file as it was.
  platform::CatalogInfo cat;
  if (int16_t rc = platform::GetCatalogInfo(sourcePath, &cat)) return rc;
  platform::CreateFile(binHexPath, Code("SITx"), Code("TEXT"));
  ForkCloser out;
  int16_t rc = platform::OpenDataFork(binHexPath, platform::kReadWritePermission, &out.ref);
  if (rc == 0) rc = platform::SetForkLength(out.ref, 0);
  if (rc == 0) rc = BinHexEncodeFile(sourcePath, out.ref);
  int16_t closed = out.Close();
  return rc ? rc : closed;
}

int16_t DecodeBinHex(std::string_view binHexPath, std::string_view destinationPath) {
  ForkCloser in;
  int16_t rc = platform::OpenDataFork(binHexPath, platform::kReadPermission, &in.ref);
  if (rc) return rc;
  int32_t chunkSize = 16384;
  while (chunkSize > 1 && platform::FreeMem() < chunkSize) chunkSize /= 2;
  PtrFree chunk{platform::NewPtr(chunkSize)};
  int16_t status = 0;
  if (!chunk.p) {
    status = platform::kMemFullErr;
  } else if (BinHexDecoderState* d = BinHexDecoderNew()) {
    BinHexDecoderSetDestination(d, destinationPath);
    int16_t read = 0;
    do {
      int32_t n = chunkSize;
      read = platform::ReadFork(in.ref, &n, chunk.p);
      if (n > 0) BinHexDecoderFeed(d, static_cast<uint8_t*>(chunk.p), n);
    } while (read == 0);
    BinHexDecoderStop(d);
    status = read != kEofErr ? read : d->fileError ? d->fileError : d->error ? kBinHexDamaged : 0;
    BinHexDecoderDispose(d);
  } else {
    status = platform::kMemFullErr;
  }
  int16_t closed = in.Close();
  return status ? status : closed;
}

}  // namespace vrx

// ---- commands --------------------------------------------------------------------------
