#include "platform/files.h"
#include "platform/guards.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/memory.h"
#include "platform/services.h"

namespace platform {
namespace {

// ---- AppleDouble (version 2, as macOS writes it beside files on foreign volumes) --------
constexpr uint32_t kAppleDoubleMagic = 0x00051607;
constexpr uint32_t kAppleDoubleVersion1 = 0x00010000;
constexpr uint32_t kAppleDoubleVersion2 = 0x00020000;
constexpr uint32_t kEntryResourceFork = 2;
constexpr uint32_t kEntryFinderInfo = 9;
constexpr int64_t kHeaderSize = 26;  // magic, version, 16 filler bytes, entry count
constexpr int64_t kDescriptorSize = 12;  // id, offset, length
constexpr int64_t kFinderInfoSize = 32;  // FInfo 16 + FXInfo 16
constexpr uint32_t kMaxEntries = 1024;   // far more than any writer uses
constexpr char kFiller[17] = "Mac OS X        ";

constexpr int64_t kUnixTo1904 = 2082844800;  // seconds from 1904-01-01 to 1970-01-01
constexpr int kMaxForks = 1024;
constexpr int64_t kMaxRewriteSize = int64_t(256) << 20;

uint32_t Get32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
uint16_t Get16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
void Put32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v >> 8);
  p[1] = uint8_t(v);
}

// Reads up to n bytes at off; returns the bytes read (short only at end of file) or -1.
int64_t PreadFull(int fd, void* buf, int64_t n, int64_t off) {
  int64_t done = 0;
  while (done < n) {
    ssize_t r = pread(fd, static_cast<uint8_t*>(buf) + done, size_t(n - done), off_t(off + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (r == 0) break;
    done += r;
  }
  return done;
}

// Writes n bytes at off; 0 or errno, with *written the bytes that made it.
int PwriteFull(int fd, const void* buf, int64_t n, int64_t off, int64_t* written) {
  int64_t done = 0;
  int err = 0;
  while (done < n) {
    ssize_t r =
        pwrite(fd, static_cast<const uint8_t*>(buf) + done, size_t(n - done), off_t(off + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      err = errno;
      break;
    }
    if (r == 0) {
      err = ENOSPC;
      break;
    }
    done += r;
  }
  if (written) *written = done;
  return err;
}

struct Entry {
  uint32_t id = 0;
  uint32_t offset = 0;
  uint32_t length = 0;
};

struct Layout {
  std::vector<Entry> entries;
  int64_t fileSize = 0;
  int finder = -1;    // index of the Finder info entry, -1 when absent
  int resource = -1;  // index of the resource fork entry, -1 when absent
};

// Outcome of reading an AppleDouble file's layout, besides 0 (valid).
constexpr int16_t kAdEmpty = 1;    // zero bytes long: a creation that never finished
constexpr int16_t kAdCorrupt = 2;  // not an AppleDouble file we can trust
constexpr int16_t kAdAbsent = 3;   // no "._" file

// Every offset and length is checked against the file's size, so later reads of an
// entry never run past the end of the file.
int16_t ParseAppleDouble(int fd, Layout* out) {
  *out = Layout{};
  struct stat st;
  if (fstat(fd, &st) != 0) return FileErrorFromErrno(errno);
  if (!S_ISREG(st.st_mode)) return kAdCorrupt;
  out->fileSize = st.st_size;
  if (st.st_size == 0) return kAdEmpty;
  if (st.st_size < kHeaderSize) return kAdCorrupt;
  uint8_t header[kHeaderSize];
  int64_t got = PreadFull(fd, header, kHeaderSize, 0);
  if (got < 0) return FileErrorFromErrno(errno);
  if (got != kHeaderSize) return kAdCorrupt;
  uint32_t version = Get32(header + 4);
  if (Get32(header) != kAppleDoubleMagic ||
      (version != kAppleDoubleVersion2 && version != kAppleDoubleVersion1))
    return kAdCorrupt;
  uint32_t count = Get16(header + 24);
  int64_t headerEnd = kHeaderSize + kDescriptorSize * int64_t(count);
  if (count > kMaxEntries || headerEnd > st.st_size) return kAdCorrupt;
  std::vector<uint8_t> table(size_t(kDescriptorSize * count));
  got = PreadFull(fd, table.data(), int64_t(table.size()), kHeaderSize);
  if (got < 0) return FileErrorFromErrno(errno);
  if (got != int64_t(table.size())) return kAdCorrupt;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* d = table.data() + kDescriptorSize * i;
    Entry e{Get32(d), Get32(d + 4), Get32(d + 8)};
    if (int64_t(e.offset) + int64_t(e.length) > st.st_size) return kAdCorrupt;
    if (e.length > 0 && int64_t(e.offset) < headerEnd) return kAdCorrupt;
    if (e.id == kEntryFinderInfo || e.id == kEntryResourceFork) {
      int& slot = e.id == kEntryFinderInfo ? out->finder : out->resource;
      if (slot >= 0) return kAdCorrupt;  // two of a kind: which one is meant?
      slot = int(i);
    }
    out->entries.push_back(e);
  }
  // Entries that share bytes: writing one would change the other.
  for (size_t i = 0; i < out->entries.size(); ++i)
    for (size_t j = i + 1; j < out->entries.size(); ++j) {
      const Entry& a = out->entries[i];
      const Entry& b = out->entries[j];
      if (a.length > 0 && b.length > 0 && int64_t(a.offset) < int64_t(b.offset) + b.length &&
          int64_t(b.offset) < int64_t(a.offset) + a.length)
        return kAdCorrupt;
    }
  return 0;
}

int64_t DescriptorOffset(int index) { return kHeaderSize + kDescriptorSize * index; }

// True when the resource fork can grow in place: nothing else lies after its start.
bool ResourceForkIsLast(const Layout& l) {
  if (l.resource < 0) return false;
  const Entry& r = l.entries[size_t(l.resource)];
  if (int64_t(r.offset) < DescriptorOffset(int(l.entries.size()))) return false;
  for (size_t i = 0; i < l.entries.size(); ++i) {
    const Entry& e = l.entries[i];
    if (int(i) == l.resource || e.length == 0) continue;
    if (int64_t(e.offset) + e.length > r.offset) return false;
  }
  return true;
}

// A fresh file: Finder info (32 bytes) then an empty resource fork, last so it can grow.
int16_t WriteNewAppleDouble(int fd, const uint8_t finder[kFinderInfoSize]) {
  uint8_t buf[kHeaderSize + 2 * kDescriptorSize + kFinderInfoSize] = {};
  Put32(buf, kAppleDoubleMagic);
  Put32(buf + 4, kAppleDoubleVersion2);
  memcpy(buf + 8, kFiller, 16);
  Put16(buf + 24, 2);
  uint32_t finderOffset = kHeaderSize + 2 * kDescriptorSize;
  Put32(buf + 26, kEntryFinderInfo);
  Put32(buf + 30, finderOffset);
  Put32(buf + 34, kFinderInfoSize);
  Put32(buf + 38, kEntryResourceFork);
  Put32(buf + 42, finderOffset + kFinderInfoSize);
  Put32(buf + 46, 0);
  memcpy(buf + finderOffset, finder, kFinderInfoSize);
  if (int err = PwriteFull(fd, buf, sizeof buf, 0, nullptr)) return FileErrorFromErrno(err);
  if (ftruncate(fd, sizeof buf) != 0) return FileErrorFromErrno(errno);
  return 0;
}

// Lays the file out anew, keeping every entry's bytes: Finder info of at least 32 bytes
// first, the other entries in their order, the resource fork last. Only files written by
// other tools need this; the files written here already have that shape.
int16_t RewriteAppleDouble(int fd, Layout* l) {
  // Resource forks were at most 16 MB; a companion far beyond that is not ours to load.
  if (l->fileSize > kMaxRewriteSize) return kMemFullErr;
  struct Piece {
    uint32_t id;
    std::vector<uint8_t> bytes;
  };
  std::vector<Piece> pieces;
  Piece finder{kEntryFinderInfo, {}};
  Piece resource{kEntryResourceFork, {}};
  for (size_t i = 0; i < l->entries.size(); ++i) {
    const Entry& e = l->entries[i];
    Piece p{e.id, std::vector<uint8_t>(e.length)};
    int64_t got = PreadFull(fd, p.bytes.data(), e.length, e.offset);
    if (got < 0) return FileErrorFromErrno(errno);
    if (got != e.length) return kIoErr;  // the file shrank under us
    if (int(i) == l->finder)
      finder = std::move(p);
    else if (int(i) == l->resource)
      resource = std::move(p);
    else
      pieces.push_back(std::move(p));
  }
  if (finder.bytes.size() < size_t(kFinderInfoSize)) finder.bytes.resize(kFinderInfoSize, 0);
  pieces.insert(pieces.begin(), std::move(finder));
  pieces.push_back(std::move(resource));

  int64_t offset = DescriptorOffset(int(pieces.size()));
  std::vector<uint8_t> out(static_cast<size_t>(offset));
  Put32(out.data(), kAppleDoubleMagic);
  Put32(out.data() + 4, kAppleDoubleVersion2);
  memcpy(out.data() + 8, kFiller, 16);
  Put16(out.data() + 24, uint16_t(pieces.size()));
  for (size_t i = 0; i < pieces.size(); ++i) {
    uint8_t* d = out.data() + DescriptorOffset(int(i));
    Put32(d, pieces[i].id);
    Put32(d + 4, uint32_t(offset));
    Put32(d + 8, uint32_t(pieces[i].bytes.size()));
    offset += int64_t(pieces[i].bytes.size());
    if (offset > INT32_MAX) return kDskFulErr;
  }
  for (const Piece& p : pieces) out.insert(out.end(), p.bytes.begin(), p.bytes.end());
  if (int err = PwriteFull(fd, out.data(), int64_t(out.size()), 0, nullptr))
    return FileErrorFromErrno(err);
  if (ftruncate(fd, off_t(out.size())) != 0) return FileErrorFromErrno(errno);
  int16_t rc = ParseAppleDouble(fd, l);
  return rc == 0 ? 0 : kIoErr;
}

int16_t SetEntryLength(int fd, int index, uint32_t length) {
  uint8_t b[4];
  Put32(b, length);
  if (int err = PwriteFull(fd, b, 4, DescriptorOffset(index) + 8, nullptr))
    return FileErrorFromErrno(err);
  return 0;
}

// Bytes after the last entry belong to nothing; drop them before the fork grows into them.
int16_t DropTrailingBytes(int fd, const Layout& l) {
  const Entry& r = l.entries[size_t(l.resource)];
  int64_t end = int64_t(r.offset) + r.length;
  if (l.fileSize > end && ftruncate(fd, off_t(end)) != 0) return FileErrorFromErrno(errno);
  return 0;
}

FinderInfo DecodeFinderInfo(const uint8_t* b) {
  FinderInfo f;
  f.type = Get32(b);
  f.creator = Get32(b + 4);
  f.flags = Get16(b + 8);
  f.locationV = int16_t(Get16(b + 10));
  f.locationH = int16_t(Get16(b + 12));
  f.folder = int16_t(Get16(b + 14));
  return f;
}

void EncodeFinderInfo(const FinderInfo& f, uint8_t* b) {
  Put32(b, f.type);
  Put32(b + 4, f.creator);
  Put16(b + 8, f.flags);
  Put16(b + 10, uint16_t(f.locationV));
  Put16(b + 12, uint16_t(f.locationH));
  Put16(b + 14, uint16_t(f.folder));
}

// Opens an existing "._" file; never blocks on a FIFO planted under that name.
int16_t OpenAppleDouble(const std::string& adPath, bool write, bool create, int* fd) {
  int flags = (write ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  if (create) flags |= O_CREAT;
  *fd = open(adPath.c_str(), flags, 0666);
  if (*fd < 0) {
    if (errno == ENOENT && !create) return kAdAbsent;
    return FileErrorFromErrno(errno);
  }
  // A "._" name that is no file is no companion; a companion that cannot be looked at
  // is an error, not a file without Finder information.
  struct stat st;
  int16_t rc = fstat(*fd, &st) != 0 ? FileErrorFromErrno(errno) : !S_ISREG(st.st_mode) ? kAdCorrupt : 0;
  if (rc != 0) {
    close(*fd);
    *fd = -1;
  }
  return rc;
}

// The Finder info bytes of a "._" file (zeros where it has none), or an error. A missing
// or corrupt file reads as no information.
int16_t ReadStoredFinderInfo(const std::string& adPath, uint8_t out[kFinderInfoSize],
                             int64_t* resourceLength) {
  memset(out, 0, kFinderInfoSize);
  if (resourceLength) *resourceLength = 0;
  vrx::Fd f;
  int16_t rc = OpenAppleDouble(adPath, false, false, &f.fd);
  if (rc == kAdAbsent || rc == kAdCorrupt) return 0;
  if (rc != 0) return rc;
  Layout l;
  rc = ParseAppleDouble(f.fd, &l);
  if (rc == kAdEmpty || rc == kAdCorrupt) return 0;
  if (rc != 0) return rc;
  if (l.finder >= 0) {
    const Entry& e = l.entries[size_t(l.finder)];
    int64_t n = std::min<int64_t>(e.length, kFinderInfoSize);
    int64_t got = PreadFull(f.fd, out, n, e.offset);
    if (got < 0) return FileErrorFromErrno(errno);
    if (got < n) memset(out + got, 0, size_t(kFinderInfoSize - got));
  }
  if (resourceLength && l.resource >= 0)
    *resourceLength = l.entries[size_t(l.resource)].length;
  return 0;
}

// ---- paths and times ------------------------------------------------------------------

// The folder part of a system path; empty when the leaf itself is empty ("dir/").
bool ParentFolder(std::string_view sys, std::string* parent) {
  size_t slash = sys.rfind('/');
  if (slash == std::string_view::npos) {
    *parent = ".";
    return true;
  }
  if (slash + 1 == sys.size()) return false;
  *parent = slash == 0 ? std::string("/") : std::string(sys.substr(0, slash));
  return true;
}

bool FolderMissing(std::string_view sys) {
  std::string parent;
  if (!ParentFolder(sys, &parent)) return true;
  struct stat st;
  return stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
}

uint32_t UnixToMac(int64_t t) {
  time_t tt = time_t(t);
  struct tm tm;
  int64_t offset = localtime_r(&tt, &tm) ? int64_t(tm.tm_gmtoff) : 0;
  return uint32_t(uint64_t(t + offset + kUnixTo1904));
}

int64_t MacToUnix(uint32_t seconds) {
  int64_t local = int64_t(seconds) - kUnixTo1904;
  auto offsetAt = [](int64_t t) -> int64_t {
    time_t tt = time_t(t);
    struct tm tm;
    return localtime_r(&tt, &tm) ? int64_t(tm.tm_gmtoff) : 0;
  };
  // The offset at the instant itself, found in two steps (it depends on that instant).
  int64_t guess = local - offsetAt(local);
  return local - offsetAt(guess);
}

int16_t StatDataFile(const std::string& sys, struct stat* st) {
  if (stat(sys.c_str(), st) != 0) return FileErrorForPath(errno, sys);
  if (!S_ISREG(st->st_mode)) return kNotAFileErr;
  return 0;
}

// ---- open forks ----------------------------------------------------------------------

enum class ForkKind : uint8_t { data, resource };

struct Fork {
  bool used = false;
  ForkKind kind = ForkKind::data;
  bool readable = false;
  bool writable = false;
  int fd = -1;  // the data file, or the "._" file (-1 while it does not exist)
  dev_t dev = 0;  // identity of the data file, for the one-writer rule and delete
  ino_t ino = 0;
  int64_t mark = 0;
  std::string adPath;  // resource forks: where the "._" file is or will be
};

std::array<Fork, kMaxForks> g_forks;

Fork* LookUp(int16_t ref) {
  if (ref < 1 || ref > kMaxForks) return nullptr;
  Fork* f = &g_forks[size_t(ref - 1)];
  return f->used ? f : nullptr;
}

bool OpenForWriting(dev_t dev, ino_t ino, ForkKind kind) {
  for (const Fork& f : g_forks)
    if (f.used && f.writable && f.kind == kind && f.dev == dev && f.ino == ino) return true;
  return false;
}

bool FileIsOpen(dev_t dev, ino_t ino) {
  for (const Fork& f : g_forks)
    if (f.used && f.dev == dev && f.ino == ino) return true;
  return false;
}

int16_t FreeSlot() {
  for (int i = 0; i < kMaxForks; ++i)
    if (!g_forks[size_t(i)].used) return int16_t(i + 1);
  return 0;
}

// Permission 0: read/write where allowed, else read; 1 read; 2 write; 3 and 4 read/write.
bool PermissionAccess(int8_t permission, bool* read, bool* write) {
  switch (permission) {
    case 0:
    case 3:
    case 4: *read = true, *write = true; return true;
    case 1: *read = true, *write = false; return true;
    case 2: *read = false, *write = true; return true;
    default: return false;
  }
}

int16_t OpenErrorFor(int err, const std::string& sys, bool write) {
  if (write && (err == EACCES || err == EPERM)) return kPermErr;
  return FileErrorForPath(err, sys);
}

// The current layout of a resource fork's "._" file. kAdAbsent when there is none yet
// (or, for a fork opened for reading, when it cannot be trusted: it then reads as empty).
// With `create`, a missing file or resource entry is made, so the fork can be written.
int16_t ResourceLayout(Fork* f, bool create, Layout* l) {
  if (f->fd < 0) {
    int16_t rc = OpenAppleDouble(f->adPath, f->writable, create, &f->fd);
    if (rc == kAdCorrupt) return f->writable ? kIoErr : kAdAbsent;
    if (rc != 0) return rc;
  }
  int16_t rc = ParseAppleDouble(f->fd, l);
  if (rc == kAdCorrupt) return f->writable ? kIoErr : kAdAbsent;
  if (rc == kAdEmpty) {
    if (!create) return kAdAbsent;
    uint8_t zero[kFinderInfoSize] = {};
    if ((rc = WriteNewAppleDouble(f->fd, zero)) != 0) return rc;
    if (ParseAppleDouble(f->fd, l) != 0) return kIoErr;
  } else if (rc != 0) {
    return rc;
  }
  if (l->resource < 0 && !create) return kAdAbsent;
  if (create && !ResourceForkIsLast(*l)) {
    if ((rc = RewriteAppleDouble(f->fd, l)) != 0) return rc;
  }
  return 0;
}

int64_t ResourceLength(const Layout& l) {
  return l.resource < 0 ? 0 : l.entries[size_t(l.resource)].length;
}

int16_t DataLength(const Fork& f, int64_t* length) {
  struct stat st;
  if (fstat(f.fd, &st) != 0) return FileErrorFromErrno(errno);
  *length = st.st_size;
  return 0;
}

int16_t ForkLength(Fork* f, int64_t* length) {
  if (f->kind == ForkKind::data) return DataLength(*f, length);
  Layout l;
  int16_t rc = ResourceLayout(f, false, &l);
  if (rc == kAdAbsent) {
    *length = 0;
    return 0;
  }
  if (rc != 0) return rc;
  *length = ResourceLength(l);
  return 0;
}

int16_t OpenFork(std::string_view path, int8_t permission, int16_t* ref, ForkKind kind) {
  if (!ref) return kParamErr;
  *ref = 0;
  bool read = false, write = false;
  if (!PermissionAccess(permission, &read, &write)) return kParamErr;
  std::string sys = SystemPath(path);
  Fork f;
  f.kind = kind;
  f.readable = read;
  f.writable = write;
  vrx::Fd guard;
  struct stat st;
  if (kind == ForkKind::data) {
    int mode = read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    // O_NONBLOCK: a FIFO at that path must not hang the open; regular files ignore it.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    guard.fd = open(sys.c_str(), mode | flags);
    if (guard.fd < 0 && permission == 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
      f.writable = false;
      guard.fd = open(sys.c_str(), O_RDONLY | flags);
    }
    if (guard.fd < 0) return OpenErrorFor(errno, sys, f.writable);
    if (fstat(guard.fd, &st) != 0) return FileErrorFromErrno(errno);
    if (!S_ISREG(st.st_mode)) return kNotAFileErr;
  } else {
    if (int16_t rc = StatDataFile(sys, &st)) return rc;
    f.adPath = AppleDoublePath(sys);
    int16_t rc = OpenAppleDouble(f.adPath, f.writable, false, &guard.fd);
    if (rc == kAdCorrupt) {
      if (f.writable) return kIoErr;
    } else if (rc == kAdAbsent) {
      // Nothing stored yet: the fork is empty and its file is made on the first write.
    } else if (rc != 0) {
      return rc == kAfpAccessDenied && f.writable ? kPermErr : rc;
    } else {
      Layout l;
      rc = ParseAppleDouble(guard.fd, &l);
      if (rc == kAdCorrupt) {
        if (f.writable) return kIoErr;
        close(guard.fd);
        guard.fd = -1;
      } else if (rc != 0 && rc != kAdEmpty) {
        return rc;
      }
    }
  }
  f.dev = st.st_dev;
  f.ino = st.st_ino;
  if (f.writable && OpenForWriting(f.dev, f.ino, kind)) return kOpWrErr;
  int16_t slot = FreeSlot();
  if (slot == 0) return kTmfoErr;
  f.used = true;
  f.fd = guard.fd;
  guard.fd = -1;
  g_forks[size_t(slot - 1)] = std::move(f);
  *ref = slot;
  return 0;
}

}  // namespace

// ---- paths and errors ------------------------------------------------------------------

std::string SystemPath(std::string_view path) {
  size_t zero = path.find('\0');
  if (zero != std::string_view::npos) path = path.substr(0, zero);
  return MacRomanToUtf8(path);
}

std::string_view LeafName(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string AppleDoublePath(std::string_view systemPath) {
  size_t slash = systemPath.rfind('/');
  if (slash == std::string_view::npos) return "._" + std::string(systemPath);
  return std::string(systemPath.substr(0, slash + 1)) + "._" +
         std::string(systemPath.substr(slash + 1));
}

int32_t WindowsErrorFromErrno(int err) {
  switch (err) {
    case ENOENT: return 2;     // ERROR_FILE_NOT_FOUND
    case ENOTDIR: return 3;    // ERROR_PATH_NOT_FOUND
    case EMFILE:
    case ENFILE: return 4;     // ERROR_TOO_MANY_OPEN_FILES
    case EACCES:
    case EPERM:
    case EISDIR: return 5;     // ERROR_ACCESS_DENIED
    case EROFS: return 19;     // ERROR_WRITE_PROTECT
    case EEXIST: return 80;    // ERROR_FILE_EXISTS
    case ENOSPC:
    case EDQUOT: return 112;   // ERROR_DISK_FULL
    default: return 31;        // ERROR_GEN_FAILURE
  }
}

int16_t FileErrorFromErrno(int err) {
  switch (err) {
    case 0: return 0;
    case ENOENT: return kFnfErr;
    case ENOTDIR:
    case ELOOP: return kDirNFErr;
    case EEXIST: return kDupFNErr;
    case EACCES:
    case EPERM: return kAfpAccessDenied;
    case EROFS: return kWPrErr;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kDskFulErr;
    case EMFILE:
    case ENFILE: return kTmfoErr;
    case ENAMETOOLONG: return kBdNamErr;
    case EISDIR: return kNotAFileErr;
    case EBUSY:
    case ETXTBSY: return kFBsyErr;
    case EINVAL: return kParamErr;
    default: return kIoErr;
  }
}

int32_t WindowsErrorForPath(int err, std::string_view systemPath) {
  if (err == ENOENT && FolderMissing(systemPath)) return 3;
  return WindowsErrorFromErrno(err);
}

int16_t FileErrorForPath(int err, std::string_view systemPath) {
  if (err == ENOENT && FolderMissing(systemPath)) return kDirNFErr;
  return FileErrorFromErrno(err);
}

// ---- files -------------------------------------------------------------------------------

int16_t CreateFile(std::string_view path, OSType creator, OSType type) {
  std::string sys = SystemPath(path);
  int fd = open(sys.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) return FileErrorForPath(errno, sys);
  close(fd);
  // A "._" file left by an earlier file of that name describes that file, not this one.
  std::string adPath = AppleDoublePath(sys);
  if (type == 0 && creator == 0) {
    unlink(adPath.c_str());
    return 0;
  }
  uint8_t finder[kFinderInfoSize] = {};
  FinderInfo info;
  info.type = type;
  info.creator = creator;
  EncodeFinderInfo(info, finder);
  int16_t rc = 0;
  int ad = open(adPath.c_str(), O_CREAT | O_TRUNC | O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK,
                0666);
  if (ad < 0) {
    rc = FileErrorFromErrno(errno);
  } else {
    struct stat st;
    rc = fstat(ad, &st) != 0 ? FileErrorFromErrno(errno)
         : !S_ISREG(st.st_mode) ? kIoErr
                                : WriteNewAppleDouble(ad, finder);
    close(ad);
  }
  if (rc != 0) {
    // Half a file (no type) would pass for a finished one: take both away.
    unlink(adPath.c_str());
    unlink(sys.c_str());
  }
  return rc;
}

int16_t DeleteFile(std::string_view path) {
  std::string sys = SystemPath(path);
  struct stat st;
  if (stat(sys.c_str(), &st) != 0) return FileErrorForPath(errno, sys);
  if (FileIsOpen(st.st_dev, st.st_ino)) return kFBsyErr;
  if (S_ISDIR(st.st_mode)) {
    if (rmdir(sys.c_str()) != 0)
      return errno == ENOTEMPTY || errno == EEXIST ? kFBsyErr : FileErrorFromErrno(errno);
    return 0;
  }
  // The companion goes first: one that cannot be removed fails the delete with the file
  // as it was, rather than leave the deleted file's type and resource fork to a later
  // file of that name.
  if (unlink(AppleDoublePath(sys).c_str()) != 0 && errno != ENOENT && errno != EISDIR)
    return FileErrorFromErrno(errno);
  if (unlink(sys.c_str()) != 0) return FileErrorForPath(errno, sys);
  return 0;
}

int16_t OpenDataFork(std::string_view path, int8_t permission, int16_t* ref) {
  return OpenFork(path, permission, ref, ForkKind::data);
}

int16_t OpenResourceFork(std::string_view path, int8_t permission, int16_t* ref) {
  return OpenFork(path, permission, ref, ForkKind::resource);
}

int16_t ReadFork(int16_t ref, int32_t* count, void* buffer) {
  if (!count) return kParamErr;
  int32_t wanted = *count;
  *count = 0;
  Fork* f = LookUp(ref);
  if (!f) return kRfNumErr;
  if (wanted < 0 || (wanted > 0 && !buffer)) return kParamErr;
  if (!f->readable) return kPermErr;  // opened for writing only
  if (wanted == 0) return 0;
  int64_t got = 0;
  if (f->kind == ForkKind::data) {
    got = PreadFull(f->fd, buffer, wanted, f->mark);
    if (got < 0) return FileErrorFromErrno(errno);
  } else {
    Layout l;
    int16_t rc = ResourceLayout(f, false, &l);
    if (rc != 0 && rc != kAdAbsent) return rc;
    if (rc == 0) {
      const Entry& e = l.entries[size_t(l.resource)];
      int64_t n = std::clamp<int64_t>(int64_t(e.length) - f->mark, 0, wanted);
      got = n > 0 ? PreadFull(f->fd, buffer, n, int64_t(e.offset) + f->mark) : 0;
      if (got < 0) return FileErrorFromErrno(errno);
    }
  }
  f->mark += got;
  *count = int32_t(got);
  return got < wanted ? kEofErr : 0;
}

int16_t WriteFork(int16_t ref, int32_t* count, const void* buffer) {
  if (!count) return kParamErr;
  int32_t wanted = *count;
  *count = 0;
  Fork* f = LookUp(ref);
  if (!f) return kRfNumErr;
  if (wanted < 0 || (wanted > 0 && !buffer)) return kParamErr;
  if (!f->writable) return kWrPermErr;
  if (wanted == 0) return 0;
  // Fork lengths and marks are 32-bit: a fork cannot grow past 2 GB.
  int64_t room = INT32_MAX - f->mark;
  int64_t n = std::min<int64_t>(wanted, std::max<int64_t>(room, 0));
  int64_t written = 0;
  int err = 0;
  if (f->kind == ForkKind::data) {
    err = PwriteFull(f->fd, buffer, n, f->mark, &written);
  } else {
    Layout l;
    int16_t rc = ResourceLayout(f, true, &l);
    if (rc != 0) return rc;
    const Entry e = l.entries[size_t(l.resource)];
    if (f->mark + n > e.length && (rc = DropTrailingBytes(f->fd, l)) != 0) return rc;
    err = PwriteFull(f->fd, buffer, n, int64_t(e.offset) + f->mark, &written);
    int64_t end = f->mark + written;
    if (end > e.length) {
      // The bytes are in place before the length that makes them part of the fork.
      if ((rc = SetEntryLength(f->fd, l.resource, uint32_t(end))) != 0) return rc;
    }
  }
  f->mark += written;
  *count = int32_t(written);
  if (err != 0) return FileErrorFromErrno(err);
  return written < wanted ? kDskFulErr : 0;
}

int16_t GetForkPosition(int16_t ref, int32_t* position) {
  if (!position) return kParamErr;
  Fork* f = LookUp(ref);
  if (!f) return kRfNumErr;
  *position = int32_t(std::min<int64_t>(f->mark, INT32_MAX));
  return 0;
}

int16_t SetForkPosition(int16_t ref, int16_t mode, int32_t offset) {
  Fork* f = LookUp(ref);
  if (!f) return kRfNumErr;
  int64_t length = 0;
  if (int16_t rc = ForkLength(f, &length)) return rc;
  int64_t target;
  switch (mode) {
    case 0: return 0;  // at the mark: nothing moves
    case 1: target = offset; break;
    case 2: target = length + offset; break;
    case 3: target = f->mark + offset; break;
    default: return kParamErr;
  }
  if (target < 0) return kPosErr;
  if (target > length) {
    f->mark = length;
    return kEofErr;
  }
  f->mark = target;
  return 0;
}

int16_t GetForkLength(int16_t ref, int32_t* length) {
  if (!length) return kParamErr;
  *length = 0;
  Fork* f = LookUp(ref);
  if (!f) return kRfNumErr;
  int64_t n = 0;
  if (int16_t rc = ForkLength(f, &n)) return rc;
  *length = int32_t(std::min<int64_t>(n, INT32_MAX));
  return 0;
}

int16_t SetForkLength(int16_t ref, int32_t length) {
  Fork* f = LookUp(ref);
  if (!f) return kRfNumErr;
  if (!f->writable) return kWrPermErr;
  if (length < 0) return kParamErr;
  if (f->kind == ForkKind::data) {
    if (ftruncate(f->fd, length) != 0) return FileErrorFromErrno(errno);
  } else {
    Layout l;
    int16_t rc = ResourceLayout(f, length > 0, &l);
    if (rc == kAdAbsent && length == 0) {
      f->mark = 0;
      return 0;  // nothing stored and nothing to store
    }
    if (rc != 0) return rc;
    const Entry& e = l.entries[size_t(l.resource)];
    if (ResourceForkIsLast(l)) {
      // Growth reads as zeros: cut anything after the fork, then extend.
      if ((rc = DropTrailingBytes(f->fd, l)) != 0) return rc;
      if (ftruncate(f->fd, off_t(int64_t(e.offset) + length)) != 0)
        return FileErrorFromErrno(errno);
    }
    if ((rc = SetEntryLength(f->fd, l.resource, uint32_t(length))) != 0) return rc;
  }
  if (f->mark > length) f->mark = length;
  return 0;
}

int16_t CloseFork(int16_t ref) {
  Fork* f = LookUp(ref);
  if (!f) return kRfNumErr;
  int16_t rc = 0;
  if (f->fd >= 0 && close(f->fd) != 0 && errno != EINTR) rc = FileErrorFromErrno(errno);
  *f = Fork{};
  return rc;
}

int32_t OpenForkCount() {
  return int32_t(std::count_if(g_forks.begin(), g_forks.end(), [](const Fork& f) { return f.used; }));
}

// ---- catalog and Finder information ----------------------------------------------------

int16_t GetFinderInfo(std::string_view path, FinderInfo* info) {
  if (!info) return kParamErr;
  *info = FinderInfo{};
  std::string sys = SystemPath(path);
  struct stat st;
  if (int16_t rc = StatDataFile(sys, &st)) return rc;
  uint8_t finder[kFinderInfoSize];
  if (int16_t rc = ReadStoredFinderInfo(AppleDoublePath(sys), finder, nullptr)) return rc;
  *info = DecodeFinderInfo(finder);
  return 0;
}

int16_t SetFinderInfo(std::string_view path, const FinderInfo& info) {
  std::string sys = SystemPath(path);
  struct stat st;
  if (int16_t rc = StatDataFile(sys, &st)) return rc;
  uint8_t fresh[16];
  EncodeFinderInfo(info, fresh);
  bool nothing = std::all_of(fresh, fresh + 16, [](uint8_t b) { return b == 0; });
  std::string adPath = AppleDoublePath(sys);
  vrx::Fd f;
  int16_t rc = OpenAppleDouble(adPath, true, false, &f.fd);
  if (rc == kAdAbsent) {
    if (nothing) return 0;  // nothing to store: no "._" file
    rc = OpenAppleDouble(adPath, true, true, &f.fd);
  }
  if (rc == kAdCorrupt) return kIoErr;
  if (rc != 0) return rc;
  Layout l;
  rc = ParseAppleDouble(f.fd, &l);
  if (rc == kAdEmpty) {
    uint8_t finder[kFinderInfoSize] = {};
    memcpy(finder, fresh, 16);
    return WriteNewAppleDouble(f.fd, finder);
  }
  if (rc == kAdCorrupt) return kIoErr;
  if (rc != 0) return rc;
  if (l.finder < 0 || l.entries[size_t(l.finder)].length < kFinderInfoSize) {
    if ((rc = RewriteAppleDouble(f.fd, &l)) != 0) return rc;
  }
  // Only FInfo changes; the extended information after it stays as it was.
  if (int err = PwriteFull(f.fd, fresh, 16, l.entries[size_t(l.finder)].offset, nullptr))
    return FileErrorFromErrno(err);
  return 0;
}

int16_t GetCatalogInfo(std::string_view path, CatalogInfo* info) {
  if (!info) return kParamErr;
  *info = CatalogInfo{};
  std::string sys = SystemPath(path);
  struct statx stx;
  if (statx(AT_FDCWD, sys.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &stx) != 0)
    return FileErrorForPath(errno, sys);
  if (!S_ISREG(stx.stx_mode)) return kNotAFileErr;
  uint8_t finder[kFinderInfoSize];
  int64_t resourceLength = 0;
  if (int16_t rc = ReadStoredFinderInfo(AppleDoublePath(sys), finder, &resourceLength)) return rc;
  info->finder = DecodeFinderInfo(finder);
  info->dataLength = int32_t(std::min<uint64_t>(stx.stx_size, INT32_MAX));
  info->resourceLength = int32_t(std::min<int64_t>(resourceLength, INT32_MAX));
  info->modified = UnixToMac(stx.stx_mtime.tv_sec);
  // Not every file system keeps a birth time; the modification time stands in for it.
  info->created =
      (stx.stx_mask & STATX_BTIME) ? UnixToMac(stx.stx_btime.tv_sec) : info->modified;
  info->locked = (stx.stx_mode & 0222) == 0;
  return 0;
}

int16_t SetCatalogInfo(std::string_view path, const CatalogInfo& info) {
  if (int16_t rc = SetFinderInfo(path, info.finder)) return rc;
  if (info.modified != 0) {
    std::string sys = SystemPath(path);
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time_t(MacToUnix(info.modified));
    times[1].tv_nsec = 0;
    if (utimensat(AT_FDCWD, sys.c_str(), times, 0) != 0) return FileErrorForPath(errno, sys);
  }
  return 0;
}

int16_t FlushVolume(std::string_view path) {
  std::string sys = SystemPath(path);
  struct stat st;
  if (stat(sys.c_str(), &st) != 0) return FileErrorForPath(errno, sys);
  auto syncPath = [](const std::string& p, bool whole) -> int {
    int fd = open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno;
    int err = (whole ? syncfs(fd) : fsync(fd)) != 0 ? errno : 0;
    close(fd);
    return err;
  };
  if (S_ISDIR(st.st_mode)) return FileErrorFromErrno(syncPath(sys, true));
  if (!S_ISREG(st.st_mode)) return kNotAFileErr;
  if (int err = syncPath(sys, false)) return FileErrorFromErrno(err);
  int err = syncPath(AppleDoublePath(sys), false);
  if (err != 0 && err != ENOENT) return FileErrorFromErrno(err);
  std::string parent;
  if (ParentFolder(sys, &parent)) syncPath(parent, false);  // names made durable; best effort
  return 0;
}

}  // namespace platform
