#!/usr/bin/env bash
# The installer's association component under Wine: builds the 64-bit
# installer with the build tree's CPack configuration, then in a copy of the
# test prefix, where another program owns .dsk, installs and uninstalls it
# silently and compares the class keys after each step.
#   installer_test.sh CPACK BUILD_DIR STAND_IN_EXE
# Exits 77 (skipped) without makensis.
set -euo pipefail
cpack=$1
build=$2
stand_in=$3

if ! command -v makensis >/dev/null; then
    echo "makensis is missing: the installer cannot be built"
    exit 77
fi

work=$(mktemp -d)
export WINEPREFIX=$work/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

if ! "$cpack" --config "$build/CPackConfig.cmake" -G NSIS -B "$work/package" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack could not build the installer"
    exit 1
fi
installer=$(echo "$work"/package/Volkarn-*-win64.exe)
cp -a "$build/wineprefix" "$WINEPREFIX"
cp "$installer" "$WINEPREFIX/drive_c/setup.exe"

folder='C:\Volkarn Test'
host_folder="$WINEPREFIX/drive_c/Volkarn Test"
program="$folder\\VOLKARN.EXE"
classes='HKLM\Software\Classes'
classes_name='HKEY_LOCAL_MACHINE\Software\Classes'
install_key='HKLM\Software\The Volkarn project\Volkarn'
install_parent='HKEY_LOCAL_MACHINE\Software\The Volkarn project'
failures=0

# "key|name|data" for every value under the keys after the first argument,
# each key named below the first one (as reg prints it); the default value
# has an empty name.
listing() {
    local parent=$1
    shift
    for key in "$@"; do
        wine reg query "$key" /s 2>/dev/null | tr -d '\r' | PARENT="$parent\\" awk '
            /^HKEY_/ {
                key = $0
                if (index(key, ENVIRON["PARENT"]) == 1) key = substr(key, length(ENVIRON["PARENT"]) + 1)
                next
            }
            /^    / {
                split(substr($0, 5), field, "    ")
                print key "|" (field[1] == "(Default)" ? "" : field[1]) "|" field[3]
            }' || true
    done
}

classes_listing() {
    listing "$classes_name" "$classes\\.dsk" "$classes\\.flp" "$classes\\DiskImage"
}

# The installation's own association values.
kept_listing() {
    listing "$install_parent" "$install_key" | grep -E '^Volkarn\|(Associated|PreviousDsk|PreviousFlp)\|' || true
}

expect() {  # what, expected text, actual text
    if [ "$2" = "$3" ]; then
        echo "ok: $1"
    else
        echo "FAIL: $1"
        diff <(echo "$2") <(echo "$3") | sed 's/^/    /' || true
        failures=$((failures + 1))
    fi
}

# Runs the command lines as a batch file, which passes each one as written
# (an unquoted /D= or _?= path with blanks too), and waits until every
# program in the prefix has ended. Returns the last command's exit code.
run_batch() {
    local code=0
    {
        printf '@%s\r\n' "$@"
        printf '@exit /b %%ERRORLEVEL%%\r\n'
    } >"$WINEPREFIX/drive_c/run.bat"
    wine cmd /c 'C:\run.bat' || code=$?
    wineserver -w
    return $code
}

run_installer() {  # the /ASSOCIATE switch or nothing
    local code=0
    run_batch "C:\\setup.exe /S $* /D=$folder" || code=$?
    if [ "$code" -ne 0 ] || [ ! -f "$host_folder/Uninstall.exe" ]; then
        echo "FAIL: installer $* exited with $code or installed no uninstaller in $folder"
        exit 1
    fi
}

another_program='.dsk||StandInImage'
associated=".dsk||DiskImage
.dsk|VolkarnPrevious|StandInImage
.flp||DiskImage
DiskImage||Disk image
DiskImage\\DefaultIcon||$program,2
DiskImage\\shell||OpenWithVolkarn
DiskImage\\shell\\OpenWithVolkarn||Open with &Volkarn
DiskImage\\shell\\OpenWithVolkarn\\command||\"$program\" \"%1\"
DiskImage\\shell\\WriteToDisk||&Write image to disk
DiskImage\\shell\\WriteToDisk\\command||\"$program\" -W \"%1\""
kept='Volkarn|Associated|0x1
Volkarn|PreviousDsk|StandInImage'

wine reg add "$classes\\.dsk" /ve /d StandInImage /f >/dev/null
expect "another program owns .dsk" "$another_program" "$(classes_listing)"

run_installer /ASSOCIATE=0
expect "/ASSOCIATE=0 writes no class key" "$another_program" "$(classes_listing)"
expect "/ASSOCIATE=0 keeps nothing" "" "$(kept_listing)"

run_installer /ASSOCIATE=1
expect "/ASSOCIATE=1 writes the keys of VOLKARN /R" "$associated" "$(classes_listing)"
expect "/ASSOCIATE=1 keeps the replaced .dsk value" "$kept" "$(kept_listing)"

run_installer
expect "a reinstall keeps the component" "$associated" "$(classes_listing)"

run_installer /ASSOCIATE=0
expect "a reinstall without the component gives .dsk back" "$another_program" "$(classes_listing)"
expect "a reinstall without the component keeps nothing" "" "$(kept_listing)"

run_installer
expect "a reinstall keeps the component off" "$another_program" "$(classes_listing)"

run_installer /ASSOCIATE=1
# A double click: the shell opens the image with the default verb, which
# url.dll's handler asks for. A stand-in under VOLKARN's name records its
# command line in the file the variable names (a batch file sets it: Wine
# passes no VK_ variable of the host on).
cp "$stand_in" "$host_folder/VOLKARN.EXE"
: >"$host_folder/GAMES 1.DSK"
run_batch 'set VK_STAND_IN_RECORD=C:\command line.txt' \
    "rundll32 url.dll,FileProtocolHandler $folder\\GAMES 1.DSK" || true
expect ".dsk opens VOLKARN by association" "\"$program\" \"$folder\\GAMES 1.DSK\"" \
    "$(cat "$WINEPREFIX/drive_c/command line.txt" 2>/dev/null)"

# Another program takes .flp before the uninstall: it keeps it.
wine reg add "$classes\\.flp" /ve /d LaterImage /f >/dev/null
code=0
run_batch "\"$folder\\Uninstall.exe\" /S _?=$folder" || code=$?
expect "the uninstaller ends well" 0 "$code"
expect "the uninstaller gives .dsk back and removes the rest" "$another_program
.flp||LaterImage" "$(classes_listing)"
expect "the uninstaller removes the installation's key" "" "$(listing "$install_parent" "$install_key")"

echo "$failures failed"
[ "$failures" -eq 0 ]
