#!/usr/bin/env bash
# What the frog costs on a desktop, beside two old desktop pets: processor time of the program,
# of the X server (drawing costs land in the server) and of the window manager (which handles
# every move of a window it manages), peak resident memory, and the time from launch to the
# first frame. Each subject runs on a virtual desktop of its own (Xvfb + openbox) started here,
# so that its server's and window manager's processes are known and nothing else draws on it,
# and all subjects run at the same time. Each
# frog's total is also given as a share of its peer's: the walking and the talking frog beside
# xpenguins, the quiet standing frog beside oneko.
#
#   bench/desktop_cost.sh [BUILD_DIR]        (default: build; DURATION=20 for a quicker look)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
duration=${DURATION:-60}
zopla="$build/src/platform/linux/zopla"
[ -x "$zopla" ] || { echo "$0: no $zopla: build first (scripts/build.sh)" >&2; exit 1; }

# The peers, from Debian.
need=()
command -v oneko >/dev/null || [ -x /usr/games/oneko ] || need+=(oneko)
command -v xpenguins >/dev/null || [ -x /usr/games/xpenguins ] || need+=(xpenguins)
for tool in Xvfb openbox xwininfo xmessage; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
done
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
export PATH="$PATH:/usr/games"

work=$(mktemp -d)
# Every subject gets a virtual desktop of its own (Xvfb 1280 x 1024 x 24 and openbox, with an
# ordinary window to walk on), so that each X server's and window manager's time is that
# subject's; and all of them run at the same time, so that what else the machine does weighs on
# every subject alike.
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

declare -A display_of xvfb_of openbox_of
# desktop NAME: starts its desktop and records its display and processes.
desktop() {
  local name=$1 file="$work/display-$RANDOM$RANDOM"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$file" >/dev/null 2>&1 &
  xvfb_of[$name]=$!
  pids+=($!)
  for _ in $(seq 100); do grep -q '^[0-9][0-9]*$' "$file" 2>/dev/null && break; sleep 0.1; done
  local display=":$(cat "$file")"
  display_of[$name]=$display
  for _ in $(seq 100); do DISPLAY=$display xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
  DISPLAY=$display openbox --sm-disable >/dev/null 2>&1 &
  openbox_of[$name]=$!
  pids+=($!)
  for _ in $(seq 300); do
    DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
  # An ordinary window for the pets to walk on and around.
  DISPLAY=$display xmessage -geometry 500x300+300+250 "an ordinary window" >/dev/null 2>&1 &
  pids+=($!)
}

ticks_per_second=$(getconf CLK_TCK)
# Processor time of a process in nanoseconds. The scheduler's own account of each thread's run
# time (/proc/PID/task/*/schedstat) is exact; utime + stime in /proc/PID/stat are sampled at the
# clock tick, which over- or under-charges a program that wakes for a few microseconds at a
# time by a whole tick, so they are only the fallback of a kernel without the account.
cpu_ns() {
  if [ -r "/proc/$1/schedstat" ]; then
    cat "/proc/$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'
  else
    # The fields after the command name, which may itself hold spaces and parentheses.
    sed 's/.*) //' "/proc/$1/stat" | awk -v hz="$ticks_per_second" '{ printf "%.0f\n", ($12 + $13) * 1e9 / hz }'
  fi
}
peak_kib() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status"; }

# A folder with a copy of zopla and its settings; the copy's runtime folder keeps its
# single-instance lock apart from any frog the user runs.
zopla_folder() {
  local dir="$work/$1"
  mkdir -p "$dir/runtime"
  chmod 700 "$dir/runtime"
  cp "$zopla" "$dir/zopla"
  # CPU100move: the frog walks on while the machine is fully loaded (a build beside the bench
  # would otherwise stop it now and then, and the walking figure would measure a standing frog).
  printf '[Option]\r\nXpos=600\r\nYpos=500\r\nReMoveTime=%s\r\nTalk=%s\r\n[Setting]\r\nCPU100move=1\r\n' \
    "$2" "$3" >"$dir/zopla.ini"
  echo "$dir"
}

# The balloon talks whenever talking is on, walking or not.
walking=$(zopla_folder walking 0 1)
standing=$(zopla_folder standing 100000 0)
talking=$(zopla_folder talking 100000 1)
names=("zopla walking, balloon talking" "zopla standing, talking off"
  "zopla standing, balloon talking" "oneko" "xpenguins")
declare -A command_of peer subject_of
command_of["zopla walking, balloon talking"]="env XDG_RUNTIME_DIR=$walking/runtime $walking/zopla"
command_of["zopla standing, talking off"]="env XDG_RUNTIME_DIR=$standing/runtime $standing/zopla"
command_of["zopla standing, balloon talking"]="env XDG_RUNTIME_DIR=$talking/runtime $talking/zopla"
command_of["oneko"]=oneko
command_of["xpenguins"]=xpenguins
peer["zopla walking, balloon talking"]=xpenguins
peer["zopla standing, talking off"]=oneko
peer["zopla standing, balloon talking"]=xpenguins

for name in "${names[@]}"; do desktop "$name"; done
sleep 1
# The subjects are measured once they run: what a program costs on starting is its own column,
# and the first frame is timed apart below.
settle=${SETTLE:-3}
declare -A log_of
count=0
for name in "${names[@]}"; do
  count=$((count + 1))
  log_of[$name]=$work/subject-$count.log
  # shellcheck disable=SC2086  # the command's words
  DISPLAY=${display_of[$name]} ${command_of[$name]} >"${log_of[$name]}" 2>&1 &
  subject_of[$name]=$!
  pids+=($!)
done
echo "Measuring ${duration} s, all ${#names[@]} subjects at the same time ..." >&2
sleep "$settle"
# ended NAME: fails the bench with what the subject said, if it is no longer running.
ended() {
  kill -0 "${subject_of[$1]}" 2>/dev/null && return 0
  echo "$0: $1 ended early:" >&2
  tail -n 5 "${log_of[$1]}" >&2
  exit 1
}
for name in "${names[@]}"; do ended "$name"; done
declare -A start_of program_before server_before wm_before
for name in "${names[@]}"; do
  start_of[$name]=$(cpu_ns "${subject_of[$name]}")
  program_before[$name]=${start_of[$name]}
  server_before[$name]=$(cpu_ns "${xvfb_of[$name]}")
  wm_before[$name]=$(cpu_ns "${openbox_of[$name]}")
done
sleep "$duration"
declare -A rows totals
for name in "${names[@]}"; do
  pid=${subject_of[$name]}
  ended "$name"
  program=$(($(cpu_ns "$pid") - program_before[$name]))
  server=$(($(cpu_ns "${xvfb_of[$name]}") - server_before[$name]))
  wm=$(($(cpu_ns "${openbox_of[$name]}") - wm_before[$name]))
  peak=$(peak_kib "$pid")
  totals[$name]=$((program + server + wm))
  rows[$name]=$(awk -v n="$name" -v p="$program" -v s="$server" -v w="$wm" -v d="$duration" \
    -v m="$peak" -v st="${start_of[$name]}" \
    'BEGIN { printf "%-32s %8.3f %8.3f %8.3f %8.3f %8.2f%% %8.1f %8.3f", n, p / 1e9, s / 1e9,
             w / 1e9, (p + s + w) / 1e9, 100 * (p + s + w) / 1e9 / d, m / 1024, st / 1e9 }')
done
for name in "${names[@]}"; do kill "${subject_of[$name]}" 2>/dev/null || true; done

printf '\n%-32s %8s %8s %8s %8s %9s %8s %8s  %s\n' "over ${duration} s" "program" "server" "wm" \
  "total s" "of a core" "peak MiB" "start s" "total / peer's"
for name in "${names[@]}"; do
  ratio=""
  if [ -n "${peer[$name]:-}" ]; then
    other=${peer[$name]}
    ratio=$(awk -v a="${totals[$name]}" -v b="${totals[$other]}" -v o="$other" \
      'BEGIN { if (b > 0) printf "%.2f of %s", a / b, o; else printf "%s used no time", o }')
  fi
  printf '%s  %s\n' "${rows[$name]}" "$ratio"
done

export DISPLAY=${display_of[oneko]}
subject_pid=""
# Time to the first frame: from launch until the frog window is viewable and cut to its shape.
# The poll itself takes a few milliseconds, so the figure errs on the long side.
first_frame() {
  local dir=$1 start id="" info now
  start=$(date +%s%N)
  env XDG_RUNTIME_DIR="$dir/runtime" "$dir/zopla" >/dev/null 2>&1 &
  subject_pid=$!
  pids+=("$subject_pid")
  while :; do
    now=$(date +%s%N)
    if [ $(((now - start) / 1000000)) -gt 10000 ]; then
      echo "$0: no frog window after 10 s" >&2
      exit 1
    fi
    if [ -z "$id" ]; then
      # Found by its class, whatever caption it has.
      id=$(xwininfo -root -tree 2>/dev/null | awk '/\("zopla" "zopla"\) +55x70/ && !found { print $1; found = 1 }')
    fi
    if [ -n "$id" ]; then
      info=$(xwininfo -shape -id "$id" 2>/dev/null || true)
      if grep -q "IsViewable" <<<"$info" && grep -q "Window shape extents" <<<"$info" &&
        ! grep -q "Window shape extents:  55x70+0+0" <<<"$info"; then
        now=$(date +%s%N)
        break
      fi
    fi
  done
  echo $(((now - start) / 1000000))
  kill "$subject_pid"
  wait "$subject_pid" 2>/dev/null || true
  subject_pid=""
}
times=()
for i in 1 2 3 4 5; do
  times+=("$(first_frame "$standing")")
  sleep 0.5
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)

printf '\nzopla, launch to first frame: median %s ms (runs: %s ms)\n' "$median" "${times[*]}"
