// Operators over every pair of operand sources (a local, a parameter, a process and an
// interprocess variable, a literal, a computed value): longints, reals and booleans;
// called with 7, 3, 2.5, 0.5, True, False, 6 and 4. The same statements run on the
// register machine, then the general way inside Use.
C_LONGINT($1;$2;$a;$b)
C_REAL($3;$4;$x;$y;$r;$7;$8;$w;$q)
C_BOOLEAN($k;$5;$6;$t;$f)
$a:=$1
$b:=$2
$x:=$3
$y:=$4
vA:=$1
vB:=$2
vX:=$3
vY:=$4
<>A:=$1
<>B:=$2
<>X:=$3
<>Y:=$4
$t:=$5
$f:=$6
vT:=$5
vF:=$6
<>T:=$5
<>F:=$6
$w:=$7
$q:=$8
vW:=$7
vQ:=$8
<>W:=$7
<>Q:=$8
$r:=$a+$b
ASSERT($r=10.0; "$a+$b")
$r:=$a\$b
ASSERT($r=2.0; "$a div $b")
$k:=$a<$b
ASSERT($k=False; "$a<$b")
$k:=$a=$b
ASSERT($k=False; "$a=$b")
$r:=$a+$2
ASSERT($r=10.0; "$a+$2")
$r:=$a\$2
ASSERT($r=2.0; "$a div $2")
$k:=$a<$2
ASSERT($k=False; "$a<$2")
$k:=$a=$2
ASSERT($k=False; "$a=$2")
$r:=$a+vB
ASSERT($r=10.0; "$a+vB")
$r:=$a\vB
ASSERT($r=2.0; "$a div vB")
$k:=$a<vB
ASSERT($k=False; "$a<vB")
$k:=$a=vB
ASSERT($k=False; "$a=vB")
$r:=$a+<>B
ASSERT($r=10.0; "$a+<>B")
$r:=$a\<>B
ASSERT($r=2.0; "$a div <>B")
$k:=$a<<>B
ASSERT($k=False; "$a<<>B")
$k:=$a=<>B
ASSERT($k=False; "$a=<>B")
$r:=$a+3
ASSERT($r=10.0; "$a+3")
$r:=$a\3
ASSERT($r=2.0; "$a div 3")
$k:=$a<3
ASSERT($k=False; "$a<3")
$k:=$a=3
ASSERT($k=False; "$a=3")
$r:=$a+($b*1)
ASSERT($r=10.0; "$a+($b*1)")
$r:=$a\($b*1)
ASSERT($r=2.0; "$a div ($b*1)")
$k:=$a<($b*1)
ASSERT($k=False; "$a<($b*1)")
$k:=$a=($b*1)
ASSERT($k=False; "$a=($b*1)")
$r:=$1+$b
ASSERT($r=10.0; "$1+$b")
$r:=$1\$b
ASSERT($r=2.0; "$1 div $b")
$k:=$1<$b
ASSERT($k=False; "$1<$b")
$k:=$1=$b
ASSERT($k=False; "$1=$b")
$r:=$1+$2
ASSERT($r=10.0; "$1+$2")
$r:=$1\$2
ASSERT($r=2.0; "$1 div $2")
$k:=$1<$2
ASSERT($k=False; "$1<$2")
$k:=$1=$2
ASSERT($k=False; "$1=$2")
$r:=$1+vB
ASSERT($r=10.0; "$1+vB")
$r:=$1\vB
ASSERT($r=2.0; "$1 div vB")
$k:=$1<vB
ASSERT($k=False; "$1<vB")
$k:=$1=vB
ASSERT($k=False; "$1=vB")
$r:=$1+<>B
ASSERT($r=10.0; "$1+<>B")
$r:=$1\<>B
ASSERT($r=2.0; "$1 div <>B")
$k:=$1<<>B
ASSERT($k=False; "$1<<>B")
$k:=$1=<>B
ASSERT($k=False; "$1=<>B")
$r:=$1+3
ASSERT($r=10.0; "$1+3")
$r:=$1\3
ASSERT($r=2.0; "$1 div 3")
$k:=$1<3
ASSERT($k=False; "$1<3")
$k:=$1=3
ASSERT($k=False; "$1=3")
$r:=$1+($b*1)
ASSERT($r=10.0; "$1+($b*1)")
$r:=$1\($b*1)
ASSERT($r=2.0; "$1 div ($b*1)")
$k:=$1<($b*1)
ASSERT($k=False; "$1<($b*1)")
$k:=$1=($b*1)
ASSERT($k=False; "$1=($b*1)")
$r:=vA+$b
ASSERT($r=10.0; "vA+$b")
$r:=vA\$b
ASSERT($r=2.0; "vA div $b")
$k:=vA<$b
ASSERT($k=False; "vA<$b")
$k:=vA=$b
ASSERT($k=False; "vA=$b")
$r:=vA+$2
ASSERT($r=10.0; "vA+$2")
$r:=vA\$2
ASSERT($r=2.0; "vA div $2")
$k:=vA<$2
ASSERT($k=False; "vA<$2")
$k:=vA=$2
ASSERT($k=False; "vA=$2")
$r:=vA+vB
ASSERT($r=10.0; "vA+vB")
$r:=vA\vB
ASSERT($r=2.0; "vA div vB")
$k:=vA<vB
ASSERT($k=False; "vA<vB")
$k:=vA=vB
ASSERT($k=False; "vA=vB")
$r:=vA+<>B
ASSERT($r=10.0; "vA+<>B")
$r:=vA\<>B
ASSERT($r=2.0; "vA div <>B")
$k:=vA<<>B
ASSERT($k=False; "vA<<>B")
$k:=vA=<>B
ASSERT($k=False; "vA=<>B")
$r:=vA+3
ASSERT($r=10.0; "vA+3")
$r:=vA\3
ASSERT($r=2.0; "vA div 3")
$k:=vA<3
ASSERT($k=False; "vA<3")
$k:=vA=3
ASSERT($k=False; "vA=3")
$r:=vA+($b*1)
ASSERT($r=10.0; "vA+($b*1)")
$r:=vA\($b*1)
ASSERT($r=2.0; "vA div ($b*1)")
$k:=vA<($b*1)
ASSERT($k=False; "vA<($b*1)")
$k:=vA=($b*1)
ASSERT($k=False; "vA=($b*1)")
$r:=<>A+$b
ASSERT($r=10.0; "<>A+$b")
$r:=<>A\$b
ASSERT($r=2.0; "<>A div $b")
$k:=<>A<$b
ASSERT($k=False; "<>A<$b")
$k:=<>A=$b
ASSERT($k=False; "<>A=$b")
$r:=<>A+$2
ASSERT($r=10.0; "<>A+$2")
$r:=<>A\$2
ASSERT($r=2.0; "<>A div $2")
$k:=<>A<$2
ASSERT($k=False; "<>A<$2")
$k:=<>A=$2
ASSERT($k=False; "<>A=$2")
$r:=<>A+vB
ASSERT($r=10.0; "<>A+vB")
$r:=<>A\vB
ASSERT($r=2.0; "<>A div vB")
$k:=<>A<vB
ASSERT($k=False; "<>A<vB")
$k:=<>A=vB
ASSERT($k=False; "<>A=vB")
$r:=<>A+<>B
ASSERT($r=10.0; "<>A+<>B")
$r:=<>A\<>B
ASSERT($r=2.0; "<>A div <>B")
$k:=<>A<<>B
ASSERT($k=False; "<>A<<>B")
$k:=<>A=<>B
ASSERT($k=False; "<>A=<>B")
$r:=<>A+3
ASSERT($r=10.0; "<>A+3")
$r:=<>A\3
ASSERT($r=2.0; "<>A div 3")
$k:=<>A<3
ASSERT($k=False; "<>A<3")
$k:=<>A=3
ASSERT($k=False; "<>A=3")
$r:=<>A+($b*1)
ASSERT($r=10.0; "<>A+($b*1)")
$r:=<>A\($b*1)
ASSERT($r=2.0; "<>A div ($b*1)")
$k:=<>A<($b*1)
ASSERT($k=False; "<>A<($b*1)")
$k:=<>A=($b*1)
ASSERT($k=False; "<>A=($b*1)")
$r:=7+$b
ASSERT($r=10.0; "7+$b")
$r:=7\$b
ASSERT($r=2.0; "7 div $b")
$k:=7<$b
ASSERT($k=False; "7<$b")
$k:=7=$b
ASSERT($k=False; "7=$b")
$r:=7+$2
ASSERT($r=10.0; "7+$2")
$r:=7\$2
ASSERT($r=2.0; "7 div $2")
$k:=7<$2
ASSERT($k=False; "7<$2")
$k:=7=$2
ASSERT($k=False; "7=$2")
$r:=7+vB
ASSERT($r=10.0; "7+vB")
$r:=7\vB
ASSERT($r=2.0; "7 div vB")
$k:=7<vB
ASSERT($k=False; "7<vB")
$k:=7=vB
ASSERT($k=False; "7=vB")
$r:=7+<>B
ASSERT($r=10.0; "7+<>B")
$r:=7\<>B
ASSERT($r=2.0; "7 div <>B")
$k:=7<<>B
ASSERT($k=False; "7<<>B")
$k:=7=<>B
ASSERT($k=False; "7=<>B")
$r:=7+3
ASSERT($r=10.0; "7+3")
$r:=7\3
ASSERT($r=2.0; "7 div 3")
$k:=7<3
ASSERT($k=False; "7<3")
$k:=7=3
ASSERT($k=False; "7=3")
$r:=7+($b*1)
ASSERT($r=10.0; "7+($b*1)")
$r:=7\($b*1)
ASSERT($r=2.0; "7 div ($b*1)")
$k:=7<($b*1)
ASSERT($k=False; "7<($b*1)")
$k:=7=($b*1)
ASSERT($k=False; "7=($b*1)")
$r:=($a+0)+$b
ASSERT($r=10.0; "($a+0)+$b")
$r:=($a+0)\$b
ASSERT($r=2.0; "($a+0) div $b")
$k:=($a+0)<$b
ASSERT($k=False; "($a+0)<$b")
$k:=($a+0)=$b
ASSERT($k=False; "($a+0)=$b")
$r:=($a+0)+$2
ASSERT($r=10.0; "($a+0)+$2")
$r:=($a+0)\$2
ASSERT($r=2.0; "($a+0) div $2")
$k:=($a+0)<$2
ASSERT($k=False; "($a+0)<$2")
$k:=($a+0)=$2
ASSERT($k=False; "($a+0)=$2")
$r:=($a+0)+vB
ASSERT($r=10.0; "($a+0)+vB")
$r:=($a+0)\vB
ASSERT($r=2.0; "($a+0) div vB")
$k:=($a+0)<vB
ASSERT($k=False; "($a+0)<vB")
$k:=($a+0)=vB
ASSERT($k=False; "($a+0)=vB")
$r:=($a+0)+<>B
ASSERT($r=10.0; "($a+0)+<>B")
$r:=($a+0)\<>B
ASSERT($r=2.0; "($a+0) div <>B")
$k:=($a+0)<<>B
ASSERT($k=False; "($a+0)<<>B")
$k:=($a+0)=<>B
ASSERT($k=False; "($a+0)=<>B")
$r:=($a+0)+3
ASSERT($r=10.0; "($a+0)+3")
$r:=($a+0)\3
ASSERT($r=2.0; "($a+0) div 3")
$k:=($a+0)<3
ASSERT($k=False; "($a+0)<3")
$k:=($a+0)=3
ASSERT($k=False; "($a+0)=3")
$r:=($a+0)+($b*1)
ASSERT($r=10.0; "($a+0)+($b*1)")
$r:=($a+0)\($b*1)
ASSERT($r=2.0; "($a+0) div ($b*1)")
$k:=($a+0)<($b*1)
ASSERT($k=False; "($a+0)<($b*1)")
$k:=($a+0)=($b*1)
ASSERT($k=False; "($a+0)=($b*1)")
$r:=$x-$y
ASSERT($r=2.0; "$x-$y")
$k:=$x>$y
ASSERT($k=True; "$x>$y")
$r:=$x-$4
ASSERT($r=2.0; "$x-$4")
$k:=$x>$4
ASSERT($k=True; "$x>$4")
$r:=$x-vY
ASSERT($r=2.0; "$x-vY")
$k:=$x>vY
ASSERT($k=True; "$x>vY")
$r:=$x-<>Y
ASSERT($r=2.0; "$x-<>Y")
$k:=$x><>Y
ASSERT($k=True; "$x><>Y")
$r:=$x-0.5
ASSERT($r=2.0; "$x-0.5")
$k:=$x>0.5
ASSERT($k=True; "$x>0.5")
$r:=$x-($y*1)
ASSERT($r=2.0; "$x-($y*1)")
$k:=$x>($y*1)
ASSERT($k=True; "$x>($y*1)")
$r:=$3-$y
ASSERT($r=2.0; "$3-$y")
$k:=$3>$y
ASSERT($k=True; "$3>$y")
$r:=$3-$4
ASSERT($r=2.0; "$3-$4")
$k:=$3>$4
ASSERT($k=True; "$3>$4")
$r:=$3-vY
ASSERT($r=2.0; "$3-vY")
$k:=$3>vY
ASSERT($k=True; "$3>vY")
$r:=$3-<>Y
ASSERT($r=2.0; "$3-<>Y")
$k:=$3><>Y
ASSERT($k=True; "$3><>Y")
$r:=$3-0.5
ASSERT($r=2.0; "$3-0.5")
$k:=$3>0.5
ASSERT($k=True; "$3>0.5")
$r:=$3-($y*1)
ASSERT($r=2.0; "$3-($y*1)")
$k:=$3>($y*1)
ASSERT($k=True; "$3>($y*1)")
$r:=vX-$y
ASSERT($r=2.0; "vX-$y")
$k:=vX>$y
ASSERT($k=True; "vX>$y")
$r:=vX-$4
ASSERT($r=2.0; "vX-$4")
$k:=vX>$4
ASSERT($k=True; "vX>$4")
$r:=vX-vY
ASSERT($r=2.0; "vX-vY")
$k:=vX>vY
ASSERT($k=True; "vX>vY")
$r:=vX-<>Y
ASSERT($r=2.0; "vX-<>Y")
$k:=vX><>Y
ASSERT($k=True; "vX><>Y")
$r:=vX-0.5
ASSERT($r=2.0; "vX-0.5")
$k:=vX>0.5
ASSERT($k=True; "vX>0.5")
$r:=vX-($y*1)
ASSERT($r=2.0; "vX-($y*1)")
$k:=vX>($y*1)
ASSERT($k=True; "vX>($y*1)")
$r:=<>X-$y
ASSERT($r=2.0; "<>X-$y")
$k:=<>X>$y
ASSERT($k=True; "<>X>$y")
$r:=<>X-$4
ASSERT($r=2.0; "<>X-$4")
$k:=<>X>$4
ASSERT($k=True; "<>X>$4")
$r:=<>X-vY
ASSERT($r=2.0; "<>X-vY")
$k:=<>X>vY
ASSERT($k=True; "<>X>vY")
$r:=<>X-<>Y
ASSERT($r=2.0; "<>X-<>Y")
$k:=<>X><>Y
ASSERT($k=True; "<>X><>Y")
$r:=<>X-0.5
ASSERT($r=2.0; "<>X-0.5")
$k:=<>X>0.5
ASSERT($k=True; "<>X>0.5")
$r:=<>X-($y*1)
ASSERT($r=2.0; "<>X-($y*1)")
$k:=<>X>($y*1)
ASSERT($k=True; "<>X>($y*1)")
$r:=2.5-$y
ASSERT($r=2.0; "2.5-$y")
$k:=2.5>$y
ASSERT($k=True; "2.5>$y")
$r:=2.5-$4
ASSERT($r=2.0; "2.5-$4")
$k:=2.5>$4
ASSERT($k=True; "2.5>$4")
$r:=2.5-vY
ASSERT($r=2.0; "2.5-vY")
$k:=2.5>vY
ASSERT($k=True; "2.5>vY")
$r:=2.5-<>Y
ASSERT($r=2.0; "2.5-<>Y")
$k:=2.5><>Y
ASSERT($k=True; "2.5><>Y")
$r:=2.5-0.5
ASSERT($r=2.0; "2.5-0.5")
$k:=2.5>0.5
ASSERT($k=True; "2.5>0.5")
$r:=2.5-($y*1)
ASSERT($r=2.0; "2.5-($y*1)")
$k:=2.5>($y*1)
ASSERT($k=True; "2.5>($y*1)")
$r:=($x+0)-$y
ASSERT($r=2.0; "($x+0)-$y")
$k:=($x+0)>$y
ASSERT($k=True; "($x+0)>$y")
$r:=($x+0)-$4
ASSERT($r=2.0; "($x+0)-$4")
$k:=($x+0)>$4
ASSERT($k=True; "($x+0)>$4")
$r:=($x+0)-vY
ASSERT($r=2.0; "($x+0)-vY")
$k:=($x+0)>vY
ASSERT($k=True; "($x+0)>vY")
$r:=($x+0)-<>Y
ASSERT($r=2.0; "($x+0)-<>Y")
$k:=($x+0)><>Y
ASSERT($k=True; "($x+0)><>Y")
$r:=($x+0)-0.5
ASSERT($r=2.0; "($x+0)-0.5")
$k:=($x+0)>0.5
ASSERT($k=True; "($x+0)>0.5")
$r:=($x+0)-($y*1)
ASSERT($r=2.0; "($x+0)-($y*1)")
$k:=($x+0)>($y*1)
ASSERT($k=True; "($x+0)>($y*1)")
$r:=$a*$y
ASSERT($r=3.5; "$a*$y")
$r:=$y*$a
ASSERT($r=3.5; "$y*$a")
$k:=$a<=$y
ASSERT($k=False; "$a<=$y")
$k:=$y<=$a
ASSERT($k=True; "$y<=$a")
$r:=$1*$4
ASSERT($r=3.5; "$1*$4")
$r:=$4*$1
ASSERT($r=3.5; "$4*$1")
$k:=$1<=$4
ASSERT($k=False; "$1<=$4")
$k:=$4<=$1
ASSERT($k=True; "$4<=$1")
$r:=vA*vY
ASSERT($r=3.5; "vA*vY")
$r:=vY*vA
ASSERT($r=3.5; "vY*vA")
$k:=vA<=vY
ASSERT($k=False; "vA<=vY")
$k:=vY<=vA
ASSERT($k=True; "vY<=vA")
$r:=<>A*<>Y
ASSERT($r=3.5; "<>A*<>Y")
$r:=<>Y*<>A
ASSERT($r=3.5; "<>Y*<>A")
$k:=<>A<=<>Y
ASSERT($k=False; "<>A<=<>Y")
$k:=<>Y<=<>A
ASSERT($k=True; "<>Y<=<>A")
$r:=7*0.5
ASSERT($r=3.5; "7*0.5")
$r:=0.5*7
ASSERT($r=3.5; "0.5*7")
$k:=7<=0.5
ASSERT($k=False; "7<=0.5")
$k:=0.5<=7
ASSERT($k=True; "0.5<=7")
$r:=($a+0)*($y*1)
ASSERT($r=3.5; "($a+0)*($y*1)")
$r:=($y*1)*($a+0)
ASSERT($r=3.5; "($y*1)*($a+0)")
$k:=($a+0)<=($y*1)
ASSERT($k=False; "($a+0)<=($y*1)")
$k:=($y*1)<=($a+0)
ASSERT($k=True; "($y*1)<=($a+0)")
$k:=$t&$f
ASSERT($k=False; "$t&$f")
$k:=$t|$f
ASSERT($k=True; "$t|$f")
$k:=$t=$f
ASSERT($k=False; "$t=$f")
$k:=$t#$f
ASSERT($k=True; "$t#$f")
$k:=$t&$6
ASSERT($k=False; "$t&$6")
$k:=$t|$6
ASSERT($k=True; "$t|$6")
$k:=$t=$6
ASSERT($k=False; "$t=$6")
$k:=$t#$6
ASSERT($k=True; "$t#$6")
$k:=$t&vF
ASSERT($k=False; "$t&vF")
$k:=$t|vF
ASSERT($k=True; "$t|vF")
$k:=$t=vF
ASSERT($k=False; "$t=vF")
$k:=$t#vF
ASSERT($k=True; "$t#vF")
$k:=$t&<>F
ASSERT($k=False; "$t&<>F")
$k:=$t|<>F
ASSERT($k=True; "$t|<>F")
$k:=$t=<>F
ASSERT($k=False; "$t=<>F")
$k:=$t#<>F
ASSERT($k=True; "$t#<>F")
$k:=$t&False
ASSERT($k=False; "$t&False")
$k:=$t|False
ASSERT($k=True; "$t|False")
$k:=$t=False
ASSERT($k=False; "$t=False")
$k:=$t#False
ASSERT($k=True; "$t#False")
$k:=$t&($f | False)
ASSERT($k=False; "$t&($f | False)")
$k:=$t|($f | False)
ASSERT($k=True; "$t|($f | False)")
$k:=$t=($f | False)
ASSERT($k=False; "$t=($f | False)")
$k:=$t#($f | False)
ASSERT($k=True; "$t#($f | False)")
$k:=$5&$f
ASSERT($k=False; "$5&$f")
$k:=$5|$f
ASSERT($k=True; "$5|$f")
$k:=$5=$f
ASSERT($k=False; "$5=$f")
$k:=$5#$f
ASSERT($k=True; "$5#$f")
$k:=$5&$6
ASSERT($k=False; "$5&$6")
$k:=$5|$6
ASSERT($k=True; "$5|$6")
$k:=$5=$6
ASSERT($k=False; "$5=$6")
$k:=$5#$6
ASSERT($k=True; "$5#$6")
$k:=$5&vF
ASSERT($k=False; "$5&vF")
$k:=$5|vF
ASSERT($k=True; "$5|vF")
$k:=$5=vF
ASSERT($k=False; "$5=vF")
$k:=$5#vF
ASSERT($k=True; "$5#vF")
$k:=$5&<>F
ASSERT($k=False; "$5&<>F")
$k:=$5|<>F
ASSERT($k=True; "$5|<>F")
$k:=$5=<>F
ASSERT($k=False; "$5=<>F")
$k:=$5#<>F
ASSERT($k=True; "$5#<>F")
$k:=$5&False
ASSERT($k=False; "$5&False")
$k:=$5|False
ASSERT($k=True; "$5|False")
$k:=$5=False
ASSERT($k=False; "$5=False")
$k:=$5#False
ASSERT($k=True; "$5#False")
$k:=$5&($f | False)
ASSERT($k=False; "$5&($f | False)")
$k:=$5|($f | False)
ASSERT($k=True; "$5|($f | False)")
$k:=$5=($f | False)
ASSERT($k=False; "$5=($f | False)")
$k:=$5#($f | False)
ASSERT($k=True; "$5#($f | False)")
$k:=vT&$f
ASSERT($k=False; "vT&$f")
$k:=vT|$f
ASSERT($k=True; "vT|$f")
$k:=vT=$f
ASSERT($k=False; "vT=$f")
$k:=vT#$f
ASSERT($k=True; "vT#$f")
$k:=vT&$6
ASSERT($k=False; "vT&$6")
$k:=vT|$6
ASSERT($k=True; "vT|$6")
$k:=vT=$6
ASSERT($k=False; "vT=$6")
$k:=vT#$6
ASSERT($k=True; "vT#$6")
$k:=vT&vF
ASSERT($k=False; "vT&vF")
$k:=vT|vF
ASSERT($k=True; "vT|vF")
$k:=vT=vF
ASSERT($k=False; "vT=vF")
$k:=vT#vF
ASSERT($k=True; "vT#vF")
$k:=vT&<>F
ASSERT($k=False; "vT&<>F")
$k:=vT|<>F
ASSERT($k=True; "vT|<>F")
$k:=vT=<>F
ASSERT($k=False; "vT=<>F")
$k:=vT#<>F
ASSERT($k=True; "vT#<>F")
$k:=vT&False
ASSERT($k=False; "vT&False")
$k:=vT|False
ASSERT($k=True; "vT|False")
$k:=vT=False
ASSERT($k=False; "vT=False")
$k:=vT#False
ASSERT($k=True; "vT#False")
$k:=vT&($f | False)
ASSERT($k=False; "vT&($f | False)")
$k:=vT|($f | False)
ASSERT($k=True; "vT|($f | False)")
$k:=vT=($f | False)
ASSERT($k=False; "vT=($f | False)")
$k:=vT#($f | False)
ASSERT($k=True; "vT#($f | False)")
$k:=<>T&$f
ASSERT($k=False; "<>T&$f")
$k:=<>T|$f
ASSERT($k=True; "<>T|$f")
$k:=<>T=$f
ASSERT($k=False; "<>T=$f")
$k:=<>T#$f
ASSERT($k=True; "<>T#$f")
$k:=<>T&$6
ASSERT($k=False; "<>T&$6")
$k:=<>T|$6
ASSERT($k=True; "<>T|$6")
$k:=<>T=$6
ASSERT($k=False; "<>T=$6")
$k:=<>T#$6
ASSERT($k=True; "<>T#$6")
$k:=<>T&vF
ASSERT($k=False; "<>T&vF")
$k:=<>T|vF
ASSERT($k=True; "<>T|vF")
$k:=<>T=vF
ASSERT($k=False; "<>T=vF")
$k:=<>T#vF
ASSERT($k=True; "<>T#vF")
$k:=<>T&<>F
ASSERT($k=False; "<>T&<>F")
$k:=<>T|<>F
ASSERT($k=True; "<>T|<>F")
$k:=<>T=<>F
ASSERT($k=False; "<>T=<>F")
$k:=<>T#<>F
ASSERT($k=True; "<>T#<>F")
$k:=<>T&False
ASSERT($k=False; "<>T&False")
$k:=<>T|False
ASSERT($k=True; "<>T|False")
$k:=<>T=False
ASSERT($k=False; "<>T=False")
$k:=<>T#False
ASSERT($k=True; "<>T#False")
$k:=<>T&($f | False)
ASSERT($k=False; "<>T&($f | False)")
$k:=<>T|($f | False)
ASSERT($k=True; "<>T|($f | False)")
$k:=<>T=($f | False)
ASSERT($k=False; "<>T=($f | False)")
$k:=<>T#($f | False)
ASSERT($k=True; "<>T#($f | False)")
$k:=True&$f
ASSERT($k=False; "True&$f")
$k:=True|$f
ASSERT($k=True; "True|$f")
$k:=True=$f
ASSERT($k=False; "True=$f")
$k:=True#$f
ASSERT($k=True; "True#$f")
$k:=True&$6
ASSERT($k=False; "True&$6")
$k:=True|$6
ASSERT($k=True; "True|$6")
$k:=True=$6
ASSERT($k=False; "True=$6")
$k:=True#$6
ASSERT($k=True; "True#$6")
$k:=True&vF
ASSERT($k=False; "True&vF")
$k:=True|vF
ASSERT($k=True; "True|vF")
$k:=True=vF
ASSERT($k=False; "True=vF")
$k:=True#vF
ASSERT($k=True; "True#vF")
$k:=True&<>F
ASSERT($k=False; "True&<>F")
$k:=True|<>F
ASSERT($k=True; "True|<>F")
$k:=True=<>F
ASSERT($k=False; "True=<>F")
$k:=True#<>F
ASSERT($k=True; "True#<>F")
$k:=True&False
ASSERT($k=False; "True&False")
$k:=True|False
ASSERT($k=True; "True|False")
$k:=True=False
ASSERT($k=False; "True=False")
$k:=True#False
ASSERT($k=True; "True#False")
$k:=True&($f | False)
ASSERT($k=False; "True&($f | False)")
$k:=True|($f | False)
ASSERT($k=True; "True|($f | False)")
$k:=True=($f | False)
ASSERT($k=False; "True=($f | False)")
$k:=True#($f | False)
ASSERT($k=True; "True#($f | False)")
$k:=($t & True)&$f
ASSERT($k=False; "($t & True)&$f")
$k:=($t & True)|$f
ASSERT($k=True; "($t & True)|$f")
$k:=($t & True)=$f
ASSERT($k=False; "($t & True)=$f")
$k:=($t & True)#$f
ASSERT($k=True; "($t & True)#$f")
$k:=($t & True)&$6
ASSERT($k=False; "($t & True)&$6")
$k:=($t & True)|$6
ASSERT($k=True; "($t & True)|$6")
$k:=($t & True)=$6
ASSERT($k=False; "($t & True)=$6")
$k:=($t & True)#$6
ASSERT($k=True; "($t & True)#$6")
$k:=($t & True)&vF
ASSERT($k=False; "($t & True)&vF")
$k:=($t & True)|vF
ASSERT($k=True; "($t & True)|vF")
$k:=($t & True)=vF
ASSERT($k=False; "($t & True)=vF")
$k:=($t & True)#vF
ASSERT($k=True; "($t & True)#vF")
$k:=($t & True)&<>F
ASSERT($k=False; "($t & True)&<>F")
$k:=($t & True)|<>F
ASSERT($k=True; "($t & True)|<>F")
$k:=($t & True)=<>F
ASSERT($k=False; "($t & True)=<>F")
$k:=($t & True)#<>F
ASSERT($k=True; "($t & True)#<>F")
$k:=($t & True)&False
ASSERT($k=False; "($t & True)&False")
$k:=($t & True)|False
ASSERT($k=True; "($t & True)|False")
$k:=($t & True)=False
ASSERT($k=False; "($t & True)=False")
$k:=($t & True)#False
ASSERT($k=True; "($t & True)#False")
$k:=($t & True)&($f | False)
ASSERT($k=False; "($t & True)&($f | False)")
$k:=($t & True)|($f | False)
ASSERT($k=True; "($t & True)|($f | False)")
$k:=($t & True)=($f | False)
ASSERT($k=False; "($t & True)=($f | False)")
$k:=($t & True)#($f | False)
ASSERT($k=True; "($t & True)#($f | False)")
$r:=$w\$q
ASSERT($r=1.0; "$w div $q")
$r:=$w%$q
ASSERT($r=2.0; "$w%$q")
$r:=$w\$8
ASSERT($r=1.0; "$w div $8")
$r:=$w%$8
ASSERT($r=2.0; "$w%$8")
$r:=$w\vQ
ASSERT($r=1.0; "$w div vQ")
$r:=$w%vQ
ASSERT($r=2.0; "$w%vQ")
$r:=$w\<>Q
ASSERT($r=1.0; "$w div <>Q")
$r:=$w%<>Q
ASSERT($r=2.0; "$w%<>Q")
$r:=$w\4
ASSERT($r=1.0; "$w div 4")
$r:=$w%4
ASSERT($r=2.0; "$w%4")
$r:=$w\($q*1)
ASSERT($r=1.0; "$w div ($q*1)")
$r:=$w%($q*1)
ASSERT($r=2.0; "$w%($q*1)")
$r:=$7\$q
ASSERT($r=1.0; "$7 div $q")
$r:=$7%$q
ASSERT($r=2.0; "$7%$q")
$r:=$7\$8
ASSERT($r=1.0; "$7 div $8")
$r:=$7%$8
ASSERT($r=2.0; "$7%$8")
$r:=$7\vQ
ASSERT($r=1.0; "$7 div vQ")
$r:=$7%vQ
ASSERT($r=2.0; "$7%vQ")
$r:=$7\<>Q
ASSERT($r=1.0; "$7 div <>Q")
$r:=$7%<>Q
ASSERT($r=2.0; "$7%<>Q")
$r:=$7\4
ASSERT($r=1.0; "$7 div 4")
$r:=$7%4
ASSERT($r=2.0; "$7%4")
$r:=$7\($q*1)
ASSERT($r=1.0; "$7 div ($q*1)")
$r:=$7%($q*1)
ASSERT($r=2.0; "$7%($q*1)")
$r:=vW\$q
ASSERT($r=1.0; "vW div $q")
$r:=vW%$q
ASSERT($r=2.0; "vW%$q")
$r:=vW\$8
ASSERT($r=1.0; "vW div $8")
$r:=vW%$8
ASSERT($r=2.0; "vW%$8")
$r:=vW\vQ
ASSERT($r=1.0; "vW div vQ")
$r:=vW%vQ
ASSERT($r=2.0; "vW%vQ")
$r:=vW\<>Q
ASSERT($r=1.0; "vW div <>Q")
$r:=vW%<>Q
ASSERT($r=2.0; "vW%<>Q")
$r:=vW\4
ASSERT($r=1.0; "vW div 4")
$r:=vW%4
ASSERT($r=2.0; "vW%4")
$r:=vW\($q*1)
ASSERT($r=1.0; "vW div ($q*1)")
$r:=vW%($q*1)
ASSERT($r=2.0; "vW%($q*1)")
$r:=<>W\$q
ASSERT($r=1.0; "<>W div $q")
$r:=<>W%$q
ASSERT($r=2.0; "<>W%$q")
$r:=<>W\$8
ASSERT($r=1.0; "<>W div $8")
$r:=<>W%$8
ASSERT($r=2.0; "<>W%$8")
$r:=<>W\vQ
ASSERT($r=1.0; "<>W div vQ")
$r:=<>W%vQ
ASSERT($r=2.0; "<>W%vQ")
$r:=<>W\<>Q
ASSERT($r=1.0; "<>W div <>Q")
$r:=<>W%<>Q
ASSERT($r=2.0; "<>W%<>Q")
$r:=<>W\4
ASSERT($r=1.0; "<>W div 4")
$r:=<>W%4
ASSERT($r=2.0; "<>W%4")
$r:=<>W\($q*1)
ASSERT($r=1.0; "<>W div ($q*1)")
$r:=<>W%($q*1)
ASSERT($r=2.0; "<>W%($q*1)")
$r:=6\$q
ASSERT($r=1.0; "6 div $q")
$r:=6%$q
ASSERT($r=2.0; "6%$q")
$r:=6\$8
ASSERT($r=1.0; "6 div $8")
$r:=6%$8
ASSERT($r=2.0; "6%$8")
$r:=6\vQ
ASSERT($r=1.0; "6 div vQ")
$r:=6%vQ
ASSERT($r=2.0; "6%vQ")
$r:=6\<>Q
ASSERT($r=1.0; "6 div <>Q")
$r:=6%<>Q
ASSERT($r=2.0; "6%<>Q")
$r:=6\4
ASSERT($r=1.0; "6 div 4")
$r:=6%4
ASSERT($r=2.0; "6%4")
$r:=6\($q*1)
ASSERT($r=1.0; "6 div ($q*1)")
$r:=6%($q*1)
ASSERT($r=2.0; "6%($q*1)")
$r:=($w+0)\$q
ASSERT($r=1.0; "($w+0) div $q")
$r:=($w+0)%$q
ASSERT($r=2.0; "($w+0)%$q")
$r:=($w+0)\$8
ASSERT($r=1.0; "($w+0) div $8")
$r:=($w+0)%$8
ASSERT($r=2.0; "($w+0)%$8")
$r:=($w+0)\vQ
ASSERT($r=1.0; "($w+0) div vQ")
$r:=($w+0)%vQ
ASSERT($r=2.0; "($w+0)%vQ")
$r:=($w+0)\<>Q
ASSERT($r=1.0; "($w+0) div <>Q")
$r:=($w+0)%<>Q
ASSERT($r=2.0; "($w+0)%<>Q")
$r:=($w+0)\4
ASSERT($r=1.0; "($w+0) div 4")
$r:=($w+0)%4
ASSERT($r=2.0; "($w+0)%4")
$r:=($w+0)\($q*1)
ASSERT($r=1.0; "($w+0) div ($q*1)")
$r:=($w+0)%($q*1)
ASSERT($r=2.0; "($w+0)%($q*1)")
$r:=$a\$q
ASSERT($r=1.0; "$a div $q")
$r:=$q%$a
ASSERT($r=4.0; "$q%$a")
$r:=$a\$8
ASSERT($r=1.0; "$a div $8")
$r:=$8%$a
ASSERT($r=4.0; "$8%$a")
$r:=$a\vQ
ASSERT($r=1.0; "$a div vQ")
$r:=vQ%$a
ASSERT($r=4.0; "vQ%$a")
$r:=$a\<>Q
ASSERT($r=1.0; "$a div <>Q")
$r:=<>Q%$a
ASSERT($r=4.0; "<>Q%$a")
$r:=$a\4
ASSERT($r=1.0; "$a div 4")
$r:=4%$a
ASSERT($r=4.0; "4%$a")
$r:=$a\($q*1)
ASSERT($r=1.0; "$a div ($q*1)")
$r:=($q*1)%$a
ASSERT($r=4.0; "($q*1)%$a")
$r:=$1\$q
ASSERT($r=1.0; "$1 div $q")
$r:=$q%$1
ASSERT($r=4.0; "$q%$1")
$r:=$1\$8
ASSERT($r=1.0; "$1 div $8")
$r:=$8%$1
ASSERT($r=4.0; "$8%$1")
$r:=$1\vQ
ASSERT($r=1.0; "$1 div vQ")
$r:=vQ%$1
ASSERT($r=4.0; "vQ%$1")
$r:=$1\<>Q
ASSERT($r=1.0; "$1 div <>Q")
$r:=<>Q%$1
ASSERT($r=4.0; "<>Q%$1")
$r:=$1\4
ASSERT($r=1.0; "$1 div 4")
$r:=4%$1
ASSERT($r=4.0; "4%$1")
$r:=$1\($q*1)
ASSERT($r=1.0; "$1 div ($q*1)")
$r:=($q*1)%$1
ASSERT($r=4.0; "($q*1)%$1")
$r:=vA\$q
ASSERT($r=1.0; "vA div $q")
$r:=$q%vA
ASSERT($r=4.0; "$q%vA")
$r:=vA\$8
ASSERT($r=1.0; "vA div $8")
$r:=$8%vA
ASSERT($r=4.0; "$8%vA")
$r:=vA\vQ
ASSERT($r=1.0; "vA div vQ")
$r:=vQ%vA
ASSERT($r=4.0; "vQ%vA")
$r:=vA\<>Q
ASSERT($r=1.0; "vA div <>Q")
$r:=<>Q%vA
ASSERT($r=4.0; "<>Q%vA")
$r:=vA\4
ASSERT($r=1.0; "vA div 4")
$r:=4%vA
ASSERT($r=4.0; "4%vA")
$r:=vA\($q*1)
ASSERT($r=1.0; "vA div ($q*1)")
$r:=($q*1)%vA
ASSERT($r=4.0; "($q*1)%vA")
$r:=<>A\$q
ASSERT($r=1.0; "<>A div $q")
$r:=$q%<>A
ASSERT($r=4.0; "$q%<>A")
$r:=<>A\$8
ASSERT($r=1.0; "<>A div $8")
$r:=$8%<>A
ASSERT($r=4.0; "$8%<>A")
$r:=<>A\vQ
ASSERT($r=1.0; "<>A div vQ")
$r:=vQ%<>A
ASSERT($r=4.0; "vQ%<>A")
$r:=<>A\<>Q
ASSERT($r=1.0; "<>A div <>Q")
$r:=<>Q%<>A
ASSERT($r=4.0; "<>Q%<>A")
$r:=<>A\4
ASSERT($r=1.0; "<>A div 4")
$r:=4%<>A
ASSERT($r=4.0; "4%<>A")
$r:=<>A\($q*1)
ASSERT($r=1.0; "<>A div ($q*1)")
$r:=($q*1)%<>A
ASSERT($r=4.0; "($q*1)%<>A")
$r:=7\$q
ASSERT($r=1.0; "7 div $q")
$r:=$q%7
ASSERT($r=4.0; "$q%7")
$r:=7\$8
ASSERT($r=1.0; "7 div $8")
$r:=$8%7
ASSERT($r=4.0; "$8%7")
$r:=7\vQ
ASSERT($r=1.0; "7 div vQ")
$r:=vQ%7
ASSERT($r=4.0; "vQ%7")
$r:=7\<>Q
ASSERT($r=1.0; "7 div <>Q")
$r:=<>Q%7
ASSERT($r=4.0; "<>Q%7")
$r:=7\4
ASSERT($r=1.0; "7 div 4")
$r:=4%7
ASSERT($r=4.0; "4%7")
$r:=7\($q*1)
ASSERT($r=1.0; "7 div ($q*1)")
$r:=($q*1)%7
ASSERT($r=4.0; "($q*1)%7")
$r:=($a+0)\$q
ASSERT($r=1.0; "($a+0) div $q")
$r:=$q%($a+0)
ASSERT($r=4.0; "$q%($a+0)")
$r:=($a+0)\$8
ASSERT($r=1.0; "($a+0) div $8")
$r:=$8%($a+0)
ASSERT($r=4.0; "$8%($a+0)")
$r:=($a+0)\vQ
ASSERT($r=1.0; "($a+0) div vQ")
$r:=vQ%($a+0)
ASSERT($r=4.0; "vQ%($a+0)")
$r:=($a+0)\<>Q
ASSERT($r=1.0; "($a+0) div <>Q")
$r:=<>Q%($a+0)
ASSERT($r=4.0; "<>Q%($a+0)")
$r:=($a+0)\4
ASSERT($r=1.0; "($a+0) div 4")
$r:=4%($a+0)
ASSERT($r=4.0; "4%($a+0)")
$r:=($a+0)\($q*1)
ASSERT($r=1.0; "($a+0) div ($q*1)")
$r:=($q*1)%($a+0)
ASSERT($r=4.0; "($q*1)%($a+0)")
$r:=$a+$b
ASSERT($r=10.0; "$a+$b")
$r:=$a-$b
ASSERT($r=4.0; "$a-$b")
$r:=$a*$b
ASSERT($r=21.0; "$a*$b")
$r:=$a\$b
ASSERT($r=2.0; "$a div $b")
$r:=$a%$b
ASSERT($r=1.0; "$a%$b")
$k:=$a=$b
ASSERT($k=False; "$a=$b")
$k:=$a#$b
ASSERT($k=True; "$a#$b")
$k:=$a<$b
ASSERT($k=False; "$a<$b")
$k:=$a>$b
ASSERT($k=True; "$a>$b")
$k:=$a<=$b
ASSERT($k=False; "$a<=$b")
$k:=$a>=$b
ASSERT($k=True; "$a>=$b")
$r:=-$a
ASSERT($r=-7.0; "-$a")
$r:=$a^2
ASSERT($r=49.0; "$a^2")
$r:=$1+$2
ASSERT($r=10.0; "$1+$2")
$r:=$1-$2
ASSERT($r=4.0; "$1-$2")
$r:=$1*$2
ASSERT($r=21.0; "$1*$2")
$r:=$1\$2
ASSERT($r=2.0; "$1 div $2")
$r:=$1%$2
ASSERT($r=1.0; "$1%$2")
$k:=$1=$2
ASSERT($k=False; "$1=$2")
$k:=$1#$2
ASSERT($k=True; "$1#$2")
$k:=$1<$2
ASSERT($k=False; "$1<$2")
$k:=$1>$2
ASSERT($k=True; "$1>$2")
$k:=$1<=$2
ASSERT($k=False; "$1<=$2")
$k:=$1>=$2
ASSERT($k=True; "$1>=$2")
$r:=-$1
ASSERT($r=-7.0; "-$1")
$r:=$1^2
ASSERT($r=49.0; "$1^2")
$r:=vA+vB
ASSERT($r=10.0; "vA+vB")
$r:=vA-vB
ASSERT($r=4.0; "vA-vB")
$r:=vA*vB
ASSERT($r=21.0; "vA*vB")
$r:=vA\vB
ASSERT($r=2.0; "vA div vB")
$r:=vA%vB
ASSERT($r=1.0; "vA%vB")
$k:=vA=vB
ASSERT($k=False; "vA=vB")
$k:=vA#vB
ASSERT($k=True; "vA#vB")
$k:=vA<vB
ASSERT($k=False; "vA<vB")
$k:=vA>vB
ASSERT($k=True; "vA>vB")
$k:=vA<=vB
ASSERT($k=False; "vA<=vB")
$k:=vA>=vB
ASSERT($k=True; "vA>=vB")
$r:=-vA
ASSERT($r=-7.0; "-vA")
$r:=vA^2
ASSERT($r=49.0; "vA^2")
$r:=<>A+<>B
ASSERT($r=10.0; "<>A+<>B")
$r:=<>A-<>B
ASSERT($r=4.0; "<>A-<>B")
$r:=<>A*<>B
ASSERT($r=21.0; "<>A*<>B")
$r:=<>A\<>B
ASSERT($r=2.0; "<>A div <>B")
$r:=<>A%<>B
ASSERT($r=1.0; "<>A%<>B")
$k:=<>A=<>B
ASSERT($k=False; "<>A=<>B")
$k:=<>A#<>B
ASSERT($k=True; "<>A#<>B")
$k:=<>A<<>B
ASSERT($k=False; "<>A<<>B")
$k:=<>A><>B
ASSERT($k=True; "<>A><>B")
$k:=<>A<=<>B
ASSERT($k=False; "<>A<=<>B")
$k:=<>A>=<>B
ASSERT($k=True; "<>A>=<>B")
$r:=-<>A
ASSERT($r=-7.0; "-<>A")
$r:=<>A^2
ASSERT($r=49.0; "<>A^2")
$r:=7+3
ASSERT($r=10.0; "7+3")
$r:=7-3
ASSERT($r=4.0; "7-3")
$r:=7*3
ASSERT($r=21.0; "7*3")
$r:=7\3
ASSERT($r=2.0; "7 div 3")
$r:=7%3
ASSERT($r=1.0; "7%3")
$k:=7=3
ASSERT($k=False; "7=3")
$k:=7#3
ASSERT($k=True; "7#3")
$k:=7<3
ASSERT($k=False; "7<3")
$k:=7>3
ASSERT($k=True; "7>3")
$k:=7<=3
ASSERT($k=False; "7<=3")
$k:=7>=3
ASSERT($k=True; "7>=3")
$r:=-7
ASSERT($r=-7.0; "-7")
$r:=7^2
ASSERT($r=49.0; "7^2")
$r:=($a+0)+($b*1)
ASSERT($r=10.0; "($a+0)+($b*1)")
$r:=($a+0)-($b*1)
ASSERT($r=4.0; "($a+0)-($b*1)")
$r:=($a+0)*($b*1)
ASSERT($r=21.0; "($a+0)*($b*1)")
$r:=($a+0)\($b*1)
ASSERT($r=2.0; "($a+0) div ($b*1)")
$r:=($a+0)%($b*1)
ASSERT($r=1.0; "($a+0)%($b*1)")
$k:=($a+0)=($b*1)
ASSERT($k=False; "($a+0)=($b*1)")
$k:=($a+0)#($b*1)
ASSERT($k=True; "($a+0)#($b*1)")
$k:=($a+0)<($b*1)
ASSERT($k=False; "($a+0)<($b*1)")
$k:=($a+0)>($b*1)
ASSERT($k=True; "($a+0)>($b*1)")
$k:=($a+0)<=($b*1)
ASSERT($k=False; "($a+0)<=($b*1)")
$k:=($a+0)>=($b*1)
ASSERT($k=True; "($a+0)>=($b*1)")
$r:=-($a+0)
ASSERT($r=-7.0; "-($a+0)")
$r:=($a+0)^2
ASSERT($r=49.0; "($a+0)^2")
$once:=New shared object
Use ($once)
  $r:=$a+$b
  ASSERT($r=10.0; "$a+$b")
  $r:=$a\$b
  ASSERT($r=2.0; "$a div $b")
  $k:=$a<$b
  ASSERT($k=False; "$a<$b")
  $k:=$a=$b
  ASSERT($k=False; "$a=$b")
  $r:=$a+$2
  ASSERT($r=10.0; "$a+$2")
  $r:=$a\$2
  ASSERT($r=2.0; "$a div $2")
  $k:=$a<$2
  ASSERT($k=False; "$a<$2")
  $k:=$a=$2
  ASSERT($k=False; "$a=$2")
  $r:=$a+vB
  ASSERT($r=10.0; "$a+vB")
  $r:=$a\vB
  ASSERT($r=2.0; "$a div vB")
  $k:=$a<vB
  ASSERT($k=False; "$a<vB")
  $k:=$a=vB
  ASSERT($k=False; "$a=vB")
  $r:=$a+<>B
  ASSERT($r=10.0; "$a+<>B")
  $r:=$a\<>B
  ASSERT($r=2.0; "$a div <>B")
  $k:=$a<<>B
  ASSERT($k=False; "$a<<>B")
  $k:=$a=<>B
  ASSERT($k=False; "$a=<>B")
  $r:=$a+3
  ASSERT($r=10.0; "$a+3")
  $r:=$a\3
  ASSERT($r=2.0; "$a div 3")
  $k:=$a<3
  ASSERT($k=False; "$a<3")
  $k:=$a=3
  ASSERT($k=False; "$a=3")
  $r:=$a+($b*1)
  ASSERT($r=10.0; "$a+($b*1)")
  $r:=$a\($b*1)
  ASSERT($r=2.0; "$a div ($b*1)")
  $k:=$a<($b*1)
  ASSERT($k=False; "$a<($b*1)")
  $k:=$a=($b*1)
  ASSERT($k=False; "$a=($b*1)")
  $r:=$1+$b
  ASSERT($r=10.0; "$1+$b")
  $r:=$1\$b
  ASSERT($r=2.0; "$1 div $b")
  $k:=$1<$b
  ASSERT($k=False; "$1<$b")
  $k:=$1=$b
  ASSERT($k=False; "$1=$b")
  $r:=$1+$2
  ASSERT($r=10.0; "$1+$2")
  $r:=$1\$2
  ASSERT($r=2.0; "$1 div $2")
  $k:=$1<$2
  ASSERT($k=False; "$1<$2")
  $k:=$1=$2
  ASSERT($k=False; "$1=$2")
  $r:=$1+vB
  ASSERT($r=10.0; "$1+vB")
  $r:=$1\vB
  ASSERT($r=2.0; "$1 div vB")
  $k:=$1<vB
  ASSERT($k=False; "$1<vB")
  $k:=$1=vB
  ASSERT($k=False; "$1=vB")
  $r:=$1+<>B
  ASSERT($r=10.0; "$1+<>B")
  $r:=$1\<>B
  ASSERT($r=2.0; "$1 div <>B")
  $k:=$1<<>B
  ASSERT($k=False; "$1<<>B")
  $k:=$1=<>B
  ASSERT($k=False; "$1=<>B")
  $r:=$1+3
  ASSERT($r=10.0; "$1+3")
  $r:=$1\3
  ASSERT($r=2.0; "$1 div 3")
  $k:=$1<3
  ASSERT($k=False; "$1<3")
  $k:=$1=3
  ASSERT($k=False; "$1=3")
  $r:=$1+($b*1)
  ASSERT($r=10.0; "$1+($b*1)")
  $r:=$1\($b*1)
  ASSERT($r=2.0; "$1 div ($b*1)")
  $k:=$1<($b*1)
  ASSERT($k=False; "$1<($b*1)")
  $k:=$1=($b*1)
  ASSERT($k=False; "$1=($b*1)")
  $r:=vA+$b
  ASSERT($r=10.0; "vA+$b")
  $r:=vA\$b
  ASSERT($r=2.0; "vA div $b")
  $k:=vA<$b
  ASSERT($k=False; "vA<$b")
  $k:=vA=$b
  ASSERT($k=False; "vA=$b")
  $r:=vA+$2
  ASSERT($r=10.0; "vA+$2")
  $r:=vA\$2
  ASSERT($r=2.0; "vA div $2")
  $k:=vA<$2
  ASSERT($k=False; "vA<$2")
  $k:=vA=$2
  ASSERT($k=False; "vA=$2")
  $r:=vA+vB
  ASSERT($r=10.0; "vA+vB")
  $r:=vA\vB
  ASSERT($r=2.0; "vA div vB")
  $k:=vA<vB
  ASSERT($k=False; "vA<vB")
  $k:=vA=vB
  ASSERT($k=False; "vA=vB")
  $r:=vA+<>B
  ASSERT($r=10.0; "vA+<>B")
  $r:=vA\<>B
  ASSERT($r=2.0; "vA div <>B")
  $k:=vA<<>B
  ASSERT($k=False; "vA<<>B")
  $k:=vA=<>B
  ASSERT($k=False; "vA=<>B")
  $r:=vA+3
  ASSERT($r=10.0; "vA+3")
  $r:=vA\3
  ASSERT($r=2.0; "vA div 3")
  $k:=vA<3
  ASSERT($k=False; "vA<3")
  $k:=vA=3
  ASSERT($k=False; "vA=3")
  $r:=vA+($b*1)
  ASSERT($r=10.0; "vA+($b*1)")
  $r:=vA\($b*1)
  ASSERT($r=2.0; "vA div ($b*1)")
  $k:=vA<($b*1)
  ASSERT($k=False; "vA<($b*1)")
  $k:=vA=($b*1)
  ASSERT($k=False; "vA=($b*1)")
  $r:=<>A+$b
  ASSERT($r=10.0; "<>A+$b")
  $r:=<>A\$b
  ASSERT($r=2.0; "<>A div $b")
  $k:=<>A<$b
  ASSERT($k=False; "<>A<$b")
  $k:=<>A=$b
  ASSERT($k=False; "<>A=$b")
  $r:=<>A+$2
  ASSERT($r=10.0; "<>A+$2")
  $r:=<>A\$2
  ASSERT($r=2.0; "<>A div $2")
  $k:=<>A<$2
  ASSERT($k=False; "<>A<$2")
  $k:=<>A=$2
  ASSERT($k=False; "<>A=$2")
  $r:=<>A+vB
  ASSERT($r=10.0; "<>A+vB")
  $r:=<>A\vB
  ASSERT($r=2.0; "<>A div vB")
  $k:=<>A<vB
  ASSERT($k=False; "<>A<vB")
  $k:=<>A=vB
  ASSERT($k=False; "<>A=vB")
  $r:=<>A+<>B
  ASSERT($r=10.0; "<>A+<>B")
  $r:=<>A\<>B
  ASSERT($r=2.0; "<>A div <>B")
  $k:=<>A<<>B
  ASSERT($k=False; "<>A<<>B")
  $k:=<>A=<>B
  ASSERT($k=False; "<>A=<>B")
  $r:=<>A+3
  ASSERT($r=10.0; "<>A+3")
  $r:=<>A\3
  ASSERT($r=2.0; "<>A div 3")
  $k:=<>A<3
  ASSERT($k=False; "<>A<3")
  $k:=<>A=3
  ASSERT($k=False; "<>A=3")
  $r:=<>A+($b*1)
  ASSERT($r=10.0; "<>A+($b*1)")
  $r:=<>A\($b*1)
  ASSERT($r=2.0; "<>A div ($b*1)")
  $k:=<>A<($b*1)
  ASSERT($k=False; "<>A<($b*1)")
  $k:=<>A=($b*1)
  ASSERT($k=False; "<>A=($b*1)")
  $r:=7+$b
  ASSERT($r=10.0; "7+$b")
  $r:=7\$b
  ASSERT($r=2.0; "7 div $b")
  $k:=7<$b
  ASSERT($k=False; "7<$b")
  $k:=7=$b
  ASSERT($k=False; "7=$b")
  $r:=7+$2
  ASSERT($r=10.0; "7+$2")
  $r:=7\$2
  ASSERT($r=2.0; "7 div $2")
  $k:=7<$2
  ASSERT($k=False; "7<$2")
  $k:=7=$2
  ASSERT($k=False; "7=$2")
  $r:=7+vB
  ASSERT($r=10.0; "7+vB")
  $r:=7\vB
  ASSERT($r=2.0; "7 div vB")
  $k:=7<vB
  ASSERT($k=False; "7<vB")
  $k:=7=vB
  ASSERT($k=False; "7=vB")
  $r:=7+<>B
  ASSERT($r=10.0; "7+<>B")
  $r:=7\<>B
  ASSERT($r=2.0; "7 div <>B")
  $k:=7<<>B
  ASSERT($k=False; "7<<>B")
  $k:=7=<>B
  ASSERT($k=False; "7=<>B")
  $r:=7+3
  ASSERT($r=10.0; "7+3")
  $r:=7\3
  ASSERT($r=2.0; "7 div 3")
  $k:=7<3
  ASSERT($k=False; "7<3")
  $k:=7=3
  ASSERT($k=False; "7=3")
  $r:=7+($b*1)
  ASSERT($r=10.0; "7+($b*1)")
  $r:=7\($b*1)
  ASSERT($r=2.0; "7 div ($b*1)")
  $k:=7<($b*1)
  ASSERT($k=False; "7<($b*1)")
  $k:=7=($b*1)
  ASSERT($k=False; "7=($b*1)")
  $r:=($a+0)+$b
  ASSERT($r=10.0; "($a+0)+$b")
  $r:=($a+0)\$b
  ASSERT($r=2.0; "($a+0) div $b")
  $k:=($a+0)<$b
  ASSERT($k=False; "($a+0)<$b")
  $k:=($a+0)=$b
  ASSERT($k=False; "($a+0)=$b")
  $r:=($a+0)+$2
  ASSERT($r=10.0; "($a+0)+$2")
  $r:=($a+0)\$2
  ASSERT($r=2.0; "($a+0) div $2")
  $k:=($a+0)<$2
  ASSERT($k=False; "($a+0)<$2")
  $k:=($a+0)=$2
  ASSERT($k=False; "($a+0)=$2")
  $r:=($a+0)+vB
  ASSERT($r=10.0; "($a+0)+vB")
  $r:=($a+0)\vB
  ASSERT($r=2.0; "($a+0) div vB")
  $k:=($a+0)<vB
  ASSERT($k=False; "($a+0)<vB")
  $k:=($a+0)=vB
  ASSERT($k=False; "($a+0)=vB")
  $r:=($a+0)+<>B
  ASSERT($r=10.0; "($a+0)+<>B")
  $r:=($a+0)\<>B
  ASSERT($r=2.0; "($a+0) div <>B")
  $k:=($a+0)<<>B
  ASSERT($k=False; "($a+0)<<>B")
  $k:=($a+0)=<>B
  ASSERT($k=False; "($a+0)=<>B")
  $r:=($a+0)+3
  ASSERT($r=10.0; "($a+0)+3")
  $r:=($a+0)\3
  ASSERT($r=2.0; "($a+0) div 3")
  $k:=($a+0)<3
  ASSERT($k=False; "($a+0)<3")
  $k:=($a+0)=3
  ASSERT($k=False; "($a+0)=3")
  $r:=($a+0)+($b*1)
  ASSERT($r=10.0; "($a+0)+($b*1)")
  $r:=($a+0)\($b*1)
  ASSERT($r=2.0; "($a+0) div ($b*1)")
  $k:=($a+0)<($b*1)
  ASSERT($k=False; "($a+0)<($b*1)")
  $k:=($a+0)=($b*1)
  ASSERT($k=False; "($a+0)=($b*1)")
  $r:=$x-$y
  ASSERT($r=2.0; "$x-$y")
  $k:=$x>$y
  ASSERT($k=True; "$x>$y")
  $r:=$x-$4
  ASSERT($r=2.0; "$x-$4")
  $k:=$x>$4
  ASSERT($k=True; "$x>$4")
  $r:=$x-vY
  ASSERT($r=2.0; "$x-vY")
  $k:=$x>vY
  ASSERT($k=True; "$x>vY")
  $r:=$x-<>Y
  ASSERT($r=2.0; "$x-<>Y")
  $k:=$x><>Y
  ASSERT($k=True; "$x><>Y")
  $r:=$x-0.5
  ASSERT($r=2.0; "$x-0.5")
  $k:=$x>0.5
  ASSERT($k=True; "$x>0.5")
  $r:=$x-($y*1)
  ASSERT($r=2.0; "$x-($y*1)")
  $k:=$x>($y*1)
  ASSERT($k=True; "$x>($y*1)")
  $r:=$3-$y
  ASSERT($r=2.0; "$3-$y")
  $k:=$3>$y
  ASSERT($k=True; "$3>$y")
  $r:=$3-$4
  ASSERT($r=2.0; "$3-$4")
  $k:=$3>$4
  ASSERT($k=True; "$3>$4")
  $r:=$3-vY
  ASSERT($r=2.0; "$3-vY")
  $k:=$3>vY
  ASSERT($k=True; "$3>vY")
  $r:=$3-<>Y
  ASSERT($r=2.0; "$3-<>Y")
  $k:=$3><>Y
  ASSERT($k=True; "$3><>Y")
  $r:=$3-0.5
  ASSERT($r=2.0; "$3-0.5")
  $k:=$3>0.5
  ASSERT($k=True; "$3>0.5")
  $r:=$3-($y*1)
  ASSERT($r=2.0; "$3-($y*1)")
  $k:=$3>($y*1)
  ASSERT($k=True; "$3>($y*1)")
  $r:=vX-$y
  ASSERT($r=2.0; "vX-$y")
  $k:=vX>$y
  ASSERT($k=True; "vX>$y")
  $r:=vX-$4
  ASSERT($r=2.0; "vX-$4")
  $k:=vX>$4
  ASSERT($k=True; "vX>$4")
  $r:=vX-vY
  ASSERT($r=2.0; "vX-vY")
  $k:=vX>vY
  ASSERT($k=True; "vX>vY")
  $r:=vX-<>Y
  ASSERT($r=2.0; "vX-<>Y")
  $k:=vX><>Y
  ASSERT($k=True; "vX><>Y")
  $r:=vX-0.5
  ASSERT($r=2.0; "vX-0.5")
  $k:=vX>0.5
  ASSERT($k=True; "vX>0.5")
  $r:=vX-($y*1)
  ASSERT($r=2.0; "vX-($y*1)")
  $k:=vX>($y*1)
  ASSERT($k=True; "vX>($y*1)")
  $r:=<>X-$y
  ASSERT($r=2.0; "<>X-$y")
  $k:=<>X>$y
  ASSERT($k=True; "<>X>$y")
  $r:=<>X-$4
  ASSERT($r=2.0; "<>X-$4")
  $k:=<>X>$4
  ASSERT($k=True; "<>X>$4")
  $r:=<>X-vY
  ASSERT($r=2.0; "<>X-vY")
  $k:=<>X>vY
  ASSERT($k=True; "<>X>vY")
  $r:=<>X-<>Y
  ASSERT($r=2.0; "<>X-<>Y")
  $k:=<>X><>Y
  ASSERT($k=True; "<>X><>Y")
  $r:=<>X-0.5
  ASSERT($r=2.0; "<>X-0.5")
  $k:=<>X>0.5
  ASSERT($k=True; "<>X>0.5")
  $r:=<>X-($y*1)
  ASSERT($r=2.0; "<>X-($y*1)")
  $k:=<>X>($y*1)
  ASSERT($k=True; "<>X>($y*1)")
  $r:=2.5-$y
  ASSERT($r=2.0; "2.5-$y")
  $k:=2.5>$y
  ASSERT($k=True; "2.5>$y")
  $r:=2.5-$4
  ASSERT($r=2.0; "2.5-$4")
  $k:=2.5>$4
  ASSERT($k=True; "2.5>$4")
  $r:=2.5-vY
  ASSERT($r=2.0; "2.5-vY")
  $k:=2.5>vY
  ASSERT($k=True; "2.5>vY")
  $r:=2.5-<>Y
  ASSERT($r=2.0; "2.5-<>Y")
  $k:=2.5><>Y
  ASSERT($k=True; "2.5><>Y")
  $r:=2.5-0.5
  ASSERT($r=2.0; "2.5-0.5")
  $k:=2.5>0.5
  ASSERT($k=True; "2.5>0.5")
  $r:=2.5-($y*1)
  ASSERT($r=2.0; "2.5-($y*1)")
  $k:=2.5>($y*1)
  ASSERT($k=True; "2.5>($y*1)")
  $r:=($x+0)-$y
  ASSERT($r=2.0; "($x+0)-$y")
  $k:=($x+0)>$y
  ASSERT($k=True; "($x+0)>$y")
  $r:=($x+0)-$4
  ASSERT($r=2.0; "($x+0)-$4")
  $k:=($x+0)>$4
  ASSERT($k=True; "($x+0)>$4")
  $r:=($x+0)-vY
  ASSERT($r=2.0; "($x+0)-vY")
  $k:=($x+0)>vY
  ASSERT($k=True; "($x+0)>vY")
  $r:=($x+0)-<>Y
  ASSERT($r=2.0; "($x+0)-<>Y")
  $k:=($x+0)><>Y
  ASSERT($k=True; "($x+0)><>Y")
  $r:=($x+0)-0.5
  ASSERT($r=2.0; "($x+0)-0.5")
  $k:=($x+0)>0.5
  ASSERT($k=True; "($x+0)>0.5")
  $r:=($x+0)-($y*1)
  ASSERT($r=2.0; "($x+0)-($y*1)")
  $k:=($x+0)>($y*1)
  ASSERT($k=True; "($x+0)>($y*1)")
  $r:=$a*$y
  ASSERT($r=3.5; "$a*$y")
  $r:=$y*$a
  ASSERT($r=3.5; "$y*$a")
  $k:=$a<=$y
  ASSERT($k=False; "$a<=$y")
  $k:=$y<=$a
  ASSERT($k=True; "$y<=$a")
  $r:=$1*$4
  ASSERT($r=3.5; "$1*$4")
  $r:=$4*$1
  ASSERT($r=3.5; "$4*$1")
  $k:=$1<=$4
  ASSERT($k=False; "$1<=$4")
  $k:=$4<=$1
  ASSERT($k=True; "$4<=$1")
  $r:=vA*vY
  ASSERT($r=3.5; "vA*vY")
  $r:=vY*vA
  ASSERT($r=3.5; "vY*vA")
  $k:=vA<=vY
  ASSERT($k=False; "vA<=vY")
  $k:=vY<=vA
  ASSERT($k=True; "vY<=vA")
  $r:=<>A*<>Y
  ASSERT($r=3.5; "<>A*<>Y")
  $r:=<>Y*<>A
  ASSERT($r=3.5; "<>Y*<>A")
  $k:=<>A<=<>Y
  ASSERT($k=False; "<>A<=<>Y")
  $k:=<>Y<=<>A
  ASSERT($k=True; "<>Y<=<>A")
  $r:=7*0.5
  ASSERT($r=3.5; "7*0.5")
  $r:=0.5*7
  ASSERT($r=3.5; "0.5*7")
  $k:=7<=0.5
  ASSERT($k=False; "7<=0.5")
  $k:=0.5<=7
  ASSERT($k=True; "0.5<=7")
  $r:=($a+0)*($y*1)
  ASSERT($r=3.5; "($a+0)*($y*1)")
  $r:=($y*1)*($a+0)
  ASSERT($r=3.5; "($y*1)*($a+0)")
  $k:=($a+0)<=($y*1)
  ASSERT($k=False; "($a+0)<=($y*1)")
  $k:=($y*1)<=($a+0)
  ASSERT($k=True; "($y*1)<=($a+0)")
  $k:=$t&$f
  ASSERT($k=False; "$t&$f")
  $k:=$t|$f
  ASSERT($k=True; "$t|$f")
  $k:=$t=$f
  ASSERT($k=False; "$t=$f")
  $k:=$t#$f
  ASSERT($k=True; "$t#$f")
  $k:=$t&$6
  ASSERT($k=False; "$t&$6")
  $k:=$t|$6
  ASSERT($k=True; "$t|$6")
  $k:=$t=$6
  ASSERT($k=False; "$t=$6")
  $k:=$t#$6
  ASSERT($k=True; "$t#$6")
  $k:=$t&vF
  ASSERT($k=False; "$t&vF")
  $k:=$t|vF
  ASSERT($k=True; "$t|vF")
  $k:=$t=vF
  ASSERT($k=False; "$t=vF")
  $k:=$t#vF
  ASSERT($k=True; "$t#vF")
  $k:=$t&<>F
  ASSERT($k=False; "$t&<>F")
  $k:=$t|<>F
  ASSERT($k=True; "$t|<>F")
  $k:=$t=<>F
  ASSERT($k=False; "$t=<>F")
  $k:=$t#<>F
  ASSERT($k=True; "$t#<>F")
  $k:=$t&False
  ASSERT($k=False; "$t&False")
  $k:=$t|False
  ASSERT($k=True; "$t|False")
  $k:=$t=False
  ASSERT($k=False; "$t=False")
  $k:=$t#False
  ASSERT($k=True; "$t#False")
  $k:=$t&($f | False)
  ASSERT($k=False; "$t&($f | False)")
  $k:=$t|($f | False)
  ASSERT($k=True; "$t|($f | False)")
  $k:=$t=($f | False)
  ASSERT($k=False; "$t=($f | False)")
  $k:=$t#($f | False)
  ASSERT($k=True; "$t#($f | False)")
  $k:=$5&$f
  ASSERT($k=False; "$5&$f")
  $k:=$5|$f
  ASSERT($k=True; "$5|$f")
  $k:=$5=$f
  ASSERT($k=False; "$5=$f")
  $k:=$5#$f
  ASSERT($k=True; "$5#$f")
  $k:=$5&$6
  ASSERT($k=False; "$5&$6")
  $k:=$5|$6
  ASSERT($k=True; "$5|$6")
  $k:=$5=$6
  ASSERT($k=False; "$5=$6")
  $k:=$5#$6
  ASSERT($k=True; "$5#$6")
  $k:=$5&vF
  ASSERT($k=False; "$5&vF")
  $k:=$5|vF
  ASSERT($k=True; "$5|vF")
  $k:=$5=vF
  ASSERT($k=False; "$5=vF")
  $k:=$5#vF
  ASSERT($k=True; "$5#vF")
  $k:=$5&<>F
  ASSERT($k=False; "$5&<>F")
  $k:=$5|<>F
  ASSERT($k=True; "$5|<>F")
  $k:=$5=<>F
  ASSERT($k=False; "$5=<>F")
  $k:=$5#<>F
  ASSERT($k=True; "$5#<>F")
  $k:=$5&False
  ASSERT($k=False; "$5&False")
  $k:=$5|False
  ASSERT($k=True; "$5|False")
  $k:=$5=False
  ASSERT($k=False; "$5=False")
  $k:=$5#False
  ASSERT($k=True; "$5#False")
  $k:=$5&($f | False)
  ASSERT($k=False; "$5&($f | False)")
  $k:=$5|($f | False)
  ASSERT($k=True; "$5|($f | False)")
  $k:=$5=($f | False)
  ASSERT($k=False; "$5=($f | False)")
  $k:=$5#($f | False)
  ASSERT($k=True; "$5#($f | False)")
  $k:=vT&$f
  ASSERT($k=False; "vT&$f")
  $k:=vT|$f
  ASSERT($k=True; "vT|$f")
  $k:=vT=$f
  ASSERT($k=False; "vT=$f")
  $k:=vT#$f
  ASSERT($k=True; "vT#$f")
  $k:=vT&$6
  ASSERT($k=False; "vT&$6")
  $k:=vT|$6
  ASSERT($k=True; "vT|$6")
  $k:=vT=$6
  ASSERT($k=False; "vT=$6")
  $k:=vT#$6
  ASSERT($k=True; "vT#$6")
  $k:=vT&vF
  ASSERT($k=False; "vT&vF")
  $k:=vT|vF
  ASSERT($k=True; "vT|vF")
  $k:=vT=vF
  ASSERT($k=False; "vT=vF")
  $k:=vT#vF
  ASSERT($k=True; "vT#vF")
  $k:=vT&<>F
  ASSERT($k=False; "vT&<>F")
  $k:=vT|<>F
  ASSERT($k=True; "vT|<>F")
  $k:=vT=<>F
  ASSERT($k=False; "vT=<>F")
  $k:=vT#<>F
  ASSERT($k=True; "vT#<>F")
  $k:=vT&False
  ASSERT($k=False; "vT&False")
  $k:=vT|False
  ASSERT($k=True; "vT|False")
  $k:=vT=False
  ASSERT($k=False; "vT=False")
  $k:=vT#False
  ASSERT($k=True; "vT#False")
  $k:=vT&($f | False)
  ASSERT($k=False; "vT&($f | False)")
  $k:=vT|($f | False)
  ASSERT($k=True; "vT|($f | False)")
  $k:=vT=($f | False)
  ASSERT($k=False; "vT=($f | False)")
  $k:=vT#($f | False)
  ASSERT($k=True; "vT#($f | False)")
  $k:=<>T&$f
  ASSERT($k=False; "<>T&$f")
  $k:=<>T|$f
  ASSERT($k=True; "<>T|$f")
  $k:=<>T=$f
  ASSERT($k=False; "<>T=$f")
  $k:=<>T#$f
  ASSERT($k=True; "<>T#$f")
  $k:=<>T&$6
  ASSERT($k=False; "<>T&$6")
  $k:=<>T|$6
  ASSERT($k=True; "<>T|$6")
  $k:=<>T=$6
  ASSERT($k=False; "<>T=$6")
  $k:=<>T#$6
  ASSERT($k=True; "<>T#$6")
  $k:=<>T&vF
  ASSERT($k=False; "<>T&vF")
  $k:=<>T|vF
  ASSERT($k=True; "<>T|vF")
  $k:=<>T=vF
  ASSERT($k=False; "<>T=vF")
  $k:=<>T#vF
  ASSERT($k=True; "<>T#vF")
  $k:=<>T&<>F
  ASSERT($k=False; "<>T&<>F")
  $k:=<>T|<>F
  ASSERT($k=True; "<>T|<>F")
  $k:=<>T=<>F
  ASSERT($k=False; "<>T=<>F")
  $k:=<>T#<>F
  ASSERT($k=True; "<>T#<>F")
  $k:=<>T&False
  ASSERT($k=False; "<>T&False")
  $k:=<>T|False
  ASSERT($k=True; "<>T|False")
  $k:=<>T=False
  ASSERT($k=False; "<>T=False")
  $k:=<>T#False
  ASSERT($k=True; "<>T#False")
  $k:=<>T&($f | False)
  ASSERT($k=False; "<>T&($f | False)")
  $k:=<>T|($f | False)
  ASSERT($k=True; "<>T|($f | False)")
  $k:=<>T=($f | False)
  ASSERT($k=False; "<>T=($f | False)")
  $k:=<>T#($f | False)
  ASSERT($k=True; "<>T#($f | False)")
  $k:=True&$f
  ASSERT($k=False; "True&$f")
  $k:=True|$f
  ASSERT($k=True; "True|$f")
  $k:=True=$f
  ASSERT($k=False; "True=$f")
  $k:=True#$f
  ASSERT($k=True; "True#$f")
  $k:=True&$6
  ASSERT($k=False; "True&$6")
  $k:=True|$6
  ASSERT($k=True; "True|$6")
  $k:=True=$6
  ASSERT($k=False; "True=$6")
  $k:=True#$6
  ASSERT($k=True; "True#$6")
  $k:=True&vF
  ASSERT($k=False; "True&vF")
  $k:=True|vF
  ASSERT($k=True; "True|vF")
  $k:=True=vF
  ASSERT($k=False; "True=vF")
  $k:=True#vF
  ASSERT($k=True; "True#vF")
  $k:=True&<>F
  ASSERT($k=False; "True&<>F")
  $k:=True|<>F
  ASSERT($k=True; "True|<>F")
  $k:=True=<>F
  ASSERT($k=False; "True=<>F")
  $k:=True#<>F
  ASSERT($k=True; "True#<>F")
  $k:=True&False
  ASSERT($k=False; "True&False")
  $k:=True|False
  ASSERT($k=True; "True|False")
  $k:=True=False
  ASSERT($k=False; "True=False")
  $k:=True#False
  ASSERT($k=True; "True#False")
  $k:=True&($f | False)
  ASSERT($k=False; "True&($f | False)")
  $k:=True|($f | False)
  ASSERT($k=True; "True|($f | False)")
  $k:=True=($f | False)
  ASSERT($k=False; "True=($f | False)")
  $k:=True#($f | False)
  ASSERT($k=True; "True#($f | False)")
  $k:=($t & True)&$f
  ASSERT($k=False; "($t & True)&$f")
  $k:=($t & True)|$f
  ASSERT($k=True; "($t & True)|$f")
  $k:=($t & True)=$f
  ASSERT($k=False; "($t & True)=$f")
  $k:=($t & True)#$f
  ASSERT($k=True; "($t & True)#$f")
  $k:=($t & True)&$6
  ASSERT($k=False; "($t & True)&$6")
  $k:=($t & True)|$6
  ASSERT($k=True; "($t & True)|$6")
  $k:=($t & True)=$6
  ASSERT($k=False; "($t & True)=$6")
  $k:=($t & True)#$6
  ASSERT($k=True; "($t & True)#$6")
  $k:=($t & True)&vF
  ASSERT($k=False; "($t & True)&vF")
  $k:=($t & True)|vF
  ASSERT($k=True; "($t & True)|vF")
  $k:=($t & True)=vF
  ASSERT($k=False; "($t & True)=vF")
  $k:=($t & True)#vF
  ASSERT($k=True; "($t & True)#vF")
  $k:=($t & True)&<>F
  ASSERT($k=False; "($t & True)&<>F")
  $k:=($t & True)|<>F
  ASSERT($k=True; "($t & True)|<>F")
  $k:=($t & True)=<>F
  ASSERT($k=False; "($t & True)=<>F")
  $k:=($t & True)#<>F
  ASSERT($k=True; "($t & True)#<>F")
  $k:=($t & True)&False
  ASSERT($k=False; "($t & True)&False")
  $k:=($t & True)|False
  ASSERT($k=True; "($t & True)|False")
  $k:=($t & True)=False
  ASSERT($k=False; "($t & True)=False")
  $k:=($t & True)#False
  ASSERT($k=True; "($t & True)#False")
  $k:=($t & True)&($f | False)
  ASSERT($k=False; "($t & True)&($f | False)")
  $k:=($t & True)|($f | False)
  ASSERT($k=True; "($t & True)|($f | False)")
  $k:=($t & True)=($f | False)
  ASSERT($k=False; "($t & True)=($f | False)")
  $k:=($t & True)#($f | False)
  ASSERT($k=True; "($t & True)#($f | False)")
  $r:=$w\$q
  ASSERT($r=1.0; "$w div $q")
  $r:=$w%$q
  ASSERT($r=2.0; "$w%$q")
  $r:=$w\$8
  ASSERT($r=1.0; "$w div $8")
  $r:=$w%$8
  ASSERT($r=2.0; "$w%$8")
  $r:=$w\vQ
  ASSERT($r=1.0; "$w div vQ")
  $r:=$w%vQ
  ASSERT($r=2.0; "$w%vQ")
  $r:=$w\<>Q
  ASSERT($r=1.0; "$w div <>Q")
  $r:=$w%<>Q
  ASSERT($r=2.0; "$w%<>Q")
  $r:=$w\4
  ASSERT($r=1.0; "$w div 4")
  $r:=$w%4
  ASSERT($r=2.0; "$w%4")
  $r:=$w\($q*1)
  ASSERT($r=1.0; "$w div ($q*1)")
  $r:=$w%($q*1)
  ASSERT($r=2.0; "$w%($q*1)")
  $r:=$7\$q
  ASSERT($r=1.0; "$7 div $q")
  $r:=$7%$q
  ASSERT($r=2.0; "$7%$q")
  $r:=$7\$8
  ASSERT($r=1.0; "$7 div $8")
  $r:=$7%$8
  ASSERT($r=2.0; "$7%$8")
  $r:=$7\vQ
  ASSERT($r=1.0; "$7 div vQ")
  $r:=$7%vQ
  ASSERT($r=2.0; "$7%vQ")
  $r:=$7\<>Q
  ASSERT($r=1.0; "$7 div <>Q")
  $r:=$7%<>Q
  ASSERT($r=2.0; "$7%<>Q")
  $r:=$7\4
  ASSERT($r=1.0; "$7 div 4")
  $r:=$7%4
  ASSERT($r=2.0; "$7%4")
  $r:=$7\($q*1)
  ASSERT($r=1.0; "$7 div ($q*1)")
  $r:=$7%($q*1)
  ASSERT($r=2.0; "$7%($q*1)")
  $r:=vW\$q
  ASSERT($r=1.0; "vW div $q")
  $r:=vW%$q
  ASSERT($r=2.0; "vW%$q")
  $r:=vW\$8
  ASSERT($r=1.0; "vW div $8")
  $r:=vW%$8
  ASSERT($r=2.0; "vW%$8")
  $r:=vW\vQ
  ASSERT($r=1.0; "vW div vQ")
  $r:=vW%vQ
  ASSERT($r=2.0; "vW%vQ")
  $r:=vW\<>Q
  ASSERT($r=1.0; "vW div <>Q")
  $r:=vW%<>Q
  ASSERT($r=2.0; "vW%<>Q")
  $r:=vW\4
  ASSERT($r=1.0; "vW div 4")
  $r:=vW%4
  ASSERT($r=2.0; "vW%4")
  $r:=vW\($q*1)
  ASSERT($r=1.0; "vW div ($q*1)")
  $r:=vW%($q*1)
  ASSERT($r=2.0; "vW%($q*1)")
  $r:=<>W\$q
  ASSERT($r=1.0; "<>W div $q")
  $r:=<>W%$q
  ASSERT($r=2.0; "<>W%$q")
  $r:=<>W\$8
  ASSERT($r=1.0; "<>W div $8")
  $r:=<>W%$8
  ASSERT($r=2.0; "<>W%$8")
  $r:=<>W\vQ
  ASSERT($r=1.0; "<>W div vQ")
  $r:=<>W%vQ
  ASSERT($r=2.0; "<>W%vQ")
  $r:=<>W\<>Q
  ASSERT($r=1.0; "<>W div <>Q")
  $r:=<>W%<>Q
  ASSERT($r=2.0; "<>W%<>Q")
  $r:=<>W\4
  ASSERT($r=1.0; "<>W div 4")
  $r:=<>W%4
  ASSERT($r=2.0; "<>W%4")
  $r:=<>W\($q*1)
  ASSERT($r=1.0; "<>W div ($q*1)")
  $r:=<>W%($q*1)
  ASSERT($r=2.0; "<>W%($q*1)")
  $r:=6\$q
  ASSERT($r=1.0; "6 div $q")
  $r:=6%$q
  ASSERT($r=2.0; "6%$q")
  $r:=6\$8
  ASSERT($r=1.0; "6 div $8")
  $r:=6%$8
  ASSERT($r=2.0; "6%$8")
  $r:=6\vQ
  ASSERT($r=1.0; "6 div vQ")
  $r:=6%vQ
  ASSERT($r=2.0; "6%vQ")
  $r:=6\<>Q
  ASSERT($r=1.0; "6 div <>Q")
  $r:=6%<>Q
  ASSERT($r=2.0; "6%<>Q")
  $r:=6\4
  ASSERT($r=1.0; "6 div 4")
  $r:=6%4
  ASSERT($r=2.0; "6%4")
  $r:=6\($q*1)
  ASSERT($r=1.0; "6 div ($q*1)")
  $r:=6%($q*1)
  ASSERT($r=2.0; "6%($q*1)")
  $r:=($w+0)\$q
  ASSERT($r=1.0; "($w+0) div $q")
  $r:=($w+0)%$q
  ASSERT($r=2.0; "($w+0)%$q")
  $r:=($w+0)\$8
  ASSERT($r=1.0; "($w+0) div $8")
  $r:=($w+0)%$8
  ASSERT($r=2.0; "($w+0)%$8")
  $r:=($w+0)\vQ
  ASSERT($r=1.0; "($w+0) div vQ")
  $r:=($w+0)%vQ
  ASSERT($r=2.0; "($w+0)%vQ")
  $r:=($w+0)\<>Q
  ASSERT($r=1.0; "($w+0) div <>Q")
  $r:=($w+0)%<>Q
  ASSERT($r=2.0; "($w+0)%<>Q")
  $r:=($w+0)\4
  ASSERT($r=1.0; "($w+0) div 4")
  $r:=($w+0)%4
  ASSERT($r=2.0; "($w+0)%4")
  $r:=($w+0)\($q*1)
  ASSERT($r=1.0; "($w+0) div ($q*1)")
  $r:=($w+0)%($q*1)
  ASSERT($r=2.0; "($w+0)%($q*1)")
  $r:=$a\$q
  ASSERT($r=1.0; "$a div $q")
  $r:=$q%$a
  ASSERT($r=4.0; "$q%$a")
  $r:=$a\$8
  ASSERT($r=1.0; "$a div $8")
  $r:=$8%$a
  ASSERT($r=4.0; "$8%$a")
  $r:=$a\vQ
  ASSERT($r=1.0; "$a div vQ")
  $r:=vQ%$a
  ASSERT($r=4.0; "vQ%$a")
  $r:=$a\<>Q
  ASSERT($r=1.0; "$a div <>Q")
  $r:=<>Q%$a
  ASSERT($r=4.0; "<>Q%$a")
  $r:=$a\4
  ASSERT($r=1.0; "$a div 4")
  $r:=4%$a
  ASSERT($r=4.0; "4%$a")
  $r:=$a\($q*1)
  ASSERT($r=1.0; "$a div ($q*1)")
  $r:=($q*1)%$a
  ASSERT($r=4.0; "($q*1)%$a")
  $r:=$1\$q
  ASSERT($r=1.0; "$1 div $q")
  $r:=$q%$1
  ASSERT($r=4.0; "$q%$1")
  $r:=$1\$8
  ASSERT($r=1.0; "$1 div $8")
  $r:=$8%$1
  ASSERT($r=4.0; "$8%$1")
  $r:=$1\vQ
  ASSERT($r=1.0; "$1 div vQ")
  $r:=vQ%$1
  ASSERT($r=4.0; "vQ%$1")
  $r:=$1\<>Q
  ASSERT($r=1.0; "$1 div <>Q")
  $r:=<>Q%$1
  ASSERT($r=4.0; "<>Q%$1")
  $r:=$1\4
  ASSERT($r=1.0; "$1 div 4")
  $r:=4%$1
  ASSERT($r=4.0; "4%$1")
  $r:=$1\($q*1)
  ASSERT($r=1.0; "$1 div ($q*1)")
  $r:=($q*1)%$1
  ASSERT($r=4.0; "($q*1)%$1")
  $r:=vA\$q
  ASSERT($r=1.0; "vA div $q")
  $r:=$q%vA
  ASSERT($r=4.0; "$q%vA")
  $r:=vA\$8
  ASSERT($r=1.0; "vA div $8")
  $r:=$8%vA
  ASSERT($r=4.0; "$8%vA")
  $r:=vA\vQ
  ASSERT($r=1.0; "vA div vQ")
  $r:=vQ%vA
  ASSERT($r=4.0; "vQ%vA")
  $r:=vA\<>Q
  ASSERT($r=1.0; "vA div <>Q")
  $r:=<>Q%vA
  ASSERT($r=4.0; "<>Q%vA")
  $r:=vA\4
  ASSERT($r=1.0; "vA div 4")
  $r:=4%vA
  ASSERT($r=4.0; "4%vA")
  $r:=vA\($q*1)
  ASSERT($r=1.0; "vA div ($q*1)")
  $r:=($q*1)%vA
  ASSERT($r=4.0; "($q*1)%vA")
  $r:=<>A\$q
  ASSERT($r=1.0; "<>A div $q")
  $r:=$q%<>A
  ASSERT($r=4.0; "$q%<>A")
  $r:=<>A\$8
  ASSERT($r=1.0; "<>A div $8")
  $r:=$8%<>A
  ASSERT($r=4.0; "$8%<>A")
  $r:=<>A\vQ
  ASSERT($r=1.0; "<>A div vQ")
  $r:=vQ%<>A
  ASSERT($r=4.0; "vQ%<>A")
  $r:=<>A\<>Q
  ASSERT($r=1.0; "<>A div <>Q")
  $r:=<>Q%<>A
  ASSERT($r=4.0; "<>Q%<>A")
  $r:=<>A\4
  ASSERT($r=1.0; "<>A div 4")
  $r:=4%<>A
  ASSERT($r=4.0; "4%<>A")
  $r:=<>A\($q*1)
  ASSERT($r=1.0; "<>A div ($q*1)")
  $r:=($q*1)%<>A
  ASSERT($r=4.0; "($q*1)%<>A")
  $r:=7\$q
  ASSERT($r=1.0; "7 div $q")
  $r:=$q%7
  ASSERT($r=4.0; "$q%7")
  $r:=7\$8
  ASSERT($r=1.0; "7 div $8")
  $r:=$8%7
  ASSERT($r=4.0; "$8%7")
  $r:=7\vQ
  ASSERT($r=1.0; "7 div vQ")
  $r:=vQ%7
  ASSERT($r=4.0; "vQ%7")
  $r:=7\<>Q
  ASSERT($r=1.0; "7 div <>Q")
  $r:=<>Q%7
  ASSERT($r=4.0; "<>Q%7")
  $r:=7\4
  ASSERT($r=1.0; "7 div 4")
  $r:=4%7
  ASSERT($r=4.0; "4%7")
  $r:=7\($q*1)
  ASSERT($r=1.0; "7 div ($q*1)")
  $r:=($q*1)%7
  ASSERT($r=4.0; "($q*1)%7")
  $r:=($a+0)\$q
  ASSERT($r=1.0; "($a+0) div $q")
  $r:=$q%($a+0)
  ASSERT($r=4.0; "$q%($a+0)")
  $r:=($a+0)\$8
  ASSERT($r=1.0; "($a+0) div $8")
  $r:=$8%($a+0)
  ASSERT($r=4.0; "$8%($a+0)")
  $r:=($a+0)\vQ
  ASSERT($r=1.0; "($a+0) div vQ")
  $r:=vQ%($a+0)
  ASSERT($r=4.0; "vQ%($a+0)")
  $r:=($a+0)\<>Q
  ASSERT($r=1.0; "($a+0) div <>Q")
  $r:=<>Q%($a+0)
  ASSERT($r=4.0; "<>Q%($a+0)")
  $r:=($a+0)\4
  ASSERT($r=1.0; "($a+0) div 4")
  $r:=4%($a+0)
  ASSERT($r=4.0; "4%($a+0)")
  $r:=($a+0)\($q*1)
  ASSERT($r=1.0; "($a+0) div ($q*1)")
  $r:=($q*1)%($a+0)
  ASSERT($r=4.0; "($q*1)%($a+0)")
  $r:=$a+$b
  ASSERT($r=10.0; "$a+$b")
  $r:=$a-$b
  ASSERT($r=4.0; "$a-$b")
  $r:=$a*$b
  ASSERT($r=21.0; "$a*$b")
  $r:=$a\$b
  ASSERT($r=2.0; "$a div $b")
  $r:=$a%$b
  ASSERT($r=1.0; "$a%$b")
  $k:=$a=$b
  ASSERT($k=False; "$a=$b")
  $k:=$a#$b
  ASSERT($k=True; "$a#$b")
  $k:=$a<$b
  ASSERT($k=False; "$a<$b")
  $k:=$a>$b
  ASSERT($k=True; "$a>$b")
  $k:=$a<=$b
  ASSERT($k=False; "$a<=$b")
  $k:=$a>=$b
  ASSERT($k=True; "$a>=$b")
  $r:=-$a
  ASSERT($r=-7.0; "-$a")
  $r:=$a^2
  ASSERT($r=49.0; "$a^2")
  $r:=$1+$2
  ASSERT($r=10.0; "$1+$2")
  $r:=$1-$2
  ASSERT($r=4.0; "$1-$2")
  $r:=$1*$2
  ASSERT($r=21.0; "$1*$2")
  $r:=$1\$2
  ASSERT($r=2.0; "$1 div $2")
  $r:=$1%$2
  ASSERT($r=1.0; "$1%$2")
  $k:=$1=$2
  ASSERT($k=False; "$1=$2")
  $k:=$1#$2
  ASSERT($k=True; "$1#$2")
  $k:=$1<$2
  ASSERT($k=False; "$1<$2")
  $k:=$1>$2
  ASSERT($k=True; "$1>$2")
  $k:=$1<=$2
  ASSERT($k=False; "$1<=$2")
  $k:=$1>=$2
  ASSERT($k=True; "$1>=$2")
  $r:=-$1
  ASSERT($r=-7.0; "-$1")
  $r:=$1^2
  ASSERT($r=49.0; "$1^2")
  $r:=vA+vB
  ASSERT($r=10.0; "vA+vB")
  $r:=vA-vB
  ASSERT($r=4.0; "vA-vB")
  $r:=vA*vB
  ASSERT($r=21.0; "vA*vB")
  $r:=vA\vB
  ASSERT($r=2.0; "vA div vB")
  $r:=vA%vB
  ASSERT($r=1.0; "vA%vB")
  $k:=vA=vB
  ASSERT($k=False; "vA=vB")
  $k:=vA#vB
  ASSERT($k=True; "vA#vB")
  $k:=vA<vB
  ASSERT($k=False; "vA<vB")
  $k:=vA>vB
  ASSERT($k=True; "vA>vB")
  $k:=vA<=vB
  ASSERT($k=False; "vA<=vB")
  $k:=vA>=vB
  ASSERT($k=True; "vA>=vB")
  $r:=-vA
  ASSERT($r=-7.0; "-vA")
  $r:=vA^2
  ASSERT($r=49.0; "vA^2")
  $r:=<>A+<>B
  ASSERT($r=10.0; "<>A+<>B")
  $r:=<>A-<>B
  ASSERT($r=4.0; "<>A-<>B")
  $r:=<>A*<>B
  ASSERT($r=21.0; "<>A*<>B")
  $r:=<>A\<>B
  ASSERT($r=2.0; "<>A div <>B")
  $r:=<>A%<>B
  ASSERT($r=1.0; "<>A%<>B")
  $k:=<>A=<>B
  ASSERT($k=False; "<>A=<>B")
  $k:=<>A#<>B
  ASSERT($k=True; "<>A#<>B")
  $k:=<>A<<>B
  ASSERT($k=False; "<>A<<>B")
  $k:=<>A><>B
  ASSERT($k=True; "<>A><>B")
  $k:=<>A<=<>B
  ASSERT($k=False; "<>A<=<>B")
  $k:=<>A>=<>B
  ASSERT($k=True; "<>A>=<>B")
  $r:=-<>A
  ASSERT($r=-7.0; "-<>A")
  $r:=<>A^2
  ASSERT($r=49.0; "<>A^2")
  $r:=7+3
  ASSERT($r=10.0; "7+3")
  $r:=7-3
  ASSERT($r=4.0; "7-3")
  $r:=7*3
  ASSERT($r=21.0; "7*3")
  $r:=7\3
  ASSERT($r=2.0; "7 div 3")
  $r:=7%3
  ASSERT($r=1.0; "7%3")
  $k:=7=3
  ASSERT($k=False; "7=3")
  $k:=7#3
  ASSERT($k=True; "7#3")
  $k:=7<3
  ASSERT($k=False; "7<3")
  $k:=7>3
  ASSERT($k=True; "7>3")
  $k:=7<=3
  ASSERT($k=False; "7<=3")
  $k:=7>=3
  ASSERT($k=True; "7>=3")
  $r:=-7
  ASSERT($r=-7.0; "-7")
  $r:=7^2
  ASSERT($r=49.0; "7^2")
  $r:=($a+0)+($b*1)
  ASSERT($r=10.0; "($a+0)+($b*1)")
  $r:=($a+0)-($b*1)
  ASSERT($r=4.0; "($a+0)-($b*1)")
  $r:=($a+0)*($b*1)
  ASSERT($r=21.0; "($a+0)*($b*1)")
  $r:=($a+0)\($b*1)
  ASSERT($r=2.0; "($a+0) div ($b*1)")
  $r:=($a+0)%($b*1)
  ASSERT($r=1.0; "($a+0)%($b*1)")
  $k:=($a+0)=($b*1)
  ASSERT($k=False; "($a+0)=($b*1)")
  $k:=($a+0)#($b*1)
  ASSERT($k=True; "($a+0)#($b*1)")
  $k:=($a+0)<($b*1)
  ASSERT($k=False; "($a+0)<($b*1)")
  $k:=($a+0)>($b*1)
  ASSERT($k=True; "($a+0)>($b*1)")
  $k:=($a+0)<=($b*1)
  ASSERT($k=False; "($a+0)<=($b*1)")
  $k:=($a+0)>=($b*1)
  ASSERT($k=True; "($a+0)>=($b*1)")
  $r:=-($a+0)
  ASSERT($r=-7.0; "-($a+0)")
  $r:=($a+0)^2
  ASSERT($r=49.0; "($a+0)^2")
End use
