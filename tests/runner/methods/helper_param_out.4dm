// VRX_GetLocalAddress's second output, received through ${2}.
$r:=VRX_GetLocalAddress($a;${2};$c;$d)
$0:=$2
