#!/bin/sh
# Start-up benchmark: the Qt program's start-up to its window shown, as whole
# processes, on a PC of 1,000 adapters against one of a single adapter, each
# in a network namespace of its own that this script makes and removes
# (root: ip netns). The adapters are macvlans on a veth, each up with an
# address of its own; the kernel needs no dummy driver for them.
#   bench/startup.sh BENCH [RUNS]
# BENCH is tovalen-startup-bench. Prints each figure's median (min-max) and
# the ratio of the medians: the start-up to the window shown, and the whole
# run of a window closed while its sockets open; then the UI thread's
# longest stall while the 1,000 adapters' sockets open.
set -eu
PATH="$PATH:/usr/sbin:/sbin"
bench=$1
runs=${2:-10}
many=1000
runtime=$(mktemp -d -t tovalen-startup.XXXXXX)
cleanup() {
  ip netns del tvstart-one 2>/dev/null || true
  ip netns del tvstart-many 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT INT TERM

# A namespace with loopback up, the groups routed to it, and a veth whose
# near end has an address; plus $2 - 1 macvlans on it, each with one.
make_namespace() {
  ip netns add "$1"
  batch="$runtime/$1.ip"
  {
    echo "link set lo up multicast on"
    echo "route add 224.0.0.0/4 dev lo"
    echo "link add tvbase type veth peer name tvbase-far"
    echo "link set tvbase-far up"
    echo "link set tvbase up"
    echo "address add 10.99.0.1/24 dev tvbase"
    i=1
    while [ "$i" -lt "$2" ]; do
      echo "link add link tvbase name m$i type macvlan mode bridge"
      echo "link set m$i up"
      echo "address add 10.$((100 + i / 250)).$((i % 250)).1/24 dev m$i"
      i=$((i + 1))
    done
  } >"$batch"
  ip -n "$1" -batch "$batch" >/dev/null
}

run_in() {
  ip netns exec "$1" env XDG_RUNTIME_DIR="$runtime" "$bench" "$2"
}

# "median (min-max)" of the numbers on standard input.
spread() {
  sort -n | awk '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%.1f (%.1f-%.1f)\n", m, v[1], v[NR] }'
}
median() { spread | cut -d' ' -f1; }

make_namespace tvstart-one 1
make_namespace tvstart-many "$many"
echo "adapters with an address: one: $(ip -n tvstart-one -4 -o address show | grep -vc ' lo '), many: $(ip -n tvstart-many -4 -o address show | grep -vc ' lo ')"

# Each mode's whole-process milliseconds on both sides, in turn, so that
# drift in the machine's speed hits both; a warm-up run of each first.
time_both() {
  run_in tvstart-one "$1" >/dev/null
  run_in tvstart-many "$1" >/dev/null
  : >"$runtime/one" >"$runtime/many"
  n=0
  while [ "$n" -lt "$runs" ]; do
    for side in one many; do
      start=$(date +%s%N)
      run_in "tvstart-$side" "$1" >/dev/null
      end=$(date +%s%N)
      echo "$end $start" | awk '{ printf "%.1f\n", ($1 - $2) / 1e6 }' >>"$runtime/$side"
    done
    n=$((n + 1))
  done
  one=$(median <"$runtime/one")
  manyms=$(median <"$runtime/many")
  echo "$2, ms, $runs runs each: 1 adapter $(spread <"$runtime/one"); $many adapters $(spread <"$runtime/many"); ratio of medians $(echo "$manyms $one" | awk '{ printf "%.2f", $1 / $2 }')"
}

time_both shown "start-up to window shown"
time_both closing "closed as soon as the sockets are opening"

: >"$runtime/stall" >"$runtime/open"
n=0
while [ "$n" -lt "$runs" ]; do
  run_in tvstart-many stall >"$runtime/stalled"
  awk '{ print $1 }' "$runtime/stalled" >>"$runtime/stall"
  awk '{ print $2 }' "$runtime/stalled" >>"$runtime/open"
  n=$((n + 1))
done
echo "$many adapters, from the first frame to the channel open: longest UI stall ms $(spread <"$runtime/stall"); ms to open $(spread <"$runtime/open")"
