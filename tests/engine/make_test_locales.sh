#!/bin/sh
# Makes the locales the locale tests switch to in folder $1 (used as LOCPATH),
# so that they run on machines that have only the C locale installed.
set -e
dir="$1"
mkdir -p "$dir"
for name in en_US de_DE en_IN; do
    [ -d "$dir/$name.UTF-8" ] || localedef -i "$name" -f UTF-8 "$dir/$name.UTF-8" || {
        echo "make_test_locales: localedef $name failed; its tests will be skipped" >&2
    }
done
exit 0
