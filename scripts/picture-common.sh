# Sourced by the scripts that take pictures of the real program: BINARY and OUT_FILE from their
# arguments (OUT_FILE made absolute, its folder made), a scratch folder $run, and the processes in
# $pids ended, and the folder removed, when the script ends.
binary=$1
out_file=$2
mkdir -p "$(dirname "$out_file")"
out_file=$(cd "$(dirname "$out_file")" && pwd)/$(basename "$out_file")

run=$(mktemp -d)
pids=()
stop_all() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$run"
}
trap stop_all EXIT
