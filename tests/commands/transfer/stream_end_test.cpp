// How a connection's end shows in transfers against real peers: a reset is not an
// orderly end, a half-closed peer still takes everything, a cut file send fails, and a
// listen with no room left opens nothing.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include "tests/commands/transfer/transfer_peers.h"

namespace transfertest {
namespace {

using nettest::Pattern;

// argv[1] names the mode:
//   reset-after-64k: read 64 KB of what comes, then reset.
//   halfclose: stop sending after 0.3 s, then read everything into argv[2] until the end.
//   send-then-reset: send 100 KB, then reset.
//   reset-after-end: wait for the other side's end, then reset.
constexpr const char* kEndScript =
    "import socket,struct,sys,time\n"
    "s=socket.socket();s.bind(('127.0.0.1',0));s.listen(1)\n"
    "print(s.getsockname()[1],flush=True)\n"
    "s.settimeout(30);c,_=s.accept();c.settimeout(30)\n"
    "def reset():\n"
    "  c.setsockopt(socket.SOL_SOCKET,socket.SO_LINGER,struct.pack('ii',1,0));c.close()\n"
    "m=sys.argv[1]\n"
    "if m=='reset-after-64k':\n"
    "  n=0\n"
    "  while n<65536: n+=len(c.recv(65536))\n"
    "  reset()\n"
    "elif m=='halfclose':\n"
    "  time.sleep(0.3);c.shutdown(socket.SHUT_WR)\n"
    "  with open(sys.argv[2],'wb') as f:\n"
    "    while True:\n"
    "      b=c.recv(65536)\n"
    "      if not b: break\n"
    "      f.write(b)\n"
    "  c.close()\n"
    "elif m=='send-then-reset':\n"
    "  c.sendall(b'r'*102400);time.sleep(0.3);reset()\n"
    "elif m=='reset-after-end':\n"
    "  while c.recv(65536): pass\n"
    "  reset()\n";

// A peer running kEndScript in one mode; `file` is the half-closing peer's output.
struct EndPeer : Peer {
  EndPeer(const std::string& mode, const std::string& file = "") : Peer(kEndScript, mode, file) {}
};

TEST(StreamEnd, SendFileCutByAResetFails) {
  TempDir dir;
  const std::string path = (dir.path / "big").string();
  WriteFile(path, Pattern(8 << 20, 3));
  for (int32_t conversion : {0, 8}) {
    Host h;
    EndPeer peer("reset-after-64k");
    int32_t ref = OpenTo(h, peer.port);
    ASSERT_NE(ref, 0);
    EXPECT_EQ(SendFile(h, ref, path, conversion), -1) << conversion;
    EXPECT_EQ(nettest::State(h, ref), 20);
    nettest::Release(h, ref);
  }
}

TEST(StreamEnd, HalfClosedPeerReceivesWholeBlobAndFile) {
  TempDir dir;
  const std::string path = (dir.path / "big").string(), got = (dir.path / "got").string();
  const std::string bytes = Pattern(8 << 20, 4);
  WriteFile(path, bytes);
  Host h;
  EndPeer peer("halfclose", got);
  int32_t ref = OpenTo(h, peer.port);
  ASSERT_NE(ref, 0);
  EXPECT_EQ(nettest::AwaitState(h, ref, 14), 14);
  Value blob = Value::Blob(bytes);
  EXPECT_EQ(SendBlob(h, ref, blob), 0);
  EXPECT_EQ(SendFile(h, ref, path), 0);
  EXPECT_EQ(nettest::CloseStream(h, ref), 0);
  ASSERT_TRUE(peer.Finish());
  const std::string received = ReadFile(got);
  EXPECT_EQ(received.size(), bytes.size() * 2);
  EXPECT_TRUE(received == bytes + bytes);
  nettest::Release(h, ref);
}

TEST(StreamEnd, ResetBreaksTheStreamAfterItsBytesAreRead) {
  Host h;
  EndPeer peer("send-then-reset");
  int32_t ref = OpenTo(h, peer.port);
  ASSERT_NE(ref, 0);
  Value blob = Value::Blob("");
  // Keep open (2), no limit, a time-out far beyond the reset.
  EXPECT_EQ(ReceiveBlob(h, ref, blob, 0, 2, "", 1200), 102400);
  EXPECT_EQ(nettest::State(h, ref), 20) << "a cut transfer must not look complete";
  nettest::Release(h, ref);
}

TEST(StreamEnd, ResetAfterOurOwnCloseEndsBothWays) {
  Host h;
  EndPeer peer("reset-after-end");
  int32_t ref = OpenTo(h, peer.port);
  ASSERT_NE(ref, 0);
  EXPECT_EQ(nettest::CloseStream(h, ref), 0);
  EXPECT_EQ(WaitState(h, ref, 18, 10), 18);
  nettest::Release(h, ref);
}

TEST(StreamEnd, WaitReportsTheStateAfterItsLastWait) {
  Host h;
  EndPeer peer("halfclose", "/dev/null");
  int32_t ref = OpenTo(h, peer.port);
  ASSERT_NE(ref, 0);
  // 18 never comes: the time-out ends the wait, with the peer's end already seen.
  EXPECT_EQ(WaitState(h, ref, 18, 1), 14);
  nettest::Release(h, ref);
}

TEST(StreamEnd, ListenPastTheListenerTableOpensNothing) {
  Host h;
  std::vector<int32_t> refs;
  for (int i = 0; i < 128; ++i) {
    refs.push_back(nettest::Listen(h, 0));
    ASSERT_NE(refs.back(), 0) << i;
  }
  EXPECT_EQ(nettest::Listen(h, 0), 0);
  EXPECT_EQ(OpenStreamCount(h), 128);
  for (int32_t ref : refs) nettest::Release(h, ref);
  EXPECT_NE(refs[0] = nettest::Listen(h, 0), 0) << "room again once one is released";
  nettest::Release(h, refs[0]);
}

}  // namespace
}  // namespace transfertest
