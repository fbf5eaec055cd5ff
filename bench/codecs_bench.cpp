// Throughput of the text codecs on 24500-byte and 100-byte texts: the codec functions,
// the same through FourDPack in the host, Base64 against OpenSSL's block functions, and
// the one-pass HTML, URL and quoted-printable codecs against the literal pass-by-pass
// model kept with the tests.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "codecs/text_codecs.h"
#include "abi/abi.h"
#include "host/host.h"
#include "platform/memory.h"
#include "platform/services.h"
// The model is test code; benchmarks are built one file each, so it comes in here.
#include "tests/codecs/oracle.cpp"

namespace {

// Mail-like Mac Roman text: words, some accented letters, markup and punctuation.
std::string SampleText(size_t n) {
  static const char* const kWords[] = {"the",
                                       "message",
                                       "caf\x8E",
                                       "<b>",
                                       "</b>",
                                       "&",
                                       "r\x8Esum\x8E",
                                       "M\x9Fller",
                                       "\"quoted\"",
                                       "50%",
                                       "a+b",
                                       "na\x95ve",
                                       "http://host/path?x=1",
                                       "line\r",
                                       "\xD2smart\xD3",
                                       "=",
                                       "Stra\247e",  // octal: a hex escape would swallow the e
                                       "\xA9 2002",
                                       "ok."};
  std::mt19937 rng(1);
  std::string s;
  while (s.size() < n) {
    s += kWords[rng() % (sizeof kWords / sizeof *kWords)];
    s += ' ';
  }
  s.resize(n);
  return s;
}

std::string Sized(const std::string& s, size_t n) { return s.substr(0, std::min(n, s.size())); }

void SetBytes(benchmark::State& state, size_t n) {
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(n));
}

// ---- Base64 against OpenSSL ----------------------------------------------------------

void BM_Base64Encode(benchmark::State& state) {
  std::string in = SampleText(size_t(state.range(0)));
  std::vector<uint8_t> out(in.size() / 3 * 4 + 8);
  for (auto _ : state) {
    size_t n = vrx::Base64EncodeTo(reinterpret_cast<const uint8_t*>(in.data()), in.size(), true,
                                   out.data());
    benchmark::DoNotOptimize(n);
    benchmark::ClobberMemory();
  }
  SetBytes(state, in.size());
}
BENCHMARK(BM_Base64Encode)->Arg(24500)->Arg(100);

void BM_Base64Encode_OpenSSL(benchmark::State& state) {
  std::string in = SampleText(size_t(state.range(0)));
  std::vector<uint8_t> out(in.size() / 3 * 4 + 8);
  for (auto _ : state) {
    int n =
        EVP_EncodeBlock(out.data(), reinterpret_cast<const uint8_t*>(in.data()), int(in.size()));
    benchmark::DoNotOptimize(n);
    benchmark::ClobberMemory();
  }
  SetBytes(state, in.size());
}
BENCHMARK(BM_Base64Encode_OpenSSL)->Arg(24500)->Arg(100);

// Decoding is measured per byte of Base64 text, padded so that OpenSSL accepts it too.
void BM_Base64Decode(benchmark::State& state) {
  std::string in = vrx::Base64EncodeBytes(SampleText(size_t(state.range(0))), true);
  std::vector<uint8_t> out(in.size());
  for (auto _ : state) {
    size_t n =
        vrx::Base64DecodeTo(reinterpret_cast<const uint8_t*>(in.data()), in.size(), out.data());
    benchmark::DoNotOptimize(n);
    benchmark::ClobberMemory();
  }
  SetBytes(state, in.size());
}
BENCHMARK(BM_Base64Decode)->Arg(24500)->Arg(100);

void BM_Base64Decode_OpenSSL(benchmark::State& state) {
  std::string in = vrx::Base64EncodeBytes(SampleText(size_t(state.range(0))), true);
  std::vector<uint8_t> out(in.size());
  for (auto _ : state) {
    int n =
        EVP_DecodeBlock(out.data(), reinterpret_cast<const uint8_t*>(in.data()), int(in.size()));
    benchmark::DoNotOptimize(n);
    benchmark::ClobberMemory();
  }
  SetBytes(state, in.size());
}
BENCHMARK(BM_Base64Decode_OpenSSL)->Arg(24500)->Arg(100);

// ---- one pass against the literal model, on host texts ---------------------------------

template <typename Op>
void RunOnText(benchmark::State& state, const std::string& in, Op op) {
  vrx::TextValue t = vrx::NewText(in);
  for (auto _ : state) {
    vrx::TextValue r = op(t);
    benchmark::DoNotOptimize(r.length);
    platform::DisposeHandle(r.handle);
  }
  platform::DisposeHandle(t.handle);
  SetBytes(state, in.size());
}

template <typename Model>
void RunModel(benchmark::State& state, const std::string& in, Model model) {
  for (auto _ : state) {
    std::string r = model(in);
    benchmark::DoNotOptimize(r.data());
  }
  SetBytes(state, in.size());
}

std::string HtmlSample(size_t n) { return SampleText(n); }
std::string HtmlEncoded(size_t n) {
  return Sized(vrx::HTMLEncodeBytes(SampleText(n * 2), 0, nullptr), n);
}
std::string UrlEncoded(size_t n) { return Sized(vrx::URLEncodeBytes(SampleText(n * 2), 0), n); }
std::string QPEncoded(size_t n) { return Sized(vrx::QPEncodeBytes(SampleText(n * 2)), n); }

void BM_HTMLEncode(benchmark::State& state) {
  RunOnText(state, HtmlSample(size_t(state.range(0))),
            [](const vrx::TextValue& t) { return vrx::HTMLEncode(t, 0); });
}
void BM_HTMLEncode_Model(benchmark::State& state) {
  RunModel(state, HtmlSample(size_t(state.range(0))),
           [](const std::string& s) { return oracle::HTMLEncode(s, 0); });
}
void BM_HTMLDecode(benchmark::State& state) {
  RunOnText(state, HtmlEncoded(size_t(state.range(0))),
            [](const vrx::TextValue& t) { return vrx::HTMLDecode(t, 0); });
}
void BM_HTMLDecode_Model(benchmark::State& state) {
  RunModel(state, HtmlEncoded(size_t(state.range(0))),
           [](const std::string& s) { return oracle::HTMLDecode(s, 0); });
}
void BM_URLEncode(benchmark::State& state) {
  RunOnText(state, SampleText(size_t(state.range(0))),
            [](const vrx::TextValue& t) { return vrx::URLEncode(t, 0); });
}
void BM_URLEncode_Model(benchmark::State& state) {
  RunModel(state, SampleText(size_t(state.range(0))),
           [](const std::string& s) { return oracle::URLEncode(s, 0); });
}
void BM_URLDecode(benchmark::State& state) {
  RunOnText(state, UrlEncoded(size_t(state.range(0))),
            [](const vrx::TextValue& t) { return vrx::DecodeHexEscapes(t, 0); });
}
void BM_URLDecode_Model(benchmark::State& state) {
  RunModel(state, UrlEncoded(size_t(state.range(0))),
           [](const std::string& s) { return oracle::DecodeHexEscapes(s, 0); });
}
void BM_QPEncode(benchmark::State& state) {
  RunOnText(state, SampleText(size_t(state.range(0))),
            [](const vrx::TextValue& t) { return vrx::QPEncode(t, 0); });
}
void BM_QPDecode(benchmark::State& state) {
  RunOnText(state, QPEncoded(size_t(state.range(0))),
            [](const vrx::TextValue& t) { return vrx::QPDecode(t, 0); });
}
void BM_QPDecode_Model(benchmark::State& state) {
  RunModel(state, QPEncoded(size_t(state.range(0))),
           [](const std::string& s) { return oracle::QPDecode(s, 0); });
}
BENCHMARK(BM_HTMLEncode)->Arg(24500)->Arg(100);
BENCHMARK(BM_HTMLEncode_Model)->Arg(24500)->Arg(100);
BENCHMARK(BM_HTMLDecode)->Arg(24500)->Arg(100);
BENCHMARK(BM_HTMLDecode_Model)->Arg(24500)->Arg(100);
BENCHMARK(BM_URLEncode)->Arg(24500)->Arg(100);
BENCHMARK(BM_URLEncode_Model)->Arg(24500)->Arg(100);
BENCHMARK(BM_URLDecode)->Arg(24500)->Arg(100);
BENCHMARK(BM_URLDecode_Model)->Arg(24500)->Arg(100);
BENCHMARK(BM_QPEncode)->Arg(24500)->Arg(100);
BENCHMARK(BM_QPDecode)->Arg(24500)->Arg(100);
BENCHMARK(BM_QPDecode_Model)->Arg(24500)->Arg(100);

// ---- table conversions -------------------------------------------------------------------

void BM_MapBytes(benchmark::State& state) {
  std::string in = SampleText(size_t(state.range(0)));
  uint8_t table[256];
  vrx::LoadCharTable(vrx::kMacToIsoList, 1, table);
  for (auto _ : state) {
    vrx::MapBytes(reinterpret_cast<uint8_t*>(in.data()), in.size(), table);
    benchmark::ClobberMemory();
  }
  SetBytes(state, in.size());
}
BENCHMARK(BM_MapBytes)->Arg(24500)->Arg(100);

// With the table lookup through the string list and the resource store, as callers do.
void BM_MacToISO(benchmark::State& state) {
  vrx::TextValue t = vrx::NewText(SampleText(size_t(state.range(0))));
  for (auto _ : state) {
    vrx::MacToISO(&t, 1);
    benchmark::ClobberMemory();
  }
  platform::DisposeHandle(t.handle);
  SetBytes(state, size_t(state.range(0)));
}
BENCHMARK(BM_MacToISO)->Arg(24500)->Arg(100);

// ---- through FourDPack ---------------------------------------------------------------------

host::Host& TheHost() {
  static host::Host h;
  return h;
}

// One command with a text and a long, as 4D calls it; the result handle goes back.
void RunCommand(benchmark::State& state, int32_t selector, const std::string& in, int32_t option) {
  host::Host& h = TheHost();
  vrx::TextValue text = vrx::NewText(in);
  int32_t opt = option;
  void* params[vrx::kParamSlots] = {&text, &opt};
  vrx::TextValue result{0, 0};
  vrx::TextValue* area = &result;
  for (auto _ : state) {
    h.RawCall(selector, params, &area);
    benchmark::DoNotOptimize(result.length);
    platform::DisposeHandle(result.handle);
    result = {0, 0};
  }
  platform::DisposeHandle(text.handle);
  SetBytes(state, in.size());
}

void BM_FourDPack_EncodeBase64(benchmark::State& s) {
  RunCommand(s, 56, SampleText(size_t(s.range(0))), 1);
}
void BM_FourDPack_DecodeBase64(benchmark::State& s) {
  RunCommand(s, 57, vrx::Base64EncodeBytes(SampleText(size_t(s.range(0))), true), 0);
}
void BM_FourDPack_EncodeHTML(benchmark::State& s) {
  RunCommand(s, 28, SampleText(size_t(s.range(0))), 0);
}
void BM_FourDPack_DecodeHTML(benchmark::State& s) {
  RunCommand(s, 29, HtmlEncoded(size_t(s.range(0))), 0);
}
void BM_FourDPack_EncodeURL(benchmark::State& s) {
  RunCommand(s, 30, SampleText(size_t(s.range(0))), 0);
}
void BM_FourDPack_DecodeURL(benchmark::State& s) {
  RunCommand(s, 31, UrlEncoded(size_t(s.range(0))), 0);
}
void BM_FourDPack_EncodeQP(benchmark::State& s) {
  RunCommand(s, 58, SampleText(size_t(s.range(0))), 0);
}
void BM_FourDPack_DecodeQP(benchmark::State& s) {
  RunCommand(s, 59, QPEncoded(size_t(s.range(0))), 0);
}
void BM_FourDPack_MacToISO(benchmark::State& s) {
  RunCommand(s, 32, SampleText(size_t(s.range(0))), 1);
}
BENCHMARK(BM_FourDPack_EncodeBase64)->Arg(24500)->Arg(100);
BENCHMARK(BM_FourDPack_DecodeBase64)->Arg(24500)->Arg(100);
BENCHMARK(BM_FourDPack_EncodeHTML)->Arg(24500)->Arg(100);
BENCHMARK(BM_FourDPack_DecodeHTML)->Arg(24500)->Arg(100);
BENCHMARK(BM_FourDPack_EncodeURL)->Arg(24500)->Arg(100);
BENCHMARK(BM_FourDPack_DecodeURL)->Arg(24500)->Arg(100);
BENCHMARK(BM_FourDPack_EncodeQP)->Arg(24500)->Arg(100);
BENCHMARK(BM_FourDPack_DecodeQP)->Arg(24500)->Arg(100);
BENCHMARK(BM_FourDPack_MacToISO)->Arg(24500)->Arg(100);

}  // namespace
