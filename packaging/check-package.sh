#!/usr/bin/env bash
# Package checks: builds the .deb (make package, which installs the tools used
# here when missing), runs lintian on it, then installs it, checks that the
# desktop finds the program, its icon and its manual pages, validates the
# installed desktop entry and AppStream data, and removes the package again.
# Installing needs root (sudo otherwise). Refuses to run where tovalen is
# already installed, and purges what it installed however it ends.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "FAILED: $*" >&2
  exit 1
}
sudo=$([ "$(id -u)" -eq 0 ] || echo sudo)
apt_get() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get -qq -y "$@" >/dev/null; }
installed() { [ "$(dpkg-query -W -f='${db:Status-Status}' tovalen 2>/dev/null)" = installed ]; }

! installed || fail "tovalen is already installed here; remove it first (apt-get purge tovalen)"
tree=$(mktemp -d)
trap 'rm -rf "$tree"; if installed; then apt_get purge tovalen; fi' EXIT

make package
debs=(build/tovalen_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "expected one package in build/, found: ${debs[*]}"
deb=${debs[0]}
echo "== $deb: $(du -k "$deb" | cut -f1) KiB"
# Its files, without the directories it shares with other packages.
mapfile -t files < <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }')
[ ${#files[@]} -gt 0 ] || fail "cannot list the files of $deb"

echo "== control fields"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[[ $depends == *libqt6widgets6* && $depends == *libc6* ]] || fail "Depends lacks the libraries of the binaries"
[[ $depends == *qt6-translations-l10n* ]] || fail "Depends lacks Qt's translations"
[ "$(dpkg-deb -f "$deb" Recommends)" = fonts-wqy-microhei ] || fail "Recommends is not fonts-wqy-microhei"
version=$(sed -n 's/^project(Tovalen VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not the project's, $version"

echo "== lintian"
lintian --fail-on error "$deb" || fail "lintian reports errors"

echo "== hardening"
dpkg-deb -x "$deb" "$tree"
# The binaries parse what the network sends: stack protector, fortified
# functions, read-only relocations bound at start, position independence.
unhardened=$(lintian --display-info --tags hardening-no-relro,hardening-no-fortify-functions,hardening-no-bindnow,hardening-no-pie "$deb")
[ -z "$unhardened" ] || fail "binaries not hardened: $unhardened"
for program in usr/bin/tovalen usr/bin/tovalen-cli usr/bin/tovalen-camera; do
  readelf -s --wide "$tree/$program" | grep -c '__stack_chk_fail' >/dev/null || fail "$program has no stack protector"
done

echo "== AppStream data and desktop entry, as a tree"
appstreamcli validate-tree --no-net "$tree" || fail "appstreamcli validate-tree"

echo "== install"
apt_get install "./$deb"
installed || fail "apt-get install left tovalen uninstalled"
for file in "${files[@]}"; do
  [ -e "$file" ] || fail "$file is in the package but not on disk"
done

[ "$(command -v tovalen)" = /usr/bin/tovalen ] || fail "tovalen is not on PATH"
[ "$(command -v tovalen-camera)" = /usr/bin/tovalen-camera ] || fail "tovalen-camera is not on PATH"
help=$(tovalen-camera --help) || fail "tovalen-camera --help exits with an error"
[[ $help == 'Usage: tovalen-camera'* ]] || fail "tovalen-camera --help prints no usage"
help=$(LANG=C tovalen-cli --help) || fail "tovalen-cli --help exits with an error"
[[ $help == 'Usage: tovalen-cli'* ]] || fail "tovalen-cli --help prints no usage"
for program in /usr/bin/tovalen /usr/bin/tovalen-cli /usr/bin/tovalen-camera; do
  ! ldd "$program" | grep 'not found' || fail "$program misses libraries"
done
[ "$(man -w tovalen)" = /usr/share/man/man1/tovalen.1.gz ] || fail "man finds no page for tovalen"
[ "$(man -w tovalen-camera)" = /usr/share/man/man1/tovalen-camera.1.gz ] || fail "man finds no page for tovalen-camera"
[ "$(man -w tovalen-cli)" = /usr/share/man/man1/tovalen-cli.1.gz ] || fail "man finds no page for tovalen-cli"

desktop=/usr/share/applications/tovalen.desktop
[ -f "$desktop" ] || fail "no desktop entry in /usr/share/applications"
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon '$icon' in hicolor"
for size in 16 24 32 48 64 128 256; do
  [ -f "/usr/share/icons/hicolor/${size}x$size/apps/$icon.png" ] || fail "no ${size}x$size icon '$icon' in hicolor"
done
metainfo=(/usr/share/metainfo/*tovalen*.metainfo.xml)
[ -f "${metainfo[0]}" ] || fail "no AppStream metainfo in /usr/share/metainfo"
appstreamcli validate --no-net "${metainfo[@]}" || fail "appstreamcli validate"

echo "== remove and purge"
apt_get remove tovalen
[ ! -e /usr/bin/tovalen ] || fail "apt-get remove left /usr/bin/tovalen"
# Without conffiles, removing already forgets the package; purge what is left.
if dpkg-query -W tovalen >/dev/null 2>&1; then apt_get purge tovalen; fi
[ -z "$(dpkg-query -W -f='${db:Status-Status}' tovalen 2>/dev/null)" ] || fail "dpkg still knows tovalen after purge"
for file in "${files[@]}"; do
  [ ! -e "$file" ] || fail "$file is left after purge"
done
[ ! -e /usr/share/doc/tovalen ] || fail "/usr/share/doc/tovalen is left after purge"
echo "package checks passed"
