#!/bin/sh
# Runs a Windows test program under Wine as a user without privileges, in a
# folder holding a read-only answer file, a read-only folder and an unreadable
# questionnaire. Wine lets root past every permission check, so as root (as in
# CI) the program runs as nobody (65534) through setpriv, with a Wine prefix
# of its own inside the build folder; as any other user it runs as that user.
# Usage: run_unprivileged.sh <test.exe>   (WINEPREFIX, HOME from CTest)
set -eu
exe=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/mirunea-permissions.XXXXXX")
cleanup() {
  chmod -R u+rwx "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir "$work/writable" "$work/read-only" "$work/unreadable"
printf 'earlier answers\r\n' >"$work/writable/READONLY.ans"
chmod 444 "$work/writable/READONLY.ans"
printf 'T\nD\nP\n' >"$work/read-only/data.txt"
chmod 555 "$work/read-only"
printf 'T\nD\nP\n' >"$work/unreadable/data.txt"
chmod 000 "$work/unreadable/data.txt"
chmod 755 "$work"

if [ "$(id -u)" -ne 0 ]; then
  cd "$work"
  exec /usr/bin/wine "$exe"
fi

# Needs root: switches to nobody.
nobody_root="$(dirname "$WINEPREFIX")/nobody"
mkdir -p "$nobody_root/home" "$nobody_root/prefix"
chown -R 65534:65534 "$nobody_root/home" "$nobody_root/prefix" "$work/writable"
chown 65534:65534 "$work/writable/READONLY.ans"
as_nobody() {
  (cd "$work" && setpriv --reuid=65534 --regid=65534 --clear-groups \
    env HOME="$nobody_root/home" WINEPREFIX="$nobody_root/prefix" "$@")
}
status=0
as_nobody /usr/bin/wine "$exe" || status=$?
as_nobody /usr/bin/wineserver -k 2>/dev/null || true
exit $status
