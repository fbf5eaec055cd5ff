[T
[T:]F
[T:1]F:
[T]F G:2 x
A:C
B:K1
C:K1:
D:P1
12ab:C3
[:1]
