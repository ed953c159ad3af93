-- A scripts view shaped like an installation's, for the host benchmark when the demo holds
-- few scripts: 60 screen scripts of about 60 lines (actions, function-component trees, code
-- with loops, conditions, concatenation and calls) and one system unit.
--   psql -h HOST -U postgres -c 'CREATE DATABASE scripthost'
--   psql -h HOST -U postgres -d scripthost -f bench/scripthost/fixture.sql
--   bench_scripthost --db scripthost scripts_v
DROP TABLE IF EXISTS scripts CASCADE;
CREATE TABLE scripts (rootid varchar(64), script text);
CREATE VIEW scripts_v AS SELECT rootid AS "ROOTID", script AS "SCRIPT" FROM scripts;
INSERT INTO scripts VALUES (':Bench', $$// Shared routines of the benchmark screens.
function Twice(x: Integer): Integer;
begin
  Result := x * 2;
end;

function Titled(Name: String; N: Integer): String;
begin
  if N > 0 then
    Result := Name + ' #' + IntToStr(N)
  else
    Result := Name;
end;
begin$$);
INSERT INTO scripts
SELECT 'SCREEN' || n, format($$// Screen %1$s: actions and a function-component tree.
!Actions%1$s:TActionList
object Open%1$s: TAction
  Caption = 'Открыть %1$s'
  Hint = 'Открыть запись'
  OnExecute = OpenExecute
end
object Close%1$s: TAction
  Caption = 'Закрыть'
  Enabled = False
end
:
procedure T.OpenExecute(Sender: TObject);
var i: Integer;
  s: String;
begin
  s := '';
  for i := 1 to 10 do
  begin
    if i mod 2 = 0 then
      s := s + IntToStr(i)
    else
      s := s + '-';
  end;
  s := Titled(s, Twice(%1$s));
end;
begin end;
:
!Calc%1$s:TY
AfterIt = CalcAfter
BeforeIt = CalcBefore
object Step%1$s: TY
  OnResult = 1
  object Inner%1$s: TY
    OnResult = -1
  end
end
:
function T.CalcBefore(Sender: TY; Args: TYA; Res: Integer): Integer;
begin
  Result := 0;
end;

function T.CalcAfter(Sender: TY; Args: TYA; Res: Integer): Integer;
var k: Integer;
begin
  Result := 0;
  k := 0;
  while k < 5 do
    k := k + 1;
  if k > 3 then
    Result := Twice(k) - k * 2
  else
    Result := Length(Titled('x', k));
end;
begin end;
:$$, n)
FROM generate_series(1, 60) AS n;
