#include "platform/files.h"

#include <errno.h>
// Placeholder until the file model lands: every open fails as for a missing file.
namespace platform {
int16_t OpenDataFork(std::string_view, int8_t, int16_t* ref) {
  *ref = 0;
  return kFnfErr;
}
}  // namespace platform
namespace platform {
int32_t WindowsErrorFromErrno(int err) {
  switch (err) {
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EMFILE: case ENFILE: return 4;
    case EACCES: case EPERM: case EISDIR: return 5;
    case EROFS: return 19;
    case EEXIST: return 80;
    case ENOSPC: return 112;
    default: return 31;
  }
}
}  // namespace platform
