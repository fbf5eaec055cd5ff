// A small Web server: serves the files of a folder over HTTP/1.0, one process per
// connection, and stops after a number of requests.
//
//   vrx run examples/web_server.4dm FOLDER [PORT [REQUESTS]]
//
// PORT 0 (or none) lets the system choose a port; the port in use is printed and left
// in <>webPort for other processes. REQUESTS defaults to 1.
C_TEXT($1;$2;$3;$folder)
C_LONGINT($port;$limit;$served;$taken;$state;$oldest;$retryUntil;$conn;$p;$r;$i;$localPort;$remoteAddr;$remotePort)
ARRAY LONGINT($listeners;2)

ASSERT(Count parameters>=1;"usage: vrx run examples/web_server.4dm FOLDER [PORT [REQUESTS]]")
$folder:=$1
ASSERT($folder#"";"the folder to serve is empty; give \".\" for the current folder")
If (Substring($folder;Length($folder);1)#"/")
  $folder:=$folder+"/"
End if
$port:=Num($2)
$limit:=Num($3)
If ($limit<=0)
  $limit:=1
End if

// Two streams wait on the same listening socket, so that one is always listening
// while the other hands its connection to a new process.
For ($i;1;2)
  $listeners{$i}:=VRX_ListenStream(0;0;$port;0;0;0;0)
  ASSERT($listeners{$i}#0;"cannot listen on port "+String($port))
End for
$r:=VRX_GetStreamAddresses($listeners{1};$remoteAddr;$remotePort;$localPort)
If ($localPort<0)
  $localPort:=$localPort+65536  // ports come back as 16-bit integers
End if
<>webPort:=$localPort
<>webActive:=0
ECHO("Serving "+$folder+" on http://127.0.0.1:"+String($localPort)+"/ for "+String($limit)+" request(s)")

$served:=0
$oldest:=1  // the stream that has listened longest: the next connection goes to it
While ($served<$limit)
  // Every pending connection is taken in one pass: a stream that took one hands it to a
  // new process and listens again at once, and asking the new stream for its state takes
  // the next pending connection, if any.
  $taken:=0
  For ($i;1;2)
    $state:=VRX_GetStreamState($listeners{$i};0)
    While (($state#2) & ($served<$limit))  // a connection (its process handles any state)
      $conn:=$listeners{$i}
      $listeners{$i}:=VRX_ListenStream(0;0;$port;0;0;0;0)
      // With every stream reference in use (1023 streams) the next is free as soon as
      // a connection ends.
      $retryUntil:=Tickcount+600
      While (($listeners{$i}=0) & (Tickcount<$retryUntil))
        DELAY PROCESS(Current process;1)
        $listeners{$i}:=VRX_ListenStream(0;0;$port;0;0;0;0)
      End while
      ASSERT($listeners{$i}#0;"cannot listen again on port "+String($port))
      $oldest:=3-$i
      <>webActive:=<>webActive+1
      $served:=$served+1
      $taken:=$taken+1
      $p:=New process("web_connection";0;"web connection "+String($served);$conn;$folder)
      $state:=VRX_GetStreamState($listeners{$i};0)
    End while
  End for
  // After a pass that took connections the next follows as soon as the other processes
  // have run. Otherwise the process sleeps until a connection comes: it goes to the
  // stream that has listened longest, whose state it moves (a second at most).
  If ($taken>0)
    IDLE
  Else
    $state:=VRX_WaitStreamState($listeners{$oldest};8;1)
  End if
End while

// Let the last connections finish, then close the listening socket at once (mode 2).
While (<>webActive>0)
  DELAY PROCESS(Current process;1)
End while
For ($i;1;2)
  $r:=VRX_ReleaseStream($listeners{$i};2)
End for
ECHO("Served "+String($served)+" request(s)")
