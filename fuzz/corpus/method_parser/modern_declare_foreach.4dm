#DECLARE($c : Collection; $sep : Text) -> $r : Text
var $o : Object:={a: 1; b: [1; 2; {c: "x"}]}
var $x; $y : Variant
For each ($x; $c) Until ($r="stop")
	$r+=String($x)+($sep || ",")
	If ($x=Null)
		continue
	End if 
End for each 
$o.b[2].c:=$o.b.length>1 ? "y" : "z"
$y:=$o.missing
return $r+JSON Stringify($o)+String($c.equal([1; 2]))
