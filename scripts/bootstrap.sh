#!/usr/bin/env bash
# Installs what building and testing Volkarn needs, when it is missing, and
# the further Debian packages named as arguments (scripts/package.sh names
# its packagers). Debian packages only; run as root (or with sudo available).
set -euo pipefail

packages=(
    cmake make g++                                  # native build of the engine, vkdisk and tests
    googletest                                      # GoogleTest sources, built by each toolchain
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix  # Windows cross compilers, posix threads
    wine wine64                                     # runs the Windows test programs (64-bit only here)
    xvfb xauth                                      # a display for anything that opens a window
    imagemagick xdotool                             # screenshots of the program under Xvfb
    fp-utils                                        # chmcmd, the help compiler
    zlib1g-dev libz-mingw-w64-dev                   # zlib: images in gzip and zip files (static in the Windows builds)
    mtools dosfstools                               # the outside judges of the images we write
    fdisk                                           # sfdisk: partition tables of hard-disk images in the tests
    bc                                              # arithmetic of the benchmark script
    python3                                         # test images (faults, DMK) and the zip and JSON judges
    locales                                         # the locales the formatting tests switch to
    nlohmann-json3-dev                              # JSON writer of vkdisk's catalogue (header only)
    man-db                                          # renders vkdisk's manual page in its install test
    clang libclang-rt-14-dev                        # libFuzzer for the engine's fuzz targets
    nsis                                            # makensis: the Windows installer and its association test
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "bootstrap: installing ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    # No i386 architecture: this machine cannot start 32-bit programs anyway.
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
