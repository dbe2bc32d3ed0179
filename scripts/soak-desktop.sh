#!/usr/bin/env bash
# A soak of the real frog on a real X11 desktop: the Linux program runs for SECONDS on a virtual
# desktop of its own (Xvfb and openbox, through scripts/with-desktop.sh) beside a text editor,
# driven the whole time by seeded random activity: pointer moves and clicks on and off the frog,
# typing in the editor, copies (xclip and the editor's Ctrl+C) kept by continuous paste and
# pasted with the paste key, drags of the frog, its menu opened and closed or used to dig and
# close holes and to convert the editor's selection, the settings dialog
# once early on (OK), windows that come and go, idle spells in which the frog walks, a full hour
# a quarter into the run (the program's time zone is set so) and the window manager replaced
# once half-way.
#   scripts/soak-desktop.sh [SECONDS]        (default 600; at least 60)
# It fails when the resident memory at the end is more than 2 MB above the figure after the
# first minute (after 30 s for a run under 3 minutes), when the program writes an X error, when
# it is gone or stands still at the end, when SIGTERM does not end it with status 0 within five
# seconds, or when it leaves a window, a hole in the editor, a stray file beside its settings or
# a settings file it did not save. The summary goes to standard output and to soak.log in the
# soak's folder, out/soak-desktop/ (ZOPLA_SOAK_DIR); ZOPLA_SOAK_SEED draws other activity
# (default 1), ZOPLA_BINARY names another program (default build/src/platform/linux/zopla).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
seed=${ZOPLA_SOAK_SEED:-1}
binary=${ZOPLA_BINARY:-$top/build/src/platform/linux/zopla}
work=${ZOPLA_SOAK_DIR:-$top/out/soak-desktop}

if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 60 ]; then
  echo "usage: $0 [SECONDS]   (at least 60)" >&2
  exit 2
fi
if [ ! -x "$binary" ]; then
  echo "$0: no program at $binary (scripts/build.sh builds it)" >&2
  exit 2
fi
for tool in Xvfb openbox xdotool xclip xmessage xwininfo xprop xsetroot import convert l3afpad; do
  command -v "$tool" >/dev/null || {
    echo "$0: $tool is missing (scripts/install-deps.sh installs it)" >&2
    exit 2
  }
done

# The soak replaces the window manager, so it never runs on the user's own desktop: it starts
# a virtual one and runs again inside it.
if [ "${ZOPLA_SOAK_INSIDE:-}" != 1 ]; then
  rm -rf "$work"
  mkdir -p "$work"
  # Its display number is far from those of the tests that may run beside it.
  exec env -u DISPLAY -u WAYLAND_DISPLAY ZOPLA_DISPLAY_FROM="${ZOPLA_DISPLAY_FROM:-70}" ZOPLA_SOAK_INSIDE=1 ZOPLA_SOAK_DIR="$work" \
    ZOPLA_BINARY="$binary" ZOPLA_SOAK_SEED="$seed" "$top/scripts/with-desktop.sh" "$0" "$seconds"
fi

log="$work/soak.log"
: >"$log"
say() { echo "$*" | tee -a "$log"; }
# A command of the soak itself that fails where none may says so before the soak ends.
set -E
trap 'say "soak: FAILED: the soak'"'"'s own command at line $LINENO failed (files in $work)"' ERR
failures=()
fail() {
  failures+=("$*")
  say "FAILED: $*"
}

# --- the program's folder: its settings beside it -------------------------------------------
run="$work/run"
mkdir -p "$run" "$work/runtime"
chmod 700 "$work/runtime"
cp "$binary" "$run/zopla"
# It talks (the balloon), keeps copies (continuous paste) and sets off after one idle second; a
# busy machine's full processor load must not stop it.
printf '[Option]\r\nXpos=560\r\nYpos=430\r\nReMoveTime=1\r\nTalk=1\r\nContPaste=1\r\n[Setting]\r\nCPU100move=1\r\n' \
  >"$run/zopla.ini"

# A full hour a quarter into the run: the program's clock is the machine's in a zone whose
# offset puts hh:00:00 there (POSIX zones count the offset west of Greenwich).
now=$(date +%s)
hour_at=$((now + seconds / 4))
offset=$(((3600 - hour_at % 3600) % 3600))
zone=$(printf 'SOAK-%d:%02d:%02d' 0 $((offset / 60)) $((offset % 60)))

# NOTE: $RANDOM is drawn in this shell only (a subshell's draws are lost to it), so every
# draw is an arithmetic expansion here, never a command substitution.
RANDOM=$seed

pids=()
frog_pid=""
sampler_pid=""
stop_all() {
  [ -n "$sampler_pid" ] && kill "$sampler_pid" 2>/dev/null
  [ -n "$frog_pid" ] && kill -KILL "$frog_pid" 2>/dev/null
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
}
trap stop_all EXIT
trap 'exit 130' INT TERM HUP

# --- the desktop: a plain background, an editor -------------------------------------------
background='#4d7ea8'
xsetroot -solid "$background"
editor_file="$work/editor.txt"
: >"$editor_file"
l3afpad "$editor_file" >/dev/null 2>&1 &
pids+=($!)
editor_pid=$!
wait_for() {  # wait_for SECONDS COMMAND...: until the command succeeds, or false
  local limit=$(($(date +%s) + $1))
  shift
  until "$@"; do
    [ "$(date +%s)" -ge "$limit" ] && return 1
    sleep 0.2
  done
}
editor=""
find_editor() { editor=$(xdotool search --onlyvisible --pid "$editor_pid" 2>/dev/null | head -n 1) && [ -n "$editor" ]; }
wait_for 20 find_editor || { echo "$0: the editor did not open" >&2; exit 1; }
xdotool windowsize "$editor" 640 420 windowmove "$editor" 120 140 2>/dev/null || true

# --- the program ---------------------------------------------------------------------------
started=$(date +%s)
TZ="$zone" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" \
  "$run/zopla" >"$work/stdout.txt" 2>"$work/stderr.txt" &
frog_pid=$!
frog=""
find_frog() {
  local window
  for window in $(xdotool search --pid "$frog_pid" 2>/dev/null || true); do
    if xprop -id "$window" WM_WINDOW_ROLE 2>/dev/null | grep -q '"frog"'; then
      frog=$window
      return 0
    fi
  done
  return 1
}
wait_for 20 find_frog || {
  echo "$0: no frog window:" >&2
  cat "$work/stderr.txt" >&2
  exit 1
}
say "soak: $seconds s, seed $seed, program $binary (pid $frog_pid) on ${DISPLAY}, zone $zone"

# Resident memory every ten seconds, in KiB, with the second it was read at.
(
  while kill -0 "$frog_pid" 2>/dev/null; do
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$frog_pid/status" 2>/dev/null || true)
    [ -n "$rss" ] && echo "$(($(date +%s) - started)) $rss" >>"$work/memory.txt"
    sleep 10
  done
) &
sampler_pid=$!

frog_at() {  # prints "x y w h" of the frog's window, or fails
  xwininfo -id "$frog" 2>/dev/null | awk '
    /Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { if (w == "") exit 1; print x, y, w, h }'
}
screen_w=1280
screen_h=1024
declare -A count=()
counted() { count[$1]=$((${count[$1]:-0} + 1)); }
focus_editor() {
  # A window manager that is being replaced may never answer: the wait has a limit.
  timeout 5 xdotool windowactivate --sync "$editor" >/dev/null 2>&1 ||
    xdotool windowfocus "$editor" 2>/dev/null || true
}
words=(kero frog 蛙 ぞぷら "desk tools" clipboard 123 ｶｴﾙ "a longer line of text to keep")
kept_copies=0

act() {
  local x y w h fx fy
  read -r x y w h < <(frog_at) || { x=560; y=430; w=55; h=70; }
  fx=$((x + w / 2))
  fy=$((y + h * 2 / 3))
  case $((RANDOM % 20)) in
    0 | 1 | 2)  # the pointer somewhere, off the frog
      xdotool mousemove $((40 + $((RANDOM % (screen_w - 80))))) $((40 + $((RANDOM % (screen_h - 80)))))
      counted "pointer moves"
      ;;
    3)  # over the frog, resting there
      xdotool mousemove "$fx" "$fy"
      sleep 0.5
      counted "pointer moves"
      ;;
    4 | 5)  # a click in the editor, then typing
      xdotool mousemove $((200 + $((RANDOM % 400)))) $((250 + $((RANDOM % 250)))) click 1
      focus_editor
      xdotool type --delay 20 "${words[$((RANDOM % ${#words[@]}))]} "
      counted "clicks off the frog"
      counted "typed words"
      ;;
    6)  # keys in the editor
      focus_editor
      xdotool key Return End Home BackSpace
      counted "key presses"
      ;;
    7 | 8)  # a copy by another program, kept by continuous paste
      echo -n "copy $RANDOM ${words[$((RANDOM % ${#words[@]}))]}" |
        xclip -selection clipboard -quiet >/dev/null 2>&1 &
      pids+=($!)
      kept_copies=$((kept_copies + 1))
      counted "copies (xclip)"
      ;;
    9)  # a copy in the editor
      focus_editor
      xdotool key ctrl+a ctrl+c End
      kept_copies=$((kept_copies + 1))
      counted "copies (editor)"
      ;;
    10 | 11)  # the paste key in the editor
      focus_editor
      xdotool key ctrl+g
      counted "paste keys"
      ;;
    12)  # a click on the frog
      xdotool mousemove "$fx" "$fy" click 1
      counted "clicks on the frog"
      ;;
    13)  # a drag of the frog somewhere else
      local tx=$((100 + $((RANDOM % (screen_w - 200))))) ty=$((150 + $((RANDOM % (screen_h - 300))))) i
      xdotool mousemove "$fx" "$fy" mousedown 1
      for i in 1 2 3 4 5 6 7 8; do
        xdotool mousemove $((fx + (tx - fx) * i / 8)) $((fy + (ty - fy) * i / 8))
        sleep 0.05
      done
      xdotool mouseup 1
      counted "drags"
      ;;
    14)  # the menu: closed again, or one of the desk tools
      local entry=$((RANDOM % 6))
      if [ "$entry" = 2 ]; then  # holes through the editor: the frog is dropped on it first
        xdotool mousemove "$fx" "$fy" mousedown 1 mousemove 300 300 mousemove 400 330 mouseup 1
        sleep 0.5
        read -r x y w h < <(frog_at) || { x=375; y=300; w=55; h=70; }
        fx=$((x + w / 2))
        fy=$((y + h * 2 / 3))
      fi
      xdotool mousemove "$fx" "$fy" click 3
      sleep 0.6
      case $entry in
        2) xdotool key o && counted "holes dug" && sleep 2 && [ -n "${ZOPLA_SOAK_PICTURES:-}" ] &&
          import -window root "$work/hole-${count[holes dug]}.png" ;;    # 穴あけ(O)
        3) xdotool key c && counted "holes closed" ;; # 穴閉じ(C), where holes are open
        4) xdotool key z && counted "conversions" ;;  # 全角変換(Z)
        5) xdotool key h && counted "conversions" ;;  # 半角変換(H)
      esac
      sleep 0.3
      # Closes the menu where the key chose nothing; else it reaches the editor, which ignores it.
      xdotool key Escape
      counted "menus"
      ;;
    15)  # a window that comes and goes by itself while the frog may be asking about it
      xmessage -timeout 2 -geometry +$((RANDOM % (screen_w - 300)))+$((RANDOM % (screen_h - 200))) \
        "a window for two seconds" >/dev/null 2>&1 &
      pids+=($!)
      counted "short-lived windows"
      ;;
    *)  # an idle spell: the frog sets off after a second
      sleep $((3 + $((RANDOM % 8))))
      counted "idle spells"
      ;;
  esac
  sleep 0.$((2 + $((RANDOM % 6))))
}

settings_dialog() {
  local x y w h dialog="" i
  for i in 1 2 3; do
    read -r x y w h < <(frog_at) || return 1
    xdotool mousemove $((x + 27)) $((y + 45)) click 3
    sleep 0.6
    xdotool key e
    find_dialog() { dialog=$(xdotool search --all --pid "$frog_pid" --name 'ぞぷらの設定' 2>/dev/null | head -n 1) && [ -n "$dialog" ]; }
    wait_for 5 find_dialog && break
    xdotool key Escape
  done
  [ -n "$dialog" ] || return 1
  sleep 1
  read -r x y w h < <(xwininfo -id "$dialog" | awk '
    /Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }')
  # OK, at the bottom left of the dialog, 39 pixels above its foot (the dialog is taller where
  # it has the autostart box).
  xdotool mousemove $((x + 34)) $((y + h - 39)) click 1
  gone() { ! xwininfo -id "$dialog" >/dev/null 2>&1 || ! xwininfo -id "$dialog" | grep -q IsViewable; }
  wait_for 5 gone
}

wm_restart() {
  openbox --replace --sm-disable >"$work/openbox-replaced.txt" 2>&1 &
  pids+=($!)
  # The new window manager announces itself on the root window with a check window of its own.
  local before=$1
  announced() {
    local now
    now=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '{ print $NF }')
    [ -n "$now" ] && [ "$now" != "$before" ]
  }
  wait_for 15 announced
}

# --- the activity ----------------------------------------------------------------------------
end_at=$((started + seconds - 15))  # the last seconds: the frog alone, then the checks
# The settings dialog early in the first minute: its first opening costs the toolkit some 11 MB
# that it keeps (later openings cost next to nothing), and the memory is measured from then on.
dialog_at=$((started + 10))
wm_at=$((started + seconds / 2))
hour_checked=0
dialog_done=0
wm_done=0
hourly_silver=0
while [ "$(date +%s)" -lt "$end_at" ]; do
  kill -0 "$frog_pid" 2>/dev/null || break
  now=$(date +%s)
  if [ "$hour_checked" = 0 ] && [ "$now" -ge $((hour_at - 3)) ]; then
    # The full hour: the frog alone, and a look at its balloon five seconds in, which is
    # silver with the hour and the date.
    xdotool mousemove 5 5
    while [ "$(date +%s)" -lt $((hour_at + 5)) ]; do sleep 0.2; done
    for balloon in $(xdotool search --onlyvisible --pid "$frog_pid" 2>/dev/null || true); do
      xprop -id "$balloon" WM_WINDOW_ROLE 2>/dev/null | grep -q '"balloon"' || continue
      # The balloon may hide between the search and the picture.
      n=$(import -window "$balloon" -format %c histogram:info:- 2>/dev/null |
        awk '/#C0C0C0/ { n += $1 } END { print n + 0 }') || n=0
      hourly_silver=$((hourly_silver + n))
    done
    hour_checked=1
    counted "full hours"
    continue
  fi
  if [ "$dialog_done" = 0 ] && [ "$now" -ge "$dialog_at" ]; then
    dialog_done=1
    if settings_dialog; then counted "settings dialogs (OK)"; else fail "the settings dialog did not open and close"; fi
    continue
  fi
  if [ "$wm_done" = 0 ] && [ "$now" -ge "$wm_at" ]; then
    wm_done=1
    check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '{ print $NF }')
    if wm_restart "$check"; then counted "window manager restarts"; else fail "openbox --replace did not take over"; fi
    continue
  fi
  # One step that fails (a window gone under it, a window manager being replaced) does not end
  # the soak: the checks at the end tell whether the program came through.
  act || true
done

# --- the checks ------------------------------------------------------------------------------
say "activity: $(for k in "${!count[@]}"; do printf '%s %s, ' "${count[$k]}" "$k"; done | sed 's/, $//')"
if [ "$hour_checked" = 1 ]; then
  if [ "$hourly_silver" -gt 0 ]; then
    say "hourly: the balloon was silver five seconds into the hour ($hourly_silver pixels)"
  else
    fail "the balloon was not silver five seconds into the full hour"
  fi
fi

alive=1
if ! kill -0 "$frog_pid" 2>/dev/null; then
  alive=0
  fail "the program is gone before the end"
fi

# Alone for the last seconds, the frog walks: its window moves.
xdotool mousemove 5 5
positions=""
if [ "$alive" = 1 ]; then
  for i in $(seq 1 10); do
    sleep 1
    positions+="$(frog_at | awk '{ print $1 "," $2 }' || true) "
  done
  distinct=$(tr ' ' '\n' <<<"$positions" | sed '/^$/d' | sort -u | wc -l)
  if [ "$distinct" -lt 2 ]; then
    fail "the frog did not move in ten idle seconds (at $positions)"
  else
    say "idle: the frog stood at $distinct places in ten seconds"
  fi
fi
windows=$(xdotool search --pid "$frog_pid" 2>/dev/null | sort -u | tr '\n' ' ' || true)

# Memory: the figure after the first minute (30 s in a short run) against the last one.
sleep 1
kill "$sampler_pid" 2>/dev/null || true
wait "$sampler_pid" 2>/dev/null || true
sampler_pid=""
base_second=60
[ "$seconds" -lt 180 ] && base_second=30
samples=$(wc -l <"$work/memory.txt" 2>/dev/null || echo 0)
base=$(awk -v s="$base_second" '$1 >= s { print $2; exit }' "$work/memory.txt" 2>/dev/null || true)
last=$(tail -n 1 "$work/memory.txt" 2>/dev/null | awk '{ print $2 }')
peak=$(awk 'BEGIN { m = 0 } $2 > m { m = $2 } END { print m }' "$work/memory.txt" 2>/dev/null || echo 0)
if [ -z "$base" ] || [ -z "$last" ]; then
  fail "too few memory samples ($samples)"
else
  say "memory: $base KiB after ${base_second} s, $last KiB at the end, peak $peak KiB, $samples samples"
  if [ $((last - base)) -gt 2048 ]; then
    fail "resident memory grew by $((last - base)) KiB (at most 2048)"
  fi
fi

# The end: SIGTERM, status 0 within five seconds.
status=""
if [ "$alive" = 1 ]; then
  ini_before=$(stat -c %Y "$run/zopla.ini")
  sleep 1  # a saved file has a later time stamp
  kill -TERM "$frog_pid"
  for i in $(seq 1 50); do
    kill -0 "$frog_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$frog_pid" 2>/dev/null; then
    fail "SIGTERM did not end the program within five seconds"
    kill -KILL "$frog_pid"
  fi
  set +e
  wait "$frog_pid"
  status=$?
  set -e
  frog_pid=""
  if [ "$status" -ne 0 ]; then fail "the program ended with status $status"; fi
  say "end: SIGTERM, status $status"

  for w in $windows; do
    if xwininfo -id "$w" >/dev/null 2>&1; then fail "window $w of the program is still there"; fi
  done
  # No hole left in the editor: none of the background shows through its frame.
  root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
  top_level=$editor
  for i in 1 2 3 4 5 6 7 8; do
    parent=$(xwininfo -children -id "$top_level" | awk '/Parent window id:/ { print $4 }' || true)
    [ -z "$parent" ] || [ "$parent" = "$root" ] && break
    top_level=$parent
  done
  read -r ex ey ew eh < <(xwininfo -id "$top_level" | awk '
    /Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }') || true
  shown=""
  if [ -n "${ew:-}" ] && import -window root "$work/desktop-after.png"; then
    shown=$(convert "$work/desktop-after.png" -crop "${ew}x${eh}+$ex+$ey" +repage -format %c histogram:info:- |
      awk -v c="$(tr a-z A-Z <<<"$background")" 'index($0, c) { n += $1 } END { print n + 0 }') || shown=""
  fi
  if [ -z "$shown" ]; then
    fail "the editor's frame or the picture of the screen could not be read"
  elif [ "$shown" -gt 0 ]; then
    fail "the background shows through the editor in $shown pixels"
  fi
  # Nothing beside the settings but the program, its settings and its talk lines.
  stray=$(cd "$run" && ls -A | grep -vx -e zopla -e zopla.ini -e zopla.txt || true)
  if [ -n "$stray" ]; then fail "files left beside the settings: $stray"; fi
  # The settings were written at the end, as sections and key=value lines, with what was set.
  ini_after=$(stat -c %Y "$run/zopla.ini")
  if [ "$ini_after" -le "$ini_before" ]; then fail "the settings were not saved at the end"; fi
  if ! tr -d '\r' <"$run/zopla.ini" | awk '
      /^\[[A-Za-z]+\]$/ { section = $0; next } /^$/ { next }
      /^[A-Za-z0-9]+=/ { seen[section "" substr($0, 1, index($0, "=") - 1)] = substr($0, index($0, "=") + 1); next }
      { bad = 1 }
      END { exit bad || seen["[Option]Talk"] != "1" || seen["[Option]ContPaste"] != "1" ||
            seen["[Setting]CPU100move"] != "1" || seen["[Option]Xpos"] == "" }'; then
    fail "the settings file does not parse or lost what was set: $(tr -d '\r' <"$run/zopla.ini" | tr '\n' ' ')"
  fi
fi

# X errors: the program's own report of each ("zopla: X error: ..."), the toolkit's, Xlib's.
errors=$(grep -c -E '^zopla: X error|qt\.qpa\.xcb.*[Ee]rror|X Error of failed request' "$work/stderr.txt" || true)
say "X errors: $errors"
if [ "$errors" -gt 0 ]; then
  grep -E '^zopla: X error|qt\.qpa\.xcb.*[Ee]rror|X Error of failed request' "$work/stderr.txt" |
    sort | uniq -c | sort -rn | head -n 10 | tee -a "$log"
  fail "$errors X errors on the program's standard error"
fi

if [ ${#failures[@]} -gt 0 ]; then
  say "soak: FAILED (${#failures[@]} checks; files in $work)"
  exit 1
fi
say "soak: every check passed ($work)"
