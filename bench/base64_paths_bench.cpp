// Base64 on each instruction-set path against OpenSSL's block functions, on the longest
// encoder input (24,500 bytes) and on a short one. Decoding is measured per byte of
// padded Base64 text, which OpenSSL accepts too.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <random>
#include <string>
#include <vector>

#include "codecs/base64_paths.h"
#include "codecs/text_codecs.h"

namespace {

using vrx::Base64Path;

std::string Sample(size_t n) {
  std::mt19937 rng(3);
  std::string s(n, '\0');
  for (char& c : s) c = char(rng());
  return s;
}

// Runs with `path` forced, and puts the best path back afterwards.
bool Force(benchmark::State& state, Base64Path path) {
  if (vrx::UseBase64Path(path)) return true;
  state.SkipWithError("this processor lacks the path");
  return false;
}

void Restore() {
  for (Base64Path p : {Base64Path::Avx512, Base64Path::Avx2, Base64Path::Ssse3})
    if (vrx::UseBase64Path(p)) return;
  vrx::UseBase64Path(Base64Path::Scalar);
}

void BM_Encode(benchmark::State& state) {
  if (!Force(state, Base64Path(state.range(0)))) return;
  std::string in = Sample(size_t(state.range(1)));
  std::vector<uint8_t> out(in.size() / 3 * 4 + 8);
  for (auto _ : state) {
    size_t n = vrx::Base64EncodeTo(reinterpret_cast<const uint8_t*>(in.data()), in.size(), true, out.data());
    benchmark::DoNotOptimize(n);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
  Restore();
}

void BM_Decode(benchmark::State& state) {
  if (!Force(state, Base64Path(state.range(0)))) return;
  std::string in = vrx::Base64EncodeBytes(Sample(size_t(state.range(1))), true);
  std::vector<uint8_t> out(in.size());
  for (auto _ : state) {
    size_t n = vrx::Base64DecodeTo(reinterpret_cast<const uint8_t*>(in.data()), in.size(), out.data());
    benchmark::DoNotOptimize(n);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
  Restore();
}

void BM_Encode_OpenSSL(benchmark::State& state) {
  std::string in = Sample(size_t(state.range(0)));
  std::vector<uint8_t> out(in.size() / 3 * 4 + 8);
  for (auto _ : state) {
    int n = EVP_EncodeBlock(out.data(), reinterpret_cast<const uint8_t*>(in.data()), int(in.size()));
    benchmark::DoNotOptimize(n);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}

void BM_Decode_OpenSSL(benchmark::State& state) {
  std::string in = vrx::Base64EncodeBytes(Sample(size_t(state.range(0))), true);
  std::vector<uint8_t> out(in.size());
  for (auto _ : state) {
    int n = EVP_DecodeBlock(out.data(), reinterpret_cast<const uint8_t*>(in.data()), int(in.size()));
    benchmark::DoNotOptimize(n);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}

// Paths: 0 scalar, 1 SSSE3, 2 AVX2, 3 AVX-512 VBMI.
void PathsAndSizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"path", "bytes"});
  for (int64_t size : {24500, 100})
    for (int64_t path = 0; path <= 3; ++path) b->Args({path, size});
}
BENCHMARK(BM_Encode)->Apply(PathsAndSizes);
BENCHMARK(BM_Encode_OpenSSL)->Arg(24500)->Arg(100);
BENCHMARK(BM_Decode)->Apply(PathsAndSizes);
BENCHMARK(BM_Decode_OpenSSL)->Arg(24500)->Arg(100);

}  // namespace
