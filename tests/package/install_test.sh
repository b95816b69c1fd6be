#!/usr/bin/env bash
# Checks the Debian package: lintian, the desktop entry, the AppStream data,
# then install, upgrade, remove and purge in a throwaway Debian made for this
# run (never on this machine), with the checks of in_chroot.sh after each step.
# Usage: tests/package/install_test.sh build/ruvured_<version>_<arch>.deb
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
deb=$(realpath "$1")
passed=0
failures=0
step() {
  local what=$1
  shift
  if "$@" >"$tmp/out" 2>&1; then
    echo "ok   $what"
    passed=$((passed + 1))
  else
    echo "FAIL $what"
    sed 's/^/     /' "$tmp/out"
    failures=$((failures + 1))
  fi
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -R "$deb" "$tmp/unpacked"

# lintian's warnings are shown; an error fails the test.
if lintian --fail-on error --tag-display-limit 0 "$deb" >"$tmp/lintian" 2>&1; then
  echo "ok   lintian: no errors"
  passed=$((passed + 1))
else
  echo "FAIL lintian"
  failures=$((failures + 1))
fi
grep -v "root privileges" "$tmp/lintian" | sed 's/^/     /' || true
step "desktop entry" desktop-file-validate "$tmp"/unpacked/usr/share/applications/*.desktop
step "AppStream metadata" appstreamcli validate --no-net "$tmp"/unpacked/usr/share/metainfo/*.metainfo.xml

# The same package with a higher version, for the upgrade.
version=$(dpkg-deb -f "$deb" Version)
sed -i "s/^Version: .*/Version: ${version}+1/" "$tmp/unpacked/DEBIAN/control"
newer="$tmp/ruvured_${version}+1.deb"
dpkg-deb -b "$tmp/unpacked" "$newer" >/dev/null

# The package's dependencies come with the throwaway system; downloads are
# kept between runs.
depends=$(dpkg-deb -f "$deb" Depends | sed -e 's/([^)]*)//g' -e 's/|[^,]*//g' -e 's/ //g')
cache=${XDG_CACHE_HOME:-$HOME/.cache}/ruvured-package-test
mkdir -p "$cache"
# in_chroot.sh prints one line per check; mmdebstrap fails when one fails.
if ! mmdebstrap --mode=root --variant=apt --quiet --skip=essential/unlink,download/empty \
  --include="systemd,$depends" \
  --setup-hook='mkdir -p "$1"/var/cache/apt/archives/' \
  --setup-hook="sync-in '$cache' /var/cache/apt/archives/" \
  --customize-hook="copy-in '$deb' '$newer' '$here/in_chroot.sh' /tmp/" \
  --customize-hook="sync-out /var/cache/apt/archives '$cache'" \
  --customize-hook="chroot \"\$1\" sh /tmp/in_chroot.sh /tmp/$(basename "$deb") /tmp/$(basename "$newer")" \
  bookworm "$tmp/root" >"$tmp/chroot.log" 2>&1; then
  grep -q '^FAIL' "$tmp/chroot.log" || { failures=$((failures + 1)); tail -n 40 "$tmp/chroot.log"; }
fi
grep '^FAIL\|^ok\|^     ' "$tmp/chroot.log" || true
passed=$((passed + $(grep -c '^ok' "$tmp/chroot.log" || true)))
failures=$((failures + $(grep -c '^FAIL' "$tmp/chroot.log" || true)))
echo "package: $passed passed, $failures failed"
[ "$failures" -eq 0 ]
