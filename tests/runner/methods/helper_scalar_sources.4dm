// Operators over every pair of operand sources (a local, a parameter, a process and an
// interprocess variable, a literal, a computed value), longints and reals; called with
// 7, 3, 2.5, 0.5. The same statements run on the register machine, then the general
// way inside For each.
C_LONGINT($1;$2;$a;$b)
C_REAL($3;$4;$x;$y;$r)
C_BOOLEAN($k)
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
For each ($once;New collection(1))
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
End for each
