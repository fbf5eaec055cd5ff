// mail_send written in the language 4D has today: the message is an object, the
// attachment a 4D.File read into a 4D.Blob, the dialogue a collection of steps.
//
//   vrx run examples/mail_send_modern.4dm HOST PORT FROM TO [FILE]
//
// Sends a text body in quoted-printable (ISO-8859-1) and the file (or a small text of
// its own) in Base64, as a MIME multipart message; each line of the SMTP dialogue is
// logged ("C:" what we send, "S:" what the server answers).
#DECLARE($host : Text; $port : Text; $from : Text; $to : Text; $path : Text)

var $mail; $step : Object
var $data : 4D.Blob
var $stream; $code; $offset; $at; $i : Integer
var $head; $encoded; $lines : Text

ASSERT(Count parameters>=4; "usage: vrx run examples/mail_send_modern.4dm HOST PORT FROM TO [FILE]")
$mail:={from: $from; to: $to; subject: "A message from VRX"; boundary: "VRX-"+String(Milliseconds)+"-boundary"}
If (Count parameters>=5)
	$mail.attachment:=File($path)
	ASSERT($mail.attachment.exists; "no file "+$path)
	$data:=$mail.attachment.getContent()
	$mail.name:=$mail.attachment.fullName
Else
	$mail.name:="hello.txt"
	CONVERT FROM TEXT("Hello from a 4D method, attached in Base64.\r\n"; "ISO-8859-1"; $data)
End if
$mail.body:="Grüße aus Köln!\r\n\r\nThis message was sent by a 4D method through the VRX plug-in. "+\
"Its text is encoded as quoted-printable, which keeps every line shorter than 77 "+\
"characters and every byte 7-bit; the attachment, "+$mail.name+", is in Base64.\r\n"+\
".A line that begins with a dot.\r\n"

$stream:=VRX_OpenStream($host; Num($port); 0; 0; 0; 0; 0)
ASSERT($stream#0; "cannot open a connection to "+$host)
ASSERT(VRX_WaitStreamState($stream; 8; 10)=8; "no connection to "+$host+":"+$port)
ASSERT(smtp_reply($stream)=220; "the server did not greet us with 220")
For each ($step; [{line: "EHLO vrx.localdomain"; code: 250}; {line: "MAIL FROM:<"+$mail.from+">"; code: 250}; \
{line: "RCPT TO:<"+$mail.to+">"; code: 250}; {line: "DATA"; code: 354}])
	$code:=smtp_command($stream; $step.line; $step.code)
End for each

$head:="From: <"+$mail.from+">\r\nTo: <"+$mail.to+">\r\nSubject: "+$mail.subject+"\r\nDate: "+\
VRX_FormatDateHeader(VRX_DateToSeconds(Current date; Current time; 1); 1)+"\r\n"+\
"MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\""+$mail.boundary+"\"\r\n\r\n"+\
"--"+$mail.boundary+"\r\nContent-Type: text/plain; charset=ISO-8859-1\r\n"+\
"Content-Transfer-Encoding: quoted-printable\r\n\r\n"+VRX_EncodeQuotedPrintable($mail.body; 0)+"\r\n"+\
"--"+$mail.boundary+"\r\nContent-Type: application/octet-stream; name=\""+$mail.name+"\"\r\n"+\
"Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\""+$mail.name+"\"\r\n\r\n"
// A line that begins with "." is sent with a second one (the server removes it).
ASSERT(VRX_SendText($stream; Replace string($head; "\r\n."; "\r\n.."); 0; 0)=0; "the connection was lost")

// The attachment, 57 bytes per 76-character line, in pieces of 100 lines.
For ($offset; 0; BLOB size($data)-1; 5700)
	$at:=$offset  // BLOB to text moves the offset it is given
	$encoded:=VRX_EncodeBase64(BLOB to text($data; Mac text without length; $at; 5700); 1)
	$lines:=""
	For ($i; 1; Length($encoded); 76)
		$lines+=Substring($encoded; $i; 76)+"\r\n"
	End for
	ASSERT(VRX_SendText($stream; $lines; 0; 0)=0; "the connection was lost sending the attachment")
End for
ASSERT(VRX_SendText($stream; "--"+$mail.boundary+"--\r\n.\r\n"; 0; 0)=0; "the connection was lost")
$code:=smtp_reply($stream)
ASSERT($code=250; "the message was refused: "+String($code))
ECHO("Sent "+String(BLOB size($data))+" bytes attached as "+$mail.name)
$code:=smtp_command($stream; "QUIT"; 221)
$code:=VRX_CloseStream($stream)
$code:=VRX_ReleaseStream($stream; 0)
