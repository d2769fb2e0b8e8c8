#!/usr/bin/env bash
# lab_lifecycle_test.sh LAB-SCRIPT CAMERA TRY-SCRIPT
# What the lab builds, and that it takes all of it down again however it
# ends: its command's end, Ctrl-C, SIGTERM (and more signals during the
# teardown), a failure while it builds; that it refuses clearly where it
# cannot build; and that `clean` removes what a lab killed outright left, and
# only that. The same for tovalen-try, whose command also gets a runtime
# directory of its own: SIGTERM and SIGINT end it, and after SIGKILL nothing
# runs on and the next run removes its folders. Exits 77 (a skip for ctest)
# when this machine cannot create network namespaces, except under CI.
# shellcheck source-path=SCRIPTDIR
set -eu
lab=$1
camera=$2
try=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lab_checks.sh
. "$here/lab_checks.sh"
require_namespaces

work=$(mktemp -d)
started=()
trap 'for pid in "${started[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
      "$lab" clean >/dev/null; rm -rf "$work"' EXIT
own_interfaces >"$work/interfaces"
passed=0
failed=0

# check NAME COMMAND...: one verdict.
check() {
  local name=$1
  shift
  if "$@"; then
    echo "ok - $name"
    passed=$((passed + 1))
  else
    echo "FAILED - $name"
    failed=$((failed + 1))
  fi
}

# await WHAT COMMAND...: polls COMMAND until it succeeds, 20 s at most.
await() {
  local deadline=$((SECONDS + 20))
  until "${@:2}"; do
    [ "$SECONDS" -lt "$deadline" ] || { echo "timed out waiting for $1"; return 1; }
    sleep 0.05
  done
}

# start_in_session NAME COMMAND...: starts COMMAND in a session of its own,
# as from a terminal, with its output in $work/NAME.out; sets pid.
start_in_session() {
  local name=$1
  shift
  # A background job would ignore SIGINT, which a terminal's Ctrl-C sends.
  env --default-signal=INT setsid "$@" >"$work/$name.out" 2>&1 &
  pid=$!
  started+=("$pid")
}

# start_lab NAME [LAB-OPTION...] -- COMMAND...: a lab, as start_in_session.
start_lab() {
  local name=$1
  shift
  local options=()
  while [ "$1" != -- ]; do options+=("$1"); shift; done
  shift
  start_in_session "$name" "$lab" --camera "$camera" "${options[@]}" \
    run "$here/run-in-lab.sh" --record "$work/$name.ns" "$@"
}

# A command that says it runs (sh -c "$waits" FILE), then waits to be ended.
# shellcheck disable=SC2016 # expanded by that shell
waits='touch "$0"; exec sleep 600'

# start_waiting_labs FIRST SECOND: two labs whose commands note they are up
# (in $work/NAME.up) and wait; sets first and second to their pids.
start_waiting_labs() {
  start_lab "$1" -- sh -c "$waits" "$work/$1.up"
  first=$pid
  start_lab "$2" -- sh -c "$waits" "$work/$2.up"
  second=$pid
}

lab_ended() {
  [ ! -e "/proc/$1" ] || [ "$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)" = Z ]
}

# ends_with PID STATUS: the lab ends, with that status.
ends_with() {
  await "lab $1 to end" lab_ended "$1" || return 1
  local status=0
  wait "$1" || status=$?
  [ "$status" -eq "$2" ] || { echo "lab $1 ended with $status, not $2"; return 1; }
}

# leaves_nothing NAME PID [PREFIX]: nothing is left of the lab (or, with
# PREFIX tovalen-try, of tovalen-try) PID.
leaves_nothing() {
  local leftovers
  leftovers=$(left_behind "${3:-tvl}-$2" "$work/$1.ns" "$work/interfaces")
  [ -z "$leftovers" ] || { echo "$leftovers"; return 1; }
}

says() { grep -q "$2" "$work/$1.out" || { echo "no '$2' in:"; cat "$work/$1.out"; return 1; }; }

# --- The lab as built, and its command's status passed on.
# shellcheck disable=SC2016 # expanded inside the lab
describe='
for member in pc cam10 cam172 cam192; do
  ns=$TOVALEN_LAB-$member
  echo "$member $(ip -n "$ns" -4 -o address show dev eth0 | awk "{ print \$4 }")" \
       "$(ip -n "$ns" -4 route show default)" "$(ip netns pids "$ns" | sed -n "1s/.*/with a process/p")"
done
ip -n "$TOVALEN_LAB-switch" -d link show br0 | grep -o "mcast_snooping [0-9]"
exit 3'
start_lab layout -- sh -c "$describe"
check "the command's status is the lab's" ends_with "$pid" 3
check "the lab is built as its usage says" diff -u - "$work/layout.out" <<'EOF'
pc 192.168.1.10/24 default via 192.168.1.1 dev eth0  with a process
cam10 10.0.0.5/24 default via 10.0.0.1 dev eth0  with a process
cam172 172.16.5.20/24 default via 172.16.5.1 dev eth0  with a process
cam192 192.168.50.30/24 default via 192.168.50.1 dev eth0  with a process
mcast_snooping 0
EOF
check "nothing is left after the command ends" leaves_nothing layout "$pid"

# --- Ctrl-C reaches the command; the lab goes down with it.
# Two labs at once: one being interrupted never disturbs the other.
start_waiting_labs interrupted beside
interrupted=$first beside=$second
check "two labs run at once" await "both labs up" test -e "$work/interrupted.up" -a -e "$work/beside.up"
kill -INT -- "-$interrupted"  # what a terminal does on Ctrl-C
check "Ctrl-C ends the lab" ends_with "$interrupted" 130
check "nothing is left after Ctrl-C" leaves_nothing interrupted "$interrupted"
check "the other lab is untouched" test -n "$(ip netns list | grep "^tvl-$beside-cam10")"

# --- SIGTERM to the lab alone ends it and its command.
kill -TERM "$beside"
check "SIGTERM ends the lab" ends_with "$beside" 143
check "nothing is left after SIGTERM" leaves_nothing beside "$beside"

# --- Signals while the lab is being taken down do not cut the teardown
# short. This command notes the SIGTERM the lab sends it once teardown has
# begun, and holds the teardown up until it is released.
# shellcheck disable=SC2016 # expanded by that shell
lingers='trap "touch \"\$0.ending\"" TERM; touch "$0"; until [ -e "$0.released" ]; do sleep 0.05; done'
start_lab lingering -- sh -c "$lingers" "$work/lingering.up"
lingering=$pid
check "the lingering lab is up" await "the lingering lab up" test -e "$work/lingering.up"
kill -TERM "$lingering"
check "its teardown begins" await "the lab's SIGTERM to its command" test -e "$work/lingering.up.ending"
kill -INT "$lingering"
kill -TERM "$lingering"
kill -HUP "$lingering"
touch "$work/lingering.up.released"
check "signals during teardown are ignored" ends_with "$lingering" 143
check "nothing is left after signals during teardown" leaves_nothing lingering "$lingering"

# --- A failure while building takes down what was built so far.
camera=/bin/false start_lab broken -- true
check "a camera that does not start fails the lab" ends_with "$pid" 1
check "the failure is explained" says broken "camera cam10 did not start"
check "nothing is left after a failed build" leaves_nothing broken "$pid"

# --- Without the right to create namespaces the lab refuses, and creates nothing.
setpriv --reuid=65534 --regid=65534 --clear-groups "$lab" --camera "$camera" run true >"$work/refused.out" 2>&1 &
refused=$!
status=0
wait "$refused" || status=$?
check "the refusal fails" test "$status" -ne 0
check "the refusal says why" says refused "cannot create network namespaces"
check "nothing is created when refused" leaves_nothing refused "$refused"

# --- A lab killed outright leaves its namespaces; clean removes them, and
# only those of labs that are gone.
start_waiting_labs killed alive
killed=$first alive=$second
check "both labs up" await "both labs up" test -e "$work/killed.up" -a -e "$work/alive.up"
kill -KILL "$killed"
{ wait "$killed"; } 2>/dev/null || true
check "a killed lab leaves its namespaces" test -n "$(ip netns list | grep "^tvl-$killed-")"
"$lab" clean >"$work/clean.out"
check "clean removes what the killed lab left" leaves_nothing killed "$killed"
check "clean leaves a running lab alone" test -e "/proc/$alive" -a -n "$(ip netns list | grep "^tvl-$alive-pc")"
kill -TERM "$alive"
check "the running lab still ends cleanly" ends_with "$alive" 143
check "nothing is left of it" leaves_nothing alive "$alive"

# --- tovalen-try: the same cameras, built without root for `make run`.
# Its command (sh -c "$try_notes; ..." $work/NAME) notes tovalen-try's and
# the cameras' namespaces in NAME.ns, and its runtime directory in NAME.up:
# the path, mode and owner, and what it holds.
# shellcheck disable=SC2016 # expanded by that shell
try_notes='for task in $PPID $(pgrep -P $PPID); do stat -L -c %i /proc/$task/ns/net; done >"$0.ns"
{ echo "$XDG_RUNTIME_DIR"; stat -c "%a %u" "$XDG_RUNTIME_DIR"; ls -A "$XDG_RUNTIME_DIR"; } >"$0.part"
mv "$0.part" "$0.up"'

# start_try NAME -- COMMAND-TAIL: tovalen-try running "$try_notes; COMMAND-TAIL",
# as start_in_session.
start_try() {
  start_in_session "$1" "$try" --camera "$camera" sh -c "$try_notes; $3" "$work/$1"
}

# private_runtime NAME PID: the command of tovalen-try PID had a runtime
# directory of its own, made for it: empty, 0700 and this user's.
private_runtime() {
  local folder mode held
  { read -r folder; read -r mode; held=$(cat); } <"$work/$1.up"
  case $folder in
    "${TMPDIR:-/tmp}/tovalen-try-$2-runtime."*) ;;
    *) echo "XDG_RUNTIME_DIR=$folder"; return 1 ;;
  esac
  if [ "$mode" != "700 $(id -u)" ] || [ -n "$held" ]; then
    echo "mode and owner $mode, holding: $held"
    return 1
  fi
}

# start_waiting_tries FIRST SECOND: two tovalen-try whose commands note they
# are up (in $work/NAME.up) and wait; sets first and second to their pids.
start_waiting_tries() {
  start_try "$1" -- 'exec sleep 600'
  first=$pid
  start_try "$2" -- 'exec sleep 600'
  second=$pid
}

# no_process_left NAME: none runs in the namespaces noted in $work/NAME.ns.
no_process_left() {
  ! left_behind none "$work/$1.ns" "$work/interfaces" | grep -q '^process'
}

start_try try-ended -- 'exit 3'
check "tovalen-try's status is its command's" ends_with "$pid" 3
check "its command has a private runtime directory" private_runtime try-ended "$pid"
check "nothing is left after tovalen-try's command ends" leaves_nothing try-ended "$pid" tovalen-try

# SIGTERM and SIGINT to tovalen-try alone end its command at once.
start_waiting_tries try-terminated try-interrupted
terminated=$first interrupted=$second
check "two tovalen-try run at once" await "both up" test -e "$work/try-terminated.up" -a -e "$work/try-interrupted.up"
kill -TERM "$terminated"
kill -INT "$interrupted"
check "SIGTERM ends tovalen-try and its command" ends_with "$terminated" 143
check "nothing is left after SIGTERM to tovalen-try" leaves_nothing try-terminated "$terminated" tovalen-try
check "SIGINT ends tovalen-try and its command" ends_with "$interrupted" 130
check "nothing is left after SIGINT to tovalen-try" leaves_nothing try-interrupted "$interrupted" tovalen-try

# After SIGKILL its processes end with it; its folders stay until the next
# run, which spares those of a run still going.
start_waiting_tries try-killed try-alive
killed=$first alive=$second
check "both tovalen-try up" await "both up" test -e "$work/try-killed.up" -a -e "$work/try-alive.up"
{ kill -KILL "$killed"; wait "$killed"; } 2>/dev/null || true  # without bash's report of the kill
check "nothing of a killed tovalen-try runs on" await "its processes to end" no_process_left try-killed
check "a killed tovalen-try leaves its folders" test -d "$(head -n 1 "$work/try-killed.up")"
start_try try-later -- 'exit 0'
check "the next tovalen-try runs" ends_with "$pid" 0
check "the next run removes what the killed one left" leaves_nothing try-killed "$killed" tovalen-try
check "the next run spares a running one's folders" test -d "$(head -n 1 "$work/try-alive.up")"
kill -TERM "$alive"
check "the running tovalen-try still ends cleanly" ends_with "$alive" 143
check "nothing is left of it" leaves_nothing try-alive "$alive" tovalen-try

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
