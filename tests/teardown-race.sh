#!/usr/bin/env bash
# Holds open the engine's window in which a frame can reach a view being
# destroyed, and closes windows whose panes draw all the while: the windows'
# teardown must keep frames from it.
#
# Qt WebEngine 6.4's RenderWidgetHostViewQtDelegateItem gives itself its
# observer base's vtable, then unbinds that observer from the compositor; a
# frame the compositor thread delivers in between calls a pure virtual
# method. gdb stops the destructor at that call for 30 ms each time.
#
# usage: teardown-race.sh WINDOW_TESTS [TEARDOWNS]   (77: cannot be run here)
set -u
tests=$1
teardowns=${2:-8}
lib=$(ldd "$tests" | awk '/libQt6WebEngineCore/ {print $3}')
command -v gdb >/dev/null && command -v objdump >/dev/null && [ -n "$lib" ] || { echo "gdb, objdump or Qt WebEngine missing"; exit 77; }
# the destructor that unbinds, and its call of unbind, in the library's own addresses
dtor=$(nm -DC "$lib" | awk '/ T QtWebEngineCore::RenderWidgetHostViewQtDelegateItem::~RenderWidgetHostViewQtDelegateItem\(\)/ {print $1}' | sort -u | head -n 1)
unbind=$(nm -DC "$lib" | awk '/ T QtWebEngineCore::Compositor::Observer::unbind\(\)/ {print $1}' | head -n 1)
[ -n "$dtor" ] && [ -n "$unbind" ] || { echo "this Qt WebEngine has no such destructor"; exit 77; }
call=$(objdump -d --start-address=0x$dtor --stop-address=$(printf '0x%x' $((0x$dtor + 0x200))) "$lib" \
       | awk -v target="$(printf %x 0x$unbind)" '$0 ~ "call +" target {sub(":", "", $1); print $1; exit}')
[ -n "$call" ] || { echo "the destructor does not call unbind here"; exit 77; }
script=$(mktemp)
trap 'rm -f "$script"' EXIT
cat > "$script" <<GDB
set pagination off
set confirm off
handle SIGPIPE nostop noprint pass
handle SIG32 nostop noprint pass
handle SIG34 nostop noprint pass
break main
run
delete
python
import gdb
base = int(gdb.parse_and_eval("(long)&'QtWebEngineCore::Compositor::Observer::unbind'")) - 0x$unbind
gdb.execute("break *%d" % (base + 0x$call))
end
commands
silent
python import time; time.sleep(0.03)
continue
end
continue
GDB
out=$(TEARDOWNS=$teardowns gdb -q -batch -x "$script" --args "$tests" --gtest_filter='Teardown.*' 2>&1)
if grep -q "pure virtual method called" <<<"$out" || ! grep -q "PASSED" <<<"$out" || grep -q "FAILED" <<<"$out"; then
    grep -E "pure virtual|terminate|FAILED|Failure|error" <<<"$out" | head -n 20
    exit 1
fi
echo "$teardowns windows closed while their panes drew, none aborted"
