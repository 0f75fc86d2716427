#!/usr/bin/env bash
# Builds the zip that Windows users download, build/mingw/Corvantis-<version>-win64.zip: the
# program, the starter data.txt and the Chinese guide (README.zh-CN.txt, made from
# README.zh-CN.md). The same sources give the same zip, byte for byte.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh run
jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset mingw --log-level=WARNING
cmake --build --preset mingw --target package --parallel "$jobs"
