// Expansion, digest and cipher throughput of the plug-in's commands, called through
// FourDPack, against the libraries called directly on the same data.
#include <benchmark/benchmark.h>
#include <nettle/blowfish.h>
#include <nettle/cbc.h>
#include <nettle/cfb.h>
#include <nettle/des.h>
#include <nettle/md5.h>
#include <nettle/sha1.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <string>

#include "host/host.h"
#include "platform/memory.h"
#include "compress/compression.h"

namespace {

constexpr size_t kSize = 1 << 20;

const std::string& Plain() {
  static const std::string data = [] {
    std::mt19937 rng(1);
    static const char* words[] = {"alpha ", "beta ", "gamma ", "delta\n", "epsilon ", "zeta "};
    std::string s;
    while (s.size() < kSize) {
      s += words[rng() % 6];
      if (rng() % 8 == 0) s += std::to_string(rng());
    }
    s.resize(kSize);
    return s;
  }();
  return data;
}

const std::string& Compressed() {
  static const std::string z = [] {
    uLongf n = compressBound(kSize);
    std::string out(n, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &n,
              reinterpret_cast<const Bytef*>(Plain().data()), kSize, 6);
    out.resize(n);
    return out;
  }();
  return z;
}

host::Host& TheHost() {
  static host::Host h;
  return h;
}

void SetBytes(host::Value& v, const std::string& bytes) {
  platform::Handle h = v.handle();
  platform::SetHandleSize(h, int32_t(bytes.size()));
  std::memcpy(platform::HandleAddress(h), bytes.data(), bytes.size());
}

void BM_Uncompress_KnownSize(benchmark::State& state) {
  std::string out(kSize, '\0');
  const std::string& z = Compressed();
  for (auto _ : state) {
    uLongf n = kSize;
    uncompress(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(z.data()),
               uLong(z.size()));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSize));
}
BENCHMARK(BM_Uncompress_KnownSize);

void BM_VRX_ExpandBlob(benchmark::State& state) {
  host::Host& h = TheHost();
  host::Value blob = host::Value::Blob(Compressed());
  void* params[vrx::kParamSlots] = {blob.Slot()};
  int32_t result = 0;
  for (auto _ : state) {
    SetBytes(blob, Compressed());  // the command expands in place
    h.RawCall(111, params, &result);
    if (result != 0 || platform::HandleSize(blob.handle()) != int32_t(kSize)) state.SkipWithError("expand failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSize));
}
BENCHMARK(BM_VRX_ExpandBlob);

void BM_ExpandBlob_Direct(benchmark::State& state) {
  platform::Handle h = platform::NewHandle(0);
  for (auto _ : state) {
    platform::SetHandleSize(h, int32_t(Compressed().size()));
    std::memcpy(platform::HandleAddress(h), Compressed().data(), Compressed().size());
    if (vrx::ExpandBlob(h) != 0) state.SkipWithError("expand failed");
  }
  platform::DisposeHandle(h);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSize));
}
BENCHMARK(BM_ExpandBlob_Direct);

// ---- digests ----
template <int32_t Algorithm>
void BM_VRX_DigestBlob(benchmark::State& state) {
  host::Host& h = TheHost();
  host::Value blob = host::Value::Blob(Plain());
  host::Value algorithm = host::Value::Long(Algorithm), ref = host::Value::Long(0),
              form = host::Value::Long(1);
  for (auto _ : state) {
    int32_t r = 0;
    void* p1[vrx::kParamSlots] = {algorithm.Slot()};
    h.RawCall(69, p1, &r);
    ref.SetLong(r);
    void* p2[vrx::kParamSlots] = {ref.Slot(), blob.Slot()};
    h.RawCall(89, p2, &r);
    uint8_t digest[256];
    uint8_t* area = digest;
    void* p3[vrx::kParamSlots] = {ref.Slot(), form.Slot()};
    h.RawCall(71, p3, &area);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSize));
}
BENCHMARK_TEMPLATE(BM_VRX_DigestBlob, 5);
BENCHMARK_TEMPLATE(BM_VRX_DigestBlob, 9);

void BM_Nettle_Md5(benchmark::State& state) {
  for (auto _ : state) {
    md5_ctx c;
    md5_init(&c);
    md5_update(&c, kSize, reinterpret_cast<const uint8_t*>(Plain().data()));
    uint8_t out[16];
    md5_digest(&c, 16, out);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSize));
}
BENCHMARK(BM_Nettle_Md5);

void BM_Nettle_Sha1(benchmark::State& state) {
  for (auto _ : state) {
    sha1_ctx c;
    sha1_init(&c);
    sha1_update(&c, kSize, reinterpret_cast<const uint8_t*>(Plain().data()));
    uint8_t out[20];
    sha1_digest(&c, 20, out);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSize));
}
BENCHMARK(BM_Nettle_Sha1);

// Texts: 32000 bytes per update, as 4D texts allow.
void BM_VRX_UpdateDigestText(benchmark::State& state) {
  host::Host& h = TheHost();
  host::Value text = host::Value::Text(Plain().substr(0, 32000));
  host::Value algorithm = host::Value::Long(5), ref = host::Value::Long(0);
  int32_t r = 0;
  void* p1[vrx::kParamSlots] = {algorithm.Slot()};
  h.RawCall(69, p1, &r);
  ref.SetLong(r);
  void* p2[vrx::kParamSlots] = {ref.Slot(), text.Slot()};
  for (auto _ : state) h.RawCall(70, p2, &r);
  state.SetBytesProcessed(int64_t(state.iterations()) * 32000);
}
BENCHMARK(BM_VRX_UpdateDigestText);

void BM_Nettle_Md5Update32000(benchmark::State& state) {
  md5_ctx c;
  md5_init(&c);
  for (auto _ : state) md5_update(&c, 32000, reinterpret_cast<const uint8_t*>(Plain().data()));
  state.SetBytesProcessed(int64_t(state.iterations()) * 32000);
}
BENCHMARK(BM_Nettle_Md5Update32000);

// ---- ciphers: Blowfish-128 and DES in CBC, Blowfish in 8-bit CFB, over 1 MB ----
template <int32_t Algorithm, int32_t Mode>
void BM_VRX_EncryptBlob(benchmark::State& state) {
  host::Host& h = TheHost();
  host::Value blob = host::Value::Blob(Plain());
  host::Value key = host::Value::Text(Algorithm == 1 ? "8bytekey" : "sixteen byte key"),
              algorithm = host::Value::Long(Algorithm), mode = host::Value::Long(Mode),
              iv = host::Value::Text("initvect");
  void* params[vrx::kParamSlots] = {blob.Slot(), key.Slot(), algorithm.Slot(), mode.Slot(), iv.Slot()};
  for (auto _ : state) {
    int32_t r = -9;
    h.RawCall(108, params, &r);
    if (r != 0) state.SkipWithError("encrypt failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSize));
}
BENCHMARK_TEMPLATE(BM_VRX_EncryptBlob, 14, 0);
BENCHMARK_TEMPLATE(BM_VRX_EncryptBlob, 1, 0);
BENCHMARK_TEMPLATE(BM_VRX_EncryptBlob, 14, 2);

// Nettle called directly, as the command calls it: a key schedule, then the mode.
template <int32_t Algorithm, int32_t Mode>
void BM_Nettle_Encrypt(benchmark::State& state) {
  std::string data = Plain();
  auto* p = reinterpret_cast<uint8_t*>(data.data());
  for (auto _ : state) {
    uint8_t iv[8];
    std::memcpy(iv, "initvect", 8);
    if (Algorithm == 1) {
      des_ctx c;
      des_set_key(&c, reinterpret_cast<const uint8_t*>("8bytekey"));
      cbc_encrypt(&c, reinterpret_cast<nettle_cipher_func*>(des_encrypt), 8, iv, kSize, p, p);
    } else {
      blowfish_ctx c;
      blowfish_set_key(&c, 16, reinterpret_cast<const uint8_t*>("sixteen byte key"));
      auto f = reinterpret_cast<nettle_cipher_func*>(blowfish_encrypt);
      if (Mode == 0) cbc_encrypt(&c, f, 8, iv, kSize, p, p);
      else cfb8_encrypt(&c, f, 8, iv, kSize, p, p);
    }
    benchmark::DoNotOptimize(p);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSize));
}
BENCHMARK_TEMPLATE(BM_Nettle_Encrypt, 14, 0);
BENCHMARK_TEMPLATE(BM_Nettle_Encrypt, 1, 0);
BENCHMARK_TEMPLATE(BM_Nettle_Encrypt, 14, 2);

}  // namespace
