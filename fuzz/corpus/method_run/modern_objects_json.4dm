var $o : Object:=New object("a"; New object("b"; New collection(1; "x"; Null)))
var $e : Object
For each ($e; OB Entries($o))
	ECHO($e.key+":"+JSON Stringify($e.value))
End for each
$o.a.b[5]:="z"
$f:=Formula from string("$1.length*2")
ECHO(String($f.call(Null; $o.a.b))+String(Split string("a, b,,c"; ","; sk trim spaces+sk ignore empty strings).length))
$j:=JSON Parse("{\"d\":\"2020-01-02\",\"n\":1.5e3,\"t\":\"日本\"}")
ECHO(String($j.n)+$j.t+String(Length($j.t)))