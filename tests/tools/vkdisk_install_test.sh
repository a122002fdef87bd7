#!/usr/bin/env bash
# What `cmake --install` gives a user: the cli component of a build installed
# into a scratch prefix holds a vkdisk that runs from there and tells its
# version, a manual page that renders without a warning and names every
# command and option the installed vkdisk's own help names, and the README.
# Usage: vkdisk_install_test.sh BUILD-DIR VERSION [CMAKE]
set -u
build="$1"
version="$2"
cmake="${3:-cmake}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

prefix="$work/prefix"
check "cmake --install of the cli component" \
    "$cmake" --install "$build" --component cli --prefix "$prefix" >"$work/install.log"
vkdisk="$prefix/bin/vkdisk"
page="$prefix/share/man/man1/vkdisk.1"

count
said=$("$vkdisk" --version 2>&1)
[ "$said" = "vkdisk $version" ] || fail "installed vkdisk --version says '$said', not 'vkdisk $version'"
check "README in share/doc/vkdisk" test -s "$prefix/share/doc/vkdisk/README.md"

count
manual=$(LC_ALL=C.UTF-8 MANWIDTH=200 man --warnings -l "$page" 2>"$work/man.err")
[ -s "$work/man.err" ] && fail "man -l warns: $(head -3 "$work/man.err")"
has "$manual" "^VKDISK\(1\)" || fail "man -l shows no VKDISK(1) page"
has "$manual" "vkdisk $version" || fail "the manual page does not carry version $version"

# Every command of the usage text, and every option of its own help, is in
# the manual.
commands=$("$vkdisk" --help | sed -n 's/^  \([a-z]*\)  *.*/\1/p')
[ -n "$commands" ] || fail "no commands in vkdisk --help"
for command in $commands; do
    count
    has "$manual" "^ +$command( |$)" || fail "the manual has no entry for '$command'"
    for option in $("$vkdisk" "$command" --help | grep -oE -- '(^|[^a-z])--?[a-z][a-z-]*' | grep -oE -- '--?[a-z-]+' | sort -u); do
        count
        grep -qF -- "$option" <<<"$manual" || fail "the manual lacks $command's option $option"
    done
done
summary vkdisk_install
