#!/usr/bin/env python3
"""Checks that every place that shows the program's version shows the one of
project(mushaf VERSION ...): the help page and its generated HELP table (in
Persian digits), mushaf-cli --version, the generated Version.h, the newest
release of the AppStream metadata and the newest entry of the Debian changelog.

usage: check-version.py VERSION BUILD_DIR MUSHAF_CLI
(registered as the CTest test check_version)
"""
import os
import re
import subprocess
import sys

version, build, cli = sys.argv[1:4]
src = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
errors = []

persian = version.translate(str.maketrans("0123456789.", "۰۱۲۳۴۵۶۷۸۹٫"))
# the help page writes its title with tatweels between the letters
heading = "نـسـخـهٔ " + persian
with open(os.path.join(src, "data/source/help.html"), encoding="utf-8") as f:
    help_page = f.read()
found = re.findall("نـسـخـهٔ ([۰-۹٫]+)", help_page)
if found != [persian]:
    errors.append("help.html gives the version(s) %s, expected %s" % (found, persian))
with open(os.path.join(src, "data/tables/HELP"), "rb") as f:
    if heading not in f.read().decode("utf-16-le"):
        errors.append("the HELP table lacks %r: run python3 data/generate.py" % heading)

out = subprocess.run([cli, "--version"], capture_output=True, text=True)
if out.returncode != 0 or out.stdout != "mushaf-cli %s\n" % version:
    errors.append("mushaf-cli --version: %r (status %d)" % (out.stdout, out.returncode))

with open(os.path.join(build, "version/Version.h")) as f:
    if '#define MUSHAF_VERSION "%s"' % version not in f.read():
        errors.append("Version.h does not define MUSHAF_VERSION as %s" % version)

with open(os.path.join(src, "packaging/io.github.mushaf.Mushaf.metainfo.xml"), encoding="utf-8") as f:
    releases = re.findall(r'<release version="([^"]+)"', f.read())
if not releases or releases[0] != version:
    errors.append("the metainfo's newest release is %s, expected %s" % (releases[:1], version))

with open(os.path.join(src, "packaging/changelog"), encoding="utf-8") as f:
    first = f.readline()
if not first.startswith("mushaf (%s) " % version):
    errors.append("the changelog's newest entry is %r, expected version %s" % (first.strip(), version))

for e in errors:
    print("check-version: " + e, file=sys.stderr)
if not errors:
    print("version %s everywhere" % version)
sys.exit(1 if errors else 0)
