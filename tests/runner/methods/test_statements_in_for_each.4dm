// Each kind of statement inside For each and inside Use, with break and continue.
$log:=""
For each ($v;New collection(1;2;3;4))
  Case of
    : ($v=1)
      $log:=$log+"a"
    : ($v=2)
      $log:=$log+"b"
    Else
      $log:=$log+"z"
  End case
  $i:=0
  While ($i<$v)
    $i:=$i+1
    If ($i=2)
      continue
    End if
    If ($i=4)
      break
    End if
    $log:=$log+String($i)
  End while
  $j:=0
  Repeat
    $j:=$j+1
    If ($j=3)
      break
    End if
  Until ($j>=$v)
  $log:=$log+String($j)
  $n:=0
  For ($k;1;5)
    If ($k=2)
      continue
    End if
    If ($k>$v)
      break
    End if
    $n:=$n+$k
  End for
  $log:=$log+String($n)+"|"
End for each
ASSERT($log="a111|b121|z1334|z1338|"; $log)
// the same statements inside Use, which runs its body the general way
$shared:=New shared object
$log:=""
Use ($shared)
  For each ($v;New collection(1;2;3;4))
    Case of
      : ($v=1)
        $log:=$log+"a"
      : ($v=2)
        $log:=$log+"b"
      Else
        $log:=$log+"z"
    End case
    $i:=0
    While ($i<$v)
      $i:=$i+1
      If ($i=2)
        continue
      End if
      If ($i=4)
        break
      End if
      $log:=$log+String($i)
    End while
    $j:=0
    Repeat
      $j:=$j+1
      If ($j=3)
        break
      End if
    Until ($j>=$v)
    $log:=$log+String($j)
    $n:=0
    For ($k;1;5)
      If ($k=2)
        continue
      End if
      If ($k>$v)
        break
      End if
      $n:=$n+$k
    End for
    $log:=$log+String($n)+"|"
  End for each
  ASSERT($log="a111|b121|z1334|z1338|"; $log)
End use
// a counter past the longint range and a real step, the general way
For each ($v;New collection(1))
  C_REAL($r)
  $n:=0
  For ($r;2147483646;2147483649)
    $n:=$n+1
  End for
  ASSERT(($n=4) & ($r=2147483650); "a real counter past the longint range")
  $n:=0
  C_LONGINT($l)
  For ($l;2147483646;2147483649)
    $n:=$n+1
  End for
  ASSERT(($n=2) & ($l=2147483647); "a longint counter stops at the largest longint")
  C_REAL($x;$t)
  $t:=0
  For ($x;1;0;-0.25)
    $t:=$t+$x
  End for
  ASSERT($t=2.5; "down by a real step")
  For ($e;1;0)
  End for
  ASSERT($e=1; "a loop that never runs leaves its counter at the start")
End for each
