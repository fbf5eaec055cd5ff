// The 4D language as the method runner reads it: tokens, the syntax tree of a method,
// and the parser. A method is a list of statements, one per line.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "abi/command_table.h"
#include "runner/value.h"

namespace runner {

// ---- tokens -------------------------------------------------------------------------
enum class Tok : uint8_t {
  End, Newline, Word, Local, Interprocess, ParamIndirect, Number, String, DateLit, TimeLit,
  Assign, Colon, Semicolon, LParen, RParen, LBrace, RBrace,
  Plus, Minus, Star, Slash, Backslash, Percent, Caret,
  Eq, Hash, Lt, Gt, Le, Ge, Amp, Pipe,
  XorBits, ShiftLeft, ShiftRight, BitSet, BitClear, BitTest,  // ^| << >> ?+ ?- ??
  Arrow,  // ->
  Field,  // [Table]Field or [Table], tokens dropped: text "[Table]Field"
  Dot, LBracket, RBracket, Question,         // $o.name  $c[i]  c ? a : b
  AndAnd, OrOr,                              // && ||
  PlusAssign, MinusAssign, StarAssign, SlashAssign,  // += -= *= /=
  Ellipsis,                                  // ... : the parameters past the named ones
};

// Whether a comparison `op` holds for a three-way result c (<0, 0, >0); false for any
// other operator.
inline bool OrderHolds(Tok op, int c) {
  switch (op) {
    case Tok::Eq: return c == 0;
    case Tok::Hash: return c != 0;
    case Tok::Lt: return c < 0;
    case Tok::Gt: return c > 0;
    case Tok::Le: return c <= 0;
    case Tok::Ge: return c >= 0;
    default: return false;
  }
}

// Every operator and punctuation mark, read by the lexer (longest spelling first), the
// parser (a binary operator has a precedence), the evaluator and its messages. 4D
// evaluates binary operators strictly from left to right: they share one precedence.
enum class OpKind : uint8_t { Punctuation, Arithmetic, Comparison, Bitwise };
struct OperatorInfo {
  std::string_view spelling;
  Tok tok;
  uint8_t precedence;  // 0: not a binary operator
  OpKind kind;         // & and | are Bitwise: between booleans they are AND and OR
};
std::span<const OperatorInfo> Operators();
// The row of `tok`; a row of precedence 0 spelled "?" for a token that is none of them.
const OperatorInfo& OperatorOf(Tok tok);

struct Token {
  Tok kind = Tok::End;
  int line = 1, col = 1;  // col counts characters from 1
  int endCol = 1;         // column just past the token
  std::string text;       // word or variable name; text literal as Mac Roman bytes
  Value value;            // number, date and time literals
  // 4D saves names with their token: Length:C16 (command 16), Is text:K8:3 (constant 3
  // of theme 8). The token sits on the last word of the name.
  char token = 0;       // 'C' command, 'K' constant, 'P' plug-in command, 0 none
  int32_t number = 0;   // the command's number ('C'), the constant's theme ('K')
  int32_t index = 0;    // the constant's index in its theme ('K')
};

struct SyntaxError {
  int line = 0, col = 0;
  std::string message;
};

// False with *error set on the first lexical error.
[[nodiscard]] bool Tokenize(std::string_view source, std::vector<Token>* out, SyntaxError* error);

// ---- names and methods --------------------------------------------------------------
struct Frame;
struct Args;
struct Code;

// A 4D command or function the runner provides itself. `params` has one letter per
// parameter (the last one repeats when maxArgs is -1): 'e' any value, 'v' a variable
// or element, 'l' a literal number or a variable. `system`: it reaches documents, folders
// or the terminal, which a confined run may not.
using BuiltinFn = bool (*)(Frame& f, const Args& a, Value* out);
struct BuiltinInfo {
  std::string_view name;
  int32_t number;        // 4D's command number; 0 for the runner's own commands
  int minArgs, maxArgs;  // maxArgs -1: any number
  bool returnsValue;
  std::string_view params;
  BuiltinFn fn;
  bool system;
};
std::span<const BuiltinInfo> Builtins();
// The built-in with 4D command number `number`, or null.
const BuiltinInfo* BuiltinByNumber(int32_t number);
// 4D's commands and their numbers, sorted by number.
struct CommandNumber {
  std::string_view name;
  int32_t number;
};
std::span<const CommandNumber> CommandNumbers();
// The English name of 4D command `number`, or "" when it is not one.
std::string_view CommandName(int32_t number);
// The error for a 4D command the runner does not have ("NAME (4D command N) is not
// available in vrx run: it needs the database"); "" when `name` is no 4D command.
std::string UnavailableMessage(std::string_view name);

// What a call of something the runner cannot run stands for: a name it does not have,
// or a table. Loading never fails on them; running the line reports `message` (its one
// argument, a text), and vrx run --check lists them.
enum class Unrunnable : uint8_t { UnknownName, Table };
const BuiltinInfo& UnrunnableBuiltin(Unrunnable what);
// var and #DECLARE: its first argument is the Type (Undefined: Variant), the others the
// variables it declares.
const BuiltinInfo& DeclarationBuiltin();

enum class StmtKind : uint8_t {
  Expr, Assign, If, Case, While, Repeat, For, ForEach, Use, Break, Continue, Return,
  Try,  // Try body Catch elseBody End try
};

struct Program;
struct Method {
  std::string name;  // as the file names it
  std::string path;
  // Its code, as the parser emits it; the methods it calls are found once every method
  // of the program is read (ResolveCalls).
  std::shared_ptr<Code> code;
};

// Names the parser resolves calls against: the project's methods, lower-cased.
using MethodNames = std::map<std::string, std::string>;  // lower-cased -> as written

// Parses one method file (UTF-8) into out->code; its process and interprocess variables
// get their slots in `program`. False with *error set on the first syntax error.
[[nodiscard]] bool ParseMethod(std::string_view source, const MethodNames& methods,
                               Program* program, Method* out, SyntaxError* error);
// A program to parse text run on the fly (EXECUTE FORMULA, Formula from string) into:
// the running program's variables and command sites, and in *names its methods.
void ScratchProgram(const Program& real, Program* scratch, MethodNames* names);

}  // namespace runner
