// Sends the command line $2 on the stream $1 and returns the code of the reply.
C_LONGINT($1;$0;$r)
C_TEXT($2;$line)
LOG("> "+$2)
$line:=$2+"\r\n"
$r:=VRX_SendText($1;$line;0;0)
$0:=smtp_reply($1)
