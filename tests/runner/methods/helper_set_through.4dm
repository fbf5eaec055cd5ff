// Sets the variable $1 points to.
C_POINTER($1)
$1->:=$2
