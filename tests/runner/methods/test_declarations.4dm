// Declarations fix a variable's type; without one, the first assignment does.
C_LONGINT($l)
C_REAL($r)
C_TEXT($t)
C_BOOLEAN($f)
C_DATE($d)
C_TIME($h)
C_BLOB($b)
C_PICTURE($p)
ASSERT($l=0; "longint starts at 0")
ASSERT($r=0; "real starts at 0")
ASSERT($t=""; "text starts empty")
ASSERT($f=False; "boolean starts False")
ASSERT($d=!0000-00-00!; "the null date")
ASSERT($h=?00:00:00?; "time starts at 0")
ASSERT(BLOB size($b)=0; "empty BLOB")
$l:=2.5
ASSERT($l=3; "a real put into a longint is rounded")
$l:=-2.4
ASSERT($l=-2; "rounded to the nearest")
$r:=7
$r:=$r/2
ASSERT($r=3.5; "a real stays a real")
$h:=3661
ASSERT(String($h)="01:01:01"; "a number put into a time")
C_STRING(5;$s)
$s:="abcdefgh"
ASSERT($s="abcde"; "C_STRING keeps its length")
$u:="first"
ASSERT(Length($u)=5; "the first assignment gives the type")
$n:=1
$n:=2.75
ASSERT($n=2.75; "a number written in the method is a real, and so is the variable it gives a type")
$sum:=0
$sum:=$sum+2000000000
$sum:=$sum+2000000000
ASSERT(($sum=4000000000) & (Type($sum)=Is real); "an undeclared sum goes past the longints: "+String($sum))
For ($k;1;2)
End for
ASSERT(Type($k)=Is real; "an undeclared For counter is a real")
$l:=2000000000
$l:=$l+2000000000
ASSERT($l=2147483647; "a longint holds no more than the longints: "+String($l))
C_LONGINT($1)
