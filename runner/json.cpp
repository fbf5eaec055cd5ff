// JSON Stringify and JSON Parse. The parser reads untrusted bytes: it never recurses past
// kMaxDepth and reports the offset of the first byte it cannot read.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "runner/objects.h"

namespace runner {

// ---- writing ----------------------------------------------------------------------------

namespace {

struct Writer {
  bool pretty;
  std::string out;
  bool tooDeep = false;

  void Newline(int depth) {
    if (!pretty) return;
    out += '\n';
    out.append(size_t(depth), '\t');
  }
  void Text(std::string_view s) {
    out += '"';
    size_t plain = 0;  // start of the run of bytes that go out as they are
    for (size_t i = 0; i < s.size(); ++i) {
      auto c = uint8_t(s[i]);
      if (c >= 0x20 && c != '"' && c != '\\') continue;
      out.append(s.data() + plain, i - plain);
      plain = i + 1;
      switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: {
          char b[8];
          std::snprintf(b, sizeof b, "\\u%04x", c);
          out += b;
        }
      }
    }
    out.append(s.data() + plain, s.size() - plain);
    out += '"';
  }
  // Fifteen significant digits, as printf's %.15g writes them.
  void Number(double v) {
    if (!std::isfinite(v)) {  // JSON has no infinities
      out += "null";
      return;
    }
    char b[32];
    std::to_chars_result r;
    if (v == std::trunc(v) && std::fabs(v) < 1e15 && !(v == 0 && std::signbit(v)))
      r = std::to_chars(b, b + sizeof b, int64_t(v));
    else
      r = std::to_chars(b, b + sizeof b, v, std::chars_format::general, 15);
    out.append(b, size_t(r.ptr - b));
  }
  void Write(const Value& v, int depth) {
    if (depth > kMaxDepth) {
      tooDeep = true;
      out += "null";
      return;
    }
    switch (v.type) {
      case Type::Undefined: case Type::Null: case Type::Pointer: out += "null"; return;
      case Type::Long: Number(v.l); return;
      case Type::Time: Number(v.l); return;
      case Type::Real: Number(v.r); return;
      case Type::Boolean: out += v.b ? "true" : "false"; return;
      case Type::Text: Text(v.str()); return;
      case Type::Date: {
        char b[32];
        std::snprintf(b, sizeof b, "%04d-%02d-%02d", v.d.year, v.d.month, v.d.day);
        Text(b);
        return;
      }
      case Type::Picture: Text("[object Picture]"); return;
      case Type::Blob: Text("[object Blob]"); return;
      case Type::Array: List(v.items(), 1, depth); return;
      case Type::Collection:  // a declared one not yet given a value is null
        if (v.collection()) List(v.collection()->items, 0, depth);
        else out += "null";
        return;
      case Type::Object:
        if (v.object()) Object(*v.object(), depth);
        else out += "null";
        return;
    }
  }
  void List(const std::vector<Value>& items, size_t from, int depth) {
    out += '[';
    for (size_t i = from; i < items.size(); ++i) {
      if (i > from) out += ',';
      Newline(depth + 1);
      Write(items[i], depth + 1);
    }
    if (items.size() > from) Newline(depth);
    out += ']';
  }
  void Object(const ObjectHeap& o, int depth) {
    out += '{';
    bool first = true;
    for (const auto& [name, item] : o.props) {
      if (item.type == Type::Undefined) continue;
      if (!first) out += ',';
      first = false;
      Newline(depth + 1);
      Text(name.str());
      out += pretty ? ": " : ":";
      Write(item, depth + 1);
    }
    if (!first) Newline(depth);
    out += '}';
  }
};

}  // namespace

std::string JsonStringify(const Value& v, bool pretty) {
  Writer w{pretty, {}, false};
  w.Write(v, 0);
  return std::move(w.out);
}

// ---- reading ----------------------------------------------------------------------------

namespace {

struct Reader {
  std::string_view in;
  size_t pos = 0;
  std::string error;
  // The members read so far of the objects being read, innermost last: an object gets
  // its properties in one allocation once its end is reached.
  std::vector<std::pair<std::string, Value>> members;

  bool Fail(const std::string& what) {
    if (error.empty()) error = what + " at offset " + std::to_string(pos);
    return false;
  }
  void Space() {
    while (pos < in.size() && (in[pos] == ' ' || in[pos] == '\t' || in[pos] == '\n' || in[pos] == '\r'))
      ++pos;
  }
  bool Literal(std::string_view word) {
    if (in.substr(pos, word.size()) != word) return Fail("unknown word");
    pos += word.size();
    return true;
  }
  bool Hex4(uint32_t* out) {
    if (in.size() - pos < 4) return Fail("short \\u escape");
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      char c = in[pos++];
      int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
              : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (d < 0) return Fail("bad \\u escape");
      v = v << 4 | uint32_t(d);
    }
    *out = v;
    return true;
  }
  bool String(std::string* out) {
    ++pos;  // the opening quote
    while (true) {
      // A run of bytes that stand for themselves goes in at once.
      size_t plain = pos;
      while (pos < in.size() && in[pos] != '"' && in[pos] != '\\' && uint8_t(in[pos]) >= 0x20) ++pos;
      out->append(in.data() + plain, pos - plain);
      if (pos >= in.size()) return Fail("unterminated text");
      char c = in[pos];
      if (c == '"') {
        ++pos;
        return true;
      }
      if (c != '\\') return Fail("control character in text");
      if (++pos >= in.size()) return Fail("unterminated text");
      char e = in[pos++];
      switch (e) {
        case '"': *out += '"'; break;
        case '\\': *out += '\\'; break;
        case '/': *out += '/'; break;
        case 'b': *out += '\b'; break;
        case 'f': *out += '\f'; break;
        case 'n': *out += '\n'; break;
        case 'r': *out += '\r'; break;
        case 't': *out += '\t'; break;
        case 'u': {
          uint32_t cp = 0;
          if (!Hex4(&cp)) return false;
          // A high surrogate followed by a low one is one character past U+FFFF; a
          // surrogate alone is no character.
          if (cp >= 0xD800 && cp < 0xDC00 && in.substr(pos, 2) == "\\u") {
            size_t back = pos;
            pos += 2;
            uint32_t low = 0;
            if (!Hex4(&low)) return false;
            if (low >= 0xDC00 && low < 0xE000) cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            else pos = back;
          }
          if (cp >= 0xD800 && cp < 0xE000) cp = 0xFFFD;
          AppendCodePoint(*out, cp);
          break;
        }
        default: --pos; return Fail("bad escape");
      }
    }
  }
  bool Number(Value* out) {
    size_t start = pos;
    if (in[pos] == '-') ++pos;
    auto digits = [&] {
      size_t from = pos;
      while (pos < in.size() && in[pos] >= '0' && in[pos] <= '9') ++pos;
      return pos > from;
    };
    if (pos < in.size() && in[pos] == '0') ++pos;
    else if (!digits()) return Fail("bad number");
    if (pos < in.size() && in[pos] == '.') {
      ++pos;
      if (!digits()) return Fail("bad number");
    }
    if (pos < in.size() && (in[pos] == 'e' || in[pos] == 'E')) {
      ++pos;
      if (pos < in.size() && (in[pos] == '+' || in[pos] == '-')) ++pos;
      if (!digits()) return Fail("bad number");
    }
    double v = 0;
    auto [end, ec] = std::from_chars(in.data() + start, in.data() + pos, v);
    // Out of range, from_chars leaves v alone: strtod gives the infinity or the zero.
    if (ec != std::errc() || end != in.data() + pos)
      v = std::strtod(std::string(in.substr(start, pos - start)).c_str(), nullptr);
    *out = Value::Real(v);
    return true;
  }
  bool Parse(Value* out, int depth) {
    if (depth > kMaxDepth) return Fail("nested too deeply");
    Space();
    if (pos >= in.size()) return Fail("value expected");
    switch (in[pos]) {
      case '{': return Object(out, depth);
      case '[': return List(out, depth);
      case '"': {
        std::string s;
        if (!String(&s)) return false;
        *out = Value::Text(std::move(s));
        return true;
      }
      case 't': *out = Value::Bool(true); return Literal("true");
      case 'f': *out = Value::Bool(false); return Literal("false");
      case 'n': *out = Value::Null(); return Literal("null");
      default:
        if (in[pos] == '-' || (in[pos] >= '0' && in[pos] <= '9')) return Number(out);
        return Fail("unexpected character");
    }
  }
  bool List(Value* out, int depth) {
    ++pos;
    Value list = Value::NewCollection();
    std::vector<Value>& items = list.collection()->items;
    Space();
    if (pos < in.size() && in[pos] == ']') {
      ++pos;
      *out = std::move(list);
      return true;
    }
    while (true) {
      Value item;
      if (!Parse(&item, depth + 1)) return false;
      items.push_back(std::move(item));
      Space();
      if (pos >= in.size()) return Fail("] expected");
      if (in[pos] == ']') break;
      if (in[pos] != ',') return Fail(", or ] expected");
      ++pos;
    }
    ++pos;
    *out = std::move(list);
    return true;
  }
  bool Object(Value* out, int depth) {
    ++pos;
    size_t first = members.size();
    Space();
    if (pos < in.size() && in[pos] == '}') {
      ++pos;
      *out = Value::NewObject();
      return true;
    }
    while (true) {
      Space();
      if (pos >= in.size() || in[pos] != '"') return Fail("property name expected");
      std::string name;
      if (!String(&name)) return false;
      Space();
      if (pos >= in.size() || in[pos] != ':') return Fail(": expected");
      ++pos;
      Value item;
      if (!Parse(&item, depth + 1)) return false;
      members.emplace_back(std::move(name), std::move(item));
      Space();
      if (pos >= in.size()) return Fail("} expected");
      if (in[pos] == '}') break;
      if (in[pos] != ',') return Fail(", or } expected");
      ++pos;
    }
    ++pos;
    Value object = Value::NewObject();
    ObjectHeap* o = object.object();
    o->props.reserve(members.size() - first);
    for (size_t i = first; i < members.size(); ++i)
      o->Set(members[i].first, std::move(members[i].second));  // a repeated name keeps its last value
    members.resize(first);
    *out = std::move(object);
    return true;
  }
};

}  // namespace

bool JsonParse(std::string_view json, Value* out, std::string* error) {
  Reader r{json, 0, {}, {}};
  Value v;
  if (r.Parse(&v, 0)) {
    r.Space();
    if (r.pos == json.size()) {
      *out = std::move(v);
      return true;
    }
    r.Fail("text after the value");
  }
  *error = r.error;
  return false;
}

}  // namespace runner
