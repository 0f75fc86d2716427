#!/usr/bin/env bash
# Fails when an include points up a layer. The layers, bottom first: src/platform (portable seams
# and the Win32 kit), src/core (portable: no window system), src/app (the program). Allowed:
# app -> core -> platform, app -> platform. Every source file lives in one of the three.
# Checks the tree at $1 (default: this repository).
set -uo pipefail
cd "${1:-$(dirname "$0")/..}" || exit 1

failures=0
report() {
    echo "check_layers: $1" >&2
    failures=$((failures + 1))
}

# forbid FOLDER PATTERN WHY: every include in FOLDER matching the extended regex PATTERN fails.
forbid() {
    local hits
    hits=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*$2" "$1" 2>/dev/null)
    if [[ -n $hits ]]; then
        while IFS= read -r hit; do
            report "$hit ($3)"
        done <<<"$hits"
    fi
}

forbid src/platform '"(core|app)/' "platform is the bottom layer"
forbid src/core '"app/' "core does not know the program"
forbid src/core '(<windows\.h>|<ole2\.h>|<commctrl\.h>|"[^"]*_win\.h")' "core is portable"
forbid src/platform '"\.\./' "no way round the layers"
forbid src/core '"\.\./' "no way round the layers"

# A file and its header are one unit (x.h with x.cpp, x_win.cpp or x_posix.cpp): no two units may
# need each other, however many files lie between them.
unit() {
    local path=${1%.*} shared
    shared=$(sed -E 's/_(win|posix)$//' <<<"$path")
    [[ $1 == *.cpp && ! -e $path.h && -e $shared.h ]] && path=$shared
    echo "$path"
}
while IFS= read -r loop; do
    report "include loop through $loop"
done < <(
    grep -rnoE '^#include "(platform|core|app)/[^"]+"' src | while IFS=: read -r file _ include; do
        included=${include#*\"}
        from=$(unit "$file")
        to=$(unit "src/${included%\"}")
        [[ $from != "$to" ]] && echo "$from $to"
    done | tsort 2>&1 >/dev/null | sed -n 's/^tsort: \([^-]\)/\1/p'
)

while IFS= read -r file; do
    report "$file lies outside src/platform, src/core and src/app"
done < <(find src -type f \( -name '*.cpp' -o -name '*.h' \) | grep -vE '^src/(platform|core|app)/')

if ((failures > 0)); then
    echo "check_layers: $failures include(s) or file(s) against the layers" >&2
    exit 1
fi
echo "check_layers: src/app -> src/core -> src/platform, nothing points up"
