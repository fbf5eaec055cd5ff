#include "commands/call.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "abi/command_table.h"
#include "platform/memory.h"

namespace vrx {
namespace {
const uint8_t kEmptyString[256] = {0};

// Replaces the contents of a handle variable, allocating one when it holds none.
bool FillHandle(Handle* h, std::string_view bytes) {
  if (*h && platform::IsLiveHandle(*h)) {
    if (!platform::SetHandleSize(*h, int32_t(bytes.size()))) return false;
    if (!bytes.empty()) std::memcpy(platform::HandleAddress(*h), bytes.data(), bytes.size());
    return true;
  }
  *h = platform::NewHandleWith(bytes);
  return *h != 0;
}
}  // namespace

#ifdef VRX_CHECK_CALLS
void Call::Expect(int i, Kind kind) const {
  if (!row) return;
  Kind declared = i >= 1 && i <= row->paramCount ? row->params[i - 1].kind : Kind::None;
  // A Long accessor on a Time is the same 32 bits, a picture is a handle variable as a
  // BLOB is; Any accepts every kind.
  if (declared == kind || declared == Kind::Any || (kind == Kind::Long && declared == Kind::Time) ||
      (kind == Kind::Blob && declared == Kind::Picture))
    return;
  std::fprintf(stderr, "%.*s: $%d read as %.*s, declared %.*s\n", int(row->name.size()), row->name.data(), i,
               int(KindName(kind).size()), KindName(kind).data(), int(KindName(declared).size()),
               KindName(declared).data());
  std::abort();
}
#endif

int32_t Call::Long(int i) const {
  Expect(i, Kind::Long);
  int32_t v = 0;
  if (Has(i)) std::memcpy(&v, Param(i), sizeof v);
  return v;
}

int16_t Call::Integer(int i) const {
  Expect(i, Kind::Integer);
  int16_t v = 0;
  if (Has(i)) std::memcpy(&v, Param(i), sizeof v);
  return v;
}

const uint8_t* Call::String(int i) const {
  Expect(i, Kind::String);
  return Has(i) ? static_cast<const uint8_t*>(Param(i)) : kEmptyString;
}

std::string_view Call::StringBytes(int i) const {
  const uint8_t* s = String(i);
  return {reinterpret_cast<const char*>(s + 1), s[0]};
}

TextValue* Call::Text(int i) const {
  Expect(i, Kind::Text);
  return static_cast<TextValue*>(Param(i));
}

std::string Call::TextBytes(int i) const { return std::string(TextValueBytes(Text(i))); }

Handle* Call::Blob(int i) const {
  Expect(i, Kind::Blob);
  return static_cast<Handle*>(Param(i));
}

LongArrayValue* Call::LongArray(int i) const {
  Expect(i, Kind::LongArray);
  return static_cast<LongArrayValue*>(Param(i));
}
DateValue* Call::Date(int i) const {
  Expect(i, Kind::Date);
  return static_cast<DateValue*>(Param(i));
}
int32_t* Call::Time(int i) const {
  Expect(i, Kind::Time);
  return static_cast<int32_t*>(Param(i));
}

void Call::SetLong(int i, int32_t v) const {
  Expect(i, Kind::Long);
  if (Has(i)) std::memcpy(Param(i), &v, sizeof v);
}

void Call::SetInteger(int i, int16_t v) const {
  Expect(i, Kind::Integer);
  if (Has(i)) std::memcpy(Param(i), &v, sizeof v);
}

void Call::SetString(int i, std::string_view bytes) const {
  Expect(i, Kind::String);
  if (!Has(i)) return;
  vrx::PutString(static_cast<uint8_t*>(Param(i)), bytes.data(), bytes.size());
}

bool Call::SetText(int i, std::string_view bytes) const {
  Expect(i, Kind::Text);
  TextValue* t = Text(i);
  if (!t) return true;
  bytes = bytes.substr(0, kMaxTextLength);
  Handle h = t->handle;
  if (!FillHandle(&h, bytes)) return false;
  t->handle = h;
  t->length = int16_t(bytes.size());
  return true;
}

Handle Call::BlobHandle(int i) const {
  Handle* b = Blob(i);
  return b ? *b : 0;
}

void Call::ResultText(std::string_view bytes) const {
  TextValue* t = ResultTextValue();
  bytes = bytes.substr(0, kMaxTextLength);
  Handle h = platform::NewHandleWith(bytes);
  t->handle = h;
  t->length = h ? int16_t(bytes.size()) : 0;
}

void Call::ResultTextHandle(Handle h) const {
  TextValue* t = ResultTextValue();
  int32_t size = platform::HandleSize(h);
  if (size > kMaxTextLength) {
    platform::SetHandleSize(h, kMaxTextLength);
    size = kMaxTextLength;
  }
  t->handle = h;
  t->length = int16_t(size);
}

void Call::ResultString(std::string_view bytes) const {
  vrx::PutString(*static_cast<uint8_t**>(result), bytes.data(), bytes.size());
}

}  // namespace vrx
