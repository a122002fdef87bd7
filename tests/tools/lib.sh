# Helpers shared by the vkdisk tool tests: counting and failing checks, and
# the verdicts of the outside judges. Source it after setting `work` (the
# test's scratch folder); end the test with `summary NAME`.

checks=0
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# One more check; a failed one also calls fail.
count() { checks=$((checks + 1)); }
check() {  # check DESCRIPTION COMMAND...
    local what="$1"
    shift
    count
    "$@" || fail "$what"
}
summary() {  # summary NAME
    echo "$1: $checks checks, $failures failed"
    [ "$failures" -eq 0 ]
}

has() { grep -qE -- "$2" <<<"$1"; }
hasnt() { ! grep -qE -- "$2" <<<"$1"; }

# Runs a command without a terminal, its stderr kept in $work/stderr.log.
expect_rc() {  # expect_rc WANT DESCRIPTION COMMAND...
    local want=$1 what=$2
    shift 2
    count
    "$@" </dev/null 2>"$work/stderr.log"
    local rc=$?
    [ $rc -eq "$want" ] || fail "$what: exit $rc, wanted $want: $(tail -3 "$work/stderr.log")"
}
stderr_has() {  # stderr_has TEXT DESCRIPTION
    count
    grep -q -- "$1" "$work/stderr.log" || fail "$2: stderr lacks '$1': $(tail -3 "$work/stderr.log")"
}
same_file() { count; cmp -s "$1" "$2" || fail "$3: $1 and $2 differ"; }

free_bytes() { mdir -i "$1" :: | sed -n 's/^ *\([0-9 ]*\) bytes free$/\1/p' | tr -d ' '; }

# fsck.fat -n exits 0 on findings it leaves alone (a label it drops, a long
# name's checksum): every line of its report is read, and only its version
# line and its summary line may appear. Prints whatever else it said, and its
# exit code when that is not 0.
fsck_findings() {  # fsck_findings IMAGE
    local out rc
    out=$(fsck.fat -n "$1" 2>&1)
    rc=$?
    printf '%s\n' "$out" | grep -vE '^fsck\.fat [0-9]|^.*: [0-9]+ files, [0-9]+/[0-9]+ clusters$'
    [ $rc -eq 0 ] || echo "fsck.fat exit $rc"
}
fsck_clean() {  # fsck_clean IMAGE: no findings, or they are printed
    local findings
    findings=$(fsck_findings "$1")
    [ -z "$findings" ] || { printf 'fsck.fat -n %s:\n%s\n' "$1" "$findings"; return 1; }
}
# The same for an MSX boot sector, which has no 0x29 signature: fsck.fat
# reads its boot code as a label, and that one complaint is all it may say.
fsck_clean_msx() {  # fsck_clean_msx IMAGE
    local findings expected
    findings=$(fsck_findings "$1")
    expected=$'Label \'\' stored in boot sector is not valid.\n  Auto-removing label from boot sector.\n'
    expected+=$'\nLeaving filesystem unchanged.\nfsck.fat exit 1'
    [ -z "$findings" ] || [ "$findings" = "$expected" ] || { printf 'fsck.fat -n %s:\n%s\n' "$1" "$findings"; return 1; }
}
