// Method files to code (code.h), emitted as they are read. 4D names may hold spaces
// ("Case of", "Size of array"): a run of words on one line, one space apart, is matched
// against the known names, longest first. Expressions are read strictly left to right, as 4D evaluates them:
// 3+4*5 is 35; parentheses group.
#include <algorithm>
#include <array>
#include <cctype>
#include <unordered_map>

#include "runner/parser_state.h"

namespace runner {
namespace parsing {

constexpr Constant kConstants[] = {
    {"Mac C string", 0},          {"Mac Pascal string", 1},   {"Mac text with length", 2},
    {"Mac text without length", 3}, {"UTF8 C string", 4},     {"UTF8 text with length", 5},
    {"UTF8 text without length", 6}, {"Is a document", 1},    {"Is a folder", 0},
    {"Native byte ordering", 0},  {"Macintosh byte ordering", 1}, {"PC byte ordering", 2},
    {"Native real format", 0},    {"Extended real format", 1},
    {"Macintosh double real format", 2}, {"PC double real format", 3},
    {"Read and Write", 0},        {"Write Mode", 1},           {"Read Mode", 2},
    {"Get Pathname", 3},          {"Recursive parsing", 1},    {"Absolute path", 2},
    {"Active 4D Folder", 0},      {"Licenses folder", 1},      {"4D Client database folder", 3},
    {"Database folder", 4},       {"Database folder Unix syntax", 5},
    {"Current resources folder", 6}, {"Logs folder", 7},       {"HTML Root folder", 8},
    {"Data folder", 9},           {"MobileApps folder", 10},
    {"System", 0},                {"Fonts", 1},                {"User preferences_all", 2},
    {"User preferences_user", 3}, {"Startup Win_all", 4},      {"Startup Win_user", 5},
    {"Start menu Win_all", 8},    {"Start menu Win_user", 9},  {"System Win", 12},
    {"System32 Win", 13},         {"Favorites Win", 14},       {"Desktop", 15},
    {"Applications or program files", 16}, {"Documents folder", 17}, {"Home folder", 18},
    {"Ignore invisible", 8},      {"Delete only if empty", 0}, {"Delete with contents", 1},
    {"System date short", 1},     {"System date abbreviated", 2}, {"System date long", 3},
    {"Internal date short special", 4}, {"Internal date long", 5},
    {"Internal date abbreviated", 6}, {"Internal date short", 7}, {"ISO date", 8},
    {"ISO Date GMT", 9},          {"Date RFC 1123", 10},       {"Blank if null date", 100},
    {"HH MM SS", 1},              {"HH MM", 2},                {"Hour Min Sec", 3},
    {"Hour Min", 4},              {"HH MM AM PM", 5},          {"MM SS", 6},
    {"Min Sec", 7},               {"ISO time", 8},             {"System time short", 9},
    {"System time long abbreviated", 10}, {"System time long", 11},
    {"Blank if null time", 100},
    // Paths here are the system's.
    {"Folder separator", 0, false, 24, 12, "/"},
#define VRX_4D_CONSTANT(name, theme, index, type, value) \
  {name, value, std::string_view(#type) == "Real", theme, index},
#include "runner/constant_tokens.def"
#undef VRX_4D_CONSTANT
};

// Constants by their token, for names written in another language.
const Constant* ConstantByToken(int32_t theme, int32_t index) {
  static const std::map<std::pair<int32_t, int32_t>, const Constant*> byToken = [] {
    std::map<std::pair<int32_t, int32_t>, const Constant*> m;
    for (const Constant& c : kConstants)
      if (c.theme > 0) m.emplace(std::pair(c.theme, c.index), &c);
    return m;
  }();
  auto it = byToken.find({theme, index});
  return it == byToken.end() ? nullptr : it->second;
}

// Names compare without regard to case; they are Mac Roman, like every text here.
std::string AsciiLower(std::string_view s) { return Lowercase(s); }

const std::unordered_map<std::string, NameEntry>& Names() {
  static const std::unordered_map<std::string, NameEntry> names = [] {
    std::unordered_map<std::string, NameEntry> m;
    const std::pair<std::string_view, Keyword> kws[] = {
        {"if", Keyword::If},       {"else", Keyword::Else},         {"end if", Keyword::EndIf},
        {"case of", Keyword::CaseOf}, {"end case", Keyword::EndCase}, {"while", Keyword::While},
        {"end while", Keyword::EndWhile}, {"repeat", Keyword::Repeat}, {"until", Keyword::Until},
        {"for", Keyword::For},     {"end for", Keyword::EndFor},    {"true", Keyword::True},
        {"false", Keyword::False},  {"var", Keyword::Var},          {"return", Keyword::Return},
        {"break", Keyword::Break}, {"continue", Keyword::Continue}, {"for each", Keyword::ForEach},
        {"end for each", Keyword::EndForEach}, {"use", Keyword::Use}, {"end use", Keyword::EndUse},
        {"null", Keyword::Null},   {"catch", Keyword::Catch},      {"end try", Keyword::EndTry},
    };
    for (auto& [n, k] : kws) m[std::string(n)].keyword = k;
    for (const BuiltinInfo& b : Builtins()) m[AsciiLower(b.name)].builtin = &b;
    for (const Constant& c : kConstants) m[AsciiLower(c.name)].constant = &c;
    return m;
  }();
  return names;
}

bool Parser::Fail(const Token& t, std::string message) {
  error->line = t.line;
  error->col = t.col;
  error->message = std::move(message);
  return false;
}

std::string Parser::Describe(const Token& t) {
  switch (t.kind) {
    case Tok::End: return "the end of the file";
    case Tok::Newline: return "the end of the line";
    case Tok::Word: return "\"" + t.text + "\"";
    case Tok::Local: return "$" + t.text;
    case Tok::Interprocess: return "<>" + t.text;
    case Tok::Number: return "a number";
    case Tok::String: return "a text";
    case Tok::DateLit: return "a date";
    case Tok::TimeLit: return "a time";
    case Tok::Assign: return "\":=\"";
    case Tok::Colon: return "\":\"";
    case Tok::Semicolon: return "\";\"";
    case Tok::LParen: return "\"(\"";
    case Tok::RParen: return "\")\"";
    case Tok::LBrace: return "\"{\"";
    case Tok::RBrace: return "\"}\"";
    case Tok::Field: return t.text;
    default: return "an operator";
  }
}

bool Parser::Expect(Tok kind, const char* what) {
  if (Cur().kind != kind) return Fail(Cur(), std::string("expected ") + what + ", found " + Describe(Cur()));
  ++pos;
  return true;
}

bool Parser::ExpectEndOfLine() {
  // A semicolon closing a statement is left over from other languages: 4D takes it.
  if (Cur().kind == Tok::Semicolon && (At(pos + 1).kind == Tok::Newline || At(pos + 1).kind == Tok::End))
    ++pos;
  if (Cur().kind == Tok::End) return true;
  if (Cur().kind != Tok::Newline)
    return Fail(Cur(), "expected the end of the line, found " + Describe(Cur()));
  ++pos;
  return true;
}

void Parser::SkipNewlines() {
  while (Cur().kind == Tok::Newline) ++pos;
}

std::string Parser::WordText(const Token& t) {
  return t.kind == Tok::Number ? std::to_string(t.value.l) : t.text;
}

// The longest known name at `at`; a token ends the name at its word.
Match Parser::MatchName(size_t at) const {
  Match m;
  m.written = At(at).text;
  int count = 1;
  // return takes a value on its line, which may be a tokenized name: "return True:C214".
  bool alone = AsciiLower(m.written) == "return";
  while (!alone && count < kMaxNameWords) {
    const Token& prev = At(at + count - 1);
    const Token& next = At(at + count);
    if (prev.token) break;
    // A whole number may be a word of a name ("Date RFC 1123").
    bool word = next.kind == Tok::Word || (next.kind == Tok::Number && next.value.type == Type::Long);
    if (!word || next.line != prev.line || next.col != prev.endCol + 1) break;
    ++count;
  }
  const auto& names = Names();
  // A tokenized name is whole, a keyword among its words: USE SET:C118 is a command.
  if (const Token& last = At(at + count - 1); last.token) return MatchToken(at, count, last);
  for (int n = count; n >= 1; --n) {
    std::string written = At(at).text;
    for (int k = 1; k < n; ++k) written += " " + WordText(At(at + k));
    std::string key = AsciiLower(written);
    if (auto it = names.find(key); it != names.end()) {
      m.entry = it->second;
      m.words = n;
      m.written = written;
      return m;
    }
    if (n == 1) {
      if (const vrx::CommandInfo* c = vrx::CommandByName(written); c && !c->name.empty()) {
        m.command = c;
        m.written = std::string(c->name);
        return m;
      }
    }
    if (auto it = methods.find(key); it != methods.end()) {
      m.method = &it->second;
      m.words = n;
      m.written = it->second;
      return m;
    }
  }
  return m;
}

// A tokenized name: commands by their number, so that a method saved in another
// language runs; constants and plug-in commands by name.
Match Parser::MatchToken(size_t at, int count, const Token& last) const {
  Match m;
  m.token = last.token;
  m.words = count;
  m.written = At(at).text;
  for (int k = 1; k < count; ++k) m.written += " " + WordText(At(at + k));
  if (last.token == 'C') {
    if (last.number == kTrueCommand || last.number == kFalseCommand) {
      m.entry.keyword = last.number == kTrueCommand ? Keyword::True : Keyword::False;
    } else if (last.number == kNullCommand) {
      m.entry.keyword = Keyword::Null;
    } else if (const BuiltinInfo* b = BuiltinByNumber(last.number)) {
      m.entry.builtin = b;
    } else {
      m.unknown = true;
      // Named as 4D names it in English too, when written in another language.
      std::string_view english = CommandName(last.number);
      if (!english.empty() && AsciiLower(english) != AsciiLower(m.written))
        m.written += " (" + std::string(english) + ")";
    }
  } else if (last.token == 'K') {
    auto it = Names().find(AsciiLower(m.written));
    if (it != Names().end() && it->second.constant) m.entry.constant = it->second.constant;
    else if (const Constant* c = ConstantByToken(last.number, last.index)) m.entry.constant = c;
    else m.unknown = true;
  } else if (const vrx::CommandInfo* c = vrx::CommandByName(m.written); c && !c->name.empty()) {
    m.command = c;
    m.written = std::string(c->name);
  } else {
    m.unknown = true;
  }
  return m;
}

Keyword Parser::PeekKeyword() const {
  if (Cur().kind != Tok::Word) return Keyword::None;
  return MatchName(pos).entry.keyword;
}

bool Parser::Enter() {
  if (++depth > kMaxDepth) return Fail(Cur(), "too deeply nested");
  return true;
}

bool Parser::IsVariableRef(int32_t i) const {
  Op op = N(i).op;
  return op == Op::Local || op == Op::Param || op == Op::Interprocess || op == Op::ProcessVar ||
         op == Op::Element || op == Op::Deref;
}

// What := may store into: a variable, or a property or element at any depth.
bool Parser::IsStorable(int32_t i) const {
  return IsAssignable(i) || N(i).op == Op::Member || N(i).op == Op::Index;
}

/* expr -> unary {binop unary}   (strictly left to right) */
bool Parser::ParseExpr(int32_t* out) {
  if (!Enter()) return false;
  if (!ParseUnary(out)) return false;
  while (IsBinary(Cur().kind)) {
    // Evaluation recurses once per operator: keep a statement within the stack.
    if (++operators > kMaxOperators) return Fail(Cur(), "this expression has too many operators");
    Tok op = Cur().kind;
    ++pos;
    int32_t right;
    if (!ParseUnary(&right)) return false;
    *out = op == Tok::AndAnd || op == Tok::OrOr ? gen.Logic(op, *out, right)
                                                : gen.Binary(op, *out, right);
  }
  if (Cur().kind == Tok::Question && !ParseTernary(out)) return false;
  --depth;
  return true;
}

/* ternary -> expr '?' expr ':' expr */
bool Parser::ParseTernary(int32_t* out) {
  ++pos;
  int32_t yes, no;
  if (!ParseExpr(&yes) || !Expect(Tok::Colon, "\":\" of ? :") || !ParseExpr(&no)) return false;
  *out = gen.List(Op::Ternary, 0, {gen.Root(*out), gen.Root(yes), gen.Root(no)});
  return true;
}

/* unary -> ('-' | '+') unary | primary */
bool Parser::ParseUnary(int32_t* out) {
  if (Cur().kind == Tok::Minus || Cur().kind == Tok::Plus) {
    bool negate = Cur().kind == Tok::Minus;
    ++pos;
    if (!Enter()) return false;
    int32_t inner;
    if (!ParseUnary(&inner)) return false;
    --depth;
    *out = inner;
    if (!negate) return true;
    // A negative literal is a literal: its constant is its own.
    if (N(inner).op == Op::Const) {
      Value& v = gen.code().consts[size_t(N(inner).a)];
      if (v.type == Type::Long && v.l != INT32_MIN) {
        v.l = -v.l;
        return true;
      }
      if (v.type == Type::Real) {
        v.r = -v.r;
        return true;
      }
    }
    *out = gen.Unary(Op::Negate, inner);
    return true;
  }
  if (!ParsePrimary(out)) return false;
  return ParsePostfix(out);
}

/* postfix -> {'->' element | '.' name [args] | '[' expr ']' [args]} */
bool Parser::ParsePostfix(int32_t* out) {
  for (;;) {
    if (Cur().kind == Tok::Arrow) {
      if (!ParseDerefs(out)) return false;
    } else if (Cur().kind == Tok::Dot) {
      if (++operators > kMaxOperators) return Fail(Cur(), "this expression has too many operators");
      ++pos;
      if (Cur().kind != Tok::Word) return Fail(Cur(), "expected a property name after \".\"");
      const Token& name = Cur();
      ++pos;
      if (Cur().kind == Tok::LParen && Cur().col == name.endCol) {
        std::vector<int32_t> args{gen.Root(*out)};
        if (!ParseArgs(&args)) return false;
        gen.code().consts.push_back(Value::Text(name.text));
        *out = gen.List(Op::MemberCall, int32_t(gen.code().consts.size() - 1), args);
      } else {
        *out = gen.Member(*out, name.text);
      }
    } else if (Cur().kind == Tok::LBracket) {
      if (++operators > kMaxOperators) return Fail(Cur(), "this expression has too many operators");
      ++pos;
      int32_t index;
      if (!ParseExpr(&index) || !Expect(Tok::RBracket, "\"]\"")) return false;
      if (Cur().kind == Tok::LParen && Cur().col == At(pos - 1).endCol) {
        // $o[$name](...): the function the property names, with $o as This
        std::vector<int32_t> args{gen.Root(*out), gen.Root(index)};
        if (!ParseArgs(&args)) return false;
        *out = gen.List(Op::MemberCall, kComputedMember, args);
      } else {
        *out = gen.Index(*out, gen.Root(index));
      }
    } else {
      return true;
    }
  }
}

/* objectlit -> '{' [name ':' expr {';' name ':' expr}] '}'   name -> word | text */
bool Parser::ParseObjectLiteral(int32_t* out) {
  ++pos;
  std::vector<int32_t> parts;
  if (Cur().kind != Tok::RBrace) {
    for (;;) {
      if (Cur().kind != Tok::Word && Cur().kind != Tok::String)
        return Fail(Cur(), "expected a property name, found " + Describe(Cur()));
      parts.push_back(gen.Const(Value::Text(Cur().text)));
      ++pos;
      int32_t value;
      if (!Expect(Tok::Colon, "\":\" after the property name") || !ParseExpr(&value)) return false;
      parts.push_back(gen.Root(value));
      if (Cur().kind != Tok::Semicolon) break;
      ++pos;
    }
  }
  if (!Expect(Tok::RBrace, "\";\" or \"}\"")) return false;
  *out = gen.List(Op::ObjectLit, 0, parts);
  return true;
}

/* collectionlit -> '[' [expr {';' expr}] ']' */
bool Parser::ParseCollectionLiteral(int32_t* out) {
  ++pos;
  std::vector<int32_t> items;
  if (Cur().kind != Tok::RBracket) {
    for (;;) {
      int32_t item;
      if (!ParseExpr(&item)) return false;
      items.push_back(gen.Root(item));
      if (Cur().kind != Tok::Semicolon) break;
      ++pos;
    }
  }
  if (!Expect(Tok::RBracket, "\";\" or \"]\"")) return false;
  *out = gen.List(Op::CollectionLit, 0, items);
  return true;
}

/* derefs -> {'->' element}   (a pointer's variable, or its element) */
bool Parser::ParseDerefs(int32_t* out) {
  while (Cur().kind == Tok::Arrow) {
    // Each -> nests the expression one level deeper, as a binary operator does.
    if (++operators > kMaxOperators) return Fail(Cur(), "this expression has too many operators");
    ++pos;
    *out = gen.Unary(Op::Deref, *out);
    if (!ParseElement(out)) return false;
  }
  return true;
}

/* address -> '->' (local | interprocess | name) element */
bool Parser::ParseAddress(int32_t* out) {
  const Token& t = Cur();
  ++pos;
  int32_t var;
  if (Cur().kind == Tok::Local || Cur().kind == Tok::Interprocess) {
    var = Cur().kind == Tok::Local ? gen.Local(Cur().text) : gen.Interprocess(Cur().text);
    ++pos;
    if (!ParseElement(&var)) return false;
  } else if (Cur().kind == Tok::Field) {
    return FieldRef(out);
  } else if (Cur().kind == Tok::Word) {
    if (!ParseName(&var)) return false;
    if (N(var).op != Op::ProcessVar && N(var).op != Op::Element)
      return Fail(t, "-> points to variables and array elements only");
  } else {
    return Fail(t, "-> points to variables and array elements only");
  }
  *out = gen.Unary(Op::AddressOf, var);
  return true;
}

/* element -> {'{' expr '}'}   (two for a two-dimensional array) */
bool Parser::ParseElement(int32_t* var) {
  while (Cur().kind == Tok::LBrace) {
    ++pos;
    int32_t index;
    if (!ParseExpr(&index)) return false;
    if (!Expect(Tok::RBrace, "\"}\"")) return false;
    *var = gen.Element(*var, gen.Root(index));
  }
  return true;
}

// An operator standing alone as an argument: a direction ('>', '<'), a conjunction ('&',
// '|') or a comparison ('=', '#', '{' for <=, '}' for >=, '%'); 0 for any other token.
char Parser::LoneOperator(Tok t) {
  switch (t) {
    case Tok::Gt: return '>';
    case Tok::Lt: return '<';
    case Tok::Amp: return '&';
    case Tok::Pipe: return '|';
    case Tok::Eq: return '=';
    case Tok::Hash: return '#';
    case Tok::Le: return '{';
    case Tok::Ge: return '}';
    case Tok::Percent: return '%';
    default: return 0;
  }
}

/* args -> ['(' [arg {';' arg}] ')']   arg -> '*' | lone operator | expr */
bool Parser::ParseArgs(std::vector<int32_t>* args) {
  if (Cur().kind != Tok::LParen) return true;
  ++pos;
  if (Cur().kind == Tok::RParen) {
    ++pos;
    return true;
  }
  for (;;) {
    int32_t a;
    bool alone = At(pos + 1).kind == Tok::Semicolon || At(pos + 1).kind == Tok::RParen;
    if ((Cur().kind == Tok::Amp || Cur().kind == Tok::Pipe) && !alone) {
      // QUERY's conjunction written before its line: QUERY([T]; & [T]F=1)
      args->push_back(gen.Star(Cur().kind == Tok::Amp ? '&' : '|'));
      ++pos;
      continue;
    }
    if (Cur().kind == Tok::Star && alone) {
      a = gen.Star(0);
      ++pos;
    } else if (char mark = LoneOperator(Cur().kind); mark && alone) {
      // SORT ARRAY's direction; QUERY's conjunction and comparison
      a = gen.Star(mark);
      ++pos;
    } else if (!ParseExpr(&a)) {
      return false;
    } else if (Cur().kind == Tok::Assign && IsUnrunnable(a, Unrunnable::Table)) {
      // A field assigned in a formula (APPLY TO SELECTION): read, never run.
      ++pos;
      int32_t value;
      if (!ParseExpr(&value)) return false;
    }
    args->push_back(gen.Root(a));
    if (Cur().kind == Tok::Semicolon) {
      ++pos;
      continue;
    }
    return Expect(Tok::RParen, "\";\" or \")\"");
  }
}

// Try(expression): its argument may be a call that returns nothing, as a statement.
bool Parser::TakesStatement(int32_t i) const {
  const Node& n = N(i);
  return n.op == Op::Builtin && gen.code().builtins[size_t(n.a)].info->params == "x";
}

bool Parser::CheckBuiltinArgs(const Token& at, const BuiltinInfo& b, const std::vector<int32_t>& args) {
  int n = int(args.size());
  if (n < b.minArgs || (b.maxArgs >= 0 && n > b.maxArgs)) {
    std::string expect = b.minArgs == b.maxArgs ? std::to_string(b.minArgs)
                         : b.maxArgs < 0        ? "at least " + std::to_string(b.minArgs)
                                                : std::to_string(b.minArgs) + " to " +
                                                      std::to_string(b.maxArgs);
    return Fail(at, std::string(b.name) + " takes " + expect + " parameter" +
                        (b.maxArgs == 1 && b.minArgs == 1 ? "" : "s") + ", not " +
                        std::to_string(n));
  }
  for (size_t i = 0; i < args.size() && !b.params.empty(); ++i) {
    char kind = b.params[std::min(i, b.params.size() - 1)];
    if (kind == 'l' && N(args[i]).op == Op::Const) continue;
    if ((kind == 'v' || kind == 'l') && !IsVariableRef(args[i]))
      return Fail(at, std::string(b.name) + ": parameter " + std::to_string(i + 1) +
                          " must be a variable");
  }
  return true;
}

bool Parser::CheckCommandArgs(const Token& at, const vrx::CommandInfo& c, const std::vector<int32_t>& args) {
  if (int(args.size()) > c.paramCount)
    return Fail(at, std::string(c.name) + " takes at most " + std::to_string(c.paramCount) +
                        " parameters, not " + std::to_string(args.size()));
  for (size_t i = 0; i < args.size(); ++i) {
    vrx::Dir d = c.params[i].dir;
    // An in/out parameter may take an expression (what comes back is then dropped);
    // a parameter the command only writes needs somewhere to put it.
    if (d == vrx::Dir::Out && !IsStorable(args[i]))
      return Fail(at, std::string(c.name) + ": parameter " + std::to_string(i + 1) +
                          " receives a result and must be a variable, a property or an element");
  }
  return true;
}

bool Parser::ParsePrimary(int32_t* out) {
  const Token& t = Cur();
  switch (t.kind) {
    case Tok::Number:
      // A number written in a method is a real, whole or not: only a variable declared
      // longint holds a longint.
      *out = gen.Const(t.value.type == Type::Long ? Value::Real(t.value.l) : t.value);
      ++pos;
      return true;
    case Tok::DateLit: case Tok::TimeLit:
      *out = gen.Const(t.value);
      ++pos;
      return true;
    case Tok::String:
      *out = gen.Const(Value::Text(t.text));
      ++pos;
      return true;
    case Tok::LParen: {
      ++pos;
      if (!ParseExpr(out)) return false;
      return Expect(Tok::RParen, "\")\"");
    }
    case Tok::Local: case Tok::Interprocess:
      *out = t.kind == Tok::Local ? gen.Local(t.text) : gen.Interprocess(t.text);
      ++pos;
      return ParseElement(out);
    case Tok::Word:
      return ParseName(out);
    case Tok::Arrow:
      return ParseAddress(out);
    case Tok::Field:
      return FieldRef(out);
    case Tok::LBrace: {
      if (!Enter()) return false;
      bool ok = ParseObjectLiteral(out);
      --depth;
      return ok;
    }
    case Tok::LBracket: {
      if (!Enter()) return false;
      bool ok = ParseCollectionLiteral(out);
      --depth;
      return ok;
    }
    case Tok::ParamIndirect: {
      // ${n}: the lexer stopped at the brace
      ++pos;
      if (!Expect(Tok::LBrace, "\"{\"")) return false;
      int32_t index;
      if (!ParseExpr(&index)) return false;
      *out = gen.ParamAt(gen.Root(index));
      return Expect(Tok::RBrace, "\"}\"");
    }
    default:
      return Fail(t, "expected a value, found " + Describe(t));
  }
}

bool Parser::ParseName(int32_t* out) {
  const Token& t = Cur();
  Match m = MatchName(pos);
  // Two names never stand side by side: words left over after the longest known name
  // are a command this runner does not have.
  // A whole number one space after a word is a word of the name too ("SR Doc 2 Report").
  size_t run = 1;
  for (;; ++run) {
    const Token& prev = At(pos + run - 1);
    const Token& next = At(pos + run);
    bool number = next.kind == Tok::Number && next.value.type == Type::Long && next.col == prev.endCol + 1;
    if (prev.token || next.line != t.line || (next.kind != Tok::Word && !number)) break;
  }
  if (m.unknown) {
    pos += size_t(m.words);
    return UnknownCall(out, t, m.token == 'K' ? "Unknown constant: " : "Unknown command: ",
                       m.written, m.token != 'K');
  }
  if (run > size_t(m.words)) {
    std::string name;
    bool spaced = true;  // one space between the words, as in a name
    for (size_t k = 0; k < run; ++k) {
      name += (k ? " " : "") + WordText(At(pos + k));
      spaced = spaced && (k == 0 || At(pos + k).col == At(pos + k - 1).endCol + 1);
    }
    pos += run;
    // Unknown words not followed by "(" are a variable whose name has spaces ("vTotal
    // Amount"), as 4D's names may.
    bool known = m.entry.builtin || m.entry.constant || m.entry.keyword != Keyword::None || m.command ||
                 m.method || !UnavailableMessage(name).empty();
    if (!known && spaced && Cur().kind != Tok::LParen && !At(pos - 1).token) {
      *out = gen.ProcessVar(AsciiLower(name));
      lastName = *out;
      lastNameWritten = name;
      return ParseElement(out);
    }
    return UnknownCall(out, t, "Unknown command or method: ", name, true);
  }
  pos += size_t(m.words);
  if (m.entry.keyword == Keyword::True || m.entry.keyword == Keyword::False) {
    *out = gen.Const(Value::Bool(m.entry.keyword == Keyword::True));
    return true;
  }
  if (m.entry.keyword == Keyword::Null) {
    if (Cur().kind == Tok::LParen && At(pos + 1).kind == Tok::RParen) pos += 2;  // Null()
    *out = gen.Const(Value::Null());
    return true;
  }
  if (m.entry.keyword != Keyword::None)
    return Fail(t, "\"" + m.written + "\" cannot be used here");
  if (m.entry.constant) {
    const Constant& c = *m.entry.constant;
    *out = gen.Const(c.text ? Value::Text(c.text)
                     : c.real ? Value::Real(c.value) : Value::Long(int32_t(c.value)));
    return true;
  }
  if (m.entry.builtin && m.entry.builtin->number == kFormulaCommand) return ParseFormula(out, t);
  if (m.entry.builtin) {
    std::vector<int32_t> args;
    if (!ParseArgs(&args)) return false;
    if (UsesTable(args)) return TableCall(out, t, std::string(m.entry.builtin->name));
    if (!CheckBuiltinArgs(t, *m.entry.builtin, args)) return false;
    *out = gen.Builtin(m.entry.builtin, t.line, t.col, args);
    return true;
  }
  if (m.command) {
    std::vector<int32_t> args;
    if (!ParseArgs(&args)) return false;
    if (UsesTable(args)) return TableCall(out, t, m.written);
    if (!CheckCommandArgs(t, *m.command, args)) return false;
    *out = gen.Command(m.command, args);
    return true;
  }
  if (m.method || Cur().kind == Tok::LParen) {
    std::vector<int32_t> args;
    if (!ParseArgs(&args)) return false;
    *out = gen.MethodCall(m.written, t.line, t.col, args);
    return true;
  }
  *out = gen.ProcessVar(AsciiLower(m.written));
  // As written, should it turn out to be a call standing alone.
  lastName = *out;
  lastNameWritten = m.written;
  return ParseElement(out);
}

// ---- what cannot run here: reported when the line runs ----
bool Parser::IsUnrunnable(int32_t i, Unrunnable what) const {
  return N(i).op == Op::Builtin &&
         gen.code().builtins[size_t(N(i).a)].info == &UnrunnableBuiltin(what);
}

// A call of `name`, which the runner does not have; its arguments are read all the
// same, so that the rest of the line is checked.
bool Parser::UnknownCall(int32_t* out, const Token& t, const char* what, const std::string& name,
                         bool takesArgs) {
  std::vector<int32_t> args;
  if (takesArgs && !ParseArgs(&args)) return false;
  if (UsesTable(args)) return TableCall(out, t, name);
  std::string message = std::string_view(what) == "Unknown constant: " ? "" : UnavailableMessage(name);
  if (message.empty()) message = what + name;
  args.insert(args.begin(), gen.Root(gen.Const(Value::Text(message))));
  *out = gen.Builtin(&UnrunnableBuiltin(Unrunnable::UnknownName), t.line, t.col, args);
  return true;
}

bool Parser::UsesTable(const std::vector<int32_t>& args) const {
  for (int32_t a : args)
    if (UsesTable(a)) return true;
  return false;
}

bool Parser::UsesTable(int32_t i) const {
  if (IsUnrunnable(i, Unrunnable::Table)) return true;
  bool found = false;
  ForEachChild(gen.code(), N(i), [&](int32_t c) { found = found || UsesTable(c); });
  return found;
}

// A command given a table or field: the whole call needs the database.
bool Parser::TableCall(int32_t* out, const Token& t, const std::string& name) {
  int32_t message = gen.Root(gen.Const(Value::Text("tables are not available in vrx run (" + name + ")")));
  *out = gen.Builtin(&UnrunnableBuiltin(Unrunnable::Table), t.line, t.col, {message});
  return true;
}

/* field -> '[' table ']' [field] */
bool Parser::FieldRef(int32_t* out) {
  const Token& t = Cur();
  ++pos;
  return TableCall(out, t, t.text);
}

bool Parser::ReturnsValue(int32_t i, const Token& at) {
  const Node& n = N(i);
  const Code& code = gen.code();
  if (TakesStatement(i)) return true;
  if (n.op == Op::Builtin && !code.builtins[size_t(n.a)].info->returnsValue)
    return Fail(at, std::string(code.builtins[size_t(n.a)].info->name) + " does not return a value");
  if (n.op == Op::Command && code.commands[size_t(n.a)].command->result == vrx::ResultKind::None)
    return Fail(at, std::string(code.commands[size_t(n.a)].command->name) + " does not return a value");
  bool ok = true;
  ForEachChild(code, n, [&](int32_t c) { ok = ok && ReturnsValue(c, at); });
  return ok;
}

}  // namespace parsing

using parsing::Parser;

bool ParseMethod(std::string_view source, const MethodNames& methods, Program* program,
                 Method* out, SyntaxError* error) {
  std::vector<Token> toks;
  if (!Tokenize(source, &toks, error)) return false;
  auto code = std::make_shared<Code>();
  Parser p(toks, methods, error, CodeGen(*program, *code));
  p.source = source;
  for (;;) {
    p.SkipNewlines();
    if (p.Cur().kind == Tok::End) break;
    CStmt s;
    if (!p.ParseStatement(&s)) return false;
    code->body.push_back(std::move(s));
    p.TakeExtra(&code->body);
  }
  p.gen.Seal();
  out->code = std::move(code);
  return true;
}

}  // namespace runner

