#include "walk_support.h"

#include "file_faults.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>

#include "tests/support.h"
#include "platform/files.h"

namespace walk {
namespace {

using host::Host;
using host::Value;
using vrx::Dir;
using vrx::Kind;

Arg Of(Arg::Type t) {
  Arg a;
  a.type = t;
  return a;
}
Arg Number(int32_t n) {
  Arg a = Of(Arg::Type::Number);
  a.number = n;
  return a;
}
Arg Bytes(std::string b, Arg::Type t = Arg::Type::Bytes) {
  Arg a = Of(t);
  a.bytes = std::move(b);
  return a;
}
Arg Path(std::string name) { return Bytes(std::move(name), Arg::Type::Path); }
Arg Longs(std::vector<int32_t> v) {
  Arg a = Of(Arg::Type::Longs);
  a.longs = std::move(v);
  return a;
}
Arg Date(int16_t y, int16_t m, int16_t d) {
  Arg a = Of(Arg::Type::Date);
  a.year = y, a.month = m, a.day = d;
  return a;
}

#define C(...) Shortage{false, {__VA_ARGS__}}
#define PARTIAL(...) Shortage{true, {__VA_ARGS__}}
#define N(n) Number(n)
#define X(s) Bytes(std::string(s, sizeof(s) - 1))
#define H(s) Bytes(vrxtest::Unhex(s))
#define PATH(s) Path(s)
#define NONE Arg{}
#define REF Of(Arg::Type::Ref)
#define PORT Of(Arg::Type::Port)
#define REFS Of(Arg::Type::Refs)
#define LONGS(...) Longs({__VA_ARGS__})
#define DATE(y, m, d) Date(y, m, d)
#define VRX_SAMPLE(sel, name, fixture, cleanup, codes, ...) \
  Sample{sel, #name, Fixture::fixture, Cleanup::cleanup, codes, {__VA_ARGS__}},

// What the peer of a Stream fixture sends before it ends its side.
const char kPeerBytes[] = "first line\r\nsecond line\r\nthe rest without an end";

constexpr uint32_t kLoopback = 0x7F000001;
constexpr int kWatchdogSeconds = 60;

vrxtest::TempDir& Folder() {
  static vrxtest::TempDir dir;
  return dir;
}

// The current folder for the length of a scope.
struct InFolder {
  std::filesystem::path old = std::filesystem::current_path();
  explicit InFolder(const std::filesystem::path& p) { std::filesystem::current_path(p); }
  ~InFolder() { std::filesystem::current_path(old); }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;
};

// ---- a run in progress, for the watchdog ----
char gRunning[256];

void OnWatchdog(int) {
  static const char prefix[] = "walk: a run did not end: ";
  (void)!write(2, prefix, sizeof prefix - 1);
  (void)!write(2, gRunning, strnlen(gRunning, sizeof gRunning));
  (void)!write(2, "\n", 1);
  abort();
}

int32_t CallLong(Host& h, std::string_view name, std::vector<Value*> ps) { return h.Call(name, ps).value; }

int RawSocket(int type, uint16_t* port) {
  int fd = socket(AF_INET, type | SOCK_CLOEXEC, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(kLoopback);
  socklen_t len = sizeof sa;
  if (bind(fd, reinterpret_cast<sockaddr*>(&sa), len) != 0 ||
      (type == SOCK_STREAM && listen(fd, 4) != 0) ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
    close(fd);
    return -1;
  }
  *port = ntohs(sa.sin_port);
  return fd;
}

// The fixture of one run: built before the call, gone with the host.
struct World {
  Host host{Host::Options{.pluginPath = {}, .testClock = true}};
  int32_t ref = 0;
  int32_t peerRef = 0;  // the SSL fixture's other end
  uint16_t port = 0;
  int peer = -1;
  ~World() {
    if (peer >= 0) close(peer);
  }

  int32_t AwaitState(int32_t state) {
    Value r = Value::Long(ref), code = Value::Long(0);
    int32_t s = CallLong(host, "VRX_GetStreamState", {&r, &code});
    for (int i = 0; i < 600 && s >= 0 && s < state; ++i) {
      host.Delay(1);
      s = CallLong(host, "VRX_GetStreamState", {&r, &code});
    }
    return s;
  }

  // A stream listening on a free port of 127.0.0.1 with `options` (2048: SSL); sets port.
  int32_t Listen(int32_t options) {
    Value any = Value::Integer(0), size = Value::Long(0), o = Value::Long(options),
          address = Value::Long(int32_t(kLoopback));
    int32_t listener = CallLong(host, "VRX_ListenStream", {nullptr, nullptr, &any, &size, &o, nullptr, &address});
    if (listener <= 0) return listener;
    Value r = Value::Long(listener), ra = Value::Long(0), rp = Value::Integer(0), lp = Value::Integer(0),
          res = Value::Long(0), la = Value::Long(0);
    CallLong(host, "VRX_GetStreamAddresses", {&r, &ra, &rp, &lp, &res, &la});
    port = uint16_t(lp.AsLong());
    return listener;
  }

  // Both ends of an SSL connection in this host: ref the client, its peer the accepted
  // stream, which sends kPeerBytes and its close notification.
  void BuildSsl() {
    int32_t listener = Listen(2048);
    ASSERT_GT(listener, 0);
    peerRef = listener;
    Value l = Value::Long(listener), zero = Value::Long(0);
    Value name = Value::String("127.0.0.1"), p = Value::Integer(int16_t(port)), client = Value::Long(1024);
    ref = CallLong(host, "VRX_OpenStream", {&name, &p, &zero, &client});
    ASSERT_GT(ref, 0);
    Value r = Value::Long(ref), code = Value::Long(0);
    for (int i = 0; i < 600; ++i) {  // the handshake moves as either end is looked at
      if (CallLong(host, "VRX_GetStreamState", {&r, &code}) >= 8 && CallLong(host, "VRX_GetStreamState", {&l, &code}) >= 8)
        break;
      host.Delay(1);
    }
    ASSERT_EQ(CallLong(host, "VRX_GetStreamState", {&l, &code}), 8);
    Value bytes = Value::Text(std::string(kPeerBytes, sizeof kPeerBytes - 1)), none = Value::Integer(0);
    ASSERT_EQ(CallLong(host, "VRX_SendText", {&l, &bytes, &none, &zero}), 0);
    ASSERT_EQ(CallLong(host, "VRX_CloseStream", {&l}), 0);
    ASSERT_GE(AwaitState(8), 8);
  }

  void Build(Fixture f, bool ssl) {
    if (f == Fixture::Stream && ssl) return BuildSsl();
    switch (f) {
      case Fixture::None: break;
      case Fixture::Stream: {
        int listener = RawSocket(SOCK_STREAM, &port);
        ASSERT_GE(listener, 0);
        Value name = Value::String("127.0.0.1"), p = Value::Integer(int16_t(port)), zero = Value::Long(0);
        ref = CallLong(host, "VRX_OpenStream", {&name, &p, &zero, &zero});
        peer = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        close(listener);
        ASSERT_GT(ref, 0);
        ASSERT_GE(peer, 0);
        ASSERT_EQ(send(peer, kPeerBytes, sizeof kPeerBytes - 1, MSG_NOSIGNAL), ssize_t(sizeof kPeerBytes - 1));
        shutdown(peer, SHUT_WR);
        ASSERT_GE(AwaitState(8), 8);
        break;
      }
      case Fixture::Listener: {
        ref = Listen(0);
        ASSERT_GT(ref, 0);
        ASSERT_NE(port, 0);
        break;
      }
      case Fixture::Udp: {
        int probe = RawSocket(SOCK_DGRAM, &port);  // a free port, handed to the endpoint
        close(probe);
        Value p = Value::Long(port);
        ref = CallLong(host, "VRX_OpenUDP", {&p, nullptr, nullptr});
        ASSERT_GT(ref, 0);
        peer = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(kLoopback);
        to.sin_port = htons(port);
        ASSERT_EQ(sendto(peer, "datagram", 8, 0, reinterpret_cast<sockaddr*>(&to), sizeof to), 8);
        break;
      }
      case Fixture::Md5: ref = CallLong(host, "VRX_NewMD5", {}); break;
      case Fixture::Digest: {
        Value md5 = Value::Long(5);
        ref = CallLong(host, "VRX_NewDigest", {&md5});
        break;
      }
      case Fixture::Queue: {
        ref = 7;
        for (const char* item : {"first", "second"}) {
          Value key = Value::Long(ref), text = Value::Text(item);
          CallLong(host, "VRX_AppendQueueItem", {&key, &text});
        }
        break;
      }
    }
  }

  // Finishes what a fixture left open that shutdown does not free.
  void Finish(Fixture f, int32_t digestRef, bool md5) {
    if (f == Fixture::Md5 || f == Fixture::Digest) md5 = f == Fixture::Md5, digestRef = ref;
    if (!digestRef) return;
    Value r = Value::Long(digestRef), form = Value::Long(0);
    host.Call(md5 ? "VRX_FinishMD5" : "VRX_FinishDigest", std::vector<Value*>{&r, &form});
  }
};

Value MakeValue(const Arg& a, Kind kind, const World& w) {
  int32_t n = a.number;
  switch (a.type) {
    case Arg::Type::Ref: n = w.ref; break;
    case Arg::Type::Port: n = w.port; break;
    case Arg::Type::Refs: return Value::LongArray(std::vector<int32_t>{w.ref});
    case Arg::Type::Longs: return Value::LongArray(a.longs);
    case Arg::Type::Date: return Value::Date(a.year, a.month, a.day);
    case Arg::Type::Path:
    case Arg::Type::Bytes: {
      std::string bytes = a.type == Arg::Type::Path ? Folder() / a.bytes : a.bytes;
      switch (kind) {
        case Kind::String: return Value::String(bytes);
        case Kind::Blob: return Value::Blob(bytes);
        case Kind::Picture: return Value::Picture(bytes);
        default: return Value::Text(bytes);
      }
    }
    default: break;
  }
  switch (kind) {
    case Kind::Integer: return Value::Integer(int16_t(n));
    case Kind::Time: return Value::Time(n);
    default: return Value::Long(n);
  }
}

std::string Image(const Value& v) {
  switch (v.kind()) {
    case Kind::LongArray: {
      std::string s = "longs";
      for (int32_t x : v.Longs()) s += " " + std::to_string(x);
      return s;
    }
    case Kind::Date: {
      vrx::DateValue d = v.AsDate();
      return "date " + std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
    }
    case Kind::String:
    case Kind::Text:
    case Kind::Blob:
    case Kind::Picture: return "bytes " + vrxtest::Hex(v.Bytes());
    default: return "number " + std::to_string(v.AsLong());
  }
}

void RemoveOutputs() {
  for (const auto& e : std::filesystem::directory_iterator(Folder().path)) {
    std::string name = e.path().filename().string();
    if (name.rfind("out", 0) == 0 || name.rfind("._out", 0) == 0) std::filesystem::remove(e.path());
  }
}

std::string Outputs() {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(Folder().path)) {
    std::string name = e.path().filename().string();
    if (name.rfind("out", 0) == 0 || name.rfind("._out", 0) == 0) files[name] = vrxtest::ReadFile(e.path().string());
  }
  std::string all;
  for (const auto& [name, bytes] : files) all += name + "=" + std::to_string(bytes.size()) + ":" + bytes + ";";
  return all;
}

bool HeldBy(const std::vector<Value>& values, vrx::Handle h) {
  for (const Value& v : values)
    if (v.handle() == h) return true;
  return false;
}

}  // namespace

const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples = {
#include "abi/command_samples.def"
  };
  return samples;
}

const Sample* SampleFor(int32_t selector) {
  for (const Sample& s : Samples())
    if (s.selector == selector) return &s;
  return nullptr;
}

std::string Describe(const Sample& s, const RunPlan& plan) {
  std::string d = s.name;
  if (plan.ssl) d += " on SSL";
  if (plan.failAt)
    d += (plan.mode == platform::AllocationFailure::Nth ? ", allocation " : ", every allocation from ") +
         std::to_string(plan.failAt) + " failing";
  if (plan.override)
    d += ", $" + std::to_string(plan.override->first + 1) + " = " + std::to_string(plan.override->second);
  if (plan.absent >= 0) d += ", without $" + std::to_string(plan.absent + 1);
  return d;
}

void PrepareFiles(bool withResourceFork) {
  static int made = -1;
  if (made == int(withResourceFork)) return;
  made = int(withResourceFork);
  std::string text;
  for (int i = 0; i < 40; ++i) text += "Line " + std::to_string(i) + " of the walk's text file\r\n";
  platform::DeleteFile(Folder() / "plain.txt");  // and its companion
  vrxtest::WriteFile(Folder() / "plain.txt", text);
  if (withResourceFork) {
    ASSERT_EQ(platform::SetFinderInfo(Folder() / "plain.txt", platform::FinderInfo{.type = 0x54455854, .creator = 0x74747874}), 0);
    int16_t ref = 0;
    ASSERT_EQ(platform::OpenResourceFork(Folder() / "plain.txt", platform::kReadWritePermission, &ref), 0);
    int32_t n = int32_t(text.size()) / 2;
    EXPECT_EQ(platform::WriteFork(ref, &n, text.data()), 0);
    EXPECT_EQ(platform::CloseFork(ref), 0);
  }
  Host h;
  auto twoPaths = [&](const char* command, const char* from, const char* to) {
    Value a = Value::String(Folder() / from), b = Value::String(Folder() / to);
    return CallLong(h, command, {&a, &b});
  };
  ASSERT_EQ(twoPaths("VRX_EncodeMacBinary", "plain.txt", "plain.bin"), 0);
  ASSERT_EQ(twoPaths("VRX_EncodeBinHex", "plain.txt", "plain.hqx"), 0);
  Value src = Value::Text(Folder() / "plain.txt"), uu = Value::Text(Folder() / "plain.uu"),
        gz = Value::Text(Folder() / "plain.gz"), name = Value::Text("plain.txt"), level = Value::Long(6);
  ASSERT_EQ(CallLong(h, "VRX_UuencodeFile", {&src, &uu, &name}), 0);
  ASSERT_EQ(CallLong(h, "VRX_CompressFile", {&src, &gz, &level}), 0);
}

bool PrepareCertificate() {
  static const bool made =
      std::system(("cd '" + Folder().path.string() +
                   "' && openssl req -x509 -newkey rsa:2048 -nodes -keyout key.tmp -out cert.tmp -days 2 "
                   "-subj /CN=vrx-walk -batch >/dev/null 2>&1 && cat cert.tmp key.tmp > VRXcert.pem && rm cert.tmp key.tmp")
                      .c_str()) == 0;
  return made;
}

Outcome RunCommand(const Sample& s, const vrx::CommandInfo& row, const RunPlan& plan) {
  Outcome out;
  std::string what = Describe(s, plan);
  std::snprintf(gRunning, sizeof gRunning, "%s", what.c_str());
  signal(SIGALRM, OnWatchdog);
  alarm(kWatchdogSeconds);
  RemoveOutputs();
  errno = 0;
  int nice = getpriority(PRIO_PROCESS, 0);
  bool niceKnown = nice != -1 || errno == 0;
  int32_t liveBefore = platform::LiveHandleCount();
  int fdsBefore = vrxtest::OpenDescriptors();
  {
    std::vector<Value> values;
    World w;
    EXPECT_TRUE(w.host.loaded()) << w.host.error();
    std::optional<InFolder> inFolder;  // where the server finds VRXcert.pem
    if (plan.ssl) inFolder.emplace(Folder().path);
    w.Build(s.fixture, plan.ssl);
    out.fixtureRef = w.ref;
    values.reserve(size_t(row.paramCount));
    for (int i = 0; i < row.paramCount; ++i) {
      Arg a = s.args[size_t(i)];
      if (plan.override && plan.override->first == i) a = Number(plan.override->second);
      if (plan.absent == i) a = Arg{};
      values.push_back(a.type == Arg::Type::Absent ? Value() : MakeValue(a, row.params[i].kind, w));
      if (plan.override && plan.override->first == i && s.args[size_t(i)].type == Arg::Type::Ref)
        out.refRejected = plan.override->second != w.ref && plan.override->second != w.peerRef;
    }
    std::vector<Value*> params;
    for (Value& v : values) params.push_back(v.kind() == Kind::None ? nullptr : &v);
    for (const Value& v : values) out.before.push_back(Image(v));

    platform::SetAllocationFailure(plan.failAt, plan.mode);
    FaultFolder(Folder().path.string());
    FailFileCall(plan.failFileCallAt);
    out.result = w.host.Call(s.selector, params);
    out.fileCalls = FileCallCount();
    FailFileCall(0);
    out.allocations = platform::AllocationCount();
    platform::SetAllocationFailure(0);
    if (plan.readOutputs) out.outputs = Outputs();

    for (const Value& v : values) out.after.push_back(Image(v));
    for (int i = 0; i < row.paramCount; ++i) {
      if (row.params[i].dir != Dir::In) continue;
      EXPECT_EQ(out.before[size_t(i)], out.after[size_t(i)]) << what << ": in-only $" << i + 1 << " changed";
    }

    if (plan.then) plan.then(w.host, w.ref);
    int32_t result = out.result.value;
    switch (s.cleanup) {
      case Cleanup::None: break;
      case Cleanup::DisposeHandle:
        if (platform::IsLiveHandle(vrx::Handle(result)) && !HeldBy(values, vrx::Handle(result))) {
          const uint8_t* p = platform::HandleAddress(vrx::Handle(result));
          if (p) out.handleBytes.assign(reinterpret_cast<const char*>(p), size_t(platform::HandleSize(vrx::Handle(result))));
          platform::DisposeHandle(vrx::Handle(result));
        }
        break;
      case Cleanup::CloseFile:
        if (result > 0) platform::CloseFork(int16_t(result));
        break;
      case Cleanup::FinishDigest: w.Finish(s.fixture, result, s.selector == 53); break;
      case Cleanup::Priority:
        if (niceKnown) setpriority(PRIO_PROCESS, 0, nice);
        break;
    }
    if (s.cleanup != Cleanup::FinishDigest) w.Finish(s.fixture, 0, false);
  }
  EXPECT_EQ(platform::LiveHandleCount(), liveBefore) << what << ": blocks leaked";
  EXPECT_EQ(vrxtest::OpenDescriptors(), fdsBefore) << what << ": descriptors leaked";
  alarm(0);
  return out;
}

}  // namespace walk
