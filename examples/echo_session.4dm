// One client of echo_server: sends every line back until QUIT or the end of the
// connection.
C_LONGINT($1;$stream;$n;$r;$state)
C_TEXT($line)
$stream:=$1
Repeat
  // Wait up to 30 seconds for a whole line (CR LF included).
  $n:=VRX_ReceiveText($stream;$line;32000;0;0;"\r\n";1800)
  If ($n>0)
    If ($line="QUIT\r\n")
      $r:=VRX_SendText($stream;"BYE\r\n";0;0)
    Else
      $r:=VRX_SendText($stream;$line;0;0)
    End if
  End if
  $state:=VRX_GetStreamState($stream;0)
Until (($n=0) | ($line="QUIT\r\n") | ($state#8))
$r:=VRX_CloseStream($stream)
$r:=VRX_ReleaseStream($stream;0)
<>echoSessions:=<>echoSessions-1
