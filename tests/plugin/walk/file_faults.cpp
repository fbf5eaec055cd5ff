// File system calls that fail on demand, as a failing disk makes them fail. This test
// program's own read, write, pread, pwrite, fstat, ftruncate and fsync stand before the
// C library's for the plug-in and the platform library alike (the dynamic linker takes
// a program's definition first); each forwards to the next one. While a failure is set,
// every call on a regular file is counted and the nth answers EIO.
#include "file_faults.h"

#include <dlfcn.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

namespace walk {
namespace {

std::atomic<int64_t> gNth{0}, gCount{0};

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

using FstatFn = int (*)(int, struct stat*);
FstatFn RealFstat() {
  static FstatFn f = Next<FstatFn>("fstat");
  return f;
}

// True when this call is the one to fail (errno is then EIO).
bool Fails(int fd) {
  if (gNth.load() == 0) return false;
  struct stat st;
  if (RealFstat()(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (++gCount != gNth.load()) return false;
  errno = EIO;
  return true;
}

}  // namespace

void FailFileCall(int64_t nth) {
  gCount = 0;
  gNth = nth;
}

int64_t FileCallCount() { return gCount.load(); }

}  // namespace walk

using walk::Fails;

extern "C" {

ssize_t read(int fd, void* buf, size_t n) {
  static auto next = walk::Next<ssize_t (*)(int, void*, size_t)>("read");
  return Fails(fd) ? -1 : next(fd, buf, n);
}

ssize_t write(int fd, const void* buf, size_t n) {
  static auto next = walk::Next<ssize_t (*)(int, const void*, size_t)>("write");
  return Fails(fd) ? -1 : next(fd, buf, n);
}

ssize_t pread(int fd, void* buf, size_t n, off_t offset) {
  static auto next = walk::Next<ssize_t (*)(int, void*, size_t, off_t)>("pread");
  return Fails(fd) ? -1 : next(fd, buf, n, offset);
}

ssize_t pwrite(int fd, const void* buf, size_t n, off_t offset) {
  static auto next = walk::Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
  return Fails(fd) ? -1 : next(fd, buf, n, offset);
}

int fstat(int fd, struct stat* st) noexcept { return Fails(fd) ? -1 : walk::RealFstat()(fd, st); }

int ftruncate(int fd, off_t length) noexcept {
  static auto next = walk::Next<int (*)(int, off_t)>("ftruncate");
  return Fails(fd) ? -1 : next(fd, length);
}

int fsync(int fd) {
  static auto next = walk::Next<int (*)(int)>("fsync");
  return Fails(fd) ? -1 : next(fd);
}

}  // extern "C"
