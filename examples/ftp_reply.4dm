// Reads one FTP reply from stream $1 — its continuation lines too ("150-..." up to the
// line that begins with the code and a space) — logs it and returns its code; the
// reply's last line goes into $2. -1 when the server closed or said nothing for 30 s.
C_LONGINT($1;$0;$n)
C_TEXT($line;$code;ftpReply)

$0:=-1
$code:=""
ftpReply:=""
Repeat
  $n:=VRX_ReceiveText($1;$line;32000;0;0;"\r\n";1800)
  If ($n>=5)
    ECHO("S: "+Substring($line;1;$n-2))
    If ($code="")
      $code:=Substring($line;1;3)
    End if
  End if
Until (($n<5) | ((Substring($line;1;3)=$code) & (Substring($line;4;1)=" ")))
If ($n>=5)
  $0:=Num($code)
  ftpReply:=Substring($line;1;$n-2)
End if
