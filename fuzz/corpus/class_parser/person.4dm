//Class: Person
property nick : Text:="none"
Class constructor($first : Text; $last : Text)
	This.first:=$first
	This.last:=$last
Function get full() -> $full : Text
	$full:=This.first+" "+This.last
Function set full($v : Text)
	This.first:=$v
Function hello()->$w : Text
	$w:="Hello "+This.full
