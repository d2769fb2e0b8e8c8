#!/bin/sh
# Runs a Windows program under Wine in a private network namespace of its
# own (made by run-in-netns.sh), with a wine server that starts there and has
# ended when this script returns. The wine server is the process that creates
# the program's sockets, so every socket of the run lives in the namespace.
# The prefix (WINEPREFIX) is created on first use and then reused; runs that
# share it must not overlap.
#
# usage: run-under-wine.sh [--setup COMMAND] PROGRAM.exe [ARG...]
#   COMMAND runs first, inside the namespace (to make interfaces, say).
usage() {
  echo "usage: run-under-wine.sh [--setup COMMAND] PROGRAM.exe [ARG...]" >&2
  exit 2
}
if [ -z "${WINEPREFIX:-}" ]; then
  echo "run-under-wine.sh: WINEPREFIX must name the Wine prefix" >&2
  exit 2
fi
if [ "${1:-}" != --in-namespace ]; then
  [ $# -gt 0 ] || usage
  exec "$(dirname "$0")/run-in-netns.sh" "$0" --in-namespace "$@"
fi
shift
if [ "${1:-}" = --setup ]; then
  [ $# -gt 2 ] || usage
  "$2" || exit 1
  shift 2
fi
[ $# -gt 0 ] || usage

export WINEDEBUG="${WINEDEBUG:--all}"
# The core needs neither .NET nor a browser engine; their installers would
# go looking for downloads. Nor does it need a display.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

# A server left behind by a run that was killed lives in another namespace.
end_server() { wineserver -k 2>/dev/null; wineserver -w; }
end_server
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  wineboot -i || exit 1
  end_server
fi
wine "$@"
status=$?
end_server
exit $status
