function Fib(n: Integer): Integer;
begin
  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2);
end;

function Loops(n: Integer): Integer;
var i, j, s: Integer;
begin
  s := 0;
  for i := 1 to n do
    for j := 1 to n do
      s := s + (i * j) mod 7;
  Result := s;
end;

function Appends(n: Integer): Integer;
var i: Integer; s: String;
begin
  s := '';
  for i := 1 to n do s := s + 'x';
  Result := s;
end;

begin
end.
