// A codec round trip: encodes a text file with Base64, quoted-printable, URL and HTML
// encoding, decodes each result, and tells whether the text came back unchanged.
//
//   vrx run examples/codec_roundtrip.4dm [FILE]
//
// FILE is read as UTF-8 (the text of a Linux file) and converted to Mac Roman, the
// character set of 4D texts; without FILE a short text of its own is used. Texts go
// through the commands in pieces of 4000 bytes: even HTML encoding, which grows a text
// the most, then stays within the 32767 bytes a text can hold.
C_TEXT($1;$text;$piece;$encoded;$decoded;$name;$sample)
C_BLOB($blob)
C_LONGINT($i;$k;$at;$size;$codec;$encodedSize;$differs)

If (Count parameters>=1)
  DOCUMENT TO BLOB($1;$blob)
  $text:=BLOB to text($blob;UTF8 text without length)
  ECHO("File "+$1+": "+String(Length($text))+" characters")
Else
  $text:="Grüße aus Köln! 100% <sure> & \"quoted\" = fine?\r\n"
  $text:=$text+"A line long enough that quoted-printable has to fold it, since such lines are kept under seventy-six characters.\r\n"
  $text:=$text+"path/to/file name.txt?a=1&b=2\r\n"
  ECHO("Built-in text: "+String(Length($text))+" characters")
End if

For ($codec;1;4)
  $encodedSize:=0
  $decoded:=""
  $sample:=""
  For ($at;1;Length($text);4000)
    $piece:=Substring($text;$at;4000)
    Case of
      : ($codec=1)
        $name:="Base64"
        $encoded:=VRX_EncodeBase64($piece;1)
        $decoded:=$decoded+VRX_DecodeBase64($encoded)
      : ($codec=2)
        // 0 both ways: encoded as ISO-8859-1, decoded back to Mac Roman
        $name:="Quoted-printable"
        $encoded:=VRX_EncodeQuotedPrintable($piece;0)
        $decoded:=$decoded+VRX_DecodeQuotedPrintable($encoded;0)
      : ($codec=3)
        // mode 2 escapes everything but letters, digits, "?" and "_"; both ways
        // convert between Mac Roman and ISO-8859-1
        $name:="URL"
        $encoded:=VRX_EncodeURL($piece;2)
        $decoded:=$decoded+VRX_DecodeURL($encoded;0)
      : ($codec=4)
        $name:="HTML"
        $encoded:=VRX_EncodeHTML($piece;0)
        $decoded:=$decoded+VRX_DecodeHTML($encoded;0)
    End case
    $encodedSize:=$encodedSize+Length($encoded)
    If ($sample="")
      $sample:=Substring($encoded;1;60)
      $sample:=Replace string(Replace string($sample;"\r";"\\r");"\n";"\\n")
    End if
  End for
  $differs:=codec_first_difference($text;$decoded)
  If ($differs=0)
    ECHO($name+": "+String($encodedSize)+" characters encoded, round trip exact; begins "+$sample)
  Else
    ECHO($name+": "+String($encodedSize)+" characters encoded, round trip differs at character "+String($differs))
  End if
End for
