// VRX_SendPicture over a real loopback connection to a Python peer.
#include <poll.h>

#include <atomic>
#include <thread>

#include "platform/memory.h"
#include "tests/pictures/helpers.h"
#include "tests/commands/transfer/transfer_peers.h"

namespace picturetest {
namespace {

using transfertest::Peer;

int32_t SendPicture(Host& h, int32_t ref, Value& picture, int32_t first, int32_t last) {
  Value r = Value::Long(ref), f = Value::Long(first), l = Value::Long(last);
  return CallLong(h, "VRX_SendPicture", {&r, &picture, &f, &l});
}

// Sends through a fresh connection to a sink peer; what the peer received.
std::string SendThrough(Host& h, const TempDir& dir, Value& picture, int32_t first, int32_t last,
                        int32_t* result) {
  Peer sink(transfertest::kSinkScript, dir / "received");
  EXPECT_NE(sink.port, 0);
  int32_t ref = transfertest::OpenTo(h, sink.port);
  EXPECT_GT(ref, 0);
  *result = SendPicture(h, ref, picture, first, last);
  nettest::CloseStream(h, ref);
  nettest::Release(h, ref);
  EXPECT_TRUE(sink.Finish());
  return ReadFile(dir / "received");
}

TEST(SendPicture, SendsTheEmbeddedJpegInPieces) {
  TempDir dir;
  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  std::string jpeg = NoisyImage(dir, 200, 150, "JPEG", ", quality=95");
  ASSERT_GT(jpeg.size(), 2u * 16384);  // several pieces, the first one odd-sized
  Value rec = Value::Picture(PictureRecord(0, 0, 150, 200, jpeg, 590, "after"));
  int32_t result = -7;
  EXPECT_EQ(SendThrough(h, dir, rec, 0, 0, &result), jpeg);
  EXPECT_EQ(result, 0);
  // The picture is left as it was, unlocked.
  EXPECT_EQ(platform::HandleState(rec.handle()) & platform::kLockedBit, 0);
  EXPECT_EQ(rec.Bytes().size(), jpeg.size() + 600 + 5);
}

TEST(SendPicture, GifWholeAndExplicitRanges) {
  TempDir dir;
  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  std::string gif = NoisyImage(dir, 50, 40, "GIF");
  Value g = Value::Picture(gif);
  int32_t result = -7;
  EXPECT_EQ(SendThrough(h, dir, g, 0, 0, &result), gif);
  EXPECT_EQ(result, 0);
  // start 4, end 0: to the last byte; an end beyond the data is the last byte too.
  EXPECT_EQ(SendThrough(h, dir, g, 4, 0, &result), gif.substr(4));
  EXPECT_EQ(SendThrough(h, dir, g, 4, 1 << 30, &result), gif.substr(4));
  EXPECT_EQ(SendThrough(h, dir, g, -9, 20, &result), gif.substr(0, 21));
  EXPECT_EQ(result, 0);
}

TEST(SendPicture, NothingToSendIsMinusOne) {
  TempDir dir;
  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  Value g = Value::Picture("GIF89a and more bytes");
  int32_t result = 0;
  EXPECT_EQ(SendThrough(h, dir, g, 10, 10, &result), "");
  EXPECT_EQ(result, -1);
  EXPECT_EQ(SendThrough(h, dir, g, 100, 200, &result), "");
  EXPECT_EQ(result, -1);
  Value none = Value::Picture(PictureRecord(0, 0, 1, 1, "no image here"));
  EXPECT_EQ(SendThrough(h, dir, none, 0, 0, &result), "");
  EXPECT_EQ(result, -1);
  Value empty = Value::Picture("");
  EXPECT_EQ(SendThrough(h, dir, empty, 0, 0, &result), "");
  EXPECT_EQ(result, -1);
  // An unknown stream.
  EXPECT_EQ(SendPicture(h, 77, g, 0, 0), -1);
  EXPECT_EQ(SendPicture(h, -1, g, 0, 0), -1);
}

TEST(SendPicture, AClosedPeerEndsTheSendWithMinusOne) {
  TempDir dir;
  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  uint16_t port = 0;
  int listener = nettest::ListenRaw(&port);
  ASSERT_GE(listener, 0);
  int32_t ref = transfertest::OpenTo(h, port);
  ASSERT_GT(ref, 0);
  int peer = accept(listener, nullptr, nullptr);
  ASSERT_GE(peer, 0);
  close(peer);
  close(listener);
  Value big = Value::Picture("GIF89a" + std::string(4 << 20, 'p'));
  // The peer is gone: sending fails rather than waiting for ever.
  int32_t result = 0;
  for (int i = 0; i < 5 && result == 0; ++i) result = SendPicture(h, ref, big, 0, 0);
  EXPECT_EQ(result, -1);
  nettest::Release(h, ref);
}

// Another process disposes of the picture while the send waits for a peer that does
// not read yet: what was sent is a prefix of the picture, the rest is not read from
// the freed block, and the result says the send did not finish.
TEST(SendPicture, APictureDisposedOfWhileTheSendWaits) {
  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  uint16_t port = 0;
  int listener = nettest::ListenRaw(&port);
  ASSERT_GE(listener, 0);
  int32_t ref = transfertest::OpenTo(h, port);
  ASSERT_GT(ref, 0);
  int peer = accept(listener, nullptr, nullptr);
  close(listener);
  ASSERT_GE(peer, 0);
  std::string gif = "GIF89a";
  for (int i = 0; gif.size() < (8u << 20); ++i) gif += char(i * 7);
  Value pic = Value::Picture(gif);
  std::atomic<bool> disposed{false};
  h.NewProcess([&] {
    pic.AdoptHandle(platform::NewHandle(0));
    disposed = true;
  });
  std::string received;
  std::thread reader([&] {
    for (int i = 0; i < 3000 && !disposed; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    char buf[65536];
    for (int i = 0; i < 3000; ++i) {
      pollfd p{peer, POLLIN, 0};
      if (poll(&p, 1, 10) <= 0) continue;
      ssize_t n = recv(peer, buf, sizeof buf, 0);
      if (n <= 0) break;
      received.append(buf, size_t(n));
    }
  });
  EXPECT_EQ(SendPicture(h, ref, pic, 0, 0), -1);
  EXPECT_TRUE(disposed);
  nettest::CloseStream(h, ref);
  nettest::Release(h, ref);
  reader.join();
  close(peer);
  EXPECT_LT(received.size(), gif.size());
  EXPECT_EQ(received, gif.substr(0, received.size()));
}

}  // namespace
}  // namespace picturetest
