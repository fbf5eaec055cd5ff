// Objects, collections and JSON: the collection functions line by line from 4D's
// documented examples (collection and arguments in JSON, result in JSON), the JSON
// reader on good and bad input, shared groups, and the commands in running methods.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "runner/objects.h"
#include "runner/runner.h"

using runner::Type;
using runner::Value;

namespace {

Value Json(const std::string& text) {
  Value v;
  std::string error;
  EXPECT_TRUE(runner::JsonParse(text, &v, &error)) << text << ": " << error;
  return v;
}

std::string Text(const Value& v) { return runner::JsonStringify(v, false); }

std::vector<Value> keptEvents;  // the events the formula "keep" holds on to

// Formulas of the tests, by name: each fills $1.result as a 4D formula would.
bool RunTestFormula(const Value& formula, std::vector<Value>& params) {
  runner::ObjectHeap& e = *params[0].object();
  const Value* v = e.Find("value");
  double x = v && v->numeric() ? v->Number() : 0;
  double extra = params.size() > 1 ? params[1].Number() : 0;
  const std::string& name = formula.str();
  Value result;
  if (name == "greater") result = Value::Bool(x > extra);
  else if (name == "even") result = Value::Bool(int(x) % 2 == 0);
  else if (name == "double") result = Value::Real(x * 2);
  else if (name == "add") result = Value::Real(e.Find("accumulator")->Number() + x);
  else if (name == "flip") {  // no consistent order at all
    static bool answer = false;
    result = Value::Bool(answer = !answer);
  } else if (name == "desc") result = Value::Bool(x > e.Find("value2")->Number());
  else if (name == "keep") {
    keptEvents.push_back(params[0]);
    result = Value::Bool(x < e.Find("value2")->Number());
  }
  else if (name == "pair") result = Json("[" + std::to_string(int(x)) + "," + std::to_string(int(x * 2)) + "]");
  else return false;
  e.Set("result", result);
  return true;
}

TEST(Collections, FunctionsGiveTheDocumentedResults) {
  struct Case {
    const char* self;
    const char* fn;
    const char* args;    // a JSON array
    const char* result;  // JSON
    const char* after;   // the collection afterwards; null: unchanged
  };
  const char* people = R"([{"name":"Smith","age":35,"city":"Paris"},{"name":"Wesson","age":40,"city":"Lyon"},)"
                       R"({"name":"Sterling","age":50,"city":"Paris"}])";
  const Case cases[] = {
      {"[1,2]", "length", "[]", "2", nullptr},
      {"[1,2]", "push", "[3,4]", "[1,2,3,4]", "[1,2,3,4]"},
      {"[1,2,3]", "pop", "[]", "3", "[1,2]"},
      {"[]", "pop", "[]", "null", "[]"},
      {R"(["a","b"])", "shift", "[]", R"("a")", R"(["b"])"},
      {"[1,2]", "unshift", "[6,7]", "[6,7,1,2]", "[6,7,1,2]"},
      {R"(["a","b","X","c","d"])", "insert", R"([-2,"Y"])", R"(["a","b","X","Y","c","d"])", R"(["a","b","X","Y","c","d"])"},
      {R"(["a","b"])", "insert", R"([-10,"Hi"])", R"(["Hi","a","b"])", R"(["Hi","a","b"])"},
      {R"(["a","b"])", "insert", R"([9,"z"])", R"(["a","b","z"])", R"(["a","b","z"])"},
      {R"(["a","b","c","e","f","g","h"])", "remove", "[3,2]", R"(["a","b","c","g","h"])", R"(["a","b","c","g","h"])"},
      {R"(["a","b","c","g","h"])", "remove", "[-8,1]", R"(["b","c","g","h"])", R"(["b","c","g","h"])"},
      {R"(["b","c","g","h"])", "remove", "[-3,1]", R"(["b","g","h"])", R"(["b","g","h"])"},
      {"[]", "resize", "[3]", "[null,null,null]", "[null,null,null]"},
      {"[1,2,3,4]", "resize", "[2]", "[1,2]", "[1,2]"},
      {"[]", "resize", "[2,0]", "[0,0]", "[0,0]"},
      {R"([2,2,2,2,2,"Hello","Hello","Hello"])", "fill", "[0,1,5]", R"([2,0,0,0,0,"Hello","Hello","Hello"])", R"([2,0,0,0,0,"Hello","Hello","Hello"])"},
      {R"([2,0,0,0,0,"Hello","Hello","Hello"])", "fill", R"(["world",1,-5])", R"([2,"world","world",0,0,"Hello","Hello","Hello"])", R"([2,"world","world",0,0,"Hello","Hello","Hello"])"},
      {"[1,2]", "clear", "[]", "[]", "[]"},
      {R"([1,2,"Henry",5,3,"Albert","Jerry","Henry","Alan"])", "indexOf", "[3]", "4", nullptr},
      {R"([1,2,"Henry",5,3,"Albert","Jerry","Henry","Alan"])", "indexOf", "[5,5]", "-1", nullptr},
      {R"([1,2,"Henry",5,3,"Albert","Jerry","Henry","Alan"])", "indexOf", R"(["al@"])", "5", nullptr},
      {R"([1,2,"Henry",5,3,"Albert","Jerry","Henry","Alan"])", "indexOf", R"(["henry",-3])", "7", nullptr},
      {R"([1,2,"Henry",5,3,"Albert","Jerry","Henry","Alan"])", "lastIndexOf", R"(["Henry"])", "7", nullptr},
      {R"([1,2,"Henry",5,3,"Albert","Jerry","Henry","Alan"])", "lastIndexOf", R"(["Henry",-3])", "2", nullptr},
      {R"([1,2,"Henry",5,3,"Albert","Jerry","Henry","Alan"])", "lastIndexOf", R"(["Henry",-10])", "-1", nullptr},
      {R"([1,2,"Henry"])", "includes", R"(["HENRY"])", "true", nullptr},
      {R"([1,2,"Henry"])", "includes", "[4]", "false", nullptr},
      {R"([1,2,3,"Paris",null,"",4,5])", "join", R"(["|"])", R"("1|2|3|Paris|||4|5")", nullptr},
      {R"([1,2,3,"Paris",null,"",4,5])", "join", R"(["|",4])", R"("1|2|3|Paris|4|5")", nullptr},
      {"[1,2,3,4,5]", "slice", "[3]", "[4,5]", nullptr},
      {"[1,2,3,4,5]", "slice", "[1,-2]", "[2,3]", nullptr},
      {"[1,2,3,4,5]", "slice", "[-1,-1]", "[]", nullptr},
      {"[1,2]", "concat", "[[3,4],5]", "[1,2,3,4,5]", nullptr},
      {"[1,2,3]", "reverse", "[]", "[3,2,1]", nullptr},
      {R"(["c","a","B"])", "sort", "[]", R"(["a","B","c"])", R"(["a","B","c"])"},
      {R"([3,"b",true,null,1,{"x":1},[2]])", "sort", "[]", R"([null,true,"b",1,3,{"x":1},[2]])", R"([null,true,"b",1,3,{"x":1},[2]])"},
      {"[1,5,3]", "sort", R"(["desc"])", "[5,3,1]", "[5,3,1]"},
      {"[4,1,5,3,9,2,8,7,6]", "sort", R"(["desc"])", "[9,8,7,6,5,4,3,2,1]", "[9,8,7,6,5,4,3,2,1]"},
      {people, "orderBy", R"(["city asc, age desc"])",
       R"([{"name":"Wesson","age":40,"city":"Lyon"},{"name":"Sterling","age":50,"city":"Paris"},{"name":"Smith","age":35,"city":"Paris"}])", nullptr},
      {people, "orderBy", R"([[{"propertyPath":"age","descending":true}]])",
       R"([{"name":"Sterling","age":50,"city":"Paris"},{"name":"Wesson","age":40,"city":"Lyon"},{"name":"Smith","age":35,"city":"Paris"}])", nullptr},
      {"[3,1,2]", "orderBy", "[1]", "[3,2,1]", nullptr},
      {R"(["a","b","A",null,"b",1])", "distinct", "[]", R"(["a","b",1])", nullptr},
      {R"(["a","b","A"])", "distinct", "[8]", R"(["a","A","b"])", nullptr},
      {people, "distinct", R"(["city",32])", R"([{"value":"Lyon","count":1},{"value":"Paris","count":2}])", nullptr},
      {R"([10,20,"x",null])", "sum", "[]", "30", nullptr},
      {people, "sum", R"(["age"])", "125", nullptr},
      {R"([10,20,"x"])", "average", "[]", "15", nullptr},
      {R"(["x"])", "average", "[]", "null", nullptr},
      {R"([1,5,"a","z",null])", "max", "[]", "5", nullptr},
      {R"([1,5,"a","z",null])", "min", "[]", R"("a")", nullptr},
      {people, "max", R"(["age"])", "50", nullptr},
      {R"([1,null,"a"])", "count", "[]", "2", nullptr},
      {R"([1,{"a":"x","b":[2]}])", "equal", R"([[1,{"b":[2],"a":"X"}]])", "true", nullptr},
      {R"([1,{"a":"x"}])", "equal", R"([[1,{"a":"X"}],8])", "false", nullptr},
      {R"([1,{"a":null}])", "equal", R"([[1,{}]])", "false", nullptr},
      {"[1,2]", "equal", "[[1,2,3]]", "false", nullptr},
      {"[1,2,1]", "countValues", "[1]", "2", nullptr},
      {people, "countValues", R"(["Paris","city"])", "2", nullptr},
      {"[1,[2,[3,[4]]]]", "flat", "[]", "[1,2,[3,[4]]]", nullptr},
      {"[1,[2,[3,[4]]]]", "flat", "[2]", "[1,2,3,[4]]", nullptr},
      {R"([{"name":"Cleveland"},{"name":"Adger"},{"zc":35045}])", "extract", R"(["name"])", R"(["Cleveland","Adger"])", nullptr},
      {R"([{"name":"Cleveland"},{"zc":35045}])", "extract", R"(["name",1])", R"(["Cleveland",null])", nullptr},
      {R"([{"name":"Cleveland","zc":1}])", "extract", R"(["name","City","zc","Zip"])", R"([{"City":"Cleveland","Zip":1}])", nullptr},
      {"[1,2,3]", "copy", "[]", "[1,2,3]", nullptr},
      {people, "query", R"(["age > :1",38])", R"([{"name":"Wesson","age":40,"city":"Lyon"},{"name":"Sterling","age":50,"city":"Paris"}])", nullptr},
      {people, "query", R"(["name = :1 and city = :2","S@","Paris"])",
       R"([{"name":"Smith","age":35,"city":"Paris"},{"name":"Sterling","age":50,"city":"Paris"}])", nullptr},
      {people, "query", R"(["name in :1",["Smith","wesson"]])",
       R"([{"name":"Smith","age":35,"city":"Paris"},{"name":"Wesson","age":40,"city":"Lyon"}])", nullptr},
      {people, "query", R"(["not(city = 'Paris') | age >= 50"])",
       R"([{"name":"Wesson","age":40,"city":"Lyon"},{"name":"Sterling","age":50,"city":"Paris"}])", nullptr},
      {people, "query", R"(["name === :1","S@"])", "[]", nullptr},
      {people, "query", R"(["name % 'ter'"])", R"([{"name":"Sterling","age":50,"city":"Paris"}])", nullptr},
      {"[1,2,3]", "every", R"(["greater",0])", "true", nullptr},
      {"[1,2,3]", "every", R"([1,"greater",1])", "true", nullptr},
      {"[1,2,3]", "some", R"(["greater",2])", "true", nullptr},
      {"[1,2,3,4]", "filter", R"(["even"])", "[2,4]", nullptr},
      {"[1,2,3]", "map", R"(["double"])", "[2,4,6]", nullptr},
      {"[1,2,3]", "flatMap", R"(["pair"])", "[1,2,2,4,3,6]", nullptr},
      {"[1,2,3]", "reduce", R"(["add"])", "6", nullptr},
      {"[1,2,3]", "reduce", R"(["add",10])", "16", nullptr},
      {"[1,2,3,4]", "find", R"(["greater",2])", "3", nullptr},
      {"[1,2,3,4]", "findIndex", R"(["greater",2])", "2", nullptr},
      {"[1,2,3,4]", "findIndex", R"(["greater",9])", "-1", nullptr},
  };
  for (const Case& c : cases) {
    Value self = Json(c.self), args = Json(c.args), out;
    const runner::CollectionFunction* fn = runner::FindCollectionFunction(c.fn);
    ASSERT_NE(fn, nullptr) << c.fn;
    runner::CollectionCall call;
    call.call = RunTestFormula;
    ASSERT_TRUE(runner::CallCollectionFunction(call, *fn, self, args.collection()->items, &out))
        << c.fn << c.args << ": " << call.error;
    EXPECT_EQ(Text(out), c.result) << c.self << "." << c.fn << c.args;
    EXPECT_EQ(Text(self), c.after ? c.after : c.self) << c.self << "." << c.fn << c.args;
  }
}

TEST(Collections, BadCallsAndSharedCollectionsAreRefused) {
  struct Case {
    const char* self;
    const char* fn;
    const char* args;
    const char* error;
  };
  const Case cases[] = {
      {"[1]", "insert", "[1]", "wrong number of parameters"},
      {"[1]", "resize", "[-1]", "out of range"},
      {"[1]", "join", "[1]", "must be a text"},
      {"[]", "reduce", R"(["add"])", "initial value"},
      {R"([{"a":1}])", "query", R"(["a > :2",1])", "no value for :2"},
      {R"([{"a":1}])", "query", R"(["a ~ 1"])", "comparison expected"},
      {R"([{"a":1}])", "query", R"(["(a = 1"])", ") expected"},
      {"[1]", "orderBy", R"(["a sideways"])", "asc or desc"},
  };
  for (const Case& c : cases) {
    Value self = Json(c.self), args = Json(c.args), out;
    runner::CollectionCall call;
    call.call = RunTestFormula;
    EXPECT_FALSE(runner::CallCollectionFunction(call, *runner::FindCollectionFunction(c.fn), self,
                                                args.collection()->items, &out))
        << c.fn << c.args;
    EXPECT_NE(call.error.find(c.error), std::string::npos) << c.fn << ": " << call.error;
  }
  EXPECT_EQ(runner::FindCollectionFunction("Push"), nullptr);  // names are case-sensitive

  // A formula without a consistent order still gives a permutation.
  Value many = Json("[9,8,7,6,5,4,3,2,1,0,10,11,12,13,14,15,16,17,18,19]"), flip = Json(R"(["flip"])"), sorted;
  runner::CollectionCall flipCall;
  flipCall.call = RunTestFormula;
  ASSERT_TRUE(runner::CallCollectionFunction(flipCall, *runner::FindCollectionFunction("sort"), many,
                                             flip.collection()->items, &sorted));
  double sum = 0;
  for (const Value& v : many.collection()->items) sum += v.Number();
  EXPECT_EQ(many.collection()->items.size(), 20u);
  EXPECT_EQ(sum, 190);

  // An event the formula holds on to stays as it was: the next comparison gets another.
  Value three = Json("[3,1,2]"), keep = Json(R"(["keep"])");
  ASSERT_TRUE(runner::CallCollectionFunction(flipCall, *runner::FindCollectionFunction("sort"), three,
                                             keep.collection()->items, &sorted));
  EXPECT_EQ(Text(three), "[1,2,3]");
  ASSERT_GE(keptEvents.size(), 2u);
  EXPECT_FALSE(keptEvents[0].SameRef(keptEvents[1]));
  for (const Value& k : keptEvents)
    EXPECT_NE(k.object()->Find("value")->Number(), k.object()->Find("value2")->Number());
  keptEvents.clear();

  // Shared: changed only under the holder's Use; a plain object cannot go in.
  Value shared = Value::NewCollection(), inner = Value::NewCollection(), plain = Value::NewObject();
  runner::MakeShared(shared);
  runner::MakeShared(inner);
  int p1 = 0, p2 = 0;
  runner::CollectionCall call;
  call.holder = &p1;
  Value args = Json("[1]"), out;
  const runner::CollectionFunction& push = *runner::FindCollectionFunction("push");
  EXPECT_FALSE(runner::CallCollectionFunction(call, push, shared, args.collection()->items, &out));
  ASSERT_TRUE(runner::BeginUse(shared, &p1));
  EXPECT_FALSE(runner::BeginUse(shared, &p2));
  EXPECT_TRUE(runner::CallCollectionFunction(call, push, shared, args.collection()->items, &out));
  std::vector<Value> one{plain};
  EXPECT_FALSE(runner::CallCollectionFunction(call, push, shared, one, &out));
  one[0] = inner;
  EXPECT_TRUE(runner::CallCollectionFunction(call, push, shared, one, &out));
  EXPECT_TRUE(runner::MayChange(inner, &p1)) << "the inner collection joined the group";
  runner::EndUse(shared, &p1);
  EXPECT_FALSE(runner::MayChange(inner, &p1));
  EXPECT_TRUE(runner::BeginUse(inner, &p2));
  runner::EndUse(inner, &p2);
}

TEST(Json, ReadsAndWritesAs4DDoes) {
  struct Case {
    const char* in;
    const char* out;  // null: the same
  };
  const Case cases[] = {
      {R"({"b":1,"a":[true,false,null],"B":{}})", nullptr},  // order kept, names by case
      {R"( { "x" : -1.5e2 , "y":[ ] } )", R"({"x":-150,"y":[]})"},
      {R"({"a":1,"a":2})", R"({"a":2})"},
      {R"("tab\there \"q\" \\ \/ \u0001")", R"("tab\there \"q\" \\ / \u0001")"},
      {"0.1", nullptr},
      {"123456789012", nullptr},
      {"[1e400]", "[null]"},
      // Numbers as 4D writes them: fifteen significant digits, exponents past them.
      {"[-0,1e15,999999999999999,0.000012345,1e-400,3.141592653589793,123456789012345678]",
       "[-0,1e+15,999999999999999,1.2345e-05,0,3.14159265358979,1.23456789012346e+17]"},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(Json(c.in)), c.out ? c.out : c.in);

  // \u escapes become the runner's text; a pair of surrogates is one character.
  EXPECT_EQ(Json(R"("\u00e9t\u00E9")").str(), "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(Json(R"("\ud83d\ude00")").str(), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Json(R"("\ud83d")").str(), "\xEF\xBF\xBD");  // the replacement character

  const char* bad[] = {"", "[1,", "[1,]", "{\"a\" 1}", "{a:1}", "tru", "01", "1.", "-", "\"abc",
                       "\"\\x\"", "\"\\u12\"", "[1] 2", "\"a\nb\"", "{\"a\":1,}"};
  for (const char* b : bad) {
    Value v;
    std::string error;
    EXPECT_FALSE(runner::JsonParse(b, &v, &error)) << b;
    EXPECT_NE(error.find("offset"), std::string::npos) << b;
  }
  Value v;
  std::string error;
  std::string deep = std::string(runner::kMaxDepth, '[') + std::string(runner::kMaxDepth, ']');
  EXPECT_TRUE(runner::JsonParse(deep, &v, &error)) << error;
  deep = std::string(100000, '[') + std::string(100000, ']');
  EXPECT_FALSE(runner::JsonParse(deep, &v, &error));

  Value o = Json(R"({"a":[1,{"b":"x"}],"e":{}})");
  EXPECT_EQ(runner::JsonStringify(o, true), "{\n\t\"a\": [\n\t\t1,\n\t\t{\n\t\t\t\"b\": \"x\"\n\t\t}\n\t],\n\t\"e\": {}\n}");
}

TEST(Objects, ReferencesCopiesAndManyProperties) {
  Value a = Value::NewObject();
  Value b = a;
  b.object()->Set("x", Value::Real(1));
  EXPECT_EQ(Text(a), R"({"x":1})");  // one object, two references
  Value copy;
  std::string error;
  ASSERT_TRUE(runner::DeepCopy(a, false, &copy, &error));
  copy.object()->Set("x", Value::Real(2));
  EXPECT_EQ(Text(a), R"({"x":1})");

  // Past the indexed size, finds, replaces and removes keep insertion order.
  for (int i = 0; i < 40; ++i) a.object()->Set("p" + std::to_string(i), Value::Real(i));
  a.object()->Set("p7", Value::Real(70));
  EXPECT_TRUE(a.object()->Remove("p3"));
  EXPECT_EQ(a.object()->Find("p7")->Number(), 70);
  EXPECT_EQ(a.object()->Find("p39")->Number(), 39);
  EXPECT_EQ(a.object()->Find("p3"), nullptr);
  EXPECT_EQ(a.object()->props[3].first, "p2");
  EXPECT_EQ(a.object()->props[4].first, "p4");

  // An object that contains itself: copies and JSON stop at the depth limit.
  a.object()->Set("self", a);
  EXPECT_FALSE(runner::DeepCopy(a, false, &copy, &error));
  EXPECT_NE(runner::JsonStringify(a, false).find("null"), std::string::npos);
  a.object()->Remove("self");

  // A collection nested a million deep is freed without recursion.
  Value deep = Value::NewCollection();
  for (int i = 0; i < 1000000; ++i) {
    Value outer = Value::NewCollection();
    outer.collection()->items.push_back(std::move(deep));
    deep = std::move(outer);
  }
  deep = Value();
}

TEST(Objects, CommandsInMethods) {
  struct Case {
    const char* source;
    const char* log;  // the ECHO lines, joined by |
  };
  const Case cases[] = {
      {R"($o:=New object("a";1;"b";"x")
OB SET($o;"c";New collection(1;"two";True))
ECHO(JSON Stringify($o))
$p:=$o
OB SET NULL($p;"d")
OB REMOVE($p;"a")
ECHO(String($o)))",
       R"({"a":1,"b":"x","c":[1,"two",true]}|{"b":"x","c":[1,"two",true],"d":null})"},
      {R"($o:=JSON Parse("{\"n\":\"12\",\"d\":\"2024-02-29T10:00:00Z\"}")
ECHO(OB Get($o;"n";Is real)+1)
ECHO(String(OB Get($o;"d";Is date);ISO date))
ECHO(Value type($o))
ECHO(Value type(OB Get($o;"zz")))
ECHO(OB Is defined($o;"n"))
ECHO(OB Is empty(New object)))",
       "13|2024-02-29T00:00:00|38|5|True|True"},
      {R"($o:=New object("k";1;"v";"w")
ECHO(JSON Stringify(OB Keys($o)))
ECHO(JSON Stringify(OB Values($o)))
ECHO(JSON Stringify(OB Entries($o))))",
       R"(["k","v"]|[1,"w"]|[{"key":"k","value":1},{"key":"v","value":"w"}])"},
      {R"($o:=New object("a";New object("b";1))
$c:=OB Copy($o)
OB SET(OB Get($c;"a");"b";2)
ECHO(JSON Stringify($o)+JSON Stringify($c)))",
       R"({"a":{"b":1}}{"a":{"b":2}})"},
      {R"(ARRAY TEXT($t;2)
$t{1}:="x"
$t{2}:="y"
ARRAY LONGINT($n;2)
$n{1}:=1
$n{2}:=2
$c:=New collection
ARRAY TO COLLECTION($c;$t;"name";$n;"id")
ECHO(JSON Stringify($c))
COLLECTION TO ARRAY($c;$names;"name";$ids;"id")
ECHO($names{2}+String($ids{2})))",
       R"([{"name":"x","id":1},{"name":"y","id":2}]|y2)"},
      {R"(ECHO(JSON Stringify(Split string("a, b,,c";",")))
ECHO(JSON Stringify(Split string("a, b,,c";",";sk ignore empty strings+sk trim spaces))))",
       R"(["a"," b","","c"]|["a","b","c"])"},
      {R"(ECHO(JSON Stringify("Eureka!")+JSON Stringify(120)+JSON Stringify(?20:00:00?)+JSON Stringify(!2013-08-28!)))",
       R"("Eureka!"12072000"2013-08-28")"},
      {R"(C_OBJECT($o)
C_COLLECTION($c)
ECHO(JSON Stringify($o)+JSON Stringify($c)+String(OB Is defined($o))+String(OB Is empty($o)))
OB SET($o;"a";1)
ECHO(JSON Stringify($o)))",
       R"(nullnullFalseTrue|{"a":1})"},
      {R"($o:=New object
$p:=$o
$n:=JSON Parse("null")
ECHO(String($o=$p)+String($o=New object)+String($n=OB Get($o;"zz"))+String($n#$o)))",
       "TrueFalseTrueTrue"},
      {R"($s:=New shared object("n";1)
OB SET($s;"n";2))",
       ""},
  };
  for (const Case& c : cases) {
    runner::Program program;
    std::vector<std::string> lines, errors;
    ASSERT_TRUE(runner::LoadSources({{"main.4dm", c.source}}, &program, &errors)) << c.source;
    runner::RunOptions opts;
    opts.out = [&](std::string_view l) { lines.emplace_back(l); };
    opts.err = [&](std::string_view l) { errors.emplace_back(l); };
    int status = runner::RunProgram(program, "main", {}, opts);
    std::string joined;
    for (const std::string& l : lines) joined += (joined.empty() ? "" : "|") + l;
    EXPECT_EQ(joined, c.log) << c.source;
    if (std::string(c.source).find("shared") != std::string::npos) {
      EXPECT_EQ(status, 1);
      ASSERT_FALSE(errors.empty());
      EXPECT_NE(errors[0].find("only be changed inside Use"), std::string::npos) << errors[0];
    } else {
      EXPECT_EQ(status, 0) << (errors.empty() ? "" : errors[0]);
    }
  }
}

// Objects and collections that hold one another go when the run ends; one the caller
// still holds keeps all it holds, circle included.
TEST(Objects, CirclesAreFreedWithTheRun) {
  const char* source = R"(#DECLARE($kept : Object)
$o:={}
$o.self:=$o
$c:=[1]
$c.push({up: $c; o: $o})
$s:=New shared object
Use ($s)
  $s.me:=$s
End use
$kept.me:=$kept
$kept.c:=[$kept; {}])";
  runner::Program program;
  std::vector<std::string> errors;
  ASSERT_TRUE(runner::LoadSources({{"main.4dm", source}}, &program, &errors)) << errors[0];
  size_t before = runner::LiveContainers();
  {
    Value kept = Value::NewObject();
    runner::RunOptions opts;
    opts.err = [&](std::string_view l) { errors.emplace_back(l); };
    ASSERT_EQ(runner::RunProgram(program, "main", {kept}, opts), 0) << errors[0];
    EXPECT_EQ(runner::LiveContainers(), before + 3);  // $kept, its collection and {}
    EXPECT_TRUE(kept.object()->Find("me")->SameRef(kept));
    const auto& c = kept.object()->Find("c")->collection()->items;
    ASSERT_EQ(c.size(), 2u);
    EXPECT_TRUE(c[0].SameRef(kept));
    kept.object()->Remove("c");
    kept.object()->Remove("me");
  }
  EXPECT_EQ(runner::LiveContainers(), before);
}

}  // namespace
