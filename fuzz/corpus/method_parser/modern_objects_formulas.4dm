var $s : Object
$s:=New shared object("n"; 0)
Use ($s)
	$s.n+=1
End use 
$f:=Formula($1*2)
$c:=New collection(3; 1; 2).sort().map(Formula($1.value*10))
$sum:=$c.reduce(Formula($1.accumulator+$1.value); 0)
While ($sum>0) && ($c.length#0)
	$sum-=$c.pop()
End while 
