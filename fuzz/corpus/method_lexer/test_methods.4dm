// Project methods: parameters, $0, recursion, parameter count, process and
// interprocess variables.
ASSERT(helper_fact(10)=3628800; "recursion")
ASSERT(helper_join("a";"b";"c")="a-b-c"; "three parameters")
ASSERT(helper_join("a")="a"; "optional parameters left out")
ASSERT(helper_count="0"; "called without parentheses")
ASSERT(helper_count()="0"; "called with empty parentheses")
ASSERT(helper_count(1;"x";!2020-01-01!)="3"; "Count parameters")
// parameters are passed by value
$t:="keep"
helper_change($t)
ASSERT($t="keep"; "a parameter is a copy")
// a method without $0 is called as a statement
vCounter:=0
helper_bump
helper_bump
ASSERT(vCounter=2; "process variable shared with called methods")
<>shared:="ip"
ASSERT(helper_readshared="ip"; "interprocess variable")
// locals of the callee do not leak into the caller
$x:=1
helper_local
ASSERT($x=1; "locals are per call")
