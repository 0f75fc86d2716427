#!/usr/bin/env bash
# Installs what Corvantis needs, and only what is missing.
#
#   scripts/setup.sh        everything for building and testing (scripts/test.sh uses this)
#   scripts/setup.sh run    only what building and running the program needs (scripts/run.sh)
#
# Debian 12: installs the packages with apt-get and makes sure the zh_CN.UTF-8 locale exists.
# Windows (MSYS2, Git Bash): checks for the MinGW-w64 toolchain and says how to get what is missing.
# Safe to run again: with everything in place it changes nothing and needs no network.
set -euo pipefail

usage() {
    echo "usage: $0 [run]   (no argument: everything that building and testing need)" >&2
    exit 64
}

case "$*" in
"") set_name="test" ;;
run) set_name=run ;;
*) usage ;;
esac

# What running needs: build the exe, start it under Wine, show Chinese text right.
run_packages=(
    cmake make g++-mingw-w64-x86-64 # corvantis.exe
    python3                         # configuring the mingw preset looks for it
    wine64 wine                     # running it
    xdotool                         # the corvantis command hands it the keyboard on a desktop
    fonts-wqy-microhei              # Chinese text in Wine's controls
    locales                         # zh_CN.UTF-8, see below
)
test_packages=(
    "${run_packages[@]}"
    g++ libgtest-dev libbenchmark-dev # native build, unit tests, benchmarks
    xvfb imagemagick                  # end-to-end tests
    openbox x11-utils                 # a real window manager, which decides who gets the keyboard
    xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils # two monitors side by side
    fuse3 python3-fusepy # a folder that answers as slowly as a share that does not answer
    clang-format
)

# Wine gives the program the ANSI code page 936 (GBK) under LC_ALL=zh_CN.UTF-8, but converts what
# crosses to Linux (file names, the address handed to the browser) with the Linux locale's
# charset: without this locale that is ASCII, and every Chinese character becomes "?".
locale=zh_CN.UTF-8

windows_setup() {
    # The MinGW-w64 toolchain comes from MSYS2 (pacman). Its MinGW shells have gcc and g++ with
    # the target prefix too; windres comes under either name.
    local missing=() tool
    for tool in cmake make x86_64-w64-mingw32-g++; do
        command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
    done
    command -v x86_64-w64-mingw32-windres >/dev/null 2>&1 || command -v windres >/dev/null 2>&1 ||
        missing+=(windres)
    if ((${#missing[@]} == 0)); then
        # The presets file needs CMake 3.25 or newer.
        local version
        version=$(cmake --version | sed -n '1s/[^0-9]*\([0-9]*\.[0-9]*\).*/\1/p')
        if [[ $(printf '%s\n' 3.25 "$version" | sort -V | head -1) == 3.25 ]]; then
            echo "setup: cmake, make, x86_64-w64-mingw32-g++ and windres present"
            return 0
        fi
        echo "setup: cmake $version is too old (3.25 or newer needed): $(command -v cmake)" >&2
        missing=(cmake)
    fi

    local packages="mingw-w64-x86_64-cmake mingw-w64-x86_64-gcc mingw-w64-x86_64-binutils make"
    echo "setup: missing ${missing[*]}" >&2
    if command -v pacman >/dev/null 2>&1 && [[ ${MSYSTEM:-} == MINGW64 || ${MSYSTEM:-} == UCRT64 ]]; then
        local prefix=${MINGW_PACKAGE_PREFIX:-mingw-w64-x86_64}
        echo "In this shell, run:" >&2
        echo "  pacman -S --needed $prefix-cmake $prefix-gcc $prefix-binutils make" >&2
    elif command -v pacman >/dev/null 2>&1; then
        # The MSYS or CLANG64 shell: no MinGW-w64 GCC on its PATH even once installed.
        echo "This is MSYS2's ${MSYSTEM:-MSYS} shell. Open its MINGW64 shell instead, and there run:" >&2
        echo "  pacman -S --needed $packages" >&2
        echo "then run the script again from that shell." >&2
    else
        cat >&2 <<EOF
Git Bash has no package manager. Install MSYS2 from https://www.msys2.org, open its MINGW64
shell, and there run:
  pacman -S --needed $packages
Then run the script again from that shell, or stay in Git Bash and put MSYS2's tools on its
PATH first (C:\\msys64 is MSYS2's default folder):
  export PATH="\$PATH:/c/msys64/mingw64/bin:/c/msys64/usr/bin"
EOF
    fi
    return 1
}

case "$(uname -s)" in
MINGW* | MSYS* | CYGWIN* | UCRT* | CLANG*)
    windows_setup
    exit
    ;;
esac

if [[ $set_name == run ]]; then
    packages=("${run_packages[@]}")
else
    packages=("${test_packages[@]}")
fi

if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
    echo "setup: no apt-get here; install these packages (Debian names) by hand:" >&2
    echo "  ${packages[*]}" >&2
    echo "and generate the $locale locale." >&2
    exit 1
fi

has_locale() {
    locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'
}

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$package")
done
locale_missing=false
has_locale || locale_missing=true

if ((${#missing[@]} == 0)) && ! $locale_missing; then
    echo "setup: all ${#packages[@]} packages of the $set_name set and the $locale locale present"
    exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null 2>&1 || {
        needs=("${missing[@]}")
        $locale_missing && needs+=("the $locale locale")
        echo "setup: need root or sudo to install: ${needs[*]}" >&2
        exit 1
    }
    sudo=(sudo)
fi

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi

if ! has_locale; then
    # Listed in /etc/locale.gen, so that the locales package keeps it when it regenerates.
    echo "setup: generating the $locale locale"
    if grep -q "^# *$locale UTF-8" /etc/locale.gen 2>/dev/null; then
        "${sudo[@]}" sed -i "s/^# *$locale UTF-8/$locale UTF-8/" /etc/locale.gen
    elif ! grep -q "^$locale UTF-8" /etc/locale.gen 2>/dev/null; then
        echo "$locale UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
    fi
    "${sudo[@]}" locale-gen
    has_locale || {
        echo "setup: the $locale locale is still missing after locale-gen" >&2
        exit 1
    }
fi
