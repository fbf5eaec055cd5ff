// Walks every command of the table through FourDPack with its sample arguments: with
// each allocation failing in turn (and with every one from the nth on), and with each
// numeric parameter at the edges of its range.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <set>

#include "abi/reference.h"
#include "walk_support.h"

namespace {

using namespace walk;
using platform::AllocationFailure;
using vrx::CommandInfo;
using vrx::Dir;
using vrx::Kind;
using vrx::ResultKind;

// A command's allocations are few with its sample; far more means a loop that retries.
constexpr int64_t kMaxRunsPerMode = 300;

// True when `text` names `code` as a number of its own ("-108", not "-1080" or "108").
bool Mentions(std::string_view text, int32_t code) {
  std::string n = std::to_string(code);
  for (size_t at = text.find(n); at != std::string_view::npos; at = text.find(n, at + 1)) {
    bool startOk = at == 0 || !(std::isdigit(uint8_t(text[at - 1])) || text[at - 1] == '-');
    size_t end = at + n.size();
    if (startOk && (end == text.size() || !std::isdigit(uint8_t(text[end])))) return true;
  }
  return false;
}

TEST(Walk, EveryCommandHasASample) {
  std::set<int32_t> seen;
  for (const Sample& s : Samples()) {
    const CommandInfo* row = vrx::CommandBySelector(s.selector);
    ASSERT_TRUE(row && !row->name.empty()) << "a sample for no command: " << s.selector;
    EXPECT_EQ(row->name, s.name);
    EXPECT_TRUE(seen.insert(s.selector).second) << s.name << " has two samples";
    EXPECT_EQ(int(s.args.size()), row->paramCount) << s.name;
    EXPECT_EQ(s.cleanup == Cleanup::DisposeHandle, row->ownedResult) << s.name << ": who disposes of the result";
    const vrx::CommandHelp* help = vrx::HelpForSelector(s.selector);
    for (int32_t code : s.shortage.codes) {
      EXPECT_TRUE(help && Mentions(help->result, code)) << s.name << " does not document " << code;
    }
  }
  for (const CommandInfo& row : vrx::AllCommands()) {
    if (row.name.empty()) continue;
    EXPECT_TRUE(seen.count(row.selector)) << row.name << " has no sample in abi/command_samples.def";
  }
}

// A run whose allocation failed answers as without the failure, or reports it: the
// failure value or a documented shortage code; texts come back whole or empty, and
// in/out parameters are either untouched or as the normal run left them. A command
// that may stop part-way reports what it did instead: its in/out results then differ.
void ExpectShortageAnswer(const Sample& s, const CommandInfo& row, const Outcome& normal, const Outcome& o,
                          const RunPlan& plan) {
  const host::CallResult& r = o.result;
  const host::CallResult& n = normal.result;
  const std::vector<int32_t>& codes = s.shortage.codes;
  std::string what = Describe(s, plan);
  switch (row.result) {
    case ResultKind::Long: {
      bool reported = r.value == row.failValue || std::find(codes.begin(), codes.end(), r.value) != codes.end();
      bool same = s.cleanup == Cleanup::DisposeHandle ? o.handleBytes == normal.handleBytes && r.value != 0
                                                      : r.value == n.value;
      EXPECT_TRUE(same || reported || s.shortage.partial || (!r.written && !n.written))
          << what << ": result " << r.value << " (normally " << n.value << ")";
      break;
    }
    case ResultKind::Text:
    case ResultKind::String:
    case ResultKind::Blob:
      EXPECT_TRUE(r.bytes == n.bytes || r.bytes.empty()) << what << ": result of " << r.bytes.size() << " bytes";
      break;
    case ResultKind::Byte: EXPECT_EQ(r.value, n.value) << what; break;
    case ResultKind::None: break;
  }
  if (s.shortage.partial) return;
  for (int i = 0; i < row.paramCount; ++i) {
    if (row.params[i].dir != Dir::InOut) continue;
    EXPECT_TRUE(o.after[size_t(i)] == o.before[size_t(i)] || o.after[size_t(i)] == normal.after[size_t(i)])
        << what << ": $" << i + 1 << " is " << o.after[size_t(i)];
  }
}

// Runs a sample with the n-th allocation failing, n = 1, 2, ... until a run completes
// without reaching the failure, in both modes; adds the runs to runs[mode].
// With `override` one numeric parameter takes another value than its sample's.
void WalkAllocations(const Sample& s, const CommandInfo& row, bool ssl, int64_t runs[2],
                     std::optional<std::pair<int, int32_t>> override = {}) {
  Outcome normal = RunCommand(s, row, RunPlan{0, AllocationFailure::Nth, override, {}, ssl});
  for (AllocationFailure mode : {AllocationFailure::Nth, AllocationFailure::EveryFrom}) {
    for (int64_t n = 1;; ++n) {
      ASSERT_LE(n, kMaxRunsPerMode) << s.name << " keeps allocating";
      RunPlan plan{n, mode, override, {}, ssl};
      Outcome o = RunCommand(s, row, plan);
      ++runs[int(mode)];
      if (o.allocations < n) break;  // the run completed without reaching the failure
      ExpectShortageAnswer(s, row, normal, o, plan);
    }
  }
}

// Runs a sample with each numeric input in turn at the edges of its range; returns the
// number of runs.
int64_t WalkExtremes(const Sample& s, const CommandInfo& row, bool ssl) {
  constexpr int32_t kExtremes[] = {INT32_MIN, -32768, -1, 0, 1, 32767, 32768, 65535, INT32_MAX};
  int64_t runs = 0;
  for (int i = 0; i < row.paramCount; ++i) {
    Kind kind = row.params[i].kind;
    Dir dir = row.params[i].dir;
    bool numeric = kind == Kind::Long || kind == Kind::Integer || kind == Kind::Time;
    if (!numeric || (dir != Dir::In && dir != Dir::InOut) || s.args[size_t(i)].type == Arg::Type::Absent)
      continue;
    std::set<int32_t> tried;
    for (int32_t extreme : kExtremes) {
      int32_t value = kind == Kind::Integer ? int16_t(extreme) : extreme;  // what 4D can pass
      if (!tried.insert(value).second) continue;
      RunPlan plan{0, AllocationFailure::Nth, std::make_pair(i, value), {}, ssl};
      Outcome o = RunCommand(s, row, plan);
      ++runs;
      // GetStreamState answers network values for references -18 to -1.
      bool networkValue = row.selector == 6 && value >= -18 && value <= -1;
      if (o.refRejected && !networkValue && row.result == ResultKind::Long && o.result.written) {
        EXPECT_EQ(o.result.value, row.failValue) << Describe(s, plan) << ": a rejected reference";
      }
      if (row.result == ResultKind::Text) {
        EXPECT_LE(o.result.bytes.size(), 32767u) << Describe(s, plan);
      }
    }
  }
  return runs;
}

TEST(Walk, AllocationFailures) {
  PrepareFiles();
  int commands = 0;
  int64_t runs[2] = {0, 0};
  for (const CommandInfo& row : vrx::AllCommands()) {
    const Sample* s = SampleFor(row.selector);
    if (row.name.empty() || !s) continue;  // EveryCommandHasASample reports it
    ++commands;
    WalkAllocations(*s, row, false, runs);
  }
  std::printf("allocation-failure walk: %d commands; %lld runs failing the nth allocation, %lld failing "
              "every one from the nth\n",
              commands, static_cast<long long>(runs[0]), static_cast<long long>(runs[1]));
}

// The transfers once more with a conversion (CR and LF, 8): converting allocates too.
TEST(Walk, TransfersWithAConversion) {
  PrepareFiles();
  int64_t runs[2] = {0, 0};
  const std::pair<int32_t, int> kOptions[] = {{12, 2}, {13, 2}, {81, 3}, {82, 3}};  // selector, options' index
  for (auto [selector, index] : kOptions) {
    const CommandInfo& row = *vrx::CommandBySelector(selector);
    WalkAllocations(*SampleFor(selector), row, false, runs, std::make_pair(index, 8));
  }
  std::printf("conversion walk: %lld + %lld runs\n", static_cast<long long>(runs[0]), static_cast<long long>(runs[1]));
}

// A run whose nth file system call fails (a disk error) answers as without the failure,
// files included, or reports a failure: never success with other files than the normal
// run's. The commands that take a file name; once with plain files, once with an input
// that has both forks. Those without a Long result have no failure to report: they must
// end cleanly (no leak, no hang).
TEST(Walk, FileErrors) {
  int commands = 0;
  int64_t runs = 0;
  for (bool forks : {false, true}) {
    PrepareFiles(forks);
    for (const CommandInfo& row : vrx::AllCommands()) {
      const Sample* s = SampleFor(row.selector);
      if (row.name.empty() || !s) continue;
      if (std::none_of(s->args.begin(), s->args.end(), [](const Arg& a) { return a.type == Arg::Type::Path; }))
        continue;
      ++commands;
      RunPlan plan;
      plan.readOutputs = true;
      Outcome normal = RunCommand(*s, row, plan);
      for (int64_t n = 1;; ++n) {
        ASSERT_LE(n, kMaxRunsPerMode) << s->name << " keeps calling";
        plan.failFileCallAt = n;
        Outcome o = RunCommand(*s, row, plan);
        ++runs;
        if (o.fileCalls < n) break;  // the run completed without reaching the failure
        if (row.result == ResultKind::Long && o.result.value == normal.result.value &&
            s->cleanup != Cleanup::CloseFile) {
          EXPECT_TRUE(o.outputs == normal.outputs)
              << s->name << (forks ? " on both forks" : "") << ", file call " << n << " fails: result " << o.result.value << " as normally, but the files differ";
        }
      }
    }
  }
  PrepareFiles(false);
  std::printf("file-error walk: %d commands, %lld runs\n", commands, static_cast<long long>(runs));
}

// A receive without memory for its result leaves what arrived in the stream.
TEST(Walk, ReceivesKeepTheBytesWhenMemoryIsShort) {
  for (int32_t selector : {8, 82}) {
    const CommandInfo& row = *vrx::CommandBySelector(selector);
    std::string next;
    RunPlan plan{1, AllocationFailure::EveryFrom, {}, [&](host::Host& h, int32_t ref) {
                   host::Value r = host::Value::Long(ref), text = host::Value::Text(""), length = host::Value::Integer(0),
                               none = host::Value::Long(0), delimiter = host::Value::String("");
                   std::vector<host::Value*> ps{&r, &text, &length, &none, &none, &delimiter, &none};
                   h.Call("VRX_ReceiveText", ps);
                   next = text.Bytes();
                 },
                 false};
    Outcome o = RunCommand(*SampleFor(selector), row, plan);
    EXPECT_EQ(o.result.value, -108) << row.name;
    EXPECT_EQ(next.substr(0, 12), "first line\r\n") << row.name;
  }
}

TEST(Walk, ExtremeNumbers) {
  PrepareFiles();
  int commands = 0;
  int64_t runs = 0;
  for (const CommandInfo& row : vrx::AllCommands()) {
    const Sample* s = SampleFor(row.selector);
    if (row.name.empty() || !s) continue;
    ++commands;
    runs += WalkExtremes(*s, row, false);
  }
  std::printf("extreme-number walk: %d commands, %lld runs\n", commands, static_cast<long long>(runs));
}

// A host may leave out any parameter: each command, with each of its parameters missing
// in turn, answers without a crash, a leak or a change to its inputs.
TEST(Walk, MissingParameters) {
  PrepareFiles();
  int64_t runs = 0;
  for (const CommandInfo& row : vrx::AllCommands()) {
    const Sample* s = SampleFor(row.selector);
    if (row.name.empty() || !s) continue;
    for (int i = 0; i < row.paramCount; ++i) {
      RunPlan plan;
      plan.absent = i;
      RunCommand(*s, row, plan);
      ++runs;
    }
  }
  std::printf("missing-parameter walk: %lld runs\n", static_cast<long long>(runs));
}

// The commands that take a stream once more on an SSL stream: the transport, the close
// notification and the SSL calls allocate and fail in their own ways.
TEST(Walk, StreamCommandsOnSsl) {
  PrepareFiles();
  if (!PrepareCertificate()) GTEST_SKIP() << "the openssl command could not make a certificate";
  int commands = 0;
  int64_t allocationRuns[2] = {0, 0}, extremeRuns = 0;
  for (const CommandInfo& row : vrx::AllCommands()) {
    const Sample* s = SampleFor(row.selector);
    if (row.name.empty() || !s || s->fixture != Fixture::Stream) continue;
    ++commands;
    WalkAllocations(*s, row, true, allocationRuns);
    extremeRuns += WalkExtremes(*s, row, true);
  }
  std::printf("SSL stream walk: %d commands; %lld + %lld allocation-failure runs, %lld extreme-number runs\n",
              commands, static_cast<long long>(allocationRuns[0]), static_cast<long long>(allocationRuns[1]),
              static_cast<long long>(extremeRuns));
}

}  // namespace
