// A client of echo_server: sends each line of $3 (lines separated by line feeds),
// prints it and the answer, then says QUIT.
//   echo_client(host; port; lines)
C_TEXT($1;$3;$lines;$line;$answer)
C_LONGINT($2;$stream;$state;$deadline;$r;$n;$cut)
$stream:=VRX_OpenStream($1;$2;0;0;0;0;0)
ASSERT($stream#0;"cannot connect to "+$1)
$deadline:=Tickcount+600
Repeat
  $state:=VRX_GetStreamState($stream;0)
  If ($state=6)
    DELAY PROCESS(Current process;1)
  End if
Until (($state#6) | (Tickcount>$deadline))
ASSERT($state=8;"no connection to the echo server (state "+String($state)+")")
$lines:=$3+"\nQUIT"
While ($lines#"")
  $cut:=Position("\n";$lines)
  If ($cut=0)
    $line:=$lines
    $lines:=""
  Else
    $line:=Substring($lines;1;$cut-1)
    $lines:=Substring($lines;$cut+1)
  End if
  $r:=VRX_SendText($stream;$line+"\r\n";0;0)
  ASSERT($r=0;"send failed")
  ECHO("> "+$line)
  $n:=VRX_ReceiveText($stream;$answer;32000;0;0;"\r\n";600)
  ASSERT($n>0;"no answer to "+$line)
  ECHO("< "+Replace string($answer;"\r\n";""))
End while
$r:=VRX_CloseStream($stream)
$r:=VRX_ReleaseStream($stream;0)
