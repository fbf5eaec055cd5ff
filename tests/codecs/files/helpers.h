// Shared pieces of the file-codec tests: a temporary folder, Macintosh files with both
// forks, peers run through the shell, random bytes.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "host/host.h"
#include "platform/files.h"

#include "tests/support.h"

namespace fctest {

using namespace vrxtest;

inline bool Exists(const std::string& p) { return std::filesystem::exists(p); }

constexpr platform::OSType Code(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
         (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

// A Macintosh file made through the platform's file services.
inline void MakeMacFile(const std::string& path, const std::string& data, const std::string& rsrc,
                        platform::OSType type, platform::OSType creator, uint16_t flags = 0) {
  platform::DeleteFile(path);
  ASSERT_EQ(platform::CreateFile(path, creator, type), 0);
  int16_t ref = 0;
  ASSERT_EQ(platform::OpenDataFork(path, platform::kReadWritePermission, &ref), 0);
  int32_t n = int32_t(data.size());
  ASSERT_EQ(platform::WriteFork(ref, &n, data.data()), 0);
  ASSERT_EQ(platform::CloseFork(ref), 0);
  if (!rsrc.empty()) {
    ASSERT_EQ(platform::OpenResourceFork(path, platform::kReadWritePermission, &ref), 0);
    n = int32_t(rsrc.size());
    ASSERT_EQ(platform::WriteFork(ref, &n, rsrc.data()), 0);
    ASSERT_EQ(platform::CloseFork(ref), 0);
  }
  if (flags) {
    platform::FinderInfo info;
    ASSERT_EQ(platform::GetFinderInfo(path, &info), 0);
    info.flags = flags;
    ASSERT_EQ(platform::SetFinderInfo(path, info), 0);
  }
}

// A whole fork read through the file services ("" when it cannot be opened).
inline std::string ReadMacFork(const std::string& path, bool resource) {
  int16_t ref = 0;
  int16_t rc = resource ? platform::OpenResourceFork(path, platform::kReadPermission, &ref)
                        : platform::OpenDataFork(path, platform::kReadPermission, &ref);
  if (rc) return {};
  std::string out;
  char buf[65536];
  for (;;) {
    int32_t n = sizeof buf;
    rc = platform::ReadFork(ref, &n, buf);
    out.append(buf, size_t(n));
    if (rc) break;
  }
  platform::CloseFork(ref);
  return out;
}

inline platform::FinderInfo Finder(const std::string& path) {
  platform::FinderInfo info;
  platform::GetFinderInfo(path, &info);
  return info;
}

// One command through the host; paths and texts as string or text values.
inline host::CallResult Call(host::Host& h, const char* name, std::vector<host::Value> args) {
  std::vector<host::Value*> ps;
  for (auto& a : args) ps.push_back(&a);
  return h.Call(name, ps);
}

}  // namespace fctest
