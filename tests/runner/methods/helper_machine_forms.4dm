// Each operator in each operand form (slot and slot, slot and literal, literal and slot)
// over longints and reals with whole values, into each kind of destination; booleans
// and texts where the operator takes them.
C_LONGINT($l;$six;$n;$m)
C_REAL($r;$sixr)
C_BOOLEAN($k)
C_TEXT($s;$ab)
$six:=6
$sixr:=6.0
$ab:="ab"
C_REAL($h;$g)
$h:=6.5
$g:=4.5
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
$r:=$six+$g
ASSERT($r=10.5; "$r:=$six+$g")
$u4:=$six+$g
ASSERT($u4=10.5; "$u4:=$six+$g")
$r:=($six+$g)+1
ASSERT($r=11.5; "$r:=($six+$g)+1")
$m:=4
$r:=$sixr+$m
ASSERT($r=10.0; "$r:=$sixr+$m")
$l:=$sixr+$m
ASSERT($l=10; "$l:=$sixr+$m")
$u5:=$sixr+$m
ASSERT($u5=10.0; "$u5:=$sixr+$m")
$r:=($sixr+$m)+1
ASSERT($r=11.0; "$r:=($sixr+$m)+1")
C_REAL($q)
$q:=4.0
$r:=$sixr+$q
ASSERT($r=10.0; "$r:=$sixr+$q")
$l:=$sixr+$q
ASSERT($l=10; "$l:=$sixr+$q")
$u6:=$sixr+$q
ASSERT($u6=10.0; "$u6:=$sixr+$q")
$r:=($sixr+$q)+1
ASSERT($r=11.0; "$r:=($sixr+$q)+1")
$r:=$sixr+4
ASSERT($r=10.0; "$r:=$sixr+4")
$l:=$sixr+4
ASSERT($l=10; "$l:=$sixr+4")
$u7:=$sixr+4
ASSERT($u7=10.0; "$u7:=$sixr+4")
$r:=($sixr+4)+1
ASSERT($r=11.0; "$r:=($sixr+4)+1")
$r:=$sixr+$g
ASSERT($r=10.5; "$r:=$sixr+$g")
$u8:=$sixr+$g
ASSERT($u8=10.5; "$u8:=$sixr+$g")
$r:=($sixr+$g)+1
ASSERT($r=11.5; "$r:=($sixr+$g)+1")
$m:=4
$r:=6+$m
ASSERT($r=10.0; "$r:=6+$m")
$l:=6+$m
ASSERT($l=10; "$l:=6+$m")
$u9:=6+$m
ASSERT($u9=10; "$u9:=6+$m")
$r:=(6+$m)+1
ASSERT($r=11.0; "$r:=(6+$m)+1")
C_REAL($q)
$q:=4.0
$r:=6+$q
ASSERT($r=10.0; "$r:=6+$q")
$l:=6+$q
ASSERT($l=10; "$l:=6+$q")
$u10:=6+$q
ASSERT($u10=10.0; "$u10:=6+$q")
$r:=(6+$q)+1
ASSERT($r=11.0; "$r:=(6+$q)+1")
$r:=6+$g
ASSERT($r=10.5; "$r:=6+$g")
$u11:=6+$g
ASSERT($u11=10.5; "$u11:=6+$g")
$r:=(6+$g)+1
ASSERT($r=11.5; "$r:=(6+$g)+1")
$m:=4
$r:=$h+$m
ASSERT($r=10.5; "$r:=$h+$m")
$u12:=$h+$m
ASSERT($u12=10.5; "$u12:=$h+$m")
$r:=($h+$m)+1
ASSERT($r=11.5; "$r:=($h+$m)+1")
C_REAL($q)
$q:=4.0
$r:=$h+$q
ASSERT($r=10.5; "$r:=$h+$q")
$u13:=$h+$q
ASSERT($u13=10.5; "$u13:=$h+$q")
$r:=($h+$q)+1
ASSERT($r=11.5; "$r:=($h+$q)+1")
$r:=$h+4
ASSERT($r=10.5; "$r:=$h+4")
$u14:=$h+4
ASSERT($u14=10.5; "$u14:=$h+4")
$r:=($h+4)+1
ASSERT($r=11.5; "$r:=($h+4)+1")
$r:=$h+$g
ASSERT($r=11.0; "$r:=$h+$g")
$l:=$h+$g
ASSERT($l=11; "$l:=$h+$g")
$u15:=$h+$g
ASSERT($u15=11.0; "$u15:=$h+$g")
$r:=($h+$g)+1
ASSERT($r=12.0; "$r:=($h+$g)+1")
$m:=4
$r:=$six-$m
ASSERT($r=2.0; "$r:=$six-$m")
$l:=$six-$m
ASSERT($l=2; "$l:=$six-$m")
$u16:=$six-$m
ASSERT($u16=2; "$u16:=$six-$m")
$r:=($six-$m)+1
ASSERT($r=3.0; "$r:=($six-$m)+1")
C_REAL($q)
$q:=4.0
$r:=$six-$q
ASSERT($r=2.0; "$r:=$six-$q")
$l:=$six-$q
ASSERT($l=2; "$l:=$six-$q")
$u17:=$six-$q
ASSERT($u17=2.0; "$u17:=$six-$q")
$r:=($six-$q)+1
ASSERT($r=3.0; "$r:=($six-$q)+1")
$r:=$six-4
ASSERT($r=2.0; "$r:=$six-4")
$l:=$six-4
ASSERT($l=2; "$l:=$six-4")
$u18:=$six-4
ASSERT($u18=2; "$u18:=$six-4")
$r:=($six-4)+1
ASSERT($r=3.0; "$r:=($six-4)+1")
$r:=$six-$g
ASSERT($r=1.5; "$r:=$six-$g")
$u19:=$six-$g
ASSERT($u19=1.5; "$u19:=$six-$g")
$r:=($six-$g)+1
ASSERT($r=2.5; "$r:=($six-$g)+1")
$m:=4
$r:=$sixr-$m
ASSERT($r=2.0; "$r:=$sixr-$m")
$l:=$sixr-$m
ASSERT($l=2; "$l:=$sixr-$m")
$u20:=$sixr-$m
ASSERT($u20=2.0; "$u20:=$sixr-$m")
$r:=($sixr-$m)+1
ASSERT($r=3.0; "$r:=($sixr-$m)+1")
C_REAL($q)
$q:=4.0
$r:=$sixr-$q
ASSERT($r=2.0; "$r:=$sixr-$q")
$l:=$sixr-$q
ASSERT($l=2; "$l:=$sixr-$q")
$u21:=$sixr-$q
ASSERT($u21=2.0; "$u21:=$sixr-$q")
$r:=($sixr-$q)+1
ASSERT($r=3.0; "$r:=($sixr-$q)+1")
$r:=$sixr-4
ASSERT($r=2.0; "$r:=$sixr-4")
$l:=$sixr-4
ASSERT($l=2; "$l:=$sixr-4")
$u22:=$sixr-4
ASSERT($u22=2.0; "$u22:=$sixr-4")
$r:=($sixr-4)+1
ASSERT($r=3.0; "$r:=($sixr-4)+1")
$r:=$sixr-$g
ASSERT($r=1.5; "$r:=$sixr-$g")
$u23:=$sixr-$g
ASSERT($u23=1.5; "$u23:=$sixr-$g")
$r:=($sixr-$g)+1
ASSERT($r=2.5; "$r:=($sixr-$g)+1")
$m:=4
$r:=6-$m
ASSERT($r=2.0; "$r:=6-$m")
$l:=6-$m
ASSERT($l=2; "$l:=6-$m")
$u24:=6-$m
ASSERT($u24=2; "$u24:=6-$m")
$r:=(6-$m)+1
ASSERT($r=3.0; "$r:=(6-$m)+1")
C_REAL($q)
$q:=4.0
$r:=6-$q
ASSERT($r=2.0; "$r:=6-$q")
$l:=6-$q
ASSERT($l=2; "$l:=6-$q")
$u25:=6-$q
ASSERT($u25=2.0; "$u25:=6-$q")
$r:=(6-$q)+1
ASSERT($r=3.0; "$r:=(6-$q)+1")
$r:=6-$g
ASSERT($r=1.5; "$r:=6-$g")
$u26:=6-$g
ASSERT($u26=1.5; "$u26:=6-$g")
$r:=(6-$g)+1
ASSERT($r=2.5; "$r:=(6-$g)+1")
$m:=4
$r:=$h-$m
ASSERT($r=2.5; "$r:=$h-$m")
$u27:=$h-$m
ASSERT($u27=2.5; "$u27:=$h-$m")
$r:=($h-$m)+1
ASSERT($r=3.5; "$r:=($h-$m)+1")
C_REAL($q)
$q:=4.0
$r:=$h-$q
ASSERT($r=2.5; "$r:=$h-$q")
$u28:=$h-$q
ASSERT($u28=2.5; "$u28:=$h-$q")
$r:=($h-$q)+1
ASSERT($r=3.5; "$r:=($h-$q)+1")
$r:=$h-4
ASSERT($r=2.5; "$r:=$h-4")
$u29:=$h-4
ASSERT($u29=2.5; "$u29:=$h-4")
$r:=($h-4)+1
ASSERT($r=3.5; "$r:=($h-4)+1")
$r:=$h-$g
ASSERT($r=2.0; "$r:=$h-$g")
$l:=$h-$g
ASSERT($l=2; "$l:=$h-$g")
$u30:=$h-$g
ASSERT($u30=2.0; "$u30:=$h-$g")
$r:=($h-$g)+1
ASSERT($r=3.0; "$r:=($h-$g)+1")
$m:=4
$r:=$six*$m
ASSERT($r=24.0; "$r:=$six*$m")
$l:=$six*$m
ASSERT($l=24; "$l:=$six*$m")
$u31:=$six*$m
ASSERT($u31=24; "$u31:=$six*$m")
$r:=($six*$m)+1
ASSERT($r=25.0; "$r:=($six*$m)+1")
C_REAL($q)
$q:=4.0
$r:=$six*$q
ASSERT($r=24.0; "$r:=$six*$q")
$l:=$six*$q
ASSERT($l=24; "$l:=$six*$q")
$u32:=$six*$q
ASSERT($u32=24.0; "$u32:=$six*$q")
$r:=($six*$q)+1
ASSERT($r=25.0; "$r:=($six*$q)+1")
$r:=$six*4
ASSERT($r=24.0; "$r:=$six*4")
$l:=$six*4
ASSERT($l=24; "$l:=$six*4")
$u33:=$six*4
ASSERT($u33=24; "$u33:=$six*4")
$r:=($six*4)+1
ASSERT($r=25.0; "$r:=($six*4)+1")
$r:=$six*$g
ASSERT($r=27.0; "$r:=$six*$g")
$l:=$six*$g
ASSERT($l=27; "$l:=$six*$g")
$u34:=$six*$g
ASSERT($u34=27.0; "$u34:=$six*$g")
$r:=($six*$g)+1
ASSERT($r=28.0; "$r:=($six*$g)+1")
$m:=4
$r:=$sixr*$m
ASSERT($r=24.0; "$r:=$sixr*$m")
$l:=$sixr*$m
ASSERT($l=24; "$l:=$sixr*$m")
$u35:=$sixr*$m
ASSERT($u35=24.0; "$u35:=$sixr*$m")
$r:=($sixr*$m)+1
ASSERT($r=25.0; "$r:=($sixr*$m)+1")
C_REAL($q)
$q:=4.0
$r:=$sixr*$q
ASSERT($r=24.0; "$r:=$sixr*$q")
$l:=$sixr*$q
ASSERT($l=24; "$l:=$sixr*$q")
$u36:=$sixr*$q
ASSERT($u36=24.0; "$u36:=$sixr*$q")
$r:=($sixr*$q)+1
ASSERT($r=25.0; "$r:=($sixr*$q)+1")
$r:=$sixr*4
ASSERT($r=24.0; "$r:=$sixr*4")
$l:=$sixr*4
ASSERT($l=24; "$l:=$sixr*4")
$u37:=$sixr*4
ASSERT($u37=24.0; "$u37:=$sixr*4")
$r:=($sixr*4)+1
ASSERT($r=25.0; "$r:=($sixr*4)+1")
$r:=$sixr*$g
ASSERT($r=27.0; "$r:=$sixr*$g")
$l:=$sixr*$g
ASSERT($l=27; "$l:=$sixr*$g")
$u38:=$sixr*$g
ASSERT($u38=27.0; "$u38:=$sixr*$g")
$r:=($sixr*$g)+1
ASSERT($r=28.0; "$r:=($sixr*$g)+1")
$m:=4
$r:=6*$m
ASSERT($r=24.0; "$r:=6*$m")
$l:=6*$m
ASSERT($l=24; "$l:=6*$m")
$u39:=6*$m
ASSERT($u39=24; "$u39:=6*$m")
$r:=(6*$m)+1
ASSERT($r=25.0; "$r:=(6*$m)+1")
C_REAL($q)
$q:=4.0
$r:=6*$q
ASSERT($r=24.0; "$r:=6*$q")
$l:=6*$q
ASSERT($l=24; "$l:=6*$q")
$u40:=6*$q
ASSERT($u40=24.0; "$u40:=6*$q")
$r:=(6*$q)+1
ASSERT($r=25.0; "$r:=(6*$q)+1")
$r:=6*$g
ASSERT($r=27.0; "$r:=6*$g")
$l:=6*$g
ASSERT($l=27; "$l:=6*$g")
$u41:=6*$g
ASSERT($u41=27.0; "$u41:=6*$g")
$r:=(6*$g)+1
ASSERT($r=28.0; "$r:=(6*$g)+1")
$m:=4
$r:=$h*$m
ASSERT($r=26.0; "$r:=$h*$m")
$l:=$h*$m
ASSERT($l=26; "$l:=$h*$m")
$u42:=$h*$m
ASSERT($u42=26.0; "$u42:=$h*$m")
$r:=($h*$m)+1
ASSERT($r=27.0; "$r:=($h*$m)+1")
C_REAL($q)
$q:=4.0
$r:=$h*$q
ASSERT($r=26.0; "$r:=$h*$q")
$l:=$h*$q
ASSERT($l=26; "$l:=$h*$q")
$u43:=$h*$q
ASSERT($u43=26.0; "$u43:=$h*$q")
$r:=($h*$q)+1
ASSERT($r=27.0; "$r:=($h*$q)+1")
$r:=$h*4
ASSERT($r=26.0; "$r:=$h*4")
$l:=$h*4
ASSERT($l=26; "$l:=$h*4")
$u44:=$h*4
ASSERT($u44=26.0; "$u44:=$h*4")
$r:=($h*4)+1
ASSERT($r=27.0; "$r:=($h*4)+1")
$r:=$h*$g
ASSERT($r=29.25; "$r:=$h*$g")
$u45:=$h*$g
ASSERT($u45=29.25; "$u45:=$h*$g")
$r:=($h*$g)+1
ASSERT($r=30.25; "$r:=($h*$g)+1")
$m:=4
$r:=$six\$m
ASSERT($r=1.0; "$r:=$six div $m")
$l:=$six\$m
ASSERT($l=1; "$l:=$six div $m")
$u46:=$six\$m
ASSERT($u46=1; "$u46:=$six div $m")
$r:=($six\$m)+1
ASSERT($r=2.0; "$r:=($six div $m)+1")
C_REAL($q)
$q:=4.0
$r:=$six\$q
ASSERT($r=1.0; "$r:=$six div $q")
$l:=$six\$q
ASSERT($l=1; "$l:=$six div $q")
$u47:=$six\$q
ASSERT($u47=1; "$u47:=$six div $q")
$r:=($six\$q)+1
ASSERT($r=2.0; "$r:=($six div $q)+1")
$r:=$six\4
ASSERT($r=1.0; "$r:=$six div 4")
$l:=$six\4
ASSERT($l=1; "$l:=$six div 4")
$u48:=$six\4
ASSERT($u48=1; "$u48:=$six div 4")
$r:=($six\4)+1
ASSERT($r=2.0; "$r:=($six div 4)+1")
$m:=4
$r:=$sixr\$m
ASSERT($r=1.0; "$r:=$sixr div $m")
$l:=$sixr\$m
ASSERT($l=1; "$l:=$sixr div $m")
$u49:=$sixr\$m
ASSERT($u49=1; "$u49:=$sixr div $m")
$r:=($sixr\$m)+1
ASSERT($r=2.0; "$r:=($sixr div $m)+1")
C_REAL($q)
$q:=4.0
$r:=$sixr\$q
ASSERT($r=1.0; "$r:=$sixr div $q")
$l:=$sixr\$q
ASSERT($l=1; "$l:=$sixr div $q")
$u50:=$sixr\$q
ASSERT($u50=1; "$u50:=$sixr div $q")
$r:=($sixr\$q)+1
ASSERT($r=2.0; "$r:=($sixr div $q)+1")
$r:=$sixr\4
ASSERT($r=1.0; "$r:=$sixr div 4")
$l:=$sixr\4
ASSERT($l=1; "$l:=$sixr div 4")
$u51:=$sixr\4
ASSERT($u51=1; "$u51:=$sixr div 4")
$r:=($sixr\4)+1
ASSERT($r=2.0; "$r:=($sixr div 4)+1")
$m:=4
$r:=6\$m
ASSERT($r=1.0; "$r:=6 div $m")
$l:=6\$m
ASSERT($l=1; "$l:=6 div $m")
$u52:=6\$m
ASSERT($u52=1; "$u52:=6 div $m")
$r:=(6\$m)+1
ASSERT($r=2.0; "$r:=(6 div $m)+1")
C_REAL($q)
$q:=4.0
$r:=6\$q
ASSERT($r=1.0; "$r:=6 div $q")
$l:=6\$q
ASSERT($l=1; "$l:=6 div $q")
$u53:=6\$q
ASSERT($u53=1; "$u53:=6 div $q")
$r:=(6\$q)+1
ASSERT($r=2.0; "$r:=(6 div $q)+1")
$m:=4
$r:=$six%$m
ASSERT($r=2.0; "$r:=$six%$m")
$l:=$six%$m
ASSERT($l=2; "$l:=$six%$m")
$u54:=$six%$m
ASSERT($u54=2; "$u54:=$six%$m")
$r:=($six%$m)+1
ASSERT($r=3.0; "$r:=($six%$m)+1")
C_REAL($q)
$q:=4.0
$r:=$six%$q
ASSERT($r=2.0; "$r:=$six%$q")
$l:=$six%$q
ASSERT($l=2; "$l:=$six%$q")
$u55:=$six%$q
ASSERT($u55=2; "$u55:=$six%$q")
$r:=($six%$q)+1
ASSERT($r=3.0; "$r:=($six%$q)+1")
$r:=$six%4
ASSERT($r=2.0; "$r:=$six%4")
$l:=$six%4
ASSERT($l=2; "$l:=$six%4")
$u56:=$six%4
ASSERT($u56=2; "$u56:=$six%4")
$r:=($six%4)+1
ASSERT($r=3.0; "$r:=($six%4)+1")
$m:=4
$r:=$sixr%$m
ASSERT($r=2.0; "$r:=$sixr%$m")
$l:=$sixr%$m
ASSERT($l=2; "$l:=$sixr%$m")
$u57:=$sixr%$m
ASSERT($u57=2; "$u57:=$sixr%$m")
$r:=($sixr%$m)+1
ASSERT($r=3.0; "$r:=($sixr%$m)+1")
C_REAL($q)
$q:=4.0
$r:=$sixr%$q
ASSERT($r=2.0; "$r:=$sixr%$q")
$l:=$sixr%$q
ASSERT($l=2; "$l:=$sixr%$q")
$u58:=$sixr%$q
ASSERT($u58=2; "$u58:=$sixr%$q")
$r:=($sixr%$q)+1
ASSERT($r=3.0; "$r:=($sixr%$q)+1")
$r:=$sixr%4
ASSERT($r=2.0; "$r:=$sixr%4")
$l:=$sixr%4
ASSERT($l=2; "$l:=$sixr%4")
$u59:=$sixr%4
ASSERT($u59=2; "$u59:=$sixr%4")
$r:=($sixr%4)+1
ASSERT($r=3.0; "$r:=($sixr%4)+1")
$m:=4
$r:=6%$m
ASSERT($r=2.0; "$r:=6%$m")
$l:=6%$m
ASSERT($l=2; "$l:=6%$m")
$u60:=6%$m
ASSERT($u60=2; "$u60:=6%$m")
$r:=(6%$m)+1
ASSERT($r=3.0; "$r:=(6%$m)+1")
C_REAL($q)
$q:=4.0
$r:=6%$q
ASSERT($r=2.0; "$r:=6%$q")
$l:=6%$q
ASSERT($l=2; "$l:=6%$q")
$u61:=6%$q
ASSERT($u61=2; "$u61:=6%$q")
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
$k:=$six=$g
ASSERT($k=False; "$k:=$six=$g")
If ($six=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six=$g)")
While ($six=$g)
  $n:=2
  break
End while
ASSERT($n=0; "While ($six=$g)")
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
$k:=$sixr=$g
ASSERT($k=False; "$k:=$sixr=$g")
If ($sixr=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr=$g)")
While ($sixr=$g)
  $n:=2
  break
End while
ASSERT($n=0; "While ($sixr=$g)")
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
$k:=6=$g
ASSERT($k=False; "$k:=6=$g")
If (6=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (6=$g)")
While (6=$g)
  $n:=2
  break
End while
ASSERT($n=0; "While (6=$g)")
$m:=4
$k:=$h=$m
ASSERT($k=False; "$k:=$h=$m")
If ($h=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h=$m)")
While ($h=$m)
  $n:=2
  break
End while
ASSERT($n=0; "While ($h=$m)")
C_REAL($q)
$q:=4.0
$k:=$h=$q
ASSERT($k=False; "$k:=$h=$q")
If ($h=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h=$q)")
While ($h=$q)
  $n:=2
  break
End while
ASSERT($n=0; "While ($h=$q)")
$k:=$h=4
ASSERT($k=False; "$k:=$h=4")
If ($h=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h=4)")
While ($h=4)
  $n:=2
  break
End while
ASSERT($n=0; "While ($h=4)")
$k:=$h=$g
ASSERT($k=False; "$k:=$h=$g")
If ($h=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h=$g)")
While ($h=$g)
  $n:=2
  break
End while
ASSERT($n=0; "While ($h=$g)")
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
$k:=$six#$g
ASSERT($k=True; "$k:=$six#$g")
If ($six#$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six#$g)")
While ($six#$g)
  $n:=2
  break
End while
ASSERT($n=2; "While ($six#$g)")
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
$k:=$sixr#$g
ASSERT($k=True; "$k:=$sixr#$g")
If ($sixr#$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr#$g)")
While ($sixr#$g)
  $n:=2
  break
End while
ASSERT($n=2; "While ($sixr#$g)")
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
$k:=6#$g
ASSERT($k=True; "$k:=6#$g")
If (6#$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (6#$g)")
While (6#$g)
  $n:=2
  break
End while
ASSERT($n=2; "While (6#$g)")
$m:=4
$k:=$h#$m
ASSERT($k=True; "$k:=$h#$m")
If ($h#$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h#$m)")
While ($h#$m)
  $n:=2
  break
End while
ASSERT($n=2; "While ($h#$m)")
C_REAL($q)
$q:=4.0
$k:=$h#$q
ASSERT($k=True; "$k:=$h#$q")
If ($h#$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h#$q)")
While ($h#$q)
  $n:=2
  break
End while
ASSERT($n=2; "While ($h#$q)")
$k:=$h#4
ASSERT($k=True; "$k:=$h#4")
If ($h#4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h#4)")
While ($h#4)
  $n:=2
  break
End while
ASSERT($n=2; "While ($h#4)")
$k:=$h#$g
ASSERT($k=True; "$k:=$h#$g")
If ($h#$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h#$g)")
While ($h#$g)
  $n:=2
  break
End while
ASSERT($n=2; "While ($h#$g)")
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
$k:=$six<$g
ASSERT($k=False; "$k:=$six<$g")
If ($six<$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six<$g)")
While ($six<$g)
  $n:=2
  break
End while
ASSERT($n=0; "While ($six<$g)")
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
$k:=$sixr<$g
ASSERT($k=False; "$k:=$sixr<$g")
If ($sixr<$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr<$g)")
While ($sixr<$g)
  $n:=2
  break
End while
ASSERT($n=0; "While ($sixr<$g)")
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
$k:=6<$g
ASSERT($k=False; "$k:=6<$g")
If (6<$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (6<$g)")
While (6<$g)
  $n:=2
  break
End while
ASSERT($n=0; "While (6<$g)")
$m:=4
$k:=$h<$m
ASSERT($k=False; "$k:=$h<$m")
If ($h<$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h<$m)")
While ($h<$m)
  $n:=2
  break
End while
ASSERT($n=0; "While ($h<$m)")
C_REAL($q)
$q:=4.0
$k:=$h<$q
ASSERT($k=False; "$k:=$h<$q")
If ($h<$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h<$q)")
While ($h<$q)
  $n:=2
  break
End while
ASSERT($n=0; "While ($h<$q)")
$k:=$h<4
ASSERT($k=False; "$k:=$h<4")
If ($h<4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h<4)")
While ($h<4)
  $n:=2
  break
End while
ASSERT($n=0; "While ($h<4)")
$k:=$h<$g
ASSERT($k=False; "$k:=$h<$g")
If ($h<$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h<$g)")
While ($h<$g)
  $n:=2
  break
End while
ASSERT($n=0; "While ($h<$g)")
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
$k:=$six>$g
ASSERT($k=True; "$k:=$six>$g")
If ($six>$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six>$g)")
While ($six>$g)
  $n:=2
  break
End while
ASSERT($n=2; "While ($six>$g)")
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
$k:=$sixr>$g
ASSERT($k=True; "$k:=$sixr>$g")
If ($sixr>$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr>$g)")
While ($sixr>$g)
  $n:=2
  break
End while
ASSERT($n=2; "While ($sixr>$g)")
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
$k:=6>$g
ASSERT($k=True; "$k:=6>$g")
If (6>$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (6>$g)")
While (6>$g)
  $n:=2
  break
End while
ASSERT($n=2; "While (6>$g)")
$m:=4
$k:=$h>$m
ASSERT($k=True; "$k:=$h>$m")
If ($h>$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h>$m)")
While ($h>$m)
  $n:=2
  break
End while
ASSERT($n=2; "While ($h>$m)")
C_REAL($q)
$q:=4.0
$k:=$h>$q
ASSERT($k=True; "$k:=$h>$q")
If ($h>$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h>$q)")
While ($h>$q)
  $n:=2
  break
End while
ASSERT($n=2; "While ($h>$q)")
$k:=$h>4
ASSERT($k=True; "$k:=$h>4")
If ($h>4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h>4)")
While ($h>4)
  $n:=2
  break
End while
ASSERT($n=2; "While ($h>4)")
$k:=$h>$g
ASSERT($k=True; "$k:=$h>$g")
If ($h>$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h>$g)")
While ($h>$g)
  $n:=2
  break
End while
ASSERT($n=2; "While ($h>$g)")
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
$k:=$six<=$g
ASSERT($k=False; "$k:=$six<=$g")
If ($six<=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six<=$g)")
While ($six<=$g)
  $n:=2
  break
End while
ASSERT($n=0; "While ($six<=$g)")
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
$k:=$sixr<=$g
ASSERT($k=False; "$k:=$sixr<=$g")
If ($sixr<=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr<=$g)")
While ($sixr<=$g)
  $n:=2
  break
End while
ASSERT($n=0; "While ($sixr<=$g)")
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
$k:=6<=$g
ASSERT($k=False; "$k:=6<=$g")
If (6<=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (6<=$g)")
While (6<=$g)
  $n:=2
  break
End while
ASSERT($n=0; "While (6<=$g)")
$m:=4
$k:=$h<=$m
ASSERT($k=False; "$k:=$h<=$m")
If ($h<=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h<=$m)")
While ($h<=$m)
  $n:=2
  break
End while
ASSERT($n=0; "While ($h<=$m)")
C_REAL($q)
$q:=4.0
$k:=$h<=$q
ASSERT($k=False; "$k:=$h<=$q")
If ($h<=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h<=$q)")
While ($h<=$q)
  $n:=2
  break
End while
ASSERT($n=0; "While ($h<=$q)")
$k:=$h<=4
ASSERT($k=False; "$k:=$h<=4")
If ($h<=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h<=4)")
While ($h<=4)
  $n:=2
  break
End while
ASSERT($n=0; "While ($h<=4)")
$k:=$h<=$g
ASSERT($k=False; "$k:=$h<=$g")
If ($h<=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h<=$g)")
While ($h<=$g)
  $n:=2
  break
End while
ASSERT($n=0; "While ($h<=$g)")
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
$k:=$six>=$g
ASSERT($k=True; "$k:=$six>=$g")
If ($six>=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six>=$g)")
While ($six>=$g)
  $n:=2
  break
End while
ASSERT($n=2; "While ($six>=$g)")
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
$k:=$sixr>=$g
ASSERT($k=True; "$k:=$sixr>=$g")
If ($sixr>=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr>=$g)")
While ($sixr>=$g)
  $n:=2
  break
End while
ASSERT($n=2; "While ($sixr>=$g)")
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
$k:=6>=$g
ASSERT($k=True; "$k:=6>=$g")
If (6>=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (6>=$g)")
While (6>=$g)
  $n:=2
  break
End while
ASSERT($n=2; "While (6>=$g)")
$m:=4
$k:=$h>=$m
ASSERT($k=True; "$k:=$h>=$m")
If ($h>=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h>=$m)")
While ($h>=$m)
  $n:=2
  break
End while
ASSERT($n=2; "While ($h>=$m)")
C_REAL($q)
$q:=4.0
$k:=$h>=$q
ASSERT($k=True; "$k:=$h>=$q")
If ($h>=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h>=$q)")
While ($h>=$q)
  $n:=2
  break
End while
ASSERT($n=2; "While ($h>=$q)")
$k:=$h>=4
ASSERT($k=True; "$k:=$h>=4")
If ($h>=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h>=4)")
While ($h>=4)
  $n:=2
  break
End while
ASSERT($n=2; "While ($h>=4)")
$k:=$h>=$g
ASSERT($k=True; "$k:=$h>=$g")
If ($h>=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h>=$g)")
While ($h>=$g)
  $n:=2
  break
End while
ASSERT($n=2; "While ($h>=$g)")
SET REAL COMPARISON LEVEL(2)
$m:=4
$k:=$six=$m
ASSERT($k=False; "$k:=$six=$m")
If ($six=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six=$m) within 2")
$k:=$six#$m
ASSERT($k=True; "$k:=$six#$m")
If ($six#$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six#$m) within 2")
$k:=$six=$q
ASSERT($k=True; "$k:=$six=$q")
If ($six=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six=$q) within 2")
$k:=$six#$q
ASSERT($k=False; "$k:=$six#$q")
If ($six#$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six#$q) within 2")
$k:=$six=4
ASSERT($k=True; "$k:=$six=4")
If ($six=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six=4) within 2")
$k:=$six#4
ASSERT($k=False; "$k:=$six#4")
If ($six#4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six#4) within 2")
$k:=$six=$g
ASSERT($k=True; "$k:=$six=$g")
If ($six=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($six=$g) within 2")
$k:=$six#$g
ASSERT($k=False; "$k:=$six#$g")
If ($six#$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($six#$g) within 2")
$m:=4
$k:=$sixr=$m
ASSERT($k=True; "$k:=$sixr=$m")
If ($sixr=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr=$m) within 2")
$k:=$sixr#$m
ASSERT($k=False; "$k:=$sixr#$m")
If ($sixr#$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr#$m) within 2")
$k:=$sixr=$q
ASSERT($k=True; "$k:=$sixr=$q")
If ($sixr=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr=$q) within 2")
$k:=$sixr#$q
ASSERT($k=False; "$k:=$sixr#$q")
If ($sixr#$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr#$q) within 2")
$k:=$sixr=4
ASSERT($k=True; "$k:=$sixr=4")
If ($sixr=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr=4) within 2")
$k:=$sixr#4
ASSERT($k=False; "$k:=$sixr#4")
If ($sixr#4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr#4) within 2")
$k:=$sixr=$g
ASSERT($k=True; "$k:=$sixr=$g")
If ($sixr=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($sixr=$g) within 2")
$k:=$sixr#$g
ASSERT($k=False; "$k:=$sixr#$g")
If ($sixr#$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($sixr#$g) within 2")
$m:=4
$k:=6=$m
ASSERT($k=True; "$k:=6=$m")
If (6=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (6=$m) within 2")
$k:=6#$m
ASSERT($k=False; "$k:=6#$m")
If (6#$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (6#$m) within 2")
$k:=6=$q
ASSERT($k=True; "$k:=6=$q")
If (6=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (6=$q) within 2")
$k:=6#$q
ASSERT($k=False; "$k:=6#$q")
If (6#$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (6#$q) within 2")
$k:=6=$g
ASSERT($k=True; "$k:=6=$g")
If (6=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If (6=$g) within 2")
$k:=6#$g
ASSERT($k=False; "$k:=6#$g")
If (6#$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If (6#$g) within 2")
$m:=4
$k:=$h=$m
ASSERT($k=False; "$k:=$h=$m")
If ($h=$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h=$m) within 2")
$k:=$h#$m
ASSERT($k=True; "$k:=$h#$m")
If ($h#$m)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h#$m) within 2")
$k:=$h=$q
ASSERT($k=False; "$k:=$h=$q")
If ($h=$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h=$q) within 2")
$k:=$h#$q
ASSERT($k=True; "$k:=$h#$q")
If ($h#$q)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h#$q) within 2")
$k:=$h=4
ASSERT($k=False; "$k:=$h=4")
If ($h=4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h=4) within 2")
$k:=$h#4
ASSERT($k=True; "$k:=$h#4")
If ($h#4)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h#4) within 2")
$k:=$h=$g
ASSERT($k=True; "$k:=$h=$g")
If ($h=$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=1; "If ($h=$g) within 2")
$k:=$h#$g
ASSERT($k=False; "$k:=$h#$g")
If ($h#$g)
  $n:=1
Else
  $n:=0
End if
ASSERT($n=0; "If ($h#$g) within 2")
SET REAL COMPARISON LEVEL(0.00001)
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
