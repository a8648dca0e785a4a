#!/bin/sh
# Runs a command with a Documents folder on a filesystem of its own, in a
# private mount namespace (no trace outside), then copies what the folder
# holds afterwards to OUT and exits with the command's status.
#
#   in_small_filesystem.sh DOCUMENTS FREE OUT COMMAND...
#
# FREE is the space left free, in KiB, or "ro" for a read-only filesystem.
set -eu
documents=$1 free=$2 out=$3
shift 3
if [ -z "${VOICENOTES_PRIVATE_MOUNTS:-}" ]; then
  as_root=
  [ "$(id -u)" -eq 0 ] || as_root=--map-root-user
  VOICENOTES_PRIVATE_MOUNTS=1 exec unshare $as_root --mount --propagation private "$0" "$documents" "$free" "$out" "$@"
fi
saved=$(mktemp -d)
cp -a "$documents"/. "$saved"
mount -t tmpfs -o size=16m,mode=0755 voicenotes-test "$documents"
cp -a "$saved"/. "$documents"
rm -rf "$saved"
if [ "$free" = ro ]; then
  mount -o remount,ro "$documents"
else
  # Fill the disk, then give back exactly what should stay free.
  cat /dev/zero >"$documents/.filler" 2>/dev/null || true
  truncate -s "-${free}K" "$documents/.filler"
fi
set +e
"$@"
status=$?
set -e
mkdir -p "$out"
cp -a "$documents"/. "$out"
rm -f "$out/.filler"
exit $status
