#include "codecs/uuencode.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "hostcall/host_call.h"
#include "platform/files.h"
#include "platform/guards.h"

namespace vrx {
namespace {

constexpr size_t kLineBytes = 45;
constexpr int kMaxLength = 60;         // largest byte count a length character may claim
constexpr size_t kMaxLine = 256;       // longer lines cannot be data lines
constexpr size_t kReadPiece = 16384;
constexpr size_t kWritePiece = 65536;

char Char(uint32_t v) { return v == 0 ? '`' : char(32 + v); }

void EncodeLine(const uint8_t* p, size_t n, std::string* out) {
  out->push_back(char(32 + n));
  for (size_t i = 0; i < n; i += 3) {
    uint32_t a = p[i], b = i + 1 < n ? p[i + 1] : 0, c = i + 2 < n ? p[i + 2] : 0;
    out->push_back(Char(a >> 2));
    out->push_back(Char(((a & 3) << 4) | (b >> 4)));
    out->push_back(Char(((b & 15) << 2) | (c >> 6)));
    out->push_back(Char(c & 63));
  }
  out->push_back('\r');
}

// One line at *pos. After a group cut short by a line end, `cut` stays set and every
// later group is zeros without reading input, as the line count still owes its bytes.
bool DecodeLine(std::string_view text, size_t* pos, bool* cut, std::string* out) {
  size_t p = *pos;
  int n = 0;
  uint8_t c = uint8_t(text[p]);
  if (c != '\r' && c != '\n') {
    n = c == '`' ? 0 : int(c) - 32;  // some writers put a backquote for an empty line
    if (n < 0 || n > kMaxLength) return false;
    ++p;
  }
  uint8_t bytes[kMaxLength + 2] = {};
  int groups = (n + 2) / 3;
  for (int g = 0; g < groups && !*cut; ++g) {
    uint32_t v[4] = {};
    for (int k = 0; k < 4; ++k) {
      if (p >= text.size()) return false;
      uint8_t ch = uint8_t(text[p]);
      if (ch == '\r' || ch == '\n') {
        *cut = true;
        break;
      }
      if (ch == '`')
        v[k] = 0;
      else if (ch >= 0x20 && ch <= 0x5F)
        v[k] = ch - 32u;
      else
        return false;
      ++p;
    }
    uint32_t w = (v[0] << 18) | (v[1] << 12) | (v[2] << 6) | v[3];
    bytes[3 * g] = uint8_t(w >> 16);
    bytes[3 * g + 1] = uint8_t(w >> 8);
    bytes[3 * g + 2] = uint8_t(w);
  }
  if (p >= text.size() || text[p] != '\r') return false;
  *pos = p + 1;
  // Each line's n bytes follow the last line's, whatever n is.
  out->append(reinterpret_cast<const char*>(bytes), size_t(n));
  return true;
}

// Opens the source (a regular file) and creates or empties the target; 0 or the
// system's error number.
int32_t OpenPair(const std::string& sourcePath, const std::string& targetPath, Fd* in, Fd* out) {
  in->fd = open(sourcePath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (in->fd < 0) return platform::WindowsErrorForPath(errno, sourcePath);
  struct stat st;
  if (fstat(in->fd, &st) != 0) return platform::WindowsErrorFromErrno(errno);
  if (!S_ISREG(st.st_mode)) return 5;  // a folder or device: access denied
  out->fd = open(targetPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
  if (out->fd < 0) return platform::WindowsErrorForPath(errno, targetPath);
  return 0;
}

// 0 or errno.
int WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t w = write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return w < 0 ? errno : ENOSPC;
    done += size_t(w);
  }
  return 0;
}

// Buffered reads: up to n bytes, fewer only at the end of the file. -1 on an error.
struct Reader {
  int fd = -1;
  std::string buffer;
  size_t at = 0;
  bool eof = false;
  int err = 0;

  bool Fill() {
    if (at < buffer.size()) return true;
    if (eof || err) return false;
    buffer.resize(kReadPiece);
    at = 0;
    for (;;) {
      ssize_t r = read(fd, buffer.data(), kReadPiece);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) err = errno;
      if (r <= 0) {
        eof = r == 0;
        buffer.clear();
        return false;
      }
      buffer.resize(size_t(r));
      return true;
    }
  }
  size_t Read(uint8_t* to, size_t n) {
    size_t done = 0;
    while (done < n && Fill()) {
      size_t k = std::min(n - done, buffer.size() - at);
      std::memcpy(to + done, buffer.data() + at, k);
      at += k;
      done += k;
    }
    return done;
  }
  // The next line without its end (CR, LF or CR LF), at most kMaxLine bytes kept;
  // *whole is false when it was longer. False at the end of the file.
  bool Line(std::string* line, bool* whole) {
    line->clear();
    *whole = true;
    bool any = false;
    while (Fill()) {
      any = true;
      uint8_t c = uint8_t(buffer[at++]);
      if (c == '\r' || c == '\n') {
        if (c == '\r' && Fill() && buffer[at] == '\n') ++at;
        return true;
      }
      if (line->size() < kMaxLine)
        line->push_back(char(c));
      else
        *whole = false;
    }
    return any;
  }
};

}  // namespace

std::string UuencodeLines(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + kLineBytes - 1) / kLineBytes * 62);
  const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes.data());
  for (size_t i = 0; i < bytes.size(); i += kLineBytes)
    EncodeLine(p + i, std::min(kLineBytes, bytes.size() - i), &out);
  return out;
}

bool UudecodeLines(std::string_view text, std::string* out) {
  out->clear();
  size_t pos = 0;
  bool cut = false;
  while (pos < text.size())
    if (!DecodeLine(text, &pos, &cut, out)) return false;
  return true;
}

int32_t UuencodeFile(const std::string& sourcePath, const std::string& targetPath,
                     std::string_view headerName) {
  Fd in, out;
  if (int32_t rc = OpenPair(sourcePath, targetPath, &in, &out)) return rc;
  std::string pending = "\rbegin 700 ";
  pending.append(headerName);
  pending.push_back('\r');
  Reader reader;
  reader.fd = in.fd;
  uint8_t line[kLineBytes];
  int32_t result = 0;
  for (;;) {
    size_t n = reader.Read(line, kLineBytes);
    if (n == 0) break;
    EncodeLine(line, n, &pending);
    if (pending.size() >= kWritePiece) {
      if (WriteAll(out.fd, pending) != 0) {
        result = -1;
        break;
      }
      pending.clear();
    }
    HostWait(-1);
  }
  if (result == 0 && reader.err) result = platform::WindowsErrorFromErrno(reader.err);
  if (result == 0 && WriteAll(out.fd, pending) != 0) result = -1;
  if (result == 0) {
    if (int err = WriteAll(out.fd, "`\rend\r")) result = platform::WindowsErrorFromErrno(err);
  }
  in.Close();
  int err = out.Close();
  if (result == 0 && err) result = platform::WindowsErrorFromErrno(err);
  return result;
}

int32_t UudecodeFile(const std::string& sourcePath, const std::string& targetPath) {
  Fd in, out;
  if (int32_t rc = OpenPair(sourcePath, targetPath, &in, &out)) return rc;
  Reader reader;
  reader.fd = in.fd;
  std::string line, pending, bytes;
  bool whole = true, begun = false;
  int32_t result = 0;
  while (result == 0 && reader.Line(&line, &whole)) {
    if (!begun) {
      begun = line.compare(0, 6, "begin ") == 0;
      continue;
    }
    if (line == "end") break;
    line.push_back('\r');
    size_t pos = 0;
    bool cut = false;
    bytes.clear();
    if (whole && DecodeLine(line, &pos, &cut, &bytes) && !bytes.empty()) {
      pending += bytes;
      if (pending.size() >= kWritePiece) {
        if (int err = WriteAll(out.fd, pending)) result = platform::WindowsErrorFromErrno(err);
        pending.clear();
      }
    }
    HostWait(-1);
  }
  if (result == 0 && reader.err) result = platform::WindowsErrorFromErrno(reader.err);
  if (result == 0 && !pending.empty()) {
    if (int err = WriteAll(out.fd, pending)) result = platform::WindowsErrorFromErrno(err);
  }
  in.Close();
  int err = out.Close();
  if (result == 0 && err) result = platform::WindowsErrorFromErrno(err);
  return result;
}

}  // namespace vrx
