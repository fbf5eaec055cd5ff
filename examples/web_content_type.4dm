// The Content-Type of a file, from its extension.
C_TEXT($1;$0;$ext)
$ext:=$1
While (Position(".";$ext)>0)
  $ext:=Substring($ext;Position(".";$ext)+1)
End while
Case of
  : (($ext="html") | ($ext="htm"))
    $0:="text/html"
  : ($ext="txt")
    $0:="text/plain"
  : ($ext="gif")
    $0:="image/gif"
  : (($ext="jpg") | ($ext="jpeg"))
    $0:="image/jpeg"
  : ($ext="css")
    $0:="text/css"
  Else
    $0:="application/octet-stream"
End case
