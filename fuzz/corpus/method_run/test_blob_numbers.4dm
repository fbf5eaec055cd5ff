// Numbers in BLOBs, in both byte orders, and BLOB surgery.
C_BLOB($b)
LONGINT TO BLOB(0x01020304;$b;Macintosh byte ordering)
ASSERT(BLOB size($b)=4; "a longint is 4 bytes")
ASSERT(($b{0}=1) & ($b{3}=4); "Macintosh order: most significant byte first")
ASSERT(BLOB to longint($b;Macintosh byte ordering)=0x01020304; "read back")
ASSERT(BLOB to longint($b;PC byte ordering)=0x04030201; "read in the other order")
LONGINT TO BLOB(-2;$b;PC byte ordering)
ASSERT(($b{0}=0xFE) & ($b{3}=0xFF); "PC order: least significant byte first")
ASSERT(BLOB to longint($b;Native byte ordering)=-2; "native order is the PC order here")

// * appends; an offset variable is written at and moved on
SET BLOB SIZE($b;0)
INTEGER TO BLOB(0x1234;$b;Macintosh byte ordering;*)
INTEGER TO BLOB(-1;$b;PC byte ordering;*)
REAL TO BLOB(1.5;$b;Macintosh double real format;*)
ASSERT(BLOB size($b)=12; "2+2+8 bytes appended")
ASSERT(($b{4}=0x3F) & ($b{5}=0xF8); "1.5 as a big-endian double")
$off:=0
ASSERT(BLOB to integer($b;Macintosh byte ordering;$off)=0x1234; "integer")
ASSERT($off=2; "the offset moves past what was read")
ASSERT(BLOB to integer($b;PC byte ordering;$off)=-1; "an integer is signed")
ASSERT(BLOB to real($b;Macintosh double real format;$off)=1.5; "real")
ASSERT($off=12; "offset after the real")
$off:=14
LONGINT TO BLOB(7;$b;PC byte ordering;$off)
ASSERT(BLOB size($b)=18; "writing past the end grows the BLOB")
ASSERT(($b{12}=0) & ($b{13}=0); "the gap is zeros")
ASSERT($off=18; "offset after the write")
REAL TO BLOB(-0.25;$b;PC double real format)
ASSERT(BLOB size($b)=8; "without offset or * the BLOB is replaced")
ASSERT(BLOB to real($b;PC double real format)=-0.25; "PC double")

// COPY BLOB, INSERT IN BLOB, DELETE FROM BLOB
TEXT TO BLOB("abcdef";$src;Mac text without length)
C_BLOB($dst)
COPY BLOB($src;$dst;2;1;3)
ASSERT(BLOB size($dst)=4; "the destination grows")
ASSERT(BLOB to text($dst;Mac text without length)=(Char(0)+"cde"); "copied bytes")
INSERT IN BLOB($src;1;2;Character code("-"))
ASSERT(BLOB to text($src;Mac text without length)="a--bcdef"; "inserted bytes")
INSERT IN BLOB($src;8;1)
ASSERT($src{8}=0; "inserting at the end, zero filler")
DELETE FROM BLOB($src;0;3)
ASSERT(BLOB to text($src;Mac text without length)=("bcdef"+Char(0)); "deleted bytes")
DELETE FROM BLOB($src;4;100)
ASSERT(BLOB size($src)=4; "deleting past the end stops there")

// an offset named through a pointer to an element is read and moved on, without an error
ARRAY LONGINT($offs;1)
$offs{1}:=1
$p:=->$offs{1}
ASSERT((BLOB to integer($src;Macintosh byte ordering;$p->)=0x6364) & ($offs{1}=3); "offset through a pointer to an element")
