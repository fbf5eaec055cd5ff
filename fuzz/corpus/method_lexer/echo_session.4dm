// One client of echo_server: sends every line back until QUIT, the end of the
// connection, or 30 seconds without a whole line.
C_LONGINT($1;$stream;$n;$r;$state)
C_TEXT($line)
$stream:=$1
$state:=VRX_GetStreamState($stream;0)
While ($state=8)
  $n:=VRX_ReceiveText($stream;$line;32000;0;0;"\r\n";1800)
  Case of
    : ($n=0)
      $state:=0  // nothing came: give up on this client
    : ($line="QUIT\r\n")
      $r:=VRX_SendText($stream;"BYE\r\n";0;0)
      $state:=0
    Else
      $r:=VRX_SendText($stream;$line;0;0)
      $state:=VRX_GetStreamState($stream;0)
  End case
End while
$r:=VRX_CloseStream($stream)
$r:=VRX_ReleaseStream($stream;0)
<>echoSessions:=<>echoSessions-1
