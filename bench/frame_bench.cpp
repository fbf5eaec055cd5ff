// Cost of the entry point and of the host's process switch.
#include <benchmark/benchmark.h>

#include <vector>

#include "host/host.h"

namespace {

// A command that does no work: what is measured is the dispatch.
void BM_FourDPackReservedCommand(benchmark::State& state) {
  host::Host h;
  void* slots[vrx::kParamSlots] = {};
  alignas(8) uint8_t area[16];
  for (auto _ : state) {
    h.RawCall(25, slots, area);
    benchmark::DoNotOptimize(area);
  }
}
BENCHMARK(BM_FourDPackReservedCommand);

// One parameter read and one written, through the host's variables.
void BM_FourDPackGetStreamRef(benchmark::State& state) {
  host::Host h;
  host::Value pos = host::Value::Long(0);
  void* slots[vrx::kParamSlots] = {pos.Slot()};
  alignas(8) uint8_t area[16];
  for (auto _ : state) {
    h.RawCall(52, slots, area);
    benchmark::DoNotOptimize(area);
  }
}
BENCHMARK(BM_FourDPackGetStreamRef);

// The same call as a host::Host::Call, which also lays out and reads back values.
void BM_HostCallGetStreamRef(benchmark::State& state) {
  host::Host h;
  host::Value pos = host::Value::Long(0);
  std::vector<host::Value*> ps{&pos};
  for (auto _ : state) benchmark::DoNotOptimize(h.Call(52, ps));
}
BENCHMARK(BM_HostCallGetStreamRef);

// Host calls with outputs of each kind, to set beside BM_HostCallGetStreamRef.
void BM_HostCallSecondsToDate(benchmark::State& state) {
  host::Host h;
  host::Value seconds = host::Value::Long(0), date(host::Kind::Date), time(host::Kind::Time),
              flag = host::Value::Long(1);
  std::vector<host::Value*> ps{&seconds, &date, &time, &flag};
  for (auto _ : state) {
    seconds.SetLong(seconds.AsLong() + 86400);
    benchmark::DoNotOptimize(h.Call(51, ps));
  }
}
BENCHMARK(BM_HostCallSecondsToDate);

void BM_HostCallMapTextChars(benchmark::State& state) {
  host::Host h;
  host::Value text = host::Value::Text("Gr\x9f\xa7" "e aus K\x9a" "ln");  // Mac Roman
  std::vector<host::Value*> ps{&text};
  for (auto _ : state) benchmark::DoNotOptimize(h.Call(87, ps));
}
BENCHMARK(BM_HostCallMapTextChars);

void BM_HostCallMapBlobChars(benchmark::State& state) {
  host::Host h;
  host::Value blob = host::Value::Blob("Hello, World! Hello, World!");
  std::vector<host::Value*> ps{&blob};
  for (auto _ : state) benchmark::DoNotOptimize(h.Call(88, ps));
}
BENCHMARK(BM_HostCallMapBlobChars);

void BM_HostCallGetStreamStates(benchmark::State& state) {
  host::Host h;
  std::vector<int32_t> none(10, 0);
  host::Value refs = host::Value::LongArray(none), states = host::Value::LongArray(none),
              threshold = host::Value::Long(0);
  std::vector<host::Value*> ps{&refs, &states, &threshold};
  for (auto _ : state) benchmark::DoNotOptimize(h.Call(64, ps));
}
BENCHMARK(BM_HostCallGetStreamStates);

// Two 4D processes handing control back and forth (one iteration = two switches).
void BM_ProcessSwitch(benchmark::State& state) {
  host::Host h;
  bool done = false;
  h.NewProcess([&] {
    while (!done) h.Yield();
  });
  for (auto _ : state) h.Yield();
  done = true;
  h.WaitForProcesses();
}
BENCHMARK(BM_ProcessSwitch);

}  // namespace
