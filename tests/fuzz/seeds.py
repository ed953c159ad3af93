#!/usr/bin/env python3
"""Writes the seed inputs of every fuzz target into corpus/<target>/seed-*.

Seeds are taken from the test fixtures; run again after a fixture changes. Inputs kept from
findings (corpus/<target>/crash-*, regress-*) are left alone.
"""
import os
import re

here = os.path.dirname(os.path.abspath(__file__))
top = os.path.dirname(os.path.dirname(here))


def fixture(path):
    with open(os.path.join(top, path), encoding="utf-8") as f:
        return f.read()


def c_literals(text):
    """The C string literals of a fixture, concatenated per statement."""
    out = []
    for raw in re.findall(r'R"\((.*?)\)"', text, re.S):
        out.append(raw)
    for m in re.findall(r'((?:"(?:[^"\\\n]|\\.)*"\s*)+)', text):
        parts = re.findall(r'"((?:[^"\\\n]|\\.)*)"', m)
        s = "".join(parts)
        s = s.encode("latin-1", "backslashreplace").decode("unicode_escape").encode("latin-1", "replace").decode("utf-8", "replace")
        out.append(s)
    return out


def write(target, seeds):
    folder = os.path.join(here, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    for name in os.listdir(folder):
        if name.startswith("seed-"):
            os.remove(os.path.join(folder, name))
    seen = set()
    n = 0
    for s in seeds:
        data = s if isinstance(s, bytes) else s.encode("utf-8")
        if data in seen or not data:
            continue
        seen.add(data)
        with open(os.path.join(folder, "seed-%03d" % n), "wb") as f:
            f.write(data)
        n += 1


# Script programs: each golden program, and each formula as a text of its own.
programs = fixture("tests/script/compiler/data/programs.txt")
cases = re.split(r"^### .*$", programs, flags=re.M)[1:]
script_seeds = []
for case in cases:
    lines = case.strip("\n").split("\n")
    body = []
    for line in lines:
        if line.startswith((">>> ", "!!! ")):
            if line.startswith(">>> "):
                script_seeds.append(line[4:].split(" ==> ")[0])
            continue
        body.append(line)
    script_seeds.append("\n".join(body))
write("script", script_seeds)

write("comptext", [s for s in c_literals(fixture("tests/platform/classes/streaming_test.cpp"))
                   + c_literals(fixture("tests/platform/data/comptext_test.cpp"))
                   if re.match(r"\s*(object|inherited|inline)\b", s)])

write("keyscript",
      [s for s in c_literals(fixture("tests/reports/lang/parser_test.cpp"))
       + c_literals(fixture("tests/reports/lang/interpreter_test.cpp")) if s.startswith("-")]
      + ["-MES a -PARAMFILE f1.txt -MES b\n====\n-MES inside -PARAMFILE f2.txt\n====\n-HEAD SHOWING On",
         "-PARAMFILE f1.txt\n====\n-PARAMFILE f1.txt",
         "-SET X 1 -MES %X% -GOTO 0"])

filters = [m for m in re.findall(r'\{"([^"]*)", "[0-9,]*"\}', fixture("tests/platform/data/memdataset_test.cpp"))]
write("filter", filters + ["ID >", "NOPE = 1", "[NAME] = \"NAME\"", "ID + 1 * 2 - -3 / 4 || 'x' = '5x'"])

write("sqlparams", c_literals(fixture("tests/platform/data/sqlparams_test.cpp"))
      + ["/* :C /* nested :N */ */ select :D", "select :\"my name\", :\"unclosed"])

ini = c_literals(fixture("tests/platform/rtl/inifiles_test.cpp"))
write("ini", [s for s in ini if "[" in s or "=" in s]
      + [b"\xef\xbb\xbf[a]\nk=v\n", b"\xff\xfe[\x00a\x00]\x00\n\x00k\x00=\x00v\x00\n\x00"])

reg = c_literals(fixture("tests/platform/rtl/registry_test.cpp"))
write("regstore", [s for s in reg if s.startswith(("key ", "# orv"))]
      + ["# orv registry 1\nkey \"HKEY_CURRENT_USER\\A\"\nvalue \"n\" sz \"%41\"\n"
         "value \"m\" multi \"a\" \"b\"\nvalue \"q\" qword -1\nvalue \"t\" type9 hex:00ff\n"])

fmt = c_literals(fixture("tests/platform/rtl/format_test.cpp"))
write("format", [s for s in fmt if any(c in s for c in "%#0dmyhns")][:200])

text = c_literals(fixture("tests/platform/rtl/numbers_test.cpp")) + c_literals(
    fixture("tests/platform/rtl/datetime_text_test.cpp"))
write("strto", [s for s in text if len(s) < 40][:200]
      + ["5", "0503", "05.03.21", "5/3", "A1(2|TOEND);B", "L~q:A.NAME?p=v", "$FFFFFFFF", "1e308"])

fs = c_literals(fixture("tests/reports/output/format_string_test.cpp"))
write("repformat", [b"\x00" + x.encode("utf-8") for x in fs if "[" in x or "\\" in x]
      + [b"\x01{\\rtf1 \\cf12 x\\highlight3 y\\clcbpatraw-4 }", b"\x02[?V + 'x']",
         b"\x10<b>[L5;[=V]]</b>"])

lists = c_literals(fixture("tests/platform/rtl/stringlist_test.cpp"))
write("textfile", [x for x in lists if any(c in x for c in ',;"\r\n')][:150]
      + [b"\xef\xbb\xbfa,b\r\n", b"\xff\xfea\x00,\x00b\x00", "Привет,\"мир\"".encode("cp1251")])

masks = re.findall(r'\{"([^"]*)", "([^"]*)", "[^"]*", "[^"]*", -?\d+\}',
                   fixture("tests/platform/dbctrls/mask_test.cpp"))
write("editmask", [(m.encode("latin-1").decode("unicode_escape") + "\n====\n" + v) for m, v in masks])

import zlib
write("zstream", [zlib.compress(b"text " * 50), zlib.compress("Привет".encode("utf-8"), 0),
                  zlib.compress(b"abc")[:-3], zlib.compress(b"a") + b"x", b"x\x9c"])

write("codepage", [bytes(range(256)), "Привет, мир ё Ё №".encode("utf-8"),
                   "Привет".encode("utf-16-le")])


# Regression inputs of hostile shapes, far beyond any native stack or quadratic budget.
def regress(target, name, data):
    folder = os.path.join(here, "corpus", target)
    with open(os.path.join(folder, "regress-" + name), "wb") as f:
        f.write(data.encode("utf-8") if isinstance(data, str) else data)


regress("filter", "deep-parentheses", "(" * 9000 + "ID = 1" + ")" * 9000)
regress("filter", "not-chain", "NOT " * 20000 + "ID = 1")
regress("filter", "minus-chain", "ID = " + "-" * 20000 + "1")
regress("filter", "or-chain", " OR ".join("ID = %d" % i for i in range(31000)))
regress("filter", "and-plus-chain", " AND ".join(["ID + " + " + ".join(["1"] * 200) + " > 0"] * 150))
regress("comptext", "deep-objects", "object A: T\n" * 25000 + "end\n" * 25000)
regress("comptext", "deep-lists", "object A: TComponent\n  Tag = " + "(" * 25000 + ")" * 25000 + "\nend\n")
regress("comptext", "deep-collections", "object A: TComponent\n  P = " + "<item P = " * 10000)
regress("regstore", "deep-key", "key \"HKEY_CURRENT_USER" + "\\k" * 20000 + "\"\nvalue \"v\" dword 1\n")
regress("sqlparams", "many-names", "select " + ", ".join(":P%d" % i for i in range(20000)))
regress("script", "deep-parentheses-short", "begin x := " + "(" * 100 + "1" + ")" * 100 + "; end.")
deep = 20000
for name, statement in [
        ("deep-parentheses", "x := " + "(" * deep + "1" + ")" * deep + ";"),
        ("unary-minus-chain", "x := " + "- " * deep + "1;"),
        ("not-chain", "x := " + "not " * deep + "True;"),
        ("nested-calls", "x := " + "G(" * deep + "1" + ")" * deep + ";"),
        ("nested-sets", "x := " + "[" * deep + "]" * deep + ";"),
        ("nested-blocks", "begin " * deep + "end " * deep + ";"),
        ("if-chain", "if True then " * deep + "x := 1;"),
        ("while-chain", "while False do " * deep + "x := 1;"),
        ("repeat-chain", "repeat " * deep + "until True; " * deep)]:
    regress("script", name, "function G(x: Integer): Integer; begin Result := x; end;\n"
            "procedure Deep;\nvar x: Variant;\nbegin\n" + statement + "\nend;\nbegin Deep; end.")
regress("script", "nested-routines", "procedure Outer;\n"
        + "".join("procedure Inner%d; " % i for i in range(deep)) + "begin end; " * deep
        + "begin end;\nbegin end.")
regress("script", "endless-while", "begin while True do ; end.")
regress("script", "long-for", "var i: Integer; begin for i := 1 to 2000000000 do ; end.")
regress("script", "doubling-text", "var s: String; begin s := 'ab'; while True do s := s + s; end.")
regress("repformat", "deep-brackets", "\x00" + "[L5;" * deep + "x" + "]" * deep)
regress("repformat", "huge-widths", "\x00[M2000000000;ab][L2000000000;x][E2000000000;a b;]"
        "[A2000000000;l;c;r][W2000000000;n;L;*;abc][&2000000000;n]")
regress("textfile", "nul-in-delimited-text", b"a\x00b,\x00")
