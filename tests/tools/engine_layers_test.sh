#!/bin/bash
# The engine's includes go one way, as docs/architecture.md draws it: each
# folder includes only itself and the folders below it, and nothing in the
# engine includes a platform header.
set -u
engine=${1:?usage: engine_layers_test.sh SRC/engine}
rank() {
    case $1 in
        common) echo 0 ;; ports) echo 1 ;; strings) echo 2 ;; core | basic) echo 3 ;;
        drive | fat/table) echo 4 ;; fat/dir) echo 5 ;; fat/ops) echo 6 ;; fat/check) echo 7 ;;
        *) echo 99 ;;
    esac
}
folder_of() { # engine/fat/dir/x.h -> fat/dir; engine/core/x.h -> core
    local p=${1#engine/}
    case $p in fat/*) echo "${p%/*}" ;; *) echo "${p%%/*}" ;; esac
}
bad=0
while IFS= read -r file; do
    from=$(folder_of "engine/${file#"$engine"/}")
    while IFS= read -r inc; do
        to=$(folder_of "$inc")
        [ "$to" = "$from" ] && continue
        if [ "$(rank "$to")" -ge "$(rank "$from")" ]; then
            echo "FAIL: $file ($from) includes $inc ($to)"; bad=1
        fi
    done < <(sed -n 's/^#include "\(engine\/[^"]*\)".*/\1/p' "$file")
    if grep -qiE '^#include <(windows|winbase|unistd|sys/)' "$file"; then
        echo "FAIL: $file includes a platform header"; bad=1
    fi
done < <(find "$engine" -name '*.h' -o -name '*.cpp' | sort)
[ $bad = 0 ] && echo "engine layers: every include goes one way"
exit $bad
