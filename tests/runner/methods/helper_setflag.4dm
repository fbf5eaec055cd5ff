<>flag:=True
