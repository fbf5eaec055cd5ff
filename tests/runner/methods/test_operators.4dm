// Operators: 4D evaluates strictly from left to right; parentheses group.
ASSERT(3+4*5=35; "left to right")
ASSERT((3+(4*5))=23; "parentheses")
ASSERT(7\2=3; "longint division")
ASSERT(-7\2=-3; "longint division truncates toward zero")
ASSERT(7%3=1; "modulo")
ASSERT(7/2=3.5; "real division")
ASSERT(.5+0.25=0.75; "reals with and without a leading zero")
ASSERT(1e3=1000; "exponent")
ASSERT(0xFF=255; "hexadecimal")
ASSERT(2^10=1024; "power")
ASSERT(-2*3=-6; "unary minus")
$x:=5
ASSERT(-$x=-5; "negated variable")
// longints that overflow become reals instead of wrapping
$big:=2147483647
$more:=$big+1
ASSERT($more=2147483648; "no wrap-around")
// texts
ASSERT("abc"+"def"="abcdef"; "concatenation")
ASSERT("ABC"="abc"; "= ignores case")
ASSERT("Éte"="éTE"; "= ignores case of accented letters")
ASSERT("abc"#"abd"; "#")
ASSERT("abc"<"ABD"; "< on texts ignores case")
ASSERT(Not("b"<="A"); "<= on texts")
// @ in the right-hand text stands for any characters
ASSERT("Content-Length: 12"="content-length:@"; "wildcard at the end")
ASSERT("abc"="a@c"; "wildcard inside")
ASSERT("abc"="@"; "wildcard alone")
ASSERT("aXbXc"="@x@c"; "several wildcards")
ASSERT(Not("abc"="b@"); "no match")
ASSERT("abc"#"a@d"; "# with a wildcard")
ASSERT(Not("a@c"="abc"); "@ on the left is a plain character")
// comparisons of numbers of both kinds
ASSERT(1=1.0; "longint equals real")
ASSERT(2>1.5; ">")
ASSERT(2>=2; ">=")
// booleans
ASSERT(True & Not(False); "&")
ASSERT(False | True; "|")
ASSERT(Not(True & False); "Not")
ASSERT((1<2) & ("a"="A"); "parenthesised comparisons joined by &")
// dates and times
ASSERT(!2024-02-28!+1=!2024-02-29!; "leap day")
ASSERT(!2023-02-28!+1=!2023-03-01!; "no leap day")
ASSERT(!2024-03-01!-!2024-01-01!=60; "days between dates")
ASSERT(!2024-01-01!-1=!2023-12-31!; "date minus days")
ASSERT(?01:00:00?+?00:30:00?=?01:30:00?; "time plus time")
ASSERT(?00:01:00?+1=61; "time plus number is a number")
ASSERT(?10:00:00?>?09:59:59?; "times compare")
ASSERT(String(?25:01:02?)="25:01:02"; "time as text")
ASSERT(String(!2001-09-09!)="09/09/2001"; "date as text: a US system's short form")
// reals are equal within the epsilon, which SET REAL COMPARISON LEVEL sets
ASSERT((0.1+0.2=0.3) & (0.000001=0.000002) & Not(0.00001=0.00002); "real equality within 10^-6")
$third:=1/3
ASSERT(($third=0.3333333) & Not($third#0.3333333) & ($third>0.3333333); "equal within it, yet ordered exactly")
SET REAL COMPARISON LEVEL(0)
ASSERT((0.1+0.2#0.3) & (1.5=1.5); "an epsilon of 0 compares exactly")
SET REAL COMPARISON LEVEL(0.000001)
