$0:=<>shared
