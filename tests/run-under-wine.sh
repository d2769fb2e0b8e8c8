#!/bin/sh
# Runs a Windows program under Wine, with a wine server of its own that
# starts here and has ended when this script returns. Started through
# run-in-netns.sh, every Wine process of the run lives in that private
# namespace; this matters because the wine server is the process that
# creates the program's sockets. The prefix (WINEPREFIX) is created on first
# use and then reused; runs that share it must not overlap.
if [ $# -eq 0 ]; then
  echo "usage: run-under-wine.sh PROGRAM.exe [ARG...]" >&2
  exit 2
fi
if [ -z "${WINEPREFIX:-}" ]; then
  echo "run-under-wine.sh: WINEPREFIX must name the Wine prefix" >&2
  exit 2
fi
if ip -o link show | grep -qv ': lo:'; then
  echo "run-under-wine.sh: refusing to run outside a private network namespace (tests/run-in-netns.sh)" >&2
  exit 1
fi
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
