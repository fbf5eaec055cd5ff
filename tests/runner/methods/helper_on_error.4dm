// An error method: counts the errors and keeps the last code.
<>errors:=<>errors+1
<>lastError:=Error
