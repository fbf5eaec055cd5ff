// Splits an http:// URL into an object {host; port; path}: the port is 80 unless the
// URL names one, the path "/" unless it has one; an IPv6 address stays in its brackets.
#DECLARE($url : Text) -> $target : Object

var $rest; $host : Text
var $slash; $colon : Integer

ASSERT(Position("http://"; $url)=1; "only http:// URLs: "+$url)
$rest:=Substring($url; 8)
$slash:=Position("/"; $rest)
$host:=($slash=0) ? $rest : Substring($rest; 1; $slash-1)
$target:={host: $host; port: 80; path: ($slash=0) ? "/" : Substring($rest; $slash)}
$colon:=(Position("["; $host)=1) ? Position("]:"; $host)+1 : Position(":"; $host)
If ($colon>1)
	$target.port:=Num(Substring($host; $colon+1))
	$target.host:=Substring($host; 1; $colon-1)
End if
