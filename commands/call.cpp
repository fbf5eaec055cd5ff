#include "commands/call.h"

#include <algorithm>

#include "platform/memory.h"

namespace vrx {
namespace {
const uint8_t kEmptyString[256] = {0};

Handle NewHandleWith(std::string_view bytes) {
  Handle h = platform::NewHandle(int32_t(bytes.size()));
  if (h && !bytes.empty()) std::memcpy(platform::HandleAddress(h), bytes.data(), bytes.size());
  return h;
}

// Replaces the contents of a handle variable, allocating one when it holds none.
bool FillHandle(Handle* h, std::string_view bytes) {
  if (*h && platform::IsLiveHandle(*h)) {
    if (!platform::SetHandleSize(*h, int32_t(bytes.size()))) return false;
    if (!bytes.empty()) std::memcpy(platform::HandleAddress(*h), bytes.data(), bytes.size());
    return true;
  }
  *h = NewHandleWith(bytes);
  return *h != 0;
}
}  // namespace

int32_t Call::Long(int i) const {
  int32_t v = 0;
  if (Has(i)) std::memcpy(&v, Param(i), sizeof v);
  return v;
}

int16_t Call::Integer(int i) const {
  int16_t v = 0;
  if (Has(i)) std::memcpy(&v, Param(i), sizeof v);
  return v;
}

const uint8_t* Call::String(int i) const {
  return Has(i) ? static_cast<const uint8_t*>(Param(i)) : kEmptyString;
}

std::string_view Call::StringBytes(int i) const {
  const uint8_t* s = String(i);
  return {reinterpret_cast<const char*>(s + 1), s[0]};
}

TextValue* Call::Text(int i) const { return static_cast<TextValue*>(Param(i)); }

std::string Call::TextBytes(int i) const { return std::string(TextValueBytes(Text(i))); }

Handle* Call::Blob(int i) const { return static_cast<Handle*>(Param(i)); }

std::string Call::BlobBytes(int i) const {
  const Handle* h = Blob(i);
  if (!h) return {};
  const uint8_t* p = platform::HandleAddress(*h);
  if (!p) return {};
  return std::string(reinterpret_cast<const char*>(p), size_t(platform::HandleSize(*h)));
}

LongArrayValue* Call::LongArray(int i) const { return static_cast<LongArrayValue*>(Param(i)); }
DateValue* Call::Date(int i) const { return static_cast<DateValue*>(Param(i)); }
int32_t* Call::Time(int i) const { return static_cast<int32_t*>(Param(i)); }

void Call::SetLong(int i, int32_t v) const {
  if (Has(i)) std::memcpy(Param(i), &v, sizeof v);
}

void Call::SetInteger(int i, int16_t v) const {
  if (Has(i)) std::memcpy(Param(i), &v, sizeof v);
}

void Call::SetString(int i, std::string_view bytes) const {
  if (!Has(i)) return;
  auto* s = static_cast<uint8_t*>(Param(i));
  size_t n = std::min<size_t>(bytes.size(), 255);
  s[0] = uint8_t(n);
  if (n) std::memcpy(s + 1, bytes.data(), n);  // an empty view may have no data pointer
}

void Call::SetText(int i, std::string_view bytes) const {
  TextValue* t = Text(i);
  if (!t) return;
  bytes = bytes.substr(0, kMaxTextLength);
  Handle h = t->handle;
  if (FillHandle(&h, bytes)) {
    t->handle = h;
    t->length = int16_t(bytes.size());
  }
}

void Call::SetBlob(int i, std::string_view bytes) const {
  if (Handle* h = Blob(i)) FillHandle(h, bytes);
}

void Call::ResultText(std::string_view bytes) const {
  TextValue* t = ResultTextValue();
  bytes = bytes.substr(0, kMaxTextLength);
  Handle h = NewHandleWith(bytes);
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
  auto* s = *static_cast<uint8_t**>(result);
  size_t n = std::min<size_t>(bytes.size(), 255);
  s[0] = uint8_t(n);
  if (n) std::memcpy(s + 1, bytes.data(), n);  // an empty view may have no data pointer
}

}  // namespace vrx
