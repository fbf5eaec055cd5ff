var $c : Collection:=[{n: "b"; v: 2}; {n: "a"; v: 1}; {n: "c"; v: Null}]
var $r : Collection
$r:=$c.query("v > :1 or n = :2"; 1; "c").orderBy("n desc")
ECHO(JSON Stringify($r; *))
ECHO($c.extract("n").join("|")+String($c.sum("v"))+String($c.max("v")))
ECHO(String($c.findIndex(Formula($1.value.n="a")))+$c.distinct("n").flat().join(","))
$c.insert(1; [1; [2; 3]]).remove(0; 1)
ECHO(JSON Stringify($c.flatMap(Formula($1.value)).slice(-3).reverse()))