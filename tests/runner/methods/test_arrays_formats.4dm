// More arrays, String with formats, Time string, ALERT.
ARRAY STRING(20;$s;3)
$s{1}:="pear"
$s{2}:="Apple"
$s{3}:="fig"
ARRAY INTEGER($n;3)
$n{1}:=1
$n{2}:=2
$n{3}:=3
SORT ARRAY($s;$n;>)
ASSERT(($s{1}="Apple") & ($s{3}="pear"); "ascending, case ignored")
ASSERT(($n{1}=2) & ($n{2}=3) & ($n{3}=1); "the second array follows")
SORT ARRAY($n;<)
ASSERT(($n{1}=3) & ($n{3}=1); "descending")
ARRAY LONGINT($twice;3)
$twice{1}:=3
$twice{2}:=1
$twice{3}:=2
SORT ARRAY($twice;$twice;>)
ASSERT(($twice{1}=1) & ($twice{2}=2) & ($twice{3}=3); "an array named twice is sorted once")
ASSERT(String(1e307;"###,##0.00")="<<<<<<<<<<"; "more digits than places: one < for each")
ASSERT(Find in array($s;"FIG")=2; "Find in array ignores case")
ASSERT(Find in array($s;"p@")=3; "@ matches the rest")
ASSERT(Find in array($s;"kiwi")=-1; "not found: -1")
ASSERT(Find in array($n;1;3)=3; "from a start")
INSERT IN ARRAY($s;2;2)
ASSERT((Size of array($s)=5) & ($s{2}="") & ($s{4}="fig"); "INSERT IN ARRAY")
INSERT IN ARRAY($s;99)
ASSERT(Size of array($s)=6; "past the end: added at the end")
DELETE FROM ARRAY($s;2;2)
ASSERT((Size of array($s)=4) & ($s{2}="fig"); "DELETE FROM ARRAY")
ARRAY BOOLEAN($flags;2)
ASSERT(Not($flags{1}); "ARRAY BOOLEAN starts False")
$flags{2}:=True
ASSERT(Find in array($flags;True)=2; "Find in array with a boolean")

ASSERT(String(2^15;"###,##0 Inhabitants")="32,768 Inhabitants"; "thousands and text after")
ASSERT(String(1/3;"##0.00000")="0.33333"; "decimals")
ASSERT(String(1234567.891;"#,###,##0.00")="1,234,567.89"; "a bigger number")
ASSERT(String(-3.5;"##0.0")="-3.5"; "a negative number gets a sign")
ASSERT(String(-3.5;"##0.0;(##0.0)")="(3.5)"; "the negative section")
ASSERT(String(0;"##0.0;-##0.0;zero")="zero"; "the zero section")
ASSERT(String(7;"000")="007"; "0 shows zeros")
ASSERT(String(7;"^^0")="  7"; "^ shows spaces")
ASSERT(String(-1;"&x")="0xFFFFFFFF"; "hexadecimal")
ASSERT(String(-1;"&$")="$FFFFFFFF"; "hexadecimal with $")
ASSERT(String(255;"&x")="0x00FF"; "a small hexadecimal")
$d:=!2006-12-29!
ASSERT(String($d;Internal date short)="12/29/2006"; "Internal date short")
ASSERT(String($d;Internal date short special)="12/29/06"; "short special")
ASSERT(String($d;Internal date long)="December 29, 2006"; "Internal date long")
ASSERT(String($d;Internal date abbreviated)="Dec 29, 2006"; "abbreviated")
ASSERT(String($d;ISO date)="2006-12-29T00:00:00"; "ISO date")
ASSERT(String($d;ISO date;?15:30:00?)="2006-12-29T15:30:00"; "ISO date with a time")
ASSERT(String($d;Date RFC 1123)="Fri, 29 Dec 2006 00:00:00 GMT"; "RFC 1123")
ASSERT(String($d;System date long)="Friday, December 29, 2006"; "System date long")
C_DATE($null)
ASSERT(String($null;Internal date short+Blank if null date)=""; "Blank if null date")
$t:=?01:02:03?
ASSERT(String($t;HH MM)="01:02"; "HH MM")
ASSERT(String($t;Hour Min Sec)="1 hour 2 minutes 3 seconds"; "Hour Min Sec")
ASSERT(String($t;HH MM AM PM)="1:02 AM"; "HH MM AM PM")
ASSERT(String(?13:05:00?;HH MM AM PM)="1:05 PM"; "PM")
ASSERT(String($t;MM SS)="62:03"; "MM SS")
ASSERT(Time string(3723)="01:02:03"; "Time string")
ASSERT(Time string(90000)="25:00:00"; "Time string past a day")
ALERT("an alert goes to standard output")
ASSERT(String(2.5;"##0")="2"; "digits past the format are dropped: only scientific notation rounds")
ASSERT(String(0.129;"0.00")="0.12"; "at the decimals too")
