// collection.query(): the query text is read once into a small tree of conditions, then
// every element is tested against it.
//   query      -> andTerm { ("|" | "or") andTerm }
//   andTerm    -> notTerm { ("&" | "and") notTerm }
//   notTerm    -> ["not" | "!"] ( "(" query ")" | comparison )
//   comparison -> path op value      op: = == === is # != !== "is not" < > <= >= in %
//   value      -> :n | 'text' | "text" | number | true | false | null
#include <cctype>
#include <memory>

#include "runner/objects.h"

namespace runner {

namespace {

enum class Cmp : uint8_t { Eq, EqExact, Ne, NeExact, Lt, Gt, Le, Ge, In, Contains };

struct Cond {
  enum class Kind : uint8_t { And, Or, Not, Compare } kind = Kind::Compare;
  std::unique_ptr<Cond> a, b;
  std::string path;
  Cmp cmp = Cmp::Eq;
  Value value;
};

struct QueryParser {
  std::string_view s;
  std::span<const Value> params;
  size_t pos = 0;
  int depth = 0;
  int conditions = 0;  // bounded, as the tree is tested and freed by recursion
  std::string error;

  bool Fail(const std::string& what) {
    if (error.empty()) error = "query: " + what + " at " + std::to_string(pos + 1);
    return false;
  }
  void Space() {
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
  }
  // A word (case-insensitive) followed by something that cannot continue it.
  bool Word(std::string_view w) {
    Space();
    if (s.size() - pos < w.size() || Lowercase(s.substr(pos, w.size())) != w) return false;
    size_t end = pos + w.size();
    if (end < s.size() && (std::isalnum(uint8_t(s[end])) || s[end] == '_')) return false;
    pos = end;
    return true;
  }
  bool Symbol(std::string_view sym) {
    Space();
    if (s.substr(pos, sym.size()) != sym) return false;
    pos += sym.size();
    return true;
  }

  bool Or(std::unique_ptr<Cond>* out) {
    if (++depth > kMaxDepth) return Fail("too many parentheses");
    if (!And(out)) return false;
    while (Symbol("|") || Word("or")) {
      auto c = std::make_unique<Cond>();
      c->kind = Cond::Kind::Or;
      c->a = std::move(*out);
      if (!And(&c->b)) return false;
      *out = std::move(c);
    }
    --depth;
    return true;
  }
  bool And(std::unique_ptr<Cond>* out) {
    if (!Not(out)) return false;
    while (Symbol("&") || Word("and")) {
      auto c = std::make_unique<Cond>();
      c->kind = Cond::Kind::And;
      c->a = std::move(*out);
      if (!Not(&c->b)) return false;
      *out = std::move(c);
    }
    return true;
  }
  bool Not(std::unique_ptr<Cond>* out) {
    Space();
    bool negate = Word("not") || (s.substr(pos, 2) != "!=" && Symbol("!"));
    std::unique_ptr<Cond> inner;
    if (Symbol("(")) {
      if (!Or(&inner)) return false;
      if (!Symbol(")")) return Fail(") expected");
    } else if (!Compare(&inner)) {
      return false;
    }
    if (negate) {
      auto c = std::make_unique<Cond>();
      c->kind = Cond::Kind::Not;
      c->a = std::move(inner);
      inner = std::move(c);
    }
    *out = std::move(inner);
    return true;
  }
  bool Compare(std::unique_ptr<Cond>* out) {
    if (++conditions > kMaxDepth) return Fail("too many conditions");
    auto c = std::make_unique<Cond>();
    Space();
    size_t start = pos;
    while (pos < s.size() && (std::isalnum(uint8_t(s[pos])) || s[pos] == '_' || s[pos] == '.' ||
                              uint8_t(s[pos]) >= 0x80))
      ++pos;
    if (pos == start) return Fail("property path expected");
    c->path = std::string(s.substr(start, pos - start));
    static constexpr std::pair<std::string_view, Cmp> kOps[] = {
        {"===", Cmp::EqExact}, {"!==", Cmp::NeExact}, {"==", Cmp::Eq}, {"!=", Cmp::Ne},
        {"<=", Cmp::Le}, {">=", Cmp::Ge}, {"=", Cmp::Eq}, {"#", Cmp::Ne}, {"<", Cmp::Lt},
        {">", Cmp::Gt}, {"%", Cmp::Contains}};
    bool found = false;
    for (const auto& [sym, cmp] : kOps)
      if (Symbol(sym)) {
        c->cmp = cmp;
        found = true;
        break;
      }
    if (!found) {
      if (Word("in")) c->cmp = Cmp::In;
      else if (Word("is")) c->cmp = Word("not") ? Cmp::NeExact : Cmp::EqExact;
      else return Fail("comparison expected");
    }
    if (!ValueTerm(&c->value)) return false;
    *out = std::move(c);
    return true;
  }
  bool ValueTerm(Value* out) {
    Space();
    if (pos >= s.size()) return Fail("value expected");
    char ch = s[pos];
    if (ch == ':') {
      size_t start = ++pos;
      while (pos < s.size() && std::isdigit(uint8_t(s[pos]))) ++pos;
      if (pos == start || pos - start > 6) return Fail("placeholder number expected");
      size_t n = std::stoul(std::string(s.substr(start, pos - start)));
      if (n < 1 || n > params.size()) return Fail("no value for :" + std::to_string(n));
      *out = params[n - 1];
      return true;
    }
    if (ch == '\'' || ch == '"') {
      size_t end = s.find(ch, pos + 1);
      if (end == std::string_view::npos) return Fail("unterminated text");
      *out = Value::Text(std::string(s.substr(pos + 1, end - pos - 1)));
      pos = end + 1;
      return true;
    }
    if (Word("true")) return *out = Value::Bool(true), true;
    if (Word("false")) return *out = Value::Bool(false), true;
    if (Word("null")) return *out = Value::Null(), true;
    size_t start = pos;
    if (s[pos] == '-') ++pos;
    while (pos < s.size() && (std::isdigit(uint8_t(s[pos])) || s[pos] == '.')) ++pos;
    if (pos == start || s.substr(start, pos - start) == "-") return Fail("value expected");
    *out = Value::Real(TextToNumber(s.substr(start, pos - start)));
    return true;
  }
};

bool Comparable(const Value& a, const Value& b) {
  if (a.numeric() && b.numeric()) return true;
  return a.type == b.type && (a.type == Type::Text || a.type == Type::Date || a.type == Type::Boolean);
}

bool Test(const Cond& c, const Value& item) {
  switch (c.kind) {
    case Cond::Kind::And: return Test(*c.a, item) && Test(*c.b, item);
    case Cond::Kind::Or: return Test(*c.a, item) || Test(*c.b, item);
    case Cond::Kind::Not: return !Test(*c.a, item);
    case Cond::Kind::Compare: break;
  }
  Value v = PathValue(item, c.path);
  switch (c.cmp) {
    case Cmp::Eq: return EqualElements(v, c.value, true);
    case Cmp::EqExact: return EqualElements(v, c.value, false);
    case Cmp::Ne: return !EqualElements(v, c.value, true);
    case Cmp::NeExact: return !EqualElements(v, c.value, false);
    case Cmp::Lt: return Comparable(v, c.value) && CompareElements(v, c.value) < 0;
    case Cmp::Gt: return Comparable(v, c.value) && CompareElements(v, c.value) > 0;
    case Cmp::Le: return Comparable(v, c.value) && CompareElements(v, c.value) <= 0;
    case Cmp::Ge: return Comparable(v, c.value) && CompareElements(v, c.value) >= 0;
    case Cmp::In:
      if (const CollectionHeap* l = c.value.collection()) {
        for (const Value& x : l->items)
          if (EqualElements(v, x, true)) return true;
      }
      return false;
    case Cmp::Contains:
      return v.type == Type::Text && c.value.type == Type::Text &&
             FindText(v.str(), c.value.str(), 0, false) != std::string::npos;
  }
  return false;
}

}  // namespace

bool QueryCollection(const Value& self, std::string_view query, std::span<const Value> params,
                     Value* out, std::string* error) {
  QueryParser p{query, params, 0, 0, 0, {}};
  std::unique_ptr<Cond> cond;
  if (!p.Or(&cond) || (p.Space(), p.pos != query.size() && !p.Fail("unexpected text"))) {
    *error = p.error;
    return false;
  }
  Value result = Value::NewCollection();
  for (const Value& item : self.collection()->items)
    if (Test(*cond, item)) result.collection()->items.push_back(item);
  *out = std::move(result);
  return true;
}

}  // namespace runner
