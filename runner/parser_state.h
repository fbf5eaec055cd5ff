// The method parser: its state, the names it knows, and its parts. The expressions are
// read in parser.cpp, the statements in statements.cpp.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runner/code.h"
#include "runner/runner.h"

namespace runner::parsing {

enum class Keyword : uint8_t {
  None, If, Else, EndIf, CaseOf, EndCase, While, EndWhile, Repeat, Until, For, EndFor,
  True, False, Var, Return, Break, Continue, ForEach, EndForEach, Use, EndUse, Null,
  Catch, EndTry,  // Try itself is also a function: TryStat looks at the word
};

struct Constant {
  std::string_view name;
  double value;
  bool real = false;
  int32_t theme = 0, index = 0;  // its token, when known
  const char* text = nullptr;     // a text constant's value
};

// Constants by their token, for names written in another language.
const Constant* ConstantByToken(int32_t theme, int32_t index);

struct NameEntry {
  Keyword keyword = Keyword::None;
  const BuiltinInfo* builtin = nullptr;
  const Constant* constant = nullptr;
};

// Names compare without regard to case.
std::string AsciiLower(std::string_view s);
// Every keyword, built-in and constant by its lower-case name.
const std::unordered_map<std::string, NameEntry>& Names();

constexpr int kMaxNameWords = 6;
// True and False are commands to 4D, keywords here.
constexpr int32_t kTrueCommand = 214, kFalseCommand = 215, kNullCommand = 1517;
constexpr int32_t kFormulaCommand = 1597;
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

  bool Fail(const Token& t, std::string message);
  static std::string Describe(const Token& t);
  bool Expect(Tok kind, const char* what);
  bool ExpectEndOfLine();
  void SkipNewlines();
  static std::string WordText(const Token& t);
  Match MatchName(size_t at) const;
  Match MatchToken(size_t at, int count, const Token& last) const;
  Keyword PeekKeyword() const;
  bool Enter();

  // ---- expressions ----
  static bool IsBinary(Tok t) { return OperatorOf(t).precedence > 0; }

  const Node& N(int32_t i) const { return gen.node(i); }
  bool IsVariableRef(int32_t i) const;
  bool IsAssignable(int32_t i) const { return IsVariableRef(i) || N(i).op == Op::ParamAt; }
  bool IsStorable(int32_t i) const;
  bool ParseExpr(int32_t* out);
  bool ParseTernary(int32_t* out);
  bool ParseUnary(int32_t* out);
  bool ParsePostfix(int32_t* out);
  bool ParseObjectLiteral(int32_t* out);
  bool ParseCollectionLiteral(int32_t* out);
  bool ParseDerefs(int32_t* out);
  bool ParseAddress(int32_t* out);
  bool ParseElement(int32_t* var);
  static char LoneOperator(Tok t);
  bool ParseArgs(std::vector<int32_t>* args);
  bool CheckBuiltinArgs(const Token& at, const BuiltinInfo& b, const std::vector<int32_t>& args);
  bool CheckCommandArgs(const Token& at, const vrx::CommandInfo& c, const std::vector<int32_t>& args);

  /* primary -> literal | '(' expr ')' | local element | interprocess element | name
               | '${' expr '}' */
  bool ParsePrimary(int32_t* out);

  /* name -> TRUE | FALSE | constant | builtin args | command args | method args
            | variable element */
  bool ParseName(int32_t* out);
  bool IsUnrunnable(int32_t i, Unrunnable what) const;
  bool UnknownCall(int32_t* out, const Token& t, const char* what, const std::string& name,
                   bool takesArgs);
  bool UsesTable(const std::vector<int32_t>& args) const;
  bool UsesTable(int32_t i) const;
  bool TableCall(int32_t* out, const Token& t, const std::string& name);
  bool FieldRef(int32_t* out);
  bool ReturnsValue(int32_t i, const Token& at);
  bool TakesStatement(int32_t i) const;
  // Formula(expression): the expression becomes code of its own (formulas.cpp).
  bool ParseFormula(int32_t* out, const Token& t);
  std::string_view source;  // the method's text, for a formula's source

  // ---- statements ----
  bool ParseBlock(std::vector<CStmt>* body, std::initializer_list<Keyword> ends, bool colonEnds,
                  const Token& opener, const char* closer);
  bool ParseCondition(int32_t* cond);
  void TakeExtra(std::vector<CStmt>* body);

  /* statement -> ifstat | casestat | whilestat | repeatstat | forstat | foreachstat
                | usestat | trystat | varstat | declarestat | returnstat | BREAK | CONTINUE | exprstat */
  bool ParseStatement(CStmt* s);
  bool IfStat(CStmt* s, const Token& t);

  /* casestat -> CASE OF NEWLINE {':' cond NEWLINE block} [ELSE NEWLINE block]
                 END CASE NEWLINE */
  bool CaseStat(CStmt* s, const Token& t);
  bool WhileStat(CStmt* s, const Token& t);
  bool RepeatStat(CStmt* s, const Token& t);

  /* forstat -> FOR '(' variable ';' expr ';' expr [';' expr] ')' NEWLINE block
                END FOR NEWLINE */
  bool ForStat(CStmt* s, const Token& t);

  /* foreachstat -> FOR EACH '(' variable ';' expr [';' expr [';' expr]] ')' [clause]
                    NEWLINE block END FOR EACH [clause] NEWLINE
     clause -> (UNTIL | WHILE) cond */
  bool ForEachStat(CStmt* s, const Token& t);
  bool ForEachClause(int32_t* cond, bool* until);
  bool UseStat(CStmt* s, const Token& t);
  bool TryStat(CStmt* s, const Token& t);
  bool ParseType(int32_t* type);
  void Declaration(CStmt* s, const Token& t, int32_t type, const std::vector<int32_t>& vars);
  bool VarStat(CStmt* s, const Token& t);

  /* declarestat -> '#' DECLARE '(' [params] ')' ['->' local [':' type]]
     params -> param {';' param} [';' '...' [':' type]] | '...' [':' type]
     param -> local [':' type]   (the parameters are $1, $2...; the result $0) */
  bool DeclareStat(CStmt* s, const Token& t);
  bool ReturnStat(CStmt* s);
  static Tok CompoundOp(Tok t);
  bool ExprStat(CStmt* s, const Token& t);
};

}  // namespace runner::parsing
