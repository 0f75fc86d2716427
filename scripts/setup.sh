#!/usr/bin/env bash
# Installs what building and testing Corvantis needs, and only what is missing (Debian 12).
# Safe to run again: with everything in place it changes nothing and needs no network.
set -euo pipefail

packages=(
    cmake g++ make libgtest-dev libbenchmark-dev # native build, unit tests, benchmarks
    g++-mingw-w64-x86-64                         # corvantis.exe
    wine64 wine xvfb xdotool imagemagick         # end-to-end tests
    fonts-wqy-microhei                           # Chinese text in Wine's controls
    python3                                      # end-to-end harness
    clang-format
)

case "$(uname -s)" in
MINGW* | MSYS* | CYGWIN*)
    # Windows: the MinGW toolchain comes from MSYS2 (pacman), not from here.
    missing_tools=()
    for tool in cmake make x86_64-w64-mingw32-g++; do
        command -v "$tool" >/dev/null 2>&1 || missing_tools+=("$tool")
    done
    if ((${#missing_tools[@]})); then
        echo "setup: missing ${missing_tools[*]}; in an MSYS2 MinGW64 shell run:" >&2
        echo "  pacman -S --needed mingw-w64-x86_64-cmake mingw-w64-x86_64-gcc make" >&2
        exit 1
    fi
    exit 0
    ;;
esac

if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
    echo "setup: no apt-get here; install these packages (Debian names) by hand:" >&2
    echo "  ${packages[*]}" >&2
    exit 1
fi

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
    echo "setup: all ${#packages[@]} packages present"
    exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null 2>&1 || {
        echo "setup: need root or sudo to install: ${missing[*]}" >&2
        exit 1
    }
    sudo=(sudo)
fi

echo "setup: installing ${missing[*]}"
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
