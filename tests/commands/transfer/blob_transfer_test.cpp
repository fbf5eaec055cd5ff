// BLOBs over loopback connections, between 4D processes and with raw peers, and the
// wait for a connection state.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include "platform/services.h"
#include "tests/commands/transfer/transfer_peers.h"

namespace transfertest {
namespace {

using nettest::Pattern;

TEST(SendBlob, PiecesSeenAtThePeer) {
  Host h;
  RawPair pair(h);
  ASSERT_NE(pair.ref, 0);
  const std::string data = Pattern(40000, 21);
  Value blob = Value::Blob(data);
  // The other process reads what has arrived each time the sending loop gives way:
  // once per piece.
  std::vector<size_t> pieces;
  std::string got;
  h.NewProcess([&] {
    char buf[65536];
    for (int i = 0; i < 2000 && got.size() < data.size(); ++i) {
      ssize_t r = recv(pair.peer, buf, sizeof buf, MSG_DONTWAIT);
      if (r > 0) {
        pieces.push_back(size_t(r));
        got.append(buf, size_t(r));
      }
      h.Yield();
    }
  });
  EXPECT_EQ(SendBlob(h, pair.ref, blob), 0);
  h.WaitForProcesses();
  EXPECT_EQ(pieces, (std::vector<size_t>{7232, 16384, 16384}));
  EXPECT_TRUE(got == data);
  EXPECT_EQ(blob.Bytes(), data) << "the BLOB is left as it was";
  EXPECT_EQ(platform::HandleState(blob.handle()) & platform::kLockedBit, 0) << "lock state restored";
  nettest::Release(h, pair.ref);
}

TEST(SendBlob, RangesAndRefusals) {
  Host h;
  RawPair pair(h);
  ASSERT_NE(pair.ref, 0);
  const std::string data = Pattern(50000, 2);
  Value blob = Value::Blob(data), one = Value::Blob("Z"), empty = Value::Blob(""), none(host::Kind::Blob);
  EXPECT_EQ(SendBlob(h, pair.ref, one), 0);
  EXPECT_EQ(SendBlob(h, pair.ref, blob, 10, 19), 0);        // bytes 10..19
  EXPECT_EQ(SendBlob(h, pair.ref, blob, 49990, 0), 0);      // last <= 0: to the end
  EXPECT_EQ(SendBlob(h, pair.ref, blob, -3, 2), 0);         // first below 0: from 0
  EXPECT_EQ(SendBlob(h, pair.ref, blob, 49998, 900000), 0);  // last past the end
  EXPECT_EQ(SendBlob(h, pair.ref, blob, 30, 20), -1);       // last before first
  EXPECT_EQ(SendBlob(h, pair.ref, empty), -1);
  EXPECT_EQ(SendBlob(h, pair.ref, none), -1);
  EXPECT_EQ(SendBlob(h, pair.ref + 1, blob), -1);
  std::string expected = "Z" + data.substr(10, 10) + data.substr(49990) + data.substr(0, 3) + data.substr(49998);
  EXPECT_EQ(nettest::ReadRaw(pair.peer, expected.size()), expected);
  nettest::Release(h, pair.ref);
}

TEST(ReceiveBlob, DelimiterCutsAndTheRestStaysInTheStream) {
  Host h;
  RawPair pair(h);
  ASSERT_NE(pair.ref, 0);
  pair.Send("abc\r\ndef");
  ASSERT_TRUE(AwaitBytes(h, pair.ref, 8));
  Value blob = Value::Blob("old");
  // Flag 8 drops the delimiter; flag 2 keeps the stream.
  EXPECT_EQ(ReceiveBlob(h, pair.ref, blob, 0, 8 | 2, "\r\n", 60), 3);
  EXPECT_EQ(blob.Bytes(), "abc");
  EXPECT_EQ(BytesAvailable(h, pair.ref), 3);
  // The put-back bytes come before what arrives later.
  pair.Send("\r\nghi\r\n");
  ASSERT_TRUE(AwaitBytes(h, pair.ref, 10));
  EXPECT_EQ(ReceiveBlob(h, pair.ref, blob, 0, 2, "\r\n", 60), 5);
  EXPECT_EQ(blob.Bytes(), "def\r\n");
  // Flag 1 appends. The search starts at the BLOB's start, so the line end it already
  // holds ends the receive at once and the new bytes go back; flag 4 searches only
  // near the new bytes.
  EXPECT_EQ(ReceiveBlob(h, pair.ref, blob, 0, 1 | 2, "\r\n", 60), 0);
  EXPECT_EQ(blob.Bytes(), "def\r\n");
  EXPECT_EQ(BytesAvailable(h, pair.ref), 5);
  EXPECT_EQ(ReceiveBlob(h, pair.ref, blob, 0, 1 | 2 | 4, "\r\n", 60), 5);
  EXPECT_EQ(blob.Bytes(), "def\r\nghi\r\n");
  EXPECT_EQ(nettest::State(h, pair.ref), 8);
  nettest::Release(h, pair.ref);
}

TEST(ReceiveBlob, DelimiterSplitAcrossReadsWithFlag4) {
  Host h;
  RawPair pair(h);
  ASSERT_NE(pair.ref, 0);
  pair.Send("abc\r");
  ASSERT_TRUE(AwaitBytes(h, pair.ref, 4));
  // The rest of the line arrives while the receive waits.
  h.NewProcess([&] {
    h.Delay(3);
    pair.Send("\ndef");
  });
  // Appending to a BLOB that already holds a line end: flag 4 searches only near the
  // new bytes, so the old one is not taken for the delimiter.
  Value blob = Value::Blob("xx\r\n");
  EXPECT_EQ(ReceiveBlob(h, pair.ref, blob, 0, 1 | 2 | 4 | 8, "\r\n", 600), 3);
  h.WaitForProcesses();
  EXPECT_EQ(blob.Bytes(), "xx\r\nabc");
  ASSERT_TRUE(AwaitBytes(h, pair.ref, 3));
  Value rest = Value::Blob("");
  EXPECT_EQ(ReceiveBlob(h, pair.ref, rest, 3, 2, "", 60), 3);
  EXPECT_EQ(rest.Bytes(), "def");
  nettest::Release(h, pair.ref);
}

TEST(ReceiveBlob, LimitTimeOutReleaseAndNullBlob) {
  Host h(TestClockOptions());
  RawPair pair(h);
  ASSERT_NE(pair.ref, 0);
  const std::string data = Pattern(40000, 6);
  pair.Send(data);  // more than the stream's socket takes: the rest waits at the peer
  // A variable without a handle receives one.
  Value blob(host::Kind::Blob);
  EXPECT_EQ(ReceiveBlob(h, pair.ref, blob, 17000, 2, "", -1), 17000);
  EXPECT_TRUE(blob.Bytes() == data.substr(0, 17000));
  Value more = Value::Blob("");
  EXPECT_EQ(ReceiveBlob(h, pair.ref, more, 23000, 2, "", -1), 23000);
  EXPECT_TRUE(more.Bytes() == data.substr(17000));

  // Nothing comes: the time-out in ticks ends the receive; without flag 2 the stream is
  // released and its reference freed.
  int32_t open = OpenStreamCount(h);
  uint32_t before = platform::TickCount();
  EXPECT_EQ(ReceiveBlob(h, pair.ref, more, 0, 0, "\n", 30), 0);
  uint32_t waited = platform::TickCount() - before;
  EXPECT_GE(waited, 30u);
  EXPECT_LE(waited, 40u);
  EXPECT_EQ(more.Bytes(), "");
  EXPECT_EQ(nettest::State(h, pair.ref), -1);
  EXPECT_EQ(OpenStreamCount(h), open - 1);
  EXPECT_EQ(ReceiveBlob(h, pair.ref, more, 0, 0, "", 30), -1);
}

TEST(ReceiveBlob, TwoProcessesMoveABlobAndTheReceiverReleases) {
  Host h;
  int32_t listening = nettest::Listen(h, 0);
  uint16_t port = nettest::StreamAddresses(h, listening).localPort;
  int32_t client = OpenTo(h, port);
  ASSERT_NE(client, 0);
  ASSERT_EQ(nettest::AwaitState(h, listening, 8), 8);
  const std::string data = Pattern(3 * 1024 * 1024 + 5, 9);
  Value sent = Value::Blob(data), got = Value::Blob("");
  int32_t received = -7;
  h.NewProcess([&] { received = ReceiveBlob(h, listening, got, 0, 0, "", -1); });
  EXPECT_EQ(SendBlob(h, client, sent), 0);
  EXPECT_EQ(nettest::CloseStream(h, client), 0);
  h.WaitForProcesses();
  EXPECT_EQ(received, int32_t(data.size()));
  EXPECT_TRUE(got.Bytes() == data);
  EXPECT_EQ(nettest::State(h, listening), -1);
  EXPECT_EQ(nettest::Release(h, client), 0);
}

TEST(BlobTransfer, ConversionsOnTheWayOutAndIn) {
  if (!ConversionsActive()) GTEST_SKIP() << "the conversion options pass text through here";
  Host h(TestClockOptions());
  RawPair pair(h);
  ASSERT_NE(pair.ref, 0);
  // Out: CR becomes CR LF in the bytes sent, the BLOB stays as it was.
  Value blob = Value::Blob("a\rb\r");
  EXPECT_EQ(SendBlob(h, pair.ref, blob, 0, 0, 4), 0);
  EXPECT_EQ(nettest::ReadRaw(pair.peer, 6), "a\r\nb\r\n");
  EXPECT_EQ(blob.Bytes(), "a\rb\r");
  // Base64 (unpadded) of a BLOB sent in several pieces continues across them.
  const std::string data = Pattern(40000, 5);
  Value big = Value::Blob(data);
  EXPECT_EQ(SendBlob(h, pair.ref, big, 0, 0, 128), 0);
  EXPECT_TRUE(nettest::ReadRaw(pair.peer, 53334) == Base64NoPadding(data));
  // A text whose Base64 outgrows a text goes out whole; the text then stays as it was.
  Value text = Value::Text(data.substr(0, 30000)), ref = Value::Long(pair.ref), now = Value::Integer(0),
        base64 = Value::Long(128);
  EXPECT_EQ(CallLong(h, "VRX_SendText", {&ref, &text, &now, &base64}), 0);
  EXPECT_TRUE(nettest::ReadRaw(pair.peer, 40000) == Base64NoPadding(data.substr(0, 30000)));
  EXPECT_EQ(text.Bytes().size(), 30000u);
  // In: CR LF becomes CR before the delimiter is looked for, so CR ends the line.
  pair.Send("x\r\ny\r\n");
  ASSERT_TRUE(AwaitBytes(h, pair.ref, 6));
  Value got = Value::Blob("");
  EXPECT_EQ(ReceiveBlob(h, pair.ref, got, 0, 2, "\r", 60, 8), 2);
  EXPECT_EQ(got.Bytes(), "x\r");
  EXPECT_EQ(ReceiveBlob(h, pair.ref, got, 0, 2, "\r", 60, 8), 2);
  EXPECT_EQ(got.Bytes(), "y\r");
  nettest::Release(h, pair.ref);
}

TEST(ReceiveBlob, NothingLostWhenMemoryRunsShortWhileConverting) {
  if (!ConversionsActive()) GTEST_SKIP() << "the conversion options pass text through here";
  // Base64 decoded on the way in, its last group still open when the receive ends (and
  // CR LF collapsed first, a second stage): each allocation of the receive fails in
  // turn. What the BLOB took and what the next receive takes are all of it, once.
  Host h(TestClockOptions());
  RawPair pair(h);
  ASSERT_NE(pair.ref, 0);
  const std::string data = "QUJD\r\nREVG\r\nR0g", expected = "ABCDEFGH";
  for (const int32_t options : {256, 256 | 8}) {
    for (int64_t nth = 1;; ++nth) {
      pair.Send(data);
      ASSERT_TRUE(AwaitBytes(h, pair.ref, int32_t(data.size())));
      Value first = Value::Blob(""), rest = Value::Blob("");
      platform::SetAllocationFailure(nth);
      ReceiveBlob(h, pair.ref, first, 0, 2, "", 10, options);
      const bool failed = platform::AllocationCount() >= nth;
      platform::SetAllocationFailure(0);
      ReceiveBlob(h, pair.ref, rest, 0, 2, "", 10, options);
      ASSERT_EQ(first.Bytes() + rest.Bytes(), expected) << "options " << options << ", allocation " << nth;
      if (!failed) break;
    }
  }
  nettest::Release(h, pair.ref);
}

TEST(ReceiveBlob, WithAConversionWhatFollowsTheDelimiterGoesBackAsItCame) {
  if (!ConversionsActive()) GTEST_SKIP() << "the conversion options pass text through here";
  // Lines received one by one through a conversion: what follows each delimiter must
  // be converted once, by the receive that takes it (ISO to Mac Roman; Base64 decoded,
  // its groups ending at the delimiter; CR LF collapsed to the CR delimiter).
  Host h;
  RawPair pair(h);
  ASSERT_NE(pair.ref, 0);
  struct Case {
    int32_t options;
    std::string sent, delimiter;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {2, "caf\xE9\r\nna\xEFve\r\n", "\r\n", {"caf\x8E", "na\x95ve"}},
      {256, "QUJD\r\nREVG\r\nR0hJ", "C", {"AB", "DEFGHI"}},
      {8, "ab\r\ncd\r\nef", "\r", {"ab", "cd", "ef"}}};
  for (const Case& c : cases) {
    pair.Send(c.sent);
    ASSERT_TRUE(AwaitBytes(h, pair.ref, int32_t(c.sent.size())));
    for (const std::string& line : c.lines) {
      Value blob = Value::Blob("");
      ReceiveBlob(h, pair.ref, blob, 0, 2 | 8, c.delimiter, 10, c.options);
      EXPECT_EQ(blob.Bytes(), line) << "options " << c.options;
    }
  }
  nettest::Release(h, pair.ref);
}

TEST(WaitStreamState, WaitsForEstablishedAndForTheEnd) {
  Host h(TestClockOptions());
  // Nobody connects: the time-out ends the wait with the last state.
  int32_t listening = nettest::Listen(h, 0);
  uint16_t port = nettest::StreamAddresses(h, listening).localPort;
  uint32_t before = platform::TickCount();
  EXPECT_EQ(WaitState(h, listening, 8, 2), 2);
  uint32_t waited = platform::TickCount() - before;
  EXPECT_GE(waited, 120u);
  EXPECT_LE(waited, 132u);
  // A connection comes: no time-out needed. The low 16 bits of the target count.
  int peer = nettest::ConnectRaw(port);
  EXPECT_EQ(WaitState(h, listening, 0x10008, 0), 8);
  EXPECT_EQ(WaitState(h, listening, 0, 0), 8);

  // Waiting for a negative state on a live connection: only the time-out ends it.
  before = platform::TickCount();
  EXPECT_EQ(WaitState(h, listening, -1, 1), 8);
  EXPECT_GE(platform::TickCount() - before, 60u);

  // Another process's receive ends the connection and releases it; the wait, which
  // kept the stream busy against VRX_ReleaseStream meanwhile, ends with -1.
  ASSERT_EQ(send(peer, "line\nrest", 9, 0), 9);
  int32_t releaseWhileBusy = 0;
  Value blob = Value::Blob("");
  h.NewProcess([&] {
    releaseWhileBusy = nettest::Release(h, listening);
    h.Delay(2);
    ReceiveBlob(h, listening, blob, 0, 0, "\n", 60);
  });
  EXPECT_EQ(WaitState(h, listening, -1, 0), -1);
  h.WaitForProcesses();
  EXPECT_EQ(releaseWhileBusy, -2);
  EXPECT_EQ(blob.Bytes(), "line\n");
  EXPECT_EQ(WaitState(h, listening, 8, 0), -1) << "a rejected reference";
  close(peer);
}

TEST(WaitStreamState, PeerCloseEndsAWaitForFourteen) {
  // A time-out of 0 is none, not one already expired.
  for (int32_t seconds : {10, 0}) {
    Host h;
    RawPair pair(h);
    ASSERT_NE(pair.ref, 0);
    h.NewProcess([&] {
      h.Delay(10);
      shutdown(pair.peer, SHUT_WR);
    });
    EXPECT_EQ(WaitState(h, pair.ref, 14, seconds), 14) << seconds;
    h.WaitForProcesses();
    nettest::Release(h, pair.ref);
  }
}

}  // namespace
}  // namespace transfertest
