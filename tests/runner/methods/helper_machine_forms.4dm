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
$u62:=$six=$m
ASSERT($u62=False; "$u62:=$six=$m")
$k:=($six=$m) & True
ASSERT($k=False; "$k:=($six=$m) & True")
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
$u63:=$six=$q
ASSERT($u63=False; "$u63:=$six=$q")
$k:=($six=$q) & True
ASSERT($k=False; "$k:=($six=$q) & True")
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
$u64:=$six=4
ASSERT($u64=False; "$u64:=$six=4")
$k:=($six=4) & True
ASSERT($k=False; "$k:=($six=4) & True")
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
$u65:=$six=$g
ASSERT($u65=False; "$u65:=$six=$g")
$k:=($six=$g) & True
ASSERT($k=False; "$k:=($six=$g) & True")
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
$u66:=$sixr=$m
ASSERT($u66=False; "$u66:=$sixr=$m")
$k:=($sixr=$m) & True
ASSERT($k=False; "$k:=($sixr=$m) & True")
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
$u67:=$sixr=$q
ASSERT($u67=False; "$u67:=$sixr=$q")
$k:=($sixr=$q) & True
ASSERT($k=False; "$k:=($sixr=$q) & True")
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
$u68:=$sixr=4
ASSERT($u68=False; "$u68:=$sixr=4")
$k:=($sixr=4) & True
ASSERT($k=False; "$k:=($sixr=4) & True")
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
$u69:=$sixr=$g
ASSERT($u69=False; "$u69:=$sixr=$g")
$k:=($sixr=$g) & True
ASSERT($k=False; "$k:=($sixr=$g) & True")
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
$u70:=6=$m
ASSERT($u70=False; "$u70:=6=$m")
$k:=(6=$m) & True
ASSERT($k=False; "$k:=(6=$m) & True")
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
$u71:=6=$q
ASSERT($u71=False; "$u71:=6=$q")
$k:=(6=$q) & True
ASSERT($k=False; "$k:=(6=$q) & True")
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
$u72:=6=$g
ASSERT($u72=False; "$u72:=6=$g")
$k:=(6=$g) & True
ASSERT($k=False; "$k:=(6=$g) & True")
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
$u73:=$h=$m
ASSERT($u73=False; "$u73:=$h=$m")
$k:=($h=$m) & True
ASSERT($k=False; "$k:=($h=$m) & True")
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
$u74:=$h=$q
ASSERT($u74=False; "$u74:=$h=$q")
$k:=($h=$q) & True
ASSERT($k=False; "$k:=($h=$q) & True")
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
$u75:=$h=4
ASSERT($u75=False; "$u75:=$h=4")
$k:=($h=4) & True
ASSERT($k=False; "$k:=($h=4) & True")
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
$u76:=$h=$g
ASSERT($u76=False; "$u76:=$h=$g")
$k:=($h=$g) & True
ASSERT($k=False; "$k:=($h=$g) & True")
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
$u77:=$six#$m
ASSERT($u77=True; "$u77:=$six#$m")
$k:=($six#$m) & True
ASSERT($k=True; "$k:=($six#$m) & True")
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
$u78:=$six#$q
ASSERT($u78=True; "$u78:=$six#$q")
$k:=($six#$q) & True
ASSERT($k=True; "$k:=($six#$q) & True")
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
$u79:=$six#4
ASSERT($u79=True; "$u79:=$six#4")
$k:=($six#4) & True
ASSERT($k=True; "$k:=($six#4) & True")
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
$u80:=$six#$g
ASSERT($u80=True; "$u80:=$six#$g")
$k:=($six#$g) & True
ASSERT($k=True; "$k:=($six#$g) & True")
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
$u81:=$sixr#$m
ASSERT($u81=True; "$u81:=$sixr#$m")
$k:=($sixr#$m) & True
ASSERT($k=True; "$k:=($sixr#$m) & True")
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
$u82:=$sixr#$q
ASSERT($u82=True; "$u82:=$sixr#$q")
$k:=($sixr#$q) & True
ASSERT($k=True; "$k:=($sixr#$q) & True")
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
$u83:=$sixr#4
ASSERT($u83=True; "$u83:=$sixr#4")
$k:=($sixr#4) & True
ASSERT($k=True; "$k:=($sixr#4) & True")
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
$u84:=$sixr#$g
ASSERT($u84=True; "$u84:=$sixr#$g")
$k:=($sixr#$g) & True
ASSERT($k=True; "$k:=($sixr#$g) & True")
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
$u85:=6#$m
ASSERT($u85=True; "$u85:=6#$m")
$k:=(6#$m) & True
ASSERT($k=True; "$k:=(6#$m) & True")
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
$u86:=6#$q
ASSERT($u86=True; "$u86:=6#$q")
$k:=(6#$q) & True
ASSERT($k=True; "$k:=(6#$q) & True")
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
$u87:=6#$g
ASSERT($u87=True; "$u87:=6#$g")
$k:=(6#$g) & True
ASSERT($k=True; "$k:=(6#$g) & True")
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
$u88:=$h#$m
ASSERT($u88=True; "$u88:=$h#$m")
$k:=($h#$m) & True
ASSERT($k=True; "$k:=($h#$m) & True")
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
$u89:=$h#$q
ASSERT($u89=True; "$u89:=$h#$q")
$k:=($h#$q) & True
ASSERT($k=True; "$k:=($h#$q) & True")
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
$u90:=$h#4
ASSERT($u90=True; "$u90:=$h#4")
$k:=($h#4) & True
ASSERT($k=True; "$k:=($h#4) & True")
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
$u91:=$h#$g
ASSERT($u91=True; "$u91:=$h#$g")
$k:=($h#$g) & True
ASSERT($k=True; "$k:=($h#$g) & True")
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
$u92:=$six<$m
ASSERT($u92=False; "$u92:=$six<$m")
$k:=($six<$m) & True
ASSERT($k=False; "$k:=($six<$m) & True")
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
$u93:=$six<$q
ASSERT($u93=False; "$u93:=$six<$q")
$k:=($six<$q) & True
ASSERT($k=False; "$k:=($six<$q) & True")
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
$u94:=$six<4
ASSERT($u94=False; "$u94:=$six<4")
$k:=($six<4) & True
ASSERT($k=False; "$k:=($six<4) & True")
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
$u95:=$six<$g
ASSERT($u95=False; "$u95:=$six<$g")
$k:=($six<$g) & True
ASSERT($k=False; "$k:=($six<$g) & True")
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
$u96:=$sixr<$m
ASSERT($u96=False; "$u96:=$sixr<$m")
$k:=($sixr<$m) & True
ASSERT($k=False; "$k:=($sixr<$m) & True")
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
$u97:=$sixr<$q
ASSERT($u97=False; "$u97:=$sixr<$q")
$k:=($sixr<$q) & True
ASSERT($k=False; "$k:=($sixr<$q) & True")
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
$u98:=$sixr<4
ASSERT($u98=False; "$u98:=$sixr<4")
$k:=($sixr<4) & True
ASSERT($k=False; "$k:=($sixr<4) & True")
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
$u99:=$sixr<$g
ASSERT($u99=False; "$u99:=$sixr<$g")
$k:=($sixr<$g) & True
ASSERT($k=False; "$k:=($sixr<$g) & True")
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
$u100:=6<$m
ASSERT($u100=False; "$u100:=6<$m")
$k:=(6<$m) & True
ASSERT($k=False; "$k:=(6<$m) & True")
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
$u101:=6<$q
ASSERT($u101=False; "$u101:=6<$q")
$k:=(6<$q) & True
ASSERT($k=False; "$k:=(6<$q) & True")
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
$u102:=6<$g
ASSERT($u102=False; "$u102:=6<$g")
$k:=(6<$g) & True
ASSERT($k=False; "$k:=(6<$g) & True")
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
$u103:=$h<$m
ASSERT($u103=False; "$u103:=$h<$m")
$k:=($h<$m) & True
ASSERT($k=False; "$k:=($h<$m) & True")
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
$u104:=$h<$q
ASSERT($u104=False; "$u104:=$h<$q")
$k:=($h<$q) & True
ASSERT($k=False; "$k:=($h<$q) & True")
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
$u105:=$h<4
ASSERT($u105=False; "$u105:=$h<4")
$k:=($h<4) & True
ASSERT($k=False; "$k:=($h<4) & True")
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
$u106:=$h<$g
ASSERT($u106=False; "$u106:=$h<$g")
$k:=($h<$g) & True
ASSERT($k=False; "$k:=($h<$g) & True")
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
$u107:=$six>$m
ASSERT($u107=True; "$u107:=$six>$m")
$k:=($six>$m) & True
ASSERT($k=True; "$k:=($six>$m) & True")
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
$u108:=$six>$q
ASSERT($u108=True; "$u108:=$six>$q")
$k:=($six>$q) & True
ASSERT($k=True; "$k:=($six>$q) & True")
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
$u109:=$six>4
ASSERT($u109=True; "$u109:=$six>4")
$k:=($six>4) & True
ASSERT($k=True; "$k:=($six>4) & True")
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
$u110:=$six>$g
ASSERT($u110=True; "$u110:=$six>$g")
$k:=($six>$g) & True
ASSERT($k=True; "$k:=($six>$g) & True")
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
$u111:=$sixr>$m
ASSERT($u111=True; "$u111:=$sixr>$m")
$k:=($sixr>$m) & True
ASSERT($k=True; "$k:=($sixr>$m) & True")
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
$u112:=$sixr>$q
ASSERT($u112=True; "$u112:=$sixr>$q")
$k:=($sixr>$q) & True
ASSERT($k=True; "$k:=($sixr>$q) & True")
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
$u113:=$sixr>4
ASSERT($u113=True; "$u113:=$sixr>4")
$k:=($sixr>4) & True
ASSERT($k=True; "$k:=($sixr>4) & True")
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
$u114:=$sixr>$g
ASSERT($u114=True; "$u114:=$sixr>$g")
$k:=($sixr>$g) & True
ASSERT($k=True; "$k:=($sixr>$g) & True")
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
$u115:=6>$m
ASSERT($u115=True; "$u115:=6>$m")
$k:=(6>$m) & True
ASSERT($k=True; "$k:=(6>$m) & True")
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
$u116:=6>$q
ASSERT($u116=True; "$u116:=6>$q")
$k:=(6>$q) & True
ASSERT($k=True; "$k:=(6>$q) & True")
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
$u117:=6>$g
ASSERT($u117=True; "$u117:=6>$g")
$k:=(6>$g) & True
ASSERT($k=True; "$k:=(6>$g) & True")
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
$u118:=$h>$m
ASSERT($u118=True; "$u118:=$h>$m")
$k:=($h>$m) & True
ASSERT($k=True; "$k:=($h>$m) & True")
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
$u119:=$h>$q
ASSERT($u119=True; "$u119:=$h>$q")
$k:=($h>$q) & True
ASSERT($k=True; "$k:=($h>$q) & True")
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
$u120:=$h>4
ASSERT($u120=True; "$u120:=$h>4")
$k:=($h>4) & True
ASSERT($k=True; "$k:=($h>4) & True")
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
$u121:=$h>$g
ASSERT($u121=True; "$u121:=$h>$g")
$k:=($h>$g) & True
ASSERT($k=True; "$k:=($h>$g) & True")
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
$u122:=$six<=$m
ASSERT($u122=False; "$u122:=$six<=$m")
$k:=($six<=$m) & True
ASSERT($k=False; "$k:=($six<=$m) & True")
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
$u123:=$six<=$q
ASSERT($u123=False; "$u123:=$six<=$q")
$k:=($six<=$q) & True
ASSERT($k=False; "$k:=($six<=$q) & True")
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
$u124:=$six<=4
ASSERT($u124=False; "$u124:=$six<=4")
$k:=($six<=4) & True
ASSERT($k=False; "$k:=($six<=4) & True")
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
$u125:=$six<=$g
ASSERT($u125=False; "$u125:=$six<=$g")
$k:=($six<=$g) & True
ASSERT($k=False; "$k:=($six<=$g) & True")
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
$u126:=$sixr<=$m
ASSERT($u126=False; "$u126:=$sixr<=$m")
$k:=($sixr<=$m) & True
ASSERT($k=False; "$k:=($sixr<=$m) & True")
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
$u127:=$sixr<=$q
ASSERT($u127=False; "$u127:=$sixr<=$q")
$k:=($sixr<=$q) & True
ASSERT($k=False; "$k:=($sixr<=$q) & True")
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
$u128:=$sixr<=4
ASSERT($u128=False; "$u128:=$sixr<=4")
$k:=($sixr<=4) & True
ASSERT($k=False; "$k:=($sixr<=4) & True")
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
$u129:=$sixr<=$g
ASSERT($u129=False; "$u129:=$sixr<=$g")
$k:=($sixr<=$g) & True
ASSERT($k=False; "$k:=($sixr<=$g) & True")
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
$u130:=6<=$m
ASSERT($u130=False; "$u130:=6<=$m")
$k:=(6<=$m) & True
ASSERT($k=False; "$k:=(6<=$m) & True")
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
$u131:=6<=$q
ASSERT($u131=False; "$u131:=6<=$q")
$k:=(6<=$q) & True
ASSERT($k=False; "$k:=(6<=$q) & True")
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
$u132:=6<=$g
ASSERT($u132=False; "$u132:=6<=$g")
$k:=(6<=$g) & True
ASSERT($k=False; "$k:=(6<=$g) & True")
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
$u133:=$h<=$m
ASSERT($u133=False; "$u133:=$h<=$m")
$k:=($h<=$m) & True
ASSERT($k=False; "$k:=($h<=$m) & True")
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
$u134:=$h<=$q
ASSERT($u134=False; "$u134:=$h<=$q")
$k:=($h<=$q) & True
ASSERT($k=False; "$k:=($h<=$q) & True")
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
$u135:=$h<=4
ASSERT($u135=False; "$u135:=$h<=4")
$k:=($h<=4) & True
ASSERT($k=False; "$k:=($h<=4) & True")
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
$u136:=$h<=$g
ASSERT($u136=False; "$u136:=$h<=$g")
$k:=($h<=$g) & True
ASSERT($k=False; "$k:=($h<=$g) & True")
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
$u137:=$six>=$m
ASSERT($u137=True; "$u137:=$six>=$m")
$k:=($six>=$m) & True
ASSERT($k=True; "$k:=($six>=$m) & True")
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
$u138:=$six>=$q
ASSERT($u138=True; "$u138:=$six>=$q")
$k:=($six>=$q) & True
ASSERT($k=True; "$k:=($six>=$q) & True")
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
$u139:=$six>=4
ASSERT($u139=True; "$u139:=$six>=4")
$k:=($six>=4) & True
ASSERT($k=True; "$k:=($six>=4) & True")
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
$u140:=$six>=$g
ASSERT($u140=True; "$u140:=$six>=$g")
$k:=($six>=$g) & True
ASSERT($k=True; "$k:=($six>=$g) & True")
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
$u141:=$sixr>=$m
ASSERT($u141=True; "$u141:=$sixr>=$m")
$k:=($sixr>=$m) & True
ASSERT($k=True; "$k:=($sixr>=$m) & True")
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
$u142:=$sixr>=$q
ASSERT($u142=True; "$u142:=$sixr>=$q")
$k:=($sixr>=$q) & True
ASSERT($k=True; "$k:=($sixr>=$q) & True")
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
$u143:=$sixr>=4
ASSERT($u143=True; "$u143:=$sixr>=4")
$k:=($sixr>=4) & True
ASSERT($k=True; "$k:=($sixr>=4) & True")
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
$u144:=$sixr>=$g
ASSERT($u144=True; "$u144:=$sixr>=$g")
$k:=($sixr>=$g) & True
ASSERT($k=True; "$k:=($sixr>=$g) & True")
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
$u145:=6>=$m
ASSERT($u145=True; "$u145:=6>=$m")
$k:=(6>=$m) & True
ASSERT($k=True; "$k:=(6>=$m) & True")
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
$u146:=6>=$q
ASSERT($u146=True; "$u146:=6>=$q")
$k:=(6>=$q) & True
ASSERT($k=True; "$k:=(6>=$q) & True")
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
$u147:=6>=$g
ASSERT($u147=True; "$u147:=6>=$g")
$k:=(6>=$g) & True
ASSERT($k=True; "$k:=(6>=$g) & True")
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
$u148:=$h>=$m
ASSERT($u148=True; "$u148:=$h>=$m")
$k:=($h>=$m) & True
ASSERT($k=True; "$k:=($h>=$m) & True")
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
$u149:=$h>=$q
ASSERT($u149=True; "$u149:=$h>=$q")
$k:=($h>=$q) & True
ASSERT($k=True; "$k:=($h>=$q) & True")
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
$u150:=$h>=4
ASSERT($u150=True; "$u150:=$h>=4")
$k:=($h>=4) & True
ASSERT($k=True; "$k:=($h>=4) & True")
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
$u151:=$h>=$g
ASSERT($u151=True; "$u151:=$h>=$g")
$k:=($h>=$g) & True
ASSERT($k=True; "$k:=($h>=$g) & True")
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
