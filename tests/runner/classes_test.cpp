// Classes, formulas, File and Folder objects and Trim: 4D's documented examples and
// what breaks them, as methods run in process (files in a temporary folder).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/host.h"
#include "runner/runner.h"

namespace {

using Sources = std::vector<std::pair<std::string, std::string>>;

struct Outcome {
  bool loaded = false;
  int status = -1;
  std::string log;  // ECHO lines joined by |
  std::vector<std::string> err;
};

Outcome RunMain(const std::string& main, const Sources& classes = {}, Sources methods = {},
                host::Host* host = nullptr) {
  Outcome o;
  runner::Program program;
  methods.emplace_back("main.4dm", main);
  if (!runner::LoadSources(methods, &program, &o.err, classes)) return o;
  o.loaded = true;
  runner::RunOptions opts;
  opts.host = host;
  opts.out = [&](std::string_view l) { o.log += (o.log.empty() ? "" : "|") + std::string(l); };
  opts.err = [&](std::string_view l) { o.err.emplace_back(l); };
  o.status = runner::RunProgram(program, "main", {}, opts);
  return o;
}

const Sources kShapes = {
    {"Classes/Person.4dm", R"(//Class: Person.4dm
property nick : Text:="none"
Class constructor($firstname : Text; $lastname : Text)
	This.firstName:=$firstname
	This.lastName:=$lastname

Function get fullName() -> $fullName : Text
	$fullName:=This.firstName+" "+This.lastName

Function set fullName($fullName : Text)
	$p:=Position(" "; $fullName)
	This.firstName:=Substring($fullName; 1; $p-1)
	This.lastName:=Substring($fullName; $p+1)

Function sayHello()->$welcome : Text
	$welcome:="Hello "+This.fullName
)"},
    {"Classes/Rectangle.4dm", R"(Class constructor($width : Integer; $height : Integer)
	This.name:="Rectangle"
	This.height:=$height
	This.width:=$width

Function sayName() : Text
	return "Hi, I am a "+This.name+"."

// Function definition
Function getArea() : Integer
	return (This.height)*(This.width)
)"},
    {"Classes/Square.4dm", R"(Class extends Rectangle

Class constructor ($side : Integer)
	// It calls the parent class's constructor with lengths
	Super($side;$side)
	This.name:="Square"

Function getArea() : Integer
	return This.height*This.width

Function describe() : Text
	return Super.sayName()+" "+String(This.getArea())
)"},
    {"Classes/Counter.4dm", R"(singleton Class constructor()
	This.n:=0
Function next() : Integer
	This.n+=1
	return This.n
)"},
    {"Classes/Bare.4dm", R"(Class extends Square
Function get($key : Text) : Text
	return "get "+$key
)"},
};

TEST(Classes, DocumentedExamplesRun) {
  struct Case {
    const char* main;
    const char* log;
  };
  const Case cases[] = {
      {R"(var $person : cs.Person
$person:=cs.Person.new("John";"Doe")
ECHO($person.sayHello())
ECHO(JSON Stringify($person))
$person.fullName:="Jane Roe"
ECHO($person.firstName+"/"+$person.lastName+"/"+$person.fullName))",
       R"(Hello John Doe|{"nick":"none","firstName":"John","lastName":"Doe"}|Jane/Roe/Jane Roe)"},
      {R"($sq:=cs.Square.new(3)
ECHO($sq.getArea())
ECHO($sq.sayName())
ECHO($sq.describe())
ECHO(String(OB Instance of($sq;cs.Rectangle))+String(OB Instance of($sq;cs.Person))+String(OB Instance of($sq;4D.Object)))
ECHO(OB Class($sq).name+" "+OB Class($sq).superclass.name+" "+cs.Rectangle.superclass.name)
ECHO(String(OB Class($sq)=cs.Square)+String(OB Class(New object)=4D.Object)+String(OB Class(1)=Null)))",
       "9|Hi, I am a Square.|Hi, I am a Square. 9|TrueFalseTrue|Square Rectangle Object|TrueTrueTrue"},
      // No constructor of its own: the superclass's builds it; "get" alone is a name.
      {R"($b:=cs.Bare.new(2)
ECHO(String($b.getArea())+" "+$b.get("x")+" "+cs.Bare.name)
$f:=$b.getArea
ECHO($f.call($b)))",
       "4 get x Bare|4"},
      // Class objects are shared; formulas may go into shared objects and replace new().
      {R"(Use (cs.Rectangle)
	cs.Rectangle.made:=Formula(This.name)
	cs.Rectangle.new:=Formula(cs.Square.new(2))
End use
$s:=New shared object("f";Formula($1*2))
ECHO(String($s.f(21))+" "+cs.Rectangle.made()+" "+String(cs.Rectangle.new().getArea())))",
       "42 Rectangle 4"},
      {R"($a:=cs.Counter.me.next()
var $b:=cs.Counter.me.next()
ECHO(String($a)+String($b)+String(cs.Counter.isSingleton)+String(cs.Square.isSingleton)+String(cs.Square.me=Null)))",
       "12TrueFalseTrue"},
  };
  for (const Case& c : cases) {
    Outcome o = RunMain(c.main, kShapes);
    ASSERT_TRUE(o.loaded) << (o.err.empty() ? "" : o.err[0]);
    EXPECT_EQ(o.log, c.log) << c.main;
    EXPECT_EQ(o.status, 0) << c.main << (o.err.empty() ? "" : o.err[0]);
  }
}

TEST(Classes, MistakesAreReported) {
  struct Case {
    Sources classes;
    const char* main;
    const char* error;  // part of the load or run error
  };
  const Case cases[] = {
      {{{"A.4dm", "Class constructor\nClass constructor\n"}}, "", "a second Class constructor"},
      {{{"A.4dm", "$x:=1\nFunction f\n"}}, "", "stand before the first function"},
      {{{"A.4dm", "Class extends Nowhere\n"}}, "", "\"Nowhere\", which does not exist"},
      {{{"A.4dm", "Class extends B\n"}, {"B.4dm", "Class extends A\n"}}, "", "circle"},
      {{{"A.4dm", "Function f\n$0:=1\nFunction f\n"}}, "", "defined twice"},
      {{{"A.4dm", "Function f\n$x:=(\n"}}, "", "syntax error"},
      {{{"A.4dm", "Function get v\n$0:=1\n"}}, "$a:=cs.A.new()\n$a.v:=2", "read-only"},
      {{{"A.4dm", "Function f\n"}}, "$a:=cs.A.new()\n$a.g()", "not a function of the class A"},
      {{}, "Super(1)", "Super is only available in a class function"},
      {{}, "$o:=New object(\"f\";1)\n$o.f()", "is not a formula"},
      {{}, "ECHO(OB Instance of(New object;New object))", "must be a class"},
      {{}, "$f:=Formula from string(\"1+\")", "Formula from string:"},
      {{}, "$f:=Formula from string(\"nobodyUsesThis\")", "no method uses the variable"},
      {{}, "$x:=4D.File.new()", "is not available"},
      {{{"S.4dm", "singleton Class constructor\n"}}, "$x:=cs.S.new()", "cs.S.me"},
  };
  for (const Case& c : cases) {
    Outcome o = RunMain(c.main, c.classes);
    std::string all;
    for (const std::string& e : o.err) all += e + "\n";
    EXPECT_NE(all.find(c.error), std::string::npos) << c.main << "\n" << all;
    EXPECT_TRUE(!o.loaded || o.status == 1) << c.main;
  }
}

TEST(Formulas, DocumentedExamplesRun) {
  struct Case {
    const char* main;
    const char* log;
  };
  const Case cases[] = {
      {R"(var $f : 4D.Function
$f:=Formula(1+2)
$o:=New object("myFormula";$f)
ECHO(String($f.call($o))+String($f.apply($o))+String($o.myFormula())))",
       "333"},
      {R"($value:=10
$o:=New object("f";Formula($value))
$value:=20
ECHO($o.f()))",
       "10"},
      // A formula that replaces the property holding it runs to its end.
      {R"($o:=New object("g";Formula(This.g:=This.n);"n";5)
$o.g()
ECHO($o.g)
$o:=New object("f";Formula($1+$2))
ECHO($o.f(10;2))
$f:=Formula($1+$2)
ECHO($f.apply(Null;New collection(3;4))))",
       "5|12|7"},
      {R"($f:=Formula(This.name+" "+Uppercase(This.city))
$o:=New object("name";"John";"city";"Paris";"full";$f)
ECHO($o.full())
ECHO($f.call(New object("name";"Ann";"city";"Rome")))
ECHO($f.source))",
       "John PARIS|Ann ROME|This.name+\" \"+Uppercase(This.city)"},
      {R"(var $f : 4D.Function
$f:=Formula(Uppercase($1))
ECHO($f.call(Null;"hello"))
$f:=Formula($1+$2+$3)
ECHO($f.apply(Null;New collection(10;20;30))))",
       "HELLO|60"},
      // A formula that empties the collection it searches: the element found stays valid.
      {R"(c:=New collection(7;8;9)
ECHO(String(c.find(Formula(c.clear().length=0)))+" "+String(c.length)))",
       "7 0"},
      // A method called as a formula runs with its This.
      {R"($o:=New object("first";"Ann";"last";"Lee";"full";Formula(full_name))
ECHO($o.full("_")))",
       "Ann_Lee"},
      {R"($f:=Formula(JSON Stringify(Copy parameters)+JSON Stringify(Copy parameters(2)))
ECHO($f.call(Null;1;"b";[3])))",
       R"([1,"b",[3]]["b",[3]])"},
      {R"($f:=Formula from string("($1+$2)*"+String(3))
ECHO($f.call(Null;1;1))
ECHO($f.source))",
       "6|($1+$2)*3"},
      {R"($c:=New collection(5;1;4)
ECHO(JSON Stringify($c.sort(Formula($1.value>$1.value2))))
ECHO(JSON Stringify($c.map(Formula($1.value*$2);10)))
ECHO(JSON Stringify($c.filter(Formula($1.value>2))))
ECHO(JSON Stringify($c.map(Formula($1.result:=String($1.value)+"!"))))
ECHO($c.reduce(Formula($1.accumulator+$1.value);0))
ECHO($c.reduce(Formula($1.accumulator*=$1.value);1))
ECHO(JSON Stringify($c.sort("by_length"))))",
       "[5,4,1]|[50,40,10]|[5,4]|[\"5!\",\"4!\",\"1!\"]|10|20|[1,4,5]"},
      // The event a sort reuses from one comparison to the next: as a formula leaves it,
      // with a property more, with one less; objects compared by a property.
      {R"($c:=New collection(7;3;11;1;9;5;12;2;8;4;10;6)
ECHO(JSON Stringify($c.copy().sort(Formula($1.value<$1.value2))))
ECHO(JSON Stringify($c.copy().sort("marking")))
ECHO(JSON Stringify($c.copy().sort("dropping")))
$o:=New collection
For each ($n;$c)
  $o.push(New object("v";$n))
End for each
$o:=$o.sort(Formula($1.value.v>$1.value2.v))
ECHO(String($o[0].v)+" "+String($o[11].v)+" "+String($o.length)))",
       "[1,2,3,4,5,6,7,8,9,10,11,12]|[1,2,3,4,5,6,7,8,9,10,11,12]|[1,2,3,4,5,6,7,8,9,10,11,12]|12 1 12"},
  };
  Sources methods = {{"by_length.4dm", "#DECLARE($e : Object)\n$e.result:=$e.value<$e.value2\n"},
                     {"marking.4dm", "#DECLARE($e : Object)\n$e.seen:=True\n$e.result:=$e.value<$e.value2\n"},
                     {"dropping.4dm",
                      "#DECLARE($e : Object)\n$r:=$e.value<$e.value2\nOB REMOVE($e;\"value\")\n$e.result:=$r\n"},
                     {"full_name.4dm", "#DECLARE($sep : Text) -> $r : Text\n$r:=This.first+$sep+This.last\n"}};
  for (const Case& c : cases) {
    Outcome o = RunMain(c.main, {}, methods);
    ASSERT_TRUE(o.loaded) << c.main << (o.err.empty() ? "" : o.err[0]);
    EXPECT_EQ(o.log, c.log) << c.main;
    EXPECT_EQ(o.status, 0) << c.main << (o.err.empty() ? "" : o.err[0]);
  }
}

TEST(Text, TrimAsDocumented) {
  Outcome o = RunMain(R"(ECHO("["+Trim(" Hello World! ")+"]["+Trim start(" Hello World! ")+"]["+Trim end(" Hello World! ")+"]")
ECHO("["+Trim(Char(9)+Char(160)+"日本"+Char(12288)+Char(10))+"]["+Trim("   ")+"]"))");
  EXPECT_EQ(o.log, "[Hello World!][Hello World! ][ Hello World!]|[日本][]");
}

struct TempFolder {
  std::string path;
  TempFolder() {
    char name[] = "/tmp/vrx-files-XXXXXX";
    path = mkdtemp(name);
  }
  ~TempFolder() { std::filesystem::remove_all(path); }
};

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Files, ObjectsReadWriteAndList) {
  TempFolder tmp;
  std::string main = "$root:=\"" + tmp.path + "\"\n" + R"($f:=File($root+"/sub/été.txt")
ECHO(String($f.exists)+" "+$f.name+" "+$f.extension+" "+$f.fullName+" "+$f.parent.name)
ECHO($f.create())
ECHO(String($f.exists)+" "+String($f.size)+" "+String($f.isFile))
ECHO(String($f.modificationDate=Current date)+String(Abs(($f.modificationTime-Current time)+0)<5)+String($f.hidden)+String(File($root+"/.x").hidden))
$f.setText("日本語 😀"+Char(13)+"line")
ECHO($f.getText())
ECHO(Length($f.getText()))
$f.setText("abc"+Char(13);"UTF-8-no-bom";Document with CRLF)
ECHO($f.size)
var $b : 4D.Blob
$b:=$f.getContent()
ECHO(BLOB size($b))
$g:=Folder($root).file("sub/two.bin")
$g.setContent($b)
ECHO($g.getText())
$d:=Folder($root+"/sub")
ECHO($d.path=($root+"/sub/"))
ECHO(JSON Stringify($d.files().map(Formula($1.value.fullName))))
$copy:=$g.copyTo(Folder($root);"copy.bin")
$moved:=$copy.moveTo($d;"moved.bin")
ECHO(String($copy.exists)+String($moved.exists)+" "+$moved.getText())
$e:=Folder($root+"/empty")
ECHO($e.create())
ECHO($e.parent.folders().length)
$d.delete(fk delete with contents)
ECHO(String($d.exists)+String($f.exists))
TEXT TO DOCUMENT($root+"/doc.txt";"ü€")
ECHO(Document to text($root+"/doc.txt"))
TEXT TO DOCUMENT($root+"/l1.txt";"ü€";"ISO-8859-1")
TEXT TO DOCUMENT($root+"/16.txt";"ü😀";"UTF-16LE")
ECHO(Document to text($root+"/l1.txt";4)+File($root+"/16.txt").getText("UTF-16LE")))";
  Outcome o = RunMain(main);
  ASSERT_TRUE(o.loaded) << (o.err.empty() ? "" : o.err[0]);
  EXPECT_EQ(o.status, 0) << (o.err.empty() ? "" : o.err[0]);
  EXPECT_EQ(o.log,
            "False été .txt été.txt sub|True|True 0 True|TrueTrueFalseTrue|日本語 😀\nline|11|5|5|abc\n|True|"
            "[\"two.bin\",\"été.txt\"]|FalseTrue abc\n|True|2|FalseFalse|ü€|ü?ü😀");
  // As 4D writes documents: UTF-8 with its byte order mark.
  EXPECT_EQ(Bytes(tmp.path + "/doc.txt"), "\xEF\xBB\xBF\xC3\xBC\xE2\x82\xAC");
  EXPECT_EQ(Bytes(tmp.path + "/l1.txt"), "\xFC?");
  EXPECT_EQ(Bytes(tmp.path + "/16.txt"), std::string("\xFF\xFE\xFC\0\x3D\xD8\x00\xDE", 8));

  Outcome missing = RunMain("$t:=File(\"" + tmp.path + "/none.txt\").getText()");
  ASSERT_EQ(missing.err.size(), 1u);
  EXPECT_NE(missing.err[0].find("cannot open"), std::string::npos) << missing.err[0];
}

// A VRX_ command takes properties and elements as it takes variables, outputs included,
// and a 4D.Blob as a BLOB.
TEST(Plugin, PropertiesElementsAndBlobObjectsAsArguments) {
  host::Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  Outcome o = RunMain(R"(var $o : Object
$o:={}
VRX_SecondsToDate(86400*366+3723;$o.d;$o.t;1)
ECHO(JSON Stringify($o))
$c:=[0;0;"x"]
VRX_SecondsToDate(86400*40+7;$c[0];$c[1];1)
$c[2]:=VRX_EncodeBase64($c[2];0)
ECHO(String(Month of($c[0]))+" "+String($c[1])+" "+$c[2])
var $b : 4D.Blob
TEXT TO BLOB("Grüße";$b;UTF8 text without length)
$o.blob:=$b
VRX_MapBlobChars($o.blob)
VRX_MapBlobChars($b)
ECHO(String(BLOB size($b))+" "+String($b=$o.blob)))",
                      {}, {}, &h);
  EXPECT_EQ(o.status, 0) << (o.err.empty() ? "" : o.err[0]);
  EXPECT_EQ(o.log, R"({"d":"1905-01-01","t":3723}|2 7 eA|7 True)");
}

// Texts keep every character through the language; only the plug-in's parameters are
// Mac Roman, where a character it cannot hold becomes "?".
TEST(Unicode, TextsKeepTheirCharactersEndToEnd) {
  TempFolder tmp;
  struct Case {
    const char* expr;
    const char* echo;
  };
  const Case cases[] = {
      {"$t", "日本語 😀 é"},
      {"String(Length($t))", "8"},  // UTF-16 units: the emoji counts two
      {"Substring($t;2;2)", "本語"},
      {"Substring($t;5;2)", "😀"},
      {"String(Position(\"😀\";$t))+String(Position(\"é\";$t))", "58"},
      {"$o.k+JSON Stringify($o)", "日本語 😀 é{\"k\":\"日本語 😀 é\"}"},
      {"JSON Parse(\"{\\\"k\\\":\\\"\\\\u65e5\\\\ud83d\\\\ude00\\\"}\").k", "日😀"},
      {"Uppercase(\"été\";*)+Lowercase(\"ÉTÉ\";*)", "ÉTÉété"},
      {"Convert to text($blob;\"UTF-8\")", "日本語 😀 é"},
      {"Document to text($doc)", "日本語 😀 é"},
      {"File($doc).getText()", "日本語 😀 é"},
      {"[$t][0]+(New object(\"a\";$t)).a", "日本語 😀 é日本語 😀 é"},
      {"VRX_EncodeBase64($t;0)", "Pz8/ID8gjg"},  // ??? ? é in Mac Roman
  };
  std::string main = "$t:=\"日本語 😀 é\"\n$o:=New object(\"k\";$t)\n$doc:=\"" + tmp.path +
                     "/u.txt\"\nTEXT TO DOCUMENT($doc;$t)\nCONVERT FROM TEXT($t;\"UTF-8\";$blob)\n";
  for (const Case& c : cases) main += "ECHO(" + std::string(c.expr) + ")\n";
  host::Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  Outcome o = RunMain(main, {}, {}, &h);
  EXPECT_EQ(o.status, 0) << (o.err.empty() ? "" : o.err[0]);
  std::string want;
  for (const Case& c : cases) want += (want.empty() ? "" : "|") + std::string(c.echo);
  EXPECT_EQ(o.log, want);
  EXPECT_EQ(Bytes(tmp.path + "/u.txt"), "\xEF\xBB\xBF" "日本語 😀 é");
}

}  // namespace
