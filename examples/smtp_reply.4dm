// Reads one SMTP reply from stream $1, its continuation lines ("250-...") included,
// logs it, and returns its code, or -1 when the server closed or did not answer in
// 30 seconds.
C_LONGINT($1;$0;$n)
C_TEXT($line)

$0:=-1
Repeat
  $n:=VRX_ReceiveText($1;$line;32000;0;0;"\r\n";1800)
  If ($n>=5)
    ECHO("S: "+Substring($line;1;$n-2))
    $0:=Num(Substring($line;1;3))
  End if
Until (($n<5) | (Substring($line;4;1)#"-"))
If ($n<5)
  $0:=-1
End if
