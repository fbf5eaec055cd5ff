// Sends an object as JSON in an HTTP POST and reads the JSON the server answers:
//
//   vrx run examples/http_json.4dm URL [NAME]
//
// The request and the answer travel as UTF-8 in BLOBs, so that every character of
// their texts arrives (a text parameter of the plug-in is Mac Roman). Prints the
// status line and each property of the answer.
#DECLARE($url : Text; $name : Text)

var $target; $sent; $reply : Object
var $stream; $state; $n; $length : Integer
var $line; $json; $key : Text
var $body; $answer : Blob

ASSERT(Count parameters>=1; "usage: vrx run examples/http_json.4dm URL [NAME]")
$target:=parse_url($url)
$sent:={name: (Count parameters>=2) ? $name : "VRX 日本語 😀"; items: [1; 2; 3]; when: "2024-02-29"}
$json:=JSON Stringify($sent)
CONVERT FROM TEXT($json; "UTF-8"; $body)

$stream:=VRX_OpenStream($target.host; $target.port; 0; 0; 0; 0; 0)
ASSERT($stream#0; "cannot open a connection to "+$target.host)
$state:=VRX_WaitStreamState($stream; 8; 10)
ASSERT($state=8; "no connection to "+$target.host+":"+String($target.port))
$n:=VRX_SendText($stream; "POST "+$target.path+" HTTP/1.0\r\nHost: "+$target.host+\
"\r\nContent-Type: application/json; charset=utf-8\r\nContent-Length: "+String(BLOB size($body))+"\r\n\r\n"; 0; 0)
ASSERT($n=0; "the request could not be sent")
ASSERT(VRX_SendBlob($stream; $body; 0; 0; 0; 0)=0; "the body could not be sent")

// Status line and headers; the body's length comes in Content-Length.
$n:=VRX_ReceiveText($stream; $line; 32000; 0; 0; "\r\n"; 600)
ECHO(Substring($line; 1; $n-2))
$length:=0
While ($n>2)
	If (Position("content-length:"; $line)=1)
		$length:=Num(Substring($line; 16))
	End if
	$n:=VRX_ReceiveText($stream; $line; 32000; 0; 0; "\r\n"; 600)
End while
// The body, up to its length or until the server closes (flag 2: the stream stays ours).
$n:=VRX_ReceiveBlob($stream; $answer; $length; 0; 2; ""; 600)
$n:=VRX_CloseStream($stream)
$n:=VRX_ReleaseStream($stream; 0)

$reply:=JSON Parse(Convert to text($answer; "UTF-8"))
ASSERT(Value type($reply)=Is object; "the answer is not a JSON object")
For each ($key; $reply)
	ECHO($key+": "+((Value type($reply[$key])=Is text) ? $reply[$key] : JSON Stringify($reply[$key])))
End for each
