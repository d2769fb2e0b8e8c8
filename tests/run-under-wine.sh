#!/bin/sh
# Runs a Windows program under Wine in a private network namespace of its
# own (made by run-in-netns.sh), with a wine server that starts there and has
# ended when this script returns. The wine server is the process that creates
# the program's sockets, so every socket of the run lives in the namespace.
# Started by tools/lab/tovalen-try, it runs in the namespace tovalen-try made,
# beside its cameras, instead.
# The prefix (WINEPREFIX) is created on first use and then reused; runs that
# share it must not overlap. Its fonts show Chinese (support/windows/wine-prefix.reg).
#
# usage: run-under-wine.sh [--setup COMMAND] [--display [--screenshot FILE.png]] PROGRAM.exe [ARG...]
#   --setup COMMAND  runs first, inside the namespace (to make interfaces, say)
#   --display        gives the program a display of its own (Xvfb)
#   --screenshot     takes a picture of that display when the program asks
#                    for one: once the file $TOVALEN_SCREENSHOT_READY exists;
#                    then makes $TOVALEN_SCREENSHOT_DONE
usage() {
  echo "usage: run-under-wine.sh [--setup COMMAND] [--display [--screenshot FILE.png]] PROGRAM.exe [ARG...]" >&2
  exit 2
}
if [ -z "${WINEPREFIX:-}" ]; then
  echo "run-under-wine.sh: WINEPREFIX must name the Wine prefix" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
if [ "${1:-}" != --in-namespace ]; then
  [ $# -gt 0 ] || usage
  if [ -n "${TOVALEN_TRY_NETNS:-}" ] && [ "$(readlink /proc/self/ns/net)" = "$TOVALEN_TRY_NETNS" ]; then
    exec "$0" --in-namespace "$@"
  fi
  exec "$here/run-in-netns.sh" "$0" --in-namespace "$@"
fi
shift
if [ "${1:-}" = --setup ]; then
  [ $# -gt 2 ] || usage
  "$2" || exit 1
  shift 2
fi
display=
screenshot=
if [ "${1:-}" = --display ]; then
  display=yes
  shift
  if [ "${1:-}" = --screenshot ]; then
    [ $# -gt 2 ] || usage
    screenshot=$2
    shift 2
  fi
fi
[ $# -gt 0 ] || usage

export WINEDEBUG="${WINEDEBUG:--all}"
# Neither .NET nor a browser engine is needed; their installers would go
# looking for downloads.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

work=$(mktemp -d)
xvfb=
watcher=
# A server left behind by a run that was killed lives in another namespace.
end_server() { wineserver -k 2>/dev/null; wineserver -w; }
# A Wine process still starting up when its server ends is unknown to the
# server, so -k misses it, and it then waits forever, holding this run's
# output open (ctest would wait for it too). Every Wine process in this
# network namespace is this run's.
kill_stragglers() {
  namespace=$(readlink /proc/self/ns/net)
  for process in /proc/[0-9]*; do
    [ "$(readlink "$process/ns/net" 2>/dev/null)" = "$namespace" ] || continue
    case $(readlink "$process/exe" 2>/dev/null) in
      /usr/lib/wine/*) kill -KILL "${process#/proc/}" 2>/dev/null ;;
    esac
  done
}
finish() {
  end_server
  kill_stragglers
  [ -z "$watcher" ] || kill "$watcher" 2>/dev/null
  [ -z "$xvfb" ] || { kill "$xvfb"; wait "$xvfb"; } 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

if [ -n "$display" ]; then
  # Xvfb picks a free display number and writes it once it accepts clients.
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  until [ -s "$work/display" ]; do
    kill -0 "$xvfb" 2>/dev/null || { echo "run-under-wine.sh: Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 1; }
    sleep 0.05
  done
  DISPLAY=:$(cat "$work/display")
  export DISPLAY
fi

end_server
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  wineboot -i || exit 1
  end_server
fi
# Wine draws the caption buttons with Marlett's symbols; Debian's Wine does not
# look for its own copy (fonts-wine), but finds fonts in the prefix.
marlett=/usr/share/wine/fonts/marlett.ttf
if [ -f "$marlett" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
  cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/" || exit 1
fi
if ! grep -q '^"Decorated"="N"' "$WINEPREFIX/user.reg"; then
  wine regedit /S "$here/support/windows/wine-prefix.reg" || exit 1
  wineserver -w  # the server saves the registry as it ends
fi

if [ -n "$screenshot" ]; then
  export TOVALEN_SCREENSHOT_READY="$work/ready" TOVALEN_SCREENSHOT_DONE="$work/done"
  (
    until [ -e "$work/ready" ]; do sleep 0.1; done
    import -window root -trim +repage "$screenshot" && touch "$work/done"
  ) &
  watcher=$!
fi
wine "$@"
exit $?
