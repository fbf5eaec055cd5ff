// The position of the first character where two texts differ, case counted; 0 when
// they are the same. (= on texts ignores case, so it cannot tell.)
C_TEXT($1;$2)
C_LONGINT($0;$i;$n)
$n:=Length($1)
If (Length($2)<$n)
  $n:=Length($2)
End if
$0:=0
For ($i;1;$n)
  If (Character code(Substring($1;$i;1))#Character code(Substring($2;$i;1)))
    $0:=$i
    $i:=$n+1
  End if
End for
If (($0=0) & (Length($1)#Length($2)))
  $0:=$n+1
End if
