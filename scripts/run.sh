#!/usr/bin/env bash
# Builds corvantis.exe and starts it: under Wine on Linux, directly on Windows (MSYS2, Git Bash).
# A first run gets a small data.txt of web search shortcuts beside the exe.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset mingw
cmake --build --preset mingw

exe=build/mingw/corvantis.exe
data=build/mingw/data.txt

# The entry file is in the ANSI code page (GBK under Wine's zh_CN locale) with CR LF line ends.
if [[ ! -e $data ]]; then
    printf '%s\r\n' \
        'g google:https://www.google.com/search?q={query}' \
        'bd baidu 百度:https://www.baidu.com/s?wd={query}' \
        'wiki 维基:https://zh.wikipedia.org/w/index.php?search={query}' \
        'ddg:https://duckduckgo.com/?q={query}' \
        'gh github:https://github.com/search?q={query}' \
        'notepad:notepad.exe' |
        iconv -f UTF-8 -t GBK >"$data.tmp"
    mv "$data.tmp" "$data"
    echo "run: wrote $data"
fi

case "$(uname -s)" in
MINGW* | MSYS* | CYGWIN*)
    exec "$exe"
    ;;
esac

if [[ -z ${DISPLAY:-} ]]; then
    cat >&2 <<'EOF'
run: no X display (DISPLAY is not set), so there is nowhere to show the launcher.
Run this from a terminal inside a desktop session, or start a virtual X server first:
    Xvfb :1 -screen 0 1280x800x24 &
    DISPLAY=:1 scripts/run.sh
EOF
    exit 1
fi

# zh_CN makes Wine's ANSI code page 936 (GBK), the one the program and data.txt are written for.
echo "run: starting $exe under Wine on $DISPLAY (exit with the cross at the window's top right)"
exec env LC_ALL=zh_CN.UTF-8 WINEDEBUG="${WINEDEBUG:--all}" wine "$exe"
