// Each operator in each operand form (slot and slot, slot and literal, literal and slot)
// over longints and reals with whole values, into each kind of destination; booleans
// and texts where the operator takes them.
C_LONGINT($l;$six;$n)
C_REAL($r;$sixr)
C_BOOLEAN($k)
C_TEXT($s;$ab)
$six:=6
$sixr:=6.0
$ab:="ab"
$m:=4
$r:=$six+$m
ASSERT($r=10.0; "$r:=$six+$m")
$l:=$six+$m
ASSERT($l=10; "$l:=$six+$m")
$u1:=$six+$m
ASSERT($u1=10; "$u1:=$six+$m")
$r:=($six+$m)+1
ASSERT($r=11.0; "$r:=($six+$m)+1")
C_REAL($q)
$q:=4.0
$r:=$six+$q
ASSERT($r=10.0; "$r:=$six+$q")
$l:=$six+$q
ASSERT($l=10; "$l:=$six+$q")
$u2:=$six+$q
ASSERT($u2=10.0; "$u2:=$six+$q")
$r:=($six+$q)+1
ASSERT($r=11.0; "$r:=($six+$q)+1")
$r:=$six+4
ASSERT($r=10.0; "$r:=$six+4")
$l:=$six+4
ASSERT($l=10; "$l:=$six+4")
$u3:=$six+4
ASSERT($u3=10; "$u3:=$six+4")
$r:=($six+4)+1
ASSERT($r=11.0; "$r:=($six+4)+1")
$m:=4
$r:=$sixr+$m
ASSERT($r=10.0; "$r:=$sixr+$m")
$l:=$sixr+$m
ASSERT($l=10; "$l:=$sixr+$m")
$u4:=$sixr+$m
ASSERT($u4=10.0; "$u4:=$sixr+$m")
$r:=($sixr+$m)+1
ASSERT($r=11.0; "$r:=($sixr+$m)+1")
C_REAL($q)
$q:=4.0
$r:=$sixr+$q
ASSERT($r=10.0; "$r:=$sixr+$q")
$l:=$sixr+$q
ASSERT($l=10; "$l:=$sixr+$q")
$u5:=$sixr+$q
ASSERT($u5=10.0; "$u5:=$sixr+$q")
$r:=($sixr+$q)+1
ASSERT($r=11.0; "$r:=($sixr+$q)+1")
$r:=$sixr+4
ASSERT($r=10.0; "$r:=$sixr+4")
$l:=$sixr+4
ASSERT($l=10; "$l:=$sixr+4")
$u6:=$sixr+4
ASSERT($u6=10.0; "$u6:=$sixr+4")
$r:=($sixr+4)+1
ASSERT($r=11.0; "$r:=($sixr+4)+1")
$m:=4
$r:=6+$m
ASSERT($r=10.0; "$r:=6+$m")
$l:=6+$m
ASSERT($l=10; "$l:=6+$m")
$u7:=6+$m
ASSERT($u7=10; "$u7:=6+$m")
$r:=(6+$m)+1
ASSERT($r=11.0; "$r:=(6+$m)+1")
C_REAL($q)
$q:=4.0
$r:=6+$q
ASSERT($r=10.0; "$r:=6+$q")
$l:=6+$q
ASSERT($l=10; "$l:=6+$q")
$u8:=6+$q
ASSERT($u8=10.0; "$u8:=6+$q")
$r:=(6+$q)+1
ASSERT($r=11.0; "$r:=(6+$q)+1")
$m:=4
$r:=$six-$m
ASSERT($r=2.0; "$r:=$six-$m")
$l:=$six-$m
ASSERT($l=2; "$l:=$six-$m")
$u9:=$six-$m
ASSERT($u9=2; "$u9:=$six-$m")
$r:=($six-$m)+1
ASSERT($r=3.0; "$r:=($six-$m)+1")
C_REAL($q)
$q:=4.0
$r:=$six-$q
ASSERT($r=2.0; "$r:=$six-$q")
$l:=$six-$q
ASSERT($l=2; "$l:=$six-$q")
$u10:=$six-$q
ASSERT($u10=2.0; "$u10:=$six-$q")
$r:=($six-$q)+1
ASSERT($r=3.0; "$r:=($six-$q)+1")
$r:=$six-4
ASSERT($r=2.0; "$r:=$six-4")
$l:=$six-4
ASSERT($l=2; "$l:=$six-4")
$u11:=$six-4
ASSERT($u11=2; "$u11:=$six-4")
$r:=($six-4)+1
ASSERT($r=3.0; "$r:=($six-4)+1")
$m:=4
$r:=$sixr-$m
ASSERT($r=2.0; "$r:=$sixr-$m")
$l:=$sixr-$m
ASSERT($l=2; "$l:=$sixr-$m")
$u12:=$sixr-$m
ASSERT($u12=2.0; "$u12:=$sixr-$m")
$r:=($sixr-$m)+1
ASSERT($r=3.0; "$r:=($sixr-$m)+1")
C_REAL($q)
$q:=4.0
$r:=$sixr-$q
ASSERT($r=2.0; "$r:=$sixr-$q")
$l:=$sixr-$q
ASSERT($l=2; "$l:=$sixr-$q")
$u13:=$sixr-$q
ASSERT($u13=2.0; "$u13:=$sixr-$q")
$r:=($sixr-$q)+1
ASSERT($r=3.0; "$r:=($sixr-$q)+1")
$r:=$sixr-4
ASSERT($r=2.0; "$r:=$sixr-4")
$l:=$sixr-4
ASSERT($l=2; "$l:=$sixr-4")
$u14:=$sixr-4
ASSERT($u14=2.0; "$u14:=$sixr-4")
$r:=($sixr-4)+1
ASSERT($r=3.0; "$r:=($sixr-4)+1")
$m:=4
$r:=6-$m
ASSERT($r=2.0; "$r:=6-$m")
$l:=6-$m
ASSERT($l=2; "$l:=6-$m")
$u15:=6-$m
ASSERT($u15=2; "$u15:=6-$m")
$r:=(6-$m)+1
ASSERT($r=3.0; "$r:=(6-$m)+1")
C_REAL($q)
$q:=4.0
$r:=6-$q
ASSERT($r=2.0; "$r:=6-$q")
$l:=6-$q
ASSERT($l=2; "$l:=6-$q")
$u16:=6-$q
ASSERT($u16=2.0; "$u16:=6-$q")
$r:=(6-$q)+1
ASSERT($r=3.0; "$r:=(6-$q)+1")
$m:=4
$r:=$six*$m
ASSERT($r=24.0; "$r:=$six*$m")
$l:=$six*$m
ASSERT($l=24; "$l:=$six*$m")
$u17:=$six*$m
ASSERT($u17=24; "$u17:=$six*$m")
$r:=($six*$m)+1
ASSERT($r=25.0; "$r:=($six*$m)+1")
C_REAL($q)
$q:=4.0
$r:=$six*$q
ASSERT($r=24.0; "$r:=$six*$q")
$l:=$six*$q
ASSERT($l=24; "$l:=$six*$q")
$u18:=$six*$q
ASSERT($u18=24.0; "$u18:=$six*$q")
$r:=($six*$q)+1
ASSERT($r=25.0; "$r:=($six*$q)+1")
$r:=$six*4
ASSERT($r=24.0; "$r:=$six*4")
$l:=$six*4
ASSERT($l=24; "$l:=$six*4")
$u19:=$six*4
ASSERT($u19=24; "$u19:=$six*4")
$r:=($six*4)+1
ASSERT($r=25.0; "$r:=($six*4)+1")
$m:=4
$r:=$sixr*$m
ASSERT($r=24.0; "$r:=$sixr*$m")
$l:=$sixr*$m
ASSERT($l=24; "$l:=$sixr*$m")
$u20:=$sixr*$m
ASSERT($u20=24.0; "$u20:=$sixr*$m")
$r:=($sixr*$m)+1
ASSERT($r=25.0; "$r:=($sixr*$m)+1")
C_REAL($q)
$q:=4.0
$r:=$sixr*$q
ASSERT($r=24.0; "$r:=$sixr*$q")
$l:=$sixr*$q
ASSERT($l=24; "$l:=$sixr*$q")
$u21:=$sixr*$q
ASSERT($u21=24.0; "$u21:=$sixr*$q")
$r:=($sixr*$q)+1
ASSERT($r=25.0; "$r:=($sixr*$q)+1")
$r:=$sixr*4
ASSERT($r=24.0; "$r:=$sixr*4")
$l:=$sixr*4
ASSERT($l=24; "$l:=$sixr*4")
$u22:=$sixr*4
ASSERT($u22=24.0; "$u22:=$sixr*4")
$r:=($sixr*4)+1
ASSERT($r=25.0; "$r:=($sixr*4)+1")
$m:=4
$r:=6*$m
ASSERT($r=24.0; "$r:=6*$m")
$l:=6*$m
ASSERT($l=24; "$l:=6*$m")
$u23:=6*$m
ASSERT($u23=24; "$u23:=6*$m")
$r:=(6*$m)+1
ASSERT($r=25.0; "$r:=(6*$m)+1")
C_REAL($q)
$q:=4.0
$r:=6*$q
ASSERT($r=24.0; "$r:=6*$q")
$l:=6*$q
ASSERT($l=24; "$l:=6*$q")
$u24:=6*$q
ASSERT($u24=24.0; "$u24:=6*$q")
$r:=(6*$q)+1
ASSERT($r=25.0; "$r:=(6*$q)+1")
$m:=4
$r:=$six\$m
ASSERT($r=1.0; "$r:=$six div $m")
$l:=$six\$m
ASSERT($l=1; "$l:=$six div $m")
$u25:=$six\$m
ASSERT($u25=1; "$u25:=$six div $m")
$r:=($six\$m)+1
ASSERT($r=2.0; "$r:=($six div $m)+1")
C_REAL($q)
$q:=4.0
$r:=$six\$q
ASSERT($r=1.0; "$r:=$six div $q")
$l:=$six\$q
ASSERT($l=1; "$l:=$six div $q")
$u26:=$six\$q
ASSERT($u26=1; "$u26:=$six div $q")
$r:=($six\$q)+1
ASSERT($r=2.0; "$r:=($six div $q)+1")
$r:=$six\4
ASSERT($r=1.0; "$r:=$six div 4")
$l:=$six\4
ASSERT($l=1; "$l:=$six div 4")
$u27:=$six\4
ASSERT($u27=1; "$u27:=$six div 4")
$r:=($six\4)+1
ASSERT($r=2.0; "$r:=($six div 4)+1")
$m:=4
$r:=$sixr\$m
ASSERT($r=1.0; "$r:=$sixr div $m")
$l:=$sixr\$m
ASSERT($l=1; "$l:=$sixr div $m")
$u28:=$sixr\$m
ASSERT($u28=1; "$u28:=$sixr div $m")
$r:=($sixr\$m)+1
ASSERT($r=2.0; "$r:=($sixr div $m)+1")
C_REAL($q)
$q:=4.0
$r:=$sixr\$q
ASSERT($r=1.0; "$r:=$sixr div $q")
$l:=$sixr\$q
ASSERT($l=1; "$l:=$sixr div $q")
$u29:=$sixr\$q
ASSERT($u29=1; "$u29:=$sixr div $q")
$r:=($sixr\$q)+1
ASSERT($r=2.0; "$r:=($sixr div $q)+1")
$r:=$sixr\4
ASSERT($r=1.0; "$r:=$sixr div 4")
$l:=$sixr\4
ASSERT($l=1; "$l:=$sixr div 4")
$u30:=$sixr\4
ASSERT($u30=1; "$u30:=$sixr div 4")
$r:=($sixr\4)+1
ASSERT($r=2.0; "$r:=($sixr div 4)+1")
$m:=4
$r:=6\$m
ASSERT($r=1.0; "$r:=6 div $m")
$l:=6\$m
ASSERT($l=1; "$l:=6 div $m")
$u31:=6\$m
ASSERT($u31=1; "$u31:=6 div $m")
$r:=(6\$m)+1
ASSERT($r=2.0; "$r:=(6 div $m)+1")
C_REAL($q)
$q:=4.0
$r:=6\$q
ASSERT($r=1.0; "$r:=6 div $q")
$l:=6\$q
ASSERT($l=1; "$l:=6 div $q")
$u32:=6\$q
ASSERT($u32=1; "$u32:=6 div $q")
$r:=(6\$q)+1
ASSERT($r=2.0; "$r:=(6 div $q)+1")
$m:=4
$r:=$six%$m
ASSERT($r=2.0; "$r:=$six%$m")
$l:=$six%$m
ASSERT($l=2; "$l:=$six%$m")
$u33:=$six%$m
ASSERT($u33=2; "$u33:=$six%$m")
$r:=($six%$m)+1
ASSERT($r=3.0; "$r:=($six%$m)+1")
C_REAL($q)
$q:=4.0
$r:=$six%$q
ASSERT($r=2.0; "$r:=$six%$q")
$l:=$six%$q
ASSERT($l=2; "$l:=$six%$q")
$u34:=$six%$q
ASSERT($u34=2; "$u34:=$six%$q")
$r:=($six%$q)+1
ASSERT($r=3.0; "$r:=($six%$q)+1")
$r:=$six%4
ASSERT($r=2.0; "$r:=$six%4")
$l:=$six%4
ASSERT($l=2; "$l:=$six%4")
$u35:=$six%4
ASSERT($u35=2; "$u35:=$six%4")
$r:=($six%4)+1
ASSERT($r=3.0; "$r:=($six%4)+1")
$m:=4
$r:=$sixr%$m
ASSERT($r=2.0; "$r:=$sixr%$m")
$l:=$sixr%$m
ASSERT($l=2; "$l:=$sixr%$m")
$u36:=$sixr%$m
ASSERT($u36=2; "$u36:=$sixr%$m")
$r:=($sixr%$m)+1
ASSERT($r=3.0; "$r:=($sixr%$m)+1")
C_REAL($q)
$q:=4.0
$r:=$sixr%$q
ASSERT($r=2.0; "$r:=$sixr%$q")
$l:=$sixr%$q
ASSERT($l=2; "$l:=$sixr%$q")
$u37:=$sixr%$q
ASSERT($u37=2; "$u37:=$sixr%$q")
$r:=($sixr%$q)+1
ASSERT($r=3.0; "$r:=($sixr%$q)+1")
$r:=$sixr%4
ASSERT($r=2.0; "$r:=$sixr%4")
$l:=$sixr%4
ASSERT($l=2; "$l:=$sixr%4")
$u38:=$sixr%4
ASSERT($u38=2; "$u38:=$sixr%4")
$r:=($sixr%4)+1
ASSERT($r=3.0; "$r:=($sixr%4)+1")
$m:=4
$r:=6%$m
ASSERT($r=2.0; "$r:=6%$m")
$l:=6%$m
ASSERT($l=2; "$l:=6%$m")
$u39:=6%$m
ASSERT($u39=2; "$u39:=6%$m")
$r:=(6%$m)+1
ASSERT($r=3.0; "$r:=(6%$m)+1")
C_REAL($q)
$q:=4.0
$r:=6%$q
ASSERT($r=2.0; "$r:=6%$q")
$l:=6%$q
ASSERT($l=2; "$l:=6%$q")
$u40:=6%$q
ASSERT($u40=2; "$u40:=6%$q")
$r:=(6%$q)+1
ASSERT($r=3.0; "$r:=(6%$q)+1")
$m:=4
$k:=$six=$m
ASSERT($k=False; "$k:=$six=$m")
If ($six=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six=$m)")
While ($six=$m)
  $n:=2
  break
End while
ASSERT($n=0; "While ($six=$m)")
C_REAL($q)
$q:=4.0
$k:=$six=$q
ASSERT($k=False; "$k:=$six=$q")
If ($six=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six=$q)")
While ($six=$q)
  $n:=2
  break
End while
ASSERT($n=0; "While ($six=$q)")
$k:=$six=4
ASSERT($k=False; "$k:=$six=4")
If ($six=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six=4)")
While ($six=4)
  $n:=2
  break
End while
ASSERT($n=0; "While ($six=4)")
$m:=4
$k:=$sixr=$m
ASSERT($k=False; "$k:=$sixr=$m")
If ($sixr=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr=$m)")
While ($sixr=$m)
  $n:=2
  break
End while
ASSERT($n=0; "While ($sixr=$m)")
C_REAL($q)
$q:=4.0
$k:=$sixr=$q
ASSERT($k=False; "$k:=$sixr=$q")
If ($sixr=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr=$q)")
While ($sixr=$q)
  $n:=2
  break
End while
ASSERT($n=0; "While ($sixr=$q)")
$k:=$sixr=4
ASSERT($k=False; "$k:=$sixr=4")
If ($sixr=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr=4)")
While ($sixr=4)
  $n:=2
  break
End while
ASSERT($n=0; "While ($sixr=4)")
$m:=4
$k:=6=$m
ASSERT($k=False; "$k:=6=$m")
If (6=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (6=$m)")
While (6=$m)
  $n:=2
  break
End while
ASSERT($n=0; "While (6=$m)")
C_REAL($q)
$q:=4.0
$k:=6=$q
ASSERT($k=False; "$k:=6=$q")
If (6=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (6=$q)")
While (6=$q)
  $n:=2
  break
End while
ASSERT($n=0; "While (6=$q)")
$m:=4
$k:=$six#$m
ASSERT($k=True; "$k:=$six#$m")
If ($six#$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six#$m)")
While ($six#$m)
  $n:=2
  break
End while
ASSERT($n=2; "While ($six#$m)")
C_REAL($q)
$q:=4.0
$k:=$six#$q
ASSERT($k=True; "$k:=$six#$q")
If ($six#$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six#$q)")
While ($six#$q)
  $n:=2
  break
End while
ASSERT($n=2; "While ($six#$q)")
$k:=$six#4
ASSERT($k=True; "$k:=$six#4")
If ($six#4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six#4)")
While ($six#4)
  $n:=2
  break
End while
ASSERT($n=2; "While ($six#4)")
$m:=4
$k:=$sixr#$m
ASSERT($k=True; "$k:=$sixr#$m")
If ($sixr#$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr#$m)")
While ($sixr#$m)
  $n:=2
  break
End while
ASSERT($n=2; "While ($sixr#$m)")
C_REAL($q)
$q:=4.0
$k:=$sixr#$q
ASSERT($k=True; "$k:=$sixr#$q")
If ($sixr#$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr#$q)")
While ($sixr#$q)
  $n:=2
  break
End while
ASSERT($n=2; "While ($sixr#$q)")
$k:=$sixr#4
ASSERT($k=True; "$k:=$sixr#4")
If ($sixr#4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr#4)")
While ($sixr#4)
  $n:=2
  break
End while
ASSERT($n=2; "While ($sixr#4)")
$m:=4
$k:=6#$m
ASSERT($k=True; "$k:=6#$m")
If (6#$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (6#$m)")
While (6#$m)
  $n:=2
  break
End while
ASSERT($n=2; "While (6#$m)")
C_REAL($q)
$q:=4.0
$k:=6#$q
ASSERT($k=True; "$k:=6#$q")
If (6#$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (6#$q)")
While (6#$q)
  $n:=2
  break
End while
ASSERT($n=2; "While (6#$q)")
$m:=4
$k:=$six<$m
ASSERT($k=False; "$k:=$six<$m")
If ($six<$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six<$m)")
While ($six<$m)
  $n:=2
  break
End while
ASSERT($n=0; "While ($six<$m)")
C_REAL($q)
$q:=4.0
$k:=$six<$q
ASSERT($k=False; "$k:=$six<$q")
If ($six<$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six<$q)")
While ($six<$q)
  $n:=2
  break
End while
ASSERT($n=0; "While ($six<$q)")
$k:=$six<4
ASSERT($k=False; "$k:=$six<4")
If ($six<4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six<4)")
While ($six<4)
  $n:=2
  break
End while
ASSERT($n=0; "While ($six<4)")
$m:=4
$k:=$sixr<$m
ASSERT($k=False; "$k:=$sixr<$m")
If ($sixr<$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr<$m)")
While ($sixr<$m)
  $n:=2
  break
End while
ASSERT($n=0; "While ($sixr<$m)")
C_REAL($q)
$q:=4.0
$k:=$sixr<$q
ASSERT($k=False; "$k:=$sixr<$q")
If ($sixr<$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr<$q)")
While ($sixr<$q)
  $n:=2
  break
End while
ASSERT($n=0; "While ($sixr<$q)")
$k:=$sixr<4
ASSERT($k=False; "$k:=$sixr<4")
If ($sixr<4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr<4)")
While ($sixr<4)
  $n:=2
  break
End while
ASSERT($n=0; "While ($sixr<4)")
$m:=4
$k:=6<$m
ASSERT($k=False; "$k:=6<$m")
If (6<$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (6<$m)")
While (6<$m)
  $n:=2
  break
End while
ASSERT($n=0; "While (6<$m)")
C_REAL($q)
$q:=4.0
$k:=6<$q
ASSERT($k=False; "$k:=6<$q")
If (6<$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (6<$q)")
While (6<$q)
  $n:=2
  break
End while
ASSERT($n=0; "While (6<$q)")
$m:=4
$k:=$six>$m
ASSERT($k=True; "$k:=$six>$m")
If ($six>$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six>$m)")
While ($six>$m)
  $n:=2
  break
End while
ASSERT($n=2; "While ($six>$m)")
C_REAL($q)
$q:=4.0
$k:=$six>$q
ASSERT($k=True; "$k:=$six>$q")
If ($six>$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six>$q)")
While ($six>$q)
  $n:=2
  break
End while
ASSERT($n=2; "While ($six>$q)")
$k:=$six>4
ASSERT($k=True; "$k:=$six>4")
If ($six>4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six>4)")
While ($six>4)
  $n:=2
  break
End while
ASSERT($n=2; "While ($six>4)")
$m:=4
$k:=$sixr>$m
ASSERT($k=True; "$k:=$sixr>$m")
If ($sixr>$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr>$m)")
While ($sixr>$m)
  $n:=2
  break
End while
ASSERT($n=2; "While ($sixr>$m)")
C_REAL($q)
$q:=4.0
$k:=$sixr>$q
ASSERT($k=True; "$k:=$sixr>$q")
If ($sixr>$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr>$q)")
While ($sixr>$q)
  $n:=2
  break
End while
ASSERT($n=2; "While ($sixr>$q)")
$k:=$sixr>4
ASSERT($k=True; "$k:=$sixr>4")
If ($sixr>4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr>4)")
While ($sixr>4)
  $n:=2
  break
End while
ASSERT($n=2; "While ($sixr>4)")
$m:=4
$k:=6>$m
ASSERT($k=True; "$k:=6>$m")
If (6>$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (6>$m)")
While (6>$m)
  $n:=2
  break
End while
ASSERT($n=2; "While (6>$m)")
C_REAL($q)
$q:=4.0
$k:=6>$q
ASSERT($k=True; "$k:=6>$q")
If (6>$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (6>$q)")
While (6>$q)
  $n:=2
  break
End while
ASSERT($n=2; "While (6>$q)")
$m:=4
$k:=$six<=$m
ASSERT($k=False; "$k:=$six<=$m")
If ($six<=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six<=$m)")
While ($six<=$m)
  $n:=2
  break
End while
ASSERT($n=0; "While ($six<=$m)")
C_REAL($q)
$q:=4.0
$k:=$six<=$q
ASSERT($k=False; "$k:=$six<=$q")
If ($six<=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six<=$q)")
While ($six<=$q)
  $n:=2
  break
End while
ASSERT($n=0; "While ($six<=$q)")
$k:=$six<=4
ASSERT($k=False; "$k:=$six<=4")
If ($six<=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six<=4)")
While ($six<=4)
  $n:=2
  break
End while
ASSERT($n=0; "While ($six<=4)")
$m:=4
$k:=$sixr<=$m
ASSERT($k=False; "$k:=$sixr<=$m")
If ($sixr<=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr<=$m)")
While ($sixr<=$m)
  $n:=2
  break
End while
ASSERT($n=0; "While ($sixr<=$m)")
C_REAL($q)
$q:=4.0
$k:=$sixr<=$q
ASSERT($k=False; "$k:=$sixr<=$q")
If ($sixr<=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr<=$q)")
While ($sixr<=$q)
  $n:=2
  break
End while
ASSERT($n=0; "While ($sixr<=$q)")
$k:=$sixr<=4
ASSERT($k=False; "$k:=$sixr<=4")
If ($sixr<=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr<=4)")
While ($sixr<=4)
  $n:=2
  break
End while
ASSERT($n=0; "While ($sixr<=4)")
$m:=4
$k:=6<=$m
ASSERT($k=False; "$k:=6<=$m")
If (6<=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (6<=$m)")
While (6<=$m)
  $n:=2
  break
End while
ASSERT($n=0; "While (6<=$m)")
C_REAL($q)
$q:=4.0
$k:=6<=$q
ASSERT($k=False; "$k:=6<=$q")
If (6<=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (6<=$q)")
While (6<=$q)
  $n:=2
  break
End while
ASSERT($n=0; "While (6<=$q)")
$m:=4
$k:=$six>=$m
ASSERT($k=True; "$k:=$six>=$m")
If ($six>=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six>=$m)")
While ($six>=$m)
  $n:=2
  break
End while
ASSERT($n=2; "While ($six>=$m)")
C_REAL($q)
$q:=4.0
$k:=$six>=$q
ASSERT($k=True; "$k:=$six>=$q")
If ($six>=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six>=$q)")
While ($six>=$q)
  $n:=2
  break
End while
ASSERT($n=2; "While ($six>=$q)")
$k:=$six>=4
ASSERT($k=True; "$k:=$six>=4")
If ($six>=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six>=4)")
While ($six>=4)
  $n:=2
  break
End while
ASSERT($n=2; "While ($six>=4)")
$m:=4
$k:=$sixr>=$m
ASSERT($k=True; "$k:=$sixr>=$m")
If ($sixr>=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr>=$m)")
While ($sixr>=$m)
  $n:=2
  break
End while
ASSERT($n=2; "While ($sixr>=$m)")
C_REAL($q)
$q:=4.0
$k:=$sixr>=$q
ASSERT($k=True; "$k:=$sixr>=$q")
If ($sixr>=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr>=$q)")
While ($sixr>=$q)
  $n:=2
  break
End while
ASSERT($n=2; "While ($sixr>=$q)")
$k:=$sixr>=4
ASSERT($k=True; "$k:=$sixr>=4")
If ($sixr>=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr>=4)")
While ($sixr>=4)
  $n:=2
  break
End while
ASSERT($n=2; "While ($sixr>=4)")
$m:=4
$k:=6>=$m
ASSERT($k=True; "$k:=6>=$m")
If (6>=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (6>=$m)")
While (6>=$m)
  $n:=2
  break
End while
ASSERT($n=2; "While (6>=$m)")
C_REAL($q)
$q:=4.0
$k:=6>=$q
ASSERT($k=True; "$k:=6>=$q")
If (6>=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (6>=$q)")
While (6>=$q)
  $n:=2
  break
End while
ASSERT($n=2; "While (6>=$q)")
$B:=True
$C:=False
$k:=$B=$C
ASSERT($k=False; "$k:=$B=$C")
If ($B=$C)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If on booleans")
$k:=$B#$C
ASSERT($k=True; "$k:=$B#$C")
If ($B#$C)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If on booleans")
$k:=$ab="b"
ASSERT($k=False; "$k:=$ab='b'")
If ($ab="b")
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If on texts")
$k:=$ab#"b"
ASSERT($k=True; "$k:=$ab#'b'")
If ($ab#"b")
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If on texts")
$k:=$ab<"b"
ASSERT($k=True; "$k:=$ab<'b'")
If ($ab<"b")
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If on texts")
$k:=$ab>"b"
ASSERT($k=False; "$k:=$ab>'b'")
If ($ab>"b")
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If on texts")
$k:=$ab<="b"
ASSERT($k=True; "$k:=$ab<='b'")
If ($ab<="b")
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If on texts")
$k:=$ab>="b"
ASSERT($k=False; "$k:=$ab>='b'")
If ($ab>="b")
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If on texts")
$s:=$ab+"c"
ASSERT($s="abc"; "$s:=$ab+'c'")
ON ERR CALL("helper_on_error")
<>errors:=0
$s:=$six+1
$s:=$sixr*2
$s:=$six<$sixr
ON ERR CALL("")
ASSERT(<>errors=3; "a number or a boolean cannot go into a text")
