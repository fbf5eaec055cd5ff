// The platform's file services themselves under failing file system calls: each scenario
// runs with its nth call failing until one run no longer reaches the failure. A run that
// answers every step as the normal run did must leave the same files; none may leave a
// fork or a descriptor open.
#include <dirent.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "file_faults.h"
#include "platform/files.h"
#include "tests/support.h"

namespace {

using namespace platform;

constexpr int64_t kMaxRuns = 300;

struct Scenario {
  const char* name;
  // Lays out the folder's files; runs without failures.
  std::function<void(const vrxtest::TempDir&)> prepare;
  // The steps; answers one code per step.
  std::function<std::vector<int>(const vrxtest::TempDir&)> steps;
};

// A companion laid out by another tool: the resource fork first, Finder info of 16 bytes
// after it, then trailing bytes no entry claims.
std::string ForeignCompanion() {
  std::string rsrc = "resource bytes", finder = "TEXTttxt" + std::string(8, '\0');
  auto be32 = [](uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  uint32_t first = 26 + 2 * 12;
  std::string s = be32(0x00051607) + be32(0x00020000) + std::string(16, ' ') + std::string{0, 2};
  s += be32(2) + be32(first) + be32(uint32_t(rsrc.size()));
  s += be32(9) + be32(first + uint32_t(rsrc.size())) + be32(uint32_t(finder.size()));
  return s + rsrc + finder + "trailing";
}

void PlainFile(const vrxtest::TempDir& d) { vrxtest::WriteFile(d / "f", "data fork bytes"); }

void ForeignFile(const vrxtest::TempDir& d) {
  PlainFile(d);
  vrxtest::WriteFile(d / "._f", ForeignCompanion());
}

std::vector<int> ForkSteps(const std::string& path, bool resource) {
  std::vector<int> codes;
  int16_t ref = 0;
  codes.push_back(resource ? OpenResourceFork(path, kReadWritePermission, &ref)
                           : OpenDataFork(path, kReadWritePermission, &ref));
  char bytes[64] = "written through the fork";
  int32_t n = 40, length = 0;
  codes.push_back(WriteFork(ref, &n, bytes));
  codes.push_back(SetForkPosition(ref, 1, 4));
  n = 10;
  codes.push_back(ReadFork(ref, &n, bytes));
  codes.push_back(GetForkLength(ref, &length));
  codes.push_back(SetForkLength(ref, 60));
  codes.push_back(SetForkLength(ref, 20));
  codes.push_back(SetForkPosition(ref, 2, -5));
  codes.push_back(CloseFork(ref));
  return codes;
}

const Scenario kScenarios[] = {
    {"create with a type", [](const vrxtest::TempDir&) {},
     [](const vrxtest::TempDir& d) {
       return std::vector<int>{CreateFile(d / "f", 0x74747874, 0x54455854), CreateFile(d / "g", 0, 0)};
     }},
    {"data fork", PlainFile, [](const vrxtest::TempDir& d) { return ForkSteps(d / "f", false); }},
    {"new resource fork", PlainFile, [](const vrxtest::TempDir& d) { return ForkSteps(d / "f", true); }},
    {"foreign resource fork", ForeignFile, [](const vrxtest::TempDir& d) { return ForkSteps(d / "f", true); }},
    {"read a resource fork", ForeignFile,
     [](const vrxtest::TempDir& d) {
       int16_t ref = 0;
       int32_t n = 8, length = 0;
       char buf[8];
       std::vector<int> codes{OpenResourceFork(d / "f", kReadPermission, &ref)};
       codes.push_back(ReadFork(ref, &n, buf));
       codes.push_back(GetForkLength(ref, &length));
       codes.push_back(CloseFork(ref));
       return codes;
     }},
    {"Finder and catalog information", ForeignFile,
     [](const vrxtest::TempDir& d) {
       FinderInfo f;
       CatalogInfo c;
       std::vector<int> codes{GetFinderInfo(d / "f", &f), GetCatalogInfo(d / "f", &c)};
       c.finder.type = 0x42494E41;
       c.modified = 3'000'000'000u;
       codes.push_back(SetCatalogInfo(d / "f", c));
       codes.push_back(SetFinderInfo(d / "g", FinderInfo{.type = 1}));  // a file that is not there
       return codes;
     }},
    {"Finder information of a plain file", PlainFile,
     [](const vrxtest::TempDir& d) {
       return std::vector<int>{SetFinderInfo(d / "f", FinderInfo{}), SetFinderInfo(d / "f", FinderInfo{.creator = 7})};
     }},
    {"flush and delete", ForeignFile,
     [](const vrxtest::TempDir& d) {
       std::filesystem::create_directory(d.path / "sub");
       return std::vector<int>{FlushVolume(d / "f"), FlushVolume(d.path.string()), DeleteFile(d / "sub"),
                               DeleteFile(d / "f")};
     }},
};

std::string Files(const vrxtest::TempDir& d) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(d.path))
    files[e.path().filename().string()] = e.is_regular_file() ? vrxtest::ReadFile(e.path().string()) : "(folder)";
  std::string all;
  for (const auto& [name, bytes] : files) all += name + "=" + vrxtest::Hex(bytes) + ";";
  return all;
}

struct Outcome {
  std::vector<int> codes;
  std::string files;
  int64_t calls = 0;
};

Outcome RunScenario(const Scenario& s, int64_t failAt) {
  vrxtest::TempDir d;
  s.prepare(d);
  walk::FaultFolder(d.path.string());
  int fds = vrxtest::OpenDescriptors();
  walk::FailFileCall(failAt);
  Outcome r;
  r.codes = s.steps(d);
  r.calls = walk::FileCallCount();
  walk::FailFileCall(0);
  EXPECT_EQ(OpenForkCount(), 0) << s.name << ", call " << failAt << " fails: a fork stays open";
  EXPECT_EQ(vrxtest::OpenDescriptors(), fds) << s.name << ", call " << failAt << " fails: descriptors leaked";
  r.files = Files(d);
  return r;
}

TEST(Walk, PlatformFileServicesUnderFileErrors) {
  int64_t runs = 0;
  for (const Scenario& s : kScenarios) {
    Outcome normal = RunScenario(s, 0);
    for (int64_t n = 1;; ++n) {
      ASSERT_LE(n, kMaxRuns) << s.name << " keeps calling";
      Outcome r = RunScenario(s, n);
      ++runs;
      if (r.calls < n) break;
      if (r.codes == normal.codes) {
        EXPECT_EQ(r.files, normal.files) << s.name << ", call " << n << " fails";
      }
    }
  }
  std::printf("platform file-error walk: %zu scenarios, %lld runs\n", std::size(kScenarios),
              static_cast<long long>(runs));
}

}  // namespace
