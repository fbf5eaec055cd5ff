// Plain file descriptors for the commands that read and write files the Windows way.
#pragma once
#include <errno.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace vrx {

// Closed on every path.
struct Fd {
  int fd = -1;
  explicit Fd(int f) : fd(f) {}
  ~Fd() {
    if (fd >= 0) close(fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
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
