var $o; $p : Object
var $c : Collection
var $n : Integer:=0
var $x; $k : Variant
$o:={name: "x"; "two words": 2; list: [1; 2; {deep: True}]}
$o.a.b.c:=$o.list[2].deep ? "yes" : "no"
$o["k"]:=Null
$c:=[3; 1; 2]
$c.push(4).push(5)
$c[7]:=$o.missing=Null
For each ($x; $c; 1; -1) While ($n<100)
  If ($x=Null)
    continue
  End if
  $n+=(Value type($x)=1) ? $x : 1
End for each Until ($n>50)
For each ($k; $o)
  $p:=$p || {}
  $p[$k]:=$o[$k]
End for each
ECHO(JSON Stringify($o)+String($c.length)+$c.join(",")+String($n && "ok"))
