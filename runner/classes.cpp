// User classes and the class machinery. A class file is cut into its members (the class
// constructor and each Function) at the lines that open them; each member becomes a
// method whose first line declares its parameters, with the file's line numbers kept,
// so that the method parser reads a class function exactly as it reads a method.
// Divisions: reading class files; class objects and stores; calls; the built-ins.
#include "runner/classes.h"

#include <algorithm>
#include <cctype>

#include "runner/objects.h"

namespace runner {

namespace {

// ---- reading class files ---------------------------------------------------------------

std::string Lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = char(std::tolower(uint8_t(c)));
  return r;
}

bool IsNameByte(char c) { return std::isalnum(uint8_t(c)) || c == '_' || uint8_t(c) >= 0x80; }

// The source's lines as the lexer counts them (\n, \r\n or \r end one), each with
// whether it begins inside a /* */ comment.
struct Line {
  std::string_view text;
  bool inComment = false;
};

std::vector<Line> SplitLines(std::string_view src) {
  std::vector<Line> lines;
  size_t start = 0;
  for (size_t i = 0; i <= src.size(); ++i) {
    if (i < src.size() && src[i] != '\n' && src[i] != '\r') continue;
    lines.push_back({src.substr(start, i - start), false});
    if (i + 1 < src.size() && src[i] == '\r' && src[i + 1] == '\n') ++i;
    start = i + 1;
  }
  bool comment = false;
  for (Line& l : lines) {
    l.inComment = comment;
    bool text = false;  // a text never spans lines
    for (size_t i = 0; i < l.text.size(); ++i) {
      char c = l.text[i];
      char next = i + 1 < l.text.size() ? l.text[i + 1] : '\0';
      if (comment) {
        if (c == '*' && next == '/') comment = false, ++i;
      } else if (text) {
        if (c == '\\') ++i;
        else if (c == '"') text = false;
      } else if (c == '"') {
        text = true;
      } else if (c == '/' && next == '/') {
        break;
      } else if (c == '/' && next == '*') {
        comment = true;
        ++i;
      }
    }
  }
  return lines;
}

// Reads the words of a line one at a time.
struct Words {
  std::string_view s;
  size_t at = 0;
  void Blanks() {
    while (at < s.size() && (s[at] == ' ' || s[at] == '\t')) ++at;
  }
  std::string_view Next() {
    Blanks();
    size_t b = at;
    while (at < s.size() && IsNameByte(s[at])) ++at;
    return s.substr(b, at - b);
  }
  std::string_view Peek() {
    size_t keep = at;
    std::string_view w = Next();
    at = keep;
    return w;
  }
  std::string_view Rest() {
    Blanks();
    return s.substr(at);
  }
};

// 4D may save a keyword with its token (Function:C...): a name ends at ':' then a letter.
std::string_view SkipToken(Words& w) {
  if (w.at + 1 < w.s.size() && w.s[w.at] == ':' && std::isalpha(uint8_t(w.s[w.at + 1]))) {
    ++w.at;
    while (w.at < w.s.size() && (std::isalnum(uint8_t(w.s[w.at])) || w.s[w.at] == ':')) ++w.at;
  }
  return {};
}

enum class LineKind { Other, Constructor, Function, Getter, Setter, Extends, Property };
struct Opener {
  LineKind kind = LineKind::Other;
  bool singleton = false;
  std::string name;       // function or superclass name; property list for Property
  std::string_view rest;  // what follows: the parameters and result
};

// What a line opens: the class constructor, a function, or a line of the class's head.
Opener ReadOpener(std::string_view text) {
  Words w{text};
  Opener o;
  std::string first = Lower(w.Next());
  SkipToken(w);
  // Qualifiers 4D allows before members: they change nothing for a single process here.
  while (first == "exposed" || first == "local" || first == "server" || first == "shared" ||
         first == "singleton") {
    o.singleton = o.singleton || first == "singleton";
    first = Lower(w.Next());
    SkipToken(w);
  }
  if (first == "class") {
    std::string second = Lower(w.Next());
    SkipToken(w);
    if (second == "constructor") o.kind = LineKind::Constructor;
    else if (second == "extends") o.kind = LineKind::Extends, o.name = std::string(w.Rest());
    o.rest = w.Rest();
    return o;
  }
  if (first == "function") {
    o.kind = LineKind::Function;
    std::string_view name = w.Next();
    std::string lower = Lower(name);
    size_t keep = w.at;
    // Function get name / Function set name; "get" alone is a function's name.
    if ((lower == "get" || lower == "set") && !w.Peek().empty() &&
        w.at < text.size() && (text[w.at] == ' ' || text[w.at] == '\t')) {
      o.kind = lower == "get" ? LineKind::Getter : LineKind::Setter;
      name = w.Next();
    } else {
      w.at = keep;
    }
    o.name = std::string(name);
    o.rest = w.Rest();
    return o;
  }
  if (first == "property") {
    o.kind = LineKind::Property;
    o.rest = w.Rest();
  } else if (first == "alias") {
    // An entity class's alias of a field path: there is no database here.
    o.kind = LineKind::Property;
  }
  return o;
}

// "#DECLARE" and the parameters and result of a member's opening line.
std::string DeclareLine(std::string_view rest) {
  size_t b = rest.find_first_not_of(" \t");
  if (b == std::string_view::npos) return "";
  rest = rest.substr(b);
  if (rest.substr(0, 2) == "//" || rest.substr(0, 2) == "/*") return std::string(rest);
  if (rest[0] == '(') return "#DECLARE" + std::string(rest);
  return "#DECLARE()" + std::string(rest);
}

// The initial values of `property a; b : Type := value` lines, as statements of the
// class's init method: This.a:=value for each name. A property without a value is
// declared only: it exists once a value is given to it, as in 4D.
bool PropertyInit(std::string_view rest, std::string* out) {
  size_t assign = std::string_view::npos;
  bool text = false;
  for (size_t i = 0; i + 1 < rest.size(); ++i) {
    if (rest[i] == '"') text = !text;
    if (!text && rest[i] == ':' && rest[i + 1] == '=') {
      assign = i;
      break;
    }
    if (!text && rest[i] == '/' && (rest[i + 1] == '/' || rest[i + 1] == '*')) break;
  }
  if (assign == std::string_view::npos) return true;
  std::string_view names = rest.substr(0, assign), value = rest.substr(assign + 2);
  if (size_t colon = names.find(':'); colon != std::string_view::npos) names = names.substr(0, colon);
  size_t b = names.find_first_not_of(" \t"), e = names.find_last_not_of(" \t");
  // One name only: 4D gives an initial value to one property at a time.
  if (b == std::string_view::npos || names.find(';') != std::string_view::npos) return false;
  *out = "This." + std::string(names.substr(b, e - b + 1)) + ":=" + std::string(value);
  return true;
}

bool ParseMember(std::string_view source, const std::string& label, const std::string& path,
                 const MethodNames& methods, Program* program, ClassDef* cls, const Method** out,
                 SyntaxError* error) {
  Method& m = cls->methods.emplace_back();
  m.name = label;
  m.path = path;
  if (!ParseMethod(source, methods, program, &m, error)) return false;
  *out = &m;
  return true;
}

}  // namespace

namespace {

struct Member {
  Opener opener;
  size_t line;  // index of its opening line
};

// Finds the members' opening lines, reads Class extends and the property lines (blanked
// out of the members' text) into *out and *init (one line per line of the file).
bool ReadOutline(std::vector<Line>& lines, ClassDef* out, std::vector<Member>* members,
                 std::string* init, SyntaxError* error) {
  size_t initLines = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].inComment) continue;
    Opener o = ReadOpener(lines[i].text);
    if (o.kind == LineKind::Other) continue;
    if (o.kind == LineKind::Extends) {
      std::string super = o.name;
      size_t end = 0;
      while (end < super.size() && (IsNameByte(super[end]) || super[end] == '.')) ++end;
      super.resize(end);
      if (super.empty()) {
        *error = {int(i + 1), 1, "expected the name of a class after Class extends"};
        return false;
      }
      out->extends = super;
      lines[i].text = {};
    } else if (o.kind == LineKind::Property) {
      std::string statement;
      if (!PropertyInit(o.rest, &statement)) {
        *error = {int(i + 1), 1, "a property's initial value is given to one property at a time"};
        return false;
      }
      if (!statement.empty()) {
        while (initLines < i) *init += '\n', ++initLines;
        *init += statement;
      }
      lines[i].text = {};
    } else {
      members->push_back({o, i});
    }
  }
  // Statements before the first member have no function to run in.
  size_t head = members->empty() ? lines.size() : (*members)[0].line;
  for (size_t i = 0; i < head; ++i) {
    if (lines[i].inComment) continue;
    std::string_view t = lines[i].text;
    size_t b = t.find_first_not_of(" \t");
    if (b == std::string_view::npos || t.substr(b, 2) == "//" || t.substr(b, 2) == "/*") continue;
    *error = {int(i + 1), int(b + 1), "only Class extends and property lines stand before the first function"};
    return false;
  }
  return true;
}

// Parses member k (its lines up to the next member's) and files it in *out.
bool AddMember(const std::vector<Line>& lines, const std::vector<Member>& members, size_t k,
               const MethodNames& methods, Program* program, ClassDef* out, SyntaxError* error) {
  const Member& mem = members[k];
  size_t end = k + 1 < members.size() ? members[k + 1].line : lines.size();
  std::string text(mem.line, '\n');  // the file's line numbers
  text += DeclareLine(mem.opener.rest);
  for (size_t i = mem.line + 1; i < end; ++i) {
    text += '\n';
    text += lines[i].text;
  }
  const Method* m;
  bool constructor = mem.opener.kind == LineKind::Constructor;
  std::string label = out->name + "." + (constructor ? "constructor" : mem.opener.name);
  if (!ParseMember(text, label, out->name + ".4dm", methods, program, out, &m, error)) return false;
  if (constructor) {
    out->singleton = mem.opener.singleton;
    if (out->constructor) {
      *error = {int(mem.line + 1), 1, "a second Class constructor"};
      return false;
    }
    out->constructor = m;
    return true;
  }
  ClassMember& cm = out->members[mem.opener.name];
  const Method** slot = mem.opener.kind == LineKind::Getter ? &cm.get
                        : mem.opener.kind == LineKind::Setter ? &cm.set : &cm.fn;
  if (*slot) {
    *error = {int(mem.line + 1), 1, "the function \"" + mem.opener.name + "\" is defined twice"};
    return false;
  }
  *slot = m;
  return true;
}

}  // namespace

bool ParseClass(std::string_view name, std::string_view source, const MethodNames& methods,
                Program* program, ClassDef* out, SyntaxError* error) {
  out->name = std::string(name);
  std::vector<Line> lines = SplitLines(source);
  std::vector<Member> members;
  std::string init;
  if (!ReadOutline(lines, out, &members, &init, error)) return false;
  if (!init.empty()) {
    const Method* m;
    if (!ParseMember(init, out->name + ".properties", out->name + ".4dm", methods, program, out, &m, error))
      return false;
    out->init = m;
  }
  for (size_t k = 0; k < members.size(); ++k)
    if (!AddMember(lines, members, k, methods, program, out, error)) return false;
  return true;
}

void ForEachClassMethod(const Program& program, const std::function<void(const Method&)>& visit) {
  if (!program.classes) return;
  for (const auto& [name, cls] : program.classes->classes)
    for (const Method& m : cls.methods) visit(m);
  for (const auto& m : program.classes->formulas) visit(*m);
}

void ResolveClasses(Program* program, std::vector<std::string>* errors) {
  if (!program->classes) return;
  auto resolve = [&](const Method& m) {
    for (CallSite& site : m.code->calls) {
      auto it = program->methods.find(Lowercase(site.name));
      site.method = it == program->methods.end() ? nullptr : &it->second;
    }
  };
  ForEachClassMethod(*program, resolve);
  auto& classes = program->classes->classes;
  for (auto& [name, cls] : classes) {
    if (cls.extends.empty()) {
      cls.super = BuiltinClass("Object");
      continue;
    }
    std::string_view super = cls.extends;
    if (Lower(super.substr(0, 3)) == "cs.") super.remove_prefix(3);
    if (auto it = classes.find(super); it != classes.end()) {
      cls.super = &it->second;
    } else if (const ClassDef* b = BuiltinClass(Lower(super.substr(0, 3)) == "4d." ? super.substr(3) : super)) {
      cls.super = b;
    } else {
      errors->push_back(name + ".4dm: Class extends names the class \"" + cls.extends + "\", which does not exist");
      cls.super = BuiltinClass("Object");
    }
  }
  // A class that extends itself, through however many others, has no top.
  for (auto& [name, cls] : classes) {
    size_t steps = 0;
    for (const ClassDef* c = &cls; c && !c->builtin; c = c->super)
      if (++steps > classes.size()) {
        errors->push_back(name + ".4dm: Class extends goes round in a circle");
        cls.super = BuiltinClass("Object");
        break;
      }
  }
}

// ---- class objects and stores ------------------------------------------------------------

namespace {

struct ClassRef : NativeData {
  const ClassDef* cls;
  explicit ClassRef(const ClassDef* c) : cls(c) {}
};

}  // namespace

ClassRuntime& Classes(Frame& f) {
  if (!f.rt->classes) f.rt->classes = std::make_shared<ClassRuntime>();
  return *f.rt->classes;
}

Value NewNativeObject(const ClassDef* cls, std::shared_ptr<const NativeData> native) {
  Value v = Value::NewObject();
  v.object()->cls = cls;
  v.object()->native = std::move(native);
  return v;
}

namespace {

const ClassDef* ClassOfObject(const Value& classObject) {
  const ObjectHeap* o = classObject.object();
  if (!o || o->cls != BuiltinClass("Class")) return nullptr;
  return static_cast<const ClassRef*>(o->native.get())->cls;
}

}  // namespace

Value ClassObject(Frame& f, const ClassDef* cls) {
  ClassRuntime& rt = Classes(f);
  if (auto it = rt.objects.find(cls); it != rt.objects.end()) return it->second;
  // Class objects are shared, as in 4D: a method may keep things in one inside Use.
  Value v = NewNativeObject(BuiltinClass("Class"), std::make_shared<ClassRef>(cls));
  MakeShared(v);
  rt.objects[cls] = v;
  v.object()->Set("name", Value::Text(cls->name));
  Value super = cls->super ? ClassObject(f, cls->super) : Value::Null();
  std::string error;
  if (AdoptIntoShared(v, super, &error)) v.object()->Set("superclass", std::move(super));
  return v;
}

// ---- calls ----------------------------------------------------------------------------------

bool CallFunction(Frame& f, const Method* m, const ClassDef* owner, const Value& self,
                  std::vector<Value> params, Value* out,
                  std::span<const std::pair<int32_t, Value>> captured, int32_t expr) {
  if (StackExhausted(f)) return StackOverflow(f);
  Frame callee;
  EnterMethod(callee, f.rt, f.proc, m, std::move(params));
  callee.self = self;
  callee.owner = owner;
  for (const auto& [slot, v] : captured) callee.locals[size_t(slot)].v = v;
  ++f.proc->depth;
  f.proc->frames.push_back(&callee);
  bool ok;
  Value result;
  if (expr >= 0) {
    callee.line = f.line;
    const Node& n = callee.node(expr);
    if (n.op == Op::Method) {
      // Formula(MyMethod): the method runs with the formula's This, and may return
      // nothing; named without arguments, it takes the formula's.
      const CallSite& site = callee.code->calls[size_t(n.a)];
      std::vector<Value> args(size_t(n.argc));
      ok = true;
      for (int32_t k = 0; ok && k < n.argc; ++k) ok = Eval(callee, callee.code->args[size_t(n.b + k)], &args[size_t(k)]);
      for (int k = 1; n.argc == 0 && k <= callee.nparams; ++k) args.push_back(callee.params[size_t(k)].v);
      if (ok && !site.method) ok = Fail(callee, "Unknown command or method: " + site.name);
      ok = ok && CallFunction(callee, site.method, nullptr, self, std::move(args), &result);
    } else {
      ok = Eval(callee, expr, &result);
    }
  } else {
    ok = RunMachine(callee) || callee.jump == Frame::Jump::Return;
    result = std::move(callee.params[0].v);
  }
  f.proc->frames.pop_back();
  --f.proc->depth;
  if (!RaiseDeferred(f, std::move(callee.deferred))) return false;
  if (!ok) return false;
  *out = std::move(result);
  return true;
}

bool NewInstance(Frame& f, const ClassDef* cls, std::vector<Value> args, Value* out) {
  if (cls->builtin) {
    if (cls->name == "Object") {
      *out = Value::NewObject();
      return true;
    }
    if (cls->name == "Blob") {  // a 4D.Blob is what BLOB variables hold here
      *out = Value::Blob("");
      return true;
    }
    return Fail(f, "4D." + cls->name + ".new() is not available: use the command that makes one");
  }
  Value self = Value::NewObject();
  self.object()->cls = cls;
  std::vector<const ClassDef*> chain;
  for (const ClassDef* c = cls; c && !c->builtin; c = c->super) chain.push_back(c);
  Value ignored;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    if ((*it)->init && !CallFunction(f, (*it)->init, *it, self, {}, &ignored)) return false;
  // Without a constructor of its own, a class is built by its superclass's.
  for (const ClassDef* c : chain) {
    if (!c->constructor) continue;
    if (!CallFunction(f, c->constructor, c, self, std::move(args), &ignored)) return false;
    break;
  }
  *out = std::move(self);
  return true;
}

namespace {

const ClassMember* FindMember(const ClassDef* cls, std::string_view name, const ClassDef** where) {
  for (const ClassDef* c = cls; c; c = c->super) {
    auto it = c->members.find(name);
    if (it != c->members.end()) {
      *where = c;
      return &it->second;
    }
  }
  return nullptr;
}

}  // namespace

bool GetComputed(Frame& f, const Value& self, const std::string& name, Value* out, bool* handled) {
  const ObjectHeap* o = self.object();
  const ClassDef* where;
  const ClassMember* m = FindMember(o->cls, name, &where);
  *handled = false;
  if (!m) return true;
  if (m->get || m->nativeGet) {
    *handled = true;
    return m->get ? CallFunction(f, m->get, where, self, {}, out) : m->nativeGet(f, self, out);
  }
  if (m->set && !m->get) {  // a property that can only be set reads as undefined
    *handled = true;
    *out = Value();
    return true;
  }
  if (o->Find(name)) return true;
  if (m->fn) {
    *handled = true;
    *out = FunctionObject(m->fn, where, "Function " + name);
  }
  return true;
}

bool SetComputed(Frame& f, const Value& self, const std::string& name, const Value& v, bool* handled) {
  const ClassDef* where;
  const ClassMember* m = FindMember(self.object()->cls, name, &where);
  *handled = false;
  if (!m || (!m->get && !m->set && !m->nativeGet)) return true;
  *handled = true;
  if (!m->set) return Fail(f, "the property \"" + name + "\" is read-only");
  Value ignored;
  return CallFunction(f, m->set, where, self, {v}, &ignored);
}

bool CallObjectMember(Frame& f, const Value& self, const std::string& name, std::vector<Value>& args,
                      Value* out) {
  const ObjectHeap* o = self.object();
  if (!o) return Fail(f, "the object is null: ." + name + "() cannot be called");
  if (const Value* p = o->Find(name)) {
    const ObjectHeap* fo = p->object();
    // A copy: the call may change the object and move its properties.
    if (fo && fo->cls == &FunctionClass()) return CallFormula(f, Value(*p), self, std::move(args), out);
    if (!o->cls) return Fail(f, "the property \"" + name + "\" is not a formula: it cannot be called");
  }
  const ClassDef* where;
  if (const ClassMember* m = o->cls ? FindMember(o->cls, name, &where) : nullptr) {
    if (m->fn) return CallFunction(f, m->fn, where, self, std::move(args), out);
    if (m->native) return m->native(f, self, args, out);
  }
  if (!o->cls) return Fail(f, "the object has no function ." + name + "()");
  return Fail(f, "." + name + "() is not a function of the class " + o->cls->name);
}

bool CallSuper(Frame& f, const std::string& name, std::vector<Value>& args, Value* out) {
  if (!f.owner) return Fail(f, "Super is only available in a class function");
  const ClassDef* where;
  const ClassMember* m = f.owner->super ? FindMember(f.owner->super, name, &where) : nullptr;
  if (m && m->fn) return CallFunction(f, m->fn, where, f.self, std::move(args), out);
  if (m && m->native) return m->native(f, f.self, args, out);
  return Fail(f, "Super." + name + "(): the superclass has no such function");
}

// ---- the built-ins -----------------------------------------------------------------------

namespace {

bool ClassStoreOf(Frame& f, Value* out) {
  ClassRuntime& rt = Classes(f);
  if (rt.cs.type != Type::Object) {
    rt.cs = Value::NewObject();
    if (const ClassStore* store = f.rt->program->classes.get())
      for (const auto& [name, cls] : store->classes) rt.cs.object()->Set(name, ClassObject(f, &cls));
  }
  *out = rt.cs;
  return true;
}

bool Cs(Frame& f, const Args&, Value* out) { return ClassStoreOf(f, out); }

bool FourD(Frame& f, const Args&, Value* out) {
  ClassRuntime& rt = Classes(f);
  if (rt.fourD.type != Type::Object) {
    rt.fourD = Value::NewObject();
    for (const char* name : {"Object", "Class", "Function", "File", "Folder", "Blob"})
      rt.fourD.object()->Set(name, ClassObject(f, BuiltinClass(name)));
  }
  *out = rt.fourD;
  return true;
}

bool This(Frame& f, const Args&, Value* out) {
  *out = f.self.type == Type::Undefined ? Value::Null() : f.self;
  return true;
}

// Super(params): the superclass's constructor on This.
bool Super(Frame& f, const Args& a, Value*) {
  if (!f.owner) return Fail(f, "Super is only available in a class function");
  std::vector<Value> args(a.size());
  for (size_t i = 0; i < a.size(); ++i)
    if (!Eval(f, a[i], &args[i])) return false;
  for (const ClassDef* c = f.owner->super; c && !c->builtin; c = c->super) {
    if (!c->constructor) continue;
    Value ignored;
    return CallFunction(f, c->constructor, c, f.self, std::move(args), &ignored);
  }
  return true;
}

const ClassDef* ClassOf(const Value& v) {
  const ObjectHeap* o = v.object();
  return o && o->cls ? o->cls : BuiltinClass("Object");
}

bool ObClass(Frame& f, const Args& a, Value* out) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  if (v.type == Type::Blob) {  // 4D.Blob objects are BLOBs here
    *out = ClassObject(f, BuiltinClass("Blob"));
    return true;
  }
  if (v.type != Type::Object || !v.object()) {
    *out = Value::Null();
    return true;
  }
  *out = ClassObject(f, ClassOf(v));
  return true;
}

bool ObInstanceOf(Frame& f, const Args& a, Value* out) {
  Value v, c;
  if (!Eval(f, a[0], &v) || !Eval(f, a[1], &c)) return false;
  const ClassDef* want = ClassOfObject(c);
  if (!want) return Fail(f, "OB Instance of: the second parameter must be a class (cs.Name or 4D.Name)");
  bool is = false;
  if (v.type == Type::Blob) is = want == BuiltinClass("Blob") || want == BuiltinClass("Object");
  else if (v.type == Type::Object && v.object())
    for (const ClassDef* k = ClassOf(v); k && !is; k = k->super) is = k == want;
  *out = Value::Bool(is);
  return true;
}

constexpr BuiltinInfo kClassBuiltins[] = {
    {"cs", 1710, 0, 0, true, "", Cs, false},
    {"4D", 1709, 0, 0, true, "", FourD, false},
    {"This", 1470, 0, 0, true, "", This, false},
    {"Super", 1706, 0, -1, true, "e", Super, false},
    {"Super", 1705, 0, -1, true, "e", Super, false},  // the token 4D also writes
    {"OB Class", 1730, 1, 1, true, "e", ObClass, false},
    {"OB Instance of", 1731, 2, 2, true, "ee", ObInstanceOf, false},
};

// The class objects' own function: new(); a singleton class has one instance only.
bool ClassNew(Frame& f, const Value& self, std::vector<Value>& args, Value* out) {
  const ClassDef* cls = ClassOfObject(self);
  if (cls->singleton) return Fail(f, cls->name + " is a singleton class: its instance is cs." + cls->name + ".me");
  return NewInstance(f, cls, std::move(args), out);
}

// cs.Name.me: the instance of a singleton class, made the first time it is asked for.
bool ClassMe(Frame& f, const Value& self, Value* out) {
  const ClassDef* cls = ClassOfObject(self);
  if (!cls->singleton) {
    *out = Value();
    return true;
  }
  ClassRuntime& rt = Classes(f);
  if (auto it = rt.singletons.find(cls); it != rt.singletons.end()) {
    *out = it->second;
    return true;
  }
  if (!NewInstance(f, cls, {}, out)) return false;
  rt.singletons[cls] = *out;
  return true;
}

bool ClassIsSingleton(Frame&, const Value& self, Value* out) {
  *out = Value::Bool(ClassOfObject(self)->singleton);
  return true;
}

ClassDef MakeBuiltin(const char* name, const ClassDef* super) {
  ClassDef c;
  c.name = name;
  c.builtin = true;
  c.super = super;
  return c;
}

}  // namespace

bool IsSuperCall(Frame& f, int32_t node) {
  const Node& n = f.node(node);
  return n.op == Op::Builtin && n.argc == 0 && f.code->builtins[size_t(n.a)].info->fn == Super;
}

const ClassDef* BuiltinClass(std::string_view name) {
  static const ClassDef object = MakeBuiltin("Object", nullptr);
  static const ClassDef klass = [] {
    ClassDef c = MakeBuiltin("Class", &object);
    c.members["new"].native = ClassNew;
    c.members["me"].nativeGet = ClassMe;
    c.members["isSingleton"].nativeGet = ClassIsSingleton;
    return c;
  }();
  static const ClassDef blob = MakeBuiltin("Blob", &object);
  if (name == "Object") return &object;
  if (name == "Class") return &klass;
  if (name == "Blob") return &blob;
  if (name == "Function") return &FunctionClass();
  if (name == "File") return &FileClass();
  if (name == "Folder") return &FolderClass();
  return nullptr;
}

std::span<const BuiltinInfo> ClassBuiltins() { return kClassBuiltins; }

}  // namespace runner
