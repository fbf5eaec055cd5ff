// JSON Validate: checks a value against a JSON Schema (draft 4, with the numeric
// exclusiveMinimum and exclusiveMaximum, const and contains of later drafts, and local
// "$ref"s such as "#/definitions/x"). Every failure is listed, with its error code, the
// JSONPath of the value ("$.items[2].name") and a message; "format" is an annotation
// only. A schema that is not one (a keyword of the wrong kind, a pattern that does not
// compile, a "$ref" that leads nowhere or loops) makes the command fail.
#include <cmath>
#include <string>
#include <string_view>

#include "runner/interp.h"
#include "runner/objects.h"

namespace runner {

namespace {

// The error codes, one per keyword, in the keywords' alphabetical order.
enum Code : int32_t {
  kRef = 1, kAdditionalItems, kAdditionalProperties, kAllOf, kAnyOf, kDependencies, kEnum, kFormat,
  kItems, kMaxItems, kMaxLength, kMaxProperties, kMaximum, kMinItems, kMinLength, kMinProperties,
  kMinimum, kMultipleOf, kNot, kOneOf, kPattern, kPatternProperties, kRequired, kType, kUniqueItems,
  kConst, kContains,
};

constexpr int kMaxSchemaDepth = 256;  // nested schemas and "$ref" hops on one value

std::string_view JsonType(const Value& v) {
  switch (v.type) {
    case Type::Null: case Type::Undefined: return "null";
    case Type::Boolean: return "boolean";
    case Type::Long: case Type::Real: return "number";
    case Type::Text: case Type::Date: return "string";  // dates are texts in JSON
    case Type::Object: return v.object() ? "object" : "null";
    case Type::Collection: return v.collection() ? "array" : "null";
    default: return "";
  }
}

bool IsInteger(const Value& v) { return v.numeric() && std::floor(v.Number()) == v.Number(); }

std::string Num(double d) { return JsonStringify(Value::Real(d), false); }

// Equality of JSON values: numbers by value, objects by their properties, arrays in order.
bool JsonEqual(const Value& a, const Value& b, int depth = 0) {
  std::string_view ta = JsonType(a), tb = JsonType(b);
  if (ta != tb || depth > kMaxDepth) return false;
  if (ta == "null") return true;
  if (ta == "number") return a.Number() == b.Number();
  if (ta == "boolean") return a.b == b.b;
  if (ta == "string") return ToText(a) == ToText(b);
  if (ta == "array") {
    const auto& x = a.collection()->items;
    const auto& y = b.collection()->items;
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i)
      if (!JsonEqual(x[i], y[i], depth + 1)) return false;
    return true;
  }
  const auto& x = a.object()->props;
  if (x.size() != b.object()->props.size()) return false;
  for (const auto& [name, v] : x) {
    const Value* w = b.object()->Find(name.str());
    if (!w || !JsonEqual(v, *w, depth + 1)) return false;
  }
  return true;
}

size_t CodePoints(std::string_view s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

class Validator {
 public:
  explicit Validator(const Value& root) : root_(root) {}

  // Validates v against schema; false when the schema is not a valid one (schemaError()).
  bool Check(const Value& v, const Value& schema, const std::string& path, int depth);
  const std::string& schemaError() const { return schemaError_; }
  Value& errors() { return errors_; }

 private:
  bool Bad(const std::string& why) {
    schemaError_ = why;
    return false;
  }
  void Report(Code code, const std::string& path, std::string message) {
    Value e = Value::NewObject();
    e.object()->Set("code", Value::Long(code));
    e.object()->Set("jsonPath", Value::Text(path));
    e.object()->Set("message", Value::Text(std::move(message)));
    errors_.collection()->items.push_back(std::move(e));
  }
  // Whether v passes schema, without reporting (anyOf, oneOf, not, contains).
  bool Passes(const Value& v, const Value& schema, const std::string& path, int depth, bool* passes);
  bool Resolve(const std::string& ref, const Value** out);
  bool Number(const ObjectHeap& s, std::string_view key, const Value** out);
  bool CheckType(const Value& v, const Value& type, const std::string& path);
  bool CheckNumber(const Value& v, const ObjectHeap& s, const std::string& path);
  bool CheckText(const Value& v, const ObjectHeap& s, const std::string& path);
  bool CheckArray(const Value& v, const ObjectHeap& s, const std::string& path, int depth);
  bool CheckObject(const Value& v, const ObjectHeap& s, const std::string& path, int depth);
  bool CheckCombined(const Value& v, const ObjectHeap& s, const std::string& path, int depth);

  const Value& root_;
  Value errors_ = Value::NewCollection();
  std::string schemaError_;
};

bool Validator::Passes(const Value& v, const Value& schema, const std::string& path, int depth, bool* passes) {
  Value saved = std::move(errors_);
  errors_ = Value::NewCollection();
  bool ok = Check(v, schema, path, depth);
  *passes = errors_.collection()->items.empty();
  errors_ = std::move(saved);
  return ok;
}

// "#" or "#/a/b" (JSON pointer into the root schema, ~0 and ~1 escaped).
bool Validator::Resolve(const std::string& ref, const Value** out) {
  if (ref.empty() || ref[0] != '#') return Bad("\"$ref\" " + ref + " is not in this schema (only \"#...\" refs are)");
  const Value* at = &root_;
  for (size_t i = 1; i < ref.size();) {
    if (ref[i] != '/') return Bad("\"$ref\" " + ref + " is not a JSON pointer");
    size_t end = ref.find('/', i + 1);
    std::string token = ref.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
    for (size_t k = 0; (k = token.find('~', k)) != std::string::npos; ++k)
      token.replace(k, 2, k + 1 < token.size() && token[k + 1] == '1' ? "/" : "~");
    const Value* next = nullptr;
    if (at->object()) next = at->object()->Find(token);
    else if (at->collection() && !token.empty() && token.find_first_not_of("0123456789") == std::string::npos &&
             std::stoul(token.substr(0, 9)) < at->collection()->items.size())
      next = &at->collection()->items[std::stoul(token.substr(0, 9))];
    if (!next) return Bad("\"$ref\" " + ref + " leads nowhere");
    at = next;
    i = end == std::string::npos ? ref.size() : end;
  }
  *out = at;
  return true;
}

bool Validator::Number(const ObjectHeap& s, std::string_view key, const Value** out) {
  *out = s.Find(key);
  if (*out && !(*out)->numeric()) return Bad("\"" + std::string(key) + "\" must be a number");
  return true;
}

bool Validator::CheckType(const Value& v, const Value& type, const std::string& path) {
  std::string_view have = JsonType(v);
  auto matches = [&](const Value& t, bool* ok) {
    if (t.type != Type::Text) return Bad("\"type\" must be a text or a collection of texts");
    const std::string& name = t.str();
    *ok = name == have || (name == "integer" && IsInteger(v)) || name == "any";
    return true;
  };
  bool ok = false;
  std::string expected;
  if (type.collection()) {
    for (const Value& t : type.collection()->items) {
      bool one;
      if (!matches(t, &one)) return false;
      ok = ok || one;
      expected += (expected.empty() ? "" : " or ") + t.str();
    }
  } else {
    if (!matches(type, &ok)) return false;
    expected = type.str();
  }
  if (!ok) Report(kType, path, "the value is " + std::string(have) + ", not " + expected);
  return true;
}

bool Validator::CheckNumber(const Value& v, const ObjectHeap& s, const std::string& path) {
  const Value *min, *max, *mult;
  if (!Number(s, "minimum", &min) || !Number(s, "maximum", &max) || !Number(s, "multipleOf", &mult)) return false;
  const double x = v.Number();
  // exclusiveMinimum and exclusiveMaximum: booleans qualifying minimum and maximum
  // (draft 4), or bounds of their own (later drafts).
  for (bool lower : {true, false}) {
    const Value* bound = lower ? min : max;
    const Value* exclusive = s.Find(lower ? "exclusiveMinimum" : "exclusiveMaximum");
    bool strict = false;
    if (exclusive && exclusive->type == Type::Boolean) strict = exclusive->b;
    else if (exclusive && exclusive->numeric()) {
      double e = exclusive->Number();
      if (lower ? x <= e : x >= e)
        Report(lower ? kMinimum : kMaximum, path, Num(x) + " must be " + (lower ? "above " : "below ") + Num(e));
    } else if (exclusive) {
      return Bad(std::string(lower ? "\"exclusiveMinimum\"" : "\"exclusiveMaximum\"") + " must be a boolean or a number");
    }
    if (!bound) continue;
    double b = bound->Number();
    bool fails = lower ? (strict ? x <= b : x < b) : (strict ? x >= b : x > b);
    if (fails)
      Report(lower ? kMinimum : kMaximum, path,
             Num(x) + " is " + (lower ? "below the minimum " : "above the maximum ") + Num(b) + (strict ? " (excluded)" : ""));
  }
  if (mult) {
    double m = mult->Number();
    if (m <= 0) return Bad("\"multipleOf\" must be above 0");
    double q = x / m;
    if (std::fabs(q - std::round(q)) > 1e-9 * std::max(1.0, std::fabs(q)))
      Report(kMultipleOf, path, Num(x) + " is not a multiple of " + Num(m));
  }
  return true;
}

bool Validator::CheckText(const Value& v, const ObjectHeap& s, const std::string& path) {
  const Value *minLen, *maxLen;
  if (!Number(s, "minLength", &minLen) || !Number(s, "maxLength", &maxLen)) return false;
  const std::string text = ToText(v);
  const double n = double(CodePoints(text));
  if (minLen && n < minLen->Number())
    Report(kMinLength, path, "the text has " + Num(n) + " characters, fewer than " + Num(minLen->Number()));
  if (maxLen && n > maxLen->Number())
    Report(kMaxLength, path, "the text has " + Num(n) + " characters, more than " + Num(maxLen->Number()));
  if (const Value* pattern = s.Find("pattern")) {
    if (pattern->type != Type::Text) return Bad("\"pattern\" must be a text");
    std::string error;
    int found = RegexFinds(pattern->str(), text, &error);
    if (found < 0) return Bad("\"pattern\" " + pattern->str() + ": " + error);
    if (!found) Report(kPattern, path, "the text does not match the pattern " + pattern->str());
  }
  return true;
}

bool Validator::CheckArray(const Value& v, const ObjectHeap& s, const std::string& path, int depth) {
  const auto& items = v.collection()->items;
  const Value *minItems, *maxItems;
  if (!Number(s, "minItems", &minItems) || !Number(s, "maxItems", &maxItems)) return false;
  const double n = double(items.size());
  if (minItems && n < minItems->Number())
    Report(kMinItems, path, "the array has " + Num(n) + " items, fewer than " + Num(minItems->Number()));
  if (maxItems && n > maxItems->Number())
    Report(kMaxItems, path, "the array has " + Num(n) + " items, more than " + Num(maxItems->Number()));
  if (const Value* unique = s.Find("uniqueItems"); unique && unique->type == Type::Boolean && unique->b) {
    for (size_t i = 0; i < items.size(); ++i)
      for (size_t j = i + 1; j < items.size(); ++j)
        if (JsonEqual(items[i], items[j])) {
          Report(kUniqueItems, path, "items " + std::to_string(i) + " and " + std::to_string(j) + " are equal");
          i = j = items.size();
        }
  }
  auto at = [&](size_t i) { return path + "[" + std::to_string(i) + "]"; };
  const Value* schemaItems = s.Find("items");
  if (schemaItems && schemaItems->collection()) {
    // A schema per position; the items past them follow additionalItems.
    const auto& each = schemaItems->collection()->items;
    const Value* extra = s.Find("additionalItems");
    for (size_t i = 0; i < items.size(); ++i) {
      if (i < each.size()) {
        if (!Check(items[i], each[i], at(i), depth + 1)) return false;
      } else if (extra && extra->type == Type::Boolean && !extra->b) {
        Report(kAdditionalItems, at(i), "no item is allowed past the " + std::to_string(each.size()) + " the schema lists");
        break;
      } else if (extra && extra->object()) {
        if (!Check(items[i], *extra, at(i), depth + 1)) return false;
      }
    }
  } else if (schemaItems) {
    for (size_t i = 0; i < items.size(); ++i)
      if (!Check(items[i], *schemaItems, at(i), depth + 1)) return false;
  }
  if (const Value* contains = s.Find("contains")) {
    bool any = false;
    for (size_t i = 0; i < items.size() && !any; ++i)
      if (!Passes(items[i], *contains, at(i), depth + 1, &any)) return false;
    if (!any) Report(kContains, path, "no item matches the schema of \"contains\"");
  }
  return true;
}

bool Validator::CheckObject(const Value& v, const ObjectHeap& s, const std::string& path, int depth) {
  const ObjectHeap& o = *v.object();
  const Value *minProps, *maxProps;
  if (!Number(s, "minProperties", &minProps) || !Number(s, "maxProperties", &maxProps)) return false;
  const double n = double(o.props.size());
  if (minProps && n < minProps->Number())
    Report(kMinProperties, path, "the object has " + Num(n) + " properties, fewer than " + Num(minProps->Number()));
  if (maxProps && n > maxProps->Number())
    Report(kMaxProperties, path, "the object has " + Num(n) + " properties, more than " + Num(maxProps->Number()));
  if (const Value* required = s.Find("required")) {
    if (!required->collection()) return Bad("\"required\" must be a collection of texts");
    for (const Value& name : required->collection()->items) {
      if (name.type != Type::Text) return Bad("\"required\" must be a collection of texts");
      if (!o.Find(name.str())) Report(kRequired, path, "the property \"" + name.str() + "\" is missing");
    }
  }
  const Value* properties = s.Find("properties");
  const Value* patterns = s.Find("patternProperties");
  const Value* extra = s.Find("additionalProperties");
  if ((properties && !properties->object()) || (patterns && !patterns->object()))
    return Bad("\"properties\" and \"patternProperties\" must be objects");
  for (const auto& [name, value] : o.props) {
    const std::string where = path + "." + name.str();
    bool known = false;
    if (properties) {
      if (const Value* sub = properties->object()->Find(name.str())) {
        known = true;
        if (!Check(value, *sub, where, depth + 1)) return false;
      }
    }
    if (patterns) {
      for (const auto& [pattern, sub] : patterns->object()->props) {
        std::string error;
        int found = RegexFinds(pattern.str(), name.str(), &error);
        if (found < 0) return Bad("\"patternProperties\" " + pattern.str() + ": " + error);
        if (!found) continue;
        known = true;
        if (!Check(value, sub, where, depth + 1)) return false;
      }
    }
    if (known || !extra) continue;
    if (extra->type == Type::Boolean) {
      if (!extra->b) Report(kAdditionalProperties, where, "the property \"" + name.str() + "\" is not allowed");
    } else if (!Check(value, *extra, where, depth + 1)) {
      return false;
    }
  }
  if (const Value* dependencies = s.Find("dependencies"); dependencies && dependencies->object()) {
    for (const auto& [name, need] : dependencies->object()->props) {
      if (!o.Find(name.str())) continue;
      if (need.collection()) {
        for (const Value& other : need.collection()->items)
          if (other.type == Type::Text && !o.Find(other.str()))
            Report(kDependencies, path, "the property \"" + name.str() + "\" needs \"" + other.str() + "\"");
      } else if (!Check(v, need, path, depth + 1)) {
        return false;
      }
    }
  }
  return true;
}

bool Validator::CheckCombined(const Value& v, const ObjectHeap& s, const std::string& path, int depth) {
  if (const Value* all = s.Find("allOf")) {
    if (!all->collection()) return Bad("\"allOf\" must be a collection of schemas");
    for (const Value& sub : all->collection()->items)
      if (!Check(v, sub, path, depth + 1)) return false;
  }
  for (auto [key, code] : {std::pair{"anyOf", kAnyOf}, std::pair{"oneOf", kOneOf}}) {
    const Value* list = s.Find(key);
    if (!list) continue;
    if (!list->collection()) return Bad("\"" + std::string(key) + "\" must be a collection of schemas");
    int matched = 0;
    for (const Value& sub : list->collection()->items) {
      bool passes;
      if (!Passes(v, sub, path, depth + 1, &passes)) return false;
      matched += passes;
    }
    if (code == kAnyOf && matched == 0) Report(kAnyOf, path, "the value matches none of the schemas of \"anyOf\"");
    if (code == kOneOf && matched != 1)
      Report(kOneOf, path, "the value matches " + std::to_string(matched) + " of the schemas of \"oneOf\", not one");
  }
  if (const Value* no = s.Find("not")) {
    bool passes;
    if (!Passes(v, *no, path, depth + 1, &passes)) return false;
    if (passes) Report(kNot, path, "the value matches the schema of \"not\"");
  }
  return true;
}

bool Validator::Check(const Value& v, const Value& schema, const std::string& path, int depth) {
  if (depth > kMaxSchemaDepth) return Bad("the schema nests too deeply (a \"$ref\" that loops?)");
  if (schema.type == Type::Boolean) {  // true accepts anything, false nothing
    if (!schema.b) Report(kNot, path, "the schema false accepts no value");
    return true;
  }
  if (!schema.object()) return Bad("a schema must be an object");
  const ObjectHeap& s = *schema.object();
  if (const Value* ref = s.Find("$ref")) {
    if (ref->type != Type::Text) return Bad("\"$ref\" must be a text");
    const Value* target;
    return Resolve(ref->str(), &target) && Check(v, *target, path, depth + 1);
  }
  if (const Value* type = s.Find("type"); type && !CheckType(v, *type, path)) return false;
  if (const Value* list = s.Find("enum")) {
    if (!list->collection()) return Bad("\"enum\" must be a collection");
    bool found = false;
    for (const Value& e : list->collection()->items) found = found || JsonEqual(v, e);
    if (!found) Report(kEnum, path, "the value is none of those of \"enum\"");
  }
  if (const Value* c = s.Find("const"); c && !JsonEqual(v, *c))
    Report(kConst, path, "the value is not the one of \"const\"");
  std::string_view kind = JsonType(v);
  bool ok = true;
  if (kind == "number") ok = CheckNumber(v, s, path);
  else if (kind == "string") ok = CheckText(v, s, path);
  else if (kind == "array") ok = CheckArray(v, s, path, depth);
  else if (kind == "object") ok = CheckObject(v, s, path, depth);
  return ok && CheckCombined(v, s, path, depth);
}

// JSON Validate(vJson; vSchema): {success; errors} (errors only when it fails); Null,
// with an error, when vSchema is not a valid schema.
bool JsonValidate(Frame& f, const Args& a, Value* out) {
  Value json, schema;
  if (!Eval(f, a[0], &json) || !Eval(f, a[1], &schema)) return false;
  if (schema.type != Type::Object || !schema.object())
    return Fail(f, "JSON Validate: the schema must be an object, not " + Article(schema.type));
  Validator validator(schema);
  if (!validator.Check(json, schema, "$", 0)) {
    *out = Value::Null();
    return Fail(f, "JSON Validate: the schema is not valid: " + validator.schemaError());
  }
  Value result = Value::NewObject();
  bool success = validator.errors().collection()->items.empty();
  result.object()->Set("success", Value::Bool(success));
  if (!success) result.object()->Set("errors", std::move(validator.errors()));
  *out = std::move(result);
  return true;
}

constexpr BuiltinInfo kJsonSchemaBuiltins[] = {
    {"JSON Validate", 1456, 2, 2, true, "ee", JsonValidate, false},
};

}  // namespace

std::span<const BuiltinInfo> JsonSchemaBuiltins() { return kJsonSchemaBuiltins; }

}  // namespace runner
