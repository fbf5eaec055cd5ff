vCounter:=vCounter+1
