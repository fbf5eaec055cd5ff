ON ERR CALL("Handler";ek global)
$r:=Try($o.missing.deeper)
Try
  throw({errCode: 1; message: "Hello {who}"; who: "you"; deferred: True})
  throw(50042;"custom")
Catch
  $e:=Last errors
  throw
End try
ECHO(Method called on error(ek local))
