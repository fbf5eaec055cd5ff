// Recorded cipher vectors: every algorithm x mode, keys of every length around the
// supported sizes (none, short, odd, exact, too long), IVs absent, short, exact and long,
// data of whole and partial blocks. The bytes are what 4D databases already hold, so they
// must never change. With VRX_RECORD_CIPHER_VECTORS=PATH the test writes the file anew
// from the current implementation instead of checking it.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "tests/support.h"
#include "platform/memory.h"
#include "crypto/ciphers.h"

namespace {

constexpr const char* kVectorFile = VRX_SOURCE_DIR "/tests/crypto/cipher_vectors.txt";

struct Vector {
  int32_t algorithm = 0, mode = 0;
  std::string key, data;
  bool hasIv = false;
  std::string iv;
  int32_t encryptCode = 0, decryptCode = 0;
  std::string encrypted, decrypted;
};

// "x" + lower-case hex, so that an empty field is still a field.
std::string Field(const std::string& bytes) { return "x" + vrxtest::Hex(bytes); }
std::string Unfield(const std::string& f) { return vrxtest::Unhex(f.substr(1)); }

int32_t Crypt(bool encrypt, const Vector& v, std::string* out) {
  platform::Handle h = platform::NewHandle(int32_t(v.data.size()));
  if (!v.data.empty()) std::memcpy(platform::HandleAddress(h), v.data.data(), v.data.size());
  auto bytes = [](const std::string& s) {
    return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  };
  std::span<const uint8_t> iv = bytes(v.iv);
  int32_t code = vrx::CryptHandle(encrypt, h, bytes(v.key), v.algorithm, v.mode,
                                  v.hasIv ? &iv : nullptr, 0x7FFFFFFF);
  out->assign(reinterpret_cast<const char*>(platform::HandleAddress(h)),
              size_t(platform::HandleSize(h)));
  platform::DisposeHandle(h);
  return code;
}

std::vector<Vector> Inputs() {
  std::mt19937 random(1904);
  auto bytes = [&](size_t n) {
    std::string s(n, '\0');
    for (char& c : s) c = char(random());  // high bytes too: some key schedules sign-extend
    return s;
  };
  const int32_t algorithms[] = {1, 2, 3, 4, 8, 10, 14, 15, 16, 28};
  const int32_t modes[] = {0, 1, 2, 3, 4, 5, 7};
  const size_t keyLengths[] = {0, 1, 3, 5, 7, 8, 9, 10, 11, 12, 13, 14,
                               15, 16, 17, 20, 24, 25, 31, 32, 33, 55, 56, 57};
  const size_t dataLengths[] = {0, 1, 5, 8, 12, 13, 16, 17, 24, 31, 33, 48};
  std::vector<Vector> out;
  size_t n = 0;
  auto add = [&](int32_t a, int32_t m, size_t keyLength, int ivLength, size_t dataLength) {
    Vector v;
    v.algorithm = a;
    v.mode = m;
    v.key = bytes(keyLength);
    v.hasIv = ivLength >= 0;
    if (v.hasIv) v.iv = bytes(size_t(ivLength));
    v.data = bytes(dataLength);
    out.push_back(v);
  };
  for (int32_t a : algorithms) {
    int b = std::max(vrx::CipherBlockSize(a), 8);
    for (int32_t m : modes) {
      if (a == 4 || m == 7) {  // unknown algorithm, unknown mode: refused whatever else
        add(a, m, 8, b, 16);
        continue;
      }
      for (size_t k : keyLengths) add(a, m, k, b, dataLengths[n++ % std::size(dataLengths)]);
      // IVs: none, short, long; the key of a usual size.
      for (int iv : {-1, 3, 40}) add(a, m, 16, iv, dataLengths[n++ % std::size(dataLengths)]);
      // Long enough to chain many blocks and to turn the stream cipher's rotor over.
      add(a, m, 16, b, 300);
    }
  }
  return out;
}

void Record(const char* path) {
  std::ofstream f(path);
  f << "# algorithm mode key iv(- none) data  encrypt-code result  decrypt-code result\n";
  for (Vector v : Inputs()) {
    v.encryptCode = Crypt(true, v, &v.encrypted);
    v.decryptCode = Crypt(false, v, &v.decrypted);
    f << v.algorithm << ' ' << v.mode << ' ' << Field(v.key) << ' '
      << (v.hasIv ? Field(v.iv) : "-") << ' ' << Field(v.data) << ' ' << v.encryptCode << ' '
      << Field(v.encrypted) << ' ' << v.decryptCode << ' ' << Field(v.decrypted) << '\n';
  }
}

std::vector<Vector> Load() {
  std::ifstream f(kVectorFile);
  std::vector<Vector> out;
  std::string line;
  while (std::getline(f, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    Vector v;
    std::string key, iv, data, encrypted, decrypted;
    in >> v.algorithm >> v.mode >> key >> iv >> data >> v.encryptCode >> encrypted >>
        v.decryptCode >> decrypted;
    v.key = Unfield(key);
    v.hasIv = iv != "-";
    if (v.hasIv) v.iv = Unfield(iv);
    v.data = Unfield(data);
    v.encrypted = Unfield(encrypted);
    v.decrypted = Unfield(decrypted);
    out.push_back(v);
  }
  return out;
}

TEST(CipherVectors, RecordedBytesStayTheSame) {
  if (const char* path = std::getenv("VRX_RECORD_CIPHER_VECTORS")) {
    Record(path);
    GTEST_SKIP() << "recorded " << path;
  }
  std::vector<Vector> vectors = Load();
  ASSERT_EQ(vectors.size(), Inputs().size()) << kVectorFile;
  int failures = 0;
  for (size_t i = 0; i < vectors.size() && failures < 10; ++i) {
    const Vector& v = vectors[i];
    std::string encrypted, decrypted;
    int32_t encryptCode = Crypt(true, v, &encrypted);
    int32_t decryptCode = Crypt(false, v, &decrypted);
    bool same = encryptCode == v.encryptCode && encrypted == v.encrypted &&
                decryptCode == v.decryptCode && decrypted == v.decrypted;
    if (!same) ++failures;
    EXPECT_TRUE(same) << "line " << i + 2 << ": algorithm " << v.algorithm << " mode "
                      << v.mode << " key " << v.key.size() << " bytes, iv "
                      << (v.hasIv ? std::to_string(v.iv.size()) : "none") << ", data "
                      << v.data.size() << " bytes: encrypt " << encryptCode << " "
                      << vrxtest::Hex(encrypted) << ", decrypt " << decryptCode << " "
                      << vrxtest::Hex(decrypted);
  }
}

}  // namespace
