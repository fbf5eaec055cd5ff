// BLOBs: their size, texts in them (TEXT TO BLOB, BLOB to text), numbers in them and
// BLOB surgery: LONGINT/INTEGER/REAL TO BLOB and back, COPY BLOB,
// INSERT IN BLOB, DELETE FROM BLOB; whole variables in BLOBs (VARIABLE TO BLOB, BLOB TO
// VARIABLE) and compression (COMPRESS BLOB, EXPAND BLOB, BLOB PROPERTIES). Offsets count
// from 0; reading or writing outside a BLOB is error -111, as in 4D.
#include <zlib.h>

#include <bit>
#include <cstring>

#include "platform/services.h"
#include "runner/interp.h"
#include "runner/objects.h"

namespace runner {

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

namespace {

// ---- text <-> BLOB: the Mac formats (lengths big-endian, as on the Macintosh) ----
bool EncodeText(Frame& f, const std::string& utf8, int32_t format, std::string* out) {
  // The Mac formats hold Mac Roman; a character it has no form for becomes '?'.
  std::string text = format >= 0 && format <= 3 ? platform::Utf8ToMacRoman(utf8) : std::string();
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
      const std::string& u = utf8;
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
  if (format <= 3) *out = platform::MacRomanToUtf8(*out);
  return true;
}

bool BlobSize(Frame& f, const Args& a, Value* out) {
  Value copy;
  const Value* v;
  if (!ValueOf(f, a[0], &copy, &v)) return false;
  if (v->type != Type::Blob && v->type != Type::Picture)
    return Fail(f, "BLOB size: the parameter is " + Article(v->type) + ", not a BLOB");
  *out = Value::Long(int32_t(v->str().size()));
  return true;
}

bool SetBlobSize(Frame& f, const Args& a, Value*) {
  int32_t size, filler = 0;
  if (!EvalLong(f, a[1], &size, "SET BLOB SIZE: the size")) return false;
  if (a.size() > 2 && !EvalLong(f, a[2], &filler, "SET BLOB SIZE: the filler")) return false;
  if (size < 0 || size_t(size) > f.rt->maxBytes) return Fail(f, "SET BLOB SIZE: bad size " + std::to_string(size));
  Var* var;
  if (!NeedBlobVar(f, a[0], &var, "SET BLOB SIZE")) return false;
  var->v.strMut().resize(size_t(size), char(filler));
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
  std::string& blob = var->v.strMut();
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
  if (!DecodeText(f, blob.str(), format, &at, length, &text)) return false;
  if (a.size() > 2 && !Assign(f, a[2], Value::Long(int32_t(at)))) return false;
  *out = Value::Text(std::move(text));
  return true;
}


constexpr int32_t kNativeOrder = 0, kMacOrder = 1, kPcOrder = 2;
constexpr int32_t kNativeReal = 0, kExtendedReal = 1, kMacDouble = 2, kPcDouble = 3;

// `n` bytes of `bits`, most significant first when bigEndian.
std::string ToBytes(uint64_t bits, size_t n, bool bigEndian) {
  std::string out(n, '\0');
  for (size_t i = 0; i < n; ++i) {
    uint8_t byte = uint8_t(bits >> (8 * i));
    out[bigEndian ? n - 1 - i : i] = char(byte);
  }
  return out;
}

uint64_t FromBytes(std::string_view in, bool bigEndian) {
  uint64_t bits = 0;
  for (size_t i = 0; i < in.size(); ++i) {
    uint8_t byte = uint8_t(in[bigEndian ? in.size() - 1 - i : i]);
    bits |= uint64_t(byte) << (8 * i);
  }
  return bits;
}

bool ByteOrder(Frame& f, int32_t arg, const std::string& cmd, bool* bigEndian) {
  int32_t order;
  if (!EvalLong(f, arg, &order, cmd + ": the byte order")) return false;
  if (order == kNativeOrder) order = std::endian::native == std::endian::big ? kMacOrder : kPcOrder;
  if (order != kMacOrder && order != kPcOrder)
    return Fail(f, cmd + ": the byte order must be 0 (native), 1 (Macintosh) or 2 (PC), not " +
                       std::to_string(order));
  *bigEndian = order == kMacOrder;
  return true;
}

bool RealFormat(Frame& f, int32_t arg, const std::string& cmd, bool* bigEndian) {
  int32_t format;
  if (!EvalLong(f, arg, &format, cmd + ": the real format")) return false;
  if (format == kNativeReal) format = std::endian::native == std::endian::big ? kMacDouble : kPcDouble;
  if (format == kExtendedReal)
    return Fail(f, cmd + ": the 10-byte Extended real format is not supported; use a double format");
  if (format != kMacDouble && format != kPcDouble)
    return Fail(f, cmd + ": unknown real format " + std::to_string(format));
  *bigEndian = format == kMacDouble;
  return true;
}

bool OutOfRange(Frame& f, const std::string& cmd, int64_t offset, size_t n, size_t size) {
  return FailCode(f, kErrorBlobRange,
                  cmd + ": " + std::to_string(n) + " bytes at offset " + std::to_string(offset) +
                      " are outside the BLOB (" + std::to_string(size) + " bytes)");
}

// Writes `bytes` into the BLOB a[1] as the last argument a[at] asks: * appends, an offset
// variable writes there (the BLOB grows, with zeros, as needed) and moves past them,
// nothing replaces the BLOB's contents.
bool WriteBytes(Frame& f, const Args& a, size_t at, const std::string& bytes, const std::string& cmd) {
  bool append = a.size() > at && a.star(at);
  bool withOffset = a.size() > at && !append;
  int32_t offset = 0;
  if (withOffset) {
    if (!StartOffset(f, a[at]) || !EvalLong(f, a[at], &offset, cmd + ": the offset")) return false;
  }
  Var* var;
  if (!NeedBlobVar(f, a[1], &var, cmd)) return false;
  std::string& blob = var->v.strMut();
  if (!withOffset && !append) {
    blob = bytes;
    return true;
  }
  if (append) offset = int32_t(blob.size());
  if (offset < 0) return OutOfRange(f, cmd, offset, bytes.size(), blob.size());
  if (size_t(offset) + bytes.size() > f.rt->maxBytes) return Fail(f, cmd + ": the BLOB is too large");
  if (size_t(offset) + bytes.size() > blob.size()) blob.resize(size_t(offset) + bytes.size());
  blob.replace(size_t(offset), bytes.size(), bytes);
  if (withOffset) return Assign(f, a[at], Value::Long(offset + int32_t(bytes.size())));
  return true;
}

// Reads `n` bytes of the BLOB a[0] at the offset variable a[at] (moved past them), or
// at the start.
bool ReadBytes(Frame& f, const Args& a, size_t at, size_t n, const std::string& cmd, std::string* out) {
  Value copy;
  const Value* blob;
  if (!ValueOf(f, a[0], &copy, &blob)) return false;
  if (blob->type != Type::Blob) return Fail(f, cmd + ": the first parameter must be a BLOB, not " + Article(blob->type));
  int32_t offset = 0;
  if (a.size() > at) {
    if (!StartOffset(f, a[at]) || !EvalLong(f, a[at], &offset, cmd + ": the offset")) return false;
  }
  if (offset < 0 || size_t(offset) + n > blob->str().size()) return OutOfRange(f, cmd, offset, n, blob->str().size());
  *out = blob->str().substr(size_t(offset), n);
  if (a.size() > at) return Assign(f, a[at], Value::Long(offset + int32_t(n)));
  return true;
}

bool IntegerToBlob(Frame& f, const Args& a, size_t bytes, const std::string& cmd) {
  int32_t v;
  bool big;
  if (!EvalLong(f, a[0], &v, cmd + ": the value") || !ByteOrder(f, a[2], cmd, &big)) return false;
  return WriteBytes(f, a, 3, ToBytes(uint32_t(v), bytes, big), cmd);
}
bool LongintToBlob(Frame& f, const Args& a, Value*) { return IntegerToBlob(f, a, 4, "LONGINT TO BLOB"); }
// An integer is the low 16 bits of the value.
bool IntToBlob(Frame& f, const Args& a, Value*) { return IntegerToBlob(f, a, 2, "INTEGER TO BLOB"); }

bool BlobToLongint(Frame& f, const Args& a, Value* out) {
  bool big;
  std::string bytes;
  if (!ByteOrder(f, a[1], "BLOB to longint", &big) || !ReadBytes(f, a, 2, 4, "BLOB to longint", &bytes))
    return false;
  *out = Value::Long(int32_t(uint32_t(FromBytes(bytes, big))));
  return true;
}

bool BlobToInteger(Frame& f, const Args& a, Value* out) {
  bool big;
  std::string bytes;
  if (!ByteOrder(f, a[1], "BLOB to integer", &big) || !ReadBytes(f, a, 2, 2, "BLOB to integer", &bytes))
    return false;
  *out = Value::Long(int16_t(uint16_t(FromBytes(bytes, big))));
  return true;
}

bool RealToBlob(Frame& f, const Args& a, Value*) {
  double v;
  bool big;
  if (!EvalNumber(f, a[0], &v, "REAL TO BLOB: the value") || !RealFormat(f, a[2], "REAL TO BLOB", &big))
    return false;
  return WriteBytes(f, a, 3, ToBytes(std::bit_cast<uint64_t>(v), 8, big), "REAL TO BLOB");
}

bool BlobToReal(Frame& f, const Args& a, Value* out) {
  bool big;
  std::string bytes;
  if (!RealFormat(f, a[1], "BLOB to real", &big) || !ReadBytes(f, a, 2, 8, "BLOB to real", &bytes))
    return false;
  *out = Value::Real(std::bit_cast<double>(FromBytes(bytes, big)));
  return true;
}

// COPY BLOB(source; destination; source offset; destination offset; length): the
// destination grows, with zeros, to take the bytes.
bool CopyBlob(Frame& f, const Args& a, Value*) {
  const std::string cmd = "COPY BLOB";
  Value copy;
  const Value* src;
  int32_t from, to, len;
  if (!ValueOf(f, a[0], &copy, &src)) return false;
  if (src->type != Type::Blob) return Fail(f, cmd + ": the source must be a BLOB, not " + Article(src->type));
  if (!EvalLong(f, a[2], &from, cmd + ": the source offset") ||
      !EvalLong(f, a[3], &to, cmd + ": the destination offset") ||
      !EvalLong(f, a[4], &len, cmd + ": the length"))
    return false;
  if (len < 0) return Fail(f, cmd + ": negative length " + std::to_string(len));
  if (from < 0 || size_t(from) + size_t(len) > src->str().size())
    return OutOfRange(f, cmd, from, size_t(len), src->str().size());
  std::string bytes = src->str().substr(size_t(from), size_t(len));  // source and destination may be one
  Var* var;
  if (!NeedBlobVar(f, a[1], &var, cmd)) return false;
  std::string& dst = var->v.strMut();
  if (to < 0) return OutOfRange(f, cmd, to, size_t(len), dst.size());
  if (size_t(to) + bytes.size() > f.rt->maxBytes) return Fail(f, cmd + ": the BLOB is too large");
  if (size_t(to) + bytes.size() > dst.size()) dst.resize(size_t(to) + bytes.size());
  dst.replace(size_t(to), bytes.size(), bytes);
  return true;
}

// INSERT IN BLOB(blob; offset; length {; filler})
bool InsertInBlob(Frame& f, const Args& a, Value*) {
  const std::string cmd = "INSERT IN BLOB";
  int32_t offset, len, filler = 0;
  if (!EvalLong(f, a[1], &offset, cmd + ": the offset") || !EvalLong(f, a[2], &len, cmd + ": the length"))
    return false;
  if (a.size() > 3 && !EvalLong(f, a[3], &filler, cmd + ": the filler")) return false;
  Var* var;
  if (!NeedBlobVar(f, a[0], &var, cmd)) return false;
  std::string& blob = var->v.strMut();
  if (len < 0) return Fail(f, cmd + ": negative length " + std::to_string(len));
  if (offset < 0 || size_t(offset) > blob.size()) return OutOfRange(f, cmd, offset, 0, blob.size());
  if (blob.size() + size_t(len) > f.rt->maxBytes) return Fail(f, cmd + ": the BLOB is too large");
  blob.insert(size_t(offset), size_t(len), char(uint8_t(filler)));
  return true;
}

// DELETE FROM BLOB(blob; offset; length): bytes past the end are not there to delete.
bool DeleteFromBlob(Frame& f, const Args& a, Value*) {
  const std::string cmd = "DELETE FROM BLOB";
  int32_t offset, len;
  if (!EvalLong(f, a[1], &offset, cmd + ": the offset") || !EvalLong(f, a[2], &len, cmd + ": the length"))
    return false;
  Var* var;
  if (!NeedBlobVar(f, a[0], &var, cmd)) return false;
  std::string& blob = var->v.strMut();
  if (len < 0) return Fail(f, cmd + ": negative length " + std::to_string(len));
  if (offset < 0 || size_t(offset) > blob.size()) return OutOfRange(f, cmd, offset, size_t(len), blob.size());
  blob.erase(size_t(offset), size_t(len));
  return true;
}

// ---- variables in BLOBs ----
// A variable is stored as a mark, then its value: a type byte and the value's bytes
// (numbers little-endian; texts, BLOBs and pictures with a 32-bit length; objects and
// collections as JSON; arrays as their element type, count and elements, element 0
// included). The format is this runner's own: BLOBs written by 4D itself are not read.
constexpr std::string_view kVariableMark = "vrxV";
constexpr int kMaxNesting = 4;  // an array of arrays holds objects at most

void PutU32(std::string* out, uint32_t n) {
  for (int i = 0; i < 4; ++i) out->push_back(char(n >> (8 * i)));
}

bool EncodeVariable(const Value& v, std::string* out, std::string* error) {
  out->push_back(char(v.type));
  switch (v.type) {
    case Type::Long: case Type::Time: PutU32(out, uint32_t(v.l)); return true;
    case Type::Real: {
      uint64_t bits = std::bit_cast<uint64_t>(v.r);
      PutU32(out, uint32_t(bits));
      PutU32(out, uint32_t(bits >> 32));
      return true;
    }
    case Type::Boolean: out->push_back(char(v.b)); return true;
    case Type::Date:
      PutU32(out, uint32_t(v.d.year));
      out->push_back(char(v.d.month));
      out->push_back(char(v.d.day));
      return true;
    case Type::Text: case Type::Blob: case Type::Picture:
      PutU32(out, uint32_t(v.str().size()));
      *out += v.str();
      return true;
    case Type::Object: case Type::Collection: {
      std::string json = JsonStringify(v, false);
      PutU32(out, uint32_t(json.size()));
      *out += json;
      return true;
    }
    case Type::Null: return true;
    case Type::Array:
      out->push_back(char(v.elem));
      PutU32(out, uint32_t(v.items().size()));
      for (const Value& item : v.items())
        if (!EncodeVariable(item, out, error)) return false;
      return true;
    default:
      *error = Article(v.type) + " cannot be stored in a BLOB";
      return false;
  }
}

// Reads a value written by EncodeVariable at *at; false on bytes that are not one.
struct VariableReader {
  std::string_view in;
  size_t at;
  size_t maxArray;

  bool Bytes(size_t n, std::string_view* out) {
    if (in.size() - at < n) return false;
    *out = in.substr(at, n);
    at += n;
    return true;
  }
  bool U32(uint32_t* n) {
    std::string_view b;
    if (!Bytes(4, &b)) return false;
    *n = 0;
    for (int i = 3; i >= 0; --i) *n = (*n << 8) | uint8_t(b[size_t(i)]);
    return true;
  }
  bool Read(Value* out, int depth) {
    std::string_view b;
    uint32_t n;
    if (depth > kMaxNesting || !Bytes(1, &b)) return false;
    switch (Type(uint8_t(b[0]))) {
      case Type::Long: if (!U32(&n)) return false; *out = Value::Long(int32_t(n)); return true;
      case Type::Time: if (!U32(&n)) return false; *out = Value::Time(int32_t(n)); return true;
      case Type::Real: {
        uint32_t lo, hi;
        if (!U32(&lo) || !U32(&hi)) return false;
        *out = Value::Real(std::bit_cast<double>(uint64_t(hi) << 32 | lo));
        return true;
      }
      case Type::Boolean: if (!Bytes(1, &b)) return false; *out = Value::Bool(b[0] != 0); return true;
      case Type::Date: {
        if (!U32(&n) || !Bytes(2, &b)) return false;
        Date d{int(int32_t(n)), uint8_t(b[0]), uint8_t(b[1])};
        if (!(d.year == 0 && d.month == 0 && d.day == 0) && !ValidDate(d)) return false;
        *out = Value::MakeDate(d);
        return true;
      }
      case Type::Text: case Type::Blob: case Type::Picture: {
        Type t = Type(uint8_t(b[0]));
        if (!U32(&n) || !Bytes(n, &b)) return false;
        *out = t == Type::Text ? Value::Text(std::string(b)) : t == Type::Blob ? Value::Blob(std::string(b))
                                                                          : Value::Picture(std::string(b));
        return true;
      }
      case Type::Object: case Type::Collection: {
        std::string error;
        return U32(&n) && Bytes(n, &b) && JsonParse(b, out, &error);
      }
      case Type::Null: *out = Value::Null(); return true;
      case Type::Array: {
        if (!Bytes(1, &b) || !U32(&n) || n == 0 || n > maxArray + 1 || n > in.size() - at) return false;
        Type elem = Type(uint8_t(b[0]));
        Value array = Value::Array(elem, 0);
        std::vector<Value>& items = array.itemsMut();
        items.resize(n);
        for (Value& item : items) {
          if (!Read(&item, depth + 1)) return false;
          // Every element has the array's type (a row, an array).
          if (item.type != elem && !(elem == Type::Object && item.type == Type::Null)) return false;
        }
        *out = std::move(array);
        return true;
      }
      default: return false;
    }
  }
};

// VARIABLE TO BLOB(variable; blob {; offset | *})
bool VariableToBlob(Frame& f, const Args& a, Value*) {
  const std::string cmd = "VARIABLE TO BLOB";
  Value copy;
  const Value* v;
  if (!ValueOf(f, a[0], &copy, &v)) return false;
  std::string bytes(kVariableMark), error;
  if (!EncodeVariable(*v, &bytes, &error)) return Fail(f, cmd + ": " + error);
  if (bytes.size() > f.rt->maxBytes) return Fail(f, cmd + ": the BLOB is too large");
  if (!WriteBytes(f, a, 2, bytes, cmd)) return false;
  SetSystemVar(f, "ok", Value::Long(1));
  return true;
}

// BLOB TO VARIABLE(blob; variable {; offset}): OK is 0, and nothing changes, when the
// bytes there are not a variable.
bool BlobToVariable(Frame& f, const Args& a, Value*) {
  const std::string cmd = "BLOB TO VARIABLE";
  Value copy;
  const Value* blob;
  if (!ValueOf(f, a[0], &copy, &blob)) return false;
  if (blob->type != Type::Blob) return Fail(f, cmd + ": the first parameter must be a BLOB, not " + Article(blob->type));
  int32_t offset = 0;
  if (a.size() > 2 && (!StartOffset(f, a[2]) || !EvalLong(f, a[2], &offset, cmd + ": the offset"))) return false;
  const std::string& bytes = blob->str();
  VariableReader r{bytes, size_t(offset) + kVariableMark.size(), f.rt->maxArray};
  Value v;
  bool ok = offset >= 0 && size_t(offset) + kVariableMark.size() <= bytes.size() &&
            std::string_view(bytes).substr(size_t(offset), kVariableMark.size()) == kVariableMark &&
            r.Read(&v, 0);
  SetSystemVar(f, "ok", Value::Long(ok));
  if (!ok) return true;
  if (!(v.type == Type::Array ? AssignWhole(f, a[1], std::move(v)) : Assign(f, a[1], std::move(v)))) return false;
  return a.size() <= 2 || Assign(f, a[2], Value::Long(int32_t(r.at)));
}

// ---- compression ----
// GZIP modes write a gzip file's bytes. The two internal modes write a mark, the mode,
// the expanded size (32 bits, big-endian) and a zlib stream: 4D's own format for them is
// not public, so BLOBs it compressed that way are not read here.
constexpr std::string_view kCompressMark = "vrxZ";
constexpr int32_t kNotCompressed = 0, kCompact = 1, kFast = 2, kGzipBest = -1, kGzipFast = -2;
constexpr int32_t kErrorCompression = -10600;  // a BLOB that does not expand
constexpr size_t kSmallestCompressed = 255;

// The compression of a BLOB and its expanded size, as BLOB PROPERTIES gives them.
int32_t CompressionOf(const std::string& b, size_t* expanded) {
  *expanded = b.size();
  if (b.size() >= 18 && uint8_t(b[0]) == 0x1F && uint8_t(b[1]) == 0x8B && b[2] == 8) {
    const uint8_t* t = reinterpret_cast<const uint8_t*>(b.data() + b.size() - 4);
    *expanded = size_t(t[0]) | size_t(t[1]) << 8 | size_t(t[2]) << 16 | size_t(t[3]) << 24;
    return uint8_t(b[8]) == 4 ? kGzipFast : kGzipBest;  // gzip's XFL: 4 fastest, 2 best
  }
  if (b.size() > kCompressMark.size() + 5 && std::string_view(b).substr(0, 4) == kCompressMark &&
      (b[4] == kCompact || b[4] == kFast)) {
    const uint8_t* n = reinterpret_cast<const uint8_t*>(b.data() + 5);
    *expanded = size_t(n[0]) << 24 | size_t(n[1]) << 16 | size_t(n[2]) << 8 | n[3];
    return b[4];
  }
  return kNotCompressed;
}

// COMPRESS BLOB(blob {; compression}): BLOBs under 255 bytes, or already compressed, stay
// as they are (OK 0 for the first).
bool CompressBlob(Frame& f, const Args& a, Value*) {
  int32_t mode = kCompact;
  if (a.size() > 1 && !EvalLong(f, a[1], &mode, "COMPRESS BLOB: the compression")) return false;
  if (mode != kFast && mode != kGzipBest && mode != kGzipFast) mode = kCompact;
  Var* var;
  if (!NeedBlobVar(f, a[0], &var, "COMPRESS BLOB")) return false;
  const std::string& in = var->v.str();
  size_t expanded;
  if (CompressionOf(in, &expanded) != kNotCompressed) {
    SetSystemVar(f, "ok", Value::Long(1));
    return true;
  }
  if (in.size() < kSmallestCompressed || in.size() > UINT32_MAX) {
    SetSystemVar(f, "ok", Value::Long(0));
    return true;
  }
  bool gzip = mode < 0;
  int level = mode == kCompact || mode == kGzipBest ? Z_BEST_COMPRESSION : Z_BEST_SPEED;
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, gzip ? 15 + 16 : 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    return Fail(f, "COMPRESS BLOB: out of memory");
  std::string out;
  if (!gzip) {
    out = std::string(kCompressMark) + char(mode);
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(char(in.size() >> shift));
  }
  size_t head = out.size();
  out.resize(head + deflateBound(&z, uLong(in.size())));
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = uInt(in.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data() + head);
  z.avail_out = uInt(out.size() - head);
  int rc = deflate(&z, Z_FINISH);
  out.resize(head + z.total_out);
  deflateEnd(&z);
  if (rc != Z_STREAM_END) return FailCode(f, kErrorCompression, "COMPRESS BLOB: the BLOB could not be compressed");
  var->v.strMut() = std::move(out);
  SetSystemVar(f, "ok", Value::Long(1));
  return true;
}

// EXPAND BLOB(blob): a BLOB that is not compressed, or whose data is damaged, stays as
// it is: error -10600, OK 0.
bool ExpandBlob(Frame& f, const Args& a, Value*) {
  Var* var;
  if (!NeedBlobVar(f, a[0], &var, "EXPAND BLOB")) return false;
  const std::string& in = var->v.str();
  size_t expanded;
  int32_t mode = CompressionOf(in, &expanded);
  if (mode == kNotCompressed) {
    SetSystemVar(f, "ok", Value::Long(0));
    return FailCode(f, kErrorCompression, "EXPAND BLOB: the BLOB is not compressed");
  }
  if (expanded > f.rt->maxBytes) return Fail(f, "EXPAND BLOB: the expanded BLOB would be too large");
  size_t head = mode > 0 ? kCompressMark.size() + 5 : 0;
  z_stream z{};
  if (inflateInit2(&z, mode > 0 ? 15 : 15 + 16) != Z_OK) return Fail(f, "EXPAND BLOB: out of memory");
  std::string out(expanded, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data() + head));
  z.avail_in = uInt(in.size() - head);
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = uInt(out.size());
  int rc = inflate(&z, Z_FINISH);
  bool whole = rc == Z_STREAM_END && z.total_out == expanded;
  inflateEnd(&z);
  if (!whole) {
    SetSystemVar(f, "ok", Value::Long(0));
    return FailCode(f, kErrorCompression, "EXPAND BLOB: the compressed data is damaged");
  }
  var->v.strMut() = std::move(out);
  SetSystemVar(f, "ok", Value::Long(1));
  return true;
}

// BLOB PROPERTIES(blob; compressed {; expanded size {; current size}})
bool BlobProperties(Frame& f, const Args& a, Value*) {
  Value copy;
  const Value* blob;
  if (!ValueOf(f, a[0], &copy, &blob)) return false;
  if (blob->type != Type::Blob) return Fail(f, "BLOB PROPERTIES: the first parameter must be a BLOB");
  size_t expanded;
  int32_t mode = CompressionOf(blob->str(), &expanded);
  int32_t current = int32_t(blob->str().size());
  if (!Assign(f, a[1], Value::Long(mode))) return false;
  if (a.size() > 2 && !Assign(f, a[2], Value::Long(int32_t(std::min<size_t>(expanded, INT32_MAX))))) return false;
  return a.size() <= 3 || Assign(f, a[3], Value::Long(current));
}

constexpr BuiltinInfo kBlobBuiltins[] = {
    {"VARIABLE TO BLOB", 532, 2, 3, false, "eve", VariableToBlob, false},
    {"BLOB TO VARIABLE", 533, 2, 3, false, "evv", BlobToVariable, false},
    {"COMPRESS BLOB", 534, 1, 2, false, "ve", CompressBlob, false},
    {"EXPAND BLOB", 535, 1, 1, false, "v", ExpandBlob, false},
    {"BLOB PROPERTIES", 536, 2, 4, false, "evvv", BlobProperties, false},
    {"BLOB size", 605, 1, 1, true, "e", BlobSize, false},
    {"SET BLOB SIZE", 606, 2, 3, false, "vee", SetBlobSize, false},
    {"TEXT TO BLOB", 554, 2, 4, false, "evee", TextToBlob, false},
    {"BLOB to text", 555, 2, 4, true, "eeve", BlobToText, false},
    {"LONGINT TO BLOB", 550, 3, 4, false, "eve", LongintToBlob, false},
    {"INTEGER TO BLOB", 548, 3, 4, false, "eve", IntToBlob, false},
    {"REAL TO BLOB", 552, 3, 4, false, "eve", RealToBlob, false},
    {"BLOB to longint", 551, 2, 3, true, "eev", BlobToLongint, false},
    {"BLOB to integer", 549, 2, 3, true, "eev", BlobToInteger, false},
    {"BLOB to real", 553, 2, 3, true, "eev", BlobToReal, false},
    {"COPY BLOB", 558, 5, 5, false, "eveee", CopyBlob, false},
    {"INSERT IN BLOB", 559, 3, 4, false, "veee", InsertInBlob, false},
    {"DELETE FROM BLOB", 560, 3, 3, false, "vee", DeleteFromBlob, false},
};

}  // namespace

std::span<const BuiltinInfo> BlobBuiltins() { return kBlobBuiltins; }

}  // namespace runner
