#include <algorithm>
#include <cstring>

#include "host/host.h"
#include "platform/memory.h"

namespace host {
namespace {
std::string HandleBytes(Handle h, int32_t limit) {
  const uint8_t* p = platform::HandleAddress(h);
  if (!p) return {};
  int32_t n = std::min(platform::HandleSize(h), limit);
  return n > 0 ? std::string(reinterpret_cast<const char*>(p), size_t(n)) : std::string();
}
// n bytes to `to`: up to 16 of them, as a parameter's text mostly is, in two
// overlapping moves of 8 or 4 bytes instead of a call.
inline void CopyBytes(uint8_t* to, const char* from, size_t n) {
  if (n >= 8 && n <= 16) {
    uint64_t head, tail;
    std::memcpy(&head, from, 8);
    std::memcpy(&tail, from + n - 8, 8);
    std::memcpy(to, &head, 8);
    std::memcpy(to + n - 8, &tail, 8);
  } else if (n >= 4 && n < 8) {
    uint32_t head, tail;
    std::memcpy(&head, from, 4);
    std::memcpy(&tail, from + n - 4, 4);
    std::memcpy(to, &head, 4);
    std::memcpy(to + n - 4, &tail, 4);
  } else if (n != 0) {
    std::memcpy(to, from, n);
  }
}
// Replaces a handle's contents in place, or gives a new handle when it has none.
void Refill(Handle* h, std::string_view bytes) {
  // As many bytes as it holds: no resize, and one call for the address.
  int32_t had = 0;
  uint8_t* at = *h ? platform::HandleBytes(*h, &had) : nullptr;
  if (at && size_t(had) == bytes.size()) {
    CopyBytes(at, bytes.data(), bytes.size());
    return;
  }
  if (*h && platform::SetHandleSize(*h, int32_t(bytes.size()))) {
    if (!bytes.empty()) std::memcpy(platform::HandleAddress(*h), bytes.data(), bytes.size());
    return;
  }
  platform::DisposeHandle(*h);
  *h = platform::NewHandleWith(bytes);
}
Handle Copy(Handle h) {
  if (!h || !platform::IsLiveHandle(h)) return 0;
  Handle c = h;
  return platform::DuplicateHandle(&c) == 0 ? c : 0;
}
}  // namespace

Value::Value(Kind kind) : kind_(kind) {
  if (kind_ == Kind::Text) text_.handle = platform::NewHandle(0);
  if (kind_ == Kind::Blob || kind_ == Kind::Picture) blob_ = platform::NewHandle(0);
  if (kind_ == Kind::LongArray) array_.handle = platform::NewHandleClear(4);
}

Value::~Value() { Release(); }

void Value::Release() {
  // Most values hold no block at all: no call for those.
  if (text_.handle) platform::DisposeHandle(text_.handle);
  if (blob_) platform::DisposeHandle(blob_);
  if (array_.handle) platform::DisposeHandle(array_.handle);
  text_ = {0, 0};
  blob_ = 0;
  array_ = {0, 0, 0};
}

void Value::CopyFrom(const Value& o) {
  kind_ = o.kind_;
  long_ = o.long_;
  integer_ = o.integer_;
  std::memcpy(string_, o.string_, sizeof string_);
  date_ = o.date_;
  text_ = {o.text_.length, Copy(o.text_.handle)};
  blob_ = Copy(o.blob_);
  array_ = {o.array_.unused, o.array_.count, Copy(o.array_.handle)};
}

Value::Value(const Value& other) { CopyFrom(other); }
Value& Value::operator=(const Value& other) {
  if (this != &other) {
    Release();
    CopyFrom(other);
  }
  return *this;
}
Value::Value(Value&& o) noexcept { *this = std::move(o); }
Value& Value::operator=(Value&& o) noexcept {
  if (this == &o) return *this;
  Release();
  kind_ = o.kind_;
  long_ = o.long_;
  integer_ = o.integer_;
  std::memcpy(string_, o.string_, sizeof string_);
  date_ = o.date_;
  text_ = o.text_;
  blob_ = o.blob_;
  array_ = o.array_;
  o.text_ = {0, 0};
  o.blob_ = 0;
  o.array_ = {0, 0, 0};
  return *this;
}

Value Value::Long(int32_t v) {
  Value x(Kind::Long);
  x.long_ = v;
  return x;
}
Value Value::Integer(int16_t v) {
  Value x(Kind::Integer);
  x.integer_ = v;
  return x;
}
namespace {
Value WithBytes(Kind kind, std::string_view bytes) {
  Value x(kind);
  x.SetBytes(bytes);
  return x;
}
}  // namespace

Value Value::String(std::string_view bytes) { return WithBytes(Kind::String, bytes); }
Value Value::Text(std::string_view bytes) { return WithBytes(Kind::Text, bytes); }
Value Value::Blob(std::string_view bytes) { return WithBytes(Kind::Blob, bytes); }
Value Value::Picture(std::string_view bytes) { return WithBytes(Kind::Picture, bytes); }
Value Value::LongArray(std::span<const int32_t> values) {
  Value x(Kind::LongArray);
  x.SetLongs(values);
  return x;
}
Value Value::Date(int16_t year, int16_t month, int16_t day) {
  Value x(Kind::Date);
  x.date_ = {day, month, year};
  return x;
}
Value Value::Time(int32_t seconds) {
  Value x(Kind::Time);
  x.long_ = seconds;
  return x;
}

int32_t Value::AsLong() const {
  switch (kind_) {
    case Kind::Long:
    case Kind::Time:
    case Kind::Any: return long_;
    case Kind::Integer: return integer_;
    default: return 0;
  }
}

std::string Value::Bytes() const {
  switch (kind_) {
    case Kind::String: return std::string(reinterpret_cast<const char*>(string_ + 1), string_[0]);
    case Kind::Text: return text_.length > 0 ? HandleBytes(text_.handle, text_.length) : std::string();
    case Kind::Blob:
    case Kind::Picture: return HandleBytes(blob_, INT32_MAX);
    default: return {};
  }
}

std::string_view Value::View() const {
  auto view = [](Handle h, int32_t limit) -> std::string_view {
    int32_t size = 0;
    const uint8_t* p = h ? platform::HandleBytes(h, &size) : nullptr;
    int32_t n = p ? std::min(size, limit) : 0;
    return n > 0 ? std::string_view(reinterpret_cast<const char*>(p), size_t(n)) : std::string_view();
  };
  switch (kind_) {
    case Kind::String: return std::string_view(reinterpret_cast<const char*>(string_ + 1), string_[0]);
    case Kind::Text: return text_.length > 0 ? view(text_.handle, text_.length) : std::string_view();
    case Kind::Blob:
    case Kind::Picture: return view(blob_, INT32_MAX);
    default: return {};
  }
}

std::vector<int32_t> Value::Longs() const {
  std::vector<int32_t> out;
  LongsInto(&out);
  return out;
}

void Value::LongsInto(std::vector<int32_t>* out) const {
  std::span<const int32_t> longs = LongsView();
  out->assign(longs.begin(), longs.end());
}

std::span<const int32_t> Value::LongsView() const {
  if (kind_ != Kind::LongArray || array_.count <= 0 || !array_.handle) return {};
  int32_t size;
  const uint8_t* p = platform::HandleBytes(array_.handle, &size);
  int32_t count = array_.count;  // packed field: copy before comparing
  int32_t n = std::min(count, size / 4 - 1);
  if (!p || n <= 0) return {};
  // Blocks come from malloc: element 0 at 4 bytes in is aligned for an int32_t.
  return {reinterpret_cast<const int32_t*>(p + 4), size_t(n)};
}

Handle Value::handle() const {
  switch (kind_) {
    case Kind::Text: return text_.handle;
    case Kind::Blob:
    case Kind::Picture: return blob_;
    case Kind::LongArray: return array_.handle;
    default: return 0;
  }
}

void Value::SetLong(int32_t v) {
  if (kind_ == Kind::Integer)
    integer_ = int16_t(v);
  else
    long_ = v;
}

void Value::SetBytes(std::string_view bytes) {
  switch (kind_) {
    case Kind::String:
      vrx::PutString(string_, bytes.data(), bytes.size());
      break;
    case Kind::Text: {
      bytes = bytes.substr(0, vrx::kMaxTextLength);
      Handle h = text_.handle;  // packed field: worked on through a copy
      Refill(&h, bytes);
      text_.handle = h;
      text_.length = h ? int16_t(bytes.size()) : 0;
      break;
    }
    case Kind::Blob:
    case Kind::Picture: Refill(&blob_, bytes); break;
    default: break;
  }
}

void Value::SetDate(int16_t year, int16_t month, int16_t day) {
  if (kind_ == Kind::Date) date_ = {day, month, year};
}

void Value::SetLongs(std::span<const int32_t> values) {
  std::span<int32_t> to = ResizeLongs(values.size());
  if (!values.empty() && to.size() == values.size()) std::memcpy(to.data(), values.data(), 4 * values.size());
}

std::span<int32_t> Value::ResizeLongs(size_t count) {
  if (kind_ != Kind::LongArray) return {};
  array_.count = 0;
  if (count > size_t(INT32_MAX / 4 - 1)) return {};
  Handle h = array_.handle;  // packed field: worked on through a copy
  const int32_t size = int32_t(4 * (count + 1));
  // An array refilled with as many elements as before keeps its block as it is.
  int32_t had = 0;
  uint8_t* p = h ? platform::HandleBytes(h, &had) : nullptr;
  if (!p || had != size) {
    if (!h) array_.handle = h = platform::NewHandle(size);
    else if (!platform::SetHandleSize(h, size)) return {};
    p = h ? platform::HandleAddress(h) : nullptr;
  }
  if (!p) return {};
  std::memset(p, 0, 4);
  array_.count = int32_t(count);
  return {reinterpret_cast<int32_t*>(p + 4), count};
}

void Value::AdoptHandle(Handle h) {
  switch (kind_) {
    case Kind::Text:
      platform::DisposeHandle(text_.handle);
      text_.handle = h;
      text_.length = int16_t(std::min(platform::HandleSize(h), int32_t(vrx::kMaxTextLength)));
      break;
    case Kind::Blob:
    case Kind::Picture:
      platform::DisposeHandle(blob_);
      blob_ = h;
      break;
    default: platform::DisposeHandle(h); break;
  }
}

}  // namespace host
