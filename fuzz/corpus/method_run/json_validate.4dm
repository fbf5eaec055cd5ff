ECHO(JSON Stringify(JSON Validate({a: {b: 0}}; {definitions: {pos: {type: "number"; exclusiveMinimum: 0}}; properties: {a: {properties: {b: {"$ref": "#/definitions/pos"}}}}})))
var $r : Object
$r:=Try(JSON Validate({}; {type: 5}))
ECHO(String($r=Null)+" "+Last errors[0].message)
$r:=JSON Validate({}; {"$ref": "#"})
