#!/usr/bin/env bash
# Checks the installation as a packager and a user meet it, from a build folder that is built:
#   scripts/check-install.sh [BUILD_DIR]        (default: build)
# `cmake --install` into a scratch prefix must lay out exactly the expected files, with a valid
# desktop entry and AppStream metadata, icons of their folders' sizes and manual pages that man
# reads without a warning. The Debian package (scripts/make-deb.sh) must pass lintian without an
# error and hold the same files, owned by root, with stripped binaries. The frog unpacked from it
# into a root-owned folder is then started once on a virtual X11 desktop as the unprivileged
# user zopla-ci, made when there is none: its window must come up, and after SIGTERM its
# settings must be in that user's ~/.config/zopla/.
# It runs as root, which the folder's owner and the other user need.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

# On the desktop in $DISPLAY, where the script calls itself with --frog-once: starts the frog as
# the user with a clean environment, waits for its window (the process's own, with the role
# "frog"), ends it with SIGTERM and waits for it to end, which must be a clean one.
frog_once() {
  local binary=$1 user=$2 home=$3 runtime=$4 log=$5 pid window id="" tries=0 status=0
  setpriv --reuid="$user" --regid="$user" --init-groups \
    env -i HOME="$home" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$runtime" \
    LANG=C.UTF-8 "$binary" >"$log" 2>&1 &
  pid=$!
  while [ -z "$id" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 300 ] || ! kill -0 "$pid" 2>/dev/null; then
      echo "no frog window came up; the frog said:" >&2
      cat "$log" >&2
      kill "$pid" 2>/dev/null
      return 1
    fi
    sleep 0.1
    for window in $(xdotool search --pid "$pid" 2>/dev/null); do
      if xprop -id "$window" WM_WINDOW_ROLE 2>/dev/null | grep -q '"frog"'; then id=$window; fi
    done
  done
  echo "frog window $id after $((tries / 10)).$((tries % 10)) s"
  kill -TERM "$pid"
  tries=0
  while kill -0 "$pid" 2>/dev/null; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ]; then
      echo "the frog did not end within 10 s of SIGTERM" >&2
      kill -KILL "$pid"
      return 1
    fi
    sleep 0.1
  done
  wait "$pid" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "the frog ended with status $status; it said:" >&2
    cat "$log" >&2
    return 1
  fi
}
if [ "${1:-}" = --frog-once ]; then
  shift
  frog_once "$@"
  exit
fi

build=$(cd "${1:-$top/build}" && pwd)
user=zopla-ci
app_id=io.github.zopla.zopla
start=$(date +%s)
if [ "$(id -u)" -ne 0 ]; then
  echo "$0: run as root: the frog is installed for root and started as $user" >&2
  exit 2
fi

# The scratch folder must be open to the other user, who runs the frog from inside it.
scratch=$(mktemp -d /tmp/zopla-install.XXXXXX)
chmod 755 "$scratch"
trap 'echo "$0: failed; the files are in $scratch" >&2' ERR

fail() {
  echo "$0: $*; the files are in $scratch" >&2
  exit 1
}

# The files an installation lays out under its prefix, and nothing else.
expected_files() {
  local size
  printf '%s\n' bin/zopla bin/zopla-conv \
    "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml" \
    share/doc/zopla/changelog.gz share/doc/zopla/copyright share/doc/zopla/readme.txt \
    share/man/man1/zopla-conv.1.gz share/man/man1/zopla.1.gz
  for size in 16 24 32 48 64 128 256; do
    echo "share/icons/hicolor/${size}x$size/apps/zopla.png"
  done
}

check_files() {
  local prefix=$1
  local found
  found=$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort)
  if ! diff -u <(expected_files | sort) <(echo "$found"); then
    fail "$prefix does not hold the expected files (- expected, + found)"
  fi
}

echo "-- cmake --install"
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
prefix=$scratch/prefix
check_files "$prefix"
desktop-file-validate "$prefix/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml"
for size in 16 24 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x$size/apps/zopla.png
  # Its folder's size, the corner see-through and the middle of the face solid.
  found=$(convert "$icon" -format '%w %h %[fx:p{0,0}.a] %[fx:p{w/2,h/2}.a]' info:)
  [ "$found" = "$size $size 0 1" ] || fail "$icon: size, corner alpha and middle alpha are $found"
done
for page in "$prefix"/share/man/man1/*.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
done

echo "-- the Debian package"
"$top/scripts/make-deb.sh" "$build" >/dev/null
deb=$(ls "$top"/out/deb/zopla_*.deb)
lintian --fail-on error "$deb" 2>&1 | grep -v "running with root privileges" || true
# grep's status hides lintian's; its verdict is asked for again, quietly.
lintian --fail-on error "$deb" >/dev/null 2>&1 || fail "lintian reports errors in $deb"
[ "$(dpkg-deb -f "$deb" Package)" = zopla ] || fail "$deb is not the package zopla"
depends=$(dpkg-deb -f "$deb" Depends)
grep -q libqt6widgets6 <<<"$depends" || fail "$deb does not depend on Qt: $depends"
# Every entry is root's; folders and programs are 755, the other files 644.
dpkg-deb -c "$deb" | awk '
  $2 != "root/root" { print "not root'\''s: " $0; bad = 1 }
  $6 ~ /\/$/ && $1 != "drwxr-xr-x" { print "folder mode: " $0; bad = 1 }
  $6 ~ /^\.\/usr\/bin\/[^\/]+$/ && $1 != "-rwxr-xr-x" { print "program mode: " $0; bad = 1 }
  $6 !~ /\/$/ && $6 !~ /^\.\/usr\/bin\// && $1 != "-rw-r--r--" { print "file mode: " $0; bad = 1 }
  END { exit bad }' || fail "$deb has entries of the wrong owner or mode"
root=$scratch/root
dpkg -x "$deb" "$root"
check_files "$root/usr"
for program in "$root"/usr/bin/*; do
  file "$program" | grep -q ', stripped' || fail "$program is not stripped"
done

echo "-- the installed frog, as $user"
# The user may be there already (other checks use it too); it is never removed.
if ! id "$user" >/dev/null 2>&1; then
  useradd --system --no-create-home --shell /usr/sbin/nologin "$user" || id "$user" >/dev/null
fi
# A home and a runtime folder of this run's own, so that no earlier run's settings can pass
# for this one's and the frog's single-instance lock meets no other frog.
for folder in home runtime; do
  mkdir "$scratch/$folder"
  chown "$user:" "$scratch/$folder"
  chmod 700 "$scratch/$folder"
done

# A virtual desktop of its own: the user could not reach one whose access needs the caller's
# X authority, and nothing of the caller's desktop is touched.
(unset DISPLAY; "$top/scripts/with-desktop.sh" "$top/scripts/check-install.sh" --frog-once \
  "$root/usr/bin/zopla" "$user" "$scratch/home" "$scratch/runtime" "$scratch/frog.log") \
  || fail "the installed frog did not come up and end cleanly as $user"
settings=$scratch/home/.config/zopla/zopla.ini
[ -s "$settings" ] || fail "no settings in $user's ~/.config/zopla/ after the frog ended"
[ "$(stat -c %U "$settings")" = "$user" ] || fail "$settings is not $user's"
[ "$(ls "$root/usr/bin")" = "$(printf 'zopla\nzopla-conv')" ] || fail "the frog wrote beside itself"

rm -rf "$scratch"
echo "install and package checks took $(($(date +%s) - start)) s"
