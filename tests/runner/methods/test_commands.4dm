// VRX_ commands with 4D's parameter passing.
$r:=VRX_GetLocalAddress($addr;$two;$minus;$version)
ASSERT($r=0; "result")
ASSERT($version=0x02602002; "out parameters become longint variables")
ASSERT($two=5; "second out parameter")
ASSERT($minus=-1; "third out parameter")
ARRAY LONGINT($outs;2)
$p:=->$outs{2}
$r:=VRX_GetLocalAddress($addr;$p->;$minus;$version)
ASSERT($outs{2}=5; "an out parameter through a pointer to an element")
ARRAY LONGINT(gNumbers;1)
<>pointerCalls:=0
ASSERT((VRX_GetStreamRef(helper_pointer->)=0) & (<>pointerCalls=1); "a pointer is followed once")
$r:=VRX_GetLocalAddress($addr;helper_pointer->;$minus;$version)
ASSERT((gNumbers{1}=5) & (<>pointerCalls=2); "an output through a pointer, followed once")
ASSERT(helper_param_out(0;0)=5; "an output through ${n}")
ASSERT(VRX_GetStreamRef(0)=0; "no stream is open")
ASSERT(VRX_GetStreamRef(1025)=-1; "position out of range")
ASSERT(VRX_GetStreamRef(2.4)=0; "a real is converted to the longint parameter")
// arrays in and out
ARRAY LONGINT($refs;2)
ARRAY LONGINT($states;2)
$states{1}:=77
$states{2}:=78
$pos:=VRX_GetStreamStates($refs;$states;0)
ASSERT($pos=-1; "no valid stream")
ASSERT(Size of array($states)=2; "the in/out array comes back")
ASSERT($states{1}=77; "elements for invalid references stay as they were")
// a text result
ASSERT(VRX_Reserved77=""; "a text result")
