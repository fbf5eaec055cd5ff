// One SMTP reply from the stream $1: reads its lines (a dash after the code says more
// follow), logs them, and returns the code; 0 when no reply came within 30 s.
C_LONGINT($1;$0;$n)
C_TEXT($line)
Repeat
  $n:=VRX_ReceiveText($1;$line;32000;0;0;"\r\n";1800)
  If ($n>=2)
    LOG("< "+Substring($line;1;$n-2))
  End if
Until (($n<4) | (Substring($line;4;1)#"-"))
$0:=Num(Substring($line;1;3))
