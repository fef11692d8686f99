# Sourced by check-package.sh: who brings the system files a running program
# maps.
#
# owners_judge SYSTEM CLOSURE: SYSTEM lists files (one a line), CLOSURE the
# packages apt-get install of the package brings. Each file must be owned by
# a package of CLOSURE (the file, where its link leads, or the same path
# with or without /usr). A file no package owns passes only when the machine
# makes such files itself (owners_generated: the locale archive of locale-gen
# and localedef, caches) and it is not a program or a library (no ELF
# header): no package could bring it. Prints a line for each file that fails; status 1 if any.
# The files a machine makes for itself: the locale archive, the loader's and
# fontconfig's caches, other caches.
owners_generated() {
    case $1 in
        /usr/lib/locale/locale-archive | /etc/ld.so.cache | */fontconfig/* | *.cache | */gconv-modules.cache) return 0 ;;
        *) return 1 ;;
    esac
}

owners_judge() {
    local system=$1 closure=$2 line path pkgs f g owner bad=0
    declare -A owner_of=()
    while IFS= read -r line; do
        path=/${line#*: /}
        pkgs=${line%%: /*}
        owner_of[$path]=${pkgs%%[:,]*}
    done < <(while read -r f; do printf '%s\n' "$f" "$(readlink -f "$f")" "${f#/usr}" "/usr$f"; done <"$system" |
             sort -u | xargs -r -d '\n' dpkg-query -S 2>/dev/null | grep -v '^diversion' || true)
    while read -r f; do
        owner=""
        for g in "$f" "$(readlink -f "$f")" "${f#/usr}" "/usr$f"; do
            owner=${owner_of[$g]:-}
            [ -z "$owner" ] || break
        done
        if [ -z "$owner" ]; then
            if ! owners_generated "$f" || [ "$(head -c 4 "$f" 2>/dev/null | od -An -c | tr -d ' ')" = '177ELF' ]; then
                echo "no package owns $f"; bad=1
            fi
        elif ! grep -qx "$owner" "$closure"; then
            echo "$f: $owner is not brought by the Depends"; bad=1
        fi
    done <"$system"
    return $bad
}
