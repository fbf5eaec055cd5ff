// Method files to code (code.h), emitted as they are read. 4D names may hold spaces
// ("Case of", "Size of array"): a run of words on one line, one space apart, is matched
// against the known names, longest first. Expressions are read strictly left to right, as 4D evaluates them:
// 3+4*5 is 35; parentheses group.
#include <algorithm>
#include <array>
#include <cctype>
#include <unordered_map>

#include "runner/code.h"
#include "runner/runner.h"

namespace runner {

namespace {

enum class Keyword : uint8_t {
  None, If, Else, EndIf, CaseOf, EndCase, While, EndWhile, Repeat, Until, For, EndFor,
  True, False, Var, Return, Break, Continue, ForEach, EndForEach, Use, EndUse, Null,
};

struct Constant {
  std::string_view name;
  double value;
  bool real = false;
  int32_t theme = 0, index = 0;  // its token, when known
  const char* text = nullptr;     // a text constant's value
};
constexpr Constant kConstants[] = {
    {"Mac C string", 0},          {"Mac Pascal string", 1},   {"Mac text with length", 2},
    {"Mac text without length", 3}, {"UTF8 C string", 4},     {"UTF8 text with length", 5},
    {"UTF8 text without length", 6}, {"Is a document", 1},    {"Is a folder", 0},
    {"Native byte ordering", 0},  {"Macintosh byte ordering", 1}, {"PC byte ordering", 2},
    {"Native real format", 0},    {"Extended real format", 1},
    {"Macintosh double real format", 2}, {"PC double real format", 3},
    {"Read and Write", 0},        {"Write Mode", 1},           {"Read Mode", 2},
    {"Get Pathname", 3},          {"Recursive parsing", 1},    {"Absolute path", 2},
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

struct NameEntry {
  Keyword keyword = Keyword::None;
  const BuiltinInfo* builtin = nullptr;
  const Constant* constant = nullptr;
};

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
        {"null", Keyword::Null},
    };
    for (auto& [n, k] : kws) m[std::string(n)].keyword = k;
    // The first of a name wins: the runner's LOG keeps "log"; 4D's Log is Log:C22.
    for (const BuiltinInfo& b : Builtins())
      if (NameEntry& e = m[AsciiLower(b.name)]; !e.builtin) e.builtin = &b;
    for (const Constant& c : kConstants) m[AsciiLower(c.name)].constant = &c;
    return m;
  }();
  return names;
}

constexpr int kMaxNameWords = 6;
// True and False are commands to 4D, keywords here.
constexpr int32_t kTrueCommand = 214, kFalseCommand = 215, kNullCommand = 1517;
constexpr int kMaxDepth = 64;
constexpr int kMaxOperators = 1000;

struct Match {
  NameEntry entry;
  char token = 0;        // the token closing the name, if any
  bool unknown = false;  // a tokenized name the runner does not have
  const vrx::CommandInfo* command = nullptr;
  const std::string* method = nullptr;  // as written
  int words = 1;
  std::string written;  // the words as they stand in the file
};

struct Parser {
  Parser(const std::vector<Token>& t, const MethodNames& m, SyntaxError* e, CodeGen g)
      : toks(t), methods(m), error(e), gen(std::move(g)) {}

  const std::vector<Token>& toks;
  const MethodNames& methods;
  SyntaxError* error;
  CodeGen gen;
  size_t pos = 0;
  int32_t lastName = -1;        // the last process variable read, and its name as written
  std::string lastNameWritten;
  int depth = 0;
  int operators = 0;  // binary operators and dereferences in the current statement
  int loops = 0;      // loops around the statement being read (break, continue)
  // Statements a line stands for after its own (a declaration's initial value).
  std::vector<CStmt> extra;

  const Token& Cur() const { return toks[pos]; }
  const Token& At(size_t i) const { return toks[i < toks.size() ? i : toks.size() - 1]; }

  bool Fail(const Token& t, std::string message) {
    error->line = t.line;
    error->col = t.col;
    error->message = std::move(message);
    return false;
  }

  static std::string Describe(const Token& t) {
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

  bool Expect(Tok kind, const char* what) {
    if (Cur().kind != kind) return Fail(Cur(), std::string("expected ") + what + ", found " + Describe(Cur()));
    ++pos;
    return true;
  }

  bool ExpectEndOfLine() {
    if (Cur().kind == Tok::End) return true;
    if (Cur().kind != Tok::Newline)
      return Fail(Cur(), "expected the end of the line, found " + Describe(Cur()));
    ++pos;
    return true;
  }

  void SkipNewlines() {
    while (Cur().kind == Tok::Newline) ++pos;
  }

  static std::string WordText(const Token& t) {
    return t.kind == Tok::Number ? std::to_string(t.value.l) : t.text;
  }

  // The longest known name at `at`; a token ends the name at its word.
  Match MatchName(size_t at) const {
    Match m;
    m.written = At(at).text;
    int count = 1;
    while (count < kMaxNameWords) {
      const Token& prev = At(at + count - 1);
      const Token& next = At(at + count);
      if (prev.token) break;
      // A whole number may be a word of a name ("Date RFC 1123").
      bool word = next.kind == Tok::Word || (next.kind == Tok::Number && next.value.type == Type::Long);
      if (!word || next.line != prev.line || next.col != prev.endCol + 1) break;
      ++count;
    }
    const auto& names = Names();
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
  Match MatchToken(size_t at, int count, const Token& last) const {
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

  Keyword PeekKeyword() const {
    if (Cur().kind != Tok::Word) return Keyword::None;
    return MatchName(pos).entry.keyword;
  }

  bool Enter() {
    if (++depth > kMaxDepth) return Fail(Cur(), "too deeply nested");
    return true;
  }

  // ---- expressions ----
  static bool IsBinary(Tok t) { return OperatorOf(t).precedence > 0; }

  const Node& N(int32_t i) const { return gen.node(i); }
  bool IsVariableRef(int32_t i) const {
    Op op = N(i).op;
    return op == Op::Local || op == Op::Param || op == Op::Interprocess || op == Op::ProcessVar ||
           op == Op::Element || op == Op::Deref;
  }
  bool IsAssignable(int32_t i) const { return IsVariableRef(i) || N(i).op == Op::ParamAt; }
  // What := may store into: a variable, or a property or element at any depth.
  bool IsStorable(int32_t i) const {
    return IsAssignable(i) || N(i).op == Op::Member || N(i).op == Op::Index;
  }

  /* expr -> unary {binop unary}   (strictly left to right) */
  bool ParseExpr(int32_t* out) {
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
  bool ParseTernary(int32_t* out) {
    ++pos;
    int32_t yes, no;
    if (!ParseExpr(&yes) || !Expect(Tok::Colon, "\":\" of ? :") || !ParseExpr(&no)) return false;
    *out = gen.List(Op::Ternary, 0, {gen.Root(*out), gen.Root(yes), gen.Root(no)});
    return true;
  }

  /* unary -> ('-' | '+') unary | primary */
  bool ParseUnary(int32_t* out) {
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
          if (v.r == -2147483648.0) v = Value::Long(INT32_MIN);
          return true;
        }
      }
      *out = gen.Unary(Op::Negate, inner);
      return true;
    }
    if (!ParsePrimary(out)) return false;
    return ParsePostfix(out);
  }

  /* postfix -> {'->' element | '.' name [args] | '[' expr ']'} */
  bool ParsePostfix(int32_t* out) {
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
        *out = gen.Index(*out, gen.Root(index));
      } else {
        return true;
      }
    }
  }

  /* objectlit -> '{' [name ':' expr {';' name ':' expr}] '}'   name -> word | text */
  bool ParseObjectLiteral(int32_t* out) {
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
  bool ParseCollectionLiteral(int32_t* out) {
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
  bool ParseDerefs(int32_t* out) {
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
  bool ParseAddress(int32_t* out) {
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

  /* element -> ['{' expr '}'] */
  bool ParseElement(int32_t* var) {
    if (Cur().kind != Tok::LBrace) return true;
    ++pos;
    int32_t index;
    if (!ParseExpr(&index)) return false;
    if (!Expect(Tok::RBrace, "\"}\"")) return false;
    *var = gen.Element(*var, gen.Root(index));
    return true;
  }

  /* args -> ['(' [arg {';' arg}] ')']   arg -> '*' | expr */
  bool ParseArgs(std::vector<int32_t>* args) {
    if (Cur().kind != Tok::LParen) return true;
    ++pos;
    if (Cur().kind == Tok::RParen) {
      ++pos;
      return true;
    }
    for (;;) {
      int32_t a;
      bool alone = At(pos + 1).kind == Tok::Semicolon || At(pos + 1).kind == Tok::RParen;
      if (Cur().kind == Tok::Star && alone) {
        a = gen.Star(0);
        ++pos;
      } else if ((Cur().kind == Tok::Gt || Cur().kind == Tok::Lt || Cur().kind == Tok::Amp ||
                  Cur().kind == Tok::Pipe) && alone) {
        // SORT ARRAY's direction; QUERY's conjunction
        a = gen.Star(Cur().kind == Tok::Gt ? '>' : Cur().kind == Tok::Lt ? '<'
                     : Cur().kind == Tok::Amp ? '&' : '|');
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

  bool CheckBuiltinArgs(const Token& at, const BuiltinInfo& b, const std::vector<int32_t>& args) {
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

  bool CheckCommandArgs(const Token& at, const vrx::CommandInfo& c, const std::vector<int32_t>& args) {
    if (int(args.size()) > c.paramCount)
      return Fail(at, std::string(c.name) + " takes at most " + std::to_string(c.paramCount) +
                          " parameters, not " + std::to_string(args.size()));
    for (size_t i = 0; i < args.size(); ++i) {
      vrx::Dir d = c.params[i].dir;
      // An in/out parameter may take an expression (what comes back is then dropped);
      // a parameter the command only writes needs somewhere to put it.
      if (d == vrx::Dir::Out && !IsAssignable(args[i]))
        return Fail(at, std::string(c.name) + ": parameter " + std::to_string(i + 1) +
                            " receives a result and must be a variable");
    }
    return true;
  }

  /* primary -> literal | '(' expr ')' | local element | interprocess element | name
               | '${' expr '}' */
  bool ParsePrimary(int32_t* out) {
    const Token& t = Cur();
    switch (t.kind) {
      case Tok::Number: case Tok::DateLit: case Tok::TimeLit:
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

  /* name -> TRUE | FALSE | constant | builtin args | command args | method args
            | variable element */
  bool ParseName(int32_t* out) {
    const Token& t = Cur();
    Match m = MatchName(pos);
    // Two names never stand side by side: words left over after the longest known name
    // are a command this runner does not have.
    size_t run = 0;
    while (At(pos + run).kind == Tok::Word && At(pos + run).line == t.line &&
           (run == 0 || !At(pos + run - 1).token))
      ++run;
    if (m.unknown) {
      pos += size_t(m.words);
      return UnknownCall(out, t, m.token == 'K' ? "Unknown constant: " : "Unknown command: ",
                         m.written, m.token != 'K');
    }
    if (run > size_t(m.words)) {
      std::string name;
      for (size_t k = 0; k < run; ++k) name += (k ? " " : "") + WordText(At(pos + k));
      pos += run;
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
  bool IsUnrunnable(int32_t i, Unrunnable what) const {
    return N(i).op == Op::Builtin &&
           gen.code().builtins[size_t(N(i).a)].info == &UnrunnableBuiltin(what);
  }

  // A call of `name`, which the runner does not have; its arguments are read all the
  // same, so that the rest of the line is checked.
  bool UnknownCall(int32_t* out, const Token& t, const char* what, const std::string& name,
                   bool takesArgs) {
    std::vector<int32_t> args;
    if (takesArgs && !ParseArgs(&args)) return false;
    if (UsesTable(args)) return TableCall(out, t, name);
    args.insert(args.begin(), gen.Root(gen.Const(Value::Text(what + name))));
    *out = gen.Builtin(&UnrunnableBuiltin(Unrunnable::UnknownName), t.line, t.col, args);
    return true;
  }

  bool UsesTable(const std::vector<int32_t>& args) const {
    for (int32_t a : args)
      if (UsesTable(a)) return true;
    return false;
  }
  bool UsesTable(int32_t i) const {
    if (IsUnrunnable(i, Unrunnable::Table)) return true;
    bool found = false;
    ForEachChild(gen.code(), N(i), [&](int32_t c) { found = found || UsesTable(c); });
    return found;
  }

  // A command given a table or field: the whole call needs the database.
  bool TableCall(int32_t* out, const Token& t, const std::string& name) {
    int32_t message = gen.Root(gen.Const(Value::Text("tables are not available in vrx run (" + name + ")")));
    *out = gen.Builtin(&UnrunnableBuiltin(Unrunnable::Table), t.line, t.col, {message});
    return true;
  }

  /* field -> '[' table ']' [field] */
  bool FieldRef(int32_t* out) {
    const Token& t = Cur();
    ++pos;
    return TableCall(out, t, t.text);
  }

  bool ReturnsValue(int32_t i, const Token& at) {
    const Node& n = N(i);
    const Code& code = gen.code();
    if (n.op == Op::Builtin && !code.builtins[size_t(n.a)].info->returnsValue)
      return Fail(at, std::string(code.builtins[size_t(n.a)].info->name) + " does not return a value");
    if (n.op == Op::Command && code.commands[size_t(n.a)].command->result == vrx::ResultKind::None)
      return Fail(at, std::string(code.commands[size_t(n.a)].command->name) + " does not return a value");
    bool ok = true;
    ForEachChild(code, n, [&](int32_t c) { ok = ok && ReturnsValue(c, at); });
    return ok;
  }

  // ---- statements ----
  /* block -> {statement}   (up to one of `ends`, or a ':' when colonEnds) */
  bool ParseBlock(std::vector<CStmt>* body, std::initializer_list<Keyword> ends, bool colonEnds,
                  const Token& opener, const char* closer) {
    if (!Enter()) return false;
    for (;;) {
      SkipNewlines();
      if (Cur().kind == Tok::End)
        return Fail(opener, std::string("this block is not closed (missing ") + closer + ")");
      if (colonEnds && Cur().kind == Tok::Colon) break;
      Keyword k = PeekKeyword();
      bool end = false;
      for (Keyword e : ends) end = end || k == e;
      if (end) break;
      CStmt s;
      if (!ParseStatement(&s)) return false;
      body->push_back(std::move(s));
      TakeExtra(body);
    }
    --depth;
    return true;
  }

  /* cond -> expr   (one that returns a value) */
  bool ParseCondition(int32_t* cond) {
    const Token& at = Cur();
    operators = 0;
    if (Cur().kind == Tok::Newline || Cur().kind == Tok::End)
      return Fail(Cur(), "a condition is missing");
    if (!ParseExpr(cond) || !ReturnsValue(*cond, at)) return false;
    gen.Root(*cond);
    return true;
  }

  void TakeExtra(std::vector<CStmt>* body) {
    for (CStmt& e : extra) body->push_back(std::move(e));
    extra.clear();
  }

  /* statement -> ifstat | casestat | whilestat | repeatstat | forstat | foreachstat
                | usestat | varstat | declarestat | returnstat | BREAK | CONTINUE | exprstat */
  bool ParseStatement(CStmt* s) {
    const Token& t = Cur();
    operators = 0;
    s->line = t.line;
    if (t.kind == Tok::Colon) return Fail(t, "\":\" outside Case of");
    if (t.kind == Tok::Hash && At(pos + 1).kind == Tok::Word && AsciiLower(At(pos + 1).text) == "declare") {
      if (!DeclareStat(s, t)) return false;
      gen.Finish(s);
      return true;
    }
    bool ok;
    switch (t.kind == Tok::Word ? MatchName(pos).entry.keyword : Keyword::None) {
      case Keyword::ForEach: ok = ForEachStat(s, t); break;
      case Keyword::Use: ok = UseStat(s, t); break;
      case Keyword::Var: ok = VarStat(s, t); break;
      case Keyword::Return: ok = ReturnStat(s); break;
      case Keyword::Break: case Keyword::Continue:
        if (loops == 0) return Fail(t, "\"" + t.text + "\" outside a loop");
        s->kind = MatchName(pos).entry.keyword == Keyword::Break ? StmtKind::Break : StmtKind::Continue;
        ++pos;
        ok = ExpectEndOfLine();
        break;
      case Keyword::EndForEach: return Fail(t, "End for each without For each");
      case Keyword::EndUse: return Fail(t, "End use without Use");
      case Keyword::If: ok = IfStat(s, t); break;
      case Keyword::CaseOf: ok = CaseStat(s, t); break;
      case Keyword::While: ok = WhileStat(s, t); break;
      case Keyword::Repeat: ok = RepeatStat(s, t); break;
      case Keyword::For: ok = ForStat(s, t); break;
      case Keyword::Else: return Fail(t, "Else without If or Case of");
      case Keyword::EndIf: return Fail(t, "End if without If");
      case Keyword::EndCase: return Fail(t, "End case without Case of");
      case Keyword::EndWhile: return Fail(t, "End while without While");
      case Keyword::Until: return Fail(t, "Until without Repeat");
      case Keyword::EndFor: return Fail(t, "End for without For");
      default: ok = ExprStat(s, t); break;
    }
    if (ok) gen.Finish(s);
    return ok;
  }

  /* ifstat -> IF cond NEWLINE block [ELSE NEWLINE block] END IF NEWLINE */
  bool IfStat(CStmt* s, const Token& t) {
    ++pos;
    s->kind = StmtKind::If;
    if (!ParseCondition(&s->expr) || !ExpectEndOfLine()) return false;
    if (!ParseBlock(&s->body, {Keyword::Else, Keyword::EndIf}, false, t, "End if")) return false;
    if (PeekKeyword() == Keyword::Else) {
      ++pos;
      if (!ExpectEndOfLine()) return false;
      if (!ParseBlock(&s->elseBody, {Keyword::EndIf}, false, t, "End if")) return false;
      if (PeekKeyword() == Keyword::Else) return Fail(Cur(), "a second Else in this If");
    }
    pos += 2;  // End if
    return ExpectEndOfLine();
  }

  /* casestat -> CASE OF NEWLINE {':' cond NEWLINE block} [ELSE NEWLINE block]
                 END CASE NEWLINE */
  bool CaseStat(CStmt* s, const Token& t) {
    pos += 2;
    s->kind = StmtKind::Case;
    if (!ExpectEndOfLine()) return false;
    bool hasElse = false;
    for (;;) {
      SkipNewlines();
      if (Cur().kind == Tok::Colon) {
        if (hasElse) return Fail(Cur(), "a branch after Else in Case of");
        ++pos;
        CBranch b;
        if (!ParseCondition(&b.cond) || !ExpectEndOfLine()) return false;
        if (!ParseBlock(&b.body, {Keyword::Else, Keyword::EndCase}, true, t, "End case"))
          return false;
        s->branches.push_back(std::move(b));
        continue;
      }
      Keyword k = PeekKeyword();
      if (k == Keyword::Else) {
        if (hasElse) return Fail(Cur(), "a second Else in Case of");
        ++pos;
        hasElse = true;
        if (!ExpectEndOfLine()) return false;
        if (!ParseBlock(&s->elseBody, {Keyword::Else, Keyword::EndCase}, true, t, "End case"))
          return false;
        continue;
      }
      if (k == Keyword::EndCase) {
        pos += 2;
        return ExpectEndOfLine();
      }
      if (Cur().kind == Tok::End) return Fail(t, "this block is not closed (missing End case)");
      return Fail(Cur(), "expected \":\", Else or End case in Case of");
    }
  }

  /* whilestat -> WHILE cond NEWLINE block END WHILE NEWLINE */
  bool WhileStat(CStmt* s, const Token& t) {
    ++pos;
    s->kind = StmtKind::While;
    if (!ParseCondition(&s->expr) || !ExpectEndOfLine()) return false;
    ++loops;
    if (!ParseBlock(&s->body, {Keyword::EndWhile}, false, t, "End while")) return false;
    --loops;
    pos += 2;
    return ExpectEndOfLine();
  }

  /* repeatstat -> REPEAT NEWLINE block UNTIL cond NEWLINE */
  bool RepeatStat(CStmt* s, const Token& t) {
    ++pos;
    s->kind = StmtKind::Repeat;
    if (!ExpectEndOfLine()) return false;
    ++loops;
    if (!ParseBlock(&s->body, {Keyword::Until}, false, t, "Until")) return false;
    --loops;
    ++pos;
    if (!ParseCondition(&s->expr)) return false;
    return ExpectEndOfLine();
  }

  /* forstat -> FOR '(' variable ';' expr ';' expr [';' expr] ')' NEWLINE block
                END FOR NEWLINE */
  bool ForStat(CStmt* s, const Token& t) {
    ++pos;
    s->kind = StmtKind::For;
    if (!Expect(Tok::LParen, "\"(\" after For")) return false;
    if (!ParseExpr(&s->target)) return false;
    if (!IsVariableRef(s->target)) return Fail(t, "the counter of For must be a variable");
    const Token& at = Cur();
    if (!Expect(Tok::Semicolon, "\";\"") || !ParseExpr(&s->expr) ||
        !Expect(Tok::Semicolon, "\";\"") || !ParseExpr(&s->to))
      return false;
    if (Cur().kind == Tok::Semicolon) {
      ++pos;
      if (!ParseExpr(&s->step)) return false;
    }
    if (!Expect(Tok::RParen, "\")\"") || !ExpectEndOfLine()) return false;
    if (!ReturnsValue(s->expr, at) || !ReturnsValue(s->to, at) ||
        (s->step >= 0 && !ReturnsValue(s->step, at)))
      return false;
    gen.Root(s->expr);
    gen.Root(s->to);
    if (s->step >= 0) gen.Root(s->step);
    ++loops;
    if (!ParseBlock(&s->body, {Keyword::EndFor}, false, t, "End for")) return false;
    --loops;
    pos += 2;
    return ExpectEndOfLine();
  }

  /* foreachstat -> FOR EACH '(' variable ';' expr [';' expr [';' expr]] ')' [clause]
                    NEWLINE block END FOR EACH [clause] NEWLINE
     clause -> (UNTIL | WHILE) cond */
  bool ForEachStat(CStmt* s, const Token& t) {
    pos += 2;
    s->kind = StmtKind::ForEach;
    if (!Expect(Tok::LParen, "\"(\" after For each") || !ParseExpr(&s->target)) return false;
    if (!IsAssignable(s->target)) return Fail(t, "the item of For each must be a variable");
    const Token& at = Cur();
    if (!Expect(Tok::Semicolon, "\";\"") || !ParseExpr(&s->expr)) return false;
    for (int32_t* bound : {&s->to, &s->step}) {
      if (Cur().kind != Tok::Semicolon) break;
      ++pos;
      if (!ParseExpr(bound)) return false;
    }
    if (!Expect(Tok::RParen, "\")\"")) return false;
    for (int32_t e : {s->expr, s->to, s->step})
      if (e >= 0 && !ReturnsValue(e, at)) return false;
    for (int32_t e : {s->expr, s->to, s->step})
      if (e >= 0) gen.Root(e);
    if (!ForEachClause(&s->cond, &s->condUntil) || !ExpectEndOfLine()) return false;
    ++loops;
    if (!ParseBlock(&s->body, {Keyword::EndForEach}, false, t, "End for each")) return false;
    --loops;
    pos += 3;
    return ForEachClause(&s->endCond, &s->endUntil) && ExpectEndOfLine();
  }

  bool ForEachClause(int32_t* cond, bool* until) {
    Keyword k = PeekKeyword();
    if (k != Keyword::Until && k != Keyword::While) return true;
    *until = k == Keyword::Until;
    ++pos;
    return ParseCondition(cond);
  }

  /* usestat -> USE '(' expr ')' NEWLINE block END USE NEWLINE */
  bool UseStat(CStmt* s, const Token& t) {
    ++pos;
    s->kind = StmtKind::Use;
    if (!ParseCondition(&s->expr) || !ExpectEndOfLine()) return false;
    if (!ParseBlock(&s->body, {Keyword::EndUse}, false, t, "End use")) return false;
    pos += 2;
    return ExpectEndOfLine();
  }

  /* type -> word {'.' word}   (cs.Name and 4D.Name are classes: objects here) */
  bool ParseType(int32_t* type) {
    if (Cur().kind != Tok::Word) return Fail(Cur(), "expected a type, found " + Describe(Cur()));
    const Token& at = Cur();
    std::string first = AsciiLower(at.text), last;
    ++pos;
    if (Cur().kind == Tok::Dot) {
      while (Cur().kind == Tok::Dot) {
        ++pos;
        if (Cur().kind != Tok::Word) return Fail(Cur(), "expected a class name after \".\"");
        last = AsciiLower(Cur().text);
        ++pos;
      }
      // A 4D.Blob is what BLOB variables hold: both reach the plug-in as BLOBs.
      *type = int32_t(first == "4d" && last == "blob" ? Type::Blob : Type::Object);
      return true;
    }
    static constexpr std::pair<std::string_view, Type> kTypes[] = {
        {"text", Type::Text},         {"integer", Type::Long},   {"longint", Type::Long},
        {"real", Type::Real},         {"boolean", Type::Boolean}, {"date", Type::Date},
        {"time", Type::Time},         {"object", Type::Object},  {"collection", Type::Collection},
        {"pointer", Type::Pointer},   {"blob", Type::Blob},      {"picture", Type::Picture},
        {"variant", Type::Undefined},
    };
    for (auto& [name, t] : kTypes) {
      if (first == name) {
        *type = int32_t(t);
        return true;
      }
    }
    return Fail(at, "unknown type \"" + at.text + "\"");
  }

  // A statement declaring `vars` of `type` (Type::Undefined: Variant).
  void Declaration(CStmt* s, const Token& t, int32_t type, const std::vector<int32_t>& vars) {
    std::vector<int32_t> args{gen.Root(gen.Const(Value::Long(type)))};
    args.insert(args.end(), vars.begin(), vars.end());
    s->kind = StmtKind::Expr;
    s->expr = gen.Builtin(&DeclarationBuiltin(), t.line, t.col, args);
  }

  /* varstat -> VAR variable {';' variable} [':' type] [':=' expr] */
  bool VarStat(CStmt* s, const Token& t) {
    ++pos;
    std::vector<int32_t> vars;
    for (;;) {
      const Token& v = Cur();
      if (v.kind == Tok::Local) vars.push_back(gen.Local(v.text));
      else if (v.kind == Tok::Interprocess) vars.push_back(gen.Interprocess(v.text));
      else if (v.kind == Tok::Word) vars.push_back(gen.ProcessVar(AsciiLower(v.text)));
      else return Fail(v, "expected a variable to declare, found " + Describe(v));
      ++pos;
      if (Cur().kind != Tok::Semicolon) break;
      ++pos;
    }
    int32_t type = int32_t(Type::Undefined);
    if (Cur().kind == Tok::Colon) {
      ++pos;
      if (!ParseType(&type)) return false;
    }
    Declaration(s, t, type, vars);
    if (Cur().kind == Tok::Assign) {
      if (vars.size() != 1) return Fail(Cur(), "only a single declared variable can be given a value");
      ++pos;
      CStmt init;
      init.kind = StmtKind::Assign;
      init.line = t.line;
      init.target = vars[0];
      const Token& at = Cur();
      if (!ParseExpr(&init.expr) || !ReturnsValue(init.expr, at)) return false;
      gen.Root(init.expr);
      gen.Finish(&init);
      extra.push_back(std::move(init));
    }
    return ExpectEndOfLine();
  }

  /* declarestat -> '#' DECLARE '(' [param {';' param}] ')' ['->' local [':' type]]
     param -> local [':' type]   (the parameters are $1, $2...; the result $0) */
  bool DeclareStat(CStmt* s, const Token& t) {
    pos += 2;
    if (!Expect(Tok::LParen, "\"(\" after #DECLARE")) return false;
    std::vector<std::pair<int32_t, int32_t>> decls;  // variable, type
    auto param = [&](int32_t number) {
      if (Cur().kind != Tok::Local) return Fail(Cur(), "expected a parameter ($name), found " + Describe(Cur()));
      gen.AliasParam(Cur().text, number);
      int32_t var = gen.Local(Cur().text), type = int32_t(Type::Undefined);
      ++pos;
      if (Cur().kind == Tok::Colon) {
        ++pos;
        if (!ParseType(&type)) return false;
      }
      decls.emplace_back(var, type);
      return true;
    };
    if (Cur().kind != Tok::RParen) {
      for (int32_t number = 1;; ++number) {
        if (!param(number)) return false;
        if (Cur().kind != Tok::Semicolon) break;
        ++pos;
      }
    }
    if (!Expect(Tok::RParen, "\";\" or \")\"")) return false;
    if (Cur().kind == Tok::Arrow) {
      ++pos;
      if (!param(0)) return false;
    } else if (Cur().kind == Tok::Colon) {
      // A result with a type and no name: return gives it its value.
      ++pos;
      int32_t type;
      if (!ParseType(&type)) return false;
      decls.emplace_back(gen.Local("0"), type);
    }
    Declaration(s, t, int32_t(Type::Undefined), {});
    for (auto& [var, type] : decls) {
      CStmt d;
      d.line = t.line;
      Declaration(&d, t, type, {var});
      gen.Finish(&d);
      extra.push_back(std::move(d));
    }
    return ExpectEndOfLine();
  }

  /* returnstat -> RETURN [expr]   (the value goes to $0) */
  bool ReturnStat(CStmt* s) {
    ++pos;
    s->kind = StmtKind::Return;
    if (Cur().kind != Tok::Newline && Cur().kind != Tok::End) {
      const Token& at = Cur();
      s->target = gen.Local("0");
      if (!ParseExpr(&s->expr) || !ReturnsValue(s->expr, at)) return false;
      gen.Root(s->expr);
    }
    return ExpectEndOfLine();
  }

  static Tok CompoundOp(Tok t) {
    switch (t) {
      case Tok::PlusAssign: return Tok::Plus;
      case Tok::MinusAssign: return Tok::Minus;
      case Tok::StarAssign: return Tok::Star;
      case Tok::SlashAssign: return Tok::Slash;
      default: return Tok::End;
    }
  }

  /* exprstat -> variable ':=' expr NEWLINE | variable op'=' expr NEWLINE | call NEWLINE */
  bool ExprStat(CStmt* s, const Token& t) {
    int32_t first;
    if (!ParseUnary(&first)) return false;
    if (Cur().kind == Tok::Assign && IsUnrunnable(first, Unrunnable::Table)) {
      // Assigning a field: the value is still read, the line fails when it runs.
      ++pos;
      int32_t value;
      if (!ParseExpr(&value)) return false;
      s->kind = StmtKind::Expr;
      s->expr = gen.Root(first);
      return ExpectEndOfLine();
    }
    if (Cur().kind == Tok::Assign) {
      if (!IsStorable(first)) return Fail(Cur(), "only a variable can be assigned");
      ++pos;
      s->kind = StmtKind::Assign;
      s->target = first;
      const Token& at = Cur();
      if (!ParseExpr(&s->expr) || !ReturnsValue(s->expr, at)) return false;
      gen.Root(s->expr);
      return ExpectEndOfLine();
    }
    if (Tok op = CompoundOp(Cur().kind); op != Tok::End) {
      // a op= b is a := a op b
      if (!IsStorable(first)) return Fail(Cur(), "only a variable can be assigned");
      ++pos;
      s->kind = StmtKind::Assign;
      s->target = first;
      const Token& at = Cur();
      int32_t value;
      if (!ParseExpr(&value) || !ReturnsValue(value, at)) return false;
      s->expr = gen.Root(gen.Binary(op, first, value));
      return ExpectEndOfLine();
    }
    if (N(first).op == Op::ProcessVar && first == lastName && Cur().kind != Tok::LBrace) {
      // A lone unknown name is a call of a method that does not exist (yet): reported
      // when it runs, as 4D does.
      gen.MakeMethodCall(first, lastNameWritten, t.line, t.col);
    }
    Op op = N(first).op;
    if (op != Op::Builtin && op != Op::Command && op != Op::Method && op != Op::MemberCall)
      return Fail(t, "a statement must be an assignment or a call");
    bool ok = true;
    ForEachChild(gen.code(), N(first), [&](int32_t c) { ok = ok && ReturnsValue(c, t); });
    if (!ok) return false;
    s->kind = StmtKind::Expr;
    s->expr = gen.Root(first);
    return ExpectEndOfLine();
  }
};

}  // namespace

bool ParseMethod(std::string_view source, const MethodNames& methods, Program* program,
                 Method* out, SyntaxError* error) {
  std::vector<Token> toks;
  if (!Tokenize(source, &toks, error)) return false;
  auto code = std::make_shared<Code>();
  Parser p(toks, methods, error, CodeGen(*program, *code));
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
