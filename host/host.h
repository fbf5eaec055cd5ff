// The 4D stand-in: loads libvrx.so, lays out host values, calls FourDPack, runs
// cooperative 4D processes and answers the plug-in's host calls.
//
// One Host exists at a time (HostEntry is a plain function). The thread that creates
// it is 4D process 1; NewProcess starts further processes as coroutines on that same
// thread, and exactly one of them runs at a time. A process gives way only inside host
// calls 89 and 93 (the plug-in's HostWait) or Host::Yield / Host::Delay.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "abi/abi.h"
#include "abi/command_table.h"

namespace host {

using vrx::DateValue;
using vrx::Handle;
using vrx::Kind;
using vrx::LongArrayValue;
using vrx::ResultKind;
using vrx::TextValue;

// One 4D variable. Its storage has the layout the plug-in expects; Slot() is what goes
// into the parameter block. Handles it holds belong to it and are disposed with it.
class Value {
 public:
  Value() = default;
  explicit Value(Kind kind);
  ~Value();
  Value(const Value& other);
  Value& operator=(const Value& other);
  Value(Value&& other) noexcept;
  Value& operator=(Value&& other) noexcept;

  static Value Long(int32_t v);
  static Value Integer(int16_t v);
  static Value String(std::string_view bytes);    // cut at 255 bytes
  static Value Text(std::string_view bytes);      // cut at 32767 bytes
  static Value Blob(std::string_view bytes);
  static Value Picture(std::string_view bytes);
  static Value LongArray(std::span<const int32_t> values);
  static Value Date(int16_t year, int16_t month, int16_t day);
  static Value Time(int32_t seconds);

  Kind kind() const { return kind_; }
  void* Slot();

  int32_t AsLong() const;        // long, integer, time (0 for others)
  std::string Bytes() const;     // string, text, blob, picture bytes
  // The same bytes where the value keeps them: valid until the value or any host
  // block changes.
  std::string_view View() const;
  std::vector<int32_t> Longs() const;
  // The elements of a long array, copied into *out (which keeps its storage).
  void LongsInto(std::vector<int32_t>* out) const;
  // The same elements where the value keeps them: valid until the value or any host
  // block changes.
  std::span<const int32_t> LongsView() const;
  DateValue AsDate() const { return date_; }
  Handle handle() const;         // text, blob, picture handle (0 when none)

  void SetLong(int32_t v);
  void SetBytes(std::string_view bytes);  // string, text, blob, picture
  void SetDate(int16_t year, int16_t month, int16_t day);  // date
  // A long array's elements, in the block it has; without memory the array is left
  // empty.
  void SetLongs(std::span<const int32_t> values);
  // Makes a long array `count` elements long and gives them to be filled (they hold
  // anything until then), valid as LongsView is; without memory the array is left empty
  // and so is the answer.
  std::span<int32_t> ResizeLongs(size_t count);
  // Takes ownership of a handle as this BLOB/picture/text variable's contents.
  void AdoptHandle(Handle h);

 private:
  void Release();
  void CopyFrom(const Value& other);

  Kind kind_ = Kind::None;
  int32_t long_ = 0;       // long, time
  int16_t integer_ = 0;
  uint8_t string_[256] = {};
  TextValue text_ = {0, 0};
  Handle blob_ = 0;         // blob, picture
  LongArrayValue array_ = {0, 0, 0};
  DateValue date_ = {0, 0, 0};
};

// Where the plug-in finds the value: inline, as every call asks it of each parameter.
inline void* Value::Slot() {
  switch (kind_) {
    case Kind::Long:
    case Kind::Time:
    case Kind::Any: return &long_;
    case Kind::Integer: return &integer_;
    case Kind::String: return string_;
    case Kind::Text: return &text_;
    case Kind::Blob:
    case Kind::Picture: return &blob_;
    case Kind::LongArray: return &array_;
    case Kind::Date: return &date_;
    case Kind::None: return nullptr;
  }
  return nullptr;
}

// What a call left in the result area.
struct CallResult {
  ResultKind kind = ResultKind::None;
  bool written = false;
  int32_t value = 0;   // long and byte results
  // Text, string and BLOB results: how many bytes the plug-in gave (0: none). Read in
  // place of the size of what they became, which was stored a moment ago.
  int32_t length = 0;
  // A text or string result whose bytes were those CallSlots was given as the last
  // ones: `bytes` holds what it held before.
  bool same = false;
  std::string bytes;   // text, string, blob results (the host frees their handles)
};

class Host {
 public:
  struct Options {
    std::string pluginPath;   // empty: the libvrx.so built beside this host
    bool testClock = false;   // ticks move only when advanced (or jumped when all wait)
  };
  // Loads and initialises the plug-in. On failure error() says why and loaded() is false.
  explicit Host(Options options);
  Host();
  ~Host();  // shuts the plug-in down and unloads it
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  static Host* Current();
  bool loaded() const;
  const std::string& error() const;

  // One FourDPack call. params[i] is $i+1; null entries are absent parameters.
  CallResult Call(int32_t selector, std::span<Value* const> params);
  CallResult Call(std::string_view name, std::span<Value* const> params);
  // The same call for a caller that keeps the command's row and each parameter's storage
  // (Value::Slot(), null when absent) from one call to the next: slots has kParamSlots
  // entries and is the parameter block the plug-in reads. With `bytes`, a text, string
  // or BLOB result goes there (its storage reused) instead of into CallResult::bytes.
  // `texts` says whether a text or string result arrives as the plug-in wrote it (Mac
  // Roman) or in UTF-8, converted as it is read, for a caller that keeps texts in UTF-8.
  // With `last` as well, a text or string result made of the bytes `last` holds (as the
  // plug-in wrote them) is not converted again and leaves `bytes` as it is
  // (CallResult::same): a command called in a loop often answers what it answered
  // before. Any other such result's bytes are kept in `last` for the next call.
  enum class Texts : uint8_t { MacRoman, Utf8 };
  CallResult CallSlots(const vrx::CommandInfo& row, void** slots, std::string* bytes = nullptr,
                       Texts texts = Texts::MacRoman, std::string* last = nullptr);
  // Raw entry, for benchmarks and ABI tests.
  void RawCall(int32_t selector, void** params, void* result);

  // Shuts the plug-in down now (selector -2); the destructor then only unloads it.
  void Shutdown();

  // ---- processes ----
  // Starts a 4D process; it first runs when the current one gives way. Returns its number.
  int NewProcess(std::function<void()> body, std::string name = {});
  int CurrentProcess() const;
  int ProcessCount() const;  // live processes, process 1 included
  // Let the others run once (host call 93).
  void Yield();
  // Sleep this process for ticks (host calls 89 and 93).
  void Delay(int32_t ticks);
  // Sleep another process for ticks from now: one that is ready to run (a process already
  // asleep keeps its own wake-up). False when no live process has that number.
  bool DelayOther(int number, int32_t ticks);
  bool IsDelayed(int number) const;
  // Process 1 only: run the others until every one has ended.
  void WaitForProcesses();

  // ---- host handles (host calls 26 and 27) ----
  Handle StoredHandle(int16_t number) const;
  // Test hook: make the next host call 26 answer this code.
  void FailNextHandleCall(int16_t code);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace host
