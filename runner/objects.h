// Objects and collections: the rules 4D applies to them, JSON, and the member functions
// of collections. Nothing here reaches a Frame: errors come back as texts and formulas
// run through a hook, so the interpreter decides how both reach the method.
#pragma once
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runner/value.h"

namespace runner {

// ---- values inside objects and collections.
// What a value becomes when it is put into an object or a collection: numbers are reals
// and times their seconds, as 4D stores them; an array cannot go in (false).
bool ToElement(Value v, Value* out);
// A copy of v where objects and collections, at any depth, are new ones; shared ones
// come out `shared` (one new group) or not. False, with *error set, past kMaxDepth
// (a value that contains itself).
bool DeepCopy(const Value& v, bool shared, Value* out, std::string* error);
constexpr int kMaxDepth = 512;  // nesting JSON Parse, copies and JSON Stringify accept
// -1, 0 or 1 in the order sort() and orderBy() put values of any types: null, booleans,
// texts (without regard to case), numbers, objects, collections, dates.
int CompareElements(const Value& a, const Value& b);
// Whether two elements are equal as indexOf(), includes() and countValues() compare them:
// texts without regard to case ("@" matches any characters when `wildcard`), objects and
// collections by reference.
bool EqualElements(const Value& a, const Value& b, bool wildcard);
// The value at a property path ("a.b.c") of an object; Undefined when a step is missing.
Value PathValue(const Value& object, std::string_view path);
// The same in place: null when a step is missing. It stays valid while nothing changes
// the objects on the path.
const Value* PathPlace(const Value& object, std::string_view path);

// ---- shared objects and collections.
// Makes v (a new object or collection) shared; what it contains must be shared already
// or scalar.
void MakeShared(const Value& v);
bool IsShared(const Value& v);
// Use ... End use: the process `holder` holds the group of a shared v. False when another
// process holds it: the statement waits and tries again.
bool BeginUse(const Value& v, const void* holder);
void EndUse(const Value& v, const void* holder);
// Whether `holder` may change v: it is not shared, or `holder` is in a Use of it.
bool MayChange(const Value& v, const void* holder);
// Puts `item` into the shared container `into`: a shared item joins its group; an
// object or collection that is not shared cannot go in (false, *error set).
bool AdoptIntoShared(const Value& into, const Value& item, std::string* error);

// ---- JSON.
std::string JsonStringify(const Value& v, bool pretty);
// Parses a JSON text into a value: objects, collections, reals, texts, booleans, null.
// False, with *error set, on a syntax error or past kMaxDepth.
bool JsonParse(std::string_view json, Value* out, std::string* error);

// ---- collection member functions.
// What a member function is called with besides its collection and arguments.
struct CollectionCall {
  const void* holder = nullptr;  // the calling process, for shared collections
  // Runs a formula argument with `params` ($1...); $1 is the event object the function
  // reads "result" (and "stop") from. Empty: formulas are not available.
  std::function<bool(const Value& formula, std::vector<Value>& params)> call;
  std::string error;  // why the function failed
};
using CollectionFn = bool (*)(CollectionCall& c, const Value& self,
                              std::span<const Value> args, Value* out);
struct CollectionFunction {
  std::string_view name;
  int minArgs, maxArgs;  // -1: any number
  bool changes;          // changes the collection (refused on a shared one outside Use)
  CollectionFn fn;
};
// The member function `name` (case-sensitive, as 4D names them), or null.
const CollectionFunction* FindCollectionFunction(std::string_view name);
// Calls it on `self` after checking the argument count and whether it may change self.
bool CallCollectionFunction(CollectionCall& c, const CollectionFunction& fn,
                            const Value& self, std::span<const Value> args, Value* out);

// ---- collection query.
// The elements of an object collection that `query` selects, with :1, :2... from
// `params`. False, with *error set, when the query does not parse.
bool QueryCollection(const Value& self, std::string_view query, std::span<const Value> params,
                     Value* out, std::string* error);

// Text of the runner's encoding for one Unicode code point; characters it cannot hold
// become "?".
void AppendCodePoint(std::string& to, uint32_t cp);

}  // namespace runner
