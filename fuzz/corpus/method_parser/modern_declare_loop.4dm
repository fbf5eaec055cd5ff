#DECLARE($n : Integer) -> $out : Object
var $i : Integer
var $t : Text:=""
$out:={}
/* a block
comment */ $i:=($n#0) ? $n : 5 // end
While ($i>0)
	$i-=1
	$t+=String($i)+\
		","
	$out[String($i)]:=($i%2=0) || Null
End while
$out.t:=$t && Substring($t; 2)
$out.k:=OB Keys($out).length
OB REMOVE($out; "1")
ECHO(JSON Stringify(OB Copy($out))+String(OB Is defined($out; "1")))