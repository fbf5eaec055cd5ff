singleton Class constructor
	Use (OB Class(This))
		OB Class(This).instance:=Formula(This)
	End use
shared Function f($1 : Text; ...) : Collection
	$f:=Formula($1.result:=$1.value*2)
	return [1;2].map($f)
exposed Function get
/* Function inside a comment
*/
Alias total amount
property a; b : Object
property c:="x"
Function get v:C1
