#!/bin/sh
# Runs a command in a private network namespace whose only interface is a
# multicast-capable loopback, so nothing it sends can leave this machine, and
# with a private runtime directory ($XDG_RUNTIME_DIR).
# Exits 77 (a skip for ctest) when no namespace can be created, except under
# CI, where that is a failure.
# Debian keeps tc and bridge (other systems ip too) only in /usr/sbin, which
# an ordinary user's PATH lacks.
PATH="$PATH:/usr/sbin:/sbin"
if [ $# -eq 0 ]; then
  echo "usage: run-in-netns.sh COMMAND [ARG...]" >&2
  exit 2
fi
if [ "$(id -u)" -eq 0 ]; then flags=-n; else flags=-rn; fi
if ! unshare $flags true 2>/dev/null; then
  reason="cannot create a private network namespace (unshare $flags refused)"
  if [ "${CI:-}" = true ]; then
    echo "FAILED: $reason" >&2
    exit 1
  fi
  echo "SKIPPED: $reason; the socket tests never run outside one"
  exit 77
fi
# Inside, the user may be root of a namespace of its own, whose lock and
# runtime files would otherwise go where the real root's do: the command gets
# a runtime directory of its own (mode 0700), removed when it ends.
exec unshare $flags sh -c '
  ip link set lo up multicast on && ip route add 224.0.0.0/4 dev lo || exit 1
  XDG_RUNTIME_DIR=$(mktemp -d -t tovalen-runtime.XXXXXX) || exit 1
  export XDG_RUNTIME_DIR
  trap "rm -rf \"\$XDG_RUNTIME_DIR\"" EXIT
  trap "exit 143" TERM
  trap "exit 130" INT
  "$@"' run-in-netns "$@"
