// Bitwise operators on longints (the examples of 4D's documentation) and pointers.
ASSERT((0x0000FFFF & 0xFF00FF00)=0x0000FF00; "&")
ASSERT((0x0000FFFF | 0xFF00FF00)=0xFF00FFFF; "|")
ASSERT((0x0000FFFF ^| 0xFF00FF00)=0xFF0000FF; "^|")
ASSERT((0x0000FFFF << 8)=0x00FFFF00; "<<")
ASSERT((0x0000FFFF >> 8)=0x000000FF; ">>")
ASSERT((0x00000000 ?+ 16)=0x00010000; "?+")
ASSERT((0x00010000 ?- 16)=0x00000000; "?-")
ASSERT(0x00010000 ?? 16; "??")
ASSERT(Not(0x00010000 ?? 15); "?? of a clear bit")
ASSERT(Not(0x00010000 ?? 40); "?? past bit 31 is False")
ASSERT((0xFFFFFFFF >> 28)=15; ">> brings in zeros")
ASSERT((1 << 32)=0; "shifting past 31 bits loses them all")
ASSERT((0x80000000 >> 31)=1; "the sign bit")
$r:=6.4
ASSERT(($r | 1)=7; "a real is taken as a longint")
$x:=12
$y:=10
ASSERT(($x & $y)=8; "& between longint variables")
ASSERT(($x ^| $y)=6; "^| between longint variables")
ASSERT((True & ($x=12)); "& between booleans is AND")
ASSERT((False | ($y=10)); "| between booleans is OR")
$flags:=0
For ($i;0;30;3)
  $flags:=$flags ?+ $i
End for
ASSERT($flags=0x49249249; "bits set in a loop: "+String($flags))

// pointers
C_POINTER($p;$q)
ASSERT(Is nil pointer($p); "C_POINTER starts nil")
$n:=1
$p:=->$n
ASSERT(Not(Is nil pointer($p)); "->$n")
ASSERT($p->=1; "reading through a pointer")
$p->:=$p->+41
ASSERT($n=42; "writing through a pointer")
$q:=->$n
ASSERT($p=$q; "pointers to one variable are equal")
$q:=->$x
ASSERT($p#$q; "pointers to two variables differ")
ARRAY TEXT($names;2)
$pa:=->$names
$pa->{1}:="one"
APPEND TO ARRAY($pa->;"three")
ASSERT($names{1}="one"; "an element through a pointer")
ASSERT(Size of array($pa->)=3; "an array through a pointer")
$pe:=->$names{3}
ASSERT($pe->="three"; "a pointer to an element")
$pe->:="3"
ASSERT($names{3}="3"; "writing an element through its pointer")
<>shared:=5
$pi:=-><>shared
helper_set_through($pi;7)
ASSERT(<>shared=7; "a pointer passed to a method")
helper_set_through(->$n;8)
ASSERT($n=8; "a pointer to a local passed to a method")
ARRAY POINTER($ptrs;2)
$ptrs{1}:=->$x
ASSERT($ptrs{1}->=12; "an array of pointers")
$pp:=->$p
ASSERT($pp->->=8; "a pointer to a pointer")
