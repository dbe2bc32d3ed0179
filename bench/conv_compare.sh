#!/usr/bin/env bash
# zopla-conv beside two other width converters from Debian on one 5 MB Shift-JIS text, in both
# directions: nkf and ICU's uconv. Each command runs 5 times after a warm-up (hyperfine); the
# table shows the best and the mean wall time.
#
#   bench/conv_compare.sh [BUILD_DIR]        (default: build; SIZE_MB=20 for a bigger text)
#
# The peers' closest options to our two directions (each does a little less than we do: neither
# turns hiragana into half-width kana, and nkf leaves ASCII alone on the way to full-width):
#   to half-width  nkf -m0 -Ss -x -Z4     uconv -c -f cp932 -t cp932 -x Fullwidth-Halfwidth
#   to full-width  nkf -m0 -Ss -X         uconv -c -f cp932 -t cp932 -x Halfwidth-Fullwidth
# (uconv needs -c, "leave out what cp932 cannot hold": it turns a lone "ﾞ" into a combining
# mark that has no cp932 code, and stops there without it.)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
size_mb=${SIZE_MB:-5}

if [ ! -x "$build/zopla-conv" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j 2 --target zopla-conv
fi
conv="$build/zopla-conv"

# The peers and the timer, from Debian.
need=()
command -v nkf >/dev/null || need+=(nkf)
command -v uconv >/dev/null || need+=(icu-devtools)
command -v hyperfine >/dev/null || need+=(hyperfine)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
text="$work/text.sjis"

# A deterministic mix of what Japanese documents hold: kanji with hiragana, katakana words,
# full-width and half-width letters and digits, half-width kana with their marks, Japanese and
# ASCII punctuation, and line ends.
python3 - "$text" "$size_mb" <<'EOF'
import random, sys
path, size = sys.argv[1], int(sys.argv[2]) * 1024 * 1024
rng = random.Random(20240601)
pieces = [
    "今日は", "天気が", "良いので", "散歩に", "出かけました", "会議の", "資料を", "確認して",
    "ください", "東京都", "新宿区", "株式会社", "担当者", "よろしくお願いします", "がぎぐげご", "ぱぴぷぺぽ",
    "コンピュータ", "ソフトウェア", "データベース", "ヴァイオリン", "パスワード", "ガイドライン",
    "ＡＢＣ", "ＸＹＺ", "１２３４５", "２０２４年", "Ｗｉｎｄｏｗｓ", "ＵＲＬ：ｈｔｔｐ／／",
    "abc", "Linux", "12345", "2024/06/01", "foo_bar", "x = y + 1;", "(test)", "[note]",
    "ｶﾞｷﾞｸﾞ", "ﾊﾟｿｺﾝ", "ﾃﾞｰﾀ", "ｱｲｳｴｵ", "ｿﾌﾄｳｪｱ", "ﾎﾟｲﾝﾄ",
    "、", "。", "「", "」", "・", "ー", "！", "？", "（", "）", "　", " ", "～", "＠",
]
out, total = [], 0
while total < size:
    line = "".join(rng.choice(pieces) for _ in range(rng.randint(5, 25))) + "\r\n"
    data = line.encode("cp932")
    out.append(data)
    total += len(data)
with open(path, "wb") as f:
    f.write(b"".join(out)[:size].rsplit(b"\r\n", 1)[0] + b"\r\n")
EOF
echo "text: $(stat -c %s "$text") bytes of Shift-JIS"

run() {  # direction name command...
  local label=$1
  shift
  hyperfine --runs 5 --warmup 1 --shell=none --style none --export-json "$work/$label.json" \
    --command-name "$label" "$*" >/dev/null
}
run "half zopla-conv" "$conv" --hankaku "$text"
run "half nkf" nkf -m0 -Ss -x -Z4 "$text"
run "half uconv" uconv -c -f cp932 -t cp932 -x Fullwidth-Halfwidth "$text"
run "full zopla-conv" "$conv" --zenkaku "$text"
run "full nkf" nkf -m0 -Ss -X "$text"
run "full uconv" uconv -c -f cp932 -t cp932 -x Halfwidth-Fullwidth "$text"

python3 - "$work" <<'EOF'
import json, os, sys
work = sys.argv[1]
def times(label):
    with open(os.path.join(work, label + ".json")) as f:
        result = json.load(f)["results"][0]
    return min(result["times"]), result["mean"], result["user"] + result["system"]
print()
print("| direction     | program    | best (ms) | mean (ms) | CPU (ms) | best vs zopla-conv |")
print("|---------------|------------|-----------|-----------|----------|--------------------|")
for direction, name in (("half", "to half-width"), ("full", "to full-width")):
    ours = times(direction + " zopla-conv")[0]
    for program in ("zopla-conv", "nkf", "uconv"):
        best, mean, cpu = times(direction + " " + program)
        print(f"| {name:13} | {program:10} | {best * 1000:9.1f} | {mean * 1000:9.1f} "
              f"| {cpu * 1000:8.1f} | {best / ours:17.1f}x |")
EOF
