#include "host/host.h"

#include <dlfcn.h>
#include <limits.h>
#include <sys/epoll.h>
#include <sys/mman.h>
#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <list>
#include <map>
#include <unordered_map>

#include "platform/memory.h"
#include "platform/services.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#define VRX_ASAN_FIBERS 1
#endif

// The installed plug-in: relative to the folder of the installed program, or absolute in
// an install to /usr. The build derives it from the install layout.
#ifndef VRX_INSTALLED_PLUGIN
#define VRX_INSTALLED_PLUGIN "../lib/vrx/libvrx.so"
#endif

namespace host {
namespace {

constexpr size_t kStackSize = size_t(4) << 20;  // reserved lazily by mmap
constexpr size_t kStackGuard = 4096;            // at its low end, never mapped in
// Stacks of ended processes kept for new ones: a server starting a process per
// connection would otherwise map, fault in and unmap a stack each time.
constexpr size_t kSpareStacks = 32;
constexpr int kEventBatch = 64;

using EntryFn = void (*)(int32_t, void**, uint32_t*, void*);

// Switching between processes: the callee-saved registers and the floating-point control
// words go on the stack being left, whose top is stored in *from; `to` is resumed the
// same way. swapcontext would also save and restore the signal mask, a system call on
// every switch, which no process here changes.
extern "C" void vrx_host_switch(void** from, void* to);
// Where a new process's stack first returns to: calls r13(r12) and never comes back.
extern "C" void vrx_host_start();
asm(R"(
  .text
  .p2align 4
  .globl vrx_host_switch
  .hidden vrx_host_switch
  .type vrx_host_switch, @function
vrx_host_switch:
  pushq %rbp
  pushq %rbx
  pushq %r12
  pushq %r13
  pushq %r14
  pushq %r15
  subq $8, %rsp
  stmxcsr (%rsp)
  fnstcw 4(%rsp)
  movq %rsp, (%rdi)
  movq %rsi, %rsp
  ldmxcsr (%rsp)
  fldcw 4(%rsp)
  addq $8, %rsp
  popq %r15
  popq %r14
  popq %r13
  popq %r12
  popq %rbx
  popq %rbp
  ret
  .size vrx_host_switch, .-vrx_host_switch

  .p2align 4
  .globl vrx_host_start
  .hidden vrx_host_start
  .type vrx_host_start, @function
vrx_host_start:
  .cfi_startproc
  .cfi_undefined rip
  movq %r12, %rdi
  callq *%r13
  ud2
  .cfi_endproc
  .size vrx_host_start, .-vrx_host_start
)");

// The frame vrx_host_switch pops when it first resumes a new process.
struct StartFrame {
  uint32_t mxcsr;
  uint16_t fpuControl, pad;
  uint64_t r15, r14, r13, r12, rbx, rbp;
  void (*ret)();
};
static_assert(sizeof(StartFrame) == 64);

enum class State { Ready, Delayed, Joining, Dead };

// The plug-in found from the running program's own place: beside the program (a build
// tree, whose own plug-in wins over an installed one), else where the install puts it.
// No build path is compiled in, so an installed or moved copy never reaches back into
// the tree it was built in.
std::string DefaultPluginPath() {
  char program[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", program, sizeof program - 1);
  if (n <= 0) return "libvrx.so";  // dlopen's own search, and its error
  std::string folder(program, size_t(n));
  folder.erase(folder.rfind('/') + 1);
  std::string beside = folder + "libvrx.so";
  if (access(beside.c_str(), F_OK) == 0) return beside;
  const char* installed = VRX_INSTALLED_PLUGIN;
  return installed[0] == '/' ? installed : folder + installed;
}

struct Process;
using Timers = std::multimap<uint64_t, Process*>;  // by wake tick; equal ticks in order

struct Process {
  int number = 0;
  std::string name;
  std::function<void()> body;
  State state = State::Ready;
  bool timed = false;       // `timer` is valid
  Timers::iterator timer;
  int hintFd = -1;          // while Delayed: the socket that may wake it early
  short hintEvents = 0;
  std::list<Process>::iterator self;
  void* sp = nullptr;  // saved stack top while not running
  void* stack = nullptr;  // null for process 1, which runs on the thread's own stack
  void* fakeStack = nullptr;
  const void* stackBottom = nullptr;
  size_t stackSize = 0;
};

// What the host wants to hear about one socket number: the processes sleeping on it
// and the plug-in's notification request. Its epoll registration is one-shot, so a
// registration that outlived its socket (closed and the number reused) fires at most once.
struct FdEntry {
  std::vector<Process*> sleepers;
  bool watched = false;
  bool notifyArmed = false;  // delivered once, then off until ReenableSocketNotify
};

Host* gHost = nullptr;

uint64_t NowNanos() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return uint64_t(ts.tv_sec) * 1000000000u + uint64_t(ts.tv_nsec);
}

}  // namespace

struct Host::Impl {
  Options options;
  std::string error;
  void* library = nullptr;
  EntryFn entry = nullptr;
  uint32_t globalsSlot = 0;
  bool initialised = false;
  // A result area is filled with a word before each call, to tell whether the command
  // wrote it. A fixed word is a value a command can return (0xA5A5A5A5 is the address
  // 165.165.165.165); one drawn at random when the host starts is one no input can aim
  // at. Its low byte is never 0, which a byte result often is.
  const uint64_t canary = [] {
    uint32_t word = 0;
    if (getrandom(&word, sizeof word, GRND_NONBLOCK) != sizeof word) word = uint32_t(time(nullptr)) * 2654435761u;
    word |= 0x80;
    return uint64_t(word) << 32 | word;
  }();

  std::list<Process> processes;
  std::unordered_map<int, Process*> byNumber;  // live processes
  std::map<int, Process*> ready;  // by number: every process whose state is Ready
  std::vector<Process*> dead;  // freed once no longer running
  std::vector<void*> spareStacks;
  Timers timers;
  int liveOthers = 0;  // live processes besides process 1
  Process* first = nullptr;
  Process* current = nullptr;
  Process* previous = nullptr;  // where the last switch came from
  int nextNumber = 1;

  // The 32-bit tick count extended to 64 bits, so timers order across its wrap.
  uint64_t tickBase = 0;
  uint32_t lastTick = 0;

  int epollFd = -1;
  std::vector<FdEntry> fds;   // indexed by socket number
  std::vector<int> unpollable;  // sockets epoll refused: treated as ready at the next poll
  int hintedSleepers = 0;
  int watchedCount = 0;
  int pendingHintFd = -1;
  short pendingHintEvents = 0;
  uint64_t lastWatchPoll = 0;

  std::map<int16_t, Handle> storedHandles;
  int16_t failNextHandleCall = 0;

  Process* Find(int number) {
    auto it = byNumber.find(number);
    return it == byNumber.end() ? nullptr : it->second;
  }

  uint64_t Ticks() {
    uint32_t now = platform::TickCount();
    int32_t step = int32_t(now - lastTick);
    if (step > 0) {  // a clock that steps back only holds still here
      tickBase += uint32_t(step);
      lastTick = now;
    }
    return tickBase;
  }

  // ---- coroutine switching ----
  static void Trampoline(Impl* impl) {
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
    vrx_host_switch(&from->sp, next->sp);
    FinishSwitch();
  }

  void* NewStack() {
    void* stack = nullptr;
    if (!spareStacks.empty()) {
      stack = spareStacks.back();
      spareStacks.pop_back();
    } else {
      stack = mmap(nullptr, kStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
      if (stack == MAP_FAILED) return nullptr;
      // The lowest page is a guard: a process that overflows its stack faults there
      // instead of writing over the mapping below, which may be another process's stack.
      if (mprotect(stack, kStackGuard, PROT_NONE) != 0) {
        munmap(stack, kStackSize);
        return nullptr;
      }
    }
#ifdef VRX_ASAN_FIBERS
    // An ended process never returned from its last frames, whose redzones stay poisoned
    // in the sanitizer's shadow, at the same addresses when a mapping comes back.
    ASAN_UNPOISON_MEMORY_REGION(stack, kStackSize);
#endif
    return stack;
  }

  void FreeStack(void* stack) {
    if (spareStacks.size() < kSpareStacks)
      spareStacks.push_back(stack);
    else
      UnmapStack(stack);
  }

  // The same shadow, cleared before the mapping goes: the next mapping at those
  // addresses may be a library's globals, which would read as poisoned.
  static void UnmapStack(void* stack) {
#ifdef VRX_ASAN_FIBERS
    ASAN_UNPOISON_MEMORY_REGION(stack, kStackSize);
#endif
    munmap(stack, kStackSize);
  }

  ~Impl() {
    for (void* stack : spareStacks) UnmapStack(stack);
  }

  void Reap() {
    for (size_t i = 0; i < dead.size();) {
      Process* p = dead[i];
      if (p == current) {
        ++i;
        continue;
      }
      if (p->stack) FreeStack(p->stack);
      processes.erase(p->self);
      dead[i] = dead.back();
      dead.pop_back();
    }
  }

  void Exit(Process* self) {
    SetState(self, State::Dead);
    byNumber.erase(self->number);
    dead.push_back(self);
    if (--liveOthers == 0 && first->state == State::Joining) MakeReady(first);
    Schedule();  // never returns to a dead process
    std::abort();
  }

  // ---- scheduling ----
  void SetState(Process* p, State state) {
    if (state == State::Ready)
      ready.emplace(p->number, p);
    else if (p->state == State::Ready)
      ready.erase(p->number);
    p->state = state;
  }

  // Ends whatever p waits for (its timer, its socket) and queues it to run.
  void MakeReady(Process* p) {
    if (p->timed) {
      timers.erase(p->timer);
      p->timed = false;
    }
    if (p->hintFd >= 0) {
      std::vector<Process*>& s = fds[size_t(p->hintFd)].sleepers;
      for (size_t i = 0; i < s.size(); ++i)
        if (s[i] == p) {
          s[i] = s.back();
          s.pop_back();
          --hintedSleepers;
          break;
        }
      p->hintFd = -1;
    }
    SetState(p, State::Ready);
  }

  void WakeDue(uint64_t now) {
    while (!timers.empty() && timers.begin()->first <= now) MakeReady(timers.begin()->second);
  }

  // Round robin in the order processes were started: those after self first, self last.
  Process* NextReady(Process* self) {
    if (ready.empty()) return nullptr;
    auto it = ready.upper_bound(self->number);
    return (it == ready.end() ? ready.begin() : it)->second;
  }

  // ---- sockets ----
  FdEntry& FdAt(int fd) {
    if (size_t(fd) >= fds.size()) fds.resize(size_t(fd) + 1);
    return fds[size_t(fd)];
  }

  uint32_t Interest(const FdEntry& e) const {
    uint32_t events = e.watched && e.notifyArmed ? uint32_t(EPOLLIN) : 0;
    for (const Process* p : e.sleepers) events |= uint32_t(p->hintEvents);  // POLLIN/POLLOUT = EPOLLIN/EPOLLOUT
    return events;
  }

  // Arms fd's one-shot registration for what is wanted of it now; with nothing wanted it
  // stays as it is (disarmed after it fired, or firing once more for nobody).
  void Arm(int fd) {
    uint32_t events = Interest(fds[size_t(fd)]);
    if (!events) return;
    epoll_event ev{};
    ev.events = events | EPOLLONESHOT;
    ev.data.fd = fd;
    if (epoll_ctl(epollFd, EPOLL_CTL_MOD, fd, &ev) == 0) return;
    // ENOENT: new here, or its socket was closed (which drops the registration) and the
    // number reused.
    if (errno == ENOENT && epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &ev) == 0) return;
    // A closed socket or one epoll cannot watch: poll would call it ready at once, and
    // whoever waits on it looks for itself.
    unpollable.push_back(fd);
  }

  void Forget(int fd) {
    FdEntry& e = fds[size_t(fd)];
    if (e.sleepers.empty() && !e.watched) epoll_ctl(epollFd, EPOLL_CTL_DEL, fd, nullptr);  // errors: already gone
  }

  void Deliver(int fd) {
    if (platform::MessageFilter f = platform::CurrentMessageFilter())
      f(platform::kSocketNotifyMessage, uintptr_t(fd), intptr_t(platform::kNotifyAccept));
  }

  void OnReady(int fd, uint32_t events) {
    if (fd < 0 || size_t(fd) >= fds.size()) return;
    bool any = events & (EPOLLERR | EPOLLHUP);
    std::vector<Process*> wake;
    for (Process* p : fds[size_t(fd)].sleepers)
      if (any || (uint32_t(p->hintEvents) & events)) wake.push_back(p);
    for (Process* p : wake) MakeReady(p);
    FdEntry& e = fds[size_t(fd)];
    if (e.watched && e.notifyArmed && (any || (events & EPOLLIN))) {
      e.notifyArmed = false;  // until the plug-in accepts (ReenableSocketNotify)
      Deliver(fd);            // may watch, re-enable or forget sockets
    }
    Arm(fd);  // the sleepers whose events did not come, or a re-enabled notification
  }

  // Sleeps in epoll until a watched or hinted socket is ready or timeoutMs passes
  // (< 0: for sockets only).
  void PollSockets(int timeoutMs) {
    if (!unpollable.empty()) timeoutMs = 0;
    epoll_event events[kEventBatch];
    int n = epoll_wait(epollFd, events, kEventBatch, timeoutMs);
    lastWatchPoll = NowNanos();
    std::vector<int> refused;
    refused.swap(unpollable);
    for (int fd : refused) OnReady(fd, EPOLLIN | EPOLLOUT | EPOLLERR);
    for (int i = 0; i < n; ++i) OnReady(events[i].data.fd, events[i].events);
  }

  // While other processes keep running, sockets are still looked at now and then, so a
  // sleeping process whose socket is ready wakes early and listeners get their
  // notifications without waiting for every process to be idle.
  void PollWatchedNow() {
    if (!hintedSleepers && !watchedCount) return;
    uint64_t now = NowNanos();
    if (now - lastWatchPoll < (hintedSleepers ? 20000u : 1000000u)) return;
    PollSockets(0);
  }

  bool Waitable() const {
    for (const FdEntry& e : fds)
      if (!e.sleepers.empty() || (e.watched && e.notifyArmed)) return true;
    return !unpollable.empty();
  }

  void WaitForSomething() {
    uint64_t now = Ticks();
    bool any = !timers.empty();
    uint64_t earliest = any ? timers.begin()->first : now;
    if (platform::TestClockActive()) {
      // Sockets get a brief real chance; then the test clock jumps to the next wake.
      PollSockets(0);
      if (!ready.empty()) return;
      if (!any) return PollForever();
      PollSockets(1);
      if (!ready.empty()) return;
      if (earliest > now) platform::AdvanceTestClock(uint32_t(earliest - now));
      return;
    }
    if (!any) return PollForever();
    uint64_t ticks = earliest > now ? earliest - now : 0;
    PollSockets(int(std::min<uint64_t>((ticks * 1000 + 59) / 60, 1u << 30)));
  }

  void PollForever() {
    if (!Waitable()) {
      std::fprintf(stderr, "vrx host: every 4D process waits for another; nothing can wake them\n");
      std::abort();
    }
    PollSockets(-1);
  }

  // The current process gives way; returns when it runs again.
  void Schedule() {
    Process* self = current;
    for (;;) {
      WakeDue(Ticks());
      PollWatchedNow();
      if (Process* next = NextReady(self)) {
        if (next != self) SwitchTo(next);
        return;
      }
      WaitForSomething();
    }
  }

  void Yield() {
    // A hint only matters to a process that sleeps.
    pendingHintFd = -1;
    Schedule();
  }

  void Delay(Process* p, int32_t ticks) {
    if (!p || p->state != State::Ready || ticks <= 0) return;
    SetState(p, State::Delayed);
    p->timer = timers.emplace(Ticks() + uint32_t(ticks), p);
    p->timed = true;
    if (p == current && pendingHintFd >= 0) {
      p->hintFd = pendingHintFd;
      p->hintEvents = pendingHintEvents;
      FdAt(p->hintFd).sleepers.push_back(p);
      ++hintedSleepers;
      Arm(p->hintFd);
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
    if (fd < 0) return;
    FdEntry& e = impl->FdAt(fd);
    impl->watchedCount += int(events != 0) - int(e.watched);
    e.watched = events != 0;
    e.notifyArmed = e.watched;
    if (e.watched)
      impl->Arm(fd);
    else
      impl->Forget(fd);  // the plug-in closes a listener right after
  }
  static void HookReenable(int fd, void* ctx) {
    auto* impl = static_cast<Impl*>(ctx);
    if (fd < 0 || size_t(fd) >= impl->fds.size() || !impl->fds[size_t(fd)].watched) return;
    impl->fds[size_t(fd)].notifyArmed = true;
    impl->Arm(fd);
  }
  static void HookWake(int fd, void* ctx) {
    auto* impl = static_cast<Impl*>(ctx);
    if (fd < 0 || size_t(fd) >= impl->fds.size() || impl->fds[size_t(fd)].sleepers.empty()) return;
    std::vector<Process*> wake = impl->fds[size_t(fd)].sleepers;
    for (Process* p : wake) impl->MakeReady(p);
  }
  static void HookHint(int fd, short events, void* ctx) {
    auto* impl = static_cast<Impl*>(ctx);
    if (fd < 0) return;
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
  first.self = m.processes.begin();
  m.first = m.current = &first;
  m.ready.emplace(first.number, &first);
  m.byNumber[first.number] = &first;
  m.epollFd = epoll_create1(EPOLL_CLOEXEC);
  if (m.epollFd < 0) {
    m.error = std::string("cannot create an epoll set: ") + std::strerror(errno);
    return;
  }
  platform::UseTestClock(m.options.testClock);
  platform::EventHooks hooks;
  hooks.watch = &Impl::HookWatch;
  hooks.reenable = &Impl::HookReenable;
  hooks.hint = &Impl::HookHint;
  hooks.wake = &Impl::HookWake;
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
  if (m.epollFd >= 0) close(m.epollFd);
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
  void* slots[vrx::kParamSlots] = {};
  for (size_t i = 0; i < params.size() && i < size_t(vrx::kParamSlots); ++i)
    slots[i] = params[i] ? params[i]->Slot() : nullptr;
  const vrx::CommandInfo* row = vrx::CommandBySelector(selector);
  if (row && !row->name.empty()) return CallSlots(*row, slots);
  // A selector without a command still reaches the plug-in, which must ignore it.
  vrx::CommandInfo none{};
  none.selector = selector;
  none.result = ResultKind::None;
  return CallSlots(none, slots);
}

namespace {
// The result area is read back in 4-byte words: the plug-in writes it with stores of 4
// bytes at most, and a wider load over a narrower store that has just been made would
// wait for it to reach the cache instead of taking it from the store.
inline uint32_t Word(const uint8_t* p) {
  uint32_t w;
  std::memcpy(&w, p, 4);
  return w;
}
// Text or string result bytes into *to, in the form the caller asked for.
[[gnu::noinline]] void PutText(std::string_view bytes, std::string* to, Host::Texts texts) {
  if (texts == Host::Texts::Utf8) platform::MacRomanToUtf8(bytes, to);
  else to->assign(bytes);
}
// Whether *last holds these bytes; else it takes them. A text of 8 to 16 bytes, as a
// command answers most, is compared and copied as two words that may overlap, without
// a call.
inline bool SameAsLast(std::string_view bytes, std::string* last) {
  const size_t n = bytes.size();
  if (n < 8 || n > 16) {
    if (*last == bytes) return true;
    last->assign(bytes);
    return false;
  }
  uint64_t head, tail, lastHead, lastTail;
  std::memcpy(&head, bytes.data(), 8);
  std::memcpy(&tail, bytes.data() + n - 8, 8);
  if (last->size() == n) {
    std::memcpy(&lastHead, last->data(), 8);
    std::memcpy(&lastTail, last->data() + n - 8, 8);
    if (head == lastHead && tail == lastTail) return true;
  } else {
    last->resize(n);
  }
  std::memcpy(last->data() + n - 8, &tail, 8);
  std::memcpy(last->data(), &head, 8);
  return false;
}
// Text or string result bytes into *to as PutText puts them, unless they are those
// *last holds (then *same); with `last`, they are kept there for the next call.
inline void PutNewText(std::string_view bytes, std::string* to, Host::Texts texts, std::string* last, bool* same) {
  if (last && SameAsLast(bytes, last)) {
    *same = true;
    return;
  }
  PutText(bytes, to, texts);
}
// A text result's bytes into *to (see PutNewText); how many there were.
[[gnu::noinline]] int32_t TakeText(const TextValue& text, std::string* to, Host::Texts texts, std::string* last,
                                   bool* same) {
  int32_t size;
  const uint8_t* p = platform::HandleBytes(text.handle, &size);
  int32_t length = text.length;  // packed fields: copy before comparing
  int32_t n = p ? std::min<int32_t>(length < 0 ? 0 : length, size) : 0;
  if (n > 0) PutNewText(std::string_view(reinterpret_cast<const char*>(p), size_t(n)), to, texts, last, same);
  platform::DisposeHandle(text.handle);
  return n;
}
}  // namespace

CallResult Host::CallSlots(const vrx::CommandInfo& row, void** slots, std::string* bytes, Texts texts,
                           std::string* last) {
  Impl& m = *impl_;
  CallResult r;
  if (!m.initialised) return r;
  r.kind = row.result;
  std::string* to = bytes ? bytes : &r.bytes;
  if (!bytes) last = nullptr;
  if (bytes && !last) bytes->clear();  // else once the result is known

  // Canary bytes tell whether the command wrote its result.
  const uint64_t pattern = m.canary;
  const auto canary = uint32_t(pattern);  // both halves of the pattern
  alignas(8) uint8_t area[16];
  std::memcpy(area, &pattern, 8);
  std::memcpy(area + 8, &pattern, 8);
  TextValue text = {int16_t(-23131), 0};  // 0xA5A5: no command writes a negative length
  alignas(8) uint8_t string[256];
  if (r.kind == ResultKind::Text) {
    TextValue* p = &text;
    std::memcpy(area, &p, sizeof p);
  } else if (r.kind == ResultKind::String) {
    for (size_t i = 0; i < sizeof string; i += 8) std::memcpy(string + i, &pattern, 8);
    uint8_t* p = string;
    std::memcpy(area, &p, sizeof p);
  }

  m.entry(row.selector, slots, &m.globalsSlot, area);

  switch (r.kind) {
    case ResultKind::Text:
      r.written = text.length != int16_t(-23131) || text.handle != 0;
      if (text.handle) r.length = TakeText(text, to, texts, last, &r.same);
      break;
    case ResultKind::String:
      for (size_t i = 0; i < sizeof string; i += 4) r.written |= Word(string + i) != canary;
      if (r.written) {
        r.length = string[0];
        const std::string_view bytes(reinterpret_cast<const char*>(string + 1), string[0]);
        if (r.length > 0) PutNewText(bytes, to, texts, last, &r.same);
      }
      break;
    case ResultKind::Blob: {
      Handle h = Word(area);
      r.written = h != canary;
      if (r.written && h) {
        int32_t size;
        const uint8_t* p = platform::HandleBytes(h, &size);
        if (p) {
          to->assign(reinterpret_cast<const char*>(p), size_t(size));
          r.length = size;
        }
        platform::DisposeHandle(h);
      }
      break;
    }
    case ResultKind::Byte:
      r.written = area[0] != uint8_t(canary);
      r.value = area[0];
      break;
    case ResultKind::Long:
    case ResultKind::None:
      r.value = int32_t(Word(area));
      r.written = Word(area) != canary || Word(area + 4) != canary || Word(area + 8) != canary ||
                  Word(area + 12) != canary;
      break;
  }
  if (!r.written) r.value = 0;
  if (last && !r.same && r.length == 0) {
    to->clear();
    last->clear();  // `bytes` may be what held the last text converted
  }
  return r;
}

int Host::NewProcess(std::function<void()> body, std::string name) {
  Impl& m = *impl_;
  Process& p = m.processes.emplace_back();
  p.number = m.nextNumber++;
  p.name = std::move(name);
  p.body = std::move(body);
  p.stack = m.NewStack();
  if (!p.stack) {
    m.processes.pop_back();
    return 0;
  }
  p.self = std::prev(m.processes.end());
  m.byNumber[p.number] = &p;
  ++m.liveOthers;
  m.ready.emplace(p.number, &p);
  p.stackBottom = p.stack;
  p.stackSize = kStackSize;
  // The return address takes the last 8 bytes below the 16-byte aligned top: once it is
  // popped the stack is aligned as vrx_host_start's call needs.
  auto* frame = reinterpret_cast<StartFrame*>(static_cast<uint8_t*>(p.stack) + kStackSize - sizeof(StartFrame));
  *frame = StartFrame{};
  asm volatile("stmxcsr %0\n\tfnstcw %1" : "=m"(frame->mxcsr), "=m"(frame->fpuControl));
  frame->r12 = reinterpret_cast<uint64_t>(&m);
  frame->r13 = reinterpret_cast<uint64_t>(&Impl::Trampoline);
  frame->ret = &vrx_host_start;
  p.sp = frame;
  return p.number;
}

int Host::CurrentProcess() const { return impl_->current->number; }

int Host::ProcessCount() const { return impl_->liveOthers + 1; }

void Host::Yield() { impl_->Yield(); }

void Host::Delay(int32_t ticks) {
  impl_->Delay(impl_->current, ticks);
  impl_->Schedule();
}

bool Host::DelayOther(int number, int32_t ticks) {
  Process* p = impl_->Find(number);
  if (!p || p->state == State::Dead) return false;
  if (p != impl_->current) impl_->Delay(p, ticks);
  return true;
}

bool Host::IsDelayed(int number) const {
  Process* p = impl_->Find(number);
  return p && p->state == State::Delayed;
}

void Host::WaitForProcesses() {
  Impl& m = *impl_;
  if (m.current->number != 1) return;
  if (ProcessCount() <= 1) return;
  m.SetState(m.current, State::Joining);
  m.Schedule();
  m.SetState(m.current, State::Ready);
}

Handle Host::StoredHandle(int16_t number) const {
  auto it = impl_->storedHandles.find(number);
  return it == impl_->storedHandles.end() ? 0 : it->second;
}

void Host::FailNextHandleCall(int16_t code) { impl_->failNextHandleCall = code; }

}  // namespace host
