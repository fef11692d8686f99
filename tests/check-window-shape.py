#!/usr/bin/env python3
"""Checks the shape the window keeps: frmMain a frame of at most 40 methods of
its own in a header of at most 150 lines, no part's file including frmMain.h,
and no function in window/ longer than 60 lines.

usage: check-window-shape.py SOURCE_DIR        (prints the counts; status 1 when one is over)
"""
import os
import re
import sys

src = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
window = os.path.join(src, "window")
errors = []


def code_of(text):
    """The text with comments and string literals blanked, lines kept."""
    out = re.sub(r'R"(\w*)\((?:.|\n)*?\)\1"', lambda m: "\n" * m.group(0).count("\n"), text)
    out = re.sub(r"//[^\n]*", "", out)
    out = re.sub(r"/\*(?:.|\n)*?\*/", lambda m: "\n" * m.group(0).count("\n"), out)
    out = re.sub(r'"(?:\\.|[^"\\\n])*"', '""', out)
    out = re.sub(r"'(?:\\.|[^'\\\n])'", "''", out)
    return out


header = open(os.path.join(window, "frmMain.h"), encoding="utf-8").read()
header_lines = header.count("\n")
# the class body, and in it every declaration of a member function (a name
# followed by its parameters, at the class's own brace depth)
body = code_of(header)
start = body.index("class frmMain")
depth, methods, i = 0, 0, body.index("{", start)
decl = ""
for ch in body[i:]:
    if ch == "{":
        depth += 1
        if depth == 2 and re.search(r"[A-Za-z_~][A-Za-z_0-9]*\s*\(", decl):
            methods += 1
        decl = ""
        continue
    if ch == "}":
        depth -= 1
        if depth == 0:
            break
        decl = ""
        continue
    if depth == 1:
        if ch == ";":
            if re.search(r"[A-Za-z_~][A-Za-z_0-9]*\s*\([^()]*(\([^()]*\)[^()]*)*\)\s*(const)?\s*(override)?\s*(=\s*\w+)?\s*$",
                         decl.strip()) and not re.match(r"\s*(static\s+constexpr|using|friend)", decl):
                methods += 1
            decl = ""
        elif ch == ":" and re.search(r"(public|private|protected|signals)\s*$", decl):
            decl = ""
        else:
            decl += ch
print("frmMain.h lines %d, methods %d" % (header_lines, methods))
if header_lines > 150:
    errors.append("frmMain.h has %d lines (150 at most)" % header_lines)
if methods > 40:
    errors.append("frmMain has %d methods of its own (40 at most)" % methods)

longest = (0, "")
for name in sorted(os.listdir(window)):
    if not name.endswith((".cpp", ".h")):
        continue
    text = open(os.path.join(window, name), encoding="utf-8").read()
    if name not in ("frmMain.cpp", "frmMain.h", "Keys.cpp", "Start.cpp", "Start.h", "main.cpp") and '"window/frmMain.h"' in text:
        errors.append("%s includes frmMain.h" % name)
    code = code_of(text)
    # every function body: a brace after a parameter list, not inside another function
    stack = []  # the kind of each open brace: "scope" (namespace, class) or "function" or "block"
    for m in re.finditer(r"[{}]", code):
        if m.group() == "}":
            kind, opened = stack.pop()
            if kind == "function" and all(k == "scope" for k, _ in stack):
                lines = code[opened:m.start()].count("\n") - 1
                where = "%s:%d" % (name, code[:opened].count("\n") + 1)
                if lines > longest[0]:
                    longest = (lines, where)
                if lines > 60:
                    errors.append("%s: a function of %d lines (60 at most)" % (where, lines))
            continue
        head = code[max(0, m.start() - 300):m.start()]
        head = head[max(head.rfind(";"), head.rfind("}"), head.rfind("{")) + 1:]
        if re.search(r"\b(namespace|class|struct|union|enum)\b[^()]*$", head) or re.search(r'extern\s*""\s*$', head):
            stack.append(("scope", m.end()))
        elif re.search(r"\)\s*(const\s*)?(override\s*)?(noexcept\s*)?(->\s*[\w:<>&*, ]+)?(:[^;]*)?$", head, re.S):
            stack.append(("function", m.end()))
        else:
            stack.append(("block", m.end()))
print("longest function in window/: %d lines (%s)" % longest)
for e in errors:
    print("window shape: " + e)
sys.exit(1 if errors else 0)
