C_LONGINT($1;$0)
If ($1<=1)
  $0:=1
Else
  $0:=$1*helper_fact($1-1)
End if
