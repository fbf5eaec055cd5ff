// File-encoding throughput: BinHex, MacBinary and uuencode, file to file through the
// platform's file services, with macutils' and sharutils' tools on the same files as a
// yardstick (their times include starting the process).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "codecs/binhex.h"
#include "codecs/macbinary.h"
#include "platform/files.h"
#include "codecs/uuencode.h"

namespace {

constexpr size_t kData = 4 << 20;
constexpr size_t kRsrc = 256 << 10;

struct Files {
  std::string dir, src, hqx, bin, uu, out;
  Files() {
    char tmpl[] = "/tmp/vrx-bench-fc-XXXXXX";
    dir = mkdtemp(tmpl);
    src = dir + "/source";
    hqx = dir + "/source.hqx";
    bin = dir + "/source.bin";
    uu = dir + "/source.uu";
    out = dir + "/out";
    std::mt19937 rng(1);
    std::string data(kData, '\0'), rsrc(kRsrc, '\0');
    for (auto& c : data) c = char(rng());
    for (auto& c : rsrc) c = char(rng());
    platform::CreateFile(src, 0x41424344, 0x54455854);
    int16_t ref = 0;
    int32_t n = int32_t(data.size());
    platform::OpenDataFork(src, platform::kReadWritePermission, &ref);
    platform::WriteFork(ref, &n, data.data());
    platform::CloseFork(ref);
    n = int32_t(rsrc.size());
    platform::OpenResourceFork(src, platform::kReadWritePermission, &ref);
    platform::WriteFork(ref, &n, rsrc.data());
    platform::CloseFork(ref);
    vrx::EncodeBinHex(src, hqx);
    vrx::EncodeMacBinary(src, bin);
    vrx::UuencodeFile(src, uu, "source");
  }
  ~Files() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

Files& F() {
  static Files f;
  return f;
}

void Report(benchmark::State& state, int64_t bytes) {
  state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
}

void BM_BinHexEncode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(vrx::EncodeBinHex(F().src, F().out));
  Report(state, kData + kRsrc);
}
BENCHMARK(BM_BinHexEncode)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BinHexDecode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(vrx::DecodeBinHex(F().hqx, F().out));
  Report(state, kData + kRsrc);
}
BENCHMARK(BM_BinHexDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HexbinTool(benchmark::State& state) {
  std::string cmd = "cd " + F().dir + " && hexbin -3 source.hqx 2>/dev/null";
  for (auto _ : state) benchmark::DoNotOptimize(system(cmd.c_str()));
  Report(state, kData + kRsrc);
}
BENCHMARK(BM_HexbinTool)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MacBinaryEncode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(vrx::EncodeMacBinary(F().src, F().out));
  Report(state, kData + kRsrc);
}
BENCHMARK(BM_MacBinaryEncode)->Unit(benchmark::kMillisecond)->UseRealTime();

// Includes flushing the volume, as the command does.
void BM_MacBinaryDecode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(vrx::DecodeMacBinary(F().bin, F().out));
  Report(state, kData + kRsrc);
}
BENCHMARK(BM_MacBinaryDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UuencodeFile(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(vrx::UuencodeFile(F().src, F().out, "x"));
  Report(state, kData);
}
BENCHMARK(BM_UuencodeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UudecodeFile(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(vrx::UudecodeFile(F().uu, F().out));
  Report(state, kData);
}
BENCHMARK(BM_UudecodeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SharutilsUuencode(benchmark::State& state) {
  std::string cmd = "uuencode " + F().src + " x > " + F().out;
  for (auto _ : state) benchmark::DoNotOptimize(system(cmd.c_str()));
  Report(state, kData);
}
BENCHMARK(BM_SharutilsUuencode)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
