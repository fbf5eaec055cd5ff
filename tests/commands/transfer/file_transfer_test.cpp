// Sending files to and receiving files from a python3 peer over loopback.
#include <gtest/gtest.h>

#include "platform/services.h"
#include "tests/commands/transfer/transfer_peers.h"

namespace transfertest {
namespace {

using nettest::Pattern;

TEST(SendFile, BytesAndRangesArriveExactlyAtPeer) {
  TempDir dir;
  const std::string file = dir / "five.bin";
  const std::string data = Pattern(5 * 1024 * 1024 + 123, 11);
  WriteFile(file, data);
  Peer sink(kSinkScript, dir / "got.bin");
  ASSERT_NE(sink.port, 0);
  Host h;
  int32_t ref = OpenTo(h, sink.port);
  ASSERT_NE(ref, 0);
  const int32_t size = int32_t(data.size());
  int handles = platform::LiveHandleCount();
  int fds = OpenFdCount();

  // Everything in the default piece, then ranges: [first, end) with a custom piece, an
  // end before the start (nothing), a negative start, an end past the file.
  EXPECT_EQ(SendFile(h, ref, file), 0);
  EXPECT_EQ(SendFile(h, ref, file, 0, 7000, 1000, 2000001), 0);
  EXPECT_EQ(SendFile(h, ref, file, 0, 0, 100, 50), 0);
  EXPECT_EQ(SendFile(h, ref, file, 0, 3, -5, 10), 0);
  EXPECT_EQ(SendFile(h, ref, file, 0, 0, size - 10, size + 500), 0);
  EXPECT_EQ(SendFile(h, ref, file, 0, 0, size + 10, 0), 0);  // starts past the end
  EXPECT_EQ(platform::LiveHandleCount(), handles) << "transfer buffers are disposed of";
  EXPECT_EQ(OpenFdCount(), fds) << "files are closed";
  EXPECT_EQ(nettest::CloseStream(h, ref), 0);
  EXPECT_EQ(nettest::Release(h, ref), 0);
  ASSERT_TRUE(sink.Finish());

  std::string expected = data + data.substr(1000, 2000001 - 1000) + data.substr(0, 10) + data.substr(size - 10);
  std::string got = ReadFile(dir / "got.bin");
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected);
}

TEST(SendFile, TextModeSendsLargePiecesWhole) {
  TempDir dir;
  const std::string file = dir / "text.bin";
  // Lines ending in CR, and a stretch of nothing but CRs: converted, a piece of it
  // outgrows a text.
  std::string data = Pattern(5 * 1024 * 1024, 5) + std::string(40000, '\r') + "end\r";
  WriteFile(file, data);
  Peer sink(kSinkScript, dir / "got.bin");
  ASSERT_NE(sink.port, 0);
  Host h;
  int32_t ref = OpenTo(h, sink.port);
  ASSERT_NE(ref, 0);
  // Pieces of 40000 and 32768 do not fit a text's 16-bit length; 20000 fits, but its CRs
  // converted do not.
  EXPECT_EQ(SendFile(h, ref, file, 4, 40000), 0);
  EXPECT_EQ(SendFile(h, ref, file, 4, 32768, 5 * 1024 * 1024 - 7, 0), 0);
  EXPECT_EQ(SendFile(h, ref, file, 4, 20000, 5 * 1024 * 1024, 0), 0);
  EXPECT_EQ(SendFile(h, ref, file, 4, 0, 10, 20), 0);  // default text piece
  // Base64 continues across pieces, the default ones and those asked for.
  EXPECT_EQ(SendFile(h, ref, file, 128, 0, 0, 100000), 0);
  EXPECT_EQ(SendFile(h, ref, file, 128, 1000, 0, 5000), 0);
  EXPECT_EQ(nettest::Release(h, ref), 0);
  ASSERT_TRUE(sink.Finish());

  std::string sent = data + data.substr(5 * 1024 * 1024 - 7) + data.substr(5 * 1024 * 1024) + data.substr(10, 10);
  std::string expected = ConversionsActive() ? ExpandCr(sent) + Base64NoPadding(data.substr(0, 100000)) +
                                                   Base64NoPadding(data.substr(0, 5000))
                                             : sent + data.substr(0, 100000) + data.substr(0, 5000);
  std::string got = ReadFile(dir / "got.bin");
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected);
}

TEST(SendFile, OpenFailuresGiveFileSystemCodesAndLeakNothing) {
  TempDir dir;
  uint16_t port = 0;
  int listener = nettest::ListenRaw(&port);
  Host h;
  int32_t ref = OpenTo(h, port);
  ASSERT_NE(ref, 0);
  int fds = OpenFdCount();
  int handles = platform::LiveHandleCount();
  EXPECT_EQ(SendFile(h, ref, dir / "missing.txt"), -43);
  EXPECT_EQ(SendFile(h, ref, dir / "no-folder/missing.txt"), -120);
  EXPECT_EQ(SendFile(h, ref, dir.path.string()), -49);  // a folder
  EXPECT_EQ(SendFile(h, ref, std::string(300, 'x')), -43);  // too long: the empty path
  EXPECT_EQ(SendFile(h, ref + 1, dir / "missing.txt"), -1);
  EXPECT_EQ(SendFile(h, 0, dir / "missing.txt"), -1);
  EXPECT_EQ(OpenFdCount(), fds);
  EXPECT_EQ(platform::LiveHandleCount(), handles);
  nettest::Release(h, ref);
  close(listener);
}

TEST(ReceiveFile, WritesAppendsAndReleases) {
  TempDir dir;
  const std::string data = Pattern(3 * 1024 * 1024 + 7, 3);
  WriteFile(dir / "source.bin", data);
  Host h;
  int fds = OpenFdCount();
  {
    // The peer sends and closes: the receive ends at the close and releases the stream.
    Peer source(kSourceScript, dir / "source.bin");
    int32_t ref = OpenTo(h, source.port);
    ASSERT_NE(ref, 0);
    int32_t open = OpenStreamCount(h);
    FileReceipt r = ReceiveFile(h, ref, dir / "got.bin", 0, 0, 0);
    EXPECT_FALSE(r.written) << "a transfer leaves the result as it came";
    EXPECT_TRUE(ReadFile(dir / "got.bin") == data);
    EXPECT_EQ(nettest::State(h, ref), -1);
    EXPECT_EQ(OpenStreamCount(h), open - 1);
    EXPECT_TRUE(source.Finish());
  }
  {
    // Flag 1 appends to what the file holds; flag 2 keeps the stream.
    WriteFile(dir / "small.bin", "tail");
    Peer source(kSourceScript, dir / "small.bin");
    int32_t ref = OpenTo(h, source.port);
    ASSERT_NE(ref, 0);
    WriteFile(dir / "append.bin", "head-");
    ReceiveFile(h, ref, dir / "append.bin", 1 | 2, 0, 0);
    EXPECT_EQ(ReadFile(dir / "append.bin"), "head-tail");
    EXPECT_EQ(nettest::State(h, ref), 14);
    EXPECT_EQ(nettest::Release(h, ref), 0);
    EXPECT_TRUE(source.Finish());
  }
  {
    // Without flag 1 the bytes replace what the file held: no old tail stays behind.
    Peer source(kSourceScript, dir / "small.bin");
    int32_t ref = OpenTo(h, source.port);
    ASSERT_NE(ref, 0);
    WriteFile(dir / "over.bin", "0123456789");
    ReceiveFile(h, ref, dir / "over.bin", 0, 0, 0);
    EXPECT_EQ(ReadFile(dir / "over.bin"), "tail");
    EXPECT_TRUE(source.Finish());
  }
  EXPECT_EQ(OpenFdCount(), fds);
}

TEST(ReceiveFile, StopsAtTheByteLimit) {
  TempDir dir;
  const std::string data = Pattern(100000, 8);
  WriteFile(dir / "source.bin", data);
  Peer source(kSourceScript, dir / "source.bin", "hold");
  Host h;
  int32_t ref = OpenTo(h, source.port);
  ASSERT_NE(ref, 0);
  ReceiveFile(h, ref, dir / "got.bin", 2, 0, 30001);
  EXPECT_TRUE(ReadFile(dir / "got.bin") == data.substr(0, 30001));
  // The rest stays in the stream.
  Value rest = Value::Blob("");
  EXPECT_EQ(ReceiveBlob(h, ref, rest, 100000 - 30001, 2, "", -1), 100000 - 30001);
  EXPECT_TRUE(rest.Bytes() == data.substr(30001));
  EXPECT_EQ(nettest::Release(h, ref), 0);
  EXPECT_TRUE(source.Finish());
}

TEST(ReceiveFile, EndsAfterTheIdleTimeOut) {
  TempDir dir;
  WriteFile(dir / "source.bin", Pattern(5000, 4));
  Peer source(kSourceScript, dir / "source.bin", "hold");
  Host h(TestClockOptions());
  int32_t ref = nettest::Open(h, "127.0.0.1", source.port);
  ASSERT_NE(ref, 0);
  // The peer's bytes are there before the receive starts its idle count.
  ASSERT_TRUE(AwaitBytes(h, ref, 5000));
  uint32_t before = platform::TickCount();
  ReceiveFile(h, ref, dir / "got.bin", 0, 2, 0);
  uint32_t waited = platform::TickCount() - before;
  EXPECT_EQ(ReadFile(dir / "got.bin").size(), 5000u);
  EXPECT_GE(waited, 120u);
  EXPECT_LT(waited, 140u);
  EXPECT_EQ(nettest::State(h, ref), -1) << "released without flag 2";
  EXPECT_TRUE(source.Finish());
}

TEST(ReceiveFile, NothingLostWhenMemoryRunsShortWhileConverting) {
  if (!ConversionsActive()) GTEST_SKIP() << "the conversion options pass text through here";
  // As for a BLOB: each allocation of a converting receive fails in turn; the file and
  // what the next receive takes hold all of the data, once.
  TempDir dir;
  Host h(TestClockOptions());
  RawPair pair(h);
  ASSERT_NE(pair.ref, 0);
  const std::string data = "QUJD\r\nREVG\r\nR0g", expected = "ABCDEFGH";
  for (int64_t nth = 1;; ++nth) {
    pair.Send(data);
    ASSERT_TRUE(AwaitBytes(h, pair.ref, int32_t(data.size())));
    WriteFile(dir / "got.txt", "");
    platform::SetAllocationFailure(nth);
    ReceiveFile(h, pair.ref, dir / "got.txt", 2, 1, 0, 256 | 8);
    const bool failed = platform::AllocationCount() >= nth;
    platform::SetAllocationFailure(0);
    Value rest = Value::Blob("");
    ReceiveBlob(h, pair.ref, rest, 0, 2, "", 10, 256 | 8);
    ASSERT_EQ(ReadFile(dir / "got.txt") + rest.Bytes(), expected) << "allocation " << nth;
    if (!failed) break;
  }
  nettest::Release(h, pair.ref);
}

TEST(ReceiveFile, UnopenableFileAndRejectedReference) {
  TempDir dir;
  uint16_t port = 0;
  int listener = nettest::ListenRaw(&port);
  Host h;
  int32_t ref = OpenTo(h, port);
  ASSERT_NE(ref, 0);
  FileReceipt r = ReceiveFile(h, ref, dir / "no-folder/x.bin", 0, 0, 0);
  EXPECT_TRUE(r.written);
  EXPECT_EQ(r.result, -1);
  EXPECT_EQ(nettest::State(h, ref), 8) << "a transfer that cannot start keeps the stream";
  r = ReceiveFile(h, 1000, dir / "x.bin", 0, 0, 0);
  EXPECT_TRUE(r.written);
  EXPECT_EQ(r.result, -1);

  // A write that fails (a full disk) is reported, not passed off as a transfer.
  int peer = accept(listener, nullptr, nullptr);
  ASSERT_EQ(write(peer, "lost", 4), 4);
  ASSERT_TRUE(AwaitBytes(h, ref, 4));
  r = ReceiveFile(h, ref, "/dev/full", 2, 0, 0);
  EXPECT_TRUE(r.written);
  EXPECT_EQ(r.result, -1);
  nettest::Release(h, ref);
  close(peer);
  close(listener);
}

TEST(ConvertBytes, PiecesThatOutgrowATextAreConvertedWhole) {
  if (!ConversionsActive()) GTEST_SKIP() << "the conversion options pass text through here";
  std::string in = std::string(20000, '\r') + "x\r";
  std::string out;
  ASSERT_TRUE(vrx::ConvertBytes(in, 4, out));
  EXPECT_EQ(out, ExpandCr(in));
  // Base64 without padding continues across the cuts.
  std::string big(30000, 'A'), encoded;
  ASSERT_TRUE(vrx::ConvertBytes(big, 0x80, encoded));
  EXPECT_EQ(encoded.size(), 40000u);
  EXPECT_EQ(encoded.find_first_not_of("QUFB"), std::string::npos);
  // Every byte an entity: four times a text.
  std::string html;
  ASSERT_TRUE(vrx::ConvertBytes(std::string(32767, '<'), 0x10, html));
  EXPECT_EQ(html.size(), 4u * 32767);
  EXPECT_EQ(html.substr(0, 8), "&lt;&lt;");
}

}  // namespace
}  // namespace transfertest
