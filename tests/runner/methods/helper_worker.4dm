C_TEXT($1)
C_LONGINT($2;$i)
For ($i;1;$2)
  <>log:=<>log+$1+String($i)
  IDLE
End for
<>done:=<>done+1
