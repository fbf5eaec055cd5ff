$1:="changed"
