#!/usr/bin/python3
"""The reader as a screen reader hears it, through AT-SPI (pyatspi).

Run under a session bus and an X server (tests/atspi-test.sh does both):
    atspi-test.py PROGRAM
PROGRAM is mushaf-automation; it is started with accessibility on, waits,
moves to 2:5, waits, searches, waits and ends. Meanwhile this script reads
the controls' names and the panes' text, and hears what is said after the
move and the search. It prints the tree it read and what was said, and
exits 1 at the first thing missing.
"""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

APP = "mushaf-automation"
failures = []


def check(ok, what):
    print(("ok      " if ok else "MISSING ") + what)
    if not ok:
        failures.append(what)


def find_app(wait=90):
    end = time.time() + wait
    seen = set()
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None:
                seen.add(app.name)
            if app is not None and app.name == APP:
                return app
        time.sleep(0.3)
    print("applications on the bus: %s" % sorted(seen))
    return None


def walk(node, out, parent_name=""):
    try:
        node.clear_cache()  # as it is now, not as first read
        role, name, children = node.getRoleName(), node.name or "", node.childCount
    except Exception:
        return
    text = ""
    try:
        t = node.queryText()
        text = t.getText(0, t.characterCount)
    except NotImplementedError:
        pass
    except Exception:
        pass
    try:
        attributes = dict(a.split(":", 1) for a in node.getAttributes() if ":" in a)
    except Exception:
        attributes = {}
    out.append({"node": node, "role": role, "name": name, "text": text, "parent": parent_name,
                "description": node.description or "", "attributes": attributes})
    for i in range(min(children, 2000)):
        child = node.getChildAtIndex(i)
        if child is not None:
            walk(child, out, name or parent_name)


def document_text(nodes, pane):
    """All the text of the document under the view named `pane`."""
    texts, inside = [], False
    for n in nodes:
        if n["role"] == "document web":
            inside = n["parent"] == pane
            continue
        if inside:
            texts.append(n["name"] or n["text"])
    return " ".join(texts)


def subtree_text(node):
    nodes = []
    walk(node, nodes)
    return " ".join(n["name"] or n["text"] for n in nodes)


def current_ayah(nodes):
    """The text of the element named as the current ayah."""
    for n in nodes:
        if n["name"].startswith("آیهٔ جاری: "):
            return n["name"]
    return ""


def read_tree(app, until, want):
    """The tree, read again until `want(nodes)` holds or `until` passes."""
    while True:
        nodes = []
        try:
            walk(app, nodes)
        except Exception:
            nodes = []
        if want(nodes) or time.time() > until:
            return nodes
        time.sleep(0.5)


def main():
    program = sys.argv[1]
    home = tempfile.mkdtemp()
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QTWEBENGINE_DISABLE_SANDBOX="1",
               XDG_DATA_HOME=home, XDG_CONFIG_HOME=home)
    # the accessibility bus (and its registry) up before the reader starts: the
    # session bus starts it when first asked for, here
    end = time.time() + 30
    while True:
        try:
            pyatspi.Registry.getDesktop(0).childCount
            break
        except Exception:
            if time.time() > end:
                raise
            time.sleep(0.5)
    # (the reader is ended once all is read and heard)
    actions = ["wait:15000", "slider:12", "wait:4000", "key:F3", "type:txtSearch:الله", "button:cmdSearch", "wait:25000"]
    args = [program, "--settings", os.path.join(home, "s.ini"), "--translations", os.path.join(home, "tr"),
            "--dump-state"]
    for a in actions:
        args += ["--do", a]
    started = time.time()
    reader = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        app = find_app()
        check(app is not None, "the reader is on the accessibility bus")
        if app is None:
            return 1
        # before the move: the controls' names and the first page's text
        page_has_text = lambda nodes: "الحمد لله رب العالمين" in document_text(nodes, "صفحهٔ قرآن")
        every_pane = lambda nodes: (page_has_text(nodes) and "به نام خدا" in document_text(nodes, "ترجمه")
                                    and "بقره" in document_text(nodes, "فهرست سوره‌ها"))
        nodes = read_tree(app, started + 12, every_pane)
        roles = {}
        for n in nodes:
            roles[n["role"]] = roles.get(n["role"], 0) + 1
        controls = [n for n in nodes if n["role"] in ("text", "scroll bar", "push button", "radio button")]
        unnamed = [n["role"] for n in controls if not n["name"].strip()]
        print("tree: %d objects, %d controls (%d unnamed), %d documents" % (
            len(nodes), len(controls), len(unnamed), roles.get("document web", 0)))
        names = {n["name"] for n in nodes}
        for name in ("سوره", "آیه", "جزء", "صفحه", "جستجوی سوره", "متن جستجو", "جای آیه در قرآن", "جای صفحه در قرآن",
                     "شروع جستجو", "جستجو در ترجمه", "صفحهٔ قرآن", "ترجمه", "فهرست سوره‌ها"):
            check(name in names, "a control named " + name)
        check(not [n for n in nodes if n["role"] in ("text", "scroll bar") and not n["name"].strip()],
              "every box and slider has a name")
        page = document_text(nodes, "صفحهٔ قرآن")
        check(page_has_text(nodes), "the page's text reaches the screen reader: " + page[:80])
        translation = document_text(nodes, "ترجمه")
        check("به نام خدا" in translation, "the translation's text: " + translation[:80])
        check("بقره" in document_text(nodes, "فهرست سوره‌ها"), "the surah index's text")
        check("بسم الله الرحمن الرحيم" in current_ayah(nodes), "the current ayah is marked as current: " + current_ayah(nodes))

        # the move and the search: what the screen reader is told
        said = []

        # as a screen reader hears a notification: it shows, and its name is said
        def heard(event):
            try:
                event.source.clear_cache()  # the name as it is now, not as first read
                role, name = event.source.getRoleName(), event.source.name
            except Exception:
                return
            if os.environ.get("ATSPI_TRACE") and role == "notification":
                print("event %.1f" % (time.time() - started), event.type, event.detail1, role, name[:80])
            if role == "notification" and event.detail1 == 1:
                said.append(name)

        pyatspi.Registry.registerEventListener(heard, "object:state-changed:showing")

        def enough():
            # both said, or the reader near its end
            if (any("آیهٔ ۵" in s for s in said) and any("یافت" in s for s in said)) or time.time() > started + 40:
                pyatspi.Registry.stop()
                return False
            return True

        GLib.timeout_add(300, enough)
        pyatspi.Registry.start()
        pyatspi.Registry.deregisterEventListener(heard, "object:state-changed:showing")
        announcements = [s for s in said if s.startswith("سورهٔ") or "یافت" in s]
        for s in announcements:
            print("said: " + s[:160])
        check(any(s.startswith("سورهٔ بقره، آیهٔ ۵: اولئك على هدى من ربهم") and "رستگار" in s for s in announcements),
              "a move says the surah, the ayah, its text and its translation")
        check(any(s.endswith("مورد یافت شد") for s in announcements), "a search says how many it found")
        nodes = read_tree(app, time.time() + 5, lambda nodes: "اولئك على هدى" in current_ayah(nodes))
        check("اولئك على هدى" in current_ayah(nodes), "the current ayah after the move: " + current_ayah(nodes))
        sliders = [n for n in nodes if n["role"] == "scroll bar" and n["name"] == "جای آیه در قرآن"]
        check(bool(sliders) and sliders[0]["description"] == "سورهٔ بقره، آیهٔ ۵", "the slider says where it stands")
    finally:
        reader.terminate()
        reader.wait(timeout=30)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
