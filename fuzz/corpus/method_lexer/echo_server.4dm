// A line-based echo server: every line a client sends comes back to it, until the
// client sends QUIT. Each client is served by a process of its own.
//
//   vrx run examples/echo_server.4dm [PORT [CLIENTS]]
//
// PORT 0 (or none) lets the system choose; the port is printed and left in <>echoPort.
// The server stops after CLIENTS clients (default 1) have come and gone.
C_TEXT($1;$2)
C_LONGINT($port;$clients;$accepted;$listen;$spare;$state;$r;$p;$localPort;$a;$b)
$port:=Num($1)
$clients:=Num($2)
If ($clients<=0)
  $clients:=1
End if
// A spare listening stream keeps the socket open while the other one is handed on.
$listen:=VRX_ListenStream(0;0;$port;0;0;0;0)
$spare:=VRX_ListenStream(0;0;$port;0;0;0;0)
ASSERT(($listen#0) & ($spare#0);"cannot listen on port "+String($port))
$r:=VRX_GetStreamAddresses($listen;$a;$b;$localPort)
If ($localPort<0)
  $localPort:=$localPort+65536
End if
ECHO("echo server on port "+String($localPort))
<>echoSessions:=0
<>echoPort:=$localPort
$accepted:=0
While ($accepted<$clients)
  $state:=VRX_GetStreamState($listen;0)
  If ($state=2)
    // Still waiting; the spare may have been served first.
    $state:=VRX_GetStreamState($spare;0)
    If ($state=2)
      DELAY PROCESS(Current process;1)
    Else
      $r:=$listen
      $listen:=$spare
      $spare:=$r
    End if
  End if
  If ($state#2)
    // This stream took a connection (even one already closed by the client).
    $accepted:=$accepted+1
    <>echoSessions:=<>echoSessions+1
    $p:=New process("echo_session";0;"echo session";$listen)
    $listen:=$spare
    $spare:=VRX_ListenStream(0;0;$port;0;0;0;0)
    ASSERT($spare#0;"cannot listen again on port "+String($port))
  End if
End while
While (<>echoSessions>0)
  DELAY PROCESS(Current process;2)
End while
$r:=VRX_ReleaseStream($listen;2)
$r:=VRX_ReleaseStream($spare;2)
ECHO("echo server done")
