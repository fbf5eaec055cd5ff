// Speed of the method runner: reading methods, running plain 4D code, and the cost a
// VRX_ command adds over a direct host call.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/host.h"
#include "runner/runner.h"

namespace {

// A method that does not load would leave nothing to measure: stop there.
runner::Program LoadAll(const std::vector<std::pair<std::string, std::string>>& sources) {
  runner::Program p;
  std::vector<std::string> errors;
  if (!runner::LoadSources(sources, &p, &errors)) {
    for (const std::string& e : errors) std::fprintf(stderr, "%s\n", e.c_str());
    std::abort();
  }
  return p;
}

runner::Program Load(const std::string& source) { return LoadAll({{"main.4dm", source}}); }

void RunOnce(benchmark::State& state, host::Host& h, const runner::Program& p) {
  runner::RunOptions opts;
  opts.host = &h;
  opts.out = [](std::string_view) {};
  opts.err = [&](std::string_view l) { state.SkipWithError(std::string(l).c_str()); };
  benchmark::DoNotOptimize(runner::RunProgram(p, "main", {}, opts));
}

// Parsing a method of 200 lines of assignments, calls and blocks.
void BM_ParseMethod(benchmark::State& state) {
  std::string src;
  for (int i = 0; i < 40; ++i)
    src += "$x:=Length(\"abc\")+" + std::to_string(i) + "*2\nIf ($x>3)\n  $t:=Substring(\"hello\";2;3)\nEnd if\n"
           "ARRAY LONGINT($a;3)\n";
  runner::MethodNames names;
  runner::Program program;
  for (auto _ : state) {
    runner::Method m;
    runner::SyntaxError e;
    benchmark::DoNotOptimize(runner::ParseMethod(src, names, &program, &m, &e));
  }
  state.SetItemsProcessed(state.iterations() * 200);  // lines
}
BENCHMARK(BM_ParseMethod);

// Loop iterations of arithmetic, text and array work: statements per second.
void BM_InterpretLoop(benchmark::State& state) {
  host::Host h;
  runner::Program p = Load(
      "ARRAY LONGINT($a;100)\n$s:=0\n$t:=\"\"\n"
      "For ($i;1;10000)\n"
      "  $s:=$s+($i%7)\n"
      "  $a{($i%100)+1}:=$s\n"
      "  If (Length($t)<50)\n    $t:=$t+\"x\"\n  End if\n"
      "End for\n");
  for (auto _ : state) RunOnce(state, h, p);
  state.SetItemsProcessed(state.iterations() * 10000);  // loop iterations
}
BENCHMARK(BM_InterpretLoop);

// The loop bench/interp_vs_lua.sh runs beside Lua 5.4: longint arithmetic in a For loop.
void BM_IntegerLoop(benchmark::State& state) {
  host::Host h;
  runner::Program p = Load(
      "$n:=100000\n$s:=0\nFor ($i;1;$n)\n  $s:=$s+($i%7)\nEnd for\nASSERT($s=300000)\n");
  for (auto _ : state) RunOnce(state, h, p);
  state.SetItemsProcessed(state.iterations() * 100000);  // loop iterations
}
BENCHMARK(BM_IntegerLoop);

// Method calls with a parameter and a result.
void BM_MethodCalls(benchmark::State& state) {
  host::Host h;
  runner::Program p = LoadAll({{"main.4dm", "For ($i;1;1000)\n  $r:=Twice($i)\nEnd for\n"},
                              {"Twice.4dm", "C_LONGINT($1;$0)\n$0:=$1*2\n"}});
  for (auto _ : state) RunOnce(state, h, p);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_MethodCalls);

// A VRX_ command from a method: conversion to host values, the call, the result.
void BM_CommandFromMethod(benchmark::State& state) {
  host::Host h;
  runner::Program p = Load("For ($i;1;1000)\n  $r:=VRX_GetStreamRef(0)\nEnd for\n");
  for (auto _ : state) RunOnce(state, h, p);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_CommandFromMethod);

// Commands with output parameters, to set beside BM_CommandFromMethod (in only): five
// longints and integers, then a string and a longint.
void BM_CommandOutLongs(benchmark::State& state) {
  host::Host h;
  runner::Program p =
      Load("For ($i;1;1000)\n  $r:=VRX_GetStreamAddresses(0;$a;$b;$c;$d;$e)\nEnd for\n");
  for (auto _ : state) RunOnce(state, h, p);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_CommandOutLongs);

void BM_CommandOutText(benchmark::State& state) {
  host::Host h;
  runner::Program p =
      Load("For ($i;1;1000)\n  $r:=VRX_GetNameServer(\"ns.example\";$name;$port;0)\nEnd for\n");
  for (auto _ : state) RunOnce(state, h, p);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_CommandOutText);

// Outputs of the other kinds, each to set beside BM_CommandFromMethod: a date and a
// time; a text crossing into Mac Roman and back (non-ASCII both ways); a BLOB in and
// out; a longint array in and out.
void BM_CommandOutDateTime(benchmark::State& state) {
  host::Host h;
  runner::Program p = Load("For ($i;1;1000)\n  VRX_SecondsToDate($i*86400;$d;$t;1)\nEnd for\n");
  for (auto _ : state) RunOnce(state, h, p);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_CommandOutDateTime);

void BM_CommandTextCrossing(benchmark::State& state) {
  host::Host h;
  runner::Program p = Load("For ($i;1;1000)\n  $r:=VRX_MapTextChars(\"Grüße aus Köln\")\nEnd for\n");
  for (auto _ : state) RunOnce(state, h, p);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_CommandTextCrossing);

void BM_CommandInOutBlob(benchmark::State& state) {
  host::Host h;
  runner::Program p = Load("C_BLOB($b)\nTEXT TO BLOB(\"Hello, World! Hello, World!\";$b;UTF8 text without length)\n"
                           "For ($i;1;1000)\n  VRX_MapBlobChars($b)\nEnd for\n");
  for (auto _ : state) RunOnce(state, h, p);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_CommandInOutBlob);

void BM_CommandInOutLongArray(benchmark::State& state) {
  host::Host h;
  runner::Program p = Load("ARRAY LONGINT($refs;10)\nARRAY LONGINT($states;10)\n"
                           "For ($i;1;1000)\n  $r:=VRX_GetStreamStates($refs;$states;0)\nEnd for\n");
  for (auto _ : state) RunOnce(state, h, p);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_CommandInOutLongArray);

// A command with out parameters copied back into four variables (the command itself
// asks the system for the machine's address).
void BM_CommandWithOutParameters(benchmark::State& state) {
  host::Host h;
  runner::Program p = Load("For ($i;1;1000)\n  $r:=VRX_GetLocalAddress($a;$b;$c;$d)\nEnd for\n");
  for (auto _ : state) RunOnce(state, h, p);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_CommandWithOutParameters);

}  // namespace
