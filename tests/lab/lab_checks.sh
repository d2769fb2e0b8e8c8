# shellcheck shell=bash
# Shared by the lab's test scripts (sourced): whether a lab can be built here,
# and whether a lab that has ended left anything behind.

# Debian keeps tc and bridge (other systems ip too) only in /usr/sbin, which
# an ordinary user's PATH lacks.
PATH="$PATH:/usr/sbin:/sbin"

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

# left_behind PREFIX RECORD INTERFACES: prints whatever the ended lab (or
# tovalen-try) whose names start with PREFIX left behind: namespaces,
# processes in namespaces listed in RECORD (see record_lab, may be missing),
# interfaces of this namespace not listed in INTERFACES, its folders in TMPDIR
# (the cameras' logs, say). Prints nothing when it left nothing.
left_behind() {
  ip netns list | awk -v prefix="$1-" 'index($1, prefix) == 1 { print "namespace " $1 }'
  local folder
  for folder in "${TMPDIR:-/tmp}/$1"-*.*; do [ ! -e "$folder" ] || echo "directory $folder"; done
  if [ -s "$2" ]; then
    # A namespace a leftover process still holds cannot have gone, so its
    # number cannot have been given to another: a recorded number that now
    # names another lab's namespace is that lab's, not a leftover.
    local others
    others=$(mktemp)
    for folder in /run/netns/*; do
      case "${folder##*/}" in "$1"-*) ;; *) stat -L -c %i "$folder" 2>/dev/null ;; esac
    done >"$others"
    # One stat for every process: a command per process takes seconds on a
    # busy machine.
    local task
    stat -L -c '%i %n' /proc/[0-9]*/ns/net 2>/dev/null |
      awk 'FILENAME == ARGV[1] { recorded[$1]; next } FILENAME == ARGV[2] { reused[$1]; next }
           ($1 in recorded) && !($1 in reused) { split($2, path, "/"); print path[3] }' "$2" "$others" - |
      while read -r task; do echo "process $task: $(tr '\0' ' ' 2>/dev/null <"/proc/$task/cmdline")"; done
    rm -f "$others"
  fi
  own_interfaces | comm -13 "$3" - | sed 's/^/interface /'
}
