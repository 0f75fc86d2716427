#!/usr/bin/env bash
# Installs corvantis.exe into a folder of your own and starts it: under Wine on Linux, directly on
# Windows (MSYS2, Git Bash). scripts/run.sh builds the exe and calls this.
#
#   scripts/install.sh [EXE]    EXE: the program to install (default build/mingw/corvantis.exe)
#
# The folder holds the exe and, beside it, data.txt with your entries:
#   Linux    ${XDG_DATA_HOME:-~/.local/share}/corvantis/
#   Windows  %LOCALAPPDATA%\Corvantis\
# The first run puts a starter data.txt there. Later runs never touch data.txt and replace the
# exe only when it changed, so deleting the clone or its build folder loses nothing.
#
# On Linux it also installs the command `corvantis` into ~/.local/bin, which starts the launcher
# (or brings the running one back) with the keyboard in its request box, and a desktop entry, so
# that the desktop's application menu lists Corvantis and its keyboard settings can bind a key
# to it. The launcher starts through that command.
set -euo pipefail
cd "$(dirname "$0")/.."
source_exe=$(realpath "${1:-build/mingw/corvantis.exe}")

case "$(uname -s)" in
MINGW* | MSYS* | CYGWIN* | UCRT* | CLANG*) windows=true ;;
*) windows=false ;;
esac

if $windows; then
    if [[ -z ${LOCALAPPDATA:-} ]]; then
        echo "install: LOCALAPPDATA is not set, so there is no folder of yours to install into" >&2
        exit 1
    fi
    app_dir=$(cygpath -u "$LOCALAPPDATA")/Corvantis
else
    data_home=${XDG_DATA_HOME:-}
    [[ $data_home == /* ]] || data_home=$HOME/.local/share # relative values are to be ignored
    app_dir=$data_home/corvantis
fi

mkdir -p "$app_dir"
exe=$app_dir/corvantis.exe
data=$app_dir/data.txt

if ! cmp -s "$source_exe" "$exe"; then
    # A new file renamed over the old one: a launcher that is still running keeps its own copy
    # (on Windows, where a running exe cannot be replaced, the rename fails instead).
    cp "$source_exe" "$exe.new"
    if ! mv -f "$exe.new" "$exe"; then
        rm -f "$exe.new"
        echo "install: could not replace $exe: close the running launcher, then run this again" >&2
        exit 1
    fi
    echo "install: installed $exe"
fi

if [[ ! -e $data && ! -L $data ]]; then
    old=build/mingw/data.txt # where earlier versions of the run script kept it
    if [[ -f $old ]]; then
        cp "$old" "$data.new"
        echo "install: copied your entries from $old"
    else
        # UTF-8 with a byte-order mark: read alike whatever the system's code page.
        cp scripts/starter-data.txt "$data.new"
        echo "install: wrote a starter data.txt: try \`g cats\`, \`bd 百度\`, \`wiki 北京\`"
    fi
    mv "$data.new" "$data"
fi
echo "install: your entries live in $data"

if $windows; then
    exec "$exe"
fi

# A file written whole, then renamed into place: a desktop never reads half of one.
install_file() {
    local target=$1
    mkdir -p "$(dirname "$target")"
    cat >"$target.new"
    chmod "$2" "$target.new"
    mv -f "$target.new" "$target"
}

command=$HOME/.local/bin/corvantis
icon=$app_dir/corvantis.png
applications=$data_home/applications
escape() { printf '%s' "$1" | sed 's/[\\/&|]/\\&/g'; }
sed "s|@EXE@|$(escape "$exe")|" scripts/corvantis.in | install_file "$command" 755
install_file "$icon" 644 <res/corvantis.png
sed -e "s|@COMMAND@|$(escape "$command")|" -e "s|@ICON@|$(escape "$icon")|" \
    scripts/corvantis.desktop.in | install_file "$applications/corvantis.desktop" 644
echo "install: \`corvantis\` starts it, or brings it back ($command; a desktop entry too)"
case ":$PATH:" in
*":$HOME/.local/bin:"*) ;;
*) echo "install: $HOME/.local/bin is not on your PATH yet: log in again, or add it" ;;
esac

prefix=${WINEPREFIX:-$HOME/.wine}
if [[ ! -d $prefix ]]; then
    echo "install: Wine first sets up $prefix, once; this takes a while. Its notes on wine32 or"
    echo "         syswow64 are harmless: the launcher is a 64-bit program."
fi
echo "install: starting corvantis.exe under Wine on $DISPLAY (close it with the cross at its top right)"
exec "$command"
