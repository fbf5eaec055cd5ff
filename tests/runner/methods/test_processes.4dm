// Processes run one at a time and give way in DELAY PROCESS and IDLE.
<>log:=""
<>done:=0
$p1:=New process("helper_worker";0;"worker A";"A";3)
$p2:=New process("helper_worker";0;"worker B";"B";3)
ASSERT($p1#$p2; "two process numbers")
ASSERT(Current process=1; "the first process is number 1")
$again:=New process("helper_worker";0;"worker A";"C";1;*)
ASSERT($again=$p1; "New process with * finds the running process of that name")
$limit:=Tickcount+600
While ((<>done<2) & (Tickcount<$limit))
  DELAY PROCESS(Current process;1)
End while
ASSERT(<>done=2; "both workers ended")
ASSERT(<>log="A1B1A2B2A3B3"; "the workers took turns: "+<>log)
// a busy loop still lets the others run
<>flag:=False
$p3:=New process("helper_setflag";0)
$n:=0
While (Not(<>flag) & ($n<100000))
  $n:=$n+1
End while
ASSERT(<>flag; "a loop without DELAY PROCESS does not starve the others")
