// A line-based echo server and its client, in two processes.
//
//   vrx run examples/echo.4dm [LINE...]
//
// echo_server runs in its own process on a port the system chooses; this process is
// the client: it sends each LINE (or a few of its own), prints what comes back, then
// says QUIT.
C_TEXT($lines)
C_LONGINT($i;$p;$deadline)
If (Count parameters=0)
  $lines:="hello\nVRX echo\nLa dernière ligne"
Else
  For ($i;1;Count parameters)
    If ($i>1)
      $lines:=$lines+"\n"
    End if
    $lines:=$lines+${$i}
  End for
End if

<>echoPort:=0
$p:=New process("echo_server";0;"echo server";"0";"1")
$deadline:=Tickcount+600
While ((<>echoPort=0) & (Tickcount<$deadline))
  DELAY PROCESS(Current process;1)
End while
ASSERT(<>echoPort#0;"the echo server did not start")
echo_client("127.0.0.1";<>echoPort;$lines)
