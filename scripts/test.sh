#!/usr/bin/env bash
# Builds every preset and runs every check: unit tests and the layer check (native, and again under
# the address and undefined-behaviour sanitizers), end-to-end tests under Wine (mingw) and the
# formatting check. A failing step does not stop the others; the summary at
# the end lists each step, and the exit status is non-zero when any of them failed.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

jobs=$(nproc 2>/dev/null || echo 2)
summary=()
failures=0

# step NAME COMMAND...: runs the command, records PASS or FAIL with its duration.
step() {
    local name=$1
    shift
    local started=$SECONDS status=PASS
    echo
    echo "==> $name: $*"
    "$@" || status=FAIL
    summary+=("$(printf '%-22s %-4s %5d s' "$name" "$status" $((SECONDS - started)))")
    if [[ $status == FAIL ]]; then
        failures=$((failures + 1))
        return 1
    fi
}

not_run() {
    summary+=("$(printf '%-22s %s' "$1" "not run ($2)")")
    failures=$((failures + 1))
}

# configure, build and test one preset; a step runs only when the one before it passed.
preset() {
    local name=$1
    if ! step "$name configure" cmake --preset "$name"; then
        not_run "$name build" "configure failed"
        not_run "$name tests" "configure failed"
    elif ! step "$name build" cmake --build --preset "$name" --parallel "$jobs"; then
        not_run "$name tests" "build failed"
    else
        step "$name tests" ctest --preset "$name"
    fi
}

format_check() {
    local files=()
    mapfile -t files < <(find src tests bench -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
    ((${#files[@]} == 0)) || clang-format --dry-run --Werror "${files[@]}"
}

started=$SECONDS
if ! step setup scripts/setup.sh; then
    echo "test: setup failed; nothing else can run" >&2
    exit 1
fi
preset native || true
preset native-asan || true
preset mingw || true
step clang-format format_check || true

echo
echo "==> summary ($((SECONDS - started)) s)"
printf '  %s\n' "${summary[@]}"
if ((failures > 0)); then
    echo "test: $failures step(s) failed"
    exit 1
fi
echo "test: all passed"
