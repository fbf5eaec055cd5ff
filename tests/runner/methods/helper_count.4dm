$0:=String(Count parameters)
