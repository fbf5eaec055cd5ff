// Counts its calls and gives a pointer to the first element of the process array gNumbers.
<>pointerCalls:=<>pointerCalls+1
$0:=->gNumbers{1}
