#!/usr/bin/env bash
# The layer check against small trees: one include against each rule must fail it, a tree that
# keeps the rules must pass.
set -uo pipefail
check="$(cd "$(dirname "$0")/.." && pwd)/scripts/check_layers.sh"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

failures=0
# expect STATUS NAME FILE LINE [FILE LINE]...: a tree holding the allowed files plus each FILE
# with its LINE.
expect() {
    local want=$1 name=$2
    rm -rf "$root/tree" && mkdir -p "$root/tree/src/platform" "$root/tree/src/core" "$root/tree/src/app"
    printf '#include <string>\n' >"$root/tree/src/platform/file.h"
    printf '#include "platform/file.h"\n' >"$root/tree/src/core/entry_file.h"
    printf '#include "core/entry_file.h"\n#include "platform/file.h"\n#include <windows.h>\n' \
        >"$root/tree/src/app/main_win.cpp"
    shift 2
    while (($# >= 2)); do
        mkdir -p "$(dirname "$root/tree/$1")"
        printf '%s\n' "$2" >>"$root/tree/$1"
        shift 2
    done
    local status=0
    "$check" "$root/tree" >/dev/null 2>&1 || status=1
    if [[ $status != "$want" ]]; then
        echo "FAIL: $name (exit $status, expected $want)"
        failures=$((failures + 1))
    else
        echo "ok: $name"
    fi
}

expect 0 "app on core and platform, core on platform" src/app/x.h '#include "core/keyword_match.h"'
expect 1 "platform on core" src/platform/window_win.h '#include "core/entry_list.h"'
expect 1 "platform on app" src/platform/panel_win.cpp '#  include "app/texts.h"'
expect 1 "core on app" src/core/keyword_match.cpp '#include "app/launcher_layout.h"'
expect 1 "core on windows.h" src/core/docking.cpp '#include <windows.h>'
expect 1 "core on the Win32 kit" src/core/entry_list.h '#include "platform/window_win.h"'
expect 1 "a way round the layers" src/platform/codepage.cpp '#include "../app/texts.h"'
expect 1 "a file outside the layers" src/store/entry_file.h '#include <string>'
expect 1 "two units of one layer that need each other" \
    src/app/summon_win.cpp '#include "app/launcher_window_win.h"' \
    src/app/launcher_window_win.h '#include "app/summon_win.h"'
expect 0 "a file and its own header" src/app/summon_win.cpp '#include "app/summon_win.h"' \
    src/app/summon_win.h '#include "app/texts.h"'

echo "$((10 - failures)) passed, $failures failed"
((failures == 0))
