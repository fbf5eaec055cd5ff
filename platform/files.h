// Macintosh-style files on Linux. The data fork is the file itself; type, creator,
// Finder flags and the resource fork live in an AppleDouble "._NAME" file beside it,
// written only when there is something to store. Paths are Mac Roman bytes as 4D
// passes them, converted to UTF-8 for the system.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Host file-system codes.
constexpr int16_t kEofErr = -39;     // end of file (with the bytes read)
constexpr int16_t kPosErr = -40;     // position before the start
constexpr int16_t kDirFulErr = -33;
constexpr int16_t kDskFulErr = -34;
constexpr int16_t kNsvErr = -35;     // no such volume
constexpr int16_t kIoErr = -36;
constexpr int16_t kBdNamErr = -37;
constexpr int16_t kFnOpnErr = -38;   // file not open
constexpr int16_t kTmfoErr = -42;    // too many files open
constexpr int16_t kFnfErr = -43;     // file not found
constexpr int16_t kWPrErr = -44;
constexpr int16_t kFLckdErr = -45;
constexpr int16_t kVLckdErr = -46;
constexpr int16_t kFBsyErr = -47;
constexpr int16_t kDupFNErr = -48;   // file exists
constexpr int16_t kOpWrErr = -49;    // already open with write permission
constexpr int16_t kParamErr = -50;
constexpr int16_t kRfNumErr = -51;   // bad file reference
constexpr int16_t kPermErr = -54;
constexpr int16_t kWrPermErr = -61;  // write to a fork opened for reading only
constexpr int16_t kDirNFErr = -120;  // folder not found
constexpr int16_t kNotAFileErr = -1302;  // the path names a folder or a device
constexpr int16_t kAfpAccessDenied = -5000;

constexpr int8_t kReadPermission = 1;
constexpr int8_t kReadWritePermission = 3;

using OSType = uint32_t;  // four characters, first in the most significant byte

struct FinderInfo {
  OSType type = 0;
  OSType creator = 0;
  uint16_t flags = 0;
  int16_t locationV = 0, locationH = 0;
  int16_t folder = 0;
};

struct CatalogInfo {
  FinderInfo finder;
  int32_t dataLength = 0;
  int32_t resourceLength = 0;
  uint32_t created = 0;   // seconds since 1904, local
  uint32_t modified = 0;  // seconds since 1904, local
  bool locked = false;    // nobody may write the file (read only by GetCatalogInfo)
};

// Paths: Mac Roman bytes (converted here; a zero byte ends the path). 0 or a negative
// code. Opening a fork for writing while it is already open for writing gives -49;
// deleting an open file gives -47. Permission 0 asks for read/write where allowed, 2
// for write only. Writing to a fork opened with permission 1 gives -61.
int16_t CreateFile(std::string_view path, OSType creator, OSType type);  // -48 when it exists
int16_t DeleteFile(std::string_view path);
// Opens a fork; *ref receives a positive reference number.
int16_t OpenDataFork(std::string_view path, int8_t permission, int16_t* ref);
int16_t OpenResourceFork(std::string_view path, int8_t permission, int16_t* ref);
// *count: bytes asked in, bytes done out. Reading past the end gives -39 with the bytes read.
int16_t ReadFork(int16_t ref, int32_t* count, void* buffer);
int16_t WriteFork(int16_t ref, int32_t* count, const void* buffer);
int16_t GetForkPosition(int16_t ref, int32_t* position);
// mode: 1 from start, 2 from end, 3 from the current mark.
int16_t SetForkPosition(int16_t ref, int16_t mode, int32_t offset);
int16_t GetForkLength(int16_t ref, int32_t* length);
int16_t SetForkLength(int16_t ref, int32_t length);
int16_t CloseFork(int16_t ref);
int32_t OpenForkCount();  // for leak checks in tests
int16_t GetCatalogInfo(std::string_view path, CatalogInfo* info);
// Finder information and the modification date (0 leaves it as it is). The creation
// date cannot be set on this system and is ignored.
int16_t SetCatalogInfo(std::string_view path, const CatalogInfo& info);
int16_t GetFinderInfo(std::string_view path, FinderInfo* info);
int16_t SetFinderInfo(std::string_view path, const FinderInfo& info);
// Makes what was written to the file (both forks) durable; a folder flushes its file system.
int16_t FlushVolume(std::string_view path);

// The system's path for a host path: Mac Roman to UTF-8, cut at the first zero byte.
std::string SystemPath(std::string_view path);
// The leaf name of a host path: the bytes after the last '/'.
std::string_view LeafName(std::string_view path);
// The AppleDouble companion of a system path: "dir/._leaf".
std::string AppleDoublePath(std::string_view systemPath);

// Big-endian values to native order and back.
constexpr uint16_t BigEndian16(uint16_t v) { return uint16_t((v >> 8) | (v << 8)); }
constexpr uint32_t BigEndian32(uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

// errno to the Windows error numbers 4D code sees, and to the host's file-system codes.
// ENOENT alone cannot tell a missing file (2, -43) from a missing folder (3, -120):
// the ...ForPath forms look at the folder of the system path that failed.
int32_t WindowsErrorFromErrno(int err);
int16_t FileErrorFromErrno(int err);
int32_t WindowsErrorForPath(int err, std::string_view systemPath);
int16_t FileErrorForPath(int err, std::string_view systemPath);

}  // namespace platform
