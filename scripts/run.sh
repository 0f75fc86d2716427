#!/usr/bin/env bash
# Builds corvantis.exe, installs it into a folder of your own and starts it: under Wine on Linux,
# directly on Windows (MSYS2, Git Bash).
#
# The folder holds the exe and, beside it, data.txt with your entries:
#   Linux    ${XDG_DATA_HOME:-~/.local/share}/corvantis/
#   Windows  %LOCALAPPDATA%\Corvantis\
# The first run puts a starter data.txt there. Later runs never touch data.txt and replace the
# exe only when the build changed it, so deleting the clone or its build folder loses nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

case "$(uname -s)" in
MINGW* | MSYS* | CYGWIN* | UCRT* | CLANG*) windows=true ;;
*) windows=false ;;
esac

if $windows; then
    if [[ -z ${LOCALAPPDATA:-} ]]; then
        echo "run: LOCALAPPDATA is not set, so there is no folder of yours to install into" >&2
        exit 1
    fi
    app_dir=$(cygpath -u "$LOCALAPPDATA")/Corvantis
else
    data_home=${XDG_DATA_HOME:-}
    [[ $data_home == /* ]] || data_home=$HOME/.local/share # relative values are to be ignored
    app_dir=$data_home/corvantis
fi

# Without a display there is nothing to show the window on: say so before building anything.
if ! $windows && [[ -z ${DISPLAY:-} ]]; then
    cat >&2 <<'EOF'
run: no X display (DISPLAY is not set), so there is nowhere to show the launcher.

Run scripts/run.sh from a terminal inside your desktop session (GNOME, KDE, Xfce, ...; on Wayland
desktops XWayland provides the display), where DISPLAY is set. From another machine, log in with
`ssh -X` and the launcher shows on your own screen.

Headless, for a screenshot only (`scripts/setup.sh` installs Xvfb, xdotool and ImageMagick):
    Xvfb :1 -screen 0 1280x800x24 &
    DISPLAY=:1 scripts/run.sh &
    until DISPLAY=:1 xdotool search --sync --onlyvisible --name '^Form1$'; do sleep 1; done
    DISPLAY=:1 import -window root corvantis.png
    kill %2 %1
EOF
    exit 1
fi

scripts/setup.sh run
jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset mingw --log-level=WARNING
cmake --build --preset mingw --target corvantis --parallel "$jobs"

mkdir -p "$app_dir"
exe=$app_dir/corvantis.exe
data=$app_dir/data.txt

if ! cmp -s build/mingw/corvantis.exe "$exe"; then
    # A new file renamed over the old one: a launcher that is still running keeps its own copy
    # (on Windows, where a running exe cannot be replaced, the rename fails instead).
    cp build/mingw/corvantis.exe "$exe.new"
    if ! mv -f "$exe.new" "$exe"; then
        rm -f "$exe.new"
        echo "run: could not replace $exe: close the running launcher, then run this again" >&2
        exit 1
    fi
    echo "run: installed $exe"
fi

if [[ ! -e $data && ! -L $data ]]; then
    old=build/mingw/data.txt # where earlier versions of this script kept it
    if [[ -f $old ]]; then
        cp "$old" "$data.new"
        echo "run: copied your entries from $old"
    else
        # UTF-8 with a byte-order mark: read alike whatever the system's code page.
        cp scripts/starter-data.txt "$data.new"
        echo "run: wrote a starter data.txt: try \`g cats\`, \`bd 百度\`, \`wiki 北京\`"
    fi
    mv "$data.new" "$data"
fi
echo "run: your entries live in $data"

if $windows; then
    exec "$exe"
fi

prefix=${WINEPREFIX:-$HOME/.wine}
if [[ ! -d $prefix ]]; then
    echo "run: Wine first sets up $prefix, once; this takes a while. Its notes on wine32 or"
    echo "     syswow64 are harmless: the launcher is a 64-bit program."
fi
# zh_CN makes Wine's ANSI code page 936 (GBK), the one the program is written for; the locale's
# UTF-8 charset carries Chinese file names and search words intact from Wine to Linux.
echo "run: starting corvantis.exe under Wine on $DISPLAY (close it with the cross at its top right)"
exec env LC_ALL=zh_CN.UTF-8 WINEDEBUG="${WINEDEBUG:--all}" wine "$exe"
