//%attributes = {"invisible":true,"lang":"en"}
C_LONGINT:C283($0;$n)
C_TEXT:C284($1;$t)
$n:=Length:C16($1)
If ($n>0) & (Type:C295($t)=Is text:K8:3)
	$t:=Substring:C12($1;1;Size of array:C274($a))
End if 
[Customers:1]Name:2:="x"
[Customer Orders:3]Order Date:5:=Current date:C33
QUERY:C277([Customers];[Customers]City="Paris";*)
$p:=->[Customers:1]Name:2
4D_ALERT("done")
Util 2($t)
PLUGIN CALL:P1234:5($t)
$x:=Longueur:C16("abc")
