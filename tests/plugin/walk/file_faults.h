// Failing file system calls for the walk (a disk error in the middle of a command).
#pragma once
#include <cstdint>

namespace walk {

// From now on the nth read, write, pread, pwrite, fstat, ftruncate or fsync on a regular
// file fails with EIO; 0 turns this off. Restarts the count.
void FailFileCall(int64_t nth);
// Calls on regular files counted since FailFileCall (the failed one included).
int64_t FileCallCount();

}  // namespace walk
