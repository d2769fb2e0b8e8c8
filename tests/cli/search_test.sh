#!/usr/bin/env bash
# tovalen-cli search beside tovalen-try's three simulated cameras, each in a
# subnet of its own: every camera is listed once, with its address and
# gateway, in the export's CSV. Nothing leaves the private network.
# Usage: search_test.sh TOVALEN-TRY CAMERA-SIMULATOR CAMERAS-FILE TOVALEN-CLI...
# (TOVALEN-CLI... the program, or its runner and the program: Wine's, say)
set -eu
try=$1 camera=$2 cameras=$3
shift 3

errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
# Long enough for answers on a bridge of veth pairs however busy the machine:
# they take milliseconds.
if ! printed=$("$try" --camera "$camera" "$@" search --wait 3 --format csv 2>"$errors"); then
  said=$(cat "$errors")
  echo "$said" >&2
  if echo "$said" | grep -q 'cannot create a private network namespace' && [ "${CI:-}" != true ]; then
    exit 77
  fi
  exit 1
fi

header=$(printf '\357\273\277摄像机MAC,IP地址,网关)\r')
[ "$(head -n 1 <<<"$printed")" = "$header" ] || { echo "not the export's header: $(head -n 1 <<<"$printed")" >&2; exit 1; }
listed=$(tail -n +2 <<<"$printed" | sort)
# The lab's cameras: name, address/prefix, gateway, MAC.
expected=$(awk '{ split($2, address, "/"); printf "%s,%s,%s\r\n", $4, address[1], $3 }' "$cameras" | sort)
if [ "$listed" != "$expected" ]; then
  printf 'listed:\n%s\nexpected:\n%s\n' "$listed" "$expected" >&2
  exit 1
fi
