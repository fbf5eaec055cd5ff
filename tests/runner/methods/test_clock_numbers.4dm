// Clocks, dates of today, and the numeric functions.
$d:=Current date
ASSERT(Year of($d)>=2020; "this year")
ASSERT((Month of($d)>=1) & (Month of($d)<=12); "a month")
ASSERT((Day of($d)>=1) & (Day of($d)<=31); "a day")
$t:=Current time
ASSERT(($t>=?00:00:00?) & ($t<?24:00:00?); "a time of day")
C_TIME($least)
$least:=-1e10
ASSERT(-$least=2147483648; "the least time negated leaves the longint range")
$ms:=Milliseconds
$ticks:=Tickcount
DELAY PROCESS(Current process;6)
ASSERT((Tickcount-$ticks)>=6; "DELAY PROCESS waits its ticks")
ASSERT((Milliseconds-$ms)>=90; "milliseconds move with the ticks")
ASSERT(Abs(-3)=3; "Abs")
ASSERT(Abs(-2.5)=2.5; "Abs of a real")
ASSERT(Int(3.7)=3; "Int")
ASSERT(Int(-3.5)=-4; "Int rounds down")
ASSERT(Round(2.345;2)=2.35; "Round to two places")
ASSERT(Round(1234;-2)=1200; "Round to hundreds")
For ($i;1;100)
  $r:=Random
  ASSERT(($r>=0) & ($r<=32767); "Random range")
End for
ASSERT(Day of(!2024-02-29!)=29; "Day of")
ASSERT(String(1/4)="0.25"; "a real as text")
ASSERT(String(1e20)="1e+20"; "a large real as text")
ASSERT(Num(String(123456789))=123456789; "numbers through texts")
