// Shared by the fuzz targets: reading parameters off the front of an input, host texts
// that dispose of themselves, a scratch folder, and a check that stops the run loudly.
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "abi/abi.h"
#include "codecs/text_codecs.h"
#include "platform/memory.h"

namespace fuzz {

// The input as a sequence of parameters, then the rest as the bytes to parse. Reading
// past the end gives zeros, so every input is usable.
struct Input {
  const uint8_t* data;
  size_t size;
  uint8_t Byte() {
    if (!size) return 0;
    --size;
    return *data++;
  }
  uint16_t U16() { return uint16_t(Byte() | (Byte() << 8)); }
  int32_t I32() { return int32_t(uint32_t(U16()) | (uint32_t(U16()) << 16)); }
  // n bytes (fewer at the end).
  std::string_view Take(size_t n) {
    if (n > size) n = size;
    std::string_view s(reinterpret_cast<const char*>(data), n);
    data += n;
    size -= n;
    return s;
  }
  std::string_view Rest() { return Take(size); }
};

// Aborts with a message: libFuzzer and the replay both report it as a crash.
[[noreturn]] inline void Fail(const char* what, std::string_view detail = {}) {
  std::fprintf(stderr, "fuzz check failed: %s (%zu bytes of detail)\n", what, detail.size());
  std::fwrite(detail.data(), 1, detail.size() < 512 ? detail.size() : 512, stderr);
  std::fputc('\n', stderr);
  std::abort();
}
inline void Check(bool ok, const char* what, std::string_view detail = {}) {
  if (!ok) Fail(what, detail);
}

// A host text that disposes of its handle.
struct Text {
  vrx::TextValue t{0, 0};
  explicit Text(std::string_view bytes) : t(vrx::NewText(bytes)) {}
  explicit Text(vrx::TextValue adopted) : t(adopted) {}
  ~Text() { platform::DisposeHandle(t.handle); }
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  std::string Bytes() const { return std::string(vrx::TextView(t)); }
};

// The bytes of a codec result, disposing of its handle; the handle must be sized
// exactly to the length, as the commands hand it to 4D.
inline std::string Take(vrx::TextValue result) {
  platform::Handle handle = result.handle;
  int32_t length = result.length;
  Check(handle != 0, "a codec returned no handle");
  Check(platform::HandleSize(handle) == length, "a codec's handle is not sized to its length");
  std::string bytes(vrx::TextView(result));
  platform::DisposeHandle(handle);
  return bytes;
}

// Up to four methods named m0..m3, separated by zero bytes in the input, so that calls
// between them are resolved.
inline std::vector<std::pair<std::string, std::string>> MethodSources(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::pair<std::string, std::string>> sources;
  for (size_t at = 0; at <= rest.size() && sources.size() < 4;) {
    size_t zero = rest.find('\0', at);
    if (zero == std::string_view::npos) zero = rest.size();
    sources.emplace_back("m" + std::to_string(sources.size()), std::string(rest.substr(at, zero - at)));
    at = zero + 1;
  }
  return sources;
}

// Methods and classes from one input: a piece after the first that opens the way a
// class file does ("Class ", "Function ", "property ") is the class C<n> (n its place),
// where no method could begin, so that cs.C1.new() and the like run too.
struct Sources {
  std::vector<std::pair<std::string, std::string>> methods, classes;
};
inline Sources MethodsAndClasses(const uint8_t* data, size_t size) {
  Sources out;
  auto pieces = MethodSources(data, size);
  for (size_t i = 0; i < pieces.size(); ++i) {
    const std::string& text = pieces[i].second;
    bool isClass = i > 0 && (text.starts_with("Class ") || text.starts_with("Function ") ||
                             text.starts_with("property "));
    if (isClass) out.classes.emplace_back("C" + std::to_string(i), text);
    else out.methods.push_back(std::move(pieces[i]));
  }
  return out;
}

// A folder of this process under $TMPDIR (or /tmp) for targets that need files, made
// once and removed at exit. Campaigns point TMPDIR at a memory file system: these targets
// spend most of their time in file calls.
inline const std::string& ScratchDir() {
  static const std::string dir = [] {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/vrx-fuzz-XXXXXX";
    Check(mkdtemp(tmpl.data()) != nullptr, "no scratch folder", tmpl);
    std::string d = tmpl;
    static std::string removeCommand = "rm -rf '" + d + "'";
    std::atexit([] { (void)!std::system(removeCommand.c_str()); });
    return d;
  }();
  return dir;
}

}  // namespace fuzz
