#include "tests/support.h"
#include "host/host.h"
#include "crypto/digests.h"

using namespace vrx;
using vrxtest::Hex;

namespace {

std::span<const uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

std::string DigestOf(int32_t algorithm, const std::string& data) {
  int32_t ref = NewDigest(algorithm);
  EXPECT_NE(ref, 0);
  EXPECT_TRUE(UpdateDigest(ref, DigestFamily::General, Bytes(data)));
  std::string out;
  EXPECT_TRUE(FinishDigest(ref, DigestFamily::General, &out));
  return Hex(out);
}

const std::string kMillionA(1000000, 'a');
const std::string kDigits =
    "12345678901234567890123456789012345678901234567890123456789012345678901234567890";
const std::string kFips = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";

TEST(Digests, PublishedVectors) {
  struct Vector {
    int32_t algorithm;
    std::string input, hex;
  } vectors[] = {
      // RFC 1319
      {kDigestMd2, "", "8350e5a3e24c153df2275c9f80692773"},
      {kDigestMd2, "abc", "da853b0d3f88d99b30283a69e6ded6bb"},
      {kDigestMd2, "message digest", "ab4f496bfb2a530b219ff33031fe06b0"},
      {kDigestMd2, kDigits, "d5976f79d83d3a0dc9806c3c66f3efd8"},
      // RFC 1320
      {kDigestMd4, "", "31d6cfe0d16ae931b73c59d7e0c089c0"},
      {kDigestMd4, "abc", "a448017aaf21d8525fc10ae87aa6729d"},
      {kDigestMd4, "message digest", "d9130a8164549fe818874806e1c7014b"},
      {kDigestMd4, kDigits, "e33b4ddc9c38f2199c3e7b164fcc0536"},
      // RFC 1321
      {kDigestMd5, "", "d41d8cd98f00b204e9800998ecf8427e"},
      {kDigestMd5, "abc", "900150983cd24fb0d6963f7d28e17f72"},
      {kDigestMd5, "abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {kDigestMd5, kDigits, "57edf4a22be3c955ac49da2e2107b67a"},
      // FIPS 180 (SHA) and FIPS 180-1 (SHA-1)
      {kDigestSha0, "abc", "0164b8a914cd2a5e74c4f7ff082c4d97f1edf880"},
      {kDigestSha0, kFips, "d2516ee1acfa5baf33dfc1c471e438449ef134c8"},
      {kDigestSha0, kMillionA, "3232affa48628a26653b5aaa44541fd90d690603"},
      {kDigestSha1, "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {kDigestSha1, kFips, "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {kDigestSha1, kMillionA, "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
      // RIPEMD-160 authors' vectors
      {kDigestRipemd160, "", "9c1185a5c5e9fc54612808977ee8f548b2258d31"},
      {kDigestRipemd160, "abc", "8eb208f7e05d987a9b044a8e98c6b087f15a0bfc"},
      {kDigestRipemd160, "message digest", "5d0689ef49d2fae572b881b123a85ffa21595f36"},
      {kDigestRipemd160, kMillionA, "52783243c1697bdbe16d37f97f68f08325dc1528"},
      // zlib checksums, most significant byte first
      {kDigestCrc32, "abc", "352441c2"},
      {kDigestCrc32, "", "00000000"},
      {kDigestAdler32, "abc", "024d0127"},
      {kDigestAdler32, "", "00000001"},
  };
  for (const Vector& v : vectors) {
    SCOPED_TRACE(v.algorithm);
    EXPECT_EQ(DigestOf(v.algorithm, v.input), v.hex) << v.input.substr(0, 20);
    EXPECT_EQ(DigestSize(v.algorithm) * 2, int(v.hex.size()));
  }
}

TEST(Digests, PiecesEqualTheWhole) {
  std::mt19937 rng(5);
  std::string data = vrxtest::RandomBytes(rng, 300);
  for (int32_t a : {1, 2, 4, 5, 9, 10, 100, 101}) {
    std::string whole = DigestOf(a, data);
    for (size_t cut : {size_t(0), size_t(1), size_t(15), size_t(16), size_t(55), size_t(56),
                       size_t(63), size_t(64), size_t(65), size_t(128), size_t(299)}) {
      int32_t ref = NewDigest(a);
      UpdateDigest(ref, DigestFamily::General, Bytes(data.substr(0, cut)));
      // The rest in uneven pieces.
      for (size_t at = cut; at < data.size(); at += 7)
        UpdateDigest(ref, DigestFamily::General, Bytes(data.substr(at, 7)));
      std::string out;
      ASSERT_TRUE(FinishDigest(ref, DigestFamily::General, &out));
      EXPECT_EQ(Hex(out), whole) << a << " cut " << cut;
    }
  }
}

TEST(Digests, RejectsReferencesThatNameNoLiveContext) {
  int live = LiveDigestCount();
  EXPECT_EQ(NewDigest(3), 0);
  EXPECT_EQ(NewDigest(0), 0);
  EXPECT_EQ(NewDigest(-5), 0);
  EXPECT_EQ(NewDigest(102), 0);
  EXPECT_EQ(LiveDigestCount(), live);

  std::string out = "untouched";
  for (int32_t bad : {0, -1, 1, 12345, 0x7FFFFFFF}) {
    EXPECT_FALSE(UpdateDigest(bad, DigestFamily::General, Bytes("x")));
    EXPECT_FALSE(FinishDigest(bad, DigestFamily::General, &out));
    EXPECT_FALSE(FinishDigest(bad, DigestFamily::Md5Only, &out));
  }
  int32_t md5 = NewMd5Digest();
  int32_t general = NewDigest(kDigestMd5);
  // The families do not take each other's references.
  EXPECT_FALSE(UpdateDigest(md5, DigestFamily::General, Bytes("x")));
  EXPECT_FALSE(FinishDigest(md5, DigestFamily::General, &out));
  EXPECT_FALSE(FinishDigest(general, DigestFamily::Md5Only, &out));
  EXPECT_EQ(out, "untouched");
  ASSERT_TRUE(FinishDigest(md5, DigestFamily::Md5Only, &out));
  EXPECT_EQ(Hex(out), "d41d8cd98f00b204e9800998ecf8427e");
  // A finished reference stays dead even when its entry is reused.
  int32_t reused = NewDigest(kDigestSha1);
  EXPECT_NE(reused, md5);
  EXPECT_FALSE(UpdateDigest(md5, DigestFamily::Md5Only, Bytes("x")));
  EXPECT_FALSE(FinishDigest(md5, DigestFamily::Md5Only, &out));
  EXPECT_TRUE(FinishDigest(reused, DigestFamily::General, &out));
  EXPECT_TRUE(FinishDigest(general, DigestFamily::General, &out));
  EXPECT_EQ(LiveDigestCount(), live);
}

TEST(Digests, OutputForms) {
  std::string out;
  EXPECT_TRUE(FormatDigest(std::string("\x00\xab\x10", 3), 0, &out));
  EXPECT_EQ(out, std::string("\x00\xab\x10", 3));
  EXPECT_TRUE(FormatDigest(std::string("\x00\xab\x10", 3), 1, &out));
  EXPECT_EQ(out, "00ab10");
  EXPECT_FALSE(FormatDigest("x", 2, &out));
  EXPECT_FALSE(FormatDigest("x", -1, &out));
}

class DigestCommands : public ::testing::Test {
 protected:
  host::Host h;

  int32_t New(int32_t algorithm) {
    host::Value a = host::Value::Long(algorithm);
    std::vector<host::Value*> ps{&a};
    return h.Call("VRX_NewDigest", ps).value;
  }
  host::CallResult Finish(host::Value* ref, int32_t form, const char* name = "VRX_FinishDigest") {
    host::Value f = host::Value::Long(form);
    std::vector<host::Value*> ps{ref, &f};
    return h.Call(name, ps);
  }
};

TEST_F(DigestCommands, TextsAndBlobs) {
  ASSERT_TRUE(h.loaded()) << h.error();
  host::Value ref = host::Value::Long(New(kDigestSha1));
  for (const char* piece : {"ab", "c"}) {
    host::Value t = host::Value::Text(piece);
    std::vector<host::Value*> ps{&ref, &t};
    h.Call("VRX_UpdateDigest", ps);
  }
  host::CallResult r = Finish(&ref, 1);
  EXPECT_EQ(r.bytes, "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(ref.AsLong(), 0);

  // A 40000-byte BLOB goes in 16384-byte pieces and digests like the whole.
  std::mt19937 rng(9);
  std::string data = vrxtest::RandomBytes(rng, 40000);
  for (int32_t a : {1, 2, 4, 5, 9, 10, 100, 101}) {
    host::Value blobRef = host::Value::Long(New(a));
    host::Value blob = host::Value::Blob(data);
    std::vector<host::Value*> ps{&blobRef, &blob};
    h.Call("VRX_UpdateDigestBlob", ps);
    EXPECT_EQ(Finish(&blobRef, 1).bytes, DigestOf(a, data)) << a;
  }
  // An empty BLOB feeds nothing.
  host::Value crc = host::Value::Long(New(kDigestAdler32));
  host::Value empty = host::Value::Blob("");
  std::vector<host::Value*> ps{&crc, &empty};
  h.Call("VRX_UpdateDigestBlob", ps);
  EXPECT_EQ(Finish(&crc, 1).bytes, "00000001");
}

TEST_F(DigestCommands, RawMd5WithZeroBytesComesWhole) {
  ASSERT_TRUE(h.loaded()) << h.error();
  std::string input, digest;
  for (int i = 0; i < 1000 && digest.find('\0') == std::string::npos; ++i) {
    input = "zero " + std::to_string(i);
    int32_t r = NewDigest(kDigestMd5);
    UpdateDigest(r, DigestFamily::General, Bytes(input));
    FinishDigest(r, DigestFamily::General, &digest);
  }
  ASSERT_NE(digest.find('\0'), std::string::npos);
  std::vector<host::Value*> none;
  host::Value ref = host::Value::Long(h.Call("VRX_NewMD5", none).value);
  host::Value t = host::Value::Text(input);
  std::vector<host::Value*> ps{&ref, &t};
  h.Call("VRX_UpdateMD5", ps);
  host::CallResult r = Finish(&ref, 0, "VRX_FinishMD5");
  EXPECT_EQ(r.bytes.size(), 16u);
  EXPECT_EQ(r.bytes, digest);
  EXPECT_EQ(ref.AsLong(), 0);
}

TEST_F(DigestCommands, BadFormsAndBadReferences) {
  ASSERT_TRUE(h.loaded()) << h.error();
  host::Value ref = host::Value::Long(New(kDigestMd5));
  host::CallResult r = Finish(&ref, 2);
  EXPECT_TRUE(r.bytes.empty());
  EXPECT_EQ(ref.AsLong(), 0);

  EXPECT_EQ(New(3), 0);
  // The other family's reference, reference 0 and a finished one: nothing happens.
  std::vector<host::Value*> none;
  int32_t md5 = h.Call("VRX_NewMD5", none).value;
  host::Value other = host::Value::Long(md5);
  r = Finish(&other, 1);
  EXPECT_TRUE(r.bytes.empty());
  EXPECT_EQ(other.AsLong(), md5);
  host::Value zero = host::Value::Long(0);
  EXPECT_TRUE(Finish(&zero, 1, "VRX_FinishMD5").bytes.empty());
  EXPECT_EQ(Finish(&other, 1, "VRX_FinishMD5").bytes, "d41d8cd98f00b204e9800998ecf8427e");
  host::Value stale = host::Value::Long(md5);
  host::Value t = host::Value::Text("abc");
  std::vector<host::Value*> ps{&stale, &t};
  h.Call("VRX_UpdateMD5", ps);
  EXPECT_TRUE(Finish(&stale, 1, "VRX_FinishMD5").bytes.empty());
}

}  // namespace
