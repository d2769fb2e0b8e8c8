#!/usr/bin/env bash
# tovalen-cli's commands beside tovalen-try's three simulated cameras, each
# in a subnet of its own (the PC is 192.168.1.10/24), in one private
# network: search lists exactly the cameras as JSON; check tells in use,
# free and cannot verify; a dry run changes nothing; set and plan move
# cameras and say so; a camera not heard, a refused change, a camera that
# does not answer and bad usage give their exit codes. Nothing leaves the
# private network.
# Usage: commands_test.sh TOVALEN-TRY CAMERA-SIMULATOR TOVALEN-CLI CAMERAS-FILE
set -eu

if [ "${1:-}" != --inside ]; then
  try=$1 camera=$2
  status=0
  errors=$(mktemp)
  trap 'rm -f "$errors"' EXIT
  # The lab's cameras, and one that answers searches but no address change.
  cameras=$(mktemp)
  trap 'rm -f "$errors" "$cameras"' EXIT
  cat "$4" >"$cameras"
  echo 'silent  10.0.1.5/24  10.0.1.1  02:00:0A:00:01:05  --set-ip ignore' >>"$cameras"
  "$try" --camera "$camera" --cameras "$cameras" "$0" --inside "$3" "$cameras" 2> >(tee "$errors" >&2) || status=$?
  if [ "$status" -ne 0 ] && grep -q 'cannot create a private network namespace' "$errors" && [ "${CI:-}" != true ]; then
    exit 77
  fi
  exit "$status"
fi

cli=$2 cameras=$3
export LC_ALL=C
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
# expect STATUS COMMAND...: runs it, its output in $out and $err.
expect() {
  local wanted=$1 status=0
  shift
  out=$("$@" 2>"$scratch/err") || status=$?
  err=$(<"$scratch/err")
  [ "$status" -eq "$wanted" ] || fail "$* exited $status, not $wanted: $out $err"
}
macs() { awk '{ print $4 }' "$cameras" | sort; }
mac_of() { awk -v name="$1" '$1 == name { print $4 }' "$cameras"; }
listed() { "$cli" search --wait 3 --format csv | tail -n +2 | sort; }

# search, as JSON, parses and lists each camera once.
expect 0 "$cli" search --wait 3 --format json
python3 -m json.tool <<<"$out" >/dev/null || fail "not JSON: $out"
found=$(python3 -c 'import json, sys; print("\n".join(sorted(c["mac"] for c in json.load(sys.stdin))))' <<<"$out")
[ "$found" = "$(macs)" ] || fail "search listed $found"

# Bad usage.
expect 2 "$cli" set "$(mac_of cam10)" 192.168.1.60
expect 2 "$cli" search --format xml
expect 2 "$cli" check 300.1.1.1
expect 2 "$cli" plan /nonexistent/plan.csv

# check: the PC's own address, a free one on its link, one no check reaches.
expect 0 "$cli" check 192.168.1.10 192.168.1.99 10.0.0.5
grep -qx '192.168.1.10: in use by this computer' <<<"$out" || fail "check: $out"
grep -qx '192.168.1.99: free' <<<"$out" || fail "check: $out"
grep -q '^10.0.0.5: cannot be verified (.' <<<"$out" || fail "check: $out"

# A dry run lists what would change and changes nothing.
plan=$scratch/plan.csv
printf 'MAC,IP,Gateway\n%s,192.168.1.61,192.168.1.1\n%s,192.168.1.62,192.168.1.1\n02:00:00:00:00:77,192.168.1.63,192.168.1.1\n' \
  "$(mac_of cam10)" "$(mac_of cam172)" >"$plan"
before=$(listed)
expect 0 "$cli" plan "$plan" --dry-run
grep -qx "$(mac_of cam10)  10.0.0.5  ->  192.168.1.61  192.168.1.1" <<<"$out" || fail "dry run: $out"
grep -qx "02:00:00:00:00:77  not listed  ->  192.168.1.63  192.168.1.1" <<<"$out" || fail "dry run: $out"
[ "$(listed)" = "$before" ] || fail "the dry run changed the cameras: $(listed)"

# set: a camera not heard; a change the camera refuses; one it takes.
expect 1 "$cli" set 02:00:00:00:00:77 192.168.1.70 192.168.1.1 --yes
grep -q 'no camera with this MAC answered' <<<"$err" || fail "not heard: $err"
expect 1 "$cli" set "$(mac_of cam192)" 192.168.50.0 192.168.50.1 --yes
grep -q 'answered but kept its address' <<<"$err" || fail "refused: $err"
expect 1 "$cli" set "$(mac_of silent)" 10.0.1.6 10.0.1.1 --yes --wait 2
grep -q "$(mac_of silent): no answer" <<<"$err" || fail "silent: $err"
expect 0 "$cli" set "$(mac_of cam192)" 192.168.1.70 192.168.1.1 --yes
grep -qx "$(mac_of cam192)  192.168.1.70  moved; .*" <<<"$out" || fail "set: $out"
expect 0 "$cli" check 192.168.1.70
grep -q '^192.168.1.70: in use by [0-9a-f:]*$' <<<"$out" || fail "the moved camera is not on the link: $out"

# plan: not confirmed without a terminal; with --yes every listed camera moves.
expect 1 "$cli" plan "$plan" </dev/null
[ "$(listed | grep -c '192.168.1.6')" -eq 0 ] || fail "an unconfirmed plan was sent"
expect 0 "$cli" plan "$plan" --yes
grep -qx "$(mac_of cam10)  192.168.1.61  moved" <<<"$out" || fail "plan: $out"
grep -qx "$(mac_of cam172)  192.168.1.62  moved" <<<"$out" || fail "plan: $out"
after=$(listed)
grep -q "^$(mac_of cam10),192.168.1.61,192.168.1.1" <<<"$after" || fail "not moved: $after"
grep -q "^$(mac_of cam172),192.168.1.62,192.168.1.1" <<<"$after" || fail "not moved: $after"
