#!/usr/bin/env bash
# Builds the Debian package from a build folder, checks it with lintian (no
# errors allowed), appstreamcli and desktop-file-validate, installs it with
# apt-get, runs the installed programs as an ordinary user under Xvfb with a
# window manager, removes the package and checks that nothing of it, and
# nothing the user's run wrote, is left outside that user's home folder.
#   scripts/package_test.sh [build-dir]        (default build; needs root)
# Exit status 77: skipped (not root, or a tool is missing).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
say() { echo "package_test: $*"; }
fail() { say "FAILED: $*"; exit 1; }

[ "$(id -u)" -eq 0 ] || { say "needs root for apt-get; skipped"; exit 77; }
for tool in cpack lintian dpkg-deb apt-get appstreamcli desktop-file-validate Xvfb xdotool \
  openbox useradd runuser flock pdfinfo file; do
  command -v "$tool" >/dev/null || { say "$tool is missing (scripts/setup.sh); skipped"; exit 77; }
done

# One run at a time on this machine: the package is installed system-wide.
exec 9>/tmp/quenlira-package-test.lock
flock -w 900 9 || fail "another package test holds the lock"

work=$(mktemp -d /tmp/quenlira-package.XXXXXX)
chmod 755 "$work"
user=quenlira-pkgtest
home=$work/home
installed=0 prog="" XVFB_PID="" XVFB_WM_PID=""
cleanup() {
  [ -n "$prog" ] && kill "$prog" 2>/dev/null || true
  [ -n "$XVFB_WM_PID" ] && kill "$XVFB_WM_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  if [ "$installed" = 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -q quenlira >/dev/null 2>&1 || true
  fi
  id "$user" >/dev/null 2>&1 && userdel -r "$user" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
export DEBIAN_FRONTEND=noninteractive

# 1. The package.
say "building the package"
cmake --build "$build" --target quenlira quenlira-chart quenlira-log quenlira_compressed_docs >/dev/null
(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"
  fail "cpack"
}
deb=$(ls "$work"/pkg/quenlira_*_amd64.deb)
say "built $(basename "$deb") ($(du -k "$deb" | cut -f1) kB)"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "no dependencies declared"

# 2. Checks of its contents.
lintian --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || true
grep -v 'root privileges' "$work/lintian.txt" || true
if grep -q '^E:' "$work/lintian.txt"; then fail "lintian reports errors"; fi
grep -q '^W:' "$work/lintian.txt" && say "lintian warnings above (no errors)"
dpkg-deb -x "$deb" "$work/x"
appstreamcli validate --no-net "$work"/x/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli"
desktop-file-validate "$work/x/usr/share/applications/quenlira.desktop" || fail "desktop file"
for prog_file in quenlira quenlira-chart quenlira-log; do
  file "$work/x/usr/bin/$prog_file" | grep -q ', stripped' || fail "$prog_file is not stripped"
done
for f in usr/share/doc/quenlira/copyright usr/share/doc/quenlira/CC-BY-SA-4.0.txt \
  usr/share/doc/quenlira/changelog.gz usr/share/man/man1/quenlira.1.gz \
  usr/share/icons/hicolor/scalable/apps/quenlira.svg usr/share/quenlira/Star.dat \
  usr/share/quenlira/Unsta.dat; do
  [ -s "$work/x/$f" ] || fail "$f is missing from the package"
done

# 3. Installed as a user would, with apt-get.
say "installing"
apt-get install -y -q -o DPkg::Lock::Timeout=300 "$deb" >"$work/apt.log" 2>&1 || {
  cat "$work/apt.log"
  fail "apt-get install"
}
installed=1
dpkg-query -L quenlira | sort >"$work/files.txt"
[ -x /usr/bin/quenlira ] && [ -x /usr/bin/quenlira-chart ] && [ -x /usr/bin/quenlira-log ] ||
  fail "programs not installed"

# 4. Run by an ordinary user.
id "$user" >/dev/null 2>&1 && userdel -r "$user" >/dev/null 2>&1 || true
useradd -m -d "$home" -s /bin/sh "$user"
as_user() {
  runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    XDG_RUNTIME_DIR="$home/run" "$@"
}
as_user mkdir -m 700 "$home/run"
as_user quenlira --version | grep -q '^quenlira ' || fail "quenlira --version"
as_user quenlira --help | grep -q '^Usage: quenlira' || fail "quenlira --help"
as_user quenlira-chart --site tokyo --date 2026-12-07 --time 12:00 -o "$home/sky.pdf" ||
  fail "quenlira-chart"
pdfinfo "$home/sky.pdf" | grep -q '^Pages: *1$' || fail "the chart tool's PDF"
# The log tool makes its database in the user's data folder.
as_user quenlira-log lists || fail "quenlira-log lists"
[ -s "$home/.local/share/quenlira/Observing.db" ] || fail "quenlira-log made no database"
# shellcheck source=scripts/xvfb.sh
. "$root/scripts/xvfb.sh"
start_xvfb 1280x900
start_wm
as_user DISPLAY="$XVFB_DISPLAY" quenlira >"$work/program.log" 2>&1 &
prog=$!
wait_window() { # title regex; prints the newest window id
  for _ in $(seq 300); do
    ids=$(DISPLAY=$XVFB_DISPLAY xdotool search --onlyvisible --name "$1" 2>/dev/null || true)
    [ -n "$ids" ] && { echo "$ids" | tail -1; return 0; }
    kill -0 "$prog" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
open=$(wait_window '^Quenlira III$') || { cat "$work/program.log"; fail "no opening window"; }
say "opening window $open"
DISPLAY=$XVFB_DISPLAY xdotool windowactivate --sync "$open" key Return >/dev/null 2>&1 || true
chart=""
for _ in $(seq 150); do
  for w in $(DISPLAY=$XVFB_DISPLAY xdotool search --onlyvisible --name '^Quenlira III$' 2>/dev/null); do
    [ "$w" != "$open" ] && chart=$w
  done
  [ -n "$chart" ] && break
  sleep 0.1
done
[ -n "$chart" ] || { cat "$work/program.log"; fail "no chart window after choosing a site"; }
say "chart window $chart"
sysinfo="$home/.local/share/quenlira/Sysinfo.dat"
[ "$(stat -c %s "$sysinfo" 2>/dev/null)" = 13096 ] || fail "no settings file in the user's folder"
[ "$(stat -c %U "$sysinfo")" = "$user" ] || fail "the settings file is not the user's"
kill "$prog"
wait "$prog" 2>/dev/null || true
prog=""

# 5. Removed: the package's files are gone, and the user left nothing
# anywhere an ordinary user may write, except in the home folder.
say "removing"
apt-get remove --purge -y -q -o DPkg::Lock::Timeout=300 quenlira >>"$work/apt.log" 2>&1 ||
  fail "apt-get remove"
installed=0
dpkg-query -W quenlira >/dev/null 2>&1 && fail "quenlira is still known to dpkg"
left=0
while read -r f; do
  if [ -e "$f" ] && [ ! -d "$f" ]; then
    say "left behind: $f"
    left=1
  fi
done <"$work/files.txt"
for d in /usr/share/quenlira /usr/share/doc/quenlira; do
  [ -e "$d" ] && { say "left behind: $d"; left=1; }
done
[ "$left" = 0 ] || fail "files of the package are left"
strays=$(find /tmp /var/tmp /dev/shm /run /var/lock /etc /usr /var /opt -xdev -user "$user" \
  -not -path "$home" -not -path "$home/*" 2>/dev/null || true)
[ -z "$strays" ] || { echo "$strays"; fail "the user's run left files outside the home folder"; }
say "PASSED: built, lintian without errors, installed, run by $user, removed without traces"
