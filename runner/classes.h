// Classes, formulas and the objects of 4D's built-in classes.
//   classes.cpp       class files (Project/Sources/Classes/Name.4dm) read into ClassDefs;
//                     class objects, cs and 4D, new(), This, Super, member calls,
//                     computed properties, OB Class and OB Instance of;
//   formulas.cpp      Formula and Formula from string: 4D.Function objects, call() and
//                     apply(), and formulas given to collection functions;
//   file_objects.cpp  4D.File and 4D.Folder: File(), Folder() and their members.
// A class instance is an ObjectHeap whose `cls` names its class; what a built-in class
// keeps besides properties (a formula's code, a file's path) is its `native` part.
#pragma once
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "runner/interp.h"

namespace runner {

// A function of a built-in class: self is the instance (or the class object), args the
// evaluated arguments.
using NativeFn = bool (*)(Frame& f, const Value& self, std::vector<Value>& args, Value* out);
// A computed property of a built-in class.
using NativeGet = bool (*)(Frame& f, const Value& self, Value* out);

struct ClassMember {
  const Method* fn = nullptr;   // Function name
  const Method* get = nullptr;  // Function get name
  const Method* set = nullptr;  // Function set name
  NativeFn native = nullptr;
  NativeGet nativeGet = nullptr;
};

struct ClassDef {
  std::string name;     // as the file names it; class names are case-sensitive
  std::string extends;  // as written after Class extends; "" for none
  const ClassDef* super = nullptr;  // resolved once every class is read; 4D.Object at the top
  bool builtin = false;             // one of 4D's classes
  bool singleton = false;           // singleton Class constructor: one instance, cs.Name.me
  const Method* constructor = nullptr;
  const Method* init = nullptr;     // the initial values of its properties, or null
  std::map<std::string, ClassMember, std::less<>> members;
  std::list<Method> methods;  // owns constructor, init and the functions (stable addresses)
};

// The classes of a program and the code of the formulas its methods write.
struct ClassStore {
  std::map<std::string, ClassDef, std::less<>> classes;  // by name as written
  std::vector<std::shared_ptr<Method>> formulas;        // Formula(...) sites, for ResolveCalls
};

// The built-in classes the runner has, by name (Object, Class, Function, File, Folder,
// Blob); null for another name.
const ClassDef* BuiltinClass(std::string_view name);

// Reads a class file into *out; its functions are methods parsed with `methods` as the
// project's method names. False with *error set on the first syntax error.
[[nodiscard]] bool ParseClass(std::string_view name, std::string_view source,
                              const MethodNames& methods, Program* program, ClassDef* out,
                              SyntaxError* error);
// Links every class to its superclass and every call in class functions and formulas
// to its method, once all methods and classes are read; messages for unknown
// superclasses and circles in *errors.
void ResolveClasses(Program* program, std::vector<std::string>* errors);
// Each method of the classes and formulas, for the checks a loader makes.
void ForEachClassMethod(const Program& program, const std::function<void(const Method&)>& visit);

// What a run keeps of classes and formulas: one class object per class (so that they
// compare equal), the class stores, and the code of each text Formula from string read.
struct ClassRuntime {
  std::map<const ClassDef*, Value> objects;
  Value cs, fourD;
  std::map<const ClassDef*, Value> singletons;  // cs.Name.me, made on first use
  std::map<std::string, Value, std::less<>> compiled;  // a formula object per text
};
ClassRuntime& Classes(Frame& f);

// ---- running
// Calls `m` with This = self, as a function of `owner` (Super looks above it); `captured`
// gives locals their values first (a formula's copies). *out is $0, Undefined when the
// function gave none; with `expr` given, the value of that node of m's code instead.
[[nodiscard]] bool CallFunction(Frame& f, const Method* m, const ClassDef* owner, const Value& self,
                                std::vector<Value> params, Value* out,
                                std::span<const std::pair<int32_t, Value>> captured = {},
                                int32_t expr = -1);
// A new instance of `cls` (new()): properties' initial values, then the constructor.
[[nodiscard]] bool NewInstance(Frame& f, const ClassDef* cls, std::vector<Value> args, Value* out);
// An object whose class is a built-in class, with its native part.
Value NewNativeObject(const ClassDef* cls, std::shared_ptr<const NativeData> native);
// The class object of `cls` in this run (one per class, so that they compare equal).
Value ClassObject(Frame& f, const ClassDef* cls);

// $o.name(args) on an object: a formula in the property, a function of its class or a
// built-in function.
[[nodiscard]] bool CallObjectMember(Frame& f, const Value& self, const std::string& name,
                                    std::vector<Value>& args, Value* out);
// Whether node is Super standing alone (Super.name(...)), and that call.
bool IsSuperCall(Frame& f, int32_t node);
[[nodiscard]] bool CallSuper(Frame& f, const std::string& name, std::vector<Value>& args, Value* out);
// Whether a property read or write on an object of a class goes through a computed
// property; when it does (*handled), its result. Plain objects never reach here.
[[nodiscard]] bool GetComputed(Frame& f, const Value& self, const std::string& name, Value* out,
                               bool* handled);
[[nodiscard]] bool SetComputed(Frame& f, const Value& self, const std::string& name, const Value& v,
                               bool* handled);

// ---- formulas.cpp
// The 4D.Function class; formula objects are its instances.
const ClassDef& FunctionClass();
// Calls a formula (or a class function's object) with This = self.
[[nodiscard]] bool CallFormula(Frame& f, const Value& formula, const Value& self,
                               std::vector<Value> params, Value* out);
// Formula objects given to collection functions, and method names given as texts.
[[nodiscard]] bool CallCollectionFormula(Frame& f, const Value& formula, std::vector<Value>& params);
// A 4D.Function object for a class function, so that $o.fn.call() works.
Value FunctionObject(const Method* m, const ClassDef* owner, std::string source);
std::span<const BuiltinInfo> FormulaBuiltins();

// ---- file_objects.cpp
const ClassDef& FileClass();
const ClassDef& FolderClass();
std::span<const BuiltinInfo> FileBuiltins();
std::span<const BuiltinInfo> ClassBuiltins();  // classes.cpp: cs, 4D, This, Super, OB Class...
std::span<const BuiltinInfo> TrimBuiltins();   // trim_builtins.cpp

}  // namespace runner
