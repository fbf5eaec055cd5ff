#include "host/host.h"

#include <dlfcn.h>
#include <limits.h>
#include <poll.h>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <list>
#include <map>

#include "platform/memory.h"
#include "platform/services.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#define VRX_ASAN_FIBERS 1
#endif

// The installed plug-in, relative to the folder of the installed program; the build
// derives it from the install layout.
#ifndef VRX_PLUGIN_FROM_PROGRAM
#define VRX_PLUGIN_FROM_PROGRAM "../lib/vrx/libvrx.so"
#endif

namespace host {
namespace {

constexpr size_t kStackSize = size_t(4) << 20;  // reserved lazily by mmap
constexpr uint8_t kCanary = 0xA5;

using EntryFn = void (*)(int32_t, void**, uint32_t*, void*);

enum class State { Ready, Delayed, Joining, Dead };

// The plug-in found from the running program's own place: where the install puts it,
// else beside the program (a build tree). No absolute path is compiled in, so an
// installed or moved copy never reaches back into the tree it was built in.
std::string DefaultPluginPath() {
  char program[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", program, sizeof program - 1);
  if (n <= 0) return "libvrx.so";  // dlopen's own search, and its error
  std::string folder(program, size_t(n));
  folder.erase(folder.rfind('/') + 1);
  std::string installed = folder + VRX_PLUGIN_FROM_PROGRAM;
  if (access(installed.c_str(), F_OK) == 0) return installed;
  std::string beside = folder + "libvrx.so";
  return access(beside.c_str(), F_OK) == 0 ? beside : installed;
}

struct Process {
  int number = 0;
  std::string name;
  std::function<void()> body;
  State state = State::Ready;
  uint32_t wakeTick = 0;
  int hintFd = -1;
  short hintEvents = 0;
  ucontext_t context{};
  void* stack = nullptr;  // null for process 1, which runs on the thread's own stack
  void* fakeStack = nullptr;
  const void* stackBottom = nullptr;
  size_t stackSize = 0;
};

struct Watch {
  uint32_t events = 0;
  bool armed = true;
};

Host* gHost = nullptr;

uint64_t NowNanos() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return uint64_t(ts.tv_sec) * 1000000000u + uint64_t(ts.tv_nsec);
}

// Tick comparisons survive the 32-bit wrap.
bool TickReached(uint32_t now, uint32_t when) { return int32_t(now - when) >= 0; }

}  // namespace

struct Host::Impl {
  Options options;
  std::string error;
  void* library = nullptr;
  EntryFn entry = nullptr;
  uint32_t globalsSlot = 0;
  bool initialised = false;

  std::list<Process> processes;
  Process* current = nullptr;
  Process* previous = nullptr;  // where the last switch came from
  int nextNumber = 1;

  std::map<int, Watch> watched;
  int pendingHintFd = -1;
  short pendingHintEvents = 0;
  uint64_t lastWatchPoll = 0;

  std::map<int16_t, Handle> storedHandles;
  int16_t failNextHandleCall = 0;

  Process* Find(int number) {
    for (Process& p : processes)
      if (p.number == number && p.state != State::Dead) return &p;
    return nullptr;
  }

  // ---- coroutine switching ----
  static void Trampoline(unsigned lo, unsigned hi) {
    auto* impl = reinterpret_cast<Impl*>((uintptr_t(hi) << 32) | uintptr_t(lo));
    impl->FinishSwitch();
    Process* self = impl->current;
    self->body();
    self->body = nullptr;
    impl->Exit(self);
  }

  void StartSwitch(Process* from, Process* to) {
#ifdef VRX_ASAN_FIBERS
    __sanitizer_start_switch_fiber(from->state == State::Dead ? nullptr : &from->fakeStack,
                                   to->stackBottom, to->stackSize);
#else
    (void)from, (void)to;
#endif
  }

  void FinishSwitch() {
#ifdef VRX_ASAN_FIBERS
    const void* bottom = nullptr;
    size_t size = 0;
    __sanitizer_finish_switch_fiber(current->fakeStack, &bottom, &size);
    // Process 1's stack bounds are learnt the first time it is left.
    if (previous && !previous->stack) {
      previous->stackBottom = bottom;
      previous->stackSize = size;
    }
#endif
    Reap();
  }

  void SwitchTo(Process* next) {
    Process* from = current;
    previous = from;
    current = next;
    StartSwitch(from, next);
    swapcontext(&from->context, &next->context);
    FinishSwitch();
  }

  void Reap() {
    for (auto it = processes.begin(); it != processes.end();) {
      if (it->state == State::Dead && &*it != current) {
        if (it->stack) munmap(it->stack, kStackSize);
        it = processes.erase(it);
      } else {
        ++it;
      }
    }
  }

  void Exit(Process* self) {
    self->state = State::Dead;
    bool othersAlive = false;
    for (Process& p : processes)
      if (&p != self && p.number != 1 && p.state != State::Dead) othersAlive = true;
    if (!othersAlive)
      for (Process& p : processes)
        if (p.state == State::Joining) p.state = State::Ready;
    Schedule();  // never returns to a dead process
    std::abort();
  }

  // ---- scheduling ----
  void WakeDue(uint32_t now) {
    for (Process& p : processes)
      if (p.state == State::Delayed && TickReached(now, p.wakeTick)) p.state = State::Ready;
  }

  Process* NextReady(Process* self) {
    // Round robin: the processes after self first, self last.
    auto start = processes.begin();
    for (auto it = processes.begin(); it != processes.end(); ++it)
      if (&*it == self) start = std::next(it);
    for (auto it = start; it != processes.end(); ++it)
      if (it->state == State::Ready) return &*it;
    for (auto it = processes.begin(); it != start; ++it)
      if (it->state == State::Ready) return &*it;
    return nullptr;
  }

  void Deliver(int fd) {
    auto it = watched.find(fd);
    if (it == watched.end() || !it->second.armed) return;
    it->second.armed = false;  // until the plug-in accepts (ReenableSocketNotify)
    if (platform::MessageFilter f = platform::CurrentMessageFilter())
      f(platform::kSocketNotifyMessage, uintptr_t(fd), intptr_t(platform::kNotifyAccept));
  }

  // Sleeps in poll until a watched or hinted socket is ready or the earliest wake time.
  // timeoutMs < 0 waits for sockets only.
  void PollSockets(int timeoutMs) {
    std::vector<pollfd> fds;
    for (auto& [fd, w] : watched)
      if (w.armed) fds.push_back({fd, POLLIN, 0});
    for (Process& p : processes)
      if (p.state == State::Delayed && p.hintFd >= 0) fds.push_back({p.hintFd, p.hintEvents, 0});
    if (fds.empty() && timeoutMs < 0) {
      std::fprintf(stderr, "vrx host: every 4D process waits for another; nothing can wake them\n");
      std::abort();
    }
    int n = poll(fds.data(), fds.size(), timeoutMs);
    lastWatchPoll = NowNanos();
    if (n <= 0) return;
    for (const pollfd& f : fds) {
      if (!f.revents) continue;
      for (Process& p : processes)
        if (p.state == State::Delayed && p.hintFd == f.fd) p.state = State::Ready;
      Deliver(f.fd);
    }
  }

  // While other processes keep running, sockets are still looked at now and then, so a
  // sleeping process whose socket is ready wakes early and listeners get their
  // notifications without waiting for every process to be idle.
  void PollWatchedNow() {
    bool hinted = false;
    for (Process& p : processes) hinted |= p.state == State::Delayed && p.hintFd >= 0;
    if (!hinted && watched.empty()) return;
    uint64_t now = NowNanos();
    if (now - lastWatchPoll < (hinted ? 20000u : 1000000u)) return;
    PollSockets(0);
  }

  void WaitForSomething() {
    uint32_t now = platform::TickCount();
    bool any = false;
    uint32_t earliest = 0;
    for (Process& p : processes) {
      if (p.state != State::Delayed) continue;
      if (!any || int32_t(p.wakeTick - earliest) < 0) earliest = p.wakeTick;
      any = true;
    }
    if (platform::TestClockActive()) {
      // Sockets get a brief real chance; then the test clock jumps to the next wake.
      PollSockets(0);
      for (Process& p : processes)
        if (p.state == State::Ready) return;
      if (!any) return PollSockets(-1);
      PollSockets(1);
      for (Process& p : processes)
        if (p.state == State::Ready) return;
      if (int32_t(earliest - now) > 0) platform::AdvanceTestClock(earliest - now);
      return;
    }
    int timeoutMs = -1;
    if (any) {
      int32_t ticks = int32_t(earliest - now);
      timeoutMs = ticks <= 0 ? 0 : int((int64_t(ticks) * 1000 + 59) / 60);
    }
    PollSockets(timeoutMs);
  }

  // The current process gives way; returns when it runs again.
  void Schedule() {
    Process* self = current;
    for (;;) {
      WakeDue(platform::TickCount());
      PollWatchedNow();
      if (Process* next = NextReady(self)) {
        if (next != self) SwitchTo(next);
        self->hintFd = -1;
        return;
      }
      WaitForSomething();
    }
  }

  void Yield() {
    // A hint only matters to a process that sleeps.
    pendingHintFd = -1;
    if (current->state == State::Ready) current->hintFd = -1;
    Schedule();
  }

  void Delay(Process* p, int32_t ticks) {
    if (!p || p->state != State::Ready || ticks <= 0) return;
    p->state = State::Delayed;
    p->wakeTick = platform::TickCount() + uint32_t(ticks);
    if (p == current && pendingHintFd >= 0) {
      p->hintFd = pendingHintFd;
      p->hintEvents = pendingHintEvents;
    }
    pendingHintFd = -1;
  }

  // ---- host calls ----
  void HostCall(int32_t number, vrx::HostCallBlock* block) {
    uint8_t* b = block->bytes;
    int16_t code = 0;
    switch (number) {
      case vrx::kHostCurrentProcess: {
        int32_t n = current->number;
        std::memcpy(b + vrx::kHostCallProcess, &n, 4);
        break;
      }
      case vrx::kHostDelayProcess: {
        int32_t n, ticks;
        std::memcpy(&n, b + vrx::kHostCallProcess, 4);
        std::memcpy(&ticks, b + vrx::kHostCallTicks, 4);
        Delay(Find(n), ticks);
        break;
      }
      case vrx::kHostYield: Yield(); break;
      case vrx::kHostGetHandle: {
        int16_t key;
        std::memcpy(&key, b + vrx::kHostCallArg, 2);
        auto it = storedHandles.find(key);
        if (failNextHandleCall) {
          code = failNextHandleCall;
          failNextHandleCall = 0;
        } else if (it == storedHandles.end()) {
          code = -1;
        } else {
          Handle copy = it->second;
          code = platform::DuplicateHandle(&copy);
          if (code == 0) std::memcpy(b + vrx::kHostCallHandle, &copy, 4);
        }
        break;
      }
      case vrx::kHostPutHandle: {
        int16_t key;
        Handle h;
        std::memcpy(&key, b + vrx::kHostCallArg, 2);
        std::memcpy(&h, b + vrx::kHostCallHandle, 4);
        Handle copy = h;
        // The host keeps its own copy: the caller's handle stays the caller's.
        if (!platform::IsLiveHandle(h) || platform::DuplicateHandle(&copy) != 0) {
          code = -1;
          break;
        }
        auto it = storedHandles.find(key);
        if (it != storedHandles.end()) platform::DisposeHandle(it->second);
        storedHandles[key] = copy;
        break;
      }
      default: code = -1; break;
    }
    std::memcpy(b + vrx::kHostCallResult, &code, 2);
  }

  static void Entry(int32_t number, vrx::HostCallBlock* block) {
    if (gHost) gHost->impl_->HostCall(number, block);
  }

  static void HookWatch(int fd, uint32_t events, void* ctx) {
    auto* impl = static_cast<Impl*>(ctx);
    if (events)
      impl->watched[fd] = Watch{events, true};
    else
      impl->watched.erase(fd);
  }
  static void HookReenable(int fd, void* ctx) {
    auto* impl = static_cast<Impl*>(ctx);
    auto it = impl->watched.find(fd);
    if (it != impl->watched.end()) it->second.armed = true;
  }
  static void HookHint(int fd, short events, void* ctx) {
    auto* impl = static_cast<Impl*>(ctx);
    impl->pendingHintFd = fd;
    impl->pendingHintEvents = events;
  }
};

Host::Host() : Host(Options{}) {}

Host::Host(Options options) : impl_(std::make_unique<Impl>()) {
  Impl& m = *impl_;
  m.options = std::move(options);
  if (gHost) {
    m.error = "another host is running";
    return;
  }
  gHost = this;
  Process& first = m.processes.emplace_back();
  first.number = m.nextNumber++;
  first.name = "main";
  m.current = &first;
  platform::UseTestClock(m.options.testClock);
  platform::EventHooks hooks;
  hooks.watch = &Impl::HookWatch;
  hooks.reenable = &Impl::HookReenable;
  hooks.hint = &Impl::HookHint;
  hooks.ctx = &m;
  platform::SetEventHooks(hooks);

  std::string path = m.options.pluginPath;
  if (path.empty()) {
    const char* env = std::getenv("VRX_PLUGIN");
    path = env && *env ? env : DefaultPluginPath();
  }
  m.library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!m.library) {
    m.error = std::string("cannot load the plug-in: ") + dlerror();
    return;
  }
  m.entry = reinterpret_cast<EntryFn>(dlsym(m.library, "FourDPack"));
  if (!m.entry) {
    m.error = "the plug-in has no FourDPack entry point";
    return;
  }
  void* slots[vrx::kParamSlots] = {};
  slots[vrx::kHostEntrySlot] = reinterpret_cast<void*>(&Impl::Entry);
  uint8_t area[16];
  m.entry(vrx::kSelectorInit, slots, &m.globalsSlot, area);
  if (!m.globalsSlot) {
    m.error = "the plug-in could not initialise";
    return;
  }
  m.initialised = true;
}

Host::~Host() {
  Impl& m = *impl_;
  if (gHost != this) return;
  Shutdown();
  if (m.library) dlclose(m.library);
  for (auto& [key, h] : m.storedHandles) platform::DisposeHandle(h);
  platform::SetEventHooks({});
  platform::InstallMessageFilter(nullptr);
  platform::UseTestClock(false);
  gHost = nullptr;
}

void Host::Shutdown() {
  Impl& m = *impl_;
  if (!m.initialised) return;
  void* slots[vrx::kParamSlots] = {};
  uint8_t area[16];
  m.entry(vrx::kSelectorShutdown, slots, &m.globalsSlot, area);
  // From now on the block is the host's.
  platform::DisposeHandle(m.globalsSlot);
  m.globalsSlot = 0;
  m.initialised = false;
}

Host* Host::Current() { return gHost; }
bool Host::loaded() const { return impl_->initialised; }
const std::string& Host::error() const { return impl_->error; }

void Host::RawCall(int32_t selector, void** params, void* result) {
  impl_->entry(selector, params, &impl_->globalsSlot, result);
}

CallResult Host::Call(std::string_view name, std::span<Value* const> params) {
  const vrx::CommandInfo* row = vrx::CommandByName(name);
  if (!row) return {};
  return Call(row->selector, params);
}

CallResult Host::Call(int32_t selector, std::span<Value* const> params) {
  Impl& m = *impl_;
  CallResult r;
  if (!m.initialised) return r;
  const vrx::CommandInfo* row = vrx::CommandBySelector(selector);
  r.kind = row && !row->name.empty() ? row->result : ResultKind::None;

  void* slots[vrx::kParamSlots] = {};
  for (size_t i = 0; i < params.size() && i < size_t(vrx::kParamSlots); ++i)
    slots[i] = params[i] ? params[i]->Slot() : nullptr;

  // Canary bytes tell whether the command wrote its result.
  alignas(8) uint8_t area[16];
  std::memset(area, kCanary, sizeof area);
  TextValue text = {int16_t(-23131), 0};  // 0xA5A5: no command writes a negative length
  alignas(8) uint8_t string[256];
  std::memset(string, kCanary, sizeof string);
  if (r.kind == ResultKind::Text) {
    TextValue* p = &text;
    std::memcpy(area, &p, sizeof p);
  } else if (r.kind == ResultKind::String) {
    uint8_t* p = string;
    std::memcpy(area, &p, sizeof p);
  }
  uint8_t before[16];
  std::memcpy(before, area, sizeof area);

  m.entry(selector, slots, &m.globalsSlot, area);

  switch (r.kind) {
    case ResultKind::Text:
      r.written = text.length != int16_t(-23131) || text.handle != 0;
      if (text.handle) {
        const uint8_t* p = platform::HandleAddress(text.handle);
        int32_t length = text.length;  // packed fields: copy before comparing
        int32_t n = std::min<int32_t>(length < 0 ? 0 : length, platform::HandleSize(text.handle));
        if (p && n > 0) r.bytes.assign(reinterpret_cast<const char*>(p), size_t(n));
        platform::DisposeHandle(text.handle);
      }
      break;
    case ResultKind::String:
      for (uint8_t b : string) r.written |= b != kCanary;
      if (r.written) r.bytes.assign(reinterpret_cast<const char*>(string + 1), string[0]);
      break;
    case ResultKind::Blob: {
      r.written = std::memcmp(area, before, 4) != 0;
      Handle h;
      std::memcpy(&h, area, 4);
      if (r.written && h) {
        const uint8_t* p = platform::HandleAddress(h);
        if (p) r.bytes.assign(reinterpret_cast<const char*>(p), size_t(platform::HandleSize(h)));
        platform::DisposeHandle(h);
      }
      break;
    }
    case ResultKind::Byte:
      r.written = area[0] != kCanary;
      r.value = area[0];
      break;
    case ResultKind::Long:
    case ResultKind::None:
      r.written = std::memcmp(area, before, sizeof area) != 0;
      std::memcpy(&r.value, area, 4);
      break;
  }
  if (!r.written) r.value = 0;
  return r;
}

int Host::NewProcess(std::function<void()> body, std::string name) {
  Impl& m = *impl_;
  Process& p = m.processes.emplace_back();
  p.number = m.nextNumber++;
  p.name = std::move(name);
  p.body = std::move(body);
  p.stack = mmap(nullptr, kStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
  if (p.stack == MAP_FAILED) {
    m.processes.pop_back();
    return 0;
  }
  p.stackBottom = p.stack;
  p.stackSize = kStackSize;
  getcontext(&p.context);
  p.context.uc_stack.ss_sp = p.stack;
  p.context.uc_stack.ss_size = kStackSize;
  p.context.uc_link = nullptr;
  uintptr_t self = reinterpret_cast<uintptr_t>(&m);
  makecontext(&p.context, reinterpret_cast<void (*)()>(&Impl::Trampoline), 2, unsigned(self & 0xFFFFFFFFu),
              unsigned(self >> 32));
  return p.number;
}

int Host::CurrentProcess() const { return impl_->current->number; }

int Host::ProcessCount() const {
  int n = 0;
  for (const Process& p : impl_->processes) n += p.state != State::Dead;
  return n;
}

void Host::Yield() { impl_->Yield(); }

void Host::Delay(int32_t ticks) {
  impl_->Delay(impl_->current, ticks);
  impl_->Schedule();
}

void Host::WaitForProcesses() {
  Impl& m = *impl_;
  if (m.current->number != 1) return;
  if (ProcessCount() <= 1) return;
  m.current->state = State::Joining;
  m.Schedule();
  m.current->state = State::Ready;
}

Handle Host::StoredHandle(int16_t number) const {
  auto it = impl_->storedHandles.find(number);
  return it == impl_->storedHandles.end() ? 0 : it->second;
}

void Host::FailNextHandleCall(int16_t code) { impl_->failNextHandleCall = code; }

}  // namespace host
