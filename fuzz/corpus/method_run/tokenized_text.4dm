//%attributes = {"lang":"en"}
C_TEXT:C284($0;$1)
C_LONGINT:C283($i;$n)
C_TEXT:C284(m1;${2})
ARRAY TEXT:C222($a;0)
$n:=Length:C16($1)
For ($i;1;$n)
	If ($1[[$i]]=Char:C90(Carriage return:K15:38))
		APPEND TO ARRAY:C911($a;Substring:C12($1;1;$i-1))
	End if 
End for 
$0:=String:C10(Size of array:C274($a);"###0")+Uppercase:C13($1;*)
//$t:="a"\
	+"b"
$n:=Position:C15("b";$1;1;$i;*);
