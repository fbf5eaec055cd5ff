#include "commands/handlers.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/guards.h"
#include "commands/file_path.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/services.h"

namespace vrx {

namespace {

void FileToBlob(const Call& c, bool headerOption) {
  c.ResultBlob(0);
  Fd file(open(TextParamToPath(c.Text(1)).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st;
  if (file.fd < 0 || fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) return;
  int64_t size = st.st_size;
  int32_t first = c.Long(2), last = c.Long(3);
  if (first > 0 && lseek(file.fd, first, SEEK_SET) < 0) return;
  if (last > size) last = int32_t(size - 1);
  int64_t length = last > first ? int64_t(last) - first + 1 : size;
  if (length > INT32_MAX) return;
  Handle blob = platform::NewHandle(int32_t(length));
  if (!blob) return;
  int64_t got = ReadFully(file.fd, platform::HandleAddress(blob), length);
  // A start offset without an end, or a range past the end, reads fewer bytes than were
  // allocated: the BLOB keeps only what was read, never uninitialised bytes.
  platform::SetHandleSize(blob, int32_t(got));
  if (headerOption && c.Long(4) == 1) {
    int32_t n = platform::HandleSize(blob);
    if (n <= 512) {
      platform::SetHandleSize(blob, 0);
    } else {
      uint8_t* p = platform::HandleAddress(blob);
      std::memmove(p, p + 512, size_t(n - 512));
      platform::SetHandleSize(blob, n - 512);
    }
  }
  c.ResultBlob(blob);
}

}  // namespace

void FileToBlobCommand(const Call& c) { FileToBlob(c, true); }
void FileToBlob2Command(const Call& c) { FileToBlob(c, false); }

void BlobToFileAtCommand(const Call& c) {
  const Handle* blob = c.Blob(1);
  if (!blob || !BlobPresent(*blob)) return c.ResultLong(-1);
  int32_t size = platform::HandleSize(*blob);
  int32_t first = c.Long(3), last = c.Long(4);
  if (first < 0) first = 0;
  if (first >= size) first = size - 1;
  if (last < first) last = first;
  if (last == 0 || last >= size) last = size - 1;
  int64_t count = size == 0 ? 0 : int64_t(last) - first + 1;
  std::string path = TextParamToPath(c.Text(2));
  Fd file(open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (file.fd < 0) return c.ResultLong(platform::WindowsErrorForPath(errno, path));
  int32_t position = c.Long(5) > 0 ? c.Long(5) : 0;
  if (lseek(file.fd, position, SEEK_SET) < 0) return c.ResultLong(platform::WindowsErrorFromErrno(errno));
  // A failed write is reported instead of passing for success.
  if (count > 0 && !WriteFully(file.fd, platform::HandleAddress(*blob) + first, count))
    return c.ResultLong(platform::WindowsErrorFromErrno(errno ? errno : ENOSPC));
  if (close(file.fd) != 0) {
    file.fd = -1;
    return c.ResultLong(platform::WindowsErrorFromErrno(errno));
  }
  file.fd = -1;
  c.ResultLong(0);
}

void ReplaceInBlobCommand(const Call& c) {
  int32_t count = c.Long(5);
  c.SetLong(5, 0);
  const Handle* blob = c.Blob(1);
  std::string pattern = c.TextBytes(3), replacement = c.TextBytes(4);
  int32_t result = -1;
  // An empty search text matches nowhere, so the loop below always ends.
  if (blob && BlobPresent(*blob) && !pattern.empty()) {
    int32_t offset = c.Long(2), made = 0;
    do {
      offset = platform::SearchReplace(*blob, offset, pattern.data(), int32_t(pattern.size()),
                                       replacement.data(), int32_t(replacement.size()));
      if (offset >= 0) {
        ++made;
        result = offset;
      }
      if (count > 0) --count;
    } while ((count == -1 || count > 0) && offset >= 0);
    c.SetLong(5, made);
  }
  c.ResultLong(result);
}

void FindInBlobCommand(const Call& c) {
  int32_t count = c.Long(4);
  c.SetLong(4, 0);
  const Handle* blob = c.Blob(1);
  std::string pattern = c.TextBytes(3);
  int32_t result = -1;
  if (blob && BlobPresent(*blob) && !pattern.empty()) {
    int32_t offset = c.Long(2), found = 0;
    do {
      int32_t at = platform::SearchReplace(*blob, offset, pattern.data(), int32_t(pattern.size()), nullptr, 0);
      if (at >= 0) {
        ++found;
        result = at;
      }
      if (count > 0) --count;  // a count of -2147483648 must not wrap
      offset = at + 1;
    } while (count > 0 && offset > 0);
    c.SetLong(4, found);
  }
  c.ResultLong(result);
}

}  // namespace vrx
