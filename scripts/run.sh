#!/usr/bin/env bash
# Builds corvantis.exe, installs it into a folder of your own and starts it, with the keyboard in
# its request box: under Wine on Linux, directly on Windows (MSYS2, Git Bash). scripts/install.sh
# says where it goes and what else it installs.
set -euo pipefail
cd "$(dirname "$0")/.."

case "$(uname -s)" in
MINGW* | MSYS* | CYGWIN* | UCRT* | CLANG*) windows=true ;;
*) windows=false ;;
esac

# Without a display there is nothing to show the window on: say so before building anything.
if ! $windows && [[ -z ${DISPLAY:-} ]]; then
    cat >&2 <<'EOF'
run: no X display (DISPLAY is not set), so there is nowhere to show the launcher.

Run scripts/run.sh from a terminal inside your desktop session (GNOME, KDE, Xfce, ...; on Wayland
desktops XWayland provides the display), where DISPLAY is set. From another machine, log in with
`ssh -X` and the launcher shows on your own screen.

Headless, for a screenshot only (`scripts/setup.sh` installs Xvfb and ImageMagick); the
script returns once the launcher's window shows:
    Xvfb :1 -screen 0 1280x800x24 &
    DISPLAY=:1 scripts/run.sh
    DISPLAY=:1 import -window root corvantis.png
    wineserver -k; kill %1
EOF
    exit 1
fi

scripts/setup.sh run
jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset mingw --log-level=WARNING
cmake --build --preset mingw --target corvantis --parallel "$jobs"

exec scripts/install.sh build/mingw/corvantis.exe
