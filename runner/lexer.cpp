// Tokens of a method file. Files are UTF-8; text literals become Mac Roman bytes here,
// so everything after the lexer works on the bytes the plug-in sees.
#include <cmath>
#include <cctype>
#include <cstdlib>

#include "platform/services.h"
#include "runner/syntax.h"

namespace runner {
namespace {

bool IsWordByte(uint8_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         c == '_' || c >= 0x80;
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct Lexer {
  std::string_view src;
  size_t pos = 0;
  int line = 1, col = 1;
  std::vector<Token>* out;
  SyntaxError* error;
  size_t joinedAt = SIZE_MAX;  // tokens read when a backslash last joined two lines
  // The brackets open at pos: 'o' an object literal's brace, 'e' an element's brace, 'p'
  // a parenthesis or square bracket. Right inside an object literal, after "{" or ";",
  // $name is a property name ({$numberLong: 1}), not a local variable.
  std::vector<char> open;

  bool AtEnd() const { return pos >= src.size(); }
  char Peek(size_t k = 0) const { return pos + k < src.size() ? src[pos + k] : '\0'; }

  // Moves one byte on; columns count characters, not UTF-8 continuation bytes.
  void Advance() {
    uint8_t c = uint8_t(src[pos++]);
    if (c == '\n') {
      ++line;
      col = 1;
    } else if ((c & 0xC0) != 0x80) {
      ++col;
    }
  }

  bool Fail(int l, int c, std::string message) {
    error->line = l;
    error->col = c;
    error->message = std::move(message);
    return false;
  }

  Token& Emit(Tok kind, int l, int c) {
    Token t;
    t.kind = kind;
    t.line = l;
    t.col = c;
    out->push_back(std::move(t));
    return out->back();
  }

  // Steps over one line end: LF, CR LF, or a lone CR (classic Macintosh files).
  void SkipLineEnd() {
    if (Peek() == '\r') {
      Advance();
      if (Peek() == '\n') {
        Advance();
      } else {
        ++line;
        col = 1;
      }
    } else {
      Advance();
    }
  }

  void EmitNewline() {
    int l = line, c = col;
    SkipLineEnd();
    Emit(Tok::Newline, l, c).endCol = c + 1;
  }

  bool Word(Tok kind, int l, int c) {
    size_t start = pos;
    while (!AtEnd() && IsWordByte(uint8_t(Peek()))) Advance();
    if (pos == start) {
      return Fail(l, c, kind == Tok::Local ? "a local variable name is missing after $"
                                           : "a variable name is missing after <>");
    }
    // A variable's name may have spaces ("$My Var", "<>Total Amount"): nothing else
    // follows a $ or <> name with one space and a word.
    while (kind != Tok::Word && Peek() == ' ' && IsWordByte(uint8_t(Peek(1)))) {
      Advance();
      while (!AtEnd() && IsWordByte(uint8_t(Peek()))) Advance();
    }
    Token& t = Emit(kind, l, c);
    t.text = std::string(src.substr(start, pos - start));
    if (kind != Tok::Word) t.text = Lowercase(t.text);
    if (kind == Tok::Word) NameToken(&t);
    t.endCol = col;
    return true;
  }

  // Digits at pos + k: how many, at most 9.
  size_t DigitsAt(size_t k) const {
    size_t n = 0;
    while (n < 10 && IsDigit(Peek(k + n))) ++n;
    return n < 10 ? n : 0;
  }

  // The token 4D saves right after a name: ":C16", ":K8:3" or ":P1234:5". Nothing else
  // puts a letter and a digit right after a colon that follows a word.
  void NameToken(Token* t) {
    if (Peek() != ':') return;
    char kind = Peek(1);
    if (kind != 'C' && kind != 'K' && kind != 'P') return;
    size_t first = DigitsAt(2);
    if (first == 0) return;
    size_t length = 2 + first;
    if (kind != 'C') {
      if (Peek(length) != ':') return;
      size_t second = DigitsAt(length + 1);
      if (second == 0) return;
      length += 1 + second;
    }
    t->number = int32_t(std::strtol(std::string(src.substr(pos + 2, first)).c_str(), nullptr, 10));
    if (kind != 'C')
      t->index = int32_t(std::strtol(std::string(src.substr(pos + 3 + first, length - 3 - first)).c_str(),
                                     nullptr, 10));
    t->token = kind;
    for (size_t i = 0; i < length; ++i) Advance();
  }

  // [Table]Field, [Table:1]Field:2 or [Table]: one token; the numbers are dropped, the
  // runner has no tables to look them up in. A field name may hold spaces when its
  // number ends it.
  bool FieldRef(int l, int c) {
    Advance();  // [
    size_t start = pos;
    while (!AtEnd() && Peek() != ']' && Peek() != ':' && Peek() != '\n' && Peek() != '\r') Advance();
    std::string table(src.substr(start, pos - start));
    if (Peek() == ':' && DigitsAt(1) > 0) {
      Advance();
      while (IsDigit(Peek())) Advance();
    }
    if (Peek() != ']') return Fail(l, c, "the table name is not closed (missing ])");
    Advance();
    size_t fieldStart = pos, end = pos;
    while (end < src.size()) {
      size_t k = end;
      while (k < src.size() && IsWordByte(uint8_t(src[k]))) ++k;
      if (k == end) break;
      end = k;
      // A space inside the name only when a field number closes it further on.
      if (k + 1 < src.size() && src[k] == ' ' && IsWordByte(uint8_t(src[k + 1]))) {
        size_t j = k + 1;
        while (j < src.size() && (IsWordByte(uint8_t(src[j])) || src[j] == ' ')) ++j;
        if (j + 1 < src.size() && src[j] == ':' && IsDigit(src[j + 1])) {
          end = k + 1;
          continue;
        }
      }
      break;
    }
    while (pos < end) Advance();
    std::string field(src.substr(fieldStart, end - fieldStart));
    if (!field.empty() && Peek() == ':' && DigitsAt(1) > 0) {
      Advance();
      while (IsDigit(Peek())) Advance();
    }
    Token& t = Emit(Tok::Field, l, c);
    t.text = "[" + table + "]" + field;
    t.endCol = col;
    return true;
  }

  bool Number(int l, int c) {
    size_t start = pos;
    int startLine = line, startCol = col;
    if (Peek() == '0' && (Peek(1) == 'x' || Peek(1) == 'X')) {
      Advance();
      Advance();
      size_t digits = pos;
      while (!AtEnd() && std::isxdigit(uint8_t(Peek()))) Advance();
      if (pos == digits || pos - digits > 8) return Fail(l, c, "bad hexadecimal number");
      uint32_t v = uint32_t(std::strtoul(std::string(src.substr(digits, pos - digits)).c_str(),
                                         nullptr, 16));
      Token& t = Emit(Tok::Number, l, c);
      t.value = Value::Long(int32_t(v));
      t.endCol = col;
      return true;
    }
    bool real = false;
    while (IsDigit(Peek())) Advance();
    if (Peek() == '.' && IsDigit(Peek(1))) {
      real = true;
      Advance();
      while (IsDigit(Peek())) Advance();
    }
    if ((Peek() == 'e' || Peek() == 'E') &&
        (IsDigit(Peek(1)) || ((Peek(1) == '-' || Peek(1) == '+') && IsDigit(Peek(2))))) {
      real = true;
      Advance();
      if (Peek() == '-' || Peek() == '+') Advance();
      while (IsDigit(Peek())) Advance();
    }
    if (IsWordByte(uint8_t(Peek()))) {
      // A name may begin with digits (a method called 4D_ALERT).
      bool digitsOnly = true;
      for (size_t i = start; i < pos; ++i) digitsOnly = digitsOnly && IsDigit(src[i]);
      if (!digitsOnly) return Fail(line, col, "unexpected character after a number");
      pos = start;
      line = startLine;
      col = startCol;
      return Word(Tok::Word, l, c);
    }
    std::string text(src.substr(start, pos - start));
    double v = std::strtod(text.c_str(), nullptr);
    Token& t = Emit(Tok::Number, l, c);
    if (!real && v <= 2147483647.0)
      t.value = Value::Long(int32_t(v));
    else
      t.value = Value::Real(v);
    if (!real) NameToken(&t);  // a name may end with a number: Date RFC 1123:K1:10
    t.endCol = col;
    return true;
  }

  bool Text(int l, int c) {
    Advance();  // opening quote
    std::string utf8;
    for (;;) {
      if (AtEnd() || Peek() == '\n' || Peek() == '\r')
        return Fail(l, c, "the text is not closed (missing \")");
      char ch = Peek();
      if (ch == '"') {
        Advance();
        break;
      }
      if (ch == '\\') {
        int el = line, ec = col;
        Advance();
        char e = Peek();
        switch (e) {
          case '"': utf8 += '"'; break;
          case '\\': utf8 += '\\'; break;
          case 'r': utf8 += '\r'; break;
          case 'n': utf8 += '\n'; break;
          case 't': utf8 += '\t'; break;
          default: return Fail(el, ec, "unknown escape sequence in a text");
        }
        Advance();
        continue;
      }
      utf8 += ch;
      Advance();
    }
    Token& t = Emit(Tok::String, l, c);
    t.text = std::move(utf8);
    t.endCol = col;
    return true;
  }

  // !YYYY-MM-DD! and ?HH:MM:SS?: fixed shapes, checked here so that a bad literal is
  // reported where it stands.
  bool Delimited(char close, std::string* body, int l, int c) {
    Advance();
    size_t start = pos;
    while (!AtEnd() && Peek() != close && Peek() != '\n' && pos - start < 32) Advance();
    if (Peek() != close) return Fail(l, c, close == '!' ? "the date is not closed (missing !)"
                                                        : "the time is not closed (missing ?)");
    *body = std::string(src.substr(start, pos - start));
    Advance();
    return true;
  }

  static bool SplitNumbers(const std::string& s, char sep, int out[3]) {
    int k = 0;
    size_t i = 0;
    while (k < 3) {
      size_t start = i;
      while (i < s.size() && IsDigit(s[i])) ++i;
      if (i == start || i - start > 5) return false;
      out[k++] = std::atoi(s.substr(start, i - start).c_str());
      if (k < 3) {
        if (i >= s.size() || s[i] != sep) return false;
        ++i;
      }
    }
    return i == s.size();
  }

  // !YYYY-MM-DD! as 4D writes dates in methods, or !MM/DD/YY! and !MM/DD/YYYY! in a US
  // system's order (a two-digit year: 00 to 29 is 20xx, 30 to 99 is 19xx); all zeros is
  // the null date.
  bool DateLit(int l, int c) {
    std::string body;
    if (!Delimited('!', &body, l, c)) return false;
    int n[3];
    bool us = body.find('/') != std::string::npos;
    if (!SplitNumbers(body, us ? '/' : '-', n)) return Fail(l, c, "a date is written !YYYY-MM-DD! or !MM/DD/YYYY!");
    Date d = us ? Date{n[2], n[0], n[1]} : Date{n[0], n[1], n[2]};
    bool null = d.year == 0 && d.month == 0 && d.day == 0;
    size_t yearDigits = us ? body.size() - body.rfind('/') - 1 : body.find('-');
    if (!null && yearDigits <= 2) d.year += d.year < 30 ? 2000 : 1900;
    if (!null && !ValidDate(d)) return Fail(l, c, "this date does not exist");
    Token& t = Emit(Tok::DateLit, l, c);
    t.value = Value::MakeDate(null ? Date{} : d);
    t.endCol = col;
    return true;
  }

  bool TimeLit(int l, int c) {
    std::string body;
    if (!Delimited('?', &body, l, c)) return false;
    int n[3];
    if (!SplitNumbers(body, ':', n) || n[1] > 59 || n[2] > 59)
      return Fail(l, c, "a time is written ?HH:MM:SS?");
    Token& t = Emit(Tok::TimeLit, l, c);
    t.value = Value::Time(n[0] * 3600 + n[1] * 60 + n[2]);
    t.endCol = col;
    return true;
  }

  // At a backslash: when only blanks or a // comment follow it on this line, skips
  // them and the line end, and answers true.
  bool ContinuesLine() {
    size_t k = pos + 1;
    while (k < src.size() && (src[k] == ' ' || src[k] == '\t')) ++k;
    if (k + 1 < src.size() && src[k] == '/' && src[k + 1] == '/')
      while (k < src.size() && src[k] != '\n' && src[k] != '\r') ++k;
    if (k < src.size() && src[k] != '\n' && src[k] != '\r') return false;
    while (pos < k) Advance();
    joinedAt = out->size();
    if (AtEnd()) return true;
    SkipLineEnd();
    return true;
  }

  // A line comment. A backslash right at its end joins the next line to it, as it joins
  // the lines of a statement: commenting out the first line of a joined statement
  // comments out all of it. A backslash followed by a blank ends the comment there.
  void SkipComment() {
    for (;;) {
      while (!AtEnd() && Peek() != '\n' && Peek() != '\r') Advance();
      if (AtEnd() || src[pos - 1] != '\\') return;
      SkipLineEnd();
    }
  }

  // Whether the last token ends a value right before pos: then "." reads a property
  // and "[" an element ($o.name, $c[1]) rather than a number or a table.
  bool AfterValue() const {
    if (out->empty()) return false;
    const Token& t = out->back();
    bool ends = t.kind == Tok::Local || t.kind == Tok::Interprocess || t.kind == Tok::Word ||
                t.kind == Tok::RParen || t.kind == Tok::RBracket || t.kind == Tok::RBrace ||
                t.kind == Tok::Field;
    // A chain of member calls may go on at the start of a joined line.
    return ends && ((t.line == line && t.endCol == col) || joinedAt == out->size());
  }

  // 4D saves a call of a method without parameters with a space after its name:
  // "xpath .element()" calls a member of what the method returns.
  bool AfterNameAndSpaces() const {
    if (out->empty() || out->back().kind != Tok::Word || out->back().line != line) return false;
    size_t k = pos;
    while (k > 0 && (src[k - 1] == ' ' || src[k - 1] == '\t')) --k;
    return k < pos && k > 0 && IsWordByte(uint8_t(src[k - 1]));
  }

  // "[Table]" or "[Table]Field" rather than a collection literal: a name closed by "]"
  // with nothing but name characters, spaces and a ":number" inside.
  bool LooksLikeTable() const {
    uint8_t first = uint8_t(Peek(1));
    if (!IsWordByte(first) || IsDigit(char(first))) return false;
    for (size_t k = pos + 1; k < src.size(); ++k) {
      char ch = src[k];
      if (ch == ']') return true;
      if (!IsWordByte(uint8_t(ch)) && ch != ' ' && ch != ':') return false;
    }
    return false;
  }

  // The longest operator or punctuation mark spelled at pos; null when none is.
  const OperatorInfo* MatchOperator() const {
    const OperatorInfo* best = nullptr;
    std::string_view rest = src.substr(pos);
    // The first byte rules out nearly every operator before any comparison of spellings.
    for (const OperatorInfo& op : Operators())
      if (op.spelling[0] == rest[0] && rest.starts_with(op.spelling) &&
          (!best || op.spelling.size() > best->spelling.size()))
        best = &op;
    return best;
  }

  // Between Begin SQL and End SQL stands SQL, not 4D: its lines are kept for their numbers
  // only. The statement itself is a command the runner does not have.
  bool EndsBeginSql() const {
    size_t n = out->size();
    if (n < 2) return false;
    const Token& begin = (*out)[n - 2];
    const Token& sql = (*out)[n - 1];
    return begin.kind == Tok::Word && sql.kind == Tok::Word && begin.line == sql.line &&
           Lowercase(begin.text) == "begin" && Lowercase(sql.text) == "sql";
  }

  void SkipSql() {
    while (!AtEnd() && Peek() != '\n' && Peek() != '\r') Advance();
    while (!AtEnd()) {
      EmitNewline();
      size_t k = pos;
      while (k < src.size() && (src[k] == ' ' || src[k] == '\t')) ++k;
      std::string head = Lowercase(src.substr(k, 7));
      if (head == "end sql") return;
      while (!AtEnd() && Peek() != '\n' && Peek() != '\r') Advance();
    }
  }

  // Whether "{" at pos reads an element ($a{1}, a{1}{2}, $p->{1}, ${1}) rather than
  // opening an object literal.
  bool OpensElement() const {
    if (out->empty()) return false;
    const Token& t = out->back();
    switch (t.kind) {
      case Tok::Local: case Tok::Interprocess: case Tok::RBrace: case Tok::Arrow: case Tok::ParamIndirect:
        return true;
      case Tok::Word: return Lowercase(t.text) != "return";
      default: return false;
    }
  }

  void Bracket(Tok kind) {
    switch (kind) {
      case Tok::LBrace: open.push_back(OpensElement() ? 'e' : 'o'); break;
      case Tok::LParen: open.push_back('p'); break;
      case Tok::RBrace: case Tok::RParen: case Tok::RBracket:
        if (!open.empty()) open.pop_back();
        break;
      default: break;
    }
  }

  bool Op(Tok kind, int bytes, int l, int c) {
    for (int i = 0; i < bytes; ++i) Advance();
    Emit(kind, l, c).endCol = col;
    return true;
  }

  bool Run() {
    if (src.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
    while (!AtEnd()) {
      char ch = Peek();
      int l = line, c = col;
      if (ch == ' ' || ch == '\t' || ch == '\f' || ch == '\v') {
        Advance();
      } else if (ch == '\n' || ch == '\r') {
        EmitNewline();
      } else if ((ch == '/' && Peek(1) == '/') || ch == '`') {
        SkipComment();
      } else if (ch == '/' && Peek(1) == '*') {
        Advance();
        Advance();
        for (;;) {
          if (AtEnd()) return Fail(l, c, "the comment is not closed (missing */)");
          if (Peek() == '*' && Peek(1) == '/') {
            Advance();
            Advance();
            break;
          }
          if (Peek() == '\n' || Peek() == '\r')
            EmitNewline();
          else
            Advance();
        }
      } else if (ch == '\\' && ContinuesLine()) {
        // A backslash ending a line joins the next line to this statement.
      } else if (ch == '$' && Peek(1) == '{') {
        Advance();
        Emit(Tok::ParamIndirect, l, c).endCol = col;
      } else if (ch == '$' && !open.empty() && open.back() == 'o' && !out->empty() &&
                 (out->back().kind == Tok::LBrace || out->back().kind == Tok::Semicolon)) {
        size_t start = pos;
        Advance();
        while (!AtEnd() && IsWordByte(uint8_t(Peek()))) Advance();
        Token& t = Emit(Tok::Word, l, c);
        t.text = std::string(src.substr(start, pos - start));
        t.endCol = col;
      } else if (ch == '$') {
        Advance();
        if (!Word(Tok::Local, l, c)) return false;
      } else if (ch == '<' && Peek(1) == '>') {
        Advance();
        Advance();
        if (!Word(Tok::Interprocess, l, c)) return false;
      } else if (ch == '.' && (AfterValue() || AfterNameAndSpaces()) && IsWordByte(uint8_t(Peek(1))) &&
                 !IsDigit(Peek(1))) {
        Op(Tok::Dot, 1, l, c);
      } else if (ch == '.' && Peek(1) == '$' && AfterValue()) {
        // A property name may begin with a dollar ($o.$name, Form.$): a word, not a local.
        Op(Tok::Dot, 1, l, c);
        int wl = line, wc = col;
        size_t start = pos;
        Advance();
        while (!AtEnd() && IsWordByte(uint8_t(Peek()))) Advance();
        Token& t = Emit(Tok::Word, wl, wc);
        t.text = std::string(src.substr(start, pos - start));
        t.endCol = col;
      } else if (ch == '[' && (AfterValue() || !LooksLikeTable())) {
        open.push_back('p');
        Op(Tok::LBracket, 1, l, c);
      } else if (ch == '?' && (Peek(1) == ' ' || Peek(1) == '\t')) {
        Op(Tok::Question, 1, l, c);  // the ternary operator stands between spaces
      } else if (IsDigit(ch) || (ch == '.' && IsDigit(Peek(1)))) {
        if (!Number(l, c)) return false;
      } else if (IsWordByte(uint8_t(ch))) {
        if (!Word(Tok::Word, l, c)) return false;
        if (EndsBeginSql()) SkipSql();
      } else if (ch == '"') {
        if (!Text(l, c)) return false;
      } else if (ch == '[') {
        if (!FieldRef(l, c)) return false;
      } else if (ch == '!') {
        if (!DateLit(l, c)) return false;
      } else if (ch == '<' && Peek(1) == '<' && Peek(2) == '>' && IsWordByte(uint8_t(Peek(3)))) {
        Op(Tok::Lt, 1, l, c);  // x<<>y compares x with the interprocess <>y
      } else if (const OperatorInfo* op = MatchOperator()) {
        Bracket(op->tok);
        Op(op->tok, int(op->spelling.size()), l, c);
      } else if (ch == '?') {
        if (!TimeLit(l, c)) return false;
      } else {
        return Fail(l, c, std::string("unexpected character '") + ch + "'");
      }
    }
    Emit(Tok::End, line, col).endCol = col;
    return true;
  }
};

}  // namespace

bool Tokenize(std::string_view source, std::vector<Token>* out, SyntaxError* error) {
  out->clear();
  Lexer lx;
  lx.src = source;
  lx.out = out;
  lx.error = error;
  return lx.Run();
}

namespace {

constexpr OperatorInfo kOperators[] = {
    {":=", Tok::Assign, 0, OpKind::Punctuation},
    {":", Tok::Colon, 0, OpKind::Punctuation},
    {";", Tok::Semicolon, 0, OpKind::Punctuation},
    {"(", Tok::LParen, 0, OpKind::Punctuation},
    {")", Tok::RParen, 0, OpKind::Punctuation},
    {"{", Tok::LBrace, 0, OpKind::Punctuation},
    {"}", Tok::RBrace, 0, OpKind::Punctuation},
    {"->", Tok::Arrow, 0, OpKind::Punctuation},
    {"...", Tok::Ellipsis, 0, OpKind::Punctuation},
    {"]", Tok::RBracket, 0, OpKind::Punctuation},
    {"+=", Tok::PlusAssign, 0, OpKind::Punctuation},
    {"-=", Tok::MinusAssign, 0, OpKind::Punctuation},
    {"*=", Tok::StarAssign, 0, OpKind::Punctuation},
    {"/=", Tok::SlashAssign, 0, OpKind::Punctuation},
    {"&&", Tok::AndAnd, 1, OpKind::Punctuation},
    {"||", Tok::OrOr, 1, OpKind::Punctuation},
    {"+", Tok::Plus, 1, OpKind::Arithmetic},
    {"-", Tok::Minus, 1, OpKind::Arithmetic},
    {"*", Tok::Star, 1, OpKind::Arithmetic},
    {"/", Tok::Slash, 1, OpKind::Arithmetic},
    {"\\", Tok::Backslash, 1, OpKind::Arithmetic},
    {"%", Tok::Percent, 1, OpKind::Arithmetic},
    {"^", Tok::Caret, 1, OpKind::Arithmetic},
    {"=", Tok::Eq, 1, OpKind::Comparison},
    {"#", Tok::Hash, 1, OpKind::Comparison},
    {"<", Tok::Lt, 1, OpKind::Comparison},
    {">", Tok::Gt, 1, OpKind::Comparison},
    {"<=", Tok::Le, 1, OpKind::Comparison},
    {">=", Tok::Ge, 1, OpKind::Comparison},
    {"&", Tok::Amp, 1, OpKind::Bitwise},
    {"|", Tok::Pipe, 1, OpKind::Bitwise},
    {"^|", Tok::XorBits, 1, OpKind::Bitwise},
    {"<<", Tok::ShiftLeft, 1, OpKind::Bitwise},
    {">>", Tok::ShiftRight, 1, OpKind::Bitwise},
    {"?+", Tok::BitSet, 1, OpKind::Bitwise},
    {"?-", Tok::BitClear, 1, OpKind::Bitwise},
    {"??", Tok::BitTest, 1, OpKind::Bitwise},
};

}  // namespace

std::span<const OperatorInfo> Operators() { return kOperators; }

const OperatorInfo& OperatorOf(Tok tok) {
  static const OperatorInfo none{"?", Tok::End, 0, OpKind::Punctuation};
  for (const OperatorInfo& op : kOperators)
    if (op.tok == tok) return op;
  return none;
}

}  // namespace runner
