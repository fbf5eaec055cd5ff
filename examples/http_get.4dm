// An HTTP/1.0 client: fetches a URL and prints the status line and the headers.
//
//   vrx run examples/http_get.4dm [URL]
//
// Without a URL it serves a page of its own: web_server runs in a second process on
// a port the system chooses, and the client fetches that page from it.
C_TEXT($1;$url;$host;$path;$rest;$line;$request;$folder;$page)
C_LONGINT($port;$stream;$state;$r;$n;$deadline;$bytes;$p;$colon;$slash)

If (Count parameters>=1)
  $url:=$1
Else
  $folder:=Temporary folder+"vrx_http_get_"+String(Milliseconds)+"/"
  CREATE FOLDER($folder)
  $page:="<html><head><title>VRX</title></head><body>Hello from a 4D method!</body></html>\r\n"
  C_BLOB($blob)
  TEXT TO BLOB($page;$blob;Mac text without length)
  BLOB TO DOCUMENT($folder+"index.html";$blob)
  <>webPort:=0
  $p:=New process("web_server";0;"web server";$folder;"0";"1")
  $deadline:=Tickcount+600
  While ((<>webPort=0) & (Tickcount<$deadline))
    DELAY PROCESS(Current process;1)
  End while
  ASSERT(<>webPort#0;"the web server did not start")
  $url:="http://127.0.0.1:"+String(<>webPort)+"/index.html"
End if

// http://host[:port][/path]
ASSERT(Position("http://";$url)=1;"only http:// URLs: "+$url)
$rest:=Substring($url;8)
$slash:=Position("/";$rest)
If ($slash=0)
  $host:=$rest
  $path:="/"
Else
  $host:=Substring($rest;1;$slash-1)
  $path:=Substring($rest;$slash)
End if
// An IPv6 address comes in brackets (http://[::1]:8080/): its colons are no port.
$port:=80
If (Position("[";$host)=1)
  $colon:=Position("]:";$host)
  If ($colon>0)
    $port:=Num(Substring($host;$colon+2))
    $host:=Substring($host;1;$colon)
  End if
Else
  $colon:=Position(":";$host)
  If ($colon>0)
    $port:=Num(Substring($host;$colon+1))
    $host:=Substring($host;1;$colon-1)
  End if
End if

ECHO("GET "+$url)
$stream:=VRX_OpenStream($host;$port;0;0;0;0;0)
ASSERT($stream#0;"cannot open a connection to "+$host)
// Connecting: poll the state until it is established (8) or has failed, for 10 s.
$deadline:=Tickcount+600
Repeat
  $state:=VRX_GetStreamState($stream;0)
  If ($state=6)
    DELAY PROCESS(Current process;1)
  End if
Until (($state#6) | (Tickcount>$deadline))
ASSERT($state=8;"no connection to "+$host+":"+String($port)+" (state "+String($state)+")")

$request:="GET "+$path+" HTTP/1.0\r\nHost: "+$host+"\r\nUser-Agent: VRX/4D\r\nConnection: close\r\n\r\n"
$r:=VRX_SendText($stream;$request;0;0)
ASSERT($r=0;"the request could not be sent")

// The status line and the headers, one line each, up to the empty line.
$n:=VRX_ReceiveText($stream;$line;32000;0;0;"\r\n";600)
While ($n>2)
  ECHO(Substring($line;1;$n-2))
  $n:=VRX_ReceiveText($stream;$line;32000;0;0;"\r\n";600)
End while
// The body: count what arrives until the server closes.
$bytes:=0
$state:=VRX_GetStreamState($stream;0)
While ($state=8)
  $n:=VRX_ReceiveText($stream;$line;0;0;0;"";60)
  $bytes:=$bytes+$n
  $state:=VRX_GetStreamState($stream;0)
End while
ECHO("("+String($bytes)+" bytes of body)")
$r:=VRX_CloseStream($stream)
$r:=VRX_ReleaseStream($stream;0)
If ($folder#"")
  // The page and its folder were ours: nothing is left behind.
  DELETE FOLDER($folder;Delete with contents)
End if
