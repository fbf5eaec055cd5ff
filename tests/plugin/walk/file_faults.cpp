// File system calls that fail on demand, as a failing disk makes them fail. This test
// program's own definitions of the calls below stand before the C library's for the
// plug-in, the platform library and zlib alike (the dynamic linker takes a program's
// definition first); each forwards to the next one. While a failure is set, every call
// on a regular file, or on a path in the walk's folder, is counted and the nth answers
// EIO. stdio reads and writes through the C library's inner calls, which no program can
// stand before, so its own entry points are counted too.
#include "file_faults.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace walk {
namespace {

std::atomic<int64_t> gNth{0}, gCount{0};
char gFolder[4096];

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

using FstatFn = int (*)(int, struct stat*);
FstatFn RealFstat() {
  static FstatFn f = Next<FstatFn>("fstat");
  return f;
}

// Counts a call; true when it is the one to fail (errno is then EIO).
bool Counted() {
  if (++gCount != gNth.load()) return false;
  errno = EIO;
  return true;
}

bool Fails(int fd) {
  if (gNth.load() == 0) return false;
  struct stat st;
  if (RealFstat()(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return Counted();
}

// A path in the folder, absolute or relative to a current folder inside it.
bool FailsAt(const char* path) {
  if (gNth.load() == 0 || !path || !gFolder[0]) return false;
  size_t n = strlen(gFolder);
  if (path[0] == '/') {
    if (strncmp(path, gFolder, n) != 0 || (path[n] != '/' && path[n] != 0)) return false;
  } else {
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd) || strncmp(cwd, gFolder, n) != 0) return false;
  }
  return Counted();
}

bool Fails(FILE* f) { return f && Fails(fileno(f)); }

}  // namespace

void FailFileCall(int64_t nth) {
  gCount = 0;
  gNth = nth;
}

int64_t FileCallCount() { return gCount.load(); }

void FaultFolder(const std::string& folder) { snprintf(gFolder, sizeof gFolder, "%s", folder.c_str()); }

}  // namespace walk

using walk::Fails;
using walk::FailsAt;
using walk::Next;

extern "C" {

ssize_t read(int fd, void* buf, size_t n) {
  static auto next = Next<ssize_t (*)(int, void*, size_t)>("read");
  return Fails(fd) ? -1 : next(fd, buf, n);
}

ssize_t write(int fd, const void* buf, size_t n) {
  static auto next = Next<ssize_t (*)(int, const void*, size_t)>("write");
  return Fails(fd) ? -1 : next(fd, buf, n);
}

ssize_t pread(int fd, void* buf, size_t n, off_t offset) {
  static auto next = Next<ssize_t (*)(int, void*, size_t, off_t)>("pread");
  return Fails(fd) ? -1 : next(fd, buf, n, offset);
}

ssize_t pwrite(int fd, const void* buf, size_t n, off_t offset) {
  static auto next = Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
  return Fails(fd) ? -1 : next(fd, buf, n, offset);
}

int fstat(int fd, struct stat* st) noexcept { return Fails(fd) ? -1 : walk::RealFstat()(fd, st); }

int ftruncate(int fd, off_t length) noexcept {
  static auto next = Next<int (*)(int, off_t)>("ftruncate");
  return Fails(fd) ? -1 : next(fd, length);
}

int fsync(int fd) {
  static auto next = Next<int (*)(int)>("fsync");
  return Fails(fd) ? -1 : next(fd);
}

off_t lseek(int fd, off_t offset, int whence) noexcept {
  static auto next = Next<off_t (*)(int, off_t, int)>("lseek");
  return Fails(fd) ? -1 : next(fd, offset, whence);
}

// Linux frees the descriptor even when close reports an error.
int close(int fd) {
  static auto next = Next<int (*)(int)>("close");
  bool fail = Fails(fd);
  int rc = next(fd);
  if (!fail) return rc;
  errno = EIO;
  return -1;
}

int open(const char* path, int flags, ...) {
  static auto next = Next<int (*)(const char*, int, ...)>("open");
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list ap;
    va_start(ap, flags);
    mode = mode_t(va_arg(ap, int));
    va_end(ap);
  }
  return FailsAt(path) ? -1 : next(path, flags, mode);
}

int stat(const char* path, struct stat* st) noexcept {
  static auto next = Next<int (*)(const char*, struct stat*)>("stat");
  return FailsAt(path) ? -1 : next(path, st);
}

int statx(int dirfd, const char* path, int flags, unsigned mask, struct statx* st) noexcept {
  static auto next = Next<int (*)(int, const char*, int, unsigned, struct statx*)>("statx");
  return FailsAt(path) ? -1 : next(dirfd, path, flags, mask, st);
}

int unlink(const char* path) noexcept {
  static auto next = Next<int (*)(const char*)>("unlink");
  return FailsAt(path) ? -1 : next(path);
}

int rmdir(const char* path) noexcept {
  static auto next = Next<int (*)(const char*)>("rmdir");
  return FailsAt(path) ? -1 : next(path);
}

int utimensat(int dirfd, const char* path, const struct timespec times[2], int flags) noexcept {
  static auto next = Next<int (*)(int, const char*, const struct timespec*, int)>("utimensat");
  return FailsAt(path) ? -1 : next(dirfd, path, times, flags);
}

FILE* fopen(const char* path, const char* mode) {
  static auto next = Next<FILE* (*)(const char*, const char*)>("fopen");
  return FailsAt(path) ? nullptr : next(path, mode);
}

// A failing stdio transfer sets the stream's error flag, as the library's own does.
size_t fread(void* buf, size_t size, size_t n, FILE* f) {
  static auto next = Next<size_t (*)(void*, size_t, size_t, FILE*)>("fread");
  if (!Fails(f)) return next(buf, size, n, f);
  f->_flags |= _IO_ERR_SEEN;
  return 0;
}

size_t fwrite(const void* buf, size_t size, size_t n, FILE* f) {
  static auto next = Next<size_t (*)(const void*, size_t, size_t, FILE*)>("fwrite");
  if (!Fails(f)) return next(buf, size, n, f);
  f->_flags |= _IO_ERR_SEEN;
  return 0;
}

int fclose(FILE* f) {
  static auto next = Next<int (*)(FILE*)>("fclose");
  bool fail = Fails(f);
  int rc = next(f);
  if (!fail) return rc;
  errno = EIO;
  return EOF;
}

}  // extern "C"
