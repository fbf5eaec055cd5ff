$s:=String(-1234.5;"$*,**0.00;($^,^^0.00)")+String(759.62;"&3")+String(255;"&$")+String(25000;"&/5")+String(0.29;"###.##")
$ok:=Match regex("(\\w+)@(\\w+)";"mail me@host now";1;$pos;$len)
$k:="Alpha,Bravo"%"brav@"
CONVERT FROM TEXT("été€";"windows-1252";$b)
$t:=Convert to text($b;2252)+Uppercase("hélène")+String(Position("where";"somewhere where";1;$l;32))
BASE64 ENCODE($t;$e;*)
$d:=Generate digest($e;SHA256 digest)+String(!12/25/92!;ISO date GMT;?10:00:00?)
