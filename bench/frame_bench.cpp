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
