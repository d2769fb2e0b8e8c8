# shellcheck shell=bash
# Shared by the lab's test scripts (sourced): whether a lab can be built here,
# and whether a lab that has ended left anything behind.

# Exits 77, a skip for ctest, when this machine cannot create network
# namespaces; under CI=true that is a failure instead.
require_namespaces() {
  local reason=
  if [ "$(id -u)" -ne 0 ]; then
    reason="the lab needs root to create network namespaces"
  elif ! unshare -n true 2>/dev/null; then
    reason="network namespaces cannot be created here (unshare -n refused)"
  fi
  [ -n "$reason" ] || return 0
  if [ "${CI:-}" = true ]; then
    echo "FAILED: $reason" >&2
    exit 1
  fi
  echo "SKIPPED: $reason; the lab tests never run outside a lab"
  exit 77
}

# The interfaces of the namespace the tests run in, which a lab must not touch.
own_interfaces() {
  ip -o link show | awk -F': ' '{ print $2 }' | sort
}

# record_lab FILE: run inside a lab, notes the lab's namespaces (their inode
# numbers), so that its processes can be told apart after it has ended.
record_lab() {
  local ns
  for ns in /run/netns/"$TOVALEN_LAB"-*; do stat -L -c %i "$ns"; done >"$1"
}

# left_behind PREFIX RECORD INTERFACES: prints whatever the ended lab whose
# names start with PREFIX left behind: namespaces, processes in namespaces
# listed in RECORD (see record_lab, may be missing), interfaces of this
# namespace not listed in INTERFACES, the cameras' logs. Prints nothing when
# it left nothing.
left_behind() {
  ip netns list | awk -v prefix="$1-" 'index($1, prefix) == 1 { print "namespace " $1 }'
  local logs
  for logs in "${TMPDIR:-/tmp}/$1"-logs.*; do [ ! -e "$logs" ] || echo "directory $logs"; done
  if [ -s "$2" ]; then
    local task inode
    for task in /proc/[0-9]*; do
      inode=$(readlink "$task/ns/net" 2>/dev/null | tr -cd '0-9') || continue
      grep -qx "$inode" "$2" && echo "process ${task#/proc/}: $(tr '\0' ' ' <"$task/cmdline" 2>/dev/null)"
    done
  fi
  own_interfaces | comm -13 "$3" - | sed 's/^/interface /'
}
