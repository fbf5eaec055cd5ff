C_TEXT($0;$1;$2;$3)
$0:=$1
If (Count parameters>=2)
  $0:=$0+"-"+$2
End if
If (Count parameters>=3)
  $0:=$0+"-"+$3
End if
