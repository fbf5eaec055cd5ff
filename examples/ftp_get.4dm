// Downloads a file by FTP in passive mode into a BLOB, prints its size and MD5, and
// writes it to LOCAL when given.
//
//   vrx run examples/ftp_get.4dm HOST PORT USER PASSWORD PATH [LOCAL]
//
// The control connection carries the commands; for RETR the server opens a port of its
// own (PASV) and the file arrives on a second connection, which ends with the file.
C_TEXT($1;$2;$3;$4;$5;$6;$host;$path;$numbers;$dataHost)
C_LONGINT($port;$control;$data;$state;$r;$code;$open;$close;$i;$comma;$dataPort;$received;$digest)
C_BLOB($file)
ARRAY LONGINT($fields;6)

ASSERT(Count parameters>=5;"usage: vrx run examples/ftp_get.4dm HOST PORT USER PASSWORD PATH [LOCAL]")
$host:=$1
$port:=Num($2)
$path:=$5

$control:=VRX_OpenStream($host;$port;0;0;0;0;0)
ASSERT($control#0;"cannot open a connection to "+$host)
$state:=VRX_WaitStreamState($control;8;10)
ASSERT($state=8;"no connection to "+$host+":"+String($port)+" (state "+String($state)+")")
$code:=ftp_reply($control)
ASSERT($code=220;"the server's greeting is "+String($code)+": "+ftpReply)
$code:=ftp_command($control;"USER "+$3;331;230)
If ($code=331)
  $code:=ftp_command($control;"PASS "+$4;230;202)
End if
$code:=ftp_command($control;"TYPE I";200;200)

// "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)."
$code:=ftp_command($control;"PASV";227;227)
$open:=Position("(";ftpReply)
$close:=Position(")";ftpReply)
ASSERT(($open>0) & ($close>$open);"no address in the PASV reply: "+ftpReply)
$numbers:=Substring(ftpReply;$open+1;$close-$open-1)+","
For ($i;1;6)
  $comma:=Position(",";$numbers)
  ASSERT($comma>0;"the PASV reply has fewer than six numbers: "+ftpReply)
  $fields{$i}:=Num(Substring($numbers;1;$comma-1))
  $numbers:=Substring($numbers;$comma+1)
End for
$dataHost:=String($fields{1})+"."+String($fields{2})+"."+String($fields{3})+"."+String($fields{4})
$dataPort:=$fields{5}*256+$fields{6}

$data:=VRX_OpenStream($dataHost;$dataPort;0;0;0;0;0)
ASSERT($data#0;"cannot open the data connection to "+$dataHost+":"+String($dataPort))
$code:=ftp_command($control;"RETR "+$path;150;125)
// Everything until the server closes the data connection is the file. The stream is
// released when the transfer ends.
$received:=VRX_ReceiveBlob($data;$file;0;0;0;"";3600)
ASSERT($received>=0;"the data connection failed")
$code:=ftp_reply($control)
ASSERT($code=226;"the transfer ended with "+String($code)+": "+ftpReply)
$code:=ftp_command($control;"QUIT";221;221)
$r:=VRX_CloseStream($control)
$r:=VRX_ReleaseStream($control;0)

$digest:=VRX_NewDigest(5)
VRX_UpdateDigestBlob($digest;$file)
ECHO("Received "+String(BLOB size($file))+" bytes, MD5 "+VRX_FinishDigest($digest;1))
If (Count parameters>=6)
  BLOB TO DOCUMENT($6;$file)
  ECHO("Written to "+$6)
End if
