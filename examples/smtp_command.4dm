// Sends one SMTP command line on stream $1 and returns the code of the reply, after
// checking it is the one expected ($3); the method stops with the server's answer
// otherwise.
C_LONGINT($1;$3;$0;$r)
C_TEXT($2)

ECHO("C: "+$2)
$r:=VRX_SendText($1;$2+"\r\n";0;0)
ASSERT($r=0;"the connection was lost sending "+$2)
$0:=smtp_reply($1)
ASSERT($0=$3;$2+" was answered "+String($0)+", not "+String($3))
