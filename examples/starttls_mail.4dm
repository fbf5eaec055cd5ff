// Mail submission with STARTTLS: connects in plain, asks the server for TLS, verifies
// its certificate, and sends one short message over the encrypted stream.
//
//   vrx run examples/starttls_mail.4dm HOST PORT FROM TO [CA_FILE]
//
// CA_FILE: a PEM file of certificates to trust besides the system's (a private CA).
C_TEXT($1;$2;$3;$4;$5;$host;$from;$to;$line;$message)
C_LONGINT($port;$stream;$state;$r;$deadline;$code)

ASSERT(Count parameters>=4;"usage: starttls_mail HOST PORT FROM TO [CA_FILE]")
$host:=$1
$port:=Num($2)
$from:=$3
$to:=$4
If (Count parameters>=5)
  $r:=VRX_SetTrustedCertificates($5)
  ASSERT($r=0;"no certificate in "+$5)
End if

$stream:=VRX_OpenStream($host;$port;0;0;0;0;0)
ASSERT($stream#0;"cannot open a connection to "+$host)
$deadline:=Tickcount+600
Repeat
  $state:=VRX_GetStreamState($stream;0)
  If ($state=6)
    DELAY PROCESS(Current process;1)
  End if
Until (($state#6) | (Tickcount>$deadline))
ASSERT($state=8;"no connection to "+$host+":"+String($port))

$code:=smtp_reply($stream)
ASSERT($code=220;"no greeting")
$code:=smtp_command($stream;"EHLO vrx.example";250)
$code:=smtp_command($stream;"STARTTLS";220)
// Client, verifying the server against the name it was opened with; 30 s at most.
$r:=VRX_StartTLS($stream;4096;"";0)
If ($r#0)
  $r:=VRX_GetStreamSSLError($stream;$line)
  ECHO("TLS failed: "+$line)
  $r:=VRX_ReleaseStream($stream;0)
  ASSERT(False;"no TLS with "+$host)
End if
$r:=VRX_GetStreamSSLInfo($stream;$line;$message;$code;$message)
ECHO("TLS: "+$line)

$code:=smtp_command($stream;"EHLO vrx.example";250)
$code:=smtp_command($stream;"MAIL FROM:<"+$from+">";250)
$code:=smtp_command($stream;"RCPT TO:<"+$to+">";250)
$code:=smtp_command($stream;"DATA";354)
$message:="From: <"+$from+">\r\nTo: <"+$to+">\r\nSubject: sent by VRX over TLS\r\n\r\nHello from a 4D method.\r\n."
$code:=smtp_command($stream;$message;250)
ECHO("Sent to "+$to)
$code:=smtp_command($stream;"QUIT";221)
$r:=VRX_CloseStream($stream)
$r:=VRX_ReleaseStream($stream;0)
