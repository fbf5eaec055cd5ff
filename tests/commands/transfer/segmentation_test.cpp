// Conversions of received and sent data do not depend on how the network cut it: a peer
// that trickles one byte at a time, or cuts at random points, gives what converting the
// whole data at once gives, in VRX_ReceiveBlob, VRX_ReceiveFile, VRX_ReceiveText and
// VRX_SendFile.
#include <gtest/gtest.h>

#include <sys/socket.h>

#include <cstring>
#include <random>

#include "codecs/conversions.h"
#include "platform/memory.h"
#include "tests/commands/transfer/transfer_peers.h"

namespace transfertest {
namespace {

// Sends argv[1]'s bytes cut as argv[2] says ("1": one byte a piece; a number above 1:
// random cuts from that seed), pausing between pieces so that each arrives alone.
constexpr const char* kTrickleScript =
    "import random,socket,sys,time\n"
    "s=socket.socket();s.bind(('127.0.0.1',0));s.listen(1)\n"
    "print(s.getsockname()[1],flush=True)\n"
    "s.settimeout(30);c,_=s.accept();c.settimeout(30)\n"
    "c.setsockopt(socket.IPPROTO_TCP,socket.TCP_NODELAY,1)\n"
    "d=open(sys.argv[1],'rb').read();seed=int(sys.argv[2]);r=random.Random(seed);i=0\n"
    "while i<len(d):\n"
    "  n=1 if seed==1 else r.randint(1,40)\n"
    "  c.sendall(d[i:i+n]);i+=n;time.sleep(0.001)\n"
    "c.close()\n";

// The conversion of all of `data` at once, through a single text.
std::string Whole(std::string_view data, int32_t options) {
  vrx::TextValue t{int16_t(data.size()), platform::NewHandle(int32_t(data.size()))};
  std::memcpy(platform::HandleAddress(t.handle), data.data(), data.size());
  vrx::ApplyTextConversions(&t, options);
  std::string out(reinterpret_cast<const char*>(platform::HandleAddress(t.handle)), size_t(t.length));
  platform::DisposeHandle(t.handle);
  return out;
}

// Data full of what each conversion treats as units, mixed at random.
std::string Sample(uint32_t seed) {
  static const char* const kUnits[] = {"TWFu", "=41", "=\r\n", "=3D", "&amp;", "&lt;", "&#233;", "\r\n", "\r",
                                       "\n",   "& ",  "&",     "Zm9v", "=",   " ",    "ab",   "\xE9",   "=4"};
  std::mt19937 r(seed);
  std::string s;
  while (s.size() < 500) s += kUnits[r() % (sizeof kUnits / sizeof *kUnits)];
  return s;
}

constexpr int32_t kOptions[] = {256, 1024, 32, 8, 64, 512, 1 | 4, 32 | 128, 8 | 1024};

TEST(Segmentation, ReceivedConversionsEqualWholeConversion) {
  if (!ConversionsActive()) GTEST_SKIP() << "the conversion options pass text through here";
  TempDir dir;
  const std::string source = (dir.path / "source").string(), target = (dir.path / "target").string();
  uint32_t seed = 2;
  for (int32_t options : kOptions) {
    const std::string data = Sample(seed);
    const std::string expected = Whole(data, options);
    WriteFile(source, data);
    for (int command = 0; command < 3; ++command) {
      ++seed;
      Host h;
      Peer peer(kTrickleScript, source, std::to_string(command == 0 ? 1 : seed));
      int32_t ref = OpenTo(h, peer.port);
      ASSERT_NE(ref, 0);
      std::string got;
      if (command == 0) {
        Value blob = Value::Blob("");
        ReceiveBlob(h, ref, blob, 0, 2, "", 1200, options);
        got = blob.Bytes();
      } else if (command == 1) {
        ReceiveFile(h, ref, target, 2, 10, 0, options);
        got = ReadFile(target);
      } else {
        Value r = Value::Long(ref), conv = Value::Long(options), m = Value::Integer(0), f = Value::Long(0),
              d = Value::String(""), to = Value::Long(120);
        for (int i = 0; i < 5000 && nettest::State(h, ref) == 8; ++i) {
          Value t = Value::Text("");
          CallLong(h, "VRX_ReceiveText", {&r, &t, &m, &conv, &f, &d, &to});
          got += t.Bytes();
        }
        Value t = Value::Text("");
        CallLong(h, "VRX_ReceiveText", {&r, &t, &m, &conv, &f, &d, &to});
        got += t.Bytes();
      }
      EXPECT_TRUE(got == expected) << "options " << options << ", command " << command << ": " << got.size()
                                   << " bytes, expected " << expected.size();
      EXPECT_TRUE(peer.Finish());
      nettest::Release(h, ref);
    }
  }
}

// A receive that takes whatever comes waits while no unit is complete; a long run that
// none ends ("&" after "&" for HTML decoding) arriving a byte at a time must not be
// converted again from its start at each byte (minutes of work for 16 KB, past the
// receive's time-out).
TEST(Segmentation, WaitingForAWholeUnitLooksAtEachPieceOnce) {
  if (!ConversionsActive()) GTEST_SKIP() << "the conversion options pass text through here";
  Host h;
  RawPair pair(h);
  ASSERT_NE(pair.ref, 0);
  const std::string data(16000, '&');
  h.NewProcess([&] {
    for (char ch : data) {
      pair.Send(std::string_view(&ch, 1));
      h.Yield();
    }
    shutdown(pair.peer, SHUT_WR);
  }, "writer");
  Value r = Value::Long(pair.ref), t = Value::Text(""), m = Value::Integer(0), conv = Value::Long(32),
        f = Value::Long(0), d = Value::String(""), to = Value::Long(1800);
  EXPECT_EQ(CallLong(h, "VRX_ReceiveText", {&r, &t, &m, &conv, &f, &d, &to}), 16000);
  EXPECT_TRUE(t.Bytes() == Whole(data, 32));
  h.WaitForProcesses();
  nettest::Release(h, pair.ref);
}

TEST(Segmentation, SendFilePiecesConvertAsOneText) {
  if (!ConversionsActive()) GTEST_SKIP() << "the conversion options pass text through here";
  TempDir dir;
  const std::string source = (dir.path / "source").string(), got = (dir.path / "got").string();
  for (int32_t options : kOptions) {
    const std::string data = Sample(uint32_t(options));
    WriteFile(source, data);
    for (int32_t piece : {1, 37}) {
      Host h;
      Peer sink(kSinkScript, got);
      int32_t ref = OpenTo(h, sink.port);
      ASSERT_NE(ref, 0);
      EXPECT_EQ(SendFile(h, ref, source, options, piece), 0);
      EXPECT_EQ(nettest::CloseStream(h, ref), 0);
      EXPECT_TRUE(sink.Finish());
      EXPECT_TRUE(ReadFile(got) == Whole(data, options)) << "options " << options << ", piece " << piece;
      nettest::Release(h, ref);
    }
  }
}

}  // namespace
}  // namespace transfertest
