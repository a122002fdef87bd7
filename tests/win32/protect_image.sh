#!/usr/bin/env bash
# Makes (or clears) an image file no process may write: Wine run by root
# grants write access to files that are only read-only, so the file is made
# immutable where the file system allows it.
set -u
action=$1
path=$2
case "$action" in
make)
    chattr -i "$path" 2>/dev/null
    rm -f "$path"
    mkfs.fat -C "$path" 720 >/dev/null || exit 1
    chmod 444 "$path"
    chattr +i "$path" 2>/dev/null || echo "protect_image: no immutable flag here; read-only mode only"
    ;;
clear)
    chattr -i "$path" 2>/dev/null
    rm -f "$path"
    ;;
esac
exit 0
