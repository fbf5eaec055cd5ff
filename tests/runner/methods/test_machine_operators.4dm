// Operators in assignments and conditions, as the register machine runs them: slots and
// longint literals on either side, longints, reals and booleans, results stored into
// variables of every kind; texts, dates, times and undefined values go the general way.
C_LONGINT($a;$b;$l;$n)
C_REAL($x;$y;$r)
C_BOOLEAN($t;$f;$k)
C_TEXT($s)
C_DATE($d)
C_TIME($h)
$t:=True
$f:=False
$a:=7
$b:=-2
$r:=$a+$b
ASSERT($r=5.0; "$r:=$a+$b")
$l:=$a+-2
ASSERT($l=5; "$l:=$a+-2")
$v1:=7+$b
ASSERT($v1=5; "$v1:=7+$b")
$r:=$a-$b
ASSERT($r=9.0; "$r:=$a-$b")
$l:=$a--2
ASSERT($l=9; "$l:=$a--2")
$v2:=7-$b
ASSERT($v2=9; "$v2:=7-$b")
$r:=$a*$b
ASSERT($r=-14.0; "$r:=$a*$b")
$l:=$a*-2
ASSERT($l=-14; "$l:=$a*-2")
$v3:=7*$b
ASSERT($v3=-14; "$v3:=7*$b")
$l:=$a\$b
ASSERT($l=-3; "$l:=$a div $b")
$l:=$a%$b
ASSERT($l=1; "$l:=$a%$b")
$k:=$a=$b
ASSERT($k=False; "$k:=$a=$b")
$k:=7=$b
ASSERT($k=False; "$k:=7=$b")
If ($a=-2)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a=-2) with $a=7")
If (7=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (7=$b) with $b=-2")
$k:=$a#$b
ASSERT($k=True; "$k:=$a#$b")
$k:=7#$b
ASSERT($k=True; "$k:=7#$b")
If ($a#-2)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a#-2) with $a=7")
If (7#$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (7#$b) with $b=-2")
$k:=$a<$b
ASSERT($k=False; "$k:=$a<$b")
$k:=7<$b
ASSERT($k=False; "$k:=7<$b")
If ($a<-2)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a<-2) with $a=7")
If (7<$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (7<$b) with $b=-2")
$k:=$a>$b
ASSERT($k=True; "$k:=$a>$b")
$k:=7>$b
ASSERT($k=True; "$k:=7>$b")
If ($a>-2)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a>-2) with $a=7")
If (7>$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (7>$b) with $b=-2")
$k:=$a<=$b
ASSERT($k=False; "$k:=$a<=$b")
$k:=7<=$b
ASSERT($k=False; "$k:=7<=$b")
If ($a<=-2)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a<=-2) with $a=7")
If (7<=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (7<=$b) with $b=-2")
$k:=$a>=$b
ASSERT($k=True; "$k:=$a>=$b")
$k:=7>=$b
ASSERT($k=True; "$k:=7>=$b")
If ($a>=-2)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a>=-2) with $a=7")
If (7>=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (7>=$b) with $b=-2")
$a:=-7
$b:=2
$r:=$a+$b
ASSERT($r=-5.0; "$r:=$a+$b")
$l:=$a+2
ASSERT($l=-5; "$l:=$a+2")
$v4:=-7+$b
ASSERT($v4=-5; "$v4:=-7+$b")
$r:=$a-$b
ASSERT($r=-9.0; "$r:=$a-$b")
$l:=$a-2
ASSERT($l=-9; "$l:=$a-2")
$v5:=-7-$b
ASSERT($v5=-9; "$v5:=-7-$b")
$r:=$a*$b
ASSERT($r=-14.0; "$r:=$a*$b")
$l:=$a*2
ASSERT($l=-14; "$l:=$a*2")
$v6:=-7*$b
ASSERT($v6=-14; "$v6:=-7*$b")
$l:=$a\$b
ASSERT($l=-3; "$l:=$a div $b")
$l:=$a%$b
ASSERT($l=-1; "$l:=$a%$b")
$k:=$a=$b
ASSERT($k=False; "$k:=$a=$b")
$k:=-7=$b
ASSERT($k=False; "$k:=-7=$b")
If ($a=2)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a=2) with $a=-7")
If (-7=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (-7=$b) with $b=2")
$k:=$a#$b
ASSERT($k=True; "$k:=$a#$b")
$k:=-7#$b
ASSERT($k=True; "$k:=-7#$b")
If ($a#2)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a#2) with $a=-7")
If (-7#$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (-7#$b) with $b=2")
$k:=$a<$b
ASSERT($k=True; "$k:=$a<$b")
$k:=-7<$b
ASSERT($k=True; "$k:=-7<$b")
If ($a<2)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a<2) with $a=-7")
If (-7<$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (-7<$b) with $b=2")
$k:=$a>$b
ASSERT($k=False; "$k:=$a>$b")
$k:=-7>$b
ASSERT($k=False; "$k:=-7>$b")
If ($a>2)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a>2) with $a=-7")
If (-7>$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (-7>$b) with $b=2")
$k:=$a<=$b
ASSERT($k=True; "$k:=$a<=$b")
$k:=-7<=$b
ASSERT($k=True; "$k:=-7<=$b")
If ($a<=2)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a<=2) with $a=-7")
If (-7<=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (-7<=$b) with $b=2")
$k:=$a>=$b
ASSERT($k=False; "$k:=$a>=$b")
$k:=-7>=$b
ASSERT($k=False; "$k:=-7>=$b")
If ($a>=2)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a>=2) with $a=-7")
If (-7>=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (-7>=$b) with $b=2")
$a:=-2147483648
$b:=-1
$r:=$a+$b
ASSERT($r=-2147483649.0; "$r:=$a+$b")
$v7:=-2147483648+$b
ASSERT($v7=-2147483649.0; "$v7:=-2147483648+$b")
$r:=$a-$b
ASSERT($r=-2147483647.0; "$r:=$a-$b")
$l:=$a--1
ASSERT($l=-2147483647; "$l:=$a--1")
$v8:=-2147483648-$b
ASSERT($v8=-2147483647; "$v8:=-2147483648-$b")
$r:=$a*$b
ASSERT($r=2147483648.0; "$r:=$a*$b")
$v9:=-2147483648*$b
ASSERT($v9=2147483648.0; "$v9:=-2147483648*$b")
$l:=$a%$b
ASSERT($l=0; "$l:=$a%$b")
$k:=$a=$b
ASSERT($k=False; "$k:=$a=$b")
$k:=-2147483648=$b
ASSERT($k=False; "$k:=-2147483648=$b")
If ($a=-1)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a=-1) with $a=-2147483648")
If (-2147483648=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (-2147483648=$b) with $b=-1")
$k:=$a#$b
ASSERT($k=True; "$k:=$a#$b")
$k:=-2147483648#$b
ASSERT($k=True; "$k:=-2147483648#$b")
If ($a#-1)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a#-1) with $a=-2147483648")
If (-2147483648#$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (-2147483648#$b) with $b=-1")
$k:=$a<$b
ASSERT($k=True; "$k:=$a<$b")
$k:=-2147483648<$b
ASSERT($k=True; "$k:=-2147483648<$b")
If ($a<-1)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a<-1) with $a=-2147483648")
If (-2147483648<$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (-2147483648<$b) with $b=-1")
$k:=$a>$b
ASSERT($k=False; "$k:=$a>$b")
$k:=-2147483648>$b
ASSERT($k=False; "$k:=-2147483648>$b")
If ($a>-1)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a>-1) with $a=-2147483648")
If (-2147483648>$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (-2147483648>$b) with $b=-1")
$k:=$a<=$b
ASSERT($k=True; "$k:=$a<=$b")
$k:=-2147483648<=$b
ASSERT($k=True; "$k:=-2147483648<=$b")
If ($a<=-1)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a<=-1) with $a=-2147483648")
If (-2147483648<=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (-2147483648<=$b) with $b=-1")
$k:=$a>=$b
ASSERT($k=False; "$k:=$a>=$b")
$k:=-2147483648>=$b
ASSERT($k=False; "$k:=-2147483648>=$b")
If ($a>=-1)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a>=-1) with $a=-2147483648")
If (-2147483648>=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (-2147483648>=$b) with $b=-1")
$a:=2147483647
$b:=1
$r:=$a+$b
ASSERT($r=2147483648.0; "$r:=$a+$b")
$v10:=2147483647+$b
ASSERT($v10=2147483648.0; "$v10:=2147483647+$b")
$r:=$a-$b
ASSERT($r=2147483646.0; "$r:=$a-$b")
$l:=$a-1
ASSERT($l=2147483646; "$l:=$a-1")
$v11:=2147483647-$b
ASSERT($v11=2147483646; "$v11:=2147483647-$b")
$r:=$a*$b
ASSERT($r=2147483647.0; "$r:=$a*$b")
$l:=$a*1
ASSERT($l=2147483647; "$l:=$a*1")
$v12:=2147483647*$b
ASSERT($v12=2147483647; "$v12:=2147483647*$b")
$l:=$a\$b
ASSERT($l=2147483647; "$l:=$a div $b")
$l:=$a%$b
ASSERT($l=0; "$l:=$a%$b")
$k:=$a=$b
ASSERT($k=False; "$k:=$a=$b")
$k:=2147483647=$b
ASSERT($k=False; "$k:=2147483647=$b")
If ($a=1)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a=1) with $a=2147483647")
If (2147483647=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (2147483647=$b) with $b=1")
$k:=$a#$b
ASSERT($k=True; "$k:=$a#$b")
$k:=2147483647#$b
ASSERT($k=True; "$k:=2147483647#$b")
If ($a#1)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a#1) with $a=2147483647")
If (2147483647#$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (2147483647#$b) with $b=1")
$k:=$a<$b
ASSERT($k=False; "$k:=$a<$b")
$k:=2147483647<$b
ASSERT($k=False; "$k:=2147483647<$b")
If ($a<1)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a<1) with $a=2147483647")
If (2147483647<$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (2147483647<$b) with $b=1")
$k:=$a>$b
ASSERT($k=True; "$k:=$a>$b")
$k:=2147483647>$b
ASSERT($k=True; "$k:=2147483647>$b")
If ($a>1)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a>1) with $a=2147483647")
If (2147483647>$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (2147483647>$b) with $b=1")
$k:=$a<=$b
ASSERT($k=False; "$k:=$a<=$b")
$k:=2147483647<=$b
ASSERT($k=False; "$k:=2147483647<=$b")
If ($a<=1)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a<=1) with $a=2147483647")
If (2147483647<=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (2147483647<=$b) with $b=1")
$k:=$a>=$b
ASSERT($k=True; "$k:=$a>=$b")
$k:=2147483647>=$b
ASSERT($k=True; "$k:=2147483647>=$b")
If ($a>=1)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a>=1) with $a=2147483647")
If (2147483647>=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (2147483647>=$b) with $b=1")
$a:=46341
$b:=46341
$r:=$a+$b
ASSERT($r=92682.0; "$r:=$a+$b")
$l:=$a+46341
ASSERT($l=92682; "$l:=$a+46341")
$v13:=46341+$b
ASSERT($v13=92682; "$v13:=46341+$b")
$r:=$a-$b
ASSERT($r=0.0; "$r:=$a-$b")
$l:=$a-46341
ASSERT($l=0; "$l:=$a-46341")
$v14:=46341-$b
ASSERT($v14=0; "$v14:=46341-$b")
$r:=$a*$b
ASSERT($r=2147488281.0; "$r:=$a*$b")
$v15:=46341*$b
ASSERT($v15=2147488281.0; "$v15:=46341*$b")
$l:=$a\$b
ASSERT($l=1; "$l:=$a div $b")
$l:=$a%$b
ASSERT($l=0; "$l:=$a%$b")
$k:=$a=$b
ASSERT($k=True; "$k:=$a=$b")
$k:=46341=$b
ASSERT($k=True; "$k:=46341=$b")
If ($a=46341)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a=46341) with $a=46341")
If (46341=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (46341=$b) with $b=46341")
$k:=$a#$b
ASSERT($k=False; "$k:=$a#$b")
$k:=46341#$b
ASSERT($k=False; "$k:=46341#$b")
If ($a#46341)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a#46341) with $a=46341")
If (46341#$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (46341#$b) with $b=46341")
$k:=$a<$b
ASSERT($k=False; "$k:=$a<$b")
$k:=46341<$b
ASSERT($k=False; "$k:=46341<$b")
If ($a<46341)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a<46341) with $a=46341")
If (46341<$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (46341<$b) with $b=46341")
$k:=$a>$b
ASSERT($k=False; "$k:=$a>$b")
$k:=46341>$b
ASSERT($k=False; "$k:=46341>$b")
If ($a>46341)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a>46341) with $a=46341")
If (46341>$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (46341>$b) with $b=46341")
$k:=$a<=$b
ASSERT($k=True; "$k:=$a<=$b")
$k:=46341<=$b
ASSERT($k=True; "$k:=46341<=$b")
If ($a<=46341)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a<=46341) with $a=46341")
If (46341<=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (46341<=$b) with $b=46341")
$k:=$a>=$b
ASSERT($k=True; "$k:=$a>=$b")
$k:=46341>=$b
ASSERT($k=True; "$k:=46341>=$b")
If ($a>=46341)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a>=46341) with $a=46341")
If (46341>=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (46341>=$b) with $b=46341")
$a:=0
$b:=5
$r:=$a+$b
ASSERT($r=5.0; "$r:=$a+$b")
$l:=$a+5
ASSERT($l=5; "$l:=$a+5")
$v16:=0+$b
ASSERT($v16=5; "$v16:=0+$b")
$r:=$a-$b
ASSERT($r=-5.0; "$r:=$a-$b")
$l:=$a-5
ASSERT($l=-5; "$l:=$a-5")
$v17:=0-$b
ASSERT($v17=-5; "$v17:=0-$b")
$r:=$a*$b
ASSERT($r=0.0; "$r:=$a*$b")
$l:=$a*5
ASSERT($l=0; "$l:=$a*5")
$v18:=0*$b
ASSERT($v18=0; "$v18:=0*$b")
$l:=$a\$b
ASSERT($l=0; "$l:=$a div $b")
$l:=$a%$b
ASSERT($l=0; "$l:=$a%$b")
$k:=$a=$b
ASSERT($k=False; "$k:=$a=$b")
$k:=0=$b
ASSERT($k=False; "$k:=0=$b")
If ($a=5)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a=5) with $a=0")
If (0=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (0=$b) with $b=5")
$k:=$a#$b
ASSERT($k=True; "$k:=$a#$b")
$k:=0#$b
ASSERT($k=True; "$k:=0#$b")
If ($a#5)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a#5) with $a=0")
If (0#$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (0#$b) with $b=5")
$k:=$a<$b
ASSERT($k=True; "$k:=$a<$b")
$k:=0<$b
ASSERT($k=True; "$k:=0<$b")
If ($a<5)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a<5) with $a=0")
If (0<$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (0<$b) with $b=5")
$k:=$a>$b
ASSERT($k=False; "$k:=$a>$b")
$k:=0>$b
ASSERT($k=False; "$k:=0>$b")
If ($a>5)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a>5) with $a=0")
If (0>$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (0>$b) with $b=5")
$k:=$a<=$b
ASSERT($k=True; "$k:=$a<=$b")
$k:=0<=$b
ASSERT($k=True; "$k:=0<=$b")
If ($a<=5)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($a<=5) with $a=0")
If (0<=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (0<=$b) with $b=5")
$k:=$a>=$b
ASSERT($k=False; "$k:=$a>=$b")
$k:=0>=$b
ASSERT($k=False; "$k:=0>=$b")
If ($a>=5)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($a>=5) with $a=0")
If (0>=$b)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (0>=$b) with $b=5")
$a:=17
$l:=$a\3
ASSERT($l=5; "$l:=$a div 3")
$l:=$a%3
ASSERT($l=2; "$l:=$a%3")
$l:=$a\-3
ASSERT($l=-5; "$l:=$a div -3")
$l:=$a%-3
ASSERT($l=2; "$l:=$a%-3")
$l:=$a\7
ASSERT($l=2; "$l:=$a div 7")
$l:=$a%7
ASSERT($l=3; "$l:=$a%7")
$l:=$a\-10
ASSERT($l=-1; "$l:=$a div -10")
$l:=$a%-10
ASSERT($l=7; "$l:=$a%-10")
$a:=-17
$l:=$a\3
ASSERT($l=-5; "$l:=$a div 3")
$l:=$a%3
ASSERT($l=-2; "$l:=$a%3")
$l:=$a\-3
ASSERT($l=5; "$l:=$a div -3")
$l:=$a%-3
ASSERT($l=-2; "$l:=$a%-3")
$l:=$a\7
ASSERT($l=-2; "$l:=$a div 7")
$l:=$a%7
ASSERT($l=-3; "$l:=$a%7")
$l:=$a\-10
ASSERT($l=1; "$l:=$a div -10")
$l:=$a%-10
ASSERT($l=-7; "$l:=$a%-10")
$a:=2147483647
$l:=$a\3
ASSERT($l=715827882; "$l:=$a div 3")
$l:=$a%3
ASSERT($l=1; "$l:=$a%3")
$l:=$a\-3
ASSERT($l=-715827882; "$l:=$a div -3")
$l:=$a%-3
ASSERT($l=1; "$l:=$a%-3")
$l:=$a\7
ASSERT($l=306783378; "$l:=$a div 7")
$l:=$a%7
ASSERT($l=1; "$l:=$a%7")
$l:=$a\-10
ASSERT($l=-214748364; "$l:=$a div -10")
$l:=$a%-10
ASSERT($l=7; "$l:=$a%-10")
$a:=-2147483648
$l:=$a\3
ASSERT($l=-715827882; "$l:=$a div 3")
$l:=$a%3
ASSERT($l=-2; "$l:=$a%3")
$l:=$a\-3
ASSERT($l=715827882; "$l:=$a div -3")
$l:=$a%-3
ASSERT($l=-2; "$l:=$a%-3")
$l:=$a\7
ASSERT($l=-306783378; "$l:=$a div 7")
$l:=$a%7
ASSERT($l=-2; "$l:=$a%7")
$l:=$a\-10
ASSERT($l=214748364; "$l:=$a div -10")
$l:=$a%-10
ASSERT($l=-8; "$l:=$a%-10")
$x:=2.5
$y:=0.5
$a:=2
$r:=$x+$y
ASSERT($r=3.0; "$r:=$x+$y")
$v19:=$a+$y
ASSERT($v19=2.5; "$v19:=$a+$y")
$v20:=$x+0
ASSERT($v20=2.5; "$v20:=$x+0")
$r:=$x-$y
ASSERT($r=2.0; "$r:=$x-$y")
$v21:=$a-$y
ASSERT($v21=1.5; "$v21:=$a-$y")
$v22:=$x-0
ASSERT($v22=2.5; "$v22:=$x-0")
$r:=$x*$y
ASSERT($r=1.25; "$r:=$x*$y")
$v23:=$a*$y
ASSERT($v23=1.0; "$v23:=$a*$y")
$v24:=$x*0
ASSERT($v24=0.0; "$v24:=$x*0")
$r:=$x/$y
ASSERT($r=5.0; "$r:=$x/$y")
$k:=$x=$y
ASSERT($k=False; "$k:=$x=$y")
$k:=$a=$y
ASSERT($k=False; "$k:=$a=$y")
If ($x=$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x=$y) with 2.5 and 0.5")
If ($x=0)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x=0) with 2.5")
$k:=$x#$y
ASSERT($k=True; "$k:=$x#$y")
$k:=$a#$y
ASSERT($k=True; "$k:=$a#$y")
If ($x#$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x#$y) with 2.5 and 0.5")
If ($x#0)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x#0) with 2.5")
$k:=$x<$y
ASSERT($k=False; "$k:=$x<$y")
$k:=$a<$y
ASSERT($k=False; "$k:=$a<$y")
If ($x<$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x<$y) with 2.5 and 0.5")
If ($x<0)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x<0) with 2.5")
$k:=$x>$y
ASSERT($k=True; "$k:=$x>$y")
$k:=$a>$y
ASSERT($k=True; "$k:=$a>$y")
If ($x>$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x>$y) with 2.5 and 0.5")
If ($x>0)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x>0) with 2.5")
$k:=$x<=$y
ASSERT($k=False; "$k:=$x<=$y")
$k:=$a<=$y
ASSERT($k=False; "$k:=$a<=$y")
If ($x<=$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x<=$y) with 2.5 and 0.5")
If ($x<=0)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x<=0) with 2.5")
$k:=$x>=$y
ASSERT($k=True; "$k:=$x>=$y")
$k:=$a>=$y
ASSERT($k=True; "$k:=$a>=$y")
If ($x>=$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x>=$y) with 2.5 and 0.5")
If ($x>=0)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x>=0) with 2.5")
$x:=-1.25
$y:=4.0
$a:=-1
$r:=$x+$y
ASSERT($r=2.75; "$r:=$x+$y")
$v25:=$a+$y
ASSERT($v25=3.0; "$v25:=$a+$y")
$v26:=$x+4
ASSERT($v26=2.75; "$v26:=$x+4")
$r:=$x-$y
ASSERT($r=-5.25; "$r:=$x-$y")
$v27:=$a-$y
ASSERT($v27=-5.0; "$v27:=$a-$y")
$v28:=$x-4
ASSERT($v28=-5.25; "$v28:=$x-4")
$r:=$x*$y
ASSERT($r=-5.0; "$r:=$x*$y")
$v29:=$a*$y
ASSERT($v29=-4.0; "$v29:=$a*$y")
$v30:=$x*4
ASSERT($v30=-5.0; "$v30:=$x*4")
$r:=$x/$y
ASSERT($r=-0.3125; "$r:=$x/$y")
$k:=$x=$y
ASSERT($k=False; "$k:=$x=$y")
$k:=$a=$y
ASSERT($k=False; "$k:=$a=$y")
If ($x=$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x=$y) with -1.25 and 4.0")
If ($x=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x=4) with -1.25")
$k:=$x#$y
ASSERT($k=True; "$k:=$x#$y")
$k:=$a#$y
ASSERT($k=True; "$k:=$a#$y")
If ($x#$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x#$y) with -1.25 and 4.0")
If ($x#4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x#4) with -1.25")
$k:=$x<$y
ASSERT($k=True; "$k:=$x<$y")
$k:=$a<$y
ASSERT($k=True; "$k:=$a<$y")
If ($x<$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x<$y) with -1.25 and 4.0")
If ($x<4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x<4) with -1.25")
$k:=$x>$y
ASSERT($k=False; "$k:=$x>$y")
$k:=$a>$y
ASSERT($k=False; "$k:=$a>$y")
If ($x>$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x>$y) with -1.25 and 4.0")
If ($x>4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x>4) with -1.25")
$k:=$x<=$y
ASSERT($k=True; "$k:=$x<=$y")
$k:=$a<=$y
ASSERT($k=True; "$k:=$a<=$y")
If ($x<=$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x<=$y) with -1.25 and 4.0")
If ($x<=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x<=4) with -1.25")
$k:=$x>=$y
ASSERT($k=False; "$k:=$x>=$y")
$k:=$a>=$y
ASSERT($k=False; "$k:=$a>=$y")
If ($x>=$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x>=$y) with -1.25 and 4.0")
If ($x>=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x>=4) with -1.25")
$x:=3.0
$y:=3.0
$a:=3
$r:=$x+$y
ASSERT($r=6.0; "$r:=$x+$y")
$v31:=$a+$y
ASSERT($v31=6.0; "$v31:=$a+$y")
$v32:=$x+3
ASSERT($v32=6.0; "$v32:=$x+3")
$r:=$x-$y
ASSERT($r=0.0; "$r:=$x-$y")
$v33:=$a-$y
ASSERT($v33=0.0; "$v33:=$a-$y")
$v34:=$x-3
ASSERT($v34=0.0; "$v34:=$x-3")
$r:=$x*$y
ASSERT($r=9.0; "$r:=$x*$y")
$v35:=$a*$y
ASSERT($v35=9.0; "$v35:=$a*$y")
$v36:=$x*3
ASSERT($v36=9.0; "$v36:=$x*3")
$r:=$x/$y
ASSERT($r=1.0; "$r:=$x/$y")
$k:=$x=$y
ASSERT($k=True; "$k:=$x=$y")
$k:=$a=$y
ASSERT($k=True; "$k:=$a=$y")
If ($x=$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x=$y) with 3.0 and 3.0")
If ($x=3)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x=3) with 3.0")
$k:=$x#$y
ASSERT($k=False; "$k:=$x#$y")
$k:=$a#$y
ASSERT($k=False; "$k:=$a#$y")
If ($x#$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x#$y) with 3.0 and 3.0")
If ($x#3)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x#3) with 3.0")
$k:=$x<$y
ASSERT($k=False; "$k:=$x<$y")
$k:=$a<$y
ASSERT($k=False; "$k:=$a<$y")
If ($x<$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x<$y) with 3.0 and 3.0")
If ($x<3)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x<3) with 3.0")
$k:=$x>$y
ASSERT($k=False; "$k:=$x>$y")
$k:=$a>$y
ASSERT($k=False; "$k:=$a>$y")
If ($x>$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x>$y) with 3.0 and 3.0")
If ($x>3)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($x>3) with 3.0")
$k:=$x<=$y
ASSERT($k=True; "$k:=$x<=$y")
$k:=$a<=$y
ASSERT($k=True; "$k:=$a<=$y")
If ($x<=$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x<=$y) with 3.0 and 3.0")
If ($x<=3)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x<=3) with 3.0")
$k:=$x>=$y
ASSERT($k=True; "$k:=$x>=$y")
$k:=$a>=$y
ASSERT($k=True; "$k:=$a>=$y")
If ($x>=$y)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x>=$y) with 3.0 and 3.0")
If ($x>=3)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($x>=3) with 3.0")
$a:=-2147483647-1
$r:=-$a
ASSERT($r=2147483648.0; "$r:=-$a")
$x:=2.5
$w1:=-$x
ASSERT($w1=-2.5; "$w1:=-$x")
$w2:=-5
ASSERT($w2=-5; "$w2:=-5")
$k:=$t=$f
ASSERT($k=False; "$k:=$t=$f")
$k:=$t#$f
ASSERT($k=True; "$k:=$t#$f")
$k:=$t & $f
ASSERT($k=False; "$k:=$t & $f")
$k:=$t | $f
ASSERT($k=True; "$k:=$t | $f")
$w3:=2^10
ASSERT($w3=1024; "$w3:=2^10")
$r:=$a^0
ASSERT($r=1; "$r:=$a^0")
$a:=7
$r:=$a/2
ASSERT($r=3.5; "$r:=$a/2")
$x:=$a
ASSERT($x=7; "$x:=$a")
$x:=7.25
$l:=$x*1
ASSERT($l=7; "$l:=$x*1")
$l:=$x
ASSERT($l=7; "$l:=$x")
If ($t)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If on a boolean")
If ($f)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If on a false boolean")
// the smallest longint by -1: the exact result, as a real
$a:=-2147483647-1
$b:=-1
$r:=$a\$b
ASSERT($r=2147483648; "MIN div -1")
$r:=$a%$b
ASSERT($r=0; "MIN % -1")
$b:=0
ON ERR CALL("helper_on_error")
<>errors:=0
$l:=$a\$b
$l:=$a%$b
$r:=$x/$b
ON ERR CALL("")
ASSERT(<>errors=3; "division by zero in each form is an error")
// elements of arrays, by a slot, a literal or a real index
ARRAY LONGINT($al;3)
ARRAY REAL($ar;3)
ARRAY BOOLEAN($ab;3)
ARRAY TEXT($at;3)
For ($i;1;3)
  $al{$i}:=$i*10
  $ar{$i}:=$i/4
  $ab{$i}:=$i=2
  $at{$i}:=String($i)
End for
$l:=$al{2}+$al{3}
ASSERT($l=50; "longint elements")
$x:=1.6
$l:=$al{$x}
ASSERT($l=20; "a real index is rounded")
$r:=$ar{1}+$ar{3}
ASSERT($r=1; "real elements")
$k:=$ab{2}
ASSERT($k; "boolean elements")
$s:=$at{3}
ASSERT($s="3"; "text elements go the general way")
$i:=0
ON ERR CALL("helper_on_error")
<>errors:=0
$l:=$al{$i+9}
ON ERR CALL("")
ASSERT(<>errors=1; "an index past the end is an error")
// process and interprocess variables, read and written
vProc:=5
<>inter:=2.5
$r:=vProc*<>inter
ASSERT($r=12.5; "process times interprocess")
vProc:=vProc+1
<>inter:=<>inter-vProc
ASSERT((vProc=6) & (<>inter=-3.5); "stored back")
vFlag:=True
If (vFlag)
  vProc:=-vProc
End if
ASSERT(vProc=-6; "negated in place")
// texts, dates and times compared and added the general way
$s:="abc"
$k:=$s="ABC"
ASSERT($k; "texts compare without case")
$d:=!2024-02-28!
$d:=$d+1
ASSERT($d=!2024-02-29!; "a date plus days")
$h:=?01:00:00?
$h:=$h+60
ASSERT($h=?01:01:00?; "a time plus seconds")
$k:=$d>!2024-01-01!
ASSERT($k; "dates compare")
// loops: counting up and down, by real steps, past the longint range
$n:=0
For ($i;10;1;-3)
  $n:=$n+$i
End for
ASSERT(($n=22) & ($i=-2); "down by 3")
$r:=0
For ($x;0.5;2;0.5)
  $r:=$r+$x
End for
ASSERT($r=5; "a real counter")
$n:=0
For ($r;2147483646;2147483649)
  $n:=$n+1
End for
ASSERT($n=4; "a counter past the longint range")
$n:=0
$i:=0
While ($i<10)
  $i:=$i+1
  If ($i%2=0)
    continue
  End if
  If ($i>7)
    break
  End if
  $n:=$n+$i
End while
ASSERT($n=16; "While with continue and break")
$i:=0
Repeat
  $i:=$i+2
Until ($i>=7)
ASSERT($i=8; "Repeat until")
// every pair of operand sources, on the machine and the general way
helper_scalar_sources(7;3;2.5;0.5;True;False;6;4)
helper_machine_forms
