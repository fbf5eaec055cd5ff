#include "codecs/macbinary.h"

#include <algorithm>
#include <cstring>

#include "codecs/binhex.h"
#include "platform/files.h"
#include "platform/guards.h"
#include "platform/memory.h"

namespace vrx {
namespace {

using platform::kEofErr;

constexpr int32_t kChunkSize = 16384;
constexpr int32_t kMinChunkSize = 1024;
constexpr int kMaxName = 63;
constexpr uint16_t kLocalFlags = 0x4101;  // Finder flags of this copy, kept from the file

constexpr platform::OSType Code(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
         (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

uint32_t Get32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
void Put32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24), p[1] = uint8_t(v >> 16), p[2] = uint8_t(v >> 8), p[3] = uint8_t(v);
}

int64_t Padded(uint32_t n) { return (int64_t(n) + 127) / 128 * 128; }

// Where the sections of a stream lie.
struct Layout {
  int64_t dataEnd, resourceStart, resourceEnd, end;
};
Layout LayoutOf(const MacBinaryStream& s) {
  Layout l;
  l.dataEnd = 128 + int64_t(s.dataLength);
  l.resourceStart = 128 + Padded(s.dataLength);
  l.resourceEnd = l.resourceStart + s.resourceLength;
  l.end = l.resourceStart + Padded(s.resourceLength);
  return l;
}

std::string_view PathOf(const MacBinaryStream& s) {
  return std::string_view(s.path, size_t(s.pathLength));
}

int16_t CloseStreamFork(MacBinaryStream* s) {
  int16_t rc = s->forkRef ? platform::CloseFork(s->forkRef) : 0;
  s->forkRef = 0;
  return rc;
}

MacBinaryStream* NewStream(std::string_view path) {
  auto* s = static_cast<MacBinaryStream*>(platform::NewPtrClear(sizeof(MacBinaryStream)));
  if (!s) return nullptr;
  size_t n = std::min(path.size(), sizeof s->path - 1);
  std::memcpy(s->path, path.data(), n);
  s->pathLength = int(n);
  return s;
}

struct StreamFree {
  MacBinaryStream* s = nullptr;
  ~StreamFree() {
    if (s) {
      CloseStreamFork(s);
      platform::DisposePtr(s);
    }
  }
};

struct ChunkFree {
  void* p = nullptr;
  int32_t size = 0;
  ChunkFree() {
    for (size = kChunkSize; size >= kMinChunkSize && !p; size /= 2) p = platform::NewPtr(size);
    size *= 2;
  }
  ~ChunkFree() {
    if (p) platform::DisposePtr(p);
  }
};

// Reads up to `n` bytes of the fork that the position lies in, opening it on entry and
// closing it at its end.
int16_t ReadForkPart(MacBinaryStream* s, bool resource, int64_t forkEnd, uint8_t* to, int32_t n,
                     int32_t* got) {
  *got = 0;
  if (!s->forkRef) {
    int16_t rc = resource
                     ? platform::OpenResourceFork(PathOf(*s), platform::kReadPermission, &s->forkRef)
                     : platform::OpenDataFork(PathOf(*s), platform::kReadPermission, &s->forkRef);
    if (rc) return rc;
  }
  int32_t count = n;
  int16_t rc = platform::ReadFork(s->forkRef, &count, to);
  *got = count;
  s->position += count;
  if (rc == kEofErr || (rc == 0 && count < n)) {
    s->shortFork = true;
    CloseStreamFork(s);
    return kEofErr;
  }
  if (rc) return rc;
  if (s->position == forkEnd) return CloseStreamFork(s);
  return 0;
}

// Opens (and empties) the destination's forks when the position enters them, closing a
// fork of length 0 at once, so an existing destination keeps nothing of its old forks.
int16_t EnterSections(MacBinaryStream* s, const Layout& l) {
  if (!s->dataEntered && s->position == 128) {
    s->dataEntered = true;
    int16_t rc = platform::OpenDataFork(PathOf(*s), platform::kReadWritePermission, &s->forkRef);
    if (rc == 0) rc = platform::SetForkLength(s->forkRef, 0);
    if (rc == 0 && s->dataLength == 0) rc = CloseStreamFork(s);
    if (rc) return rc;
  }
  if (s->dataEntered && !s->resourceEntered && s->position == l.resourceStart) {
    s->resourceEntered = true;
    int16_t rc =
        platform::OpenResourceFork(PathOf(*s), platform::kReadWritePermission, &s->forkRef);
    if (rc == 0) rc = platform::SetForkLength(s->forkRef, 0);
    if (rc == 0 && s->resourceLength == 0) rc = CloseStreamFork(s);
    if (rc) return rc;
  }
  return 0;
}

}  // namespace

int16_t MacBinaryHeaderBuild(std::string_view path, uint8_t header[128], uint32_t* dataLength,
                             uint32_t* resourceLength) {
  platform::CatalogInfo cat;
  if (int16_t rc = platform::GetCatalogInfo(path, &cat)) return rc;
  std::memset(header, 0, 128);
  std::string_view name = platform::LeafName(path);
  if (size_t zero = name.find('\0'); zero != std::string_view::npos) name = name.substr(0, zero);
  name = name.substr(0, kMaxName);  // a longer name would make the header unreadable
  header[1] = uint8_t(name.size());
  std::memcpy(header + 2, name.data(), name.size());
  Put32(header + 65, cat.finder.type);
  Put32(header + 69, cat.finder.creator);
  header[73] = uint8_t(cat.finder.flags >> 8);
  header[81] = cat.locked ? 1 : 0;
  uint32_t d = uint32_t(std::max(cat.dataLength, 0));
  uint32_t r = uint32_t(std::max(cat.resourceLength, 0));
  Put32(header + 83, d);
  Put32(header + 87, r);
  Put32(header + 91, cat.created);
  Put32(header + 95, cat.modified);
  header[101] = uint8_t(cat.finder.flags);
  header[122] = 129;
  header[123] = 129;
  uint16_t crc = Crc16(header, 124, 0);
  header[124] = uint8_t(crc >> 8);
  header[125] = uint8_t(crc);
  if (dataLength) *dataLength = d;
  if (resourceLength) *resourceLength = r;
  return 0;
}

int MacBinaryHeaderCheck(const uint8_t header[128], std::string* name, uint32_t* dataLength,
                         uint32_t* resourceLength) {
  if (header[0] != 0 || header[74] != 0 || header[82] != 0 || header[1] > kMaxName) return 0;
  int version = 0;
  uint16_t stored = uint16_t((header[124] << 8) | header[125]);
  if (stored == Crc16(header, 124, 0) && header[123] <= 129) {
    version = 2;
  } else if (std::all_of(header + 101, header + 125, [](uint8_t b) { return b == 0; })) {
    version = 1;
  } else {
    return 0;
  }
  if (name) name->assign(reinterpret_cast<const char*>(header + 2), header[1]);
  if (dataLength) *dataLength = Get32(header + 83);
  if (resourceLength) *resourceLength = Get32(header + 87);
  return version;
}

int16_t MacBinaryRead(MacBinaryStream* s, uint8_t* buffer, int32_t* count) {
  int32_t wanted = std::max(*count, 0);
  int32_t done = 0;
  *count = 0;
  Layout l = LayoutOf(*s);
  while (done < wanted) {
    int64_t p = s->position;
    int32_t left = wanted - done;
    if (p >= l.end) {
      *count = done;
      return kEofErr;
    }
    bool inData = p >= 128 && p < l.dataEnd;
    bool inResource = p >= l.resourceStart && p < l.resourceEnd;
    if (inData || inResource) {
      int64_t forkEnd = inData ? l.dataEnd : l.resourceEnd;
      int32_t got = 0;
      int16_t rc = ReadForkPart(s, inResource, forkEnd, buffer + done,
                                int32_t(std::min<int64_t>(left, forkEnd - p)), &got);
      done += got;
      if (rc) {
        *count = done;
        return rc;
      }
      continue;
    }
    // Header or padding: the header bytes, or zeros up to the next section.
    int64_t sectionEnd = p < 128 ? 128 : p < l.resourceStart ? l.resourceStart : l.end;
    int32_t n = int32_t(std::min<int64_t>(left, sectionEnd - p));
    if (p < 128)
      std::memcpy(buffer + done, s->header + p, size_t(n));
    else
      std::memset(buffer + done, 0, size_t(n));
    done += n;
    s->position += n;
  }
  *count = done;
  return 0;
}

int16_t MacBinaryWrite(MacBinaryStream* s, const uint8_t* buffer, int32_t* count) {
  int32_t wanted = std::max(*count, 0);
  int32_t done = 0;
  *count = 0;
  Layout l = LayoutOf(*s);
  for (;;) {
    if (int16_t rc = EnterSections(s, l)) {
      *count = done;
      return rc;
    }
    if (done == wanted) break;
    int64_t p = s->position;
    int32_t left = wanted - done;
    bool inData = p >= 128 && p < l.dataEnd;
    bool inResource = p >= l.resourceStart && p < l.resourceEnd;
    if (inData || inResource) {
      int64_t forkEnd = inData ? l.dataEnd : l.resourceEnd;
      int32_t n = int32_t(std::min<int64_t>(left, forkEnd - p));
      int16_t rc = platform::WriteFork(s->forkRef, &n, buffer + done);
      done += n;
      s->position += n;
      if (rc == 0 && s->position == forkEnd) rc = CloseStreamFork(s);
      if (rc) {
        *count = done;
        return rc;
      }
      continue;
    }
    // Header, padding, or bytes after the last fork: skipped up to the next section.
    int64_t next = p < 128 ? 128 : p < l.resourceStart ? l.resourceStart : INT64_MAX;
    int32_t n = int32_t(std::min<int64_t>(left, next - p));
    done += n;
    s->position += n;
  }
  *count = done;
  return 0;
}

int16_t EncodeMacBinary(std::string_view sourcePath, std::string_view macBinaryPath) {
  ChunkFree chunk;
  if (!chunk.p) return platform::MemError() ? platform::MemError() : platform::kMemFullErr;
  StreamFree stream{NewStream(sourcePath)};
  if (!stream.s) return kMacBinaryNoRecord;
  MacBinaryStream* s = stream.s;
  if (int16_t rc = MacBinaryHeaderBuild(sourcePath, s->header, &s->dataLength, &s->resourceLength))
    return rc;

  int16_t rc = platform::CreateFile(macBinaryPath, 0, Code("MACB"));
  if (rc != 0 && rc != platform::kDupFNErr) return rc;
  platform::FinderInfo info;
  rc = platform::GetFinderInfo(macBinaryPath, &info);
  if (rc == 0) {
    info.creator = Code("SITx");
    rc = platform::SetFinderInfo(macBinaryPath, info);
  }
  if (rc) return rc;
  ForkCloser out;
  rc = platform::OpenDataFork(macBinaryPath, platform::kReadWritePermission, &out.ref);
  if (rc == 0) rc = platform::SetForkLength(out.ref, 0);
  uint8_t* buffer = static_cast<uint8_t*>(chunk.p);
  while (rc == 0) {
    int32_t n = chunk.size;
    int16_t read = MacBinaryRead(s, buffer, &n);
    if (read != 0 && read != kEofErr) {
      rc = read;
      break;
    }
    if (n > 0) rc = platform::WriteFork(out.ref, &n, buffer);
    if (read == kEofErr) {
      // A fork that ended early left the MacBinary file shorter than its header says.
      if (rc == 0 && s->shortFork) rc = kEofErr;
      break;
    }
  }
  int16_t closed = CloseStreamFork(s);
  int16_t outClosed = out.Close();
  if (rc == 0) rc = closed;
  return rc ? rc : outClosed;
}

int16_t DecodeMacBinary(std::string_view macBinaryPath, std::string_view destinationPath) {
  ChunkFree chunk;
  if (!chunk.p) return platform::MemError() ? platform::MemError() : platform::kMemFullErr;
  ForkCloser in;
  int16_t rc = platform::OpenDataFork(macBinaryPath, platform::kReadPermission, &in.ref);
  if (rc) return rc;
  uint8_t header[128];
  int32_t n = 128;
  rc = platform::ReadFork(in.ref, &n, header);
  if (rc) return rc;
  // Checked before the destination is made, so a stray input leaves no empty file behind.
  uint32_t dataLength = 0, resourceLength = 0;
  if (MacBinaryHeaderCheck(header, nullptr, &dataLength, &resourceLength) == 0)
    return kMacBinaryNotMacBinary;
  platform::OSType type = Get32(header + 65), creator = Get32(header + 69);
  rc = platform::CreateFile(destinationPath, creator, type);
  if (rc != 0 && rc != platform::kDupFNErr) return rc;
  StreamFree stream{NewStream(destinationPath)};
  if (!stream.s) return kMacBinaryNoRecord;
  MacBinaryStream* s = stream.s;
  std::memcpy(s->header, header, 128);
  s->dataLength = dataLength;
  s->resourceLength = resourceLength;
  s->position = 128;

  uint8_t* buffer = static_cast<uint8_t*>(chunk.p);
  int16_t status = 0;
  for (;;) {
    n = chunk.size;
    int16_t read = platform::ReadFork(in.ref, &n, buffer);
    if (read != 0 && read != kEofErr) {
      status = read;
      break;
    }
    status = MacBinaryWrite(s, buffer, &n);
    if (status != 0 || read == kEofErr) break;
  }
  int16_t closed = CloseStreamFork(s);
  if (status == 0) status = closed;
  Layout l = LayoutOf(*s);
  int64_t complete = resourceLength > 0 ? l.resourceEnd : l.dataEnd;
  // A file cut short is an error, not a smaller file.
  if (status == 0 && s->position < complete) status = kEofErr;
  if (status == 0 && !s->resourceEntered) {
    // No resource section came (the padding was left off): the old fork must still go.
    ForkCloser rsrc;
    status = platform::OpenResourceFork(destinationPath, platform::kReadWritePermission, &rsrc.ref);
    if (status == 0) status = platform::SetForkLength(rsrc.ref, 0);
    int16_t c = rsrc.Close();
    if (status == 0) status = c;
  }

  // Type, creator, flags and dates from the header, whatever became of the forks.
  platform::CatalogInfo cat;
  rc = platform::GetCatalogInfo(destinationPath, &cat);
  if (rc == 0) {
    uint16_t flags = uint16_t((header[73] << 8) | header[101]);
    cat.finder.type = type;
    cat.finder.creator = creator;
    cat.finder.flags = uint16_t((cat.finder.flags & kLocalFlags) | (flags & ~kLocalFlags));
    cat.created = Get32(header + 91);
    cat.modified = Get32(header + 95);
    rc = platform::SetCatalogInfo(destinationPath, cat);
  }
  if (status == 0) status = rc;
  rc = platform::FlushVolume(destinationPath);
  if (status == 0) status = rc;
  rc = in.Close();
  return status ? status : rc;
}

}  // namespace vrx

// ---- commands --------------------------------------------------------------------------
