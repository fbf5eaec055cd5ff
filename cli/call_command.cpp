#include "cli/call_command.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

#include "abi/command_table.h"
#include "abi/reference.h"
#include "host/host.h"
#include "platform/memory.h"
#include "platform/services.h"

namespace cli {
namespace {

using host::Value;
using vrx::Kind;

struct ArgError {
  std::string message;
};

bool ParseInt(std::string_view s, int64_t* out) {
  if (s.empty()) return false;
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
  return ec == std::errc() && ptr == s.data() + s.size();
}

int32_t ParseLong(std::string_view s, int64_t lo, int64_t hi) {
  int64_t v;
  if (!ParseInt(s, &v) || v < lo || v > hi) throw ArgError{"not a number in range: '" + std::string(s) + "'"};
  return int32_t(v);
}

std::string FromHex(std::string_view s) {
  if (s.size() % 2) throw ArgError{"odd number of hex digits"};
  std::string out;
  for (size_t i = 0; i < s.size(); i += 2) {
    unsigned v;  // unsigned: from_chars takes a minus sign for a signed type
    auto [p, ec] = std::from_chars(s.data() + i, s.data() + i + 2, v, 16);
    if (ec != std::errc() || p != s.data() + i + 2) throw ArgError{"bad hex digits: '" + std::string(s) + "'"};
    out += char(v);
  }
  return out;
}

std::string ReadFile(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    throw ArgError{"cannot read file '" + path + "': not a regular file"};
  std::ifstream in(path, std::ios::binary);
  std::string bytes;
  if (in) bytes.assign(std::istreambuf_iterator<char>(in), {});
  if (!in && !in.eof()) throw ArgError{"cannot read file '" + path + "'"};
  return bytes;
}

using platform::Handle;

bool IsNumberKind(Kind k) { return k == Kind::Long || k == Kind::Integer || k == Kind::Time; }
bool IsBytesKind(Kind k) { return k == Kind::String || k == Kind::Text || k == Kind::Blob || k == Kind::Picture; }

Value MakeBytes(Kind k, std::string_view bytes) {
  switch (k) {
    case Kind::String:
      if (bytes.size() > 255) throw ArgError{"a string holds at most 255 bytes"};
      return Value::String(bytes);
    case Kind::Text:
      if (bytes.size() > 32767) throw ArgError{"a text holds at most 32767 bytes"};
      return Value::Text(bytes);
    case Kind::Picture: return Value::Picture(bytes);
    default: return Value::Blob(bytes);
  }
}

Value MakeNumber(Kind k, int32_t v) {
  if (k == Kind::Integer) {
    if (v < -32768 || v > 32767) throw ArgError{"an integer holds -32768..32767"};
    return Value::Integer(int16_t(v));
  }
  return k == Kind::Time ? Value::Time(v) : Value::Long(v);
}

// One ARG, converted to the kind the command declares at that position.
Value ParseArg(const std::string& arg, Kind declared) {
  size_t cut = arg.find_first_of(":%@");
  if (cut == std::string::npos) throw ArgError{"argument without a kind: '" + arg + "'"};
  std::string kind = arg.substr(0, cut);
  char how = arg[cut];
  std::string rest = arg.substr(cut + 1);
  Kind given;
  if (kind == "long") given = Kind::Long;
  else if (kind == "int") given = Kind::Integer;
  else if (kind == "time") given = Kind::Time;
  else if (kind == "string") given = Kind::String;
  else if (kind == "text") given = Kind::Text;
  else if (kind == "blob") given = Kind::Blob;
  else if (kind == "picture") given = Kind::Picture;
  else if (kind == "longs") given = Kind::LongArray;
  else if (kind == "date") given = Kind::Date;
  else throw ArgError{"unknown argument kind '" + kind + "'"};

  Kind target = declared == Kind::Any || declared == Kind::None ? given : declared;
  if (IsBytesKind(given)) {
    std::string bytes = how == ':' ? rest : how == '%' ? FromHex(rest) : ReadFile(rest);
    if (!IsBytesKind(target)) throw ArgError{"'" + arg + "' gives bytes where the command takes a " + std::string(vrx::KindName(target))};
    return MakeBytes(target, bytes);
  }
  if (how != ':') throw ArgError{"'" + kind + "' takes ':'"};
  if (IsNumberKind(given)) {
    int32_t v = ParseLong(rest, INT32_MIN, UINT32_MAX);  // unsigned values wrap, as 4D longs do
    if (!IsNumberKind(target)) throw ArgError{"'" + arg + "' gives a number where the command takes a " + std::string(vrx::KindName(target))};
    return MakeNumber(target, v);
  }
  if (target != given) throw ArgError{"'" + arg + "' does not fit a " + std::string(vrx::KindName(target)) + " parameter"};
  if (given == Kind::LongArray) {
    // Every item is a number: "1,,2" and "1," are refused alike; "longs:" is empty.
    std::vector<int32_t> values;
    for (size_t at = 0; !rest.empty();) {
      size_t comma = rest.find(',', at);
      std::string_view item = std::string_view(rest).substr(at, comma == std::string::npos ? std::string::npos : comma - at);
      if (item.empty()) throw ArgError{"an empty item in '" + arg + "'"};
      values.push_back(ParseLong(item, INT32_MIN, UINT32_MAX));
      if (comma == std::string::npos) break;
      at = comma + 1;
    }
    return Value::LongArray(values);
  }
  // date:YYYY-MM-DD
  if (rest.size() != 10 || rest[4] != '-' || rest[7] != '-') throw ArgError{"a date is YYYY-MM-DD"};
  int year = ParseLong(rest.substr(0, 4), 0, 9999), month = ParseLong(rest.substr(5, 2), 0, 99),
      day = ParseLong(rest.substr(8, 2), 0, 99);
  if (!platform::ValidDate(year, month, day)) throw ArgError{"no such date: '" + rest + "'"};
  return Value::Date(int16_t(year), int16_t(month), int16_t(day));
}

std::string Hex(std::string_view bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string JsonString(std::string_view s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += char(c);
        }
    }
  }
  return out + "\"";
}

// Bytes a reader can take in as text: no control characters but tabs and line ends.
// Every Mac Roman byte from 0x80 up is a character.
bool Printable(std::string_view bytes) {
  for (unsigned char c : bytes)
    if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F) return false;
  return true;
}

// The bytes as hex, and as UTF-8 text beside them when they read as Mac Roman text.
std::string BytesJson(std::string_view bytes, bool asText) {
  std::string out = ",\"hex\":\"" + Hex(bytes) + "\"";
  if (asText && Printable(bytes)) out += ",\"text\":" + JsonString(platform::MacRomanToUtf8(bytes));
  return out;
}

std::string ParamJson(const Value& v) {
  std::ostringstream o;
  o << "{\"kind\":\"" << vrx::KindName(v.kind()) << "\"";
  switch (v.kind()) {
    case Kind::String:
    case Kind::Text:
    case Kind::Blob:
    case Kind::Picture: o << BytesJson(v.Bytes(), v.kind() != Kind::Picture); break;
    case Kind::LongArray: {
      o << ",\"values\":[";
      bool first = true;
      for (int32_t x : v.Longs()) o << (first ? "" : ",") << x, first = false;
      o << "]";
      break;
    }
    case Kind::Date: {
      char buf[32];
      vrx::DateValue d = v.AsDate();
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
      o << ",\"value\":\"" << buf << "\"";
      break;
    }
    default: o << ",\"value\":" << v.AsLong(); break;
  }
  o << "}";
  return o.str();
}

// VRX_GetStreamState asked for the state, and VRX_WaitStreamState: their number is named.
bool ReturnsState(int32_t selector, const std::vector<Value>& values) {
  if (selector == 11) return true;
  if (selector != 6) return false;
  bool networkValue = !values.empty() && values[0].AsLong() >= -18 && values[0].AsLong() <= -1;
  return !networkValue && (values.size() < 2 || values[1].AsLong() == 0);
}

std::string ParamsText(const vrx::CommandInfo& c) {
  std::string s;
  for (int i = 0; i < c.paramCount; ++i) {
    if (i) s += "; ";
    s += "$" + std::to_string(i + 1) + " " + std::string(vrx::KindName(c.params[i].kind));
    if (c.params[i].dir != vrx::Dir::In) s += " " + std::string(vrx::DirName(c.params[i].dir));
  }
  return s;
}

}  // namespace

bool ConvertCallArgs(const vrx::CommandInfo* row, const std::vector<std::string>& args,
                     std::vector<Value>* values, std::string* error) {
  values->clear();
  try {
    for (size_t i = 0; i < args.size(); ++i) {
      Kind declared = row && int(i) < row->paramCount ? row->params[i].kind : Kind::Any;
      values->push_back(ParseArg(args[i], declared));
    }
  } catch (const ArgError& e) {
    *error = e.message;
    return false;
  }
  return true;
}

int ListCommands() {
  for (const vrx::CommandInfo& c : vrx::AllCommands()) {
    if (&c == vrx::AllCommands().data() + vrx::kLastSelector)
      std::printf("\nExtensions (from selector %d on; 115 to %d have no command):\n", vrx::kFirstExtensionSelector,
                  vrx::kFirstExtensionSelector - 1);
    if (c.name.empty()) {
      std::printf("%3d  (no command)\n", c.selector);
      continue;
    }
    std::printf("%3d  %-26s %-8s %-10s %s\n", c.selector, std::string(c.name).c_str(),
                std::string(vrx::ResultKindName(c.result)).c_str(), c.built ? "built" : "not built",
                ParamsText(c).c_str());
  }
  return 0;
}

int CallCommand(const std::vector<std::string>& args) {
  bool raw = false;
  std::vector<std::string> rest;
  for (const std::string& a : args) {
    if (a == "--raw") raw = true;
    else rest.push_back(a);
  }
  if (rest.empty()) {
    std::fprintf(stderr, "vrx call: name or selector missing\n");
    return 2;
  }
  int64_t number;
  int32_t selector;
  const vrx::CommandInfo* row = nullptr;
  if (ParseInt(rest[0], &number)) {
    if (number < INT32_MIN || number > INT32_MAX) {
      std::fprintf(stderr, "vrx call: selector out of range: %s\n", rest[0].c_str());
      return 2;
    }
    selector = int32_t(number);
    row = vrx::CommandBySelector(selector);
    if (selector == vrx::kSelectorInit || selector == vrx::kSelectorShutdown) {
      std::fprintf(stderr, "vrx call: selectors -1 and -2 belong to the host\n");
      return 2;
    }
  } else {
    row = vrx::CommandByName(rest[0]);
    if (!row) {
      std::fprintf(stderr, "vrx call: unknown command '%s'\n", rest[0].c_str());
      return 2;
    }
    selector = row->selector;
  }
  if (row && rest.size() - 1 > size_t(vrx::kMaxParams)) {
    std::fprintf(stderr, "vrx call: at most %d arguments\n", vrx::kMaxParams);
    return 2;
  }
  std::vector<Value> values;
  std::string error;
  if (!ConvertCallArgs(row, std::vector<std::string>(rest.begin() + 1, rest.end()), &values, &error)) {
    std::fprintf(stderr, "vrx call: %s\n", error.c_str());
    return 2;
  }

  host::Host h;
  if (!h.loaded()) {
    std::fprintf(stderr, "vrx call: %s\n", h.error().c_str());
    return 1;
  }
  std::vector<Value*> ptrs;
  for (Value& v : values) ptrs.push_back(&v);
  host::CallResult r = h.Call(selector, ptrs);
  // A long result that is a host block the caller owns is shown, then disposed of.
  std::optional<std::string> block;
  if (row && r.written && r.kind == vrx::ResultKind::Long && row->ownedResult && r.value != 0 &&
      platform::IsLiveHandle(uint32_t(r.value))) {
    Handle handle = uint32_t(r.value);
    block.emplace(reinterpret_cast<const char*>(platform::HandleAddress(handle)), size_t(platform::HandleSize(handle)));
    platform::DisposeHandle(handle);
  }

  if (raw) {
    if (r.kind == vrx::ResultKind::Long || r.kind == vrx::ResultKind::Byte)
      std::printf("%d\n", r.value);
    else
      std::fwrite(r.bytes.data(), 1, r.bytes.size(), stdout);
    return 0;
  }
  std::ostringstream o;
  o << "{\"selector\":" << selector << ",\"command\":\"" << (row ? std::string(row->name) : "") << "\",\"result\":{\"written\":"
    << (r.written ? "true" : "false") << ",\"kind\":\"" << vrx::ResultKindName(r.kind) << "\"";
  if (r.written) {
    if (r.kind == vrx::ResultKind::Text || r.kind == vrx::ResultKind::String || r.kind == vrx::ResultKind::Blob)
      o << BytesJson(r.bytes, true);
    else
      o << ",\"value\":" << r.value;
    if (block) o << ",\"block\":{" << BytesJson(*block, false).substr(1) << "}";
    if (ReturnsState(selector, values)) o << ",\"state\":" << JsonString(vrx::StateLabel(r.value));
  }
  o << "},\"params\":[";
  for (size_t i = 0; i < values.size(); ++i) o << (i ? "," : "") << ParamJson(values[i]);
  o << "]}";
  std::printf("%s\n", o.str().c_str());
  return 0;
}

}  // namespace cli
