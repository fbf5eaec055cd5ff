#include <nettle/des.h>

#include <cstring>

#include "tests/support.h"
#include "host/host.h"
#include "platform/memory.h"
#include "crypto/ciphers.h"
#include "crypto/threeway.h"

using namespace vrx;
using vrxtest::Hex;
using vrxtest::Unhex;

namespace {

std::span<const uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

// Runs the whole command on a fresh handle holding data; returns the code, data updated.
int32_t Crypt(bool encrypt, std::string* data, const std::string& key, int32_t algorithm,
              int32_t mode, const std::string& iv) {
  platform::Handle h = platform::NewHandle(int32_t(data->size()));
  if (!data->empty()) std::memcpy(platform::HandleAddress(h), data->data(), data->size());
  std::span<const uint8_t> ivSpan = Bytes(iv);
  int32_t code = CryptHandle(encrypt, h, Bytes(key), algorithm, mode, &ivSpan, 0x7FFFFFFF);
  data->assign(reinterpret_cast<const char*>(platform::HandleAddress(h)),
               size_t(platform::HandleSize(h)));
  platform::DisposeHandle(h);
  return code;
}

TEST(ThreeWay, DesignersReferenceVectors) {
  // Words as the reference program numbers them: a[0], a[1], a[2].
  struct {
    uint32_t key[3], plain[3], cipher[3];
  } vectors[] = {
      {{0, 0, 0}, {1, 1, 1}, {0x4059c76e, 0x83ae9dc4, 0xad21ecf7}},
      {{6, 5, 4}, {3, 2, 1}, {0xd2f05b5e, 0xd6144138, 0xcab920cd}},
      {{0xdef01234, 0x456789ab, 0xbcdef012},
       {0x23456789, 0x9abcdef0, 0x01234567},
       {0x0aa55dbb, 0x9cdddb6d, 0x7cdb76b2}},
      {{0xd2f05b5e, 0xd6144138, 0xcab920cd},
       {0x4059c76e, 0x83ae9dc4, 0xad21ecf7},
       {0x478ea871, 0x6b13f17c, 0x15b155ed}},
  };
  for (auto& v : vectors) {
    ThreeWayKey k;
    ThreeWaySetKey(&k, v.key);
    uint32_t a[3] = {v.plain[0], v.plain[1], v.plain[2]};
    ThreeWayEncryptWords(k, a);
    EXPECT_EQ(a[0], v.cipher[0]);
    EXPECT_EQ(a[1], v.cipher[1]);
    EXPECT_EQ(a[2], v.cipher[2]);
    ThreeWayDecryptWords(k, a);
    EXPECT_EQ(a[0], v.plain[0]);
    EXPECT_EQ(a[1], v.plain[1]);
    EXPECT_EQ(a[2], v.plain[2]);
  }
}

TEST(ThreeWay, BytesAsLibmcryptMapsThem) {
  // libmcrypt's own 3-Way check: key bytes 10, 12, 14, ..., plain text bytes 0..11.
  std::string key, plain;
  for (int j = 0; j < 12; ++j) {
    key += char(j * 2 + 10);
    plain += char(j);
  }
  std::string data = plain;
  ASSERT_EQ(Crypt(true, &data, key, 3, kModeEcb, ""), 0);
  EXPECT_EQ(Hex(data), "46823287358d68f6e034ca62");
  ASSERT_EQ(Crypt(false, &data, key, 3, kModeEcb, ""), 0);
  EXPECT_EQ(data, plain);
  // A short key is extended with zero bytes; none or a longer one is refused.
  std::string a = plain, b = plain;
  EXPECT_EQ(Crypt(true, &a, "short", 3, kModeCbc, "iv"), 0);
  EXPECT_EQ(Crypt(true, &b, std::string("short\0\0\0\0\0\0\0", 12), 3, kModeCbc, "iv"), 0);
  EXPECT_EQ(a, b);
  std::string c = plain;
  EXPECT_EQ(Crypt(true, &c, "", 3, kModeCbc, ""), -1);
  EXPECT_EQ(Crypt(true, &c, "thirteen byte", 3, kModeCbc, ""), -1);
  EXPECT_EQ(Crypt(true, &c, key, 3, kModeStream, ""), -1);
  EXPECT_EQ(c, plain);
}

TEST(ThreeWay, RoundTripsInEveryMode) {
  std::mt19937 rng(4);
  std::string key = vrxtest::RandomBytes(rng, 12);
  for (int32_t mode : {kModeCbc, kModeEcb, kModeCfb, kModeOfb, kModeNofb}) {
    for (size_t n : {1, 12, 25, 100}) {
      std::string plain = vrxtest::RandomBytes(rng, n), data = plain;
      ASSERT_EQ(Crypt(true, &data, key, 3, mode, "twelve bytes"), 0);
      EXPECT_EQ(data.size(), (n + 11) / 12 * 12);
      EXPECT_NE(data.substr(0, n), plain);
      ASSERT_EQ(Crypt(false, &data, key, 3, mode, "twelve bytes"), 0);
      EXPECT_EQ(data, plain + std::string(data.size() - n, '\0')) << mode;
    }
  }
}

// DES, 3DES, CAST-128 and Blowfish in every block mode against PyCryptodome. CFB and
// OFB feed back 8 bits; nOFB is full-block OFB.
TEST(Ciphers, InteroperateWithPyCryptodome) {
  const char* script = R"PY(
import sys
from Cryptodome.Cipher import DES, DES3, CAST, Blowfish
MODS = {1: DES, 2: DES3, 8: CAST, 14: Blowfish, 15: Blowfish, 16: Blowfish}
for line in sys.stdin:
    alg, mode, key, iv, data = line.split(',')
    alg, mode = int(alg), int(mode)
    key, iv, data = bytes.fromhex(key), bytes.fromhex(iv), bytes.fromhex(data.strip())
    m = MODS[alg]
    data += b'\0' * (-len(data) % 8)
    iv = (iv + b'\0' * 8)[:8]
    if mode == 0: out = m.new(key, m.MODE_CBC, iv).encrypt(data)
    elif mode == 1: out = m.new(key, m.MODE_ECB).encrypt(data)
    elif mode == 2: out = m.new(key, m.MODE_CFB, iv, segment_size=8).encrypt(data)
    elif mode == 4: out = m.new(key, m.MODE_OFB, iv).encrypt(data)
    else:
        ecb, reg, out = m.new(key, m.MODE_ECB), bytearray(iv), bytearray()
        for b in data:
            k = ecb.encrypt(bytes(reg))[0]
            out.append(b ^ k)
            reg = reg[1:] + bytes([k])
        out = bytes(out)
    print(out.hex())
)PY";
  struct Case {
    int32_t algorithm, mode;
    std::string key, iv, data;
  };
  std::vector<Case> cases;
  std::mt19937 rng(11);
  const std::pair<int32_t, size_t> algorithms[] = {{1, 8}, {2, 24}, {8, 16}, {14, 16}, {15, 24}, {16, 32}};
  for (auto [algorithm, keySize] : algorithms)
    for (int32_t mode = 0; mode <= 4; ++mode)
      for (size_t n : {size_t(1), size_t(10), size_t(16), size_t(rng() % 200)}) {
        // IVs of 3, 8 and 20 bytes: extended with zeros or cut to the block size.
        size_t ivSize = n == 1 ? 3 : (n == 10 ? 20 : 8);
        cases.push_back({algorithm, mode, vrxtest::RandomBytes(rng, keySize),
                         vrxtest::RandomBytes(rng, ivSize), vrxtest::RandomBytes(rng, n)});
      }
  std::string input;
  for (const Case& c : cases)
    input += std::to_string(c.algorithm) + "," + std::to_string(c.mode) + "," + Hex(c.key) + "," +
             Hex(c.iv) + "," + Hex(c.data) + "\n";
  vrxtest::TempDir dir;
  auto expected = vrxtest::Lines(vrxtest::RunPython(dir, script, input));
  ASSERT_EQ(expected.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "algorithm " << c.algorithm << " mode " << c.mode
                                    << " length " << c.data.size());
    std::string data = c.data;
    ASSERT_EQ(Crypt(true, &data, c.key, c.algorithm, c.mode, c.iv), 0);
    EXPECT_EQ(Hex(data), expected[i]);
    ASSERT_EQ(Crypt(false, &data, c.key, c.algorithm, c.mode, c.iv), 0);
    EXPECT_EQ(data, c.data + std::string(data.size() - c.data.size(), '\0'));
  }
}

TEST(Ciphers, TwofishAndEnigmaRoundTrip) {
  std::mt19937 rng(12);
  for (int32_t mode = 0; mode <= 4; ++mode) {
    std::string plain = vrxtest::RandomBytes(rng, 50), data = plain;
    ASSERT_EQ(Crypt(true, &data, "sixteen byte key", 10, mode, "iv"), 0);
    EXPECT_EQ(data.size(), 64u);
    ASSERT_EQ(Crypt(false, &data, "sixteen byte key", 10, mode, "iv"), 0);
    EXPECT_EQ(data, plain + std::string(14, '\0'));
  }
  // The stream cipher takes any length and adds nothing; it has no block mode.
  std::string plain = "seventeen bytes!!", data = plain;
  ASSERT_EQ(Crypt(true, &data, "enigmakey", 28, kModeStream, ""), 0);
  EXPECT_EQ(data.size(), plain.size());
  EXPECT_NE(data, plain);
  ASSERT_EQ(Crypt(false, &data, "enigmakey", 28, kModeStream, ""), 0);
  EXPECT_EQ(data, plain);
  EXPECT_EQ(Crypt(true, &data, "enigmakey", 28, kModeCbc, ""), -1);
  EXPECT_EQ(Crypt(true, &data, "enigmakey", 1, kModeStream, ""), -1);
  EXPECT_EQ(data, plain);
}

TEST(Ciphers, PaddingAndRefusals) {
  std::string data = "ten bytes!";
  ASSERT_EQ(Crypt(true, &data, "deskey!!", 1, kModeCbc, "12345678"), 0);
  EXPECT_EQ(data.size(), 16u);
  ASSERT_EQ(Crypt(false, &data, "deskey!!", 1, kModeCbc, "12345678"), 0);
  EXPECT_EQ(data, std::string("ten bytes!") + std::string(6, '\0'));
  data = "sixteen bytes!!!";
  ASSERT_EQ(Crypt(true, &data, "deskey!!", 1, kModeCbc, ""), 0);
  EXPECT_EQ(data.size(), 16u);
  // Decryption takes the data as it is: a partial last block stays as it was.
  std::string odd = data.substr(0, 12);
  ASSERT_EQ(Crypt(false, &odd, "deskey!!", 1, kModeCbc, ""), 0);
  EXPECT_EQ(odd.substr(0, 8), "sixteen ");
  EXPECT_EQ(odd.substr(8), data.substr(8, 4));
  // ECB ignores the IV entirely, an empty one included.
  std::string e1 = "ecb data", e2 = "ecb data";
  ASSERT_EQ(Crypt(true, &e1, "deskey!!", 1, kModeEcb, ""), 0);
  ASSERT_EQ(Crypt(true, &e2, "deskey!!", 1, kModeEcb, "anything at all"), 0);
  EXPECT_EQ(e1, e2);

  std::string keep = "unchanged";
  EXPECT_EQ(Crypt(true, &keep, "deskey!!", 4, kModeCbc, ""), -2);
  EXPECT_EQ(Crypt(true, &keep, "deskey!!", 0, kModeCbc, ""), -2);
  EXPECT_EQ(Crypt(true, &keep, "deskey!!", 1, 6, ""), -1);
  EXPECT_EQ(Crypt(true, &keep, "deskey!!", 1, kModeStream, ""), -1);
  EXPECT_EQ(Crypt(true, &keep, "nine byte", 1, kModeCbc, ""), -1);  // key too long
  EXPECT_EQ(Crypt(true, &keep, "", 14, kModeCbc, ""), -1);           // no key
  EXPECT_EQ(keep, "unchanged");
  std::span<const uint8_t> iv;
  EXPECT_EQ(CryptHandle(true, 0, Bytes("deskey!!"), 1, kModeCbc, &iv, 100), -3);
  EXPECT_EQ(CryptHandle(true, 0, Bytes("deskey!!"), 4, kModeCbc, &iv, 100), -3);
}

class CipherCommands : public ::testing::Test {
 protected:
  host::Host h;
  host::CallResult Run(const char* name, host::Value* data, const std::string& key,
                       int32_t algorithm, int32_t mode, host::Value* iv) {
    host::Value k = host::Value::Text(key), a = host::Value::Long(algorithm),
                m = host::Value::Long(mode);
    std::vector<host::Value*> ps{data, &k, &a, &m, iv};
    return h.Call(name, ps);
  }
};

TEST_F(CipherCommands, TextsAndBlobsInPlace) {
  ASSERT_TRUE(h.loaded()) << h.error();
  host::Value iv = host::Value::Text("abc");
  host::Value text = host::Value::Text("ten bytes!");
  EXPECT_EQ(Run("VRX_EncryptText", &text, "blowfishkey", 14, kModeCbc, &iv).value, 0);
  EXPECT_EQ(text.Bytes().size(), 16u);
  std::string direct = "ten bytes!";
  ASSERT_EQ(Crypt(true, &direct, "blowfishkey", 14, kModeCbc, std::string("abc\0\0\0\0\0", 8)), 0);
  EXPECT_EQ(text.Bytes(), direct);
  EXPECT_EQ(iv.Bytes(), "abc");  // the caller's IV keeps its length and bytes
  EXPECT_EQ(Run("VRX_DecryptText", &text, "blowfishkey", 14, kModeCbc, &iv).value, 0);
  EXPECT_EQ(text.Bytes(), std::string("ten bytes!") + std::string(6, '\0'));

  host::Value blob = host::Value::Blob(std::string(1000, 'x'));
  host::Value noIv(Kind::Text);
  EXPECT_EQ(Run("VRX_EncryptBlob", &blob, "sixteen byte key", 10, kModeNofb, &noIv).value, 0);
  EXPECT_EQ(blob.Bytes().size(), 1008u);
  EXPECT_EQ(Run("VRX_DecryptBlob", &blob, "sixteen byte key", 10, kModeNofb, &noIv).value, 0);
  EXPECT_EQ(blob.Bytes(), std::string(1000, 'x') + std::string(8, '\0'));

  // Refusals leave data and IV as they were.
  host::Value longIv = host::Value::Text(std::string(20, 'v'));
  EXPECT_EQ(Run("VRX_EncryptBlob", &blob, "nine byte", 1, kModeCbc, &longIv).value, -1);
  EXPECT_EQ(Run("VRX_EncryptBlob", &blob, "deskey!!", 4, kModeCbc, &longIv).value, -2);
  EXPECT_EQ(blob.Bytes().size(), 1008u);
  EXPECT_EQ(longIv.Bytes(), std::string(20, 'v'));
  host::Value noBlob(Kind::Blob);
  noBlob.AdoptHandle(0);
  EXPECT_EQ(Run("VRX_EncryptBlob", &noBlob, "deskey!!", 1, kModeCbc, &longIv).value, -3);
  host::Value noText(Kind::Text);
  noText.AdoptHandle(0);
  EXPECT_EQ(Run("VRX_EncryptText", &noText, "deskey!!", 1, kModeCbc, &longIv).value, -3);
}

TEST_F(CipherCommands, TextThatWouldOutgrowATextIsRefused) {
  ASSERT_TRUE(h.loaded()) << h.error();
  host::Value iv = host::Value::Text("");
  std::string full(32767, 'q');
  host::Value text = host::Value::Text(full);
  EXPECT_EQ(Run("VRX_EncryptText", &text, "deskey!!", 1, kModeCbc, &iv).value, -1);
  EXPECT_EQ(text.Bytes(), full);
  // The stream cipher adds nothing, so a full text encrypts.
  EXPECT_EQ(Run("VRX_EncryptText", &text, "enigmakey", 28, kModeStream, &iv).value, 0);
  EXPECT_EQ(text.Bytes().size(), full.size());
}

}  // namespace
