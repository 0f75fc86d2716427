#!/usr/bin/env bash
# The layer check against small trees: one include against each rule must fail it, a tree that
# keeps the rules must pass.
set -uo pipefail
check="$(cd "$(dirname "$0")/.." && pwd)/scripts/check_layers.sh"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

failures=0
# expect STATUS NAME FILE LINE: a tree holding the allowed files plus FILE with LINE.
expect() {
    local want=$1 name=$2 file=$3 line=$4
    rm -rf "$root/tree" && mkdir -p "$root/tree/src/platform" "$root/tree/src/core" "$root/tree/src/app"
    printf '#include <string>\n' >"$root/tree/src/platform/file.h"
    printf '#include "platform/file.h"\n' >"$root/tree/src/core/entry_file.h"
    printf '#include "core/entry_file.h"\n#include "platform/file.h"\n#include <windows.h>\n' \
        >"$root/tree/src/app/main_win.cpp"
    mkdir -p "$(dirname "$root/tree/$file")"
    printf '%s\n' "$line" >>"$root/tree/$file"
    local status=0
    "$check" "$root/tree" >/dev/null 2>&1 || status=1
    if [[ $status != "$want" ]]; then
        echo "FAIL: $name (exit $status, expected $want)"
        failures=$((failures + 1))
    else
        echo "ok: $name"
    fi
}

expect 0 "app on core and platform, core on platform" src/app/x.h '#include "core/resolve.h"'
expect 1 "platform on core" src/platform/window_win.h '#include "core/entry_list.h"'
expect 1 "platform on app" src/platform/panel_win.cpp '#  include "app/texts.h"'
expect 1 "core on app" src/core/resolve.cpp '#include "app/launcher_layout.h"'
expect 1 "core on windows.h" src/core/docking.cpp '#include <windows.h>'
expect 1 "core on the Win32 kit" src/core/entry_list.h '#include "platform/window_win.h"'
expect 1 "a way round the layers" src/platform/codepage.cpp '#include "../app/texts.h"'
expect 1 "a file outside the layers" src/store/entry_file.h '#include <string>'

echo "$((8 - failures)) passed, $failures failed"
((failures == 0))
