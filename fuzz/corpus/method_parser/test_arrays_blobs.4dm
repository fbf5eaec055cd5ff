// Arrays and BLOBs.
ARRAY LONGINT($a;3)
ASSERT(Size of array($a)=3; "ARRAY LONGINT")
ASSERT($a{2}=0; "elements start at 0")
$a{1}:=10
$a{2}:=2.6
ASSERT($a{2}=3; "a real stored in a longint element is rounded")
APPEND TO ARRAY($a;7)
ASSERT(Size of array($a)=4; "APPEND TO ARRAY")
ASSERT($a{4}=7; "appended element")
$a{0}:=99
ASSERT($a{0}=99; "element 0 exists")
ARRAY LONGINT($a;2)
ASSERT(Size of array($a)=2; "ARRAY shrinks an array")
ASSERT($a{1}=10; "and keeps its elements")
ARRAY TEXT($names;0)
APPEND TO ARRAY($names;"one")
APPEND TO ARRAY($names;"two")
$s:=""
For ($i;1;Size of array($names))
  $s:=$s+$names{$i}
End for
ASSERT($s="onetwo"; "ARRAY TEXT")
ARRAY REAL($r;1)
$r{1}:=1.25
ASSERT($r{1}=1.25; "ARRAY REAL")

C_BLOB($b)
ASSERT(BLOB size($b)=0; "an empty BLOB")
SET BLOB SIZE($b;4;65)
ASSERT(BLOB size($b)=4; "SET BLOB SIZE")
ASSERT($b{0}=65; "filler")
$b{3}:=256+66
ASSERT($b{3}=66; "a byte keeps the low 8 bits")
ASSERT(BLOB to text($b;Mac text without length)="AAAB"; "BLOB to text")

// the Mac text formats, each read back from where it was written
C_BLOB($x)
C_LONGINT($off)
$off:=0
TEXT TO BLOB("Cé";$x;Mac C string;$off)
ASSERT($off=3; "C string offset")
TEXT TO BLOB("pascal";$x;Mac Pascal string;$off)
TEXT TO BLOB("with length";$x;Mac text with length;$off)
TEXT TO BLOB("tail";$x;Mac text without length;$off)
TEXT TO BLOB("é";$x;UTF8 text with length;*)
ASSERT(BLOB size($x)=(3+7+13+4+6); "sizes: "+String(BLOB size($x)))
ASSERT($x{10}=0; "2-byte length, high byte first")
ASSERT($x{11}=11; "2-byte length, low byte")
$off:=0
ASSERT(BLOB to text($x;Mac C string;$off)="Cé"; "read C string")
ASSERT(BLOB to text($x;Mac Pascal string;$off)="pascal"; "read Pascal string")
ASSERT(BLOB to text($x;Mac text with length;$off)="with length"; "read text with length")
ASSERT(BLOB to text($x;3;$off;4)="tail"; "read text without length, numeric format")
ASSERT(BLOB to text($x;UTF8 text with length;$off)="é"; "UTF-8 is converted back to Mac Roman")
ASSERT($off=BLOB size($x); "every byte read")
TEXT TO BLOB("new";$x;Mac text without length)
ASSERT(BLOB size($x)=3; "without an offset the BLOB is replaced")

// documents
$path:=Temporary folder+"vrx_runner_test_"+String(Current process)+".bin"
TEXT TO BLOB("line one\r\nline two";$b;Mac text without length)
BLOB TO DOCUMENT($path;$b)
ASSERT(Test path name($path)=Is a document; "the document exists")
C_BLOB($back)
DOCUMENT TO BLOB($path;$back)
ASSERT(BLOB to text($back;Mac text without length)="line one\r\nline two"; "document round trip")
DELETE DOCUMENT($path)
ASSERT(Test path name($path)=-43; "deleted")
ASSERT(Test path name(Temporary folder)=Is a folder; "a folder")
