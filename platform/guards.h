// Guards that give back what a function took on every path (descriptors, file forks,
// host blocks), and whole-buffer reads and writes of descriptors. One set for every
// layer.
#pragma once
#include <errno.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

#include "platform/files.h"
#include "platform/memory.h"

namespace vrx {

// A descriptor closed on every path.
struct Fd {
  int fd = -1;
  Fd() = default;
  explicit Fd(int f) : fd(f) {}
  ~Fd() {
    if (fd >= 0) close(fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  // Closes now: 0, or the system's error number.
  int Close() {
    int rc = fd >= 0 && close(fd) != 0 && errno != EINTR ? errno : 0;
    fd = -1;
    return rc;
  }
};

// A Macintosh file fork closed on every path.
struct ForkCloser {
  int16_t ref = 0;
  ForkCloser() = default;
  ForkCloser(const ForkCloser&) = delete;
  ForkCloser& operator=(const ForkCloser&) = delete;
  ~ForkCloser() {
    if (ref) platform::CloseFork(ref);
  }
  // Closes now: the host's file-system code.
  int16_t Close() {
    int16_t rc = ref ? platform::CloseFork(ref) : 0;
    ref = 0;
    return rc;
  }
};

// A host block disposed of on every path.
struct OwnedHandle {
  platform::Handle h = 0;
  explicit OwnedHandle(platform::Handle handle) : h(handle) {}
  ~OwnedHandle() {
    if (h) platform::DisposeHandle(h);
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
};

// Reads up to n bytes; fewer only at the end of the file or on an error.
inline int64_t ReadFully(int fd, void* to, int64_t n) {
  int64_t done = 0;
  while (done < n) {
    ssize_t r = read(fd, static_cast<uint8_t*>(to) + done, size_t(n - done));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += r;
  }
  return done;
}

// False when not every byte could be written (errno says why).
inline bool WriteFully(int fd, const void* from, int64_t n) {
  int64_t done = 0;
  while (done < n) {
    ssize_t w = write(fd, static_cast<const uint8_t*>(from) + done, size_t(n - done));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    done += w;
  }
  return true;
}

}  // namespace vrx
