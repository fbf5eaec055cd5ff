C_DATE:C307($d)
$d:=Add to date:C393(!2024-01-31!;0;1;0)
$t:=?12:30:00?+60
QUERY:C277([Customers:1];[Customers:1]City:3;=;"Paris";*)
QUERY SELECTION:C341([T:2]; & ;[T:2]Age:4;>=;21)
C_STRING:C293(m0;10;$s)
Case of 
	: (Day number:C114($d)=Sunday:K10:19)
		$r:=Choose:C955(Is text:K8:3=2;"a";"b")
	Else 
		$r:=Num:C11("12,5";",")
End case 
