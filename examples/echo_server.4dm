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
LOG("echo server on port "+String($localPort))
<>echoSessions:=0
<>echoPort:=$localPort
$accepted:=0
While ($accepted<$clients)
  $state:=VRX_GetStreamState($listen;0)
  Case of
    : ($state=8)
      $accepted:=$accepted+1
      <>echoSessions:=<>echoSessions+1
      $p:=New process("echo_session";0;"echo session";$listen)
      $listen:=$spare
      $spare:=VRX_ListenStream(0;0;$port;0;0;0;0)
    : ($state=2)
      // Swap the two waiting streams: whichever gets the connection is taken next.
      $state:=VRX_GetStreamState($spare;0)
      If ($state=8)
        $r:=$listen
        $listen:=$spare
        $spare:=$r
      Else
        DELAY PROCESS(Current process;1)
      End if
    Else
      ASSERT(False;"the listening stream failed (state "+String($state)+")")
  End case
End while
While (<>echoSessions>0)
  DELAY PROCESS(Current process;2)
End while
$r:=VRX_ReleaseStream($listen;2)
$r:=VRX_ReleaseStream($spare;2)
LOG("echo server done")
