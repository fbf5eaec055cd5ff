// Several 4D processes issue random stream commands on shared streams, plain and SSL,
// against peers that reset, half-close, stall, trickle or flood (peer.py). Afterwards
// nothing may be left: no stream, no block, no descriptor.
//
// VRX_TORTURE_SECONDS sets the length (default 20), VRX_TORTURE_SEED the seed (default:
// the clock; printed). The peers run in real time, so a seed repeats each process's
// choices, not the exact interleaving.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <map>
#include <random>

#include "platform/memory.h"
#include "tests/support.h"
#include "tests/net/ssl/ssl_support.h"
#include "tests/commands/transfer/transfer_peers.h"

namespace {

using host::Host;
using host::Value;
using nettest::CallLong;

::testing::Environment* const kCleanup =
    ::testing::AddGlobalTestEnvironment(new ssltest::CertificateCleanup);

int64_t EnvNumber(const char* name, int64_t otherwise) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtoll(v, nullptr, 10) : otherwise;
}

bool IsState(int32_t s) {
  for (int32_t k : {-1, 0, 2, 4, 6, 8, 12, 14, 18, 20})
    if (s == k) return true;
  return false;
}

// The peers' bytes: each one is the one before plus 1, modulo 251. Where that fails
// first, or npos.
size_t PatternBreak(std::string_view bytes) {
  for (size_t i = 1; i < bytes.size(); ++i)
    if ((uint8_t(bytes[i - 1]) + 1) % 251 != uint8_t(bytes[i])) return i;
  return std::string_view::npos;
}

struct Torture {
  Host& h;
  std::chrono::steady_clock::time_point end;
  uint16_t plainPort, sslPort;
  std::string dir, sendPath;
  std::array<int32_t, 6> pool{};         // shared stream references, 0 when free
  std::map<int32_t, int32_t> lastState;  // highest state seen per live reference
  std::map<std::string, int> counts;     // commands issued, by name
  // Two processes reading one stream at once each get some of its bytes: only a piece
  // read while no other read of that stream ran is whole.
  struct Reads {
    int active = 0;
    uint64_t overlaps = 0;
  };
  std::map<int32_t, Reads> reads;
  std::map<int32_t, bool> ssl;  // by reference
  int files = 0;

  Torture(Host& host, int64_t seconds, uint16_t plain, uint16_t ssl, std::string folder)
      : h(host), end(std::chrono::steady_clock::now() + std::chrono::seconds(seconds)), plainPort(plain),
        sslPort(ssl), dir(std::move(folder)), sendPath(dir + "/out") {}

  bool Running() const { return std::chrono::steady_clock::now() < end; }

  void Forget(int32_t ref) {
    for (int32_t& r : pool)
      if (r == ref) r = 0;
    lastState.erase(ref);
  }

  void SawState(int32_t ref, int32_t s, const char* where) {
    ASSERT_TRUE(IsState(s)) << where << " gave state " << s;
    if (s < 0) return;
    int32_t& last = lastState[ref];
    EXPECT_TRUE(s >= last && !(last == 12 && s == 14))
        << "stream " << ref << " went from " << last << " to " << s << " (" << where << ")";
    last = std::max(last, s);
  }

  // Runs one read of `ref`; `read` returns its bytes, which are checked when whole.
  template <typename Read>
  void Receive(int32_t ref, const char* where, Read read) {
    Reads& r = reads[ref];
    if (r.active > 0) ++r.overlaps;
    bool alone = r.active++ == 0;
    uint64_t overlaps = r.overlaps;
    std::string bytes = read();
    Reads& after = reads[ref];
    --after.active;
    size_t at = alone && after.overlaps == overlaps ? PatternBreak(bytes) : std::string::npos;
    EXPECT_EQ(at, std::string::npos) << where << " on " << (ssl[ref] ? "an SSL" : "a plain") << " stream in state "
                                     << lastState[ref] << " broke the byte pattern at " << at << " of " << bytes.size()
                                     << ": " << vrxtest::Hex(bytes.substr(at > 8 ? at - 8 : 0, 24));
  }

  void Step(std::mt19937& rng) {
    int slot = int(rng() % pool.size());
    int32_t ref = pool[size_t(slot)];
    int op = int(rng() % 15);
    if (ref == 0) op = 0;
    switch (op) {
      case 0: {  // open, plain or SSL
        if (ref != 0) break;
        bool ssl = rng() % 2;
        int32_t r = ssl ? ssltest::SslOpen(h, "127.0.0.1", sslPort) : nettest::Open(h, "127.0.0.1", plainPort);
        ++counts[ssl ? "open ssl" : "open"];
        if (r > 0 && pool[size_t(slot)] == 0) {
          pool[size_t(slot)] = r;
          lastState[r] = 0;
          this->ssl[r] = ssl;
        } else if (r > 0) {
          nettest::Release(h, r, -1);
        }
        break;
      }
      case 1: {
        ++counts["send"];
        int32_t n = int32_t(rng() % 3 == 0 ? rng() % 32000 : rng() % 200);
        nettest::Send(h, ref, std::string(size_t(n), char('a' + rng() % 26)), int16_t(rng() % 2 ? 0 : 4000));
        break;
      }
      case 2:
      case 3: {
        ++counts["receive"];
        std::string delimiter = rng() % 3 ? "" : std::string(1, char(rng() % 251));
        int32_t flags = int32_t(rng() % 8);
        int16_t maximum = int16_t(rng() % 2 ? 0 : 1 + rng() % 3000);
        int32_t timeout = int32_t(rng() % 4) - 1;
        Receive(ref, "VRX_ReceiveText", [&] {
          return nettest::Receive(h, ref, maximum, flags & ~1, delimiter, timeout).text;
        });
        break;
      }
      case 4: {
        ++counts["send blob"];
        Value blob = Value::Blob(std::string(rng() % 70000, 'b'));
        transfertest::SendBlob(h, ref, blob);
        break;
      }
      case 5: {
        ++counts["receive blob"];
        Value blob = Value::Blob("");
        int32_t flags = int32_t(rng() % 16) & ~1;
        if (rng() % 4) flags |= 2;  // mostly keep the stream
        std::string delimiter = rng() % 2 ? "" : std::string(1, char(rng() % 251));
        int32_t limit = int32_t(rng() % 100000), timeout = int32_t(rng() % 20);
        Receive(ref, "VRX_ReceiveBlob", [&] {
          transfertest::ReceiveBlob(h, ref, blob, limit, flags, delimiter, timeout);
          return blob.Bytes();
        });
        if (!(flags & 2)) Forget(ref);
        break;
      }
      case 6: {
        ++counts["send file"];
        transfertest::SendFile(h, ref, sendPath, 0, int32_t(rng() % 3) * 1000, 0, int32_t(rng() % 40000));
        break;
      }
      case 7: {
        ++counts["receive file"];
        std::string path = dir + "/in-" + std::to_string(++files);
        int32_t flags = rng() % 4 ? 2 : 0;
        int32_t limit = int32_t(rng() % 300000);
        Receive(ref, "VRX_ReceiveFile", [&] {
          transfertest::ReceiveFile(h, ref, path, flags, 1, limit);
          return transfertest::ReadFile(path);
        });
        std::remove(path.c_str());
        if (!(flags & 2)) Forget(ref);
        break;
      }
      case 8:
        ++counts["close"];
        nettest::CloseStream(h, ref);
        break;
      case 9: {
        ++counts["release"];
        int32_t result = nettest::Release(h, ref, rng() % 2 ? 0 : -1);
        if (result == 0 || nettest::State(h, ref) < 0) Forget(ref);
        break;
      }
      case 10:
      case 11:
        ++counts["state"];
        SawState(ref, nettest::State(h, ref), "VRX_GetStreamState");
        break;
      case 12: {
        ++counts["states"];
        std::vector<int32_t> refs(pool.begin(), pool.end());
        Value r = Value::LongArray(refs), s = Value::LongArray(std::vector<int32_t>(refs.size(), 99));
        Value threshold = Value::Long(int32_t(rng() % 21));
        int32_t first = CallLong(h, "VRX_GetStreamStates", {&r, &s, &threshold});
        EXPECT_TRUE(first == -1 || (first >= 1 && first <= int32_t(refs.size()))) << first;
        std::vector<int32_t> states = s.Longs();
        for (size_t i = 0; i < refs.size() && i < states.size(); ++i)
          if (refs[i] > 0 && states[i] != 99 && pool[i] == refs[i]) SawState(refs[i], states[i], "VRX_GetStreamStates");
        break;
      }
      case 13:
        ++counts["wait state"];
        // At most two seconds: 0 would wait for good.
        SawState(ref, transfertest::WaitState(h, ref, int32_t(8 + 2 * (rng() % 7)), int32_t(1 + rng() % 2)),
                 "VRX_WaitStreamState");
        break;
      case 14:
        ++counts["available"];
        transfertest::BytesAvailable(h, ref);
        break;
    }
  }
};

TEST(Torture, ProcessesAndPeersThatMisbehave) {
  ASSERT_TRUE(ssltest::Certs().ok) << "the openssl command could not make test certificates";
  const int64_t seconds = EnvNumber("VRX_TORTURE_SECONDS", 20);
  const uint32_t seed = uint32_t(EnvNumber("VRX_TORTURE_SEED", std::chrono::system_clock::now().time_since_epoch().count()));
  std::printf("torture: %lld s, VRX_TORTURE_SEED=%u\n", static_cast<long long>(seconds), seed);
  RecordProperty("seed", std::to_string(seed));

  const int fdsBefore = transfertest::OpenFdCount();
  const int32_t blocksBefore = platform::LiveHandleCount();
  ssltest::Child peer = ssltest::Spawn({"/usr/bin/python3", VRX_SOURCE_DIR "/tests/net/torture/peer.py",
                                        std::to_string(seed), ssltest::Certs().aCert, ssltest::Certs().aKey});
  std::string ports = ssltest::ReadLine(peer.out);
  uint16_t plainPort = 0, sslPort = 0;
  std::sscanf(ports.c_str(), "%hu %hu", &plainPort, &sslPort);
  ASSERT_TRUE(plainPort && sslPort) << "peer.py did not start: " << ports;

  transfertest::TempDir dir;
  std::map<std::string, int> counts;
  {
    Host h;
    ASSERT_TRUE(h.loaded()) << h.error();
    Torture t(h, seconds, plainPort, sslPort, dir.path.string());
    transfertest::WriteFile(t.sendPath, nettest::Pattern(50000, seed));
    for (int p = 0; p < 5; ++p)
      h.NewProcess([&t, seed, p] {
        std::mt19937 rng(seed + uint32_t(p) * 0x9E3779B9u);
        while (t.Running() && !::testing::Test::HasFatalFailure()) {
          t.Step(rng);
          t.h.Yield();
        }
      }, "torture " + std::to_string(p));
    h.WaitForProcesses();
    for (int32_t ref : t.pool) {
      if (ref) {
        EXPECT_EQ(nettest::Release(h, ref, -1), 0) << "no command uses stream " << ref << " any more";
      }
    }
    EXPECT_EQ(transfertest::OpenStreamCount(h), 0) << "every stream released";
    counts = t.counts;
  }
  peer.Stop();
  for (auto& [name, n] : counts) std::printf("  %-14s %d\n", name.c_str(), n);
  EXPECT_GT(counts["open ssl"], 0);
  EXPECT_EQ(platform::LiveHandleCount(), blocksBefore) << "no block left behind";
  EXPECT_EQ(transfertest::OpenFdCount(), fdsBefore) << "no descriptor left open";
}

}  // namespace
