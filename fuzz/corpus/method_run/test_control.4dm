// If, Case of, While, Repeat, For.
C_LONGINT($i;$n;$count)
$n:=0
If (1=1)
  $n:=1
Else
  $n:=2
End if
ASSERT($n=1; "If branch")
If (1=2)
  $n:=1
Else
  If ("a"="A")
    $n:=3
  End if
End if
ASSERT($n=3; "nested If in Else")

For ($i;1;4)
  Case of
    : ($i=1)
      $n:=10
    : ($i<=3)
      $n:=$n+1
    Else
      $n:=$n*2
  End case
End for
ASSERT($n=24; "Case of takes the first true branch: "+String($n))
Case of
  : (False)
    $n:=0
End case
ASSERT($n=24; "Case of without a true branch and without Else")

$count:=0
While ($count<5)
  $count:=$count+1
End while
ASSERT($count=5; "While")
While (False)
  $count:=-1
End while
ASSERT($count=5; "While that never runs")

$count:=0
Repeat
  $count:=$count+1
Until ($count>=3)
ASSERT($count=3; "Repeat")
Repeat
  $count:=$count+1
Until (True)
ASSERT($count=4; "Repeat runs at least once")

$n:=0
For ($i;10;1;-3)
  $n:=$n+$i
End for
ASSERT($n=(10+7+4+1); "For with a negative step")
ASSERT($i=-2; "the counter after the loop: "+String($i))
$n:=0
For ($i;1;0)
  $n:=1
End for
ASSERT($n=0; "For that never runs")
ASSERT($i=1; "the counter of an empty loop")
$n:=0
For ($i;1;10)
  $n:=$n+1
  $i:=$i+1
End for
ASSERT($n=5; "the body may move the counter")
// a longint counter ends at the largest longint even when the end lies past it
$n:=0
For ($i;2147483646;2147483648)
  $n:=$n+1
End for
ASSERT(($n=2) & ($i=2147483647); "For past the longint range")
$n:=0
For ($i;-2147483647;-2147483649;-1)
  $n:=$n+1
End for
ASSERT(($n=2) & ($i=-2147483648); "and downwards")
// the end bound is read once
$count:=3
$n:=0
For ($i;1;$count)
  $count:=10
  $n:=$n+1
End for
ASSERT($n=3; "For reads its bounds once")
// a backslash at the end of a line continues the statement
$s:="a"+\
  "b"+\  // comments may follow it
  "c"
ASSERT($s="abc"; "line continuation")
ASSERT(7\2=3; "longint division")
