// Numbers and booleans come out the same whether an expression has no call in it
// (worked on in place) or has one (worked on as values): helper_same($x) is $x through
// a method call.
ARRAY REAL($v;9)
$v{1}:=0
$v{2}:=7
$v{3}:=-3
$v{4}:=2147483647
$v{5}:=-2147483647-1
$v{6}:=2.5
$v{7}:=-0.5
$v{8}:=1e10
$v{9}:=65536
For ($i;1;Size of array($v))
  For ($j;1;Size of array($v))
    For ($kind;1;2)
      // longints where they fit, then reals
      If ($kind=1)
        $x:=Int($v{$i})
        $y:=Int($v{$j})
      Else
        $x:=$v{$i}
        $y:=$v{$j}
      End if
      $what:=" of "+String($x)+" and "+String($y)
      ASSERT(String($x+$y)=String(helper_same($x)+$y); "+"+$what)
      ASSERT(String($x-$y)=String(helper_same($x)-$y); "-"+$what)
      ASSERT(String($x*$y)=String(helper_same($x)*$y); "*"+$what)
      ASSERT(String(-$x)=String(-helper_same($x)); "negation"+$what)
      ASSERT(($x<$y)=(helper_same($x)<$y); "<"+$what)
      ASSERT(($x>=$y)=(helper_same($x)>=$y); ">="+$what)
      ASSERT(($x=$y)=(helper_same($x)=$y); "="+$what)
      ASSERT((($x<$y) & ($x#$y))=((helper_same($x)<$y) & ($x#$y)); "&"+$what)
      If (Abs($y)>=0.5)
        ASSERT(String($x/$y)=String(helper_same($x)/$y); "/"+$what)
        ASSERT(String($x\$y)=String(helper_same($x)\$y); "\\"+$what)
        ASSERT(String($x%$y)=String(helper_same($x)%$y); "%"+$what)
      End if
    End for
  End for
End for
// a longint variable keeps its type: reals are rounded into it
C_LONGINT($n)
$n:=1
$n:=$n+2.5
ASSERT($n=4; "a real rounded into a longint: "+String($n))
C_REAL($r)
$r:=7\2
ASSERT($r=3; "a longint into a real")
C_TIME($t)
$t:=3600+60
ASSERT(String($t)="01:01:00"; "a number into a time: "+String($t))
// For: real ends, the edge of the longint range, counters declared again in the body
$n:=0
For ($i;1;3.5)
  $n:=$n+1
End for
ASSERT(($n=3) & ($i=4); "a real end: "+String($n)+" "+String($i))
$n:=0
For ($i;3;1.5;-1)
  $n:=$n+1
End for
ASSERT(($n=2) & ($i=1); "a real end counting down: "+String($n)+" "+String($i))
$n:=0
C_LONGINT($top)
For ($top;2147483645;2147483647)
  $n:=$n+1
End for
ASSERT(($n=3) & ($top=2147483647); "up to the largest longint: "+String($n)+" "+String($top))
$n:=0
For ($k;1;3)
  C_REAL($k)
  $n:=$n+1
End for
ASSERT(($n=3) & ($k=4); "a counter declared real in the body: "+String($n)+" "+String($k))
C_REAL($q)
$n:=0
For ($q;1;2;0.5)
  $n:=$n+1
End for
ASSERT(($n=3) & ($q=2.5); "a real counter and step: "+String($n)+" "+String($q))
ARRAY LONGINT($c;2)
$n:=0
For ($c{2};1;4)
  $n:=$n+$c{2}
End for
ASSERT(($n=10) & ($c{2}=5); "an element as the counter")
// parameters past those passed, set and read by number
${300}:=12
ASSERT(${300}=12; "a far parameter")
ASSERT(Count parameters=0; "setting a parameter does not pass one")
