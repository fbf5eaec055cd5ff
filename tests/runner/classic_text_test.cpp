// Texts, numbers and dates of the classic language against 4D's documented results (the
// examples of each command's page), one table per family: a line of 4D, then what ECHO
// prints (results joined by |) or the start of the first error.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "runner/runner.h"
#include "tests/runner/run_main.h"

namespace {

struct Case {
  const char* source;
  const char* out;
};

void Check(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    std::string got = RunMain(c.source), want = c.out;
    if (want.starts_with("error: ") || want.starts_with("load: ")) EXPECT_EQ(got.substr(0, want.size()), want) << c.source;
    else EXPECT_EQ(got, want) << c.source;
  }
}

// The zone the GMT formats convert from, for the length of one test.
class InZone {
 public:
  explicit InZone(const char* tz) {
    if (const char* old = std::getenv("TZ")) saved_ = old, had_ = true;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~InZone() {
    if (had_) setenv("TZ", saved_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }

 private:
  std::string saved_;
  bool had_ = false;
};

TEST(ClassicText, StringOfNumbers) {
  Check({
      {"ECHO(String(2^15))", "32768"},
      {"ECHO(String(2^15;\"###,##0 Inhabitants\"))", "32,768 Inhabitants"},
      {"ECHO(String(1/3;\"##0.00000\")+\" \"+String(1/3)+\" \"+String(Arctan(1)*4)+\" \"+String(Arctan(1)*4;\"##0.00\"))",
       "0.33333 0.3333333333333 3.14159265359 3.14"},
      {"ECHO(String(-1;\"&x\")+\" \"+String(-1;\"&$\")+\" \"+String(0 ?+ 7;\"&x\")+\" \"+String(0 ?+ 7;\"&$\")+\" \"+"
       "String(0 ?+ 14;\"&x\")+\" \"+String(0 ?+ 14;\"&$\"))",
       "0xFFFFFFFF $FFFFFFFF 0x0080 $80 0x4000 $4000"},
      {"ECHO(String(50.3;\"&xml\")+\" \"+String(Num(1=1);\"True;;False\")+\" \"+String(Num(1=2);\"True;;False\"))",
       "50.3 True False"},
      {"ECHO(\"[\"+String(Log(-1))+\"] \"+String(Exp(1000))+\" \"+String(-Exp(1000))+String(Exp(1000);\"###\")+\" \"+String(0.29;\"0.00\")+String(2.999;\"#.##\"))",
       "[] INF -INFINF 0.292.99"},
      {"ECHO(String(10;2)+\" \"+String(-10;2)+\" \"+String(254;16)+\" \"+String(-16523461;16)+\" \"+String(Log(-1);10)+\" \"+String(0.5;2))",
       "1010 -1010 fe -fc20c5 NaN 0.1"},
      {"ECHO(String(759.62;\"&3\")+\" \"+String(25000;\"&/5\"))", "7.60e+2 6:56 AM"},
      {"$x:=String(1;\"|Money\")", "error: "},
  });
}

// The display formats' table: 1234.50, -1234.50 and 0 in each format.
TEST(ClassicText, NumberFormats) {
  struct Row {
    const char* format;
    const char* shown;  // positive|negative|zero
  };
  const Row rows[] = {
      {"###", "<<<|<<<|"},
      {"####", "1234|<<<<|"},
      {"#######", "1234|-1234|"},
      {"#####.##", "1234.5|-1234.5|"},
      {"####0.00", "1234.50|-1234.50|0.00"},
      {"#####0", "1234|-1234|0"},
      {"+#####0;-#####0;0", "+1234|-1234|0"},
      {"#####0DB;#####0CR;0", "1234DB|1234CR|0"},
      {"#####0;(#####0)", "1234|(1234)|0"},
      {"###,##0", "1,234|-1,234|0"},
      {"##,##0.00", "1,234.50|-1,234.50|0.00"},
      {"^^^^^^^", "   1234|  -1234|       "},
      {"^^^^^^0", "   1234|  -1234|      0"},
      {"^^^,^^0", "  1,234| -1,234|      0"},
      {"^^,^^0.00", " 1,234.50|-1,234.50|     0.00"},
      {"*******", "***1234|**-1234|*******"},
      {"******0", "***1234|**-1234|******0"},
      {"***,**0", "**1,234|*-1,234|******0"},
      {"**,**0.00", "*1,234.50|-1,234.50|*****0.00"},
      {"$*,**0.00;-$*,**0.00", "$1,234.50|-$1,234.50|$****0.00"},
      {"$^^^^0", "$ 1234|$-1234|$    0"},
      {"$^^^0;-$^^^0", "$1234|-$1234|$   0"},
      {"$^^^0 ;($^^^0)", "$1234 |($1234)|$   0 "},
      {"&2", "1.2e+3|-1.2e+3|0.0e+0"},
      {"&xml", "1234.5|-1234.5|0"},
  };
  for (const Row& r : rows) {
    std::string f = r.format;
    std::string line = "ECHO(String(1234.5;\"" + f + "\")+\"|\"+String(-1234.5;\"" + f + "\")+\"|\"+String(0;\"" + f + "\"))";
    EXPECT_EQ(RunMain(line), r.shown) << r.format;
  }
}

TEST(ClassicText, StringOfDatesTimesAndBooleans) {
  InZone paris("Europe/Paris");
  Check({
      {"ECHO(String(!2023-11-27!)+\" \"+String(!2023-11-27!;Internal date long))", "11/27/2023 November 27, 2023"},
      {"ECHO(String(!2023-11-27!;ISO Date GMT))", "2023-11-26T23:00:00Z"},
      {"ECHO(String(!2010-09-09!;Date RFC 1123)+\"|\"+String(!2010-09-13!;ISO date GMT;?18:11:53?))",
       "Wed, 08 Sep 2010 22:00:00 GMT|2010-09-13T16:11:53Z"},
      {"ECHO(String(!2010-09-13!;ISO Date)+\" \"+String(!2010-09-13!;ISO Date;?18:11:53?))",
       "2010-09-13T00:00:00 2010-09-13T18:11:53"},
      {"ECHO(String(!2006-12-29!;System date abbreviated)+\"|\"+String(!2006-12-29!;Internal date short special)+\"|\"+"
       "String(!1896-12-29!;Internal date short special)+\"|\"+String(!00-00-00!)+\"|\"+String(!00-00-00!;Blank if null date+1))",
       "Fri, Dec 29, 2006|12/29/06|12/29/1896|00/00/00|"},
      {"ECHO(String(?17:30:45?;HH MM AM PM)+\"|\"+String(?17:30:45?;Hour Min Sec)+\"|\"+String(?01:02:03?;Min sec)+\"|\"+String(?01:02:03?))",
       "5:30 PM|17 hours 30 minutes 45 seconds|62 minutes 3 seconds|01:02:03"},
      {"ECHO(String(True)+String(False;\"##0\")+String(\"abc\";\"##\"))", "TrueFalseabc"},
  });
}

TEST(ClassicText, DateAndTimePatterns) {
  {
    InZone paris("Europe/Paris");
    Check({
        {"ECHO(String(!2023-11-27!;\"EEEE d MMMM y GGGG\")+\"|\"+String(!2023-11-27!;\"E dd/MM/yyyy zzzz\")+\"|\"+"
         "String(!2023-11-27!;\"E dd/MM/yyyy 'at' hh:mm aa O\";?11:15:00?))",
         "Monday 27 November 2023 Anno Domini|Mon 27/11/2023 GMT+01:00|Mon 27/11/2023 at 11:15 AM GMT+1"},
        {"ECHO(String(!2000-06-15!;\"QQQQ\")+\"|\"+String(!2001-03-17!;\"D\")+\"|\"+String(!1954-03-17!;\"w\")+\"|\"+String(!1954-03-17!;\"eeee\"))",
         "2nd quarter|76|11|Wednesday"},
        {"ECHO(String(!2024-07-01!;\"yy-M-d XXX xx O\";?13:30:15?))", "24-7-1 +02:00 +0200 GMT+2"},
    });
  }
  InZone cet("Etc/GMT-1");  // one hour east all year
  Check({
      {"ECHO(String(?17:30:45?;\"hh:mm aa O\")+\"|\"+String(?17:30:45?;\"'It is' K a\")+\"|\"+String(?15:00:00?;\"a\")+\"|\"+"
       "String(?18:00:00?;\"K a\")+\"|\"+String(?13:30:15?;\"hh:mm aa O\"))",
       "05:30 PM GMT+1|It is 5 PM|PM|6 PM|01:30 PM GMT+1"},
      {"ECHO(String(?15:30:00?;\"HH 'hours and' mm 'minutes'\")+\"|\"+String(?09:10:25?;\" HH : mm : ss \")+\"|\"+"
       "String(?09:10:25?;\"' 'HH : mm : ss' '\")+\"|\"+String(?09:10:25?;\"h 'o''clock'\"))",
       "15 hours and 30 minutes|09 : 10 : 25| 09 : 10 : 25 |9 o'clock"},
      {"$t:=String(!2024-01-01!;\"yyyy-MM-dd J\")", "error: "},
  });
}

TEST(ClassicText, NumBoolAndCase) {
  Check({
      {"ECHO(String(Num(\"ABCD\"))+\" \"+String(Num(\"A1B2C3\"))+\" \"+String(Num(\"123.4\"))+\" \"+String(Num(\"-123e2\"))+\" \"+"
       "String(Num(\"123-456\"))+\" \"+String(Num(\"123e-2\")))",
       "0 123 123.4 -12300 123 1.23"},
      {"ECHO(String(Num(\"33,333.33\";\".\"))+\" \"+String(Num(\"33.333,33\";\",\"))+\" \"+String(Num(True))+String(Num(New object.x)))",
       "33333.33 33333.33 10"},
      {"C_OBJECT($o)\n$o:=New object(\"n\";Null)\nECHO(String(Bool($o.married))+String(Bool($o.n))+String(Bool(2))+String(Bool(0))+String(Bool(\"x\"))+String(Bool(True)))",
       "FalseFalseTrueFalseFalseTrue"},
      {"ECHO(Uppercase(\"hélène\")+\" \"+Uppercase(\"hélène\";*)+\" \"+Lowercase(\"DÉJÀ\")+\" \"+Lowercase(\"DÉJÀ\";*))",
       "HELENE HÉLÈNE deja déjà"},
      {"ECHO(String(Position(\"ll\";\"Willow\"))+String(Position(\"œ\";\"Bœuf\";1;$l))+String($l)+String(Position(\"where\";\"somewhere, where\";1;$l;sk whole word))+"
       "String(Position(\"É\";\"eÉ\";1;$l;sk strict))+String(Position(\"E\";\"éE\";1;$l;sk case insensitive))+String(Position(\"E\";\"éE\";1;$l;sk diacritic insensitive)))",
       "32112222"},
      {"ECHO(String(Compare strings(\"alpha Bravo charlie\";\"Alpha Bravo Charlie\";sk char codes))+String(Compare strings(\"alpha Bravo\";\"Alpha Bravo\";sk char codes+sk case insensitive))+"
       "String(Compare strings(\"ete\";\"été\"))+String(Compare strings(\"ete\";\"été\";sk strict))+String(Compare strings(\"Ete\";\"été\";sk diacritic insensitive+sk kana insensitive)))",
       "100-1-1"},
      {"ECHO(String(Position(\"été\";\"un ete\"))+String(Position(\"ÉTÉ\";\"eté\"))+String(\"abc\"=\"ABC\")+String(\"a\"#\"à\"))",
       "41TrueFalse"},
  });
}

TEST(ClassicText, MatchRegexAndKeywords) {
  Check({
      {"$a:=Match regex(\"a.b\";\"---a-b---\";1;$p;$l)\n$b:=Match regex(\"a.b\";\"---a-b---\";1;$p;$l;*)\n"
       "$c:=Match regex(\"a.b\";\"---a-b---\";4;$p;$l;*)\nECHO(String($a)+String($b)+String($c)+String($p)+String($l))",
       "TrueFalseTrue43"},
      {"$t:=\"x<b>y</b>\"\n$start:=1\nRepeat\n$f:=Match regex(\"<[^>]*>\";$t;$start;$p;$l)\nIf ($f)\n"
       "ECHO(Substring($t;$p;$l))\n$start:=$p+$l\nEnd if\nUntil (Not($f))",
       "<b>|</b>"},
      {"ARRAY LONGINT($p;0)\nARRAY LONGINT($l;0)\nIf (Match regex(\"(.*)stuff(.*)\";\"my stuff here\";1;$p;$l))\n"
       "ECHO(Substring(\"my stuff here\";$p{1};$l{1})+\"|\"+Substring(\"my stuff here\";$p{2};$l{2})+\"|\"+String(Size of array($p)))\nEnd if",
       "my | here|2"},
      // Whole-text form, UTF-16 positions past a character outside the BMP, \w beyond ASCII.
      {"$a:=Match regex(\".*smith.*\";\"John smith\")\n$b:=Match regex(\"smith\";\"John smith\")\n"
       "$c:=Match regex(\"é\";\"😀é\";1;$p;$l)\nECHO(String($a)+String($b)+String($c)+String($p)+String(Match regex(\"^\\\\w+$\";\"héllo\")))",
       "TrueFalseTrue3True"},
      {"GET TEXT KEYWORDS(\"10,000 Jean-Pierre BC45 jean\";$w)\nGET TEXT KEYWORDS(\"10,000 Jean-Pierre BC45 jean\";$u;*)\n"
       "ECHO(String(Size of array($w))+$w{1}+\"/\"+$w{2}+\"/\"+$w{4}+\" \"+String(Size of array($u)))",
       "510,000/Jean/BC45 4"},
      {"GET SYSTEM FORMAT(Decimal separator;$d)\nGET SYSTEM FORMAT(Thousand separator;$t)\nGET SYSTEM FORMAT(Date separator;$s)\n"
       "ECHO($d+$t+$s+String(Num(\"1\"+$t+\"234\"+$d+\"5\";$d)))",
       ".,/1234.5"},
      {"$a:=Match regex(\"(a|aa)+$\";\"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa!\";1;$p;$l)", "error: "},
      {"$a:=Match regex(\"(\";\"x\")", "error: "},
      {"ECHO(String(\"Alpha Bravo Charlie\"%\"Bravo\")+String(\"Alpha Bravo Charlie\"%\"vo\")+String(\"Alpha Bravo Charlie\"%\"Alpha Bravo\")+"
       "String(\"Alpha,Bravo,Charlie\"%\"alpha\")+String(\"Software and Computers\"%\"comput@\")+String(\"pi is 3.14\"%\"3.14\")+String(7%4))",
       "TrueFalseFalseTrueTrueTrue3"},
  });
}

TEST(ClassicText, CharacterSetsBase64AndDigests) {
  Check({
      {"CONVERT FROM TEXT(\"été\";\"ISO-8859-1\";$b)\nECHO(String(OK)+\" \"+String(BLOB size($b))+\" \"+String($b{0})+\" \"+Convert to text($b;4))",
       "1 3 233 été"},
      {"CONVERT FROM TEXT(\"é€\";2027;$m)\nECHO(String($m{0})+\" \"+Convert to text($m;\"MacRoman\")+\" \"+Convert to text($m;\"windows-1252\"))",
       "142 é€ ŽÛ"},
      // UTF-16 in this machine's order; a byte order mark decides over the name given.
      {"CONVERT FROM TEXT(\"a😀\";\"UTF-16\";$u)\nECHO(String(BLOB size($u))+\" \"+String($u{0})+\" \"+Convert to text($u;1015))\n"
       "CONVERT FROM TEXT(Char(65279)+\"hi\";\"UTF-16BE\";$u)\nECHO(Convert to text($u;\"UTF-8\")+\" \"+Convert to text($u;\"UTF-16LE\"))",
       "6 97 a😀|hi hi"},
      {"SET BLOB SIZE($b;2)\n$b{0}:=255\n$b{1}:=65\nECHO(Convert to text($b;\"UTF-8\")+String(OK))", "\xEF\xBF\xBD" "A1"},
      {"C_BLOB($b)\n$x:=Convert to text($b;\"no-such-set\")\n$o1:=OK\nCONVERT FROM TEXT(\"€\";\"ISO-8859-1\";$l)\n"
       "ECHO(\"[\"+$x+\"]\"+String($o1)+\" \"+String(OK)+Convert to text($l;4))",
       "[]0 1?"},
      {"$t:=\"Hello\"\nBASE64 ENCODE($t)\nECHO($t)\nBASE64 DECODE($t)\nECHO($t)\nBASE64 ENCODE(\"ÿ?>\";$e;*)\nECHO($e)\n"
       "BASE64 DECODE($e;$d;*)\nBASE64 DECODE(\"not base64!\";$n)\nECHO($d+\"[\"+$n+\"]\")",
       "SGVsbG8=|Hello|w78_Pg|ÿ?>[]"},
      {"C_BLOB($b)\nBASE64 DECODE(\"AAEC\";$b)\nECHO(String(BLOB size($b))+String($b{2}))", "32"},
      {"ECHO(Generate digest(\"The quick brown fox jumps over the lazy dog.\";MD5 digest))\n"
       "ECHO(Generate digest(\"The quick brown fox jumps over the lazy dog.\";SHA1 digest))\n"
       "C_BLOB($e)\nECHO(Generate digest($e;MD5 digest)+\" \"+Generate digest(\"abc\";SHA256 digest;*))",
       "e4d909c290d0fb1ca068ffaddf22cbd0|408d94384216f890ff7a0c3528e8bed1e0b01621|"
       "d41d8cd98f00b204e9800998ecf8427e ungWv48Bz-pBQUDeXa4iI7ADYaOWF3qctBD_YfIAFa0"},
      {"$id:=Generate UUID\nECHO(String(Match regex(\"[0-9A-F]{12}4[0-9A-F]{3}[89AB][0-9A-F]{15}\";$id))+String($id#Generate UUID))",
       "TrueTrue"},
      {"$x:=Generate digest(\"a\";9)", "error: "},
  });
}

TEST(ClassicText, DateLiterals) {
  Check({
      {"ECHO(String(!12/25/92!)+\" \"+String(!2024-01-31!)+\" \"+String(!01/02/29!)+\" \"+String(!00/00/00!)+\" \"+String(Year of(!00-00-00!)))",
       "12/25/1992 01/31/2024 01/02/2029 00/00/00 0"},
      {"$d:=!02/30/2024!", "load: "},
      {"$d:=!12/25!", "load: "},
  });
}

}  // namespace
