// http_get written in the language 4D has today: declared parameters and variables,
// objects for the URL and the answer, For each, ternaries and return.
//
//   vrx run examples/http_get_modern.4dm URL
//
// Prints the status line and the headers, then how many bytes of body came.
#DECLARE($url : Text)

var $target; $answer : Object
var $stream; $state; $n : Integer
var $line : Text

ASSERT(Count parameters>=1; "usage: vrx run examples/http_get_modern.4dm URL")
$target:=parse_url($url)
ECHO("GET "+$url)
$stream:=VRX_OpenStream($target.host; $target.port; 0; 0; 0; 0; 0)
ASSERT($stream#0; "cannot open a connection to "+$target.host)
$state:=VRX_WaitStreamState($stream; 8; 10)
ASSERT($state=8; "no connection to "+$target.host+":"+String($target.port)+" (state "+String($state)+")")

ASSERT(VRX_SendText($stream; "GET "+$target.path+" HTTP/1.0\r\nHost: "+$target.host+\
"\r\nUser-Agent: VRX/4D\r\nConnection: close\r\n\r\n"; 0; 0)=0; "the request could not be sent")

// The answer as an object: status line, headers by name, body size.
$answer:={status: ""; headers: []; bytes: 0}
$n:=VRX_ReceiveText($stream; $line; 32000; 0; 0; "\r\n"; 600)
While ($n>2)
	If ($answer.status="")
		$answer.status:=Substring($line; 1; $n-2)
	Else
		$answer.headers.push(Substring($line; 1; $n-2))
	End if
	$n:=VRX_ReceiveText($stream; $line; 32000; 0; 0; "\r\n"; 600)
End while
While (VRX_GetStreamState($stream; 0)=8)
	$answer.bytes+=VRX_ReceiveText($stream; $line; 0; 0; 0; ""; 60)
End while
$n:=VRX_CloseStream($stream)
$n:=VRX_ReleaseStream($stream; 0)

ECHO($answer.status)
For each ($line; $answer.headers)
	ECHO($line)
End for each
ECHO("("+String($answer.bytes)+" byte"+($answer.bytes=1 ? "" : "s")+" of body)")
