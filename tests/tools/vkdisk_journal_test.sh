#!/usr/bin/env bash
# Saves in place behind a rollback journal: a save stopped before each of
# its changes to the file system in turn (the build's fault hook,
# VK_KILL_AT_WRITE) leaves the old image or the new one once the next
# opening has settled the journal; a reader that may not write sees the old
# image and says so; the image file keeps its inode, owner, group, mode and
# hard links when a group member saves it in a sticky shared folder; a
# folder that takes no journal is named. mtools and fsck.fat judge the images.
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$work" || exit 1
chmod 755 "$work"

"$vkdisk" new before.dsk --format F0 --boot msdos >/dev/null
head -c 5000 /dev/urandom > seed.bin
"$vkdisk" add before.dsk seed.bin >/dev/null 2>&1
head -c 40000 /dev/urandom > data.bin
mkdir tree && head -c 3000 /dev/urandom > tree/inner.bin
cp before.dsk after.dsk
"$vkdisk" add after.dsk data.bin tree -r >/dev/null 2>&1

# --- a save stopped before each of its changes ----------------------------------
kills=0
for n in $(seq 1 100); do
    cp before.dsk img.dsk
    { VK_KILL_AT_WRITE=$n "$vkdisk" add img.dsk data.bin tree -r </dev/null >/dev/null 2>&1; } 2>/dev/null
    rc=$?
    if [ $rc -ne 137 ]; then
        count; [ $rc -eq 0 ] || fail "the save let run to its end: exit $rc"
        count; [ $n -gt 5 ] || fail "the save was stopped only $((n - 1)) times: is the fault hook built in?"
        break
    fi
    kills=$((kills + 1))
    count
    if ! cmp -s img.dsk before.dsk && ! cmp -s img.dsk after.dsk && [ ! -e img.dsk-journal ]; then
        fail "stopped before change $n: the image is torn and no journal is there to mend it"
    fi
    cp img.dsk torn.dsk
    expect_rc 0 "a reader after change $n" "$vkdisk" ls img.dsk
    count; cmp -s img.dsk before.dsk || cmp -s img.dsk after.dsk || fail "stopped before change $n: neither old nor new after the next opening"
    count; [ ! -e img.dsk-journal ] || fail "stopped before change $n: the journal stays after the next opening"
    check "stopped before change $n: fsck.fat finds the image clean" fsck_clean img.dsk
    if ! cmp -s torn.dsk before.dsk && ! cmp -s torn.dsk after.dsk; then
        stderr_has "was put back as it was before that save" "a rolled-back save is said"
    fi
done
echo "NOTE: the save was stopped at $kills points"

# --- a new image over one with a broken-off save -----------------------------------
for n in $(seq 1 100); do
    cp before.dsk img.dsk
    { VK_KILL_AT_WRITE=$n "$vkdisk" add img.dsk data.bin </dev/null >/dev/null 2>&1; } 2>/dev/null
    [ -e img.dsk-journal ] && ! cmp -s img.dsk before.dsk && break
done
expect_rc 0 "new --force over an image with a journal" "$vkdisk" new img.dsk --format F0 --boot msdos --force
cp img.dsk new.dsk
expect_rc 0 "the new image opens" "$vkdisk" ls img.dsk
same_file img.dsk new.dsk "no journal of the old image is rolled back over the new one"

# --- a reader that may not write ------------------------------------------------
as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"; }
if [ "$(id -u)" -eq 0 ]; then
    # Stopped after the image's first write: old bytes only in the journal.
    for n in $(seq 1 100); do
        cp before.dsk ro.dsk
        { VK_KILL_AT_WRITE=$n "$vkdisk" add ro.dsk data.bin </dev/null >/dev/null 2>&1; } 2>/dev/null
        [ -e ro.dsk-journal ] && ! cmp -s ro.dsk before.dsk && break
    done
    cp ro.dsk ro.torn
    chmod 644 ro.dsk ro.dsk-journal
    mkdir -m 777 ro-out
    expect_rc 0 "a reader that may not write" as_nobody "$vkdisk" get ro.dsk --all -d "$work/ro-out"
    stderr_has "cannot be written here to put it back" "the reader says it found a broken-off save"
    same_file ro.dsk ro.torn "a reader that may not write leaves the image"
    count; [ ! -e ro-out/DATA.BIN ] || fail "the reader sees the file of the broken-off save"
    same_file ro-out/SEED.BIN seed.bin "the reader sees the old image's file"
    expect_rc 0 "the owner opens it" "$vkdisk" ls ro.dsk
    same_file ro.dsk before.dsk "the owner's opening rolls back"

    # --- a group member's save in a sticky shared folder ------------------------
    mkdir -m 1777 shared
    cp before.dsk shared/img.dsk
    chown 4001:4003 shared/img.dsk
    chmod 664 shared/img.dsk
    ln shared/img.dsk shared/hard.dsk
    inode=$(stat -c %i shared/img.dsk)
    member() { setpriv --reuid=4002 --regid=4002 --groups=4003 -- "$@"; }
    expect_rc 0 "a group member adds in a sticky folder" member "$vkdisk" add shared/img.dsk data.bin
    count; [ "$(stat -c '%i %u %g %a %h' shared/img.dsk)" = "$inode 4001 4003 664 2" ] ||
        fail "the saved image changed: $(stat -c 'inode %i owner %u group %g mode %a links %h' shared/img.dsk)"
    same_file shared/hard.dsk shared/img.dsk "the hard link"
    count; mtype -i shared/hard.dsk ::DATA.BIN 2>/dev/null | cmp -s - data.bin || fail "mtools reads DATA.BIN through the hard link"
    count; [ -z "$(ls -A shared | grep -v '^img.dsk$\|^hard.dsk$')" ] || fail "the save left $(ls -A shared)"

    # --- a folder that takes no journal ---------------------------------------
    mkdir -m 755 closed
    cp before.dsk closed/img.dsk
    chmod 666 closed/img.dsk
    expect_rc 1 "a save where no journal can be made" as_nobody "$vkdisk" add closed/img.dsk data.bin
    stderr_has "No journal for the save can be made in the folder '$work/closed'" "the folder is named"
    same_file closed/img.dsk before.dsk "a save without a journal"
else
    echo "NOTE: not root: readers without write access and group members not tried"
fi

summary vkdisk_journal
