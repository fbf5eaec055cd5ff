#include "helpers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "codecs/text_codecs.h"
#include "platform/memory.h"

namespace codectest {

OwnedText::OwnedText(std::string_view bytes) : t(vrx::NewText(bytes)) {}
OwnedText::~OwnedText() { platform::DisposeHandle(t.handle); }
std::string OwnedText::Bytes() const { return std::string(vrx::TextView(t)); }

std::string Take(vrx::TextValue result) {
  // Packed fields are copied out before the checks take references to them.
  vrx::Handle handle = result.handle;
  int32_t length = result.length;
  EXPECT_NE(handle, 0u);
  EXPECT_EQ(platform::HandleSize(handle), length);
  std::string bytes(vrx::TextView(result));
  platform::DisposeHandle(result.handle);
  return bytes;
}

std::string RandomText(std::mt19937& rng, size_t n, std::string_view alphabet,
                       const std::vector<std::string>& tokens) {
  std::string s;
  while (s.size() < n) {
    if (!tokens.empty() && rng() % 5 == 0) {
      s += tokens[rng() % tokens.size()];
    } else if (alphabet.empty()) {
      s.push_back(char(rng() & 0xFF));
    } else {
      s.push_back(alphabet[rng() % alphabet.size()]);
    }
  }
  s.resize(n);
  return s;
}

namespace {
std::string TempPath(const char* tag) {
  std::string path = std::string("/tmp/vrx_codecs_") + tag + "_XXXXXX";
  std::vector<char> buf(path.begin(), path.end());
  buf.push_back('\0');
  int fd = mkstemp(buf.data());
  if (fd >= 0) close(fd);
  return buf.data();
}
void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}
}  // namespace

std::string RunPython(const std::string& script, const std::string& input, bool* ok) {
  std::string py = TempPath("py"), in = TempPath("in"), out = TempPath("out");
  WriteFile(py, "import sys\n" + script);
  WriteFile(in, input);
  std::string cmd = "timeout 60 /usr/bin/python3 " + py + " " + in + " " + out;
  *ok = std::system(cmd.c_str()) == 0;
  std::string result = ReadFile(out);
  std::remove(py.c_str());
  std::remove(in.c_str());
  std::remove(out.c_str());
  return result;
}

}  // namespace codectest
