// Failing file system calls for the walk (a disk error in the middle of a command).
#pragma once
#include <cstdint>
#include <string>

namespace walk {

// From now on the nth file system call fails with EIO; 0 turns this off. Restarts the
// count. Counted: read, write, pread, pwrite, fstat, ftruncate, fsync, lseek and close on
// a regular file, stdio's fread, fwrite and fclose on one, and open, fopen, stat, statx,
// unlink, rmdir and utimensat of a path in the folder given to FaultFolder.
void FailFileCall(int64_t nth);
// Calls counted since FailFileCall (the failed one included).
int64_t FileCallCount();
// The folder whose paths count (absolute, no trailing slash).
void FaultFolder(const std::string& folder);

}  // namespace walk
