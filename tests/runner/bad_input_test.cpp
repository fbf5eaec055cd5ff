// Built-ins given what they cannot take (wrong kinds, counts and ranges, Null,
// undefined values) and the rarer documented forms, one table per family: each line of
// 4D runs as method "main" in a temporary folder named DIR in the source. A result is
// the ECHO lines joined by |, or "!" and a part of the first error's message.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "runner/runner.h"

namespace {

struct Row {
  const char* source;
  const char* want;
};

class BadInput : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vrx-bad-input-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Run(std::string source) {
    for (size_t at = 0; (at = source.find("DIR", at)) != std::string::npos; at += dir_.size())
      source.replace(at, 3, dir_);
    runner::Program program;
    std::vector<std::string> lines, errors;
    // "caught": an error method that lets the method go on.
    if (!runner::LoadSources({{"main.4dm", source}, {"caught.4dm", "// errors pass\n"}}, &program, &errors, classes_))
      return "load: " + (errors.empty() ? "" : errors[0]);
    runner::RunOptions opts;
    std::unique_ptr<host::Host> h;
    if (plugin_) {
      h = std::make_unique<host::Host>();
      opts.host = h.get();
      opts.trace = trace_;
    }
    opts.confined = confined_;
    opts.statementLimit = confined_ ? 100000 : 0;
    opts.out = [&](std::string_view l) { lines.emplace_back(l); };
    opts.err = [&](std::string_view l) { errors.emplace_back(l); };
    runner::RunProgram(program, "main", {}, opts);
    if (!errors.empty()) return "!" + errors[0];
    std::string log;
    for (const std::string& l : lines) log += (log.empty() ? "" : "|") + l;
    return log;
  }

  void Check(std::initializer_list<Row> rows) {
    for (const Row& r : rows) {
      std::string got = Run(r.source), want = r.want;
      if (want.starts_with("!")) EXPECT_NE(got.find(want.substr(1)), std::string::npos) << r.source << "\n-> " << got;
      else EXPECT_EQ(got, want) << r.source;
    }
  }

  std::string dir_;
  bool plugin_ = false, trace_ = false;  // the plug-in behind VRX_ commands; their trace lines
  bool confined_ = false;                // limits for methods nobody has read
  std::vector<std::pair<std::string, std::string>> classes_;  // (file, text) of each class
};

}  // namespace

TEST_F(BadInput, Blobs) {
  Check({
      {"$b:=5\nSET BLOB SIZE($b;3)", "!$b is a real, not a BLOB"},
      {"C_BLOB($b)\nINTEGER TO BLOB(1;$b;0;\"x\")", "!INTEGER TO BLOB: the offset must be a number, not a text"},
      {"C_BLOB($b)\nLONGINT TO BLOB(1;$b;0;\"x\")", "!LONGINT TO BLOB: the offset must be a number, not a text"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;8)\n$x:=BLOB to longint($b;5)", "!BLOB to longint: the byte order must be 0"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;8)\n$x:=BLOB to integer($b;5)", "!BLOB to integer: the byte order must be 0"},
      {"C_BLOB($b)\nREAL TO BLOB(1;$b;9)", "!REAL TO BLOB: unknown real format 9"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;8)\n$x:=BLOB to real($b;9)", "!BLOB to real: unknown real format 9"},
      {"C_BLOB($b)\nC_BLOB($c)\nCOPY BLOB($b;$c;0;0;\"x\")", "!COPY BLOB: the length must be a number, not a text"},
      {"C_BLOB($b)\nINSERT IN BLOB($b;\"x\";1)", "!INSERT IN BLOB: the offset must be a number, not a text"},
      {"C_BLOB($b)\nDELETE FROM BLOB($b;\"x\";1)", "!DELETE FROM BLOB: the offset must be a number, not a text"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;4;65)\nEXPAND BLOB($b)", "!EXPAND BLOB: the BLOB is not compressed"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;-1)", "!bad size -1"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;3;65)\nECHO(BLOB to text($b;3))", "AAA"},
      {"C_BLOB($b)\nTEXT TO BLOB(\"ab\"+Char(0)+\"c\";$b;UTF8 C string)\nECHO(BLOB size($b))", "3"},
      {"C_BLOB($b)\nTEXT TO BLOB(\"a\";$b;9)", "!unknown text format 9"},
      {"C_BLOB($b)\nTEXT TO BLOB(\"a\";$b;3;5)", "!the offset must be a variable or *"},
      {"C_BLOB($b)\n$o:=-1\nTEXT TO BLOB(\"a\";$b;3;$o)", "!negative offset"},
      {"C_BLOB($b)\n$o:=4\nTEXT TO BLOB(\"a\";$b;3;$o)", "!the offset is past the end of the BLOB"},
      {"C_BLOB($b)\nTEXT TO BLOB(\"abc\";$b;3)\n$o:=9\n$t:=BLOB to text($b;3;$o)", "!offset 9 is outside the BLOB"},
      {"C_BLOB($b)\nTEXT TO BLOB(\"abc\";$b;6)\nECHO(BLOB to text($b;4))", "abc"},
      {"C_BLOB($b)\n$o:=0\n$t:=BLOB to text($b;1;$o)", "!no Pascal string at offset 0"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;2;9)\n$t:=BLOB to text($b;1)", "!runs past the end"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;1)\n$t:=BLOB to text($b;2)", "!no text length at offset 0"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;3;9)\n$t:=BLOB to text($b;2)", "!runs past the end"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;3)\n$t:=BLOB to text($b;5)", "!no text length at offset 0"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;5;9)\n$t:=BLOB to text($b;5)", "!runs past the end"},
      {"C_BLOB($b)\n$t:=BLOB to text($b;9)", "!unknown text format 9"},
      {"$t:=BLOB to text(\"x\";3)", "!the first parameter must be a BLOB"},
      {"$n:=BLOB size(5)", "!the parameter is a real, not a BLOB"},
      {"C_BLOB($b)\nINTEGER TO BLOB(1;$b;5)", "!the byte order must be 0"},
      {"C_BLOB($b)\nREAL TO BLOB(1.5;$b;1)", "!Extended real format is not supported"},
      {"C_BLOB($b)\nREAL TO BLOB(1.5;$b;7)", "!unknown real format 7"},
      {"C_BLOB($b)\nREAL TO BLOB(1.5;$b;0)\n$o:=0\nECHO(String(BLOB to real($b;0;$o))+\" \"+String($o))", "1.5 8"},
      {"C_BLOB($b)\n$o:=-1\nLONGINT TO BLOB(1;$b;2;$o)", "!-1"},
      {"$n:=BLOB to longint(\"x\";1)", "!the first parameter must be a BLOB"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;4)\n$o:=2\n$n:=BLOB to longint($b;1;$o)", "!2"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;2;1)\nECHO(BLOB to integer($b;1)+BLOB to integer($b;2))", "514"},
      {"C_BLOB($d)\nCOPY BLOB(5;$d;0;0;1)", "!the source must be a BLOB"},
      {"C_BLOB($s;$d)\nCOPY BLOB($s;$d;0;0;-1)", "!negative length -1"},
      {"C_BLOB($s;$d)\nSET BLOB SIZE($s;3)\nCOPY BLOB($s;$d;2;0;2)", "!2"},
      {"C_BLOB($s;$d)\nSET BLOB SIZE($s;3)\nCOPY BLOB($s;$d;0;-1;1)", "!-1"},
      {"C_BLOB($s;$d)\nTEXT TO BLOB(\"xyz\";$s;3)\nCOPY BLOB($s;$d;1;2;2)\n$o:=2\nECHO(String(BLOB size($d))+\" \"+BLOB to text($d;3;$o;2))",
       "4 yz"},
      {"C_BLOB($b)\nINSERT IN BLOB($b;0;-1)", "!negative length -1"},
      {"C_BLOB($b)\nINSERT IN BLOB($b;9;1)", "!9"},
      {"C_BLOB($b)\nDELETE FROM BLOB($b;0;-1)", "!negative length -1"},
      {"C_BLOB($b)\nDELETE FROM BLOB($b;3;1)", "!3"},
      {"C_BLOB($b)\nC_LONGINT($l)\nC_TIME($t)\nC_BOOLEAN($f)\nC_DATE($d)\n$l:=-7\n$t:=?01:02:03?\n$f:=True\n$d:=!2024-02-29!\n"
       "VARIABLE TO BLOB($l;$b)\nVARIABLE TO BLOB($t;$b;*)\nVARIABLE TO BLOB($f;$b;*)\nVARIABLE TO BLOB($d;$b;*)\n"
       "$o:=0\nBLOB TO VARIABLE($b;$l2;$o)\nBLOB TO VARIABLE($b;$t2;$o)\nBLOB TO VARIABLE($b;$f2;$o)\nBLOB TO VARIABLE($b;$d2;$o)\n"
       "ECHO(String($l2)+\" \"+String($t2)+\" \"+String($f2)+\" \"+String($d2;ISO date))",
       "-7 01:02:03 True 2024-02-29T00:00:00"},
      {"C_BLOB($b;$x)\nSET BLOB SIZE($x;2;7)\nVARIABLE TO BLOB($x;$b)\nBLOB TO VARIABLE($b;$y)\nECHO(BLOB size($y))", "2"},
      {"C_BLOB($b)\nARRAY LONGINT($a;2)\n$a{2}:=5\nVARIABLE TO BLOB($a;$b)\nBLOB TO VARIABLE($b;$c)\nECHO(String(Size of array($c))+String($c{2}))",
       "25"},
      {"$x:=1\nBLOB TO VARIABLE(\"x\";$x)", "!the first parameter must be a BLOB, not a text"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;10;1)\nCOMPRESS BLOB($b)\nBLOB PROPERTIES($b;$c;$e;$s)\nECHO(String($c)+\" \"+String($e)+\" \"+String($s))",
       "0 10 10"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;500;1)\nCOMPRESS BLOB($b)\n$n:=BLOB size($b)\nCOMPRESS BLOB($b)\nECHO(String(OK)+String(BLOB size($b)=$n))",
       "1True"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;500;1)\nCOMPRESS BLOB($b;Fast compression mode)\nBLOB PROPERTIES($b;$c)\nECHO($c)", "2"},
      {"BLOB PROPERTIES(\"x\";$c)", "!the first parameter must be a BLOB"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;10;1)\nON ERR CALL(\"caught\")\nEXPAND BLOB($b)\nECHO(String(Error)+\" \"+String(OK)+\" \"+String(BLOB size($b)))",
       "-10600 0 10"},
  });
}

TEST_F(BadInput, Arrays) {
  Check({
      {"ARRAY LONGINT($a;-1)", "!the size must be 0 to"},
      {"ARRAY LONGINT(Current time;3)", "!parameter 1 must be a variable"},
      {"ARRAY LONGINT($a;2;2)\nAPPEND TO ARRAY($a{1}{1};5)", "!APPEND TO ARRAY: $a{}{} is not an array"},
      {"$x:=5\nAPPEND TO ARRAY($x;1)", "!APPEND TO ARRAY: $x is not an array"},
      {"$x:=5\nECHO(Find in array($x;1))", "!Find in array: $x is not an array"},
      {"$x:=5\nECHO(Find in sorted array($x;1;>))", "!Find in sorted array: $x is not an array"},
      {"MULTI SORT ARRAY(>)", "!an order must follow an array"},
      {"ARRAY LONGINT($a;2)\n$x:=Find in sorted array($a;1;*)", "!Find in sorted array: the order is > or <"},
      {"$x:=1\nARRAY LONGINT($x;2)", "!$x is already a real"},
      {"ARRAY PICTURE($p;2)\nECHO(Size of array($p))", "2"},
      {"ARRAY STRING(0;$s;2)", "!the length must be 1 to 255"},
      {"$x:=1\n$n:=Size of array($x)", "!$x is not an array"},
      {"APPEND TO ARRAY($u;Null)\nAPPEND TO ARRAY($v;2.5)\nARRAY OBJECT($o;1)\n$o{1}:=New object\n$o{1}:=Null\n"
       "ECHO(String(Size of array($u))+String(Type($u))+String(Type($v))+String($u{1}=Null)+String($o{1}=Null))",
       "13914TrueTrue"},
      {"ARRAY LONGINT($a;0)\nAPPEND TO ARRAY($a;\"x\")", "!an element of $a"},
      {"ARRAY DATE($d;3)\n$d{2}:=!2024-01-01!\n$d{3}:=!2024-01-01!\nECHO(String(Find in array($d;!2024-01-01!))+String(Find in array($d;!2024-01-01!;3)))",
       "23"},
      {"ARRAY BOOLEAN($b;2)\n$b{2}:=True\nECHO(Find in array($b;True))", "2"},
      {"ARRAY LONGINT($a;2)\nARRAY LONGINT($b;3)\nSORT ARRAY($a;$b)", "!has not as many elements as the first array"},
      {"SORT ARRAY(>)", "!no array to sort"},
      {"ARRAY LONGINT($a;3)\n$a{1}:=2\n$a{2}:=1\n$a{3}:=2\nARRAY TEXT($t;3)\n$t{1}:=\"b\"\n$t{2}:=\"c\"\n$t{3}:=\"a\"\n"
       "ARRAY POINTER($p;2)\n$p{1}:=->$a\n$p{2}:=->$t\nARRAY LONGINT($o;2)\n$o{1}:=-1\n$o{2}:=1\nMULTI SORT ARRAY($p;$o)\n"
       "ECHO($t{1}+$t{2}+$t{3})",
       "abc"},
      {"ARRAY POINTER($p;1)\n$p{1}:=->$x\nARRAY LONGINT($o;1)\nMULTI SORT ARRAY($p;$o)", "!does not point to an array"},
      {"ARRAY POINTER($p;1)\nARRAY TEXT($o;1)\nMULTI SORT ARRAY($p;$o)", "!the orders must be an array of numbers"},
      {"ARRAY POINTER($p;1)\nMULTI SORT ARRAY($p)", "!pass an array of pointers and an array of orders"},
            {"ARRAY LONGINT($a;1)\nINSERT IN ARRAY($a;0;1)", "!the position must be 1 or more"},
      {"ARRAY LONGINT($a;1)\nDELETE FROM ARRAY($a;5)\nECHO(Size of array($a))", "1"},
      {"$x:=1\nCOPY ARRAY($x;$y)", "!$x is not an array"},
      {"$x:=1\n$n:=Count in array($x;1)", "!$x is not an array"},
      {"$x:=1\n$f:=Find in sorted array($x;1;>)", "!$x is not an array"},
      {"ARRAY LONGINT($a;3)\n$a{1}:=1\n$a{2}:=5\n$a{3}:=5\n$f:=Find in sorted array($a;5;>;$first;$last)\nECHO(String($f)+String($first)+String($last))",
       "True23"},
      {"ARRAY LONGINT($a;3)\n$a{1}:=9\n$a{2}:=5\n$a{3}:=1\n$f:=Find in sorted array($a;4;<;$first)\nECHO(String($f)+String($first))",
       "False3"},
  });
}

TEST_F(BadInput, Formats) {
  Check({
      {"ECHO(String(!2026-12-29!;System date abbreviated))", "Tue, Dec 29, 2026"},
      {"CONFIRM(\"a\";5)", "!CONFIRM: the OK button must be a text, not a real"},
      {"CONFIRM(\"a\";\"ok\";5)", "!CONFIRM: the Cancel button must be a text, not a real"},
      {"$x:=Time string(\"a\")", "!Time string: the seconds must be a number, not a text"},
      {"ECHO(String(!2026-12-29!;System date long))", "Tuesday, December 29, 2026"},
      {"ECHO(String(!2026-12-29!;Internal date long)+\"|\"+String(!2026-12-29!;Internal date abbreviated))",
       "December 29, 2026|Dec 29, 2026"},
      {"ECHO(String(!2026-12-29!;Internal date short special;?10:30:00?))", "12/29/26 10:30:00"},
      {"ECHO(String(!2026-12-29!;77))", "!unknown date format 77"},
      {"ECHO(String(?01:02:03?;HH MM SS)+\"|\"+String(?01:02:03?;Hour min)+\"|\"+String(?01:02:03?;ISO time))",
       "01:02:03|1 hour 2 minutes|0000-00-00T01:02:03"},
      {"ECHO(String(?13:05:09?;HH MM AM PM)+\"|\"+String(?00:00:00?;Blank if null time+HH MM SS)+\"|\")", "1:05 PM||"},
      {"ECHO(String(?01:02:03?;77))", "!unknown time format 77"},
      {"ECHO(String(?01:02:03?;\"x\";5))", "!a time can only be added to a date"},
      {"ECHO(String(!2026-12-29!;\"GGGG QQQQ QQQ EEEEE EEEEEE a k 'o''clock'\"))",
       "Anno Domini 4th quarter Q4 T Tu AM 24 o'clock"},
      {"ECHO(String(!2026-12-29!;\"yyyy-MM-dd\";?09:05:00?))", "2026-12-29"},
      {"ECHO(String(255;\"&x\")+\"|\"+String(5;\"&$\"))", "0x00FF|$5"},
      {"ECHO(String(12;True))", "!a number's format is a text"},
      {"ECHO(String(12;99))", "!the base must be 2 to 36"},
      {"ECHO(String(255;16)+\" \"+String(-5;2))", "ff -101"},
      {"C_BLOB($b)\nECHO(String($b))", "!String cannot convert a BLOB"},
      {"GET SYSTEM FORMAT(99;$t)", "!unknown format 99"},
  });
}

TEST_F(BadInput, Objects) {
  Check({
      {"$o:=New object(\"n\";5;\"t\";\"42\";\"b\";True;\"d\";\"2024-02-29\";\"s\";\"true\")\n"
       "ECHO(OB Get($o;\"n\";Is text)+\" \"+String(OB Get($o;\"t\";Is longint)+OB Get($o;\"b\";Is real))+\" \"+"
       "String(OB Get($o;\"s\";Is boolean))+\" \"+String(OB Get($o;\"d\";Is date))+\" \"+String(OB Get($o;\"n\";Is time)))",
       "5 43 True 02/29/2024 00:00:05"},
      {"$o:=New object\nECHO(OB Get($o;\"x\";Is text)+String(OB Get($o;\"x\";Is longint))+String(OB Get($o;\"x\";Is boolean)))",
       "0False"},
      {"$o:=New object(\"c\";New collection)\n$v:=OB Get($o;\"c\";Is longint)", "!cannot convert a collection to type 9"},
      {"$o:=New object(\"c\";5)\n$v:=OB Get($o;\"c\";Is object)", "!cannot convert"},
      {"$o:=New object(\"c\";5)\n$v:=OB Get($o;\"c\";77)", "!unknown type 77"},
      {"$o:=New object(\"n\";5;\"c\";New collection)\nECHO(String(OB Get type($o;\"n\"))+String(OB Get type($o;\"c\"))+String(OB Get type($o;\"z\")))",
       "1425"},
      {"ECHO(String(OB Is shared(New shared object))+String(OB Is shared(New object)))", "TrueFalse"},
      {"$c:=OB Copy(\"x\")", "!OB Copy: the parameter must be an object"},
      {"$o:=New object\nOB SET($o;\"a\")", "!OB SET takes at least 3 parameters"},
      {"$o:=New object\nOB SET($o;\"a\";1;\"b\")", "!each property name needs a value"},
      {"$o:=New object(\"a\")", "!each property name needs a value"},
      {"ARRAY LONGINT($a;1)\n$o:=New object(\"a\";$a)", "!an array cannot be a property"},
      {"ARRAY LONGINT($a;1)\n$c:=New collection($a)", "!an array cannot be an element"},
      {"$v:=OB Get(5;\"a\")", "!the parameter must be an object, not a real"},
      {"ECHO(JSON Parse(\"42\";Is text)+String(JSON Parse(\"\\\"7\\\"\";Is longint))+String(JSON Parse(\"1\";Is boolean)))", "427True"},
      {"$v:=JSON Parse(\"{\")", "!JSON Parse:"},
      {"$o:=New object(\"a\";1)\nOB REMOVE($o;\"a\")\nOB SET NULL($o;\"b\")\nECHO(JSON Stringify($o)+String(OB Is empty(New object)))", "{\"b\":null}True"},
  });
}

TEST_F(BadInput, FileAndFolderObjects) {
  Check({
      {"$f:=File(\"DIR/a.txt\")\n$f.setText(\"x\")\n$f.rename(\"b.txt\")\nECHO(String(File(\"DIR/b.txt\").exists)+String($f.exists))", "TrueFalse"},
      {"$f:=File(\"DIR/a.txt\")\n$f.setText(\"x\")\n$f.rename(5)", "!.rename() takes the new name"},
      {"$f:=File(\"a\";7)", "!File: the path type must be fk posix path or fk platform path"},
      {"$f:=File(\"\")", "!File: the path is empty"},
      {"$f:=Folder(fk desktop folder;\"x\")", "!Folder: a folder constant comes alone"},
      {"$d:=Folder(\"DIR\")\nECHO(String($d.isFolder)+String($d.isAlias)+String(File(\"DIR/.h\").hidden))", "TrueFalseTrue"},
      {"$f:=File(\"DIR/a.txt\")\n$f.setContent(5)", "!.setContent() takes a BLOB"},
      {"$f:=File(\"DIR/a.txt\")\n$f.setText()", "!.setText() needs the text to write"},
      {"$f:=File(\"DIR/a.txt\")\n$f.setText(\"x\";\"klingon\")", "!the character set klingon is not"},
      {"$f:=File(\"DIR/a.txt\")\n$f.setText(\"x\";\"UTF-8\";9)", "!the line break mode must be 0 to 4"},
      {"$f:=File(\"DIR/a.txt\")\n$f.setText(\"é\";\"UTF-16LE\")\nECHO(String($f.size)+$f.getText(\"UTF-16LE\"))", "4é"},
      {"$f:=File(\"DIR/a.txt\")\n$f.setText(\"a\";\"UTF-8-no-bom\";Document with CRLF)\nECHO($f.size)", "1"},
      {"$s:=File(\"DIR/none.txt\").size", "!cannot read the size of"},
      {"$t:=File(\"DIR/none.txt\").getText()", "!cannot open"},
      {"$d:=Folder(\"DIR/x\")\n$d.create()\nFile(\"DIR/x/y/z.txt\").create()\nFile(\"DIR/x/.h\").create()\n"
       "ECHO(String($d.files(fk recursive).length)+String($d.files(fk ignore invisible).length)+String($d.folders(fk recursive).length))",
       "201"},
      {"$d:=Folder(\"DIR\")\n$f:=$d.file()", "!the path of the file or folder is expected"},
      {"$f:=File(\"DIR/a.txt\")\n$f.create()\n$f.copyTo(5)", "!the destination must be a Folder object"},
      {"$f:=File(\"DIR/a.txt\")\n$f.create()\n$f.copyTo(Folder(\"DIR\");\"x/y\")", "!is not a name for a"},
      {"$f:=File(\"DIR/a.txt\")\n$f.create()\n$f.copyTo(Folder(\"DIR\");\"a.txt\")", "!exists already"},
      {"$f:=File(\"DIR/a.txt\")\n$f.setText(\"1\")\n$g:=$f.copyTo(Folder(\"DIR\");\"c.txt\")\n$f.setText(\"22\")\n"
       "$g:=$f.copyTo(Folder(\"DIR\");\"c.txt\";fk overwrite)\nECHO($g.getText())", "22"},
      {"$d:=Folder(\"DIR/e\")\n$d.create()\n$d.delete(Delete with contents)\nECHO($d.exists)", "False"},
      {"ECHO(String(Folder(\"/\").parent=Null)+File(\"DIR/a.tar.gz\").extension+File(\"DIR/.rc\").name)", "True.gz.rc"},
  });
}

TEST_F(BadInput, Language) {
  Check({
      {"$o:=New object\n$p:=$o\nECHO(String($o=$p)+String($o=New object)+String(Null=Null)+String(Null#5))", "TrueFalseTrueTrue"},
      {"$k:=\"a\"<5", "!cannot compare a text with a real"},
      {"$k:=New object<New object", "!the operator < does not apply to an object and an object"},
      {"$k:=$nothing+1", "!the variable $nothing is not defined"},
      {"ECHO(String(5.0 ?? 0)+String(6.0 | 1)+String(\"a b\" % \"b\"))", "True7True"},
      {"ECHO(\"ab\"*3+\"|\"+(\"ab\"*0)+\"|\"+String(!00-00-00!+1)+\"|\"+String(!2024-03-01!-!2024-02-01!))", "ababab||00/00/00|29"},
      {"$d:=!9999-12-31!+1", "!the date is out of range"},
      {"$d:=!2024-01-01!+\"x\"", "!"},
      {"ECHO(String(?01:00:00?+?00:30:00?)+\" \"+String(?01:00:00?*2)+\" \"+String(?01:00:00?-?00:00:01?))", "01:30:00 7200 00:59:59"},
      {"$h:=?01:00:00?+\"x\"", "!"},
      {"C_LONGINT($l)\nC_REAL($r)\nC_TIME($t)\nC_PICTURE($p)\nC_BLOB($b)\nSET BLOB SIZE($b;2)\n$l:=?00:01:00?\n$r:=?00:00:30?\n$t:=90\n$p:=$b\n"
       "$b:=$p\n$t:=$t+0.4\nECHO(String($l)+\" \"+String($r)+\" \"+String($t)+\" \"+String(BLOB size($b)))",
       "60 30 00:01:30 2"},
      {"ARRAY LONGINT($a;1)\n$a{1}:=New object.x", "!is undefined"},
      {"ARRAY LONGINT($a;1)\n$a:=5", "!arrays cannot be assigned with :="},
      {"C_COLLECTION($c)\n$c:=New collection(1)\n$c:=Null\nECHO(String($c=Null))", "True"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;1)\n$b{0}:=\"x\"", "!a BLOB byte takes a number, not a text"},
      {"$x:=5\n$y:=$x{1}", "!$x is a real: it has no elements"},
      {"$x:=5\n$x{1}:=2", "!$x is a real: it has no elements"},
      {"ARRAY LONGINT($a;2)\n$y:=$a{1}{1}", "!is not a two-dimensional array"},
      {"$y:=$nope{1}", "!the variable $nope is not defined"},
      {"$nope{1}:=3", "!the variable $nope is not defined"},
      {"ARRAY LONGINT($a;2)\n$i:=-1\n$p:=->$a{$i}", "!index -1 is out of range"},
      {"$i:=-1\n$x:=${$i}", "!the parameter ${-1} was not passed"},
      {"$i:=-1\n${$i}:=2", "!there is no parameter ${-1}"},
      {"$x:=$1", "!the parameter $1 was not passed"},
      {"$i:=3\n$x:=${$i}", "!the parameter ${3} was not passed"},
      {"$p:=->$x\n$y:=-$p", "!cannot negate a pointer"},
      {"$t:=-?00:00:05?\nECHO($t)", "-00:00:05"},
      {"For ($i;1;\"x\")\nEnd for", "!the bounds of For must be numbers"},
      {"For ($i;1;2;0)\nEnd for", "!the step of For cannot be 0"},
      {"For ($i;1;3)\n$i:=\"x\"\nEnd for", "!"},
      {"$x:=\"a\"\nIf ($x)\nEnd if", "!must be a boolean"},
      {"Case of\n: (5)\nEnd case", "!must be a boolean"},
  });
}

TEST_F(BadInput, Documents) {
  Check({
      {"ECHO(String(Get 4D folder(Active 4D Folder)=\"@/vrx/\")+String(Get 4D folder(Licenses folder)=\"@/vrx/Licenses/\")+"
       "String(Get 4D folder(Current resources folder)=\"@/Resources/\")+String(Get 4D folder(HTML Root folder)=\"@/WebFolder/\")+"
       "String(Get 4D folder(Data folder)=\"@/Data/\")+String(Get 4D folder(MobileApps folder)=\"@/MobileApps/\"))",
       "TrueTrueTrueTrueTrueTrue"},
      {"$t:=Get 4D folder(99)", "!no folder of type 99"},
      {"ECHO(System folder(System)+System folder(Fonts)+System folder(User preferences_all)+System folder(Startup Win_all)+"
       "System folder(Applications or program files))",
       "/etc//usr/share/fonts//etc/xdg//etc/xdg/autostart//usr/bin/"},
      {"ECHO(String(System folder(User preferences_user)=\"@/\")+String(System folder(Startup Win_user)=\"@/.config/autostart/\")+"
       "String(System folder(Desktop)=\"@/Desktop/\")+String(System folder(Documents folder)=\"@/Documents/\"))",
       "TrueTrueTrueTrue"},
      {"$t:=System folder(99)", "!no folder of type 99"},
      {"BLOB TO DOCUMENT(\"DIR/x\";5)", "!the second parameter must be a BLOB"},
      {"DELETE DOCUMENT(\"DIR/none\")", "!cannot delete the document"},
      {"$n:=Get document size(\"DIR/none\")", "!no document"},
      {"CREATE FOLDER(\"DIR/a/b/c/\";*)\nECHO(Test path name(\"DIR/a/b/c/\"))", "0"},
      {"$d:=Open document(\"\")", "!a path is needed"},
      {"$d:=Create document(\"DIR/m.txt\")\nCLOSE DOCUMENT($d)\n$d:=Open document(\"DIR/m.txt\";\"\";9)", "!unknown mode 9"},
      {"CLOSE DOCUMENT(\"x\")", "!the document reference must be a time, not a text"},
      {"CLOSE DOCUMENT(?00:01:39?)", "!no open document has the reference 99"},
      {"SEND PACKET(\"x\")", "!vrx run writes to documents only"},
      {"$d:=Create document(\"DIR/p.txt\")\nSEND PACKET($d;5)", "!the packet must be a text or a BLOB, not a real"},
      {"$d:=Create document(\"DIR/q.txt\")\n$x:=5\nRECEIVE PACKET($d;$x;\"\\n\")", "!$x is a real, not a text or a BLOB"},
      {"$d:=Create document(\"DIR/r.txt\")\nRECEIVE PACKET($d;$t;\"\")", "!the stop text is empty"},
      {"$d:=Create document(\"DIR/s.txt\")\nRECEIVE PACKET($d;$t;-1)", "!bad byte count -1"},
      {"$d:=Create document(\"DIR/t.txt\")\nRECEIVE PACKET($d;$t;True)", "!the third parameter is a stop text or a byte count"},
      {"RECEIVE PACKET($t;$x)", "!vrx run reads documents only"},
      {"$d:=Create document(\"DIR/u.txt\")\nSET DOCUMENT POSITION($d;0;5)", "!the anchor must be 1, 2 or 3"},
      {"$d:=Create document(\"DIR/v.txt\")\nSEND PACKET($d;\"abcdef\")\nSET DOCUMENT POSITION($d;1)\nSET DOCUMENT POSITION($d;2;3)\n"
       "ECHO(Get document position($d))",
       "3"},
      {"C_BLOB($b)\nCREATE FOLDER(\"DIR/l/m/\";*)\nBLOB TO DOCUMENT(\"DIR/l/m/.x\";$b)\nBLOB TO DOCUMENT(\"DIR/l/y\";$b)\n"
       "DOCUMENT LIST(\"DIR/l\";$a;Recursive parsing)\nDOCUMENT LIST(\"DIR/l\";$b2;Recursive parsing+Ignore invisible+Absolute path)\n"
       "ECHO(String(Size of array($a))+\" \"+String(Size of array($b2))+\" \"+String($b2{1}=\"/@/l/y\"))",
       "2 1 True"},
      {"DOCUMENT LIST(\"DIR/none\";$a)", "!no folder"},
      {"ARRAY LONGINT($a;0)\nDOCUMENT LIST(\"DIR\";$a)", "!is an array of another type than text"},
      {"DELETE FOLDER(\"DIR/none\")", "!no folder"},
      {"C_BLOB($b)\nCREATE FOLDER(\"DIR/cf/in/\";*)\nCREATE FOLDER(\"DIR/cg/\")\nBLOB TO DOCUMENT(\"DIR/cf/in/x\";$b)\nCOPY DOCUMENT(\"DIR/cf/\";\"DIR/cg/\")\n"
       "COPY DOCUMENT(\"DIR/cf/in/x\";\"DIR/cf/\";\"y\")\nCOPY DOCUMENT(\"DIR/cf/in/x\";\"DIR/cf/z\";\"w\")\n"
       "ECHO(String(Test path name(\"DIR/cg/cf/in/x\"))+String(Test path name(\"DIR/cf/y\"))+String(Test path name(\"DIR/cf/w\")))",
       "111"},
      {"COPY DOCUMENT(\"DIR/none\";\"DIR/n2\")", "!no document"},
      {"C_BLOB($b)\nBLOB TO DOCUMENT(\"DIR/m1\";$b)\nBLOB TO DOCUMENT(\"DIR/m2\";$b)\nMOVE DOCUMENT(\"DIR/m1\";\"DIR/m2\")", "!already exists"},
      {"$t:=Object to path(5)", "!the parameter must be an object, not a real"},
      {"ECHO(Object to path(New object(\"parentFolder\";\"/a\";\"name\";\"b\";\"extension\";\".c\";\"isFolder\";True)))", "/a/b.c/"},
      {"$o:=Path to object(\"/a/b.tar.gz\")\nECHO($o.parentFolder+\" \"+$o.name+\" \"+$o.extension+\" \"+String($o.isFolder))", "/a/ b.tar .gz False"},
      {"ECHO(Convert path system to POSIX(\"/a b/é\";*)+\" \"+Convert path POSIX to system(\"/a%20b/%C3%A9%4\";*))",
       "/a%20b/%C3%A9 /a b/é%4"},
  });
}

TEST_F(BadInput, PluginParameters) {
  plugin_ = true;
  Check({
      {"$s:=VRX_DateToSeconds(\"x\";?00:00:00?;0)", "!parameter 1 expects a date, not a text"},
      {"$s:=VRX_DateToSeconds(!2024-01-01!;\"x\";0)", "!parameter 2 expects a time, not a text"},
      {"$r:=VRX_GetPictureInfo(5;$a;$b;$c;$d;$e)", "!parameter 1 expects a picture, not a"},
      {"$r:=VRX_GetStreamStates(\"x\";$st;0)", "!parameter 1 expects a longint array, not a text"},
      {"$r:=VRX_OpenStream(\"h\";\"x\";0;0;0;0;0)", "!parameter 2 expects an integer, not a text"},
      {"$r:=VRX_OpenStream(5;80;0;0;0;0;0)", "!parameter 1 expects a string, not a"},
      {"$x:=5\n$r:=VRX_SendText(0;$x;0;0)", "!parameter 2 expects a text, not a"},
      {"$x:=5\nVRX_MapBlobChars($x)", "!parameter 1 expects a BLOB, not a"},
      {"$r:=VRX_GetStreamRef(*)", "!* is not a value"},
      {"VRX_MapBlobChars($new)\nECHO(BLOB size($new))", "0"},
      {"ARRAY LONGINT($refs;2)\nARRAY REAL($st;2)\n$r:=VRX_GetStreamStates($refs;$st;0)\nECHO(String(Size of array($st))+\" \"+String(Type($st)))", "2 14"},
      {"ARRAY LONGINT($t;2)\n$t{2}:=VRX_GetTicks\n$r:=VRX_StopTimer($t{2})\n$p:=->$t{1}\n$r:=VRX_StopTimer($p->)\nECHO($t{1})", "0"},
      {"C_PICTURE($p)\nC_BLOB($b)\n$r:=VRX_SendUDP(0;\"\";0;0;\"x\")+VRX_SendUDP(0;\"\";0;0;$b)+VRX_SendUDP(0;\"\";0;0;$p)+"
       "VRX_SendUDP(0;\"\";0;0;!2024-01-01!)+VRX_SendUDP(0;\"\";0;0;?00:00:01?)+VRX_SendUDP(0;\"\";0;0;New object)\nECHO($r)",
       "-6"},
  });
  Check({
      // outputs into elements and through pointers take each kind the host gives back
      {"ARRAY TEXT($t;2)\nARRAY LONGINT($l;2)\n$r:=VRX_GetStreamAddressText(0;$t{1};$l{1};$t{2};$l{2})\nECHO(String($r)+\"|\"+$t{1}+\"|\")", "-1||"},
      {"ARRAY BLOB($b;1)\nC_BLOB($x)\nSET BLOB SIZE($x;2;65)\n$b{1}:=$x\nVRX_MapBlobChars($b{1})\nECHO(BLOB size($b{1}))", "2"},
      {"C_BLOB($x)\nSET BLOB SIZE($x;3)\n$p:=->$x\nVRX_MapBlobChars($p->)\nECHO(BLOB size($x))", "3"},
      {"ARRAY DATE($d;1)\nARRAY TIME($h;1)\nVRX_SecondsToDate(90061;$d{1};$h{1};0)\nECHO(String($d{1};ISO date)+\" \"+String($h{1}))",
       "1904-01-02T00:00:00 01:01:01"},
      {"C_TIME($h)\nC_DATE($d)\n$d:=!1904-01-01!\n$h:=?00:00:01?\n$s:=VRX_DateToSeconds($d;$h;0)+VRX_DateToSeconds(!1904-01-01!;61;0)\nECHO($s)", "62"},
      {"$r:=VRX_GetStreamAddresses(0;$a;$p;$q;$x;$y)\nECHO(String($r)+String(Type($p)))", "-19"},
      {"$r:=VRX_SendUDP(0;\"\";0;0;Null)\nECHO($r)", "-1"},
  });
  trace_ = true;
  Check({
      {"$s:=VRX_DateToSeconds(!2024-01-01!;?01:00:00?;0)", "!VRX_DateToSeconds(!2024-01-01!; ?01:00:00?; 0) -> "},
      {"VRX_SecondsToDate(3600;$d;$t;0)", "!out: $2=!1904-01-01!, $3=?01:00:00?"},
      {"C_PICTURE($p)\n$r:=VRX_GetPictureInfo($p;$a;$b;$c;$d;$e)", "!VRX_GetPictureInfo(picture(0 bytes);"},
      {"ARRAY LONGINT($refs;9)\n$r:=VRX_GetStreamStates($refs;$st;0)", "!VRX_GetStreamStates([0, 0, 0, 0, 0, 0, 0, 0, ... 9 elements]; [];"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;3)\nVRX_MapBlobChars($b)", "!VRX_MapBlobChars(BLOB(3 bytes))"},
      {"$t:=VRX_EncodeBase64(\"a\"+Char(1)+Char(9)+\"\\\"\"+(\"x\"*70);0)", "!VRX_EncodeBase64(\"a\\x01\\t\\\""},
  });
}

TEST_F(BadInput, Syntax) {
  Check({
      {"If\nEnd if", "!a condition is missing"},
      {"1:=2", "!only a variable can be assigned"},
      {"$d:=!2020-01-01", "!the date is not closed (missing !)"},
      {"Case of\n: (True)\nElse\nElse\nEnd case", "!a second Else in Case of"},
      {": (True)", "!\":\" outside Case of"},
      {"End for each", "!End for each without For each"},
      {"End use", "!End use without Use"},
      {"End if", "!End if without If"},
      {"End case", "!End case without Case of"},
      {"End while", "!End while without While"},
      {"Until (True)", "!Until without Repeat"},
      {"If (True)\nElse\nElse\nEnd if", "!Else without If or Case of"},
      {"Case of\nElse\nElse\nEnd case", "!a second Else in Case of"},
      {"Case of\n: (True)\n", "!missing End case"},
      {"Case of\nECHO(1)\nEnd case", "!expected \":\", Else or End case in Case of"},
      {"For (5;1;2)\nEnd for", "!the counter of For must be a variable"},
      {"For each (5;New collection)\nEnd for each", "!the item of For each must be a variable"},
      {"var $x : 5", "!expected a type, found"},
      {"var $x : cs.5", "!unknown type \"cs\""},
      {"var 5 : Integer", "!expected a variable to declare"},
      {"var vX : Integer\nvar <>y : Text\nvX:=2\n<>y:=\"a\"\nECHO(String(vX)+<>y)", "2a"},
      {"#DECLARE(x : Integer)", "!expected a parameter ($name)"},
      {"Length(\"a\"):=3", "!"},
      {"C_STRING(0;$s)", "!the length must be 1 to 255"},
      {"C_STRING(3;$s)\n$s:=\"abcdef\"\nECHO($s)", "abc"},
      {"ARRAY LONGINT($a;1)\nC_TEXT($a)", "!$a is an array and cannot be declared"},
      {"$p:=5\n$b:=Is nil pointer($p)", "!Is nil pointer: the parameter is a"},
      {"SET REAL COMPARISON LEVEL(-1)", "!the epsilon cannot be negative"},
      {"$c:=Character code(\"\")", "!Character code of an empty text"},
      {"ECHO(String(Num(!2024-01-01!)))", "!Num cannot convert a date"},
      {"ECHO(Replace string(\"aaa\";\"a\";\"b\";2;5))", "!the fifth parameter can only be *"},
      {"ECHO(Uppercase(\"a\";5))", "!the second parameter can only be *"},
      {"ARRAY LONGINT($a;1)\nECHO($a)", "!ECHO cannot print an array"},
      {"$x:=Abs(\"a\")", "!Abs: the parameter must be a number"},
      {"$x:=Round(1.5;20)", "!Round: the places must be -15 to 15"},
      {"$x:=Day of(5)", "!the parameter must be a date"},
      {"ON ERR CALL(\"nowhere\")", "!ON ERR CALL: Unknown method: nowhere"},
      {"EXECUTE METHOD(\"nowhere\")", "!EXECUTE METHOD: Unknown method: nowhere"},
      {"EXECUTE METHOD(\"caught\";*;1;2)\nECHO(\"ran\")", "ran"},
      {"$p:=New process(\"caught\";0)", "!New process needs the host"},
      {"DELAY PROCESS(Current process;1)", "!DELAY PROCESS needs the host"},
      {"$b:=Semaphore(\"\")", "!Semaphore: the name must have 1 to 255 characters"},
      {"$b:=Semaphore(\"$s\")\n$c:=Semaphore(\"$s\";3)\nCLEAR SEMAPHORE(\"$s\")\n$d:=Semaphore(\"$s\")\nECHO(String($b)+String($c)+String($d))",
       "FalseTrueFalse"},
  });
}

TEST_F(BadInput, ObjectsAndCollectionsInExpressions) {
  Check({
      {"C_COLLECTION($c)\n$n:=$c.length", "!the collection is null: it has no length"},
      {"$x:=5\n$y:=$x.name", "!cannot read the property \"name\" of a"},
      {"$x:=5\n$y:=$x[1]", "![ ] reads collections and objects, not a"},
      {"$t:=\"abc\"\n$t[[2]]:=\"xy\"", "!a character reference takes one character, not \"xy\""},
      {"$t:=\"abc\"\n$t[[2]]:=\"X\"\nECHO($t+$t[[3]])", "aXcc"},
      {"C_COLLECTION($c)\n$c[0]:=1", "!the collection is null"},
      {"$c:=New collection\n$i:=-1\n$c[$i]:=1", "!the collection index -1 is out of range"},
      {"C_COLLECTION($c)\n$c.push(1)", "!the collection is null: .push() cannot be called"},
      {"$x:=5\n$x.push(1)", "!.push() is not a function of a"},
      {"ARRAY LONGINT($a;1)\n$o:=New object\n$o.a:=$a", "!an array cannot be put into an object"},
      {"ARRAY LONGINT($a;1)\n$c:=New collection(1)\n$c[0]:=$a", "!an array cannot be put into"},
      {"$c:=New collection(10;20;30;40)\n$s:=\"\"\nFor each ($v;$c;1;3)\n$s:=$s+String($v)+\" \"\nEnd for each\nECHO($s)", "20 30 "},
      {"$c:=New collection(1;2;3;4)\n$t:=0\nFor each ($v;$c) While ($t<3)\n$t:=$t+$v\nEnd for each\nECHO($t)", "3"},
      {"$c:=New collection(1;2;3;4)\n$t:=0\nFor each ($v;$c)\n$t:=$t+$v\nEnd for each Until ($t>=3)\nECHO($t)", "3"},
      {"$o:=New object(\"a\";1;\"b\";2)\n$s:=\"\"\nFor each ($k;$o)\n$s:=$s+$k\nEnd for each\nECHO($s)", "ab"},
      {"For each ($v;New collection(1);\"x\")\nEnd for each", "!the beginning of For each"},
      {"Use (5)\nEnd use", "!Use needs a shared object or collection, not a"},
      {"$s:=New shared object\nUse ($s)\n$s.a:=1\nEnd use\nECHO($s.a)", "1"},
  });
}

TEST_F(BadInput, CollectionFunctions) {
  Check({
      {"$c:=New collection(1;2;3)\n$c.insert(1;9)\n$c.remove(2;5)\nECHO(JSON Stringify($c))", "[1,9]"},
      {"$c:=New collection(1)\n$c.insert(\"x\";9)", "!index must be a number"},
      {"$c:=New collection(1)\n$c.resize(3;7)\nECHO(JSON Stringify($c))", "[1,7,7]"},
      {"$c:=New collection(1)\n$c.resize(-1)", "!resize: the size is out of range"},
      {"$c:=New collection(1;2;1;2)\nECHO(String($c.indexOf(2;2))+String($c.lastIndexOf(1;2))+String($c.indexOf(5)))", "32-1"},
      {"$c:=New collection(\"a\";Null;\"\";\"b\")\nECHO($c.join(\"-\")+\" \"+$c.join(\"-\";4))", "a---b a-b"},
      {"$c:=New collection(1;2;3;4)\nECHO(JSON Stringify($c.slice(1;3))+JSON Stringify($c.slice(-1)))", "[2,3][4]"},
      {"ARRAY LONGINT($a;1)\n$c:=New collection(1).concat($a)", "!concat: an array cannot be put into a collection"},
      {"$c:=New collection(New object(\"a\";1))\n$d:=$c.copy(ck shared)\nECHO(String(OB Is shared($d))+String(OB Is shared($d[0])))", "TrueTrue"},
      {"$c:=New collection(New object(\"a\";1;\"b\";2);New object(\"a\";1;\"b\";3);New object(\"a\";0;\"b\";1))\n"
       "ECHO(JSON Stringify($c.orderBy(\"a desc, b desc\").extract(\"b\")))",
       "[3,2,1]"},
      {"$c:=New collection(1)\n$d:=$c.orderBy(\"a b c\")", "!orderBy: bad criteria \"a b c\""},
      {"$c:=New collection(1)\n$d:=$c.orderBy(New collection(New object(\"descending\";True)))", "!orderBy: each criterion needs a propertyPath"},
      {"$c:=New collection(1)\n$d:=$c.orderBy(True)", "!orderBy: the criteria must be a text, a collection or a number"},
      {"$c:=New collection(\"a\";\"A\";\"à\";\"b\")\nECHO(JSON Stringify($c.distinct())+JSON Stringify($c.distinct(8)))",
       "[\"a\",\"b\"][\"a\",\"A\",\"à\",\"b\"]"},
      {"$c:=New collection(\"a\";New object(\"x\";1))\nECHO(String($c.equal(New collection(\"A\";New object(\"x\";1))))+"
       "String($c.equal(New collection(\"A\";New object(\"x\";1));8)))",
       "TrueFalse"},
      {"$b:=New collection(1).equal(5)", "!equal(): the parameter must be a collection"},
      {"$c:=New collection(1;New collection(2;New collection(3)))\nECHO(JSON Stringify($c.flat())+JSON Stringify($c.flat(2)))", "[1,2,[3]][1,2,3]"},
      {"$c:=New collection(New object(\"a\";1);New object(\"b\";2))\nECHO(JSON Stringify($c.extract(\"a\"))+JSON Stringify($c.extract(\"a\";1))+"
       "JSON Stringify($c.extract(\"a\";\"x\";\"b\";\"y\")))",
       "[1][1,null][{\"x\":1},{\"y\":2}]"},
      {"$d:=New collection(1).extract(5;6)", "!extract: property paths must be texts"},
      {"$d:=New collection(1).extract(\"a\";\"b\";\"c\")", "!extract: each property path needs a target path"},
      {"$d:=New collection(1).query(5)", "!query: the query must be a text"},
      {"$d:=New collection(1).push()", "!"},
      {"$c:=New collection(3;1;2)\n$d:=$c.map(Formula($1.value*2))\nECHO(JSON Stringify($d))", "[6,2,4]"},
  });
}

TEST_F(BadInput, WhatTheParserFound) {
  Check({
      {"$x:=(1 \"a\")", "!expected \")\", found a text"},
      {"$x:=(1 !2024-01-01!)", "!expected \")\", found a date"},
      {"$x:=(1 ?01:00:00?)", "!expected \")\", found a time"},
      {"$x:=(1 := 2)", "!found \":=\""},
      {"$x:=(1 : 2)", "!found \":\""},
      {"$x:=(1 ; 2)", "!found \";\""},
      {"$x:=(1 (2))", "!found \"(\""},
      {"$x:=(1 {2})", "!found \"{\""},
      {"$x:=(1 })", "!found \"}\""},
      {"$x:=True ? 1 ; 2", "!\":\" of ? :"},
      {"$o:=New object\n$o.5:=1", "!a statement must be an assignment or a call"},
      {"$x:=True ? \"y\" : \"n\"\nECHO($x)", "y"},
      {"$ :=1", "!a local variable name is missing after $"},
      {"<> :=1", "!name is missing after <>"},
      {"$x:=?1:2?", "!?HH:MM:SS?"},
      {"ECHO(String(.5+1e1))", "10.5"},
  });
}

TEST_F(BadInput, TextsDatesAndEncodings) {
  Check({
      {"$t:=Convert to text(\"x\";\"UTF-8\")", "!Convert to text: the first parameter must be a BLOB, not a text"},
      {"$x:=Generate digest(5;0)", "!Generate digest: the value must be a text or a BLOB, not a real"},
      {"$x:=Substring(\"abc\";\"x\")", "!Substring: the start must be a number, not a text"},
      {"$c:=New collection(1)\n$x:=$c.query(5)", "!query: the query must be a text"},
      {"$o:=New object\n$x:=$o.f()", "!the object has no function .f()"},
      {"$o:=New object\nOB SET($o;5;1)", "!OB SET: the property must be a text, not a real"},
      {"$o:=OB Copy(5)", "!OB Copy: the parameter must be an object"},
      {"C_BLOB($b)\nCONVERT FROM TEXT(\"é\";\"ISO-8859-1\";$b)\nECHO(String(BLOB size($b))+Convert to text($b;\"ISO-8859-1\"))", "1é"},
      {"$r:=Generate digest(5;SHA512 digest)", "!Generate digest: the value must be a text or a BLOB, not a"},
      {"ECHO(Length(Generate digest(\"a\";SHA512 digest)))", "128"},
      {"$r:=Generate digest(\"a\";2)", "!obsolete"},
      {"$r:=Generate digest(\"a\";0;5)", "!the third parameter can only be *"},
      {"BASE64 ENCODE(\"a\")", "!only a variable can receive this value"},
      {"$d:=Date(5)", "!Date: the parameter must be a text or a date, not a"},
      {"ECHO(String(Date(!2024-01-02!);ISO date)+\" \"+String(Date(\"3/4/25\");ISO date)+\" \"+String(Date(\"2024-02-29T10:00:00\");ISO date))",
       "2024-01-02T00:00:00 2025-03-04T00:00:00 2024-02-29T00:00:00"},
      {"$t:=Time(!2024-01-01!)", "!Time: the parameter must be a text or a number, not a date"},
      {"ECHO(String(Time(\"2024-02-29T10:20:30\"))+\" \"+String(Time(3661)))", "10:20:30 01:01:01"},
      {"$d:=Add to date(!9999-12-01!;0;1;0)", "!Add to date: the date would be out of range"},
      {"$d:=Add to date(!2024-01-01!;-3000;0;0)", "!Add to date: the date would be out of range"},
      {"$d:=Day number(\"x\")", "!must be a date, not a text"},
      {"ECHO(Change string(\"abc\";\"XY\";9)+Delete string(\"abc\";9;1)+Insert string(\"ab\";\"-\";9))", "abcabcab-"},
      {"ECHO(String(Compare strings(\"a\";\"B\"))+String(Compare strings(\"a\";\"A\";sk case insensitive)))", "-10"},
      {"GET TEXT KEYWORDS(\"a b\";$w;5)", "!the third parameter can only be *"},
      {"$b:=Match regex(\"a\";\"a\";*)", "!Match regex: * needs the start"},
      {"$b:=Match regex(\"a\";\"a\";1;$p)", "!pass both the position and the length found, or neither"},
      {"ARRAY LONGINT($p;0)\nARRAY LONGINT($l;0)\n$b:=Match regex(\"(x)?b\";\"ab\";1;$p;$l)\nECHO(String($b)+String($p{1})+String($l{1}))", "True00"},
      {"ECHO(String(Position(\"b\";\"a😀b\";1;$len))+String($len))", "41"},
  });
}

TEST_F(BadInput, QueriesJsonAndFormulas) {
  Check({
      {"$c:=New collection(New object(\"n\";1;\"t\";\"a\");New object(\"n\";5;\"t\";\"b\");New object(\"n\";9;\"t\";\"c\"))\n"
       "ECHO(String($c.query(\"n != 5\").length)+String($c.query(\"n < 5 or n >= 9\").length)+String($c.query(\"n <= 5 and not(t = 'a')\").length)+"
       "String($c.query(\"t is 'B'\").length)+String($c.query(\"t is not 'b'\").length)+String($c.query(\"n > :1\";4).length)+"
       "String($c.query(\"n < 'x'\").length))",
       "2211220"},
      {"$d:=New collection(1).query((\"(\"*600)+\"a=1\")", "!too many parentheses"},
      {"$d:=New collection(1).query(\"= 1\")", "!property path expected"},
      {"$d:=New collection(1).query(\"a =\")", "!value expected"},
      {"$d:=New collection(1).query(\"a = :x\")", "!placeholder number expected"},
      {"$d:=New collection(1).query(\"a = :2\";1)", "!no value for :2"},
      {"$d:=New collection(1).query(\"a = 'x\")", "!unterminated text"},
      {"$d:=New collection(1).query(\"a = -\")", "!value expected"},
      {"$d:=New collection(1).query(\"a = 1 junk\")", "!unexpected text"},
      {"C_BLOB($b)\nC_PICTURE($p)\nECHO(JSON Stringify(New collection($b;$p)))", "[\"[object Blob]\",\"[object Picture]\"]"},
      {"$v:=JSON Parse(\"\\\"\\\\uZZZZ\\\"\")", "!bad \\u escape"},
      {"$v:=JSON Parse(\"\\\"\\\\\")", "!unterminated text"},
      {"ECHO(JSON Parse(\"\\\"\\\\ud83d\\\\ude00\\\\b\\\\f\\\\/\\\"\"))", "😀\b\f/"},
      {"$v:=JSON Parse(\"1e\")", "!bad number"},
      {"ECHO(JSON Stringify(JSON Parse(\"[1.5E+2, -2e-1]\")))", "[150,-0.2]"},
      {"$v:=JSON Parse(\"[1\")", "!] expected"},
      {"$v:=JSON Parse(\"[1 2]\")", "!, or ] expected"},
      {"$v:=JSON Parse(\"{\\\"a\\\" 1}\")", "!: expected"},
      {"$v:=JSON Parse(\"{\\\"a\\\":1\")", "!} expected"},
      {"$v:=JSON Parse(\"{\\\"a\\\":1 \\\"b\\\":2}\")", "!, or } expected"},
      {"$f:=Formula from string(\"1+\")", "!"},
      {"$f:=Formula from string(\"1 2\")", "!expected the end of the formula"},
      {"$f:=Formula from string(\"\")", "!the formula is empty"},
      {"$f:=Formula(1)\n$r:=$f.apply(New object;New collection;3)", "!.apply() takes an object and a collection of parameters"},
      {"$f:=Formula(1)\n$r:=$f.apply(New object;5)", "!.apply(): the parameters must be given as a collection"},
      {"$f:=Formula($1+$2)\nECHO(String($f.apply(Null;New collection(2;3)))+String($f.call(Null;4;5)))", "59"},
      {"$x:=5\n$r:=$x.call()", "!"},
  });
}

TEST_F(BadInput, DatePatternsAndNullDates) {
  Check({
      {"C_DATE($d)\nECHO(String($d;System date abbreviated)+\"|\"+String($d;System date long)+\"|\"+String($d;Internal date long)+\"|\"+"
       "String($d;Internal date abbreviated)+\"|\"+String($d;Date RFC 1123)+\"|\"+String($d;\"yyyy\"))",
       "|||||"},
      {"ECHO(String(!2026-05-04!;\"QQ q G GGGGG MMM MMMM MMMMM e aaaaa '' h\";?15:00:00?))", "02 2 AD A May May M 2 p ' 3"},
      {"ECHO(String(!2026-05-04!;\"d  \"))", "4"},
      {"ECHO(String(!2026-05-04!;True))", "!a date or time format is a format constant or a pattern"},
      {"ECHO(String(?15:07:09?;HH MM AM PM)+\" \"+String(?00:07:09?;HH MM AM PM))", "3:07 PM 12:07 AM"},
      {"ECHO(String(-?01:00:00?;HH MM SS))", "-01:00:00"},
      {"ECHO(String(1234.5;\"###,##0.00\")+\" \"+String(-0.001;\"0.00\")+\" \"+String(12;\"&2\")+\" \"+String(5;\"##0;(##0)\")+String(-5;\"##0;(##0)\"))",
       "1,234.50 0.00 1.2e+1 5(5)"},
  });
}

TEST_F(BadInput, ConfinedRunsKeepToTheirLimits) {
  confined_ = true;
  Check({
      {"$d:=Create document(\"DIR/x\")", "!"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;70000)", "!bad size 70000"},
      {"$t:=\"x\"*70000", "!the text is too long"},
      {"$t:=\"x\"*40000\n$t:=$t+$t", "!the text is too long"},
      {"ARRAY LONGINT($a;2000)", "!the size must be 0 to 1000 elements in all"},
      {"ARRAY LONGINT($a;1000)\nAPPEND TO ARRAY($a;1)\nAPPEND TO ARRAY($a;1)", "!the array is too large"},
      {"ARRAY LONGINT($a;1000)\nINSERT IN ARRAY($a;1;5)", "!the array is too large"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;60000)\nINSERT IN BLOB($b;0;10000)", "!the BLOB is too large"},
      {"C_BLOB($b)\n$o:=60000\nTEXT TO BLOB(\"x\"*10000;$b;3;*)\nTEXT TO BLOB(\"x\"*60000;$b;3;*)", "!the BLOB is too large"},
      {"C_BLOB($s;$d)\nSET BLOB SIZE($s;10)\nCOPY BLOB($s;$d;0;65530;10)", "!the BLOB is too large"},
      {"C_BLOB($b)\nLONGINT TO BLOB(1;$b;0;*)\n$o:=65534\nLONGINT TO BLOB(1;$b;0;$o)", "!the BLOB is too large"},
      {"$t:=Replace string(\"x\"*30000;\"x\";\"yyy\")", "!the text is too long"},
      {"$t:=Insert string(\"x\"*60000;\"y\"*10000;1)", "!the text is too long"},
      {"$c:=New collection\n$c[5000]:=1", "!the collection would be too large"},
      {"$t:=JSON Stringify(New collection(\"x\"*40000;\"y\"*40000))", "!the text would be too long"},
      {"$i:=0\nWhile (True)\n$i:=$i+1\nEnd while", "!"},
  });
}

TEST(LoadSources, NamesGivenTwiceAndClassesThatDoNotParse) {
  runner::Program program;
  std::vector<std::string> errors;
  EXPECT_FALSE(runner::LoadSources({{"a.4dm", "ECHO(1)\n"}, {"A.4dm", "ECHO(2)\n"}}, &program, &errors));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("another method is already named"), std::string::npos) << errors[0];
  errors.clear();
  runner::Program program2;
  EXPECT_FALSE(runner::LoadSources({{"main.4dm", "ECHO(1)\n"}}, &program2, &errors,
                                   {{"Bad.4dm", "Class constructor\n  If (\n"}, {"Pt.4dm", "property x : Integer\n"},
                                    {"Pt.4dm", "property y : Integer\n"}}));
  std::string all;
  for (const std::string& e : errors) all += e + "\n";
  EXPECT_NE(all.find("syntax error"), std::string::npos) << all;
  EXPECT_NE(all.find("another class is already named"), std::string::npos) << all;
}

TEST_F(BadInput, ConversionsByTypeNumberAndArraysOfCollections) {
  Check({
      {"$o:=New object(\"n\";2.5;\"z\";Null;\"c\";New collection(1);\"o\";New object)\n"
       "ECHO(String(OB Get($o;\"n\";Is real))+String(OB Get($o;\"z\";Is real))+String(OB Get($o;\"z\";Is time))+String(OB Get($o;\"z\";Is date))+"
       "String(OB Get($o;\"c\";Is collection).length)+String(OB Get($o;\"z\";Is object)=Null)+String(OB Get($o;\"o\";Is object)#Null))",
       "2.5000:00:0000/00/001TrueTrue"},
      {"$v:=OB Get(New object(\"o\";New object);\"o\";Is real)", "!cannot convert an object to type 1"},
      {"$v:=OB Get(New object(\"o\";New object);\"o\";Is time)", "!cannot convert an object to type 11"},
      {"$v:=OB Get(New object(\"o\";New object);\"o\";Is Boolean)", "!cannot convert an object to type 6"},
      {"$v:=OB Get(New object(\"o\";True);\"o\";Is date)", "!cannot convert a boolean to type 4"},
      {"$v:=OB Get(New object(\"o\";True);\"o\";Is collection)", "!cannot convert a boolean to type 42"},
      {"ARRAY TEXT($n;2)\n$n{1}:=\"a\"\n$n{2}:=\"b\"\nARRAY LONGINT($v;2)\n$v{1}:=1\n$v{2}:=2\n$c:=New collection\n"
       "ARRAY TO COLLECTION($c;$n;\"name\";$v;\"val\")\nECHO(JSON Stringify($c))",
       "[{\"name\":\"a\",\"val\":1},{\"name\":\"b\",\"val\":2}]"},
      {"ARRAY LONGINT($v;1)\n$c:=New collection\nARRAY TO COLLECTION($c;$v;\"\";$v)", "!each array needs a property"},
      {"$x:=1\n$c:=New collection\nARRAY TO COLLECTION($c;$x)", "!$x is not an array"},
      {"ARRAY LONGINT($v;1)\nARRAY TO COLLECTION(5;$v)", "!the parameter must be a collection"},
      {"$c:=New collection(New object(\"a\";1;\"b\";\"x\");New object(\"a\";2))\nARRAY LONGINT($a;0)\nARRAY TEXT($b;0)\n"
       "COLLECTION TO ARRAY($c;$a;\"a\";$b;\"b\")\nECHO(String(Size of array($a))+String($a{2})+$b{1}+\"|\"+$b{2}+\"|\")",
       "22x||"},
      {"$x:=1\nCOLLECTION TO ARRAY(New collection(1);$x)", "!$x is not an array"},
      {"COLLECTION TO ARRAY(New collection(New object);$u)", "!object arrays are not available; declare the array first"},
      {"ARRAY LONGINT($a;0)\nCOLLECTION TO ARRAY(New collection(\"x\");$a)", "!$a{1}"},
      {"COLLECTION TO ARRAY(New collection(1;2);$u)\nECHO(String(Type($u))+String(Size of array($u)))", "142"},
  });
}

TEST_F(BadInput, ClassesAndTheirMistakes) {
  classes_ = {
      {"Animal.4dm", "/* an animal\r\n   with a name */\r\nproperty name : Text\r\nClass constructor($n : Text)\r\n"
                     "  This.name:=$n\r\nexposed Function speak() : Text\r\n  return \"...\"\r\n"
                     "Function get upper() : Text\r\n  return Uppercase(This.name)\r\n"
                     "Function set secret($v : Text)\r\n  This._s:=$v\r\n"},
      {"Dog.4dm", "Class extends Animal\nFunction speak() : Text\n  return \"Woof \"+Super.speak()\nFunction fetch()\n  return Super.fetch()\n"},
      {"Plain.4dm", "Class extends 4D.Object\nFunction hi() : Text\n  return \"hi\"\n"},
  };
  Check({
      {"$d:=cs.Dog.new(\"rex\")\nECHO($d.speak()+\" \"+$d.upper+\" \"+String($d.secret=Null))", "Woof ... REX True"},
      {"$d:=cs.Dog.new(\"rex\")\n$d.fetch()", "!Super.fetch(): the superclass has no such function"},
      {"ECHO(cs.Plain.new().hi())", "hi"},
      {"$o:=4D.Object.new()\n$b:=4D.Blob.new()\nECHO(String(Value type($o))+String(Value type($b))+String(OB Instance of($b;4D.Blob)))", "3830True"},
      {"$f:=4D.File.new()", "!4D.File.new() is not available"},
      {"C_OBJECT($o)\n$o.f()", "!the object is null: .f() cannot be called"},
      {"$o:=New object(\"f\";1)\n$o.f()", "!the property \"f\" is not a formula: it cannot be called"},
      {"$o:=cs.Animal.new(\"a\")\n$o.nofn()", "!"},
      {"$x:=Super.speak()", "!Super is only available in a class function"},
      {"ON ERR CALL(\"caught\";5)", "!ON ERR CALL: the scope must be ek local, ek global or ek errors from components"},
  });
}

TEST_F(BadInput, LanguageCommandsAndThrow) {
  Check({
      {"$x:=Choose(\"a\";1;2)", "!Choose: the criterion must be a boolean or a number, not a text"},
      {"$p:=New process(\"m\";0;\"n\";*;1)", "!New process: * must be the last parameter"},
      {"$x:=Formula from string(\"nope\")", "!Formula from string: no method uses the variable nope"},
      {"$x:=OB Keys(5)", "!OB Keys: the parameter must be an object"},
      {"$d:=Add to date(!2020-01-01!;9000;0;0)", "!Add to date: the date would be out of range"},
      {"$c:=New collection(1)\n$x:=$c.map(5)", "!a formula or a method name is expected, not a real"},
      {"$c:=New collection(1;2)\nARRAY LONGINT($a;1)\n$c[0]:=$a", "!an array cannot be put into an object or a collection"},
      {"ARRAY LONGINT($a;1)\n$p:=New process(\"m\";0;\"n\";$a)", "!New process: an array cannot be passed"},
      {"For ($i;1;\"x\")\nEnd for", "!the bounds of For must be numbers, not a text"},
      {"$t:=True\nECHO(Round($t;0))", "!Round: the number must be a number, not a boolean"},
      {"ECHO(Uppercase(5))", "!Uppercase: the parameter must be a text, not a real"},
      {"$o:=New object\n$p:=New object\nECHO($o<$p)", "!the operator < does not apply to an object and an object"},
      {"$o:=New object\nECHO($o.x+1)", "!the operator + does not apply to an undefined and a real"},
      {"ECHO(${-1})", "!the parameter ${-1} was not passed"},
      {"ECHO(String(Choose(5;1;2))+\"|\")", "|"},
      {"$x:=5\n$b:=Is a variable($x)", "!Is a variable: the parameter must be a pointer"},
      {"$x:=Trunc(1.5;20)", "!Trunc: the places must be -15 to 15"},
      {"ECHO(String(Trunc(-1.55;1))+\" \"+String(Mod(-7;3))+\" \"+String(Round(Sin(0)+Cos(0)+Tan(0);2)))", "-1.6 -1 1"},
      {"throw(New object(\"errCode\";9;\"message\";\"bad {x}\";\"x\";\"thing\";\"componentSignature\";\"cmpn\");2)", "!throw: an error object comes alone"},
      {"throw(\"x\")", "!throw: the error code must be a number or the error an object, not a text"},
      {"ON ERR CALL(\"caught\")\nthrow(New object(\"errCode\";9;\"message\";\"bad {x}\";\"x\";\"thing\";\"componentSignature\";\"cmpn\"))\n"
       "ON ERR CALL(\"\")\n$e:=Last errors\nECHO(String($e[0].errCode)+\" \"+$e[0].message+\" \"+$e[0].componentSignature)",
       "9 bad thing cmpn"},
      {"C_DATE($d)\nC_POINTER($p)\nECHO(String($d)+\"|\"+String(Null)+\"|\")", "00/00/00|null|"},
      {"$t:=\"a\"+Char(0x00C9)+\"b\"\nECHO(Uppercase($t)+Lowercase(\"ÀÉÎ\"))", "AEBaei"},
  });
}

TEST_F(BadInput, DocumentsThatCannotBe) {
  Check({
      {"C_BLOB($b)\nDOCUMENT TO BLOB(\"DIR\";$b)", "!cannot read the document"},
      {"COPY DOCUMENT(5;\"x\")", "!COPY DOCUMENT: the source must be a text, not a real"},
      {"MOVE DOCUMENT(5;\"x\")", "!MOVE DOCUMENT: the source must be a text, not a real"},
      {"SEND PACKET(5;\"x\")", "!SEND PACKET: no open document has the reference 5"},
      {"RECEIVE PACKET(5;$x;1)", "!RECEIVE PACKET: no open document has the reference 5"},
      {"SET DOCUMENT POSITION(5;1)", "!SET DOCUMENT POSITION: no open document has the reference 5"},
      {"C_BLOB($b)\nBLOB TO DOCUMENT(\"DIR/none/x\";$b)", "!cannot create the document"},
      {"$n:=Get document size(\"DIR\")", "!no document"},
      {"C_BLOB($b)\nBLOB TO DOCUMENT(\"DIR/f\";$b)\nCREATE FOLDER(\"DIR/f/x/y/\";*)", "!cannot create the folder"},
      {"ARRAY TEXT($a;1)\n$d:=Create document(\"DIR/r.txt\")\nRECEIVE PACKET($d;$a{1};1)", "!the packet must go into a variable"},
      {"$d:=Create document(\"DIR/s.txt\")\nSET DOCUMENT POSITION($d;-5)", "!cannot move"},
      {"C_BLOB($b)\nBLOB TO DOCUMENT(\"DIR/g\";$b)\nDOCUMENT LIST(\"DIR/g\";$a)", "!no folder"},
      {"CREATE FOLDER(\"DIR/h/i/\";*)\nDELETE FOLDER(\"DIR/h\")", "!cannot delete"},
      {"MOVE DOCUMENT(\"DIR/none\";\"DIR/n2\")", "!no document"},
      {"C_BLOB($b)\nBLOB TO DOCUMENT(\"DIR/m\";$b)\nMOVE DOCUMENT(\"DIR/m\";\"DIR/none/m\")", "!cannot move to"},
      {"$o:=Path to object(\"name.txt\")\n$p:=Path to object(\"/a/b/\")\nECHO($o.parentFolder+\"|\"+$o.name+\"|\"+$p.parentFolder+\"|\"+$p.name+\"|\"+String($p.isFolder))",
       "|name|/a/|b|True"},
      {"ECHO(Object to path(New object(\"parentFolder\";\"/a\";\"name\";\"b\")))", "/a/b"},
      {"ECHO(Convert path POSIX to system(\"/a%zz%4\";*))", "/a%zz%4"},
  });
}

TEST_F(BadInput, VariablesInBlobsCutShort) {
  // Each kind of variable stored, its BLOB cut by one byte: BLOB TO VARIABLE refuses it
  // with OK 0 and leaves the variable as it was; whole, it comes back.
  const std::string cut =
      "C_BLOB($b)\nVARIABLE TO BLOB($v;$b)\nBLOB TO VARIABLE($b;$w)\n$ok:=OK\nSET BLOB SIZE($b;BLOB size($b)-1)\n"
      "BLOB TO VARIABLE($b;$x)\nECHO(String($ok)+String(OK)+String(Undefined($x)))";
  for (const char* decl : {"C_LONGINT($v)\n$v:=5", "C_REAL($v)\n$v:=2.5", "C_BOOLEAN($v)\n$v:=True", "C_DATE($v)\n$v:=!2024-02-29!",
                           "C_TIME($v)\n$v:=?01:00:00?", "C_TEXT($v)\n$v:=\"abc\"", "C_BLOB($v)\nSET BLOB SIZE($v;3)",
                           "C_PICTURE($v)", "C_OBJECT($v)\n$v:=New object(\"a\";1)", "ARRAY TEXT($v;2)\n$v{2}:=\"z\"",
                           "ARRAY REAL($v;1)\n$v{1}:=1.5"})
    EXPECT_EQ(Run(std::string(decl) + "\n" + cut), "10True") << decl;
  Check({
      {"C_BLOB($b)\nTEXT TO BLOB(\"x\"*40000;$b;Mac text with length)", "!a Mac text with length holds at most 32767 bytes"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;2)\nINSERT IN BLOB($b;1;2;255)\nECHO(String(BLOB size($b))+String($b{1})+String($b{2})+String($b{3}))", "42552550"},
      {"ARRAY OBJECT($a;2)\n$a{2}:=New object(\"k\";1)\nC_BLOB($b)\nVARIABLE TO BLOB($a;$b)\nBLOB TO VARIABLE($b;$c)\nECHO(String($c{1}=Null)+JSON Stringify($c{2}))",
       "True{\"k\":1}"},
  });
}

TEST_F(BadInput, ZonesInDatePatterns) {
  const char* old = std::getenv("TZ");
  std::string saved = old ? old : "";
  const std::string pattern = "ECHO(String(!2024-01-15!;\"O OOOO z zzzz zzzzz X XX XXX x xxx\";?12:00:00?))";
  setenv("TZ", "Asia/Kolkata", 1);
  tzset();
  Check({{pattern.c_str(), "GMT+5:30 GMT+05:30 +0530 GMT+05:30 +05:30 +0530 +0530 +05:30 +0530 +05:30"}});
  setenv("TZ", "UTC", 1);
  tzset();
  Check({{pattern.c_str(), "GMT GMT +0000 GMT Z Z Z Z +00 +00:00"}});
  if (old) setenv("TZ", saved.c_str(), 1);
  else unsetenv("TZ");
  tzset();
}

TEST_F(BadInput, ExpressionsAndPlacesThatCannotBe) {
  Check({
      {"$c:=New collection(1)\n$x:=$c[0", "!expected \"]\""},
      {"$o:={a 1}", "!\":\" after the property name"},
      {"ARRAY LONGINT($a;1)\nCOPY ARRAY($a;5)", "!COPY ARRAY: parameter 2 must be a variable"},
      {"$x:=VRX_ClearQueue(1)", "!VRX_ClearQueue does not return a value"},
      {"ARRAY LONGINT($a;2)\n$x:=$a{5}", "!(size 2)"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;3)\n$x:=$b{5}", "!(3 bytes)"},
      {"ARRAY LONGINT($a;1)\n$n:=Size of array(->$a)", "!->$a is not an array"},
      {"$n:=Size of array(Current time)", "!Current time is not an array"},
      {"ARRAY LONGINT($a;2;2)\n$a{1}{1}{1}:=1", "!"},
      {"C_STRING(2;$s)\n$s:=\"abcd\"\n$t:=$s\n$s:=Char(233)+\"bc\"\nECHO($t+$s)", "abé" "b"},
  });
}

TEST_F(BadInput, RunMethodsInProcessAnswersWithItsStatus) {
  namespace fs = std::filesystem;
  auto run = [](std::vector<std::string> words) {
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    int status = runner::RunMethods(int(argv.size()), argv.data());
    std::string out = ::testing::internal::GetCapturedStdout() + ::testing::internal::GetCapturedStderr();
    return std::to_string(status) + " " + out;
  };
  fs::create_directories(dir_ + "/p/Project/Sources/Methods");
  fs::create_directories(dir_ + "/p/Project/Sources/Classes");
  std::ofstream(dir_ + "/p/Project/p.4DProject") << "{}";
  std::ofstream(dir_ + "/p/Project/Sources/Methods/main.4dm") << "ECHO(cs.Pt.new().x)\n";
  std::ofstream(dir_ + "/p/Project/Sources/Classes/Pt.4dm") << "property x : Integer\nClass constructor\n  This.x:=3\n";
  fs::create_directories(dir_ + "/bad");
  std::ofstream(dir_ + "/bad/main.4dm") << "If (True\n";
  std::ofstream(dir_ + "/bad/big.4dm") << std::string(5u << 20, ' ');
  EXPECT_EQ(run({"-h"}).substr(0, 2), "0 ");
  EXPECT_EQ(run({"--method"}).substr(0, 2), "2 ");
  EXPECT_EQ(run({}).substr(0, 2), "2 ");
  EXPECT_EQ(run({dir_ + "/none"}).substr(0, 2), "2 ");
  EXPECT_EQ(run({dir_ + "/p/Project/p.4DProject"}), "0 3\n");
  EXPECT_EQ(run({"--method=nothing", dir_ + "/p/Project/Sources/Methods/"}).substr(0, 2), "2 ");
  std::string checked = run({"--check", dir_ + "/p/Project/Sources/Methods"});
  EXPECT_NE(checked.find("1 methods and 1 classes checked, 0 problems"), std::string::npos) << checked;
  checked = run({"--check", dir_ + "/bad"});
  EXPECT_NE(checked.find("the method file is too large"), std::string::npos) << checked;
  EXPECT_EQ(run({dir_ + "/bad"}).substr(0, 2), "1 ");
}

TEST_F(BadInput, JsonValidateKeywordByKeyword) {
  struct Case {
    const char* schema;     // an object literal
    const char* instances;  // a collection literal
    const char* want;       // y or n for each instance
  };
  const Case cases[] = {
      {"{type: \"integer\"}", "[1; 1.5; \"1\"; Null]", "ynnn"},
      {"{type: [\"string\"; \"null\"]}", "[\"a\"; Null; True; {}]", "yynn"},
      {"{type: \"number\"; minimum: 2; maximum: 4}", "[2; 4; 1; 5]", "yynn"},
      {"{exclusiveMinimum: 2; exclusiveMaximum: 4; multipleOf: 0.5}", "[2.5; 2; 4; 3.3]", "ynnn"},
      {"{type: \"string\"; minLength: 2; maxLength: 3; pattern: \"^a\"}", "[\"ab\"; \"a\"; \"abcd\"; \"ba\"]", "ynnn"},
      {"{format: \"email\"}", "[\"not one\"]", "y"},
      {"{enum: [1; \"a\"; Null]}", "[1; \"a\"; Null; 2]", "yyyn"},
      {"{const: {a: 1}}", "[{a: 1}; {a: 2}]", "yn"},
      {"{type: \"array\"; items: {type: \"integer\"}; minItems: 1; maxItems: 2; uniqueItems: True}",
       "[[1]; []; [1; 2; 3]; [1; 1]; [\"x\"]]", "ynnnn"},
      {"{items: [{type: \"integer\"}]; additionalItems: False}", "[[1]; [1; 2]; [\"x\"]]", "ynn"},
      {"{items: [{type: \"integer\"}]; additionalItems: {type: \"string\"}}", "[[1; \"a\"]; [1; 2]]", "yn"},
      {"{contains: {const: 3}}", "[[1; 3]; [1]]", "yn"},
      {"{type: \"object\"; required: [\"a\"]; properties: {a: {type: \"string\"}}; additionalProperties: False}",
       "[{a: \"x\"}; {}; {a: 1}; {a: \"x\"; b: 1}]", "ynnn"},
      {"{patternProperties: {\"^x\": {type: \"integer\"}}; additionalProperties: {type: \"string\"}}",
       "[{x1: 1; y: \"s\"}; {x1: \"a\"}; {y: 2}]", "ynn"},
      {"{minProperties: 1; maxProperties: 1}", "[{a: 1}; {}; {a: 1; b: 2}]", "ynn"},
      {"{dependencies: {a: [\"b\"]; c: {required: [\"d\"]}}}", "[{a: 1; b: 1}; {a: 1}; {c: 1}; {c: 1; d: 1}]", "ynny"},
      {"{allOf: [{minimum: 1}; {maximum: 3}]}", "[2; 4]", "yn"},
      {"{anyOf: [{type: \"string\"}; {minimum: 3}]}", "[\"a\"; 5; 1]", "yyn"},
      {"{oneOf: [{minimum: 3}; {maximum: 5}]}", "[1; 4; 6]", "yny"},
      {"{not: {type: \"string\"}}", "[1; \"a\"]", "yn"},
      {"{\"$ref\": \"#/definitions/p\"; definitions: {p: {type: \"integer\"}}}", "[1; \"a\"]", "yn"},
  };
  for (const Case& c : cases) {
    std::string source = std::string("$s:=") + c.schema + "\n$c:=" + c.instances +
                         "\n$r:=\"\"\nFor ($i;0;$c.length-1)\n$r:=$r+Choose(JSON Validate($c[$i];$s).success;\"y\";\"n\")\nEnd for\nECHO($r)";
    EXPECT_EQ(Run(source), c.want) << c.schema;
  }
  Check({
      {"$v:=JSON Validate(1;5)", "!JSON Validate: the schema must be an object"},
      {"$v:=JSON Validate(1;{type: 5})", "!the schema is not valid"},
      {"$v:=JSON Validate(\"a\";{pattern: \"(\"})", "!the schema is not valid"},
      {"$v:=JSON Validate(1;{\"$ref\": \"#/nowhere\"})", "!the schema is not valid"},
      {"$v:=JSON Validate(1;{\"$ref\": \"x\"})", "!\"$ref\" x is not in this schema"},
      {"$v:=JSON Validate(1;{\"$ref\": \"#a\"})", "!\"$ref\" #a is not a JSON pointer"},
      {"$v:=JSON Validate(1;{\"$ref\": 5})", "!\"$ref\" must be a text"},
      {"$v:=JSON Validate(1;{exclusiveMinimum: \"a\"})", "!\"exclusiveMinimum\" must be a boolean or a number"},
      {"$v:=JSON Validate(1;{minimum: \"a\"})", "!\"minimum\" must be a number"},
      {"$v:=JSON Validate(1;{multipleOf: 0})", "!\"multipleOf\" must be above 0"},
      {"$v:=JSON Validate(\"a\";{pattern: 5})", "!\"pattern\" must be a text"},
      {"$v:=JSON Validate({};{required: 5})", "!\"required\" must be a collection of texts"},
      {"$v:=JSON Validate({};{required: [5]})", "!\"required\" must be a collection of texts"},
      {"$v:=JSON Validate(1;{allOf: 5})", "!\"allOf\" must be a collection of schemas"},
      {"$v:=JSON Validate(1;{anyOf: 5})", "!\"anyOf\" must be a collection of schemas"},
      {"$v:=JSON Validate(1;{allOf: [5]})", "!a schema must be an object"},
      {"$v:=JSON Validate(1;{enum: 5})", "!\"enum\" must be a collection"},
      {"$v:=JSON Validate({a: {b: \"x\"}};{properties: {a: {properties: {b: {type: \"integer\"}}}}})\n"
       "ECHO($v.errors[0].jsonPath+\" \"+String($v.errors[0].code))",
       "$.a.b 24"},
  });
}

TEST_F(BadInput, FilesThatCannotBe) {
  Check({
      {"$t:=File(\"DIR\").getText()", "!cannot read"},
      {"File(\"DIR/none/x.txt\").setText(\"a\")", "!cannot write"},
      {"C_BLOB($b)\nBLOB TO DOCUMENT(\"DIR/f\";$b)\n$d:=Folder(\"DIR/f/sub\")\n$d.create()", "!.create(): cannot create"},
      {"$x:=Folder(\"DIR/none\").files()", "!.files(): cannot list"},
      {"$x:=Folder(\"DIR/none\").folders()", "!.folders(): cannot list"},
      {"CREATE FOLDER(\"DIR/full/x/\";*)\nFolder(\"DIR/full\").delete()", "!.delete(): cannot delete"},
      {"$f:=File(\"DIR/t.txt\")\n$f.setText(\"a\"+Char(13)+Char(10)+\"b\";\"UTF-8\";Document with LF)\n$g:=File(\"DIR/u.txt\")\n"
       "$g.setText(\"é\";\"UTF-16BE\")\nECHO(String($f.size)+String($g.size)+$g.getText(\"UTF-16BE\";Document unchanged))",
       "64é"},
      {"$f:=File(\"DIR/v.txt\")\n$f.setContent(\"xyz\")\nECHO($f.getText())", "xyz"},
      {"$d:=Folder(\"DIR/w\")\n$d.create()\n$e:=$d.folder(\"/sub\")\nECHO(String($e.exists)+$e.name+String(Folder(\"DIR/w\").parent.isFolder))", "FalsesubTrue"},
      {"$f:=File(\"DIR/y.txt\")\n$f.create()\n$g:=$f.moveTo(Folder(\"DIR/w2\"))", "!"},
  });
}

// Each argument of each BLOB, document, array, object, text, date, format and number
// command in turn given an object (a variable holding one) where the command reads a
// number, a text, a BLOB, an array or a reference, or writes a result, or a longint where
// it reads an object: the call must report an error that names the command or a
// variable, never go on as if it had been given what it needs. Each call runs as it
// stands first and must succeed, so that the error comes from the argument changed.
TEST_F(BadInput, EveryArgumentOfTheWrongKind) {
  struct Call {
    const char* name;
    std::vector<const char*> args;
    const char* keeps;  // positions ('0'...) that take an object too
    const char* wrong = "$o";  // or a longint, where an object is what the command reads
  };
  const Call calls[] = {
      {"VARIABLE TO BLOB", {"$t", "$b", "$at"}, "0"},
      {"BLOB TO VARIABLE", {"$vb", "$t2", "$at"}, ""},
      {"COMPRESS BLOB", {"$b", "1"}, ""},
      {"EXPAND BLOB", {"$cb"}, ""},
      {"BLOB PROPERTIES", {"$cb", "$n", "$n2", "$n3"}, ""},
      {"$x:=BLOB size", {"$b"}, ""},
      {"SET BLOB SIZE", {"$b", "8", "0"}, ""},
      {"TEXT TO BLOB", {"$t", "$b", "3", "$at"}, ""},
      {"$x:=BLOB to text", {"$b", "3", "$at", "2"}, ""},
      {"LONGINT TO BLOB", {"1", "$b", "0", "$at"}, ""},
      {"INTEGER TO BLOB", {"1", "$b", "0", "$at"}, ""},
      {"REAL TO BLOB", {"1.5", "$b", "0", "$at"}, ""},
      {"$x:=BLOB to longint", {"$b", "0", "$at"}, ""},
      {"$x:=BLOB to integer", {"$b", "0", "$at"}, ""},
      {"$x:=BLOB to real", {"$b", "0", "$at"}, ""},
      {"COPY BLOB", {"$b", "$z", "0", "0", "4"}, ""},
      {"INSERT IN BLOB", {"$b", "0", "2", "0"}, ""},
      {"DELETE FROM BLOB", {"$b", "0", "1"}, ""},
      {"COPY DOCUMENT", {"$f", "\"DIR/g.txt\""}, ""},
      {"MOVE DOCUMENT", {"$f", "\"DIR/m.txt\""}, ""},
      {"$x:=Path to object", {"$f", "Path is POSIX"}, "1"},  // paths are POSIX here
      {"$x:=Object to path", {"$po"}, "0"},                  // an empty object: ""
      {"$x:=Convert path system to POSIX", {"$f"}, ""},
      {"$x:=Convert path POSIX to system", {"$f"}, ""},
      {"DOCUMENT TO BLOB", {"$f", "$b"}, ""},
      {"BLOB TO DOCUMENT", {"\"DIR/n.txt\"", "$b"}, ""},
      {"$x:=Get 4D folder", {"Database folder"}, ""},
      {"$x:=Test path name", {"$f"}, ""},
      {"DELETE DOCUMENT", {"$f"}, ""},
      {"$x:=Get document size", {"$f"}, ""},
      {"CREATE FOLDER", {"\"DIR/s/\""}, ""},
      {"$x:=Create document", {"\"DIR/c.txt\""}, ""},
      {"$x:=Open document", {"$f", "\"\"", "Read mode"}, "1"},  // no file types here
      {"$x:=Append document", {"$f"}, ""},
      {"CLOSE DOCUMENT", {"$ref"}, ""},
      {"SEND PACKET", {"$ref", "\"x\""}, ""},
      {"RECEIVE PACKET", {"$ref", "$t2", "3"}, ""},
      {"$x:=Get document position", {"$ref"}, ""},
      {"SET DOCUMENT POSITION", {"$ref", "0", "1"}, ""},
      {"DOCUMENT LIST", {"\"DIR\"", "$names"}, "1"},  // any variable but an array of
      {"FOLDER LIST", {"\"DIR\"", "$names"}, "1"},    // another type becomes the list
      {"DELETE FOLDER", {"\"DIR/e\""}, ""},
      {"COPY ARRAY", {"$al", "$al2"}, "1"},  // the copy replaces what it held
      {"$x:=Count in array", {"$al", "1"}, "1"},  // an object is no element: 0
      {"$x:=Size of array", {"$al"}, ""},
      {"APPEND TO ARRAY", {"$al", "4"}, ""},
      {"$x:=Find in array", {"$al", "1", "1"}, "1"},  // -1
      {"INSERT IN ARRAY", {"$al", "1", "1"}, ""},
      {"DELETE FROM ARRAY", {"$al", "1", "1"}, ""},
      {"$x:=OB Get", {"$obj", "\"a\"", "Is real"}, "", "$n"},
      {"$x:=OB Get type", {"$obj", "\"a\""}, "", "$n"},
      {"OB SET", {"$obj", "\"b\"", "2"}, "2", "$n"},
      {"OB SET NULL", {"$obj", "\"a\""}, "", "$n"},
      {"OB REMOVE", {"$obj", "\"a\""}, "", "$n"},
      {"$x:=OB Keys", {"$obj"}, "", "$n"},
      {"$x:=OB Values", {"$obj"}, "", "$n"},
      {"$x:=OB Entries", {"$obj"}, "", "$n"},
      {"$x:=OB Is defined", {"$obj", "\"a\""}, "0", "$n"},  // False
      {"$x:=OB Is empty", {"$obj"}, "0", "$n"},  // True
      {"$x:=OB Copy", {"$obj"}, "", "$n"},
      {"$x:=JSON Parse", {"\"{}\""}, ""},
      {"ARRAY TO COLLECTION", {"$col", "$al"}, "", "$n"},
      {"COLLECTION TO ARRAY", {"$col", "$al"}, "", "$n"},
      {"$x:=Split string", {"\"a,b\"", "\",\""}, ""},
      {"$x:=Position", {"\"b\"", "\"abc\""}, ""},
      {"$x:=Change string", {"\"abc\"", "\"x\"", "2"}, ""},
      {"$x:=Delete string", {"\"abc\"", "1", "1"}, ""},
      {"$x:=Insert string", {"\"abc\"", "\"x\"", "1"}, ""},
      {"$x:=Compare strings", {"\"a\"", "\"b\""}, ""},
      {"GET TEXT KEYWORDS", {"\"a b\"", "$as"}, "1"},  // replaced by the words
      {"$x:=Match regex", {"\"a\"", "\"abc\"", "1"}, ""},
      {"$x:=String", {"12", "\"##0\""}, "0"},  // any value has a text
      {"$x:=String", {"!2024-01-02!", "2", "?01:00:00?"}, "0"},
      {"GET SYSTEM FORMAT", {"Decimal separator", "$t2"}, ""},
      {"$x:=Time string", {"3600"}, ""},
      {"$x:=Date", {"\"2024-01-02\""}, ""},
      {"$x:=Time", {"\"01:00:00\""}, ""},
      {"$x:=Add to date", {"!2024-01-02!", "1", "1", "1"}, ""},
      {"$x:=Day number", {"!2024-01-02!"}, ""},
      {"$x:=Convert to text", {"$b", "\"UTF-8\""}, "1"},  // no such set: OK 0
      {"CONVERT FROM TEXT", {"$t", "\"UTF-8\"", "$b"}, "12"},  // OK 0; the BLOB replaces
      {"BASE64 ENCODE", {"$t", "$t2"}, ""},
      {"BASE64 DECODE", {"$t", "$t2"}, ""},
      {"$x:=Generate digest", {"$t", "SHA1 digest"}, ""},
      {"$x:=Substring", {"$t", "1", "2"}, ""},
      {"$x:=Char", {"65"}, ""},
      {"$x:=Character code", {"$t"}, ""},
      {"$x:=Replace string", {"$t", "\"b\"", "\"x\"", "1"}, ""},
      {"$x:=Uppercase", {"$t"}, ""},
      {"$x:=Round", {"1.25", "1"}, ""},
      {"$x:=Year of", {"!2024-01-02!"}, ""},
      {"$x:=Mod", {"7", "2"}, ""},
      {"$x:=Trunc", {"1.25", "1"}, ""},
      {"$x:=Square root", {"4"}, ""},
      {"$x:=Sin", {"1"}, ""},
  };
  const std::string setup =
      "C_BLOB($b;$z;$vb;$cb)\nSET BLOB SIZE($b;16;1)\nC_LONGINT($at;$n;$n2;$n3)\n$t:=\"abc\"\n"
      "C_TEXT($t2)\nVARIABLE TO BLOB($t;$vb)\nSET BLOB SIZE($cb;500;65)\nCOMPRESS BLOB($cb)\n"
      "$f:=\"DIR/f.txt\"\nTEXT TO DOCUMENT($f;\"hello\")\n$po:=Path to object($f)\n"
      "CREATE FOLDER(\"DIR/e/\")\nARRAY TEXT($names;0)\n$o:=New object\nARRAY LONGINT($al;3)\n"
      "ARRAY LONGINT($al2;0)\nARRAY TEXT($as;0)\n$obj:=New object(\"a\";1)\n$col:=New collection(1;2)\n";
  for (const Call& c : calls) {
    for (int at = -1; at < int(c.args.size()); ++at) {
      if (at >= 0 && std::string(c.keeps).find(char('0' + at)) != std::string::npos) continue;
      std::string call = std::string(c.name) + "(";
      for (size_t k = 0; k < c.args.size(); ++k) call += (k ? ";" : "") + std::string(int(k) == at ? c.wrong : c.args[k]);
      call += ")\n";
      // A document reference is opened afresh for each call.
      std::string open = std::string(c.args[0]) == "$ref" ? "$ref:=Open document($f)\n" : "";
      std::string got = Run(setup + open + call + "ECHO(\"done\")\n");
      if (at < 0) {
        EXPECT_EQ(got, "done") << call;
        continue;
      }
      std::string name = c.name;
      name = name.substr(name.find('=') == std::string::npos ? 0 : name.find('=') + 1);
      EXPECT_TRUE(got.starts_with("!") && (got.find(name) != std::string::npos || got.find(" $") != std::string::npos))
          << call << "-> " << got;
    }
  }
}
