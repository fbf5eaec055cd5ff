// The 4D commands and functions that methods use around the plug-in's commands: one
// function per command, and at the end the table that names them for the parser.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "host/host.h"
#include "platform/services.h"
#include "runner/interp.h"

namespace runner {

// The value an argument has: the variable itself when it names one, else a copy in
// *copy.
bool ValueOf(Frame& f, int32_t arg, Value* copy, const Value** out) {
  if (f.node(arg).op == Op::Deref) return DerefValue(f, arg, copy, out);
  if ((*out = PeekVar(f, arg))) return true;
  if (!Eval(f, arg, copy)) return false;
  *out = copy;
  return true;
}

bool NeedBlobVar(Frame& f, int32_t ref, Var** out, const std::string& cmd) {
  Var* var = FindVar(f, ref);
  if (!var) {
    if (f.node(ref).op == Op::Deref) return false;  // reported
    return Fail(f, cmd + ": the BLOB must be a variable");
  }
  if (var->v.type == Type::Undefined) var->v = Value::Blob("");
  if (var->v.type != Type::Blob)
    return Fail(f, cmd + ": " + VarLabel(f, ref) + " is " + Article(var->v.type) + ", not a BLOB");
  *out = var;
  return true;
}

std::string SystemPath(const std::string& macRoman) { return platform::MacRomanToUtf8(macRoman); }

// An offset variable that does not exist yet starts at 0, as 4D creates it. False, with
// the error reported, when a pointer names nothing.
bool StartOffset(Frame& f, int32_t ref) {
  // An element always holds a value; anything else but a variable is not written back.
  if (!IsWholeVar(f.node(ref)) && f.node(ref).op != Op::Deref) return true;
  Target t;
  if (!ResolveTarget(f, ref, &t)) return false;
  if (!t.isElement && t.var->v.type == Type::Undefined) t.var->v = Value::Long(0);
  return true;
}

bool DeclareArray(Frame& f, const Args& a, Type elem, const std::string& cmd) {
  int32_t n;
  if (!EvalLong(f, a[1], &n, cmd + ": the size")) return false;
  if (n < 0 || size_t(n) > f.rt->maxArray)
    return Fail(f, cmd + ": the size must be 0 to " + std::to_string(f.rt->maxArray));
  Var* var = FindVar(f, a[0]);
  if (!var) return Fail(f, cmd + ": the array must be a variable");
  if (var->v.type == Type::Undefined) {
    var->v = Value::Array(elem, size_t(n));
  } else if (var->v.type == Type::Array && var->v.elem == elem) {
    var->v.items.resize(size_t(n) + 1, Value::Empty(elem));
  } else {
    return Fail(f, cmd + ": " + VarLabel(f, a[0]) + " is already " +
                       (var->v.type == Type::Array ? "an array of another type"
                                                   : Article(var->v.type)));
  }
  return true;
}

namespace {

bool Declare(Frame& f, int32_t ref, Type type, int maxLen) {
  Var* var = FindVar(f, ref);
  if (!var) return Fail(f, "only whole variables can be declared");
  if (var->v.type == Type::Undefined) {
    var->v = Value::Empty(type);
  } else if (var->v.type != type) {
    if (var->v.type == Type::Array)
      return Fail(f, VarLabel(f, ref) + " is an array and cannot be declared " +
                         std::string(TypeName(type)));
    Value converted;
    if (!Convert(f, type, var->v, &converted, VarLabel(f, ref))) return false;
    var->v = std::move(converted);
  }
  var->maxLen = maxLen;
  if (maxLen > 0 && var->v.s.size() > size_t(maxLen)) var->v.s.resize(size_t(maxLen));
  return true;
}

bool DeclareAll(Frame& f, const Args& a, Type type) {
  for (size_t i = 0; i < a.size(); ++i)
    if (!Declare(f, a[i], type, 0)) return false;
  return true;
}




bool ReadDocument(Frame& f, const std::string& path, std::string* out) {
  std::FILE* file = std::fopen(SystemPath(path).c_str(), "rb");
  if (!file) return Fail(f, "cannot open the document \"" + path + "\": " + std::strerror(errno));
  std::string data;
  char buf[65536];
  size_t n;
  bool tooBig = false;
  while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) {
    if (data.size() + n > f.rt->maxBytes) {
      tooBig = true;
      break;
    }
    data.append(buf, n);
  }
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (tooBig) return Fail(f, "the document \"" + path + "\" is too large for a BLOB");
  if (failed) return Fail(f, "cannot read the document \"" + path + "\"");
  *out = std::move(data);
  return true;
}

bool WriteDocument(Frame& f, const std::string& path, const std::string& data) {
  std::FILE* file = std::fopen(SystemPath(path).c_str(), "wb");
  if (!file) return Fail(f, "cannot create the document \"" + path + "\": " + std::strerror(errno));
  bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok) return Fail(f, "cannot write the document \"" + path + "\"");
  return true;
}

// ---- text <-> BLOB: the Mac formats (lengths big-endian, as on the Macintosh) ----
bool EncodeText(Frame& f, const std::string& text, int32_t format, std::string* out) {
  switch (format) {
    case 0:  // Mac C string
      *out = text.substr(0, text.find('\0'));
      out->push_back('\0');
      return true;
    case 1: {  // Mac Pascal string
      std::string t = text.substr(0, 255);
      *out = std::string(1, char(t.size())) + t;
      return true;
    }
    case 2: {  // Mac text with length
      if (text.size() > 32767) return Fail(f, "TEXT TO BLOB: a Mac text with length holds at most 32767 bytes");
      *out = std::string{char(text.size() >> 8), char(text.size() & 0xFF)} + text;
      return true;
    }
    case 3:
      *out = text;
      return true;
    case 4: case 5: case 6: {
      std::string u = platform::MacRomanToUtf8(text);
      if (format == 4) {
        *out = u.substr(0, u.find('\0'));
        out->push_back('\0');
      } else if (format == 5) {
        uint32_t n = uint32_t(u.size());
        *out = std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)} + u;
      } else {
        *out = u;
      }
      return true;
    }
    default:
      return Fail(f, "unknown text format " + std::to_string(format));
  }
}

// Reads a text in `format` at *offset; *offset moves past it. `length` >= 0 limits the
// formats without a length of their own.
bool DecodeText(Frame& f, const std::string& blob, int32_t format, int64_t* offset,
                int64_t length, std::string* out) {
  if (*offset < 0 || uint64_t(*offset) > blob.size())
    return FailCode(f, kErrorBlobRange, "BLOB to text: offset " + std::to_string(*offset) + " is outside the BLOB (" +
                       std::to_string(blob.size()) + " bytes)");
  size_t at = size_t(*offset);
  size_t rest = blob.size() - at;
  auto take = [&](size_t from, size_t n, size_t skip) {
    *out = blob.substr(from, n);
    *offset = int64_t(from + n + skip);
  };
  switch (format) {
    case 0: case 4: {
      size_t end = blob.find('\0', at);
      if (end == std::string::npos)
        take(at, rest, 0);
      else
        take(at, end - at, 1);
      break;
    }
    case 1: {
      if (rest < 1) return Fail(f, "BLOB to text: no Pascal string at offset " + std::to_string(at));
      size_t n = uint8_t(blob[at]);
      if (n > rest - 1) return Fail(f, "BLOB to text: the Pascal string runs past the end of the BLOB");
      take(at + 1, n, 0);
      break;
    }
    case 2: {
      if (rest < 2) return Fail(f, "BLOB to text: no text length at offset " + std::to_string(at));
      size_t n = (size_t(uint8_t(blob[at])) << 8) | uint8_t(blob[at + 1]);
      if (n > rest - 2) return Fail(f, "BLOB to text: the text runs past the end of the BLOB");
      take(at + 2, n, 0);
      break;
    }
    case 5: {
      if (rest < 4) return Fail(f, "BLOB to text: no text length at offset " + std::to_string(at));
      uint32_t n = (uint32_t(uint8_t(blob[at])) << 24) | (uint32_t(uint8_t(blob[at + 1])) << 16) |
                   (uint32_t(uint8_t(blob[at + 2])) << 8) | uint8_t(blob[at + 3]);
      if (n > rest - 4) return Fail(f, "BLOB to text: the text runs past the end of the BLOB");
      take(at + 4, n, 0);
      break;
    }
    case 3: case 6:
      take(at, length >= 0 && uint64_t(length) < rest ? size_t(length) : rest, 0);
      break;
    default:
      return Fail(f, "unknown text format " + std::to_string(format));
  }
  if (format >= 4) *out = platform::Utf8ToMacRoman(*out);
  return true;
}

std::string TemporaryFolder() {
  const char* t = std::getenv("TMPDIR");
  std::string dir = t && *t ? t : "/tmp";
  if (dir.back() != '/') dir += '/';
  return platform::Utf8ToMacRoman(dir);
}


// ---- declarations ---------------------------------------------------------------------

bool CLongint(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Long); }
bool CReal(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Real); }
bool CText(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Text); }
bool CBoolean(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Boolean); }
bool CBlob(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Blob); }
bool CPicture(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Picture); }
bool CDate(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Date); }
bool CTime(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Time); }
bool CPointer(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Pointer); }

bool IsNilPointer(Frame& f, const Args& a, Value* out) {
  Value p;
  if (!Eval(f, a[0], &p)) return false;
  if (p.type != Type::Pointer) return Fail(f, "Is nil pointer: the parameter is " + Article(p.type) + ", not a pointer");
  *out = Value::Bool(p.ptr.kind == PointerKind::Nil);
  return true;
}

// ---- errors ---------------------------------------------------------------------------

// ON ERR CALL(method): the method called on each error of this process; "" removes it.
bool SetRealComparisonLevel(Frame& f, const Args& a, Value*) {
  double epsilon;
  if (!EvalNumber(f, a[0], &epsilon, "SET REAL COMPARISON LEVEL: the epsilon")) return false;
  if (!(epsilon >= 0)) return Fail(f, "SET REAL COMPARISON LEVEL: the epsilon cannot be negative");
  f.rt->epsilon = epsilon;
  return true;
}

bool OnErrCall(Frame& f, const Args& a, Value*) {
  std::string name;
  if (!EvalText(f, a[0], &name, "ON ERR CALL: the method name")) return false;
  if (name.empty()) {
    f.proc->errorMethod = nullptr;
    return true;
  }
  auto it = f.rt->program->methods.find(Lowercase(name));
  if (it == f.rt->program->methods.end()) return Fail(f, "ON ERR CALL: Unknown method: " + name);
  f.proc->errorMethod = &it->second;
  return true;
}

// ABORT: in an error method, ends the process instead of going on after the error.
bool Abort(Frame&, const Args&, Value*) { return false; }

// C_STRING(length; vars...) or C_STRING(vars...)
bool CString(Frame& f, const Args& a, Value*) {
  size_t first = 0;
  int maxLen = 0;
  if (a.node(0).op == Op::Const) {
    int32_t n;
    if (!EvalLong(f, a[0], &n, "C_STRING: the length")) return false;
    if (n < 1 || n > 255) return Fail(f, "C_STRING: the length must be 1 to 255");
    maxLen = n;
    first = 1;
  }
  for (size_t i = first; i < a.size(); ++i)
    if (!Declare(f, a[i], Type::Text, maxLen)) return false;
  return true;
}

bool ArrayLongint(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Long, "ARRAY LONGINT"); }
bool ArrayText(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Text, "ARRAY TEXT"); }
bool ArrayReal(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Real, "ARRAY REAL"); }
bool ArrayInteger(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Long, "ARRAY INTEGER"); }
bool ArrayBoolean(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Boolean, "ARRAY BOOLEAN"); }
bool ArrayPointer(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Pointer, "ARRAY POINTER"); }
// ARRAY STRING(length; array; size): the length is checked, the elements are texts.
bool ArrayString(Frame& f, const Args& a, Value*) {
  int32_t length;
  if (!EvalLong(f, a[0], &length, "ARRAY STRING: the length")) return false;
  if (length < 1 || length > 255) return Fail(f, "ARRAY STRING: the length must be 1 to 255");
  return DeclareArray(f, Args{a.ids + 1, a.n - 1, a.nodes}, Type::Text, "ARRAY STRING");
}

// ---- texts ----------------------------------------------------------------------------

bool Length(Frame& f, const Args& a, Value* out) {
  std::string t;
  if (!EvalText(f, a[0], &t, "Length: the parameter")) return false;
  *out = Value::Long(int32_t(t.size()));
  return true;
}

bool Substring(Frame& f, const Args& a, Value* out) {
  std::string t;
  int32_t start, len = INT32_MAX;
  if (!EvalText(f, a[0], &t, "Substring: the text") ||
      !EvalLong(f, a[1], &start, "Substring: the start"))
    return false;
  if (a.size() > 2 && !EvalLong(f, a[2], &len, "Substring: the length")) return false;
  if (start < 1) start = 1;
  if (len <= 0 || size_t(start) > t.size()) {
    *out = Value::Text("");
    return true;
  }
  *out = Value::Text(t.substr(size_t(start) - 1, size_t(len)));
  return true;
}

bool Position(Frame& f, const Args& a, Value* out) {
  std::string find, in;
  int32_t start = 1;
  bool exact = false;
  if (!EvalText(f, a[0], &find, "Position: the text to find") ||
      !EvalText(f, a[1], &in, "Position: the text to search"))
    return false;
  for (size_t i = 2; i < a.size(); ++i) {
    if (a.star(i)) exact = true;
    else if (i == 2 && !EvalLong(f, a[i], &start, "Position: the start")) return false;
    else if (i == 3) return Fail(f, "Position: the fourth parameter can only be *");
  }
  if (start < 1) start = 1;
  size_t at = FindText(in, find, size_t(start) - 1, exact);
  *out = Value::Long(at == std::string::npos ? 0 : int32_t(at) + 1);
  return true;
}

bool Char(Frame& f, const Args& a, Value* out) {
  int32_t c;
  if (!EvalLong(f, a[0], &c, "Char: the code")) return false;
  if (c < 0 || c > 255) return Fail(f, "Char: the code " + std::to_string(c) + " is not 0 to 255");
  *out = Value::Text(std::string(1, char(c)));
  return true;
}

bool CharacterCode(Frame& f, const Args& a, Value* out) {
  std::string t;
  if (!EvalText(f, a[0], &t, "Character code: the parameter")) return false;
  if (t.empty()) return Fail(f, "Character code of an empty text");
  *out = Value::Long(uint8_t(t[0]));
  return true;
}

bool Num(Frame& f, const Args& a, Value* out) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  switch (v.type) {
    case Type::Text: *out = Value::Real(TextToNumber(v.s)); return true;
    case Type::Boolean: *out = Value::Long(v.b ? 1 : 0); return true;
    case Type::Long: case Type::Real: *out = v; return true;
    case Type::Time: *out = Value::Long(v.l); return true;
    default: return Fail(f, "Num cannot convert " + Article(v.type));
  }
}

bool ReplaceString(Frame& f, const Args& a, Value* out) {
  std::string src, old, rep;
  int32_t howMany = INT32_MAX;
  bool exact = false;
  if (!EvalText(f, a[0], &src, "Replace string: the source") ||
      !EvalText(f, a[1], &old, "Replace string: the old text") ||
      !EvalText(f, a[2], &rep, "Replace string: the new text"))
    return false;
  for (size_t i = 3; i < a.size(); ++i) {
    if (a.star(i)) exact = true;
    else if (i == 3 && !EvalLong(f, a[i], &howMany, "Replace string: the count")) return false;
    else if (i == 4) return Fail(f, "Replace string: the fifth parameter can only be *");
  }
  std::string result;
  size_t from = 0;
  for (int32_t done = 0; !old.empty() && done < howMany; ++done) {
    size_t at = FindText(src, old, from, exact);
    if (at == std::string::npos) break;
    result.append(src, from, at - from);
    result += rep;
    if (result.size() > f.rt->maxBytes) return Fail(f, "Replace string: the text is too long");
    from = at + old.size();
  }
  result.append(src, from, std::string::npos);
  *out = Value::Text(std::move(result));
  return true;
}

bool ChangeCase(Frame& f, const Args& a, Value* out, bool upper) {
  const std::string cmd = upper ? "Uppercase" : "Lowercase";
  std::string t;
  if (!EvalText(f, a[0], &t, cmd + ": the parameter")) return false;
  if (a.size() > 1 && !a.star(1)) return Fail(f, cmd + ": the second parameter can only be *");
  *out = Value::Text(upper ? Uppercase(t) : Lowercase(t));
  return true;
}
bool UppercaseFn(Frame& f, const Args& a, Value* out) { return ChangeCase(f, a, out, true); }
bool LowercaseFn(Frame& f, const Args& a, Value* out) { return ChangeCase(f, a, out, false); }

// ---- clock ----------------------------------------------------------------------------

bool MillisecondsFn(Frame&, const Args&, Value* out) {
  *out = Value::Long(int32_t(platform::Milliseconds()));
  return true;
}

bool Tickcount(Frame&, const Args&, Value* out) {
  *out = Value::Long(int32_t(platform::TickCount()));
  return true;
}

bool CurrentDate(Frame&, const Args&, Value* out) {
  platform::DateTimeFields t = platform::SecondsToFields(platform::DateTimeNow());
  *out = Value::MakeDate(Date{t.year, t.month, t.day});
  return true;
}

bool CurrentTime(Frame&, const Args&, Value* out) {
  platform::DateTimeFields t = platform::SecondsToFields(platform::DateTimeNow());
  *out = Value::Time(t.hour * 3600 + t.minute * 60 + t.second);
  return true;
}

// ---- arrays and BLOBs -----------------------------------------------------------------

bool SizeOfArray(Frame& f, const Args& a, Value* out) {
  Value copy;
  const Value* v;
  if (!ValueOf(f, a[0], &copy, &v)) return false;
  if (v->type != Type::Array) return Fail(f, "Size of array: " + VarLabel(f, a[0]) + " is not an array");
  *out = Value::Long(int32_t(v->items.size() - 1));
  return true;
}

bool AppendToArray(Frame& f, const Args& a, Value*) {
  Value v;
  if (!Eval(f, a[1], &v)) return false;
  Var* var = FindVar(f, a[0]);
  if (!var || var->v.type != Type::Array)
    return Fail(f, "APPEND TO ARRAY: " + VarLabel(f, a[0]) + " is not an array");
  if (var->v.items.size() > f.rt->maxArray) return Fail(f, "APPEND TO ARRAY: the array is too large");
  Value converted;
  if (!Convert(f, var->v.elem, std::move(v), &converted, "an element of " + VarLabel(f, a[0])))
    return false;
  var->v.items.push_back(std::move(converted));
  return true;
}

bool BlobSize(Frame& f, const Args& a, Value* out) {
  Value copy;
  const Value* v;
  if (!ValueOf(f, a[0], &copy, &v)) return false;
  if (v->type != Type::Blob && v->type != Type::Picture)
    return Fail(f, "BLOB size: the parameter is " + Article(v->type) + ", not a BLOB");
  *out = Value::Long(int32_t(v->s.size()));
  return true;
}

bool SetBlobSize(Frame& f, const Args& a, Value*) {
  int32_t size, filler = 0;
  if (!EvalLong(f, a[1], &size, "SET BLOB SIZE: the size")) return false;
  if (a.size() > 2 && !EvalLong(f, a[2], &filler, "SET BLOB SIZE: the filler")) return false;
  if (size < 0 || size_t(size) > f.rt->maxBytes) return Fail(f, "SET BLOB SIZE: bad size " + std::to_string(size));
  Var* var;
  if (!NeedBlobVar(f, a[0], &var, "SET BLOB SIZE")) return false;
  var->v.s.resize(size_t(size), char(filler));
  return true;
}


bool TextToBlob(Frame& f, const Args& a, Value*) {
  std::string text;
  int32_t format = 0;
  if (!EvalText(f, a[0], &text, "TEXT TO BLOB: the text")) return false;
  if (a.size() > 2 && !EvalLong(f, a[2], &format, "TEXT TO BLOB: the format")) return false;
  std::string bytes;
  if (!EncodeText(f, text, format, &bytes)) return false;
  bool append = a.size() > 3 && a.star(3);
  int32_t offset = -1;
  if (a.size() > 3 && !append) {
    if (!IsWholeVar(a.node(3)) && a.node(3).op != Op::Element)
      return Fail(f, "TEXT TO BLOB: the offset must be a variable or *");
    if (!StartOffset(f, a[3]) || !EvalLong(f, a[3], &offset, "TEXT TO BLOB: the offset")) return false;
  }
  Var* var;
  if (!NeedBlobVar(f, a[1], &var, "TEXT TO BLOB")) return false;
  std::string& blob = var->v.s;
  if (append) {
    offset = int32_t(blob.size());
  } else if (offset < 0) {
    if (a.size() > 3) return Fail(f, "TEXT TO BLOB: negative offset");
    blob.clear();
    offset = 0;
  }
  if (size_t(offset) > blob.size())
    return FailCode(f, kErrorBlobRange, "TEXT TO BLOB: the offset is past the end of the BLOB");
  if (size_t(offset) + bytes.size() > f.rt->maxBytes) return Fail(f, "TEXT TO BLOB: the BLOB is too large");
  if (size_t(offset) + bytes.size() > blob.size()) blob.resize(size_t(offset) + bytes.size());
  blob.replace(size_t(offset), bytes.size(), bytes);
  if (a.size() > 3 && !append) return Assign(f, a[3], Value::Long(offset + int32_t(bytes.size())));
  return true;
}

bool BlobToText(Frame& f, const Args& a, Value* out) {
  Value blob;
  int32_t format;
  if (!Eval(f, a[0], &blob)) return false;
  if (blob.type != Type::Blob) return Fail(f, "BLOB to text: the first parameter must be a BLOB");
  if (!EvalLong(f, a[1], &format, "BLOB to text: the format")) return false;
  int32_t offset = 0, length = -1;
  if (a.size() > 2) {
    if (!StartOffset(f, a[2]) || !EvalLong(f, a[2], &offset, "BLOB to text: the offset")) return false;
  }
  if (a.size() > 3 && !EvalLong(f, a[3], &length, "BLOB to text: the length")) return false;
  int64_t at = offset;
  std::string text;
  if (!DecodeText(f, blob.s, format, &at, length, &text)) return false;
  if (a.size() > 2 && !Assign(f, a[2], Value::Long(int32_t(at)))) return false;
  *out = Value::Text(std::move(text));
  return true;
}

// ---- documents ------------------------------------------------------------------------

bool DocumentToBlob(Frame& f, const Args& a, Value*) {
  std::string path, data;
  if (!EvalText(f, a[0], &path, "DOCUMENT TO BLOB: the path") || !ReadDocument(f, path, &data))
    return false;
  Var* var;
  if (!NeedBlobVar(f, a[1], &var, "DOCUMENT TO BLOB")) return false;
  var->v.s = std::move(data);
  return true;
}

bool BlobToDocument(Frame& f, const Args& a, Value*) {
  std::string path;
  Value blob;
  if (!EvalText(f, a[0], &path, "BLOB TO DOCUMENT: the path") || !Eval(f, a[1], &blob)) return false;
  if (blob.type != Type::Blob && blob.type != Type::Picture)
    return Fail(f, "BLOB TO DOCUMENT: the second parameter must be a BLOB");
  return WriteDocument(f, path, blob.s);
}

bool TemporaryFolderFn(Frame&, const Args&, Value* out) {
  *out = Value::Text(TemporaryFolder());
  return true;
}

bool TestPathName(Frame& f, const Args& a, Value* out) {
  std::string path;
  if (!EvalText(f, a[0], &path, "Test path name: the path")) return false;
  struct stat st;
  if (::stat(SystemPath(path).c_str(), &st) != 0) *out = Value::Long(-43);
  else *out = Value::Long(S_ISDIR(st.st_mode) ? 0 : 1);
  return true;
}

bool DeleteDocument(Frame& f, const Args& a, Value*) {
  std::string path;
  if (!EvalText(f, a[0], &path, "DELETE DOCUMENT: the path")) return false;
  if (::unlink(SystemPath(path).c_str()) != 0)
    return Fail(f, "cannot delete the document \"" + path + "\": " + std::strerror(errno));
  return true;
}

bool GetDocumentSize(Frame& f, const Args& a, Value* out) {
  std::string path;
  if (!EvalText(f, a[0], &path, "Get document size: the path")) return false;
  struct stat st;
  if (::stat(SystemPath(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
    return Fail(f, "no document \"" + path + "\"");
  *out = st.st_size > INT32_MAX ? Value::Real(double(st.st_size)) : Value::Long(int32_t(st.st_size));
  return true;
}

bool CreateFolder(Frame& f, const Args& a, Value*) {
  std::string path;
  if (!EvalText(f, a[0], &path, "CREATE FOLDER: the path")) return false;
  std::string sys = SystemPath(path);
  struct stat st;
  if (::stat(sys.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
  if (::mkdir(sys.c_str(), 0777) != 0)
    return Fail(f, "cannot create the folder \"" + path + "\": " + std::strerror(errno));
  return true;
}

// ---- processes ------------------------------------------------------------------------

bool NewProcess(Frame& f, const Args& a, Value* out) {
  Runtime* rt = f.rt;
  std::string name, processName;
  if (!EvalText(f, a[0], &name, "New process: the method name")) return false;
  int32_t stack;
  if (!EvalLong(f, a[1], &stack, "New process: the stack size")) return false;
  bool unique = false;
  std::vector<Value> params;
  for (size_t i = 2; i < a.size(); ++i) {
    if (a.star(i)) {
      if (i + 1 != a.size()) return Fail(f, "New process: * must be the last parameter");
      unique = true;
      continue;
    }
    if (i == 2) {
      if (!EvalText(f, a[i], &processName, "New process: the process name")) return false;
      continue;
    }
    Value v;
    if (!Eval(f, a[i], &v)) return false;
    if (v.type == Type::Array) return Fail(f, "New process: an array cannot be passed");
    params.push_back(std::move(v));
  }
  auto it = rt->program->methods.find(Lowercase(name));
  if (it == rt->program->methods.end()) return Fail(f, "Unknown method: " + name);
  if (!rt->host) return Fail(f, "New process needs the host, which is not running");
  std::string nameKey = Lowercase(processName);
  if (unique && !processName.empty()) {
    if (auto p = rt->namedProcesses.find(nameKey); p != rt->namedProcesses.end()) {
      *out = Value::Long(p->second);
      return true;
    }
  }
  if (rt->aborting) return false;
  const Method* method = &it->second;
  int number = rt->host->NewProcess(
      [rt, method, params = std::move(params), nameKey]() mutable {
        RunProcessMethod(rt, method, std::move(params));
        if (!nameKey.empty()) {
          auto p = rt->namedProcesses.find(nameKey);
          if (p != rt->namedProcesses.end() && rt->host && p->second == rt->host->CurrentProcess())
            rt->namedProcesses.erase(p);
        }
      },
      platform::MacRomanToUtf8(processName));
  if (number <= 0) return Fail(f, "New process: the host could not start the process");
  if (!nameKey.empty()) rt->namedProcesses[nameKey] = number;
  *out = Value::Long(number);
  return true;
}

bool CurrentProcess(Frame& f, const Args&, Value* out) {
  *out = Value::Long(f.rt->host ? f.rt->host->CurrentProcess() : 1);
  return true;
}

bool DelayProcess(Frame& f, const Args& a, Value*) {
  int32_t process, ticks;
  if (!EvalLong(f, a[0], &process, "DELAY PROCESS: the process") ||
      !EvalLong(f, a[1], &ticks, "DELAY PROCESS: the duration"))
    return false;
  if (!f.rt->host) return Fail(f, "DELAY PROCESS needs the host, which is not running");
  if (process != f.rt->host->CurrentProcess())
    return Fail(f, "DELAY PROCESS can only delay the current process");
  f.rt->slice = 0;
  if (ticks > 0)
    f.rt->host->Delay(ticks);
  else
    f.rt->host->Yield();
  return !f.rt->aborting;
}

bool Idle(Frame& f, const Args&, Value*) {
  f.rt->slice = 0;
  if (f.rt->host) f.rt->host->Yield();
  return !f.rt->aborting;
}

bool CountParameters(Frame& f, const Args&, Value* out) {
  *out = Value::Long(f.nparams);
  return true;
}

// ---- output and checks ----------------------------------------------------------------

bool Log(Frame& f, const Args& a, Value*) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  if (v.type == Type::Array) return Fail(f, "LOG cannot print an array");
  f.rt->out(platform::MacRomanToUtf8(ToText(v)));
  return true;
}

// A failed assertion ends every process: the run's status is 1.
bool Assert(Frame& f, const Args& a, Value*) {
  bool ok;
  if (!EvalBool(f, a[0], &ok, "ASSERT: the condition")) return false;
  if (ok) return true;
  std::string message;
  if (a.size() > 1) {
    Value m;
    if (!Eval(f, a[1], &m)) return false;
    message = ToText(m);
  }
  Runtime& rt = *f.rt;
  if (rt.aborting) return false;
  rt.err(platform::MacRomanToUtf8("Assertion failed in method \"" + f.method->name + "\" line " +
                                  std::to_string(f.line) + (message.empty() ? "" : ": " + message)));
  rt.status = 1;
  rt.aborting = true;
  return false;
}

// ---- numbers and dates ----------------------------------------------------------------

bool Not(Frame& f, const Args& a, Value* out) {
  bool b;
  if (!EvalBool(f, a[0], &b, "Not: the parameter")) return false;
  *out = Value::Bool(!b);
  return true;
}

bool Abs(Frame& f, const Args& a, Value* out) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  if (v.type == Type::Long && v.l != INT32_MIN) *out = Value::Long(v.l < 0 ? -v.l : v.l);
  else if (v.numeric()) *out = Value::Real(std::fabs(v.Number()));
  else return Fail(f, "Abs: the parameter must be a number");
  return true;
}

bool Int(Frame& f, const Args& a, Value* out) {
  double d;
  if (!EvalNumber(f, a[0], &d, "Int: the parameter")) return false;
  double r = std::floor(d);
  *out = std::fabs(r) < 2147483647.0 ? Value::Long(int32_t(r)) : Value::Real(r);
  return true;
}

bool Round(Frame& f, const Args& a, Value* out) {
  double d;
  int32_t places;
  if (!EvalNumber(f, a[0], &d, "Round: the number") ||
      !EvalLong(f, a[1], &places, "Round: the places"))
    return false;
  if (places < -15 || places > 15) return Fail(f, "Round: the places must be -15 to 15");
  double scale = std::pow(10.0, places);
  *out = Value::Real(std::round(d * scale) / scale);
  return true;
}

bool Random(Frame&, const Args&, Value* out) {
  static std::minstd_rand gen(std::random_device{}());
  *out = Value::Long(int32_t(gen() % 32768));
  return true;
}

bool DatePart(Frame& f, const Args& a, Value* out, const char* cmd, int Date::*part) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  if (v.type != Type::Date) return Fail(f, std::string(cmd) + ": the parameter must be a date");
  *out = Value::Long(v.d.*part);
  return true;
}
bool YearOf(Frame& f, const Args& a, Value* out) { return DatePart(f, a, out, "Year of", &Date::year); }
bool MonthOf(Frame& f, const Args& a, Value* out) { return DatePart(f, a, out, "Month of", &Date::month); }
bool DayOf(Frame& f, const Args& a, Value* out) { return DatePart(f, a, out, "Day of", &Date::day); }

// Name, parameter counts, whether it returns a value, parameter kinds (see BuiltinInfo),
// function.
constexpr BuiltinInfo kBuiltins[] = {
    {"C_LONGINT", 1, -1, false, "v", CLongint},
    {"C_INTEGER", 1, -1, false, "v", CLongint},
    {"C_REAL", 1, -1, false, "v", CReal},
    {"C_TEXT", 1, -1, false, "v", CText},
    {"C_STRING", 1, -1, false, "lv", CString},
    {"C_BOOLEAN", 1, -1, false, "v", CBoolean},
    {"C_BLOB", 1, -1, false, "v", CBlob},
    {"C_PICTURE", 1, -1, false, "v", CPicture},
    {"C_DATE", 1, -1, false, "v", CDate},
    {"C_TIME", 1, -1, false, "v", CTime},
    {"C_POINTER", 1, -1, false, "v", CPointer},
    {"Is nil pointer", 1, 1, true, "e", IsNilPointer},
    {"ON ERR CALL", 1, 1, false, "e", OnErrCall},
    {"SET REAL COMPARISON LEVEL", 1, 1, false, "e", SetRealComparisonLevel},
    {"ABORT", 0, 0, false, "", Abort},
    {"ARRAY INTEGER", 2, 2, false, "ve", ArrayInteger},
    {"ARRAY BOOLEAN", 2, 2, false, "ve", ArrayBoolean},
    {"ARRAY POINTER", 2, 2, false, "ve", ArrayPointer},
    {"ARRAY STRING", 3, 3, false, "eve", ArrayString},
    {"ARRAY LONGINT", 2, 2, false, "ve", ArrayLongint},
    {"ARRAY TEXT", 2, 2, false, "ve", ArrayText},
    {"ARRAY REAL", 2, 2, false, "ve", ArrayReal},
    {"Length", 1, 1, true, "e", Length},
    {"Substring", 2, 3, true, "eee", Substring},
    {"Position", 2, 4, true, "eeee", Position},
    {"Char", 1, 1, true, "e", Char},
    {"Character code", 1, 1, true, "e", CharacterCode},
    {"Num", 1, 1, true, "e", Num},
    {"Replace string", 3, 5, true, "eeeee", ReplaceString},
    {"Uppercase", 1, 2, true, "ee", UppercaseFn},
    {"Lowercase", 1, 2, true, "ee", LowercaseFn},
    {"Milliseconds", 0, 0, true, "", MillisecondsFn},
    {"Tickcount", 0, 0, true, "", Tickcount},
    {"Current date", 0, 1, true, "e", CurrentDate},
    {"Current time", 0, 1, true, "e", CurrentTime},
    {"Size of array", 1, 1, true, "e", SizeOfArray},
    {"APPEND TO ARRAY", 2, 2, false, "ve", AppendToArray},
    {"BLOB size", 1, 1, true, "e", BlobSize},
    {"SET BLOB SIZE", 2, 3, false, "vee", SetBlobSize},
    {"TEXT TO BLOB", 2, 4, false, "evee", TextToBlob},
    {"BLOB to text", 2, 4, true, "eeve", BlobToText},
    {"DOCUMENT TO BLOB", 2, 2, false, "ev", DocumentToBlob},
    {"BLOB TO DOCUMENT", 2, 2, false, "ee", BlobToDocument},
    {"New process", 2, -1, true, "e", NewProcess},
    {"Current process", 0, 0, true, "", CurrentProcess},
    {"DELAY PROCESS", 2, 2, false, "ee", DelayProcess},
    {"IDLE", 0, 0, false, "", Idle},
    {"LOG", 1, 1, false, "e", Log},
    {"ASSERT", 1, 2, false, "ee", Assert},
    {"Not", 1, 1, true, "e", Not},
    {"Count parameters", 0, 0, true, "", CountParameters},
    {"Abs", 1, 1, true, "e", Abs},
    {"Int", 1, 1, true, "e", Int},
    {"Round", 2, 2, true, "ee", Round},
    {"Random", 0, 0, true, "", Random},
    {"Year of", 1, 1, true, "e", YearOf},
    {"Month of", 1, 1, true, "e", MonthOf},
    {"Day of", 1, 1, true, "e", DayOf},
    {"Temporary folder", 0, 0, true, "", TemporaryFolderFn},
    {"Test path name", 1, 1, true, "e", TestPathName},
    {"DELETE DOCUMENT", 1, 1, false, "e", DeleteDocument},
    {"Get document size", 1, 1, true, "e", GetDocumentSize},
    {"CREATE FOLDER", 1, 1, false, "e", CreateFolder},
};

}  // namespace

std::span<const BuiltinInfo> Builtins() {
  static const std::vector<BuiltinInfo> all = [] {
    std::vector<BuiltinInfo> v(std::begin(kBuiltins), std::end(kBuiltins));
    for (auto family : {BlobBuiltins(), DocumentBuiltins(), ArrayBuiltins(), FormatBuiltins()})
      v.insert(v.end(), family.begin(), family.end());
    return v;
  }();
  return all;
}

// Commands a confined run may not call: documents, folders and the terminal.
bool TouchesSystem(const BuiltinInfo& b) {
  static const std::vector<BuiltinFn> fns = [] {
    std::vector<BuiltinFn> v{DocumentToBlob, BlobToDocument};
    for (const BuiltinInfo& d : DocumentBuiltins()) v.push_back(d.fn);
    for (const BuiltinInfo& d : FormatBuiltins())
      if (d.name == "ALERT" || d.name == "CONFIRM") v.push_back(d.fn);
    return v;
  }();
  return std::find(fns.begin(), fns.end(), b.fn) != fns.end();
}

bool CallBuiltin(Frame& f, const Node& call, Value* out) {
  *out = Value();
  const BuiltinInfo& b = *f.code->builtins[size_t(call.a)];
  if (f.rt->confined && TouchesSystem(b)) [[unlikely]]
    return Fail(f, std::string(b.name) + " is not available to a confined method");
  Args a{f.code->args.data() + call.b, size_t(call.argc), f.nodes};
  return b.fn(f, a, out);
}

}  // namespace runner
