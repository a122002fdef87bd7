#!/usr/bin/env bash
# Builds everything and runs every test: the engine and vkdisk natively with
# sanitizers, the Windows programs' tests under Wine, and a compile of the
# shipped 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/bootstrap.sh

jobs=$(nproc)
status=0

echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs" || status=1

echo "== 64-bit Windows build and tests under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"
# Windows that open need a display: a private X server for the whole run.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset win64 || status=1

echo "== fuzzing the engine for a short while (scripts/fuzz.sh runs it longer)"
bash scripts/fuzz.sh 25 || status=1

echo "== 32-bit Windows build (the shipped programs)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"

exit $status
