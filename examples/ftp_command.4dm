// Sends one FTP command on stream $1 and returns the reply's code; the method stops
// unless the code is $3 (or, when given, $4). The reply's last line is in ftpReply.
C_LONGINT($1;$3;$4;$0;$r)
C_TEXT($2;$shown)

$shown:=$2
If (Position("PASS ";$2)=1)
  $shown:="PASS ****"
End if
ECHO("C: "+$shown)
$r:=VRX_SendText($1;$2+"\r\n";0;0)
ASSERT($r=0;"the connection was lost sending "+$shown)
$0:=ftp_reply($1)
If (Count parameters<4)
  $4:=$3
End if
ASSERT(($0=$3) | ($0=$4);$shown+" was answered "+String($0)+": "+ftpReply)
