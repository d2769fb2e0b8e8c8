#!/usr/bin/env bash
# run-beside-squatters.sh COMMAND [ARG...]
# Runs COMMAND as the PC of a network of namespaces made for it alone: the PC
# (192.168.1.10/24) and three squatters holding 192.168.1.100 to .102, which
# ignore every ping, on one bridge. COMMAND gets the squatters in
# TOVALEN_SQUATTERS ("ADDRESS=MAC ..."). The namespaces are named after this
# script's PID, so that runs side by side never meet, and removed however it
# ends. Exits 77 (a skip for ctest) when no namespaces can be made here,
# except under CI.
# shellcheck source-path=SCRIPTDIR
set -eu
[ $# -gt 0 ] || { echo "usage: run-beside-squatters.sh COMMAND [ARG...]" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../lab/lab_checks.sh
. "$here/../lab/lab_checks.sh"
require_namespaces

prefix=tvac-$$
made=()
# shellcheck disable=SC2317 # run by the EXIT trap
remove_all() {
  local namespace
  for namespace in "${made[@]}"; do ip netns del "$namespace" 2>/dev/null || true; done
}
trap remove_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

switch=$prefix-switch
made+=("$switch")
ip netns add "$switch"
ip -n "$switch" link add bridge type bridge
ip -n "$switch" link set bridge up

# host NAME ADDRESS/PREFIX MAC: a namespace on the bridge, its one interface
# eth0 holding ADDRESS with MAC.
host() {
  local namespace=$prefix-$1
  made+=("$namespace")
  ip netns add "$namespace"
  # No IPv6 chatter on the link: the neighbour table changes only when the
  # command makes it change.
  ip netns exec "$namespace" sysctl -q -w net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1
  ip -n "$switch" link add "$1" type veth peer name eth0 netns "$namespace"
  ip -n "$switch" link set "$1" master bridge up
  ip -n "$namespace" link set eth0 address "$3"
  ip -n "$namespace" address add "$2" dev eth0
  ip -n "$namespace" link set eth0 up
  ip -n "$namespace" link set lo up
}

host pc 192.168.1.10/24 02:54:56:00:00:10
squatters=
for last in 100 101 102; do
  mac=02:54:56:00:01:$(printf %02x "$last")
  host "squatter$last" "192.168.1.$last/24" "$mac"
  ip netns exec "$prefix-squatter$last" sysctl -q -w net.ipv4.icmp_echo_ignore_all=1
  squatters="$squatters 192.168.1.$last=$mac"
done

status=0
ip netns exec "$prefix-pc" env TOVALEN_SQUATTERS="${squatters# }" "$@" || status=$?
exit "$status"
