// The statements of a method, each read by the function its grammar line heads.
#include <initializer_list>
#include <string>
#include <vector>

#include "runner/parser_state.h"

namespace runner::parsing {

/* block -> {statement}   (up to one of `ends`, or a ':' when colonEnds) */
bool Parser::ParseBlock(std::vector<CStmt>* body, std::initializer_list<Keyword> ends, bool colonEnds,
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
bool Parser::ParseCondition(int32_t* cond) {
  const Token& at = Cur();
  operators = 0;
  if (Cur().kind == Tok::Newline || Cur().kind == Tok::End)
    return Fail(Cur(), "a condition is missing");
  if (!ParseExpr(cond) || !ReturnsValue(*cond, at)) return false;
  gen.Root(*cond);
  return true;
}

void Parser::TakeExtra(std::vector<CStmt>* body) {
  for (CStmt& e : extra) body->push_back(std::move(e));
  extra.clear();
}

bool Parser::ParseStatement(CStmt* s) {
  const Token& t = Cur();
  operators = 0;
  s->line = t.line;
  if (t.kind == Tok::Colon) return Fail(t, "\":\" outside Case of");
  if (t.kind == Tok::Hash && At(pos + 1).kind == Tok::Word && AsciiLower(At(pos + 1).text) == "declare") {
    if (!DeclareStat(s, t)) return false;
    gen.Finish(s);
    return true;
  }
  // Try alone on its line opens a block; Try(...) is the function.
  if (t.kind == Tok::Word && !t.token && AsciiLower(t.text) == "try" &&
      (At(pos + 1).kind == Tok::Newline || At(pos + 1).kind == Tok::End)) {
    if (!TryStat(s, t)) return false;
    gen.Finish(s);
    return true;
  }
  bool ok;
  switch (t.kind == Tok::Word ? MatchName(pos).entry.keyword : Keyword::None) {
    case Keyword::ForEach: ok = ForEachStat(s, t); break;
    // Use takes its object in parentheses; USE SET and USE NAMED SELECTION are commands.
    case Keyword::Use:
      ok = At(pos + 1).kind == Tok::Word && At(pos + 1).line == t.line ? ExprStat(s, t) : UseStat(s, t);
      break;
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
    case Keyword::Catch: return Fail(t, "Catch without Try");
    case Keyword::EndTry: return Fail(t, "End try without Try");
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
bool Parser::IfStat(CStmt* s, const Token& t) {
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

bool Parser::CaseStat(CStmt* s, const Token& t) {
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
bool Parser::WhileStat(CStmt* s, const Token& t) {
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
bool Parser::RepeatStat(CStmt* s, const Token& t) {
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

bool Parser::ForStat(CStmt* s, const Token& t) {
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

bool Parser::ForEachStat(CStmt* s, const Token& t) {
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

bool Parser::ForEachClause(int32_t* cond, bool* until) {
  Keyword k = PeekKeyword();
  if (k != Keyword::Until && k != Keyword::While) return true;
  *until = k == Keyword::Until;
  ++pos;
  return ParseCondition(cond);
}

/* usestat -> USE '(' expr ')' NEWLINE block END USE NEWLINE */
bool Parser::UseStat(CStmt* s, const Token& t) {
  ++pos;
  s->kind = StmtKind::Use;
  if (!ParseCondition(&s->expr) || !ExpectEndOfLine()) return false;
  if (!ParseBlock(&s->body, {Keyword::EndUse}, false, t, "End use")) return false;
  pos += 2;
  return ExpectEndOfLine();
}

/* trystat -> TRY NEWLINE block [CATCH NEWLINE block] END TRY NEWLINE */
bool Parser::TryStat(CStmt* s, const Token& t) {
  ++pos;
  s->kind = StmtKind::Try;
  if (!ParseBlock(&s->body, {Keyword::Catch, Keyword::EndTry}, false, t, "End try")) return false;
  if (PeekKeyword() == Keyword::Catch) {
    ++pos;
    if (!ExpectEndOfLine()) return false;
    if (!ParseBlock(&s->elseBody, {Keyword::EndTry}, false, t, "End try")) return false;
  }
  pos += 2;  // End try
  return ExpectEndOfLine();
}

/* type -> word {'.' word}   (cs.Name and 4D.Name are classes: objects here) */
bool Parser::ParseType(int32_t* type) {
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
void Parser::Declaration(CStmt* s, const Token& t, int32_t type, const std::vector<int32_t>& vars) {
  std::vector<int32_t> args{gen.Root(gen.Const(Value::Long(type)))};
  args.insert(args.end(), vars.begin(), vars.end());
  s->kind = StmtKind::Expr;
  s->expr = gen.Builtin(&DeclarationBuiltin(), t.line, t.col, args);
}

/* varstat -> VAR variable {';' variable} [':' type] [':=' expr] */
bool Parser::VarStat(CStmt* s, const Token& t) {
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

bool Parser::DeclareStat(CStmt* s, const Token& t) {
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
  int32_t rest = -1, restType = int32_t(Type::Undefined);  // "... : type" types ${n} from n on
  if (Cur().kind != Tok::RParen) {
    for (int32_t number = 1;; ++number) {
      if (Cur().kind == Tok::Ellipsis) {
        ++pos;
        rest = number;
        if (Cur().kind == Tok::Colon) {
          ++pos;
          if (!ParseType(&restType)) return false;
        }
        break;
      }
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
  if (rest > 0) decls.emplace_back(gen.ParamAt(gen.Root(gen.Const(Value::Long(rest)))), restType);
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
bool Parser::ReturnStat(CStmt* s) {
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

Tok Parser::CompoundOp(Tok t) {
  switch (t) {
    case Tok::PlusAssign: return Tok::Plus;
    case Tok::MinusAssign: return Tok::Minus;
    case Tok::StarAssign: return Tok::Star;
    case Tok::SlashAssign: return Tok::Slash;
    default: return Tok::End;
  }
}

/* exprstat -> variable ':=' expr NEWLINE | variable op'=' expr NEWLINE | call NEWLINE */
bool Parser::ExprStat(CStmt* s, const Token& t) {
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
  if (!TakesStatement(first))
    ForEachChild(gen.code(), N(first), [&](int32_t c) { ok = ok && ReturnsValue(c, t); });
  if (!ok) return false;
  s->kind = StmtKind::Expr;
  s->expr = gen.Root(first);
  return ExpectEndOfLine();
}

}  // namespace runner::parsing
