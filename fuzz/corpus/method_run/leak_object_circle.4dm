var $o : Object:={a: 1; b: [1; 2; {c: "x"}]}
$o.b[2].c:=$o
$c:=[]
$c.push($c)