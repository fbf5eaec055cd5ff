// One HTTP/1.0 connection of web_server: reads the request, answers with a file of
// the folder or a 404, then closes the connection.
//   $1: the connected stream; $2: the folder, ending with "/"
C_LONGINT($1;$stream;$n;$r;$size;$state;$space)
C_TEXT($2;$folder;$line;$request;$method;$path;$file;$header;$body;$date;$status)
$stream:=$1
$folder:=$2

If (VRX_GetStreamState($stream;0)=8)  // not a client that has already gone
  // The request line, then the header lines up to the empty one (10 seconds each).
  $n:=VRX_ReceiveText($stream;$request;32000;0;0;"\r\n";600)
  $line:=$request
  While (($line#"\r\n") & ($line#""))
    $n:=VRX_ReceiveText($stream;$line;32000;0;0;"\r\n";600)
  End while

  $request:=Replace string($request;"\r\n";"")
  $space:=Position(" ";$request)
  $method:=Substring($request;1;$space-1)
  $path:=Substring($request;$space+1)
  $path:=Substring($path;1;Position(" ";$path+" ")-1)
  If (Position("?";$path)>0)
    $path:=Substring($path;1;Position("?";$path)-1)
  End if
  $path:=VRX_DecodeURL($path;0)
  If ($path="/")
    $path:="/index.html"
  End if
  $file:=$folder+Substring($path;2)

  $date:=VRX_FormatDateHeader(VRX_DateToSeconds(Current date;Current time;1);1)
  Case of
    : ($method#"GET")
      $status:="501 Not Implemented"
    : ((Substring($path;1;1)#"/") | (Position("..";$path)>0))
      $status:="404 Not Found"
    : (Test path name($file)#Is a document)
      $status:="404 Not Found"
    Else
      $status:="200 OK"
  End case

  If ($status="200 OK")
    $size:=Get document size($file)
    $header:="HTTP/1.0 200 OK\r\nDate: "+$date+"\r\nServer: VRX example\r\n"
    $header:=$header+"Content-Type: "+web_content_type($file)+"\r\n"
    $header:=$header+"Content-Length: "+String($size)+"\r\n\r\n"
    $r:=VRX_SendText($stream;$header;0;0)
    $r:=VRX_SendFile($stream;$file;0;0;0;0)
  Else
    $body:="<html><body><h1>"+$status+"</h1>"+VRX_EncodeHTML($path;0)+"</body></html>\r\n"
    $header:="HTTP/1.0 "+$status+"\r\nDate: "+$date+"\r\nServer: VRX example\r\n"
    $header:=$header+"Content-Type: text/html\r\nContent-Length: "+String(Length($body))+"\r\n\r\n"
    $r:=VRX_SendText($stream;$header+$body;0;0)
  End if
  ECHO($method+" "+$path+" "+$status)
End if

// Close our side, give the client up to 5 seconds to read and close its own (the wait
// ends as soon as it does), then release.
$r:=VRX_CloseStream($stream)
$state:=VRX_WaitStreamState($stream;14;5)
$r:=VRX_ReleaseStream($stream;0)
<>webActive:=<>webActive-1
