function Work(n: Integer): Integer;
var i, s: Integer; t: String;
begin
  s := 0;
  for i := 1 to n do
  begin
    t := Trim('  ' + IntToStr(i) + '  ');
    t := AnsiUpperCase(Copy(t + 'abc', 1, 4));
    s := s + Length(t) + Pos('A', t);
    t := FormatFloat('0.00', i / 3);
    s := s + Length(t);
    t := FormatDateTime('yyyy-mm-dd', EncodeDate(2000 + i mod 20, 1 + i mod 12, 1 + i mod 28));
    s := s + Length(t);
  end;
  Result := s;
end;

begin
end.
