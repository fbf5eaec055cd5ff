// Texts as bytes: Convert to text and CONVERT FROM TEXT between the runner's texts and
// other character sets (iconv), BASE64 ENCODE and DECODE, Generate digest, Generate UUID.
#include <iconv.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "runner/interp.h"

namespace runner {

namespace {

// ---- character sets -------------------------------------------------------------------

// 4D's character set names and IANA MIBenum numbers, with the name iconv knows them by.
// Mac Roman and the others iconv knows by another name are spelled out; a name that is
// not here is tried with iconv as it is written.
struct Charset {
  int32_t mib;
  const char* iconvName;
  const char* names;  // 4D's names, separated by |
};

constexpr Charset kCharsets[] = {
    {1017, "UTF-32LE", "UTF-32"},  // native order without a mark, as 4D writes it here
    {1018, "UTF-32BE", "UTF-32BE"},
    {1019, "UTF-32LE", "UTF-32LE"},
    {1015, "UTF-16LE", "UTF-16"},
    {1013, "UTF-16BE", "UTF-16BE"},
    {1014, "UTF-16LE", "UTF-16LE"},
    {106, "UTF-8", "UTF-8"},
    {1012, "UTF-7", "UTF-7"},
    {3, "ASCII", "US-ASCII|ANSI_X3.4-1968|ANSI_X3.4-1986|ASCII|cp367|csASCII|IBM367|iso-ir-6|ISO_646.irv:1991|ISO646-US|us"},
    {2011, "IBM437", "IBM437|cp437|437|csPC8CodePage437"},
    {2028, "IBM037", "ebcdic-cp-us|cp037|csIBM037|ebcdic-cp-ca|ebcdic-cp-n|ebcdic-cp-wt|IBM037"},
    {2027, "MACINTOSH", "MacRoman|x-mac-roman|mac|macintosh|csMacintosh"},
    {2252, "WINDOWS-1252", "windows-1252"},
    {1250, "MAC-CENTRALEUROPE", "MacCE|x-mac-ce"},
    {2250, "WINDOWS-1250", "windows-1250"},
    {1251, "MAC-CYRILLIC", "x-mac-cyrillic"},
    {2251, "WINDOWS-1251", "windows-1251"},
    {2253, "WINDOWS-1253", "windows-1253"},
    {2254, "WINDOWS-1254", "windows-1254"},
    {2256, "WINDOWS-1256", "windows-1256"},
    {2255, "WINDOWS-1255", "windows-1255"},
    {2257, "WINDOWS-1257", "windows-1257"},
    {17, "SHIFT_JIS", "Shift_JIS|csShiftJIS|MS_Kanji|Shift-JIS"},
    {39, "ISO-2022-JP", "ISO-2022-JP|csISO2022JP"},
    {2026, "BIG5", "Big5|csBig5"},
    {38, "EUC-KR", "EUC-KR|csEUCKR"},
    {2084, "KOI8-R", "KOI8-R|csKOI8R"},
    {4, "ISO-8859-1", "ISO-8859-1|CP819|csISOLatin1|IBM819|iso-ir-100|ISO_8859-1|ISO_8859-1:1987|l1|latin1"},
    {5, "ISO-8859-2", "ISO-8859-2|csISOLatin2|iso-ir-101|ISO_8859-2|ISO_8859-2:1987|l2|latin2"},
    {6, "ISO-8859-3", "ISO-8859-3|csISOLatin3|ISO-8859-3:1988|iso-ir-109|ISO_8859-3|l3|latin3"},
    {7, "ISO-8859-4", "ISO-8859-4|csISOLatin4|ISO-8859-4:1988|iso-ir-110|ISO_8859-4|l4|latin4"},
    {8, "ISO-8859-5", "ISO-8859-5|csISOLatinCyrillic|cyrillic|ISO-8859-5:1988|iso-ir-144|ISO_8859-5"},
    {9, "ISO-8859-6", "ISO-8859-6|arabic|ASMO-708|csISOLatinArabic|ECMA-114|ISO-8859-6:1987|iso-ir-127|ISO_8859-6"},
    {10, "ISO-8859-7", "ISO-8859-7|csISOLatinGreek|ECMA-118|ELOT_928|greek|greek8|iso-ir-126|ISO_8859-7|ISO_8859-7:1987"},
    {11, "ISO-8859-8", "ISO-8859-8|csISOLatinHebrew|hebrew|iso-ir-138|ISO_8859-8|ISO_8859-8:1988"},
    {12, "ISO-8859-9", "ISO-8859-9|csISOLatin5|iso-ir-148|ISO_8859-9|ISO_8859-9:1989|l5|latin5"},
    {13, "ISO-8859-10", "ISO-8859-10|csISOLatin6|iso-ir-157|ISO_8859-10|ISO_8859-10:1992|l6|latin6"},
    {109, "ISO-8859-13", "ISO-8859-13"},
    {111, "ISO-8859-15", "ISO-8859-15|Latin-9"},
    {113, "GBK", "GBK"},
    {2025, "GB2312", "GB2312|csGB2312|x-mac-chinesesimp"},
    {2024, "WINDOWS-31J", "Windows-31J"},
    {57, "GB_2312-80", "GB_2312-80|csISO58GB231280"},
};

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && Lowercase(a) == Lowercase(b);
}

}  // namespace

// The iconv name of a character set given by name or number; "" when unknown.
std::string IconvName(const Value& charset) {
  if (charset.numeric()) {
    int32_t mib = RealToLong(charset.Number());
    for (const Charset& c : kCharsets)
      if (c.mib == mib) return c.iconvName;
    return "";
  }
  if (charset.type != Type::Text || charset.str().empty()) return "";
  std::string_view name = charset.str();
  for (const Charset& c : kCharsets) {
    std::string_view names = c.names;
    for (size_t at = 0; at <= names.size();) {
      size_t bar = names.find('|', at);
      if (bar == std::string_view::npos) bar = names.size();
      if (SameName(names.substr(at, bar - at), name)) return c.iconvName;
      at = bar + 1;
    }
  }
  return std::string(name);
}

// Converts `in` from one character set to another. A sequence `from` does not allow, or a
// character `to` has no form for, becomes `replacement` (converted from UTF-8), as ICU's
// converters substitute. False when iconv knows either set by no such name.
bool Recode(std::string_view in, const std::string& from, const std::string& to, std::string_view replacement,
            size_t unit, std::string* out) {
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == iconv_t(-1)) return false;
  std::string sub;
  if (!replacement.empty()) {
    iconv_t rd = iconv_open(to.c_str(), "UTF-8");
    if (rd != iconv_t(-1)) {
      char buf[16];
      char* src = const_cast<char*>(replacement.data());
      size_t srcLeft = replacement.size(), dstLeft = sizeof buf;
      char* dst = buf;
      if (iconv(rd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1)) sub.assign(buf, size_t(dst - buf));
      iconv_close(rd);
    }
  }
  out->clear();
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  char buf[4096];
  while (left > 0) {
    char* dst = buf;
    size_t room = sizeof buf;
    size_t r = iconv(cd, &src, &left, &dst, &room);
    out->append(buf, size_t(dst - buf));
    if (r != size_t(-1) || errno == E2BIG) continue;
    *out += sub;
    if (errno == EINVAL) break;  // cut short at the end
    // Past the unit that would not convert: a whole UTF-8 character, or one unit.
    size_t skip = unit;
    if (from == "UTF-8") {
      size_t i = size_t(src - in.data()), k = i;
      DecodeUtf8(in, &k);
      skip = k - i;
    }
    skip = std::min(skip, left);
    src += skip;
    left -= skip;
  }
  char* dst = buf;
  size_t room = sizeof buf;
  iconv(cd, nullptr, nullptr, &dst, &room);  // the closing shift sequence, if any
  out->append(buf, size_t(dst - buf));
  iconv_close(cd);
  return true;
}

size_t UnitOf(const std::string& name) {
  if (name.starts_with("UTF-16")) return 2;
  if (name.starts_with("UTF-32")) return 4;
  return 1;
}

// A byte order mark at the start of a Unicode text decides its form and is dropped.
std::string_view TakeByteOrderMark(std::string_view bytes, std::string* name) {
  if (!name->starts_with("UTF-")) return bytes;
  struct Mark {
    std::string_view bytes;
    const char* name;
  };
  static constexpr Mark kMarks[] = {{"\xEF\xBB\xBF", "UTF-8"},
                                    {std::string_view("\xFF\xFE\0\0", 4), "UTF-32LE"},
                                    {std::string_view("\0\0\xFE\xFF", 4), "UTF-32BE"},
                                    {"\xFF\xFE", "UTF-16LE"},
                                    {"\xFE\xFF", "UTF-16BE"}};
  for (const Mark& m : kMarks)
    if (bytes.starts_with(m.bytes)) {
      *name = m.name;
      return bytes.substr(m.bytes.size());
    }
  return bytes;
}

namespace {

// Convert to text(blob; charSet): OK is 0, and the text empty, for an unknown set.
bool ConvertToText(Frame& f, const Args& a, Value* out) {
  Value blob, charset;
  if (!Eval(f, a[0], &blob) || !Eval(f, a[1], &charset)) return false;
  if (blob.type != Type::Blob) return Fail(f, "Convert to text: the first parameter must be a BLOB, not " + Article(blob.type));
  std::string name = IconvName(charset), text;
  std::string_view bytes = TakeByteOrderMark(blob.str(), &name);
  bool ok = !name.empty() && Recode(bytes, name, "UTF-8", "\xEF\xBF\xBD", UnitOf(name), &text);
  if (ok && text.size() > f.rt->maxBytes) return Fail(f, "Convert to text: the text is too long");
  *out = Value::Text(ok ? std::move(text) : std::string());
  SetSystemVar(f, "ok", Value::Long(ok ? 1 : 0));
  return true;
}

// CONVERT FROM TEXT(text; charSet; blob): a character the set has no form for becomes ?.
bool ConvertFromText(Frame& f, const Args& a, Value*) {
  std::string text;
  Value charset;
  if (!EvalText(f, a[0], &text, "CONVERT FROM TEXT: the text") || !Eval(f, a[1], &charset)) return false;
  std::string name = IconvName(charset), bytes;
  bool ok = !name.empty() && Recode(text, "UTF-8", name, "?", 1, &bytes);
  SetSystemVar(f, "ok", Value::Long(ok ? 1 : 0));
  return AssignWhole(f, a[2], Value::Blob(ok ? std::move(bytes) : std::string()));
}

// ---- Base64 ---------------------------------------------------------------------------

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kBase64Url[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

// Base64 with padding; Base64URL (RFC 4648 section 5) without it, as URLs and JSON Web
// Tokens carry it.
std::string Base64Encode(std::string_view in, bool url) {
  const char* alphabet = url ? kBase64Url : kBase64;
  std::string out;
  out.reserve((in.size() + 2) / 3 * 4);
  for (size_t i = 0; i < in.size(); i += 3) {
    uint32_t n = uint32_t(uint8_t(in[i])) << 16;
    if (i + 1 < in.size()) n |= uint32_t(uint8_t(in[i + 1])) << 8;
    if (i + 2 < in.size()) n |= uint8_t(in[i + 2]);
    size_t chars = std::min<size_t>(4, (in.size() - i) * 4 / 3 + 1);
    for (size_t k = 0; k < 4; ++k) {
      if (k < chars) out += alphabet[(n >> (18 - 6 * k)) & 63];
      else if (!url) out += '=';
    }
  }
  return out;
}

// False for what is not Base64 (or Base64URL): a character outside the alphabet, or a
// length no encoding gives. Padding is optional; line ends and spaces are skipped.
bool Base64Decode(std::string_view in, bool url, std::string* out) {
  const char* alphabet = url ? kBase64Url : kBase64;
  out->clear();
  uint32_t n = 0;
  int bits = 0;
  bool padded = false;
  for (char c : in) {
    if (c == '\r' || c == '\n' || c == ' ' || c == '\t') continue;
    if (c == '=') {
      padded = true;
      continue;
    }
    const char* at = c ? std::strchr(alphabet, c) : nullptr;
    if (!at || padded) return false;
    n = n << 6 | uint32_t(at - alphabet);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      *out += char((n >> bits) & 0xFF);
    }
  }
  return bits < 6;  // a lone 6-bit group is no byte
}

// The bytes of a text or BLOB argument: a text's UTF-8 form.
bool BytesOf(Frame& f, int32_t node, Value* v, const std::string& what) {
  if (!Eval(f, node, v)) return false;
  if (v->type != Type::Text && v->type != Type::Blob)
    return Fail(f, what + " must be a text or a BLOB, not " + Article(v->type));
  return true;
}

// Where a BASE64 command puts its result: `target`, as a BLOB when it holds one, else as
// a text (or as `fallback` when it holds nothing yet).
bool StoreCoded(Frame& f, int32_t target, std::string bytes, Type fallback) {
  Target t;
  if (!ResolveTarget(f, target, &t)) return false;
  Value copy;
  const Value* now;
  if (!TargetValue(f, t, &copy, &now)) return false;
  Type type = now && now->type != Type::Undefined ? now->type : fallback;
  if (type == Type::Blob) return AssignTarget(f, t, Value::Blob(std::move(bytes)));
  return AssignTarget(f, t, Value::Text(std::move(bytes)));
}

// BASE64 ENCODE(toEncode {; encoded}{; *}) and BASE64 DECODE(toDecode {; decoded}{; *}).
bool Base64Command(Frame& f, const Args& a, bool encode) {
  std::string cmd = encode ? "BASE64 ENCODE" : "BASE64 DECODE";
  size_t n = a.size();
  bool url = n > 1 && a.star(n - 1);
  if (url) --n;
  if (n < 1 || n > 2) return Fail(f, cmd + ": pass the value, a variable for the result, and *");
  Value in;
  if (!BytesOf(f, a[0], &in, cmd + ": the value")) return false;
  std::string result;
  if (encode) {
    if (in.str().size() > f.rt->maxBytes / 4 * 3) return Fail(f, cmd + ": the value is too long");
    result = Base64Encode(in.str(), url);
  } else if (!Base64Decode(in.str(), url, &result)) {
    result.clear();  // not Base64: an empty result
  }
  return StoreCoded(f, a[n - 1], std::move(result), encode ? Type::Text : in.type);
}
bool Base64EncodeFn(Frame& f, const Args& a, Value*) { return Base64Command(f, a, true); }
bool Base64DecodeFn(Frame& f, const Args& a, Value*) { return Base64Command(f, a, false); }

// ---- digests and identifiers ----------------------------------------------------------

// Generate digest(value; algorithm {; *}): hexadecimal, or Base64URL with *.
bool GenerateDigest(Frame& f, const Args& a, Value* out) {
  Value in;
  int32_t algorithm;
  if (!BytesOf(f, a[0], &in, "Generate digest: the value") ||
      !EvalLong(f, a[1], &algorithm, "Generate digest: the algorithm"))
    return false;
  if (a.size() > 2 && !a.star(2)) return Fail(f, "Generate digest: the third parameter can only be *");
  const EVP_MD* md = nullptr;
  switch (algorithm) {
    case 0: md = EVP_md5(); break;
    case 1: md = EVP_sha1(); break;
    case 3: md = EVP_sha256(); break;
    case 4: md = EVP_sha512(); break;
    case 2: return Fail(f, "Generate digest: 4D's own REST digest (2) is obsolete and not available in vrx run");
    default: return Fail(f, "Generate digest: unknown algorithm " + std::to_string(algorithm));
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (!EVP_Digest(in.str().data(), in.str().size(), digest, &size, md, nullptr))
    return Fail(f, "Generate digest: the digest failed");
  std::string bytes(reinterpret_cast<const char*>(digest), size);
  if (a.size() > 2) {
    *out = Value::Text(Base64Encode(bytes, true));
    return true;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char b : bytes) {
    hex += kHex[b >> 4];
    hex += kHex[b & 15];
  }
  *out = Value::Text(std::move(hex));
  return true;
}

// A random (version 4) UUID as 32 hexadecimal digits without dashes.
bool GenerateUuid(Frame& f, const Args&, Value* out) {
  unsigned char b[16];
  if (RAND_bytes(b, sizeof b) != 1) return Fail(f, "Generate UUID: no random bytes");
  b[6] = (b[6] & 0x0F) | 0x40;
  b[8] = (b[8] & 0x3F) | 0x80;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string t;
  for (unsigned char c : b) {
    t += kHex[c >> 4];
    t += kHex[c & 15];
  }
  *out = Value::Text(std::move(t));
  return true;
}

constexpr BuiltinInfo kEncodingBuiltins[] = {
    {"Convert to text", 1012, 2, 2, true, "ee", ConvertToText, false},
    {"CONVERT FROM TEXT", 1011, 3, 3, false, "eee", ConvertFromText, false},
    {"BASE64 ENCODE", 895, 1, 3, false, "eee", Base64EncodeFn, false},
    {"BASE64 DECODE", 896, 1, 3, false, "eee", Base64DecodeFn, false},
    {"Generate digest", 1147, 2, 3, true, "eee", GenerateDigest, false},
    {"Generate UUID", 1066, 0, 0, true, "", GenerateUuid, false},
};

}  // namespace

std::span<const BuiltinInfo> EncodingBuiltins() { return kEncodingBuiltins; }

}  // namespace runner
