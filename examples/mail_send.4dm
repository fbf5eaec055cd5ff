// Sends a mail over SMTP: a text body in quoted-printable (ISO-8859-1) and a file
// attached in Base64, as a MIME multipart message.
//
//   vrx run examples/mail_send.4dm HOST PORT FROM TO [FILE]
//
// Without FILE the method attaches a small text of its own. Each line of the SMTP
// dialogue is logged ("C:" what we send, "S:" what the server answers).
C_TEXT($1;$2;$3;$4;$5;$host;$from;$to;$file;$name;$boundary;$body;$header;$line;$chunk;$encoded;$part;$date)
C_LONGINT($port;$stream;$state;$r;$code;$offset;$i;$slash)
C_BLOB($data)

ASSERT(Count parameters>=4;"usage: vrx run examples/mail_send.4dm HOST PORT FROM TO [FILE]")
$host:=$1
$port:=Num($2)
$from:=$3
$to:=$4
If (Count parameters>=5)
  $file:=$5
  DOCUMENT TO BLOB($file;$data)
  // The file's name is what follows the last "/".
  $name:=$file
  $slash:=Position("/";$name)
  While ($slash>0)
    $name:=Substring($name;$slash+1)
    $slash:=Position("/";$name)
  End while
Else
  $name:="hello.txt"
  TEXT TO BLOB("Hello from a 4D method, attached in Base64.\r\n";$data;Mac text without length)
End if

// The body: accented letters and a long line, so that the encoder has work to do.
$body:="Grüße aus Köln!\r\n\r\nThis message was sent by a 4D method through the VRX plug-in. "
$body:=$body+"Its text is encoded as quoted-printable, which keeps every line shorter than 77 "
$body:=$body+"characters and every byte 7-bit; the attachment, "+$name+", is in Base64.\r\n"
$body:=$body+".A line that begins with a dot.\r\n"
$boundary:="VRX-"+String(Milliseconds)+"-boundary"
$date:=VRX_FormatDateHeader(VRX_DateToSeconds(Current date;Current time;1);1)

$stream:=VRX_OpenStream($host;$port;0;0;0;0;0)
ASSERT($stream#0;"cannot open a connection to "+$host)
$state:=VRX_WaitStreamState($stream;8;10)
ASSERT($state=8;"no connection to "+$host+":"+String($port)+" (state "+String($state)+")")

$code:=smtp_reply($stream)
ASSERT($code=220;"the server's greeting is "+String($code)+", not 220")
$code:=smtp_command($stream;"EHLO vrx.localdomain";250)
$code:=smtp_command($stream;"MAIL FROM:<"+$from+">";250)
$code:=smtp_command($stream;"RCPT TO:<"+$to+">";250)
$code:=smtp_command($stream;"DATA";354)

$header:="From: <"+$from+">\r\nTo: <"+$to+">\r\nSubject: A message from VRX\r\nDate: "+$date+"\r\n"
$header:=$header+"MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\""+$boundary+"\"\r\n\r\n"
$part:="--"+$boundary+"\r\nContent-Type: text/plain; charset=ISO-8859-1\r\n"
$part:=$part+"Content-Transfer-Encoding: quoted-printable\r\n\r\n"
$part:=$part+VRX_EncodeQuotedPrintable($body;0)+"\r\n"
$part:=$part+"--"+$boundary+"\r\nContent-Type: application/octet-stream; name=\""+$name+"\"\r\n"
$part:=$part+"Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\""+$name+"\"\r\n\r\n"
// A line that begins with "." is sent with a second one (the server removes it).
$r:=VRX_SendText($stream;Replace string($header+$part;"\r\n.";"\r\n..");0;0)
ASSERT($r=0;"the connection was lost sending the message")

// The attachment, 57 bytes per 76-character line, in pieces of 100 lines.
$offset:=0
While ($offset<BLOB size($data))
  $chunk:=BLOB to text($data;Mac text without length;$offset;5700)
  $encoded:=VRX_EncodeBase64($chunk;1)
  $line:=""
  For ($i;1;Length($encoded);76)
    $line:=$line+Substring($encoded;$i;76)+"\r\n"
  End for
  $r:=VRX_SendText($stream;$line;0;0)
  ASSERT($r=0;"the connection was lost sending the attachment")
End while
$r:=VRX_SendText($stream;"--"+$boundary+"--\r\n.\r\n";0;0)
ASSERT($r=0;"the connection was lost ending the message")
$code:=smtp_reply($stream)
ASSERT($code=250;"the message was refused: "+String($code))
ECHO("Sent "+String(BLOB size($data))+" bytes attached as "+$name)
$code:=smtp_command($stream;"QUIT";221)
$r:=VRX_CloseStream($stream)
$r:=VRX_ReleaseStream($stream;0)
