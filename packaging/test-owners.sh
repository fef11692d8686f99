#!/usr/bin/env bash
# The owner check of check-package.sh on files made for it: a file a package
# of the closure owns passes, one of a package outside it fails, a data file
# no package owns (as the machine makes the locale archive) passes, a library
# no package owns fails.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/owners.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
expect() {  # expect pass|fail WHAT FILE CLOSURE-PACKAGES...
    local want=$1 what=$2 file=$3
    shift 3
    printf '%s\n' "$file" >"$tmp/system"
    printf '%s\n' "$@" >"$tmp/closure"
    local got=pass
    owners_judge "$tmp/system" "$tmp/closure" >"$tmp/out" || got=fail
    if [ "$got" != "$want" ]; then
        echo "FAILED: $what: expected $want, got $got ($(cat "$tmp/out"))"
        status=1
    else
        echo "ok: $what"
    fi
}
dpkg_bin=$(command -v dpkg)
expect pass "a file of a package in the closure" "$dpkg_bin" libc6 dpkg
expect fail "a file of a package outside the closure" "$dpkg_bin" libc6
mkdir -p "$tmp/fontconfig"
printf 'cache\n' >"$tmp/fontconfig/0123-le64.cache-8"
expect pass "a cache no package owns" "$tmp/fontconfig/0123-le64.cache-8" libc6
printf 'data\n' >"$tmp/icudt72l.dat"
expect fail "a data file no package owns that is no cache" "$tmp/icudt72l.dat" libc6
cp "$(readlink -f "$dpkg_bin")" "$tmp/stray.cache"
expect fail "a library no package owns, named as a cache" "$tmp/stray.cache" libc6 dpkg
[ $status -eq 0 ] && echo "owner check: every case as expected"
exit $status
