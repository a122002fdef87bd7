#!/usr/bin/env bash
# Builds the release programs and packs them into build/packages:
#   vkdisk_<version>-1_<arch>.deb     vkdisk for this machine, with its manual page
#   Volkarn-<version>-win32.zip       VOLKARN, PELWICK, vkdisk.exe, help and read-me
#   Volkarn-<version>-win32.exe       the same as an installer with Start-menu entries
# With --win64 it also packs the 64-bit Windows build the same way
# (Volkarn-<version>-win64.*), the one whose programs run under Wine here.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/bootstrap.sh dpkg-dev file   # dpkg-shlibdeps and file for the .deb's depends (makensis is in the base list)

jobs=$(nproc)
echo "== vkdisk for this machine"
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"
cpack --preset release

echo "== the 32-bit Windows programs"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"
cpack --preset release-windows

if [ "${1:-}" = --win64 ]; then
    echo "== the 64-bit Windows programs"
    cmake --preset win64 >/dev/null
    cmake --build --preset release-windows64 -j "$jobs"
    cpack --preset release-windows64
fi

ls -l build/packages/*.deb build/packages/*.zip build/packages/*.exe
