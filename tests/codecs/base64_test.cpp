#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <random>
#include <string>

#include "codecs/base64_paths.h"
#include "codecs/text_codecs.h"
#include "helpers.h"

using codectest::OwnedText;
using codectest::Take;
using vrx::Base64DecodeBytes;
using vrx::Base64EncodeBytes;
using vrx::Base64Path;

// Every test runs once per instruction-set path this processor has.
class Base64 : public testing::TestWithParam<Base64Path> {
 protected:
  void SetUp() override {
    if (!vrx::UseBase64Path(GetParam())) GTEST_SKIP() << "this processor lacks the path";
  }
  void TearDown() override { vrx::UseBase64Path(best_); }
  Base64Path best_ = vrx::CurrentBase64Path();
};
std::string PathName(const testing::TestParamInfo<Base64Path>& info) {
  static const char* const kNames[] = {"Scalar", "Ssse3", "Avx2", "Avx512"};
  return kNames[int(info.param)];
}
INSTANTIATE_TEST_SUITE_P(Paths, Base64,
                         testing::Values(Base64Path::Scalar, Base64Path::Ssse3, Base64Path::Avx2,
                                         Base64Path::Avx512),
                         PathName);

TEST_P(Base64, KnownVectorsAndPadding) {
  EXPECT_EQ(Base64EncodeBytes("", false), "");
  EXPECT_EQ(Base64EncodeBytes("", true), "");
  EXPECT_EQ(Base64EncodeBytes("Man", false), "TWFu");
  EXPECT_EQ(Base64EncodeBytes("A", false), "QQ");
  EXPECT_EQ(Base64EncodeBytes("A", true), "QQ==");
  EXPECT_EQ(Base64EncodeBytes("AB", false), "QUI");
  EXPECT_EQ(Base64EncodeBytes("AB", true), "QUI=");
  EXPECT_EQ(Base64EncodeBytes(std::string("\xFB\xFF\xBF", 3), false), "+/+/");
  // Never a line break, however long the output.
  EXPECT_EQ(Base64EncodeBytes(std::string(57, 'x'), false).size(), 76u);
  EXPECT_EQ(Base64EncodeBytes(std::string(60, 'x'), false).size(), 80u);
}

TEST_P(Base64, InputLimit) {
  std::string max(vrx::kBase64MaxInput, 'z');
  EXPECT_EQ(Base64EncodeBytes(max, false).size(), 32667u);
  EXPECT_EQ(Base64EncodeBytes(max, true).size(), 32668u);
  EXPECT_EQ(Base64EncodeBytes(max + "z", true), "");
  // Through host texts the limit applies to the text's length, and the input is intact.
  OwnedText in(max + "z");
  EXPECT_EQ(Take(vrx::Base64Encode(in.t, 1)), "");
  EXPECT_EQ(in.Bytes(), max + "z");
}

TEST_P(Base64, DecoderSkipsWhatIsNotInTheAlphabet) {
  EXPECT_EQ(Base64DecodeBytes("TW\r\nFu"), "Man");
  EXPECT_EQ(Base64DecodeBytes("QQ=="), "A");
  EXPECT_EQ(Base64DecodeBytes("QQ"), "A");
  EXPECT_EQ(Base64DecodeBytes("Q"), "");
  EXPECT_EQ(Base64DecodeBytes("QUI"), "AB");
  // "=" is skipped anywhere rather than ending the data.
  EXPECT_EQ(Base64DecodeBytes("QQ==QQ=="), std::string("\x41\x04\x10", 3));
  EXPECT_EQ(Base64DecodeBytes("\xC0T\x80W\xFF"
                              "F u"),
            "Man");
  EXPECT_EQ(Base64DecodeBytes("===="), "");
  // The low bits of the last character that no byte needs are ignored.
  EXPECT_EQ(Base64DecodeBytes("QR"), "A");
}

TEST_P(Base64, AgreesWithOpenSSLAndRoundTrips) {
  std::mt19937 rng(56);
  for (int round = 0; round < 300; ++round) {
    size_t n = round < 100 ? size_t(round) : rng() % 3000;
    std::string data = codectest::RandomText(rng, n);
    std::string padded = Base64EncodeBytes(data, true);
    std::string ref(4 * ((n + 2) / 3) + 1, '\0');
    int len = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(ref.data()),
                              reinterpret_cast<const unsigned char*>(data.data()), int(n));
    ref.resize(size_t(len));
    ASSERT_EQ(padded, ref) << "n=" << n;
    std::string bare = Base64EncodeBytes(data, false);
    EXPECT_EQ(bare, padded.substr(0, padded.find('=')));
    EXPECT_EQ(Base64DecodeBytes(padded), data);
    EXPECT_EQ(Base64DecodeBytes(bare), data);
    // Noise between the characters changes nothing.
    std::string noisy;
    for (char c : padded) {
      noisy.push_back(c);
      if (rng() % 4 == 0) noisy += "\r\n \x80=";
    }
    EXPECT_EQ(Base64DecodeBytes(noisy), data);
  }
}

// Long texts put every byte value at many positions inside the vector steps; the scalar
// path is the reference.
TEST_P(Base64, EveryByteInsideLongTextsDecodesAsOnTheScalarPath) {
  std::mt19937 rng(77);
  std::string clean = Base64EncodeBytes(codectest::RandomText(rng, 3000), false);
  std::vector<std::string> inputs;
  for (int b = 0; b < 256; ++b) {
    std::string s = clean;
    s[size_t(b) * 13 % s.size()] = char(b);
    inputs.push_back(s);
  }
  std::vector<std::string> results;
  for (const std::string& s : inputs) results.push_back(Base64DecodeBytes(s));
  ASSERT_TRUE(vrx::UseBase64Path(Base64Path::Scalar));
  for (size_t k = 0; k < inputs.size(); ++k) ASSERT_EQ(results[k], Base64DecodeBytes(inputs[k])) << "byte " << k;
}
