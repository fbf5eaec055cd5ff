// The walks over the command table: the samples of abi/command_samples.def as values,
// the fixtures they name, and one run of a command through FourDPack in a fresh host.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "abi/command_table.h"
#include "host/host.h"
#include "platform/memory.h"

namespace walk {

enum class Fixture { None, Stream, Listener, Udp, Md5, Digest, Queue };
enum class Cleanup { None, DisposeHandle, CloseFile, FinishDigest, Priority };

struct Arg {
  enum class Type { Absent, Number, Bytes, Path, Ref, Port, Refs, Longs, Date };
  Type type = Type::Absent;
  int32_t number = 0;
  std::string bytes;  // bytes, or a file name for Path
  std::vector<int32_t> longs;
  int16_t year = 0, month = 0, day = 0;
};

// How a command answers when memory runs short.
struct Shortage {
  bool partial = false;  // it may stop part-way, reporting what it did
  std::vector<int32_t> codes;
};

struct Sample {
  int32_t selector;
  std::string name;
  Fixture fixture;
  Cleanup cleanup;
  Shortage shortage;
  std::vector<Arg> args;
};

// Every row of the samples file, in its order.
const std::vector<Sample>& Samples();
const Sample* SampleFor(int32_t selector);

// One call of a sample's command. With `failAt` the failAt-th allocation fails (in
// `mode`); with `override` parameter override->first (from 0) takes the number
// override->second instead of its sample.
struct RunPlan {
  int64_t failAt = 0;
  platform::AllocationFailure mode = platform::AllocationFailure::Nth;
  std::optional<std::pair<int, int32_t>> override;
  // Called after the call, failures off, with the host and the fixture's reference.
  std::function<void(host::Host&, int32_t)> then;
  // A Stream fixture over SSL: its peer, a stream of the same host, sends the same bytes
  // and its close notification. Needs PrepareCertificate().
  bool ssl = false;
  // With a non-zero value that file system call on a regular file fails (file_faults.h).
  int64_t failFileCallAt = 0;
  bool readOutputs = false;  // fills Outcome::outputs
  int absent = -1;           // this parameter (from 0) is not passed at all
};

struct Outcome {
  host::CallResult result;
  std::vector<std::string> before, after;  // every parameter, as an image
  int64_t allocations = 0;                 // counted during the call
  std::string handleBytes;                 // of a result that is a block (cleanup DisposeHandle)
  int32_t fixtureRef = 0;
  bool refRejected = false;  // the stream/endpoint parameter named no open one
  int64_t fileCalls = 0;     // file system calls counted during the call (with failFileCallAt)
  std::string outputs;       // with readOutputs: the files of the walk's folder named out* or ._out*
};

// Runs one call in a fresh host with the test clock, then checks what every run must
// keep (no leaked block or descriptor, in-only parameters unchanged) with gtest.
Outcome RunCommand(const Sample& s, const vrx::CommandInfo& row, const RunPlan& plan);

// Prepares the input files of the walk's folder (again when the kind changes): plain.txt
// and its MacBinary, BinHex, uuencoded and gzip forms; with `withResourceFork` plain.txt
// also has Finder information and a resource fork.
void PrepareFiles(bool withResourceFork = false);
// Makes the server certificate of the SSL fixture; false when the openssl command fails.
bool PrepareCertificate();
// A description of the run for messages ("VRX_SendText, allocation 3 fails").
std::string Describe(const Sample& s, const RunPlan& plan);

}  // namespace walk
