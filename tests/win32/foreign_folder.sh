#!/bin/sh
# Run by run-under-wine.sh before Wine starts: C:\Foreign in the prefix,
# owned by another account (uid 65534) with no rights for it, which Wine
# shows as a folder whose owner, Anonymous Logon, no entry of its access
# list lets change it: only the owner rule can refuse it. Only root can give
# a folder away; for anyone else it is not made, and the test skips (under
# CI it fails).
[ "$(id -u)" = 0 ] || exit 0
folder="$WINEPREFIX/drive_c/Foreign"
rm -rf "$folder" && mkdir -p "$folder" && chown 65534:65534 "$folder" && chmod 0055 "$folder"
