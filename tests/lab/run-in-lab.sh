#!/usr/bin/env bash
# run-in-lab.sh LAB-SCRIPT [LAB-OPTION...] run COMMAND [ARG...]
# Runs a test command in a lab of its own (tools/lab/tovalen-lab) and fails
# when the lab leaves anything behind. Exits 77 (a skip for ctest) when this
# machine cannot create network namespaces, except under CI.
#   run-in-lab.sh --record FILE COMMAND...   (used inside the lab)
# shellcheck source-path=SCRIPTDIR
set -eu
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lab_checks.sh
. "$here/lab_checks.sh"

if [ "${1:-}" = --record ]; then
  record_lab "$2"
  shift 2
  exec "$@"
fi

require_namespaces
lab=$1
shift
options=()
while [ $# -gt 0 ] && [ "$1" != run ]; do options+=("$1"); shift; done
[ $# -ge 2 ] || { echo "usage: run-in-lab.sh LAB-SCRIPT [LAB-OPTION...] run COMMAND [ARG...]" >&2; exit 2; }
shift

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
own_interfaces >"$work/interfaces"
"$lab" clean  # what earlier runs that were killed outright left

started=${EPOCHREALTIME/./}
status=0
"$lab" "${options[@]}" run "$0" --record "$work/namespaces" "$@" &
lab_pid=$!
wait "$lab_pid" || status=$?
took=$(((${EPOCHREALTIME/./} - started) / 1000))
echo "run-in-lab: lab and test took $((took / 1000)).$(printf %03d $((took % 1000)))s"

leftovers=$(left_behind "tvl-$lab_pid" "$work/namespaces" "$work/interfaces")
if [ -n "$leftovers" ]; then
  echo "FAILED: the lab left behind:" >&2
  echo "$leftovers" >&2
  exit 1
fi
exit "$status"
