#!/usr/bin/env bash
# Delta encoder benchmark: `velkanc delta` against `xdelta3 -9 -S none` on real pairs of consecutive
# releases of the same file (npm packages) and on a generated ~200 MB pair, with delta size,
# encode time and peak memory side by side. Every delta is also applied back and compared.
#
#   bench/delta-bench.sh [VELKANC]      (default: build-release/cli/velkanc, built if missing)
#
# Prints a Markdown table for BENCHMARKS.md.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
VELKANC=${1:-$ROOT/build-release/cli/velkanc}
if [ ! -x "$VELKANC" ]; then
  cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELKAN_TESTS=OFF >/dev/null
  cmake --build build-release --target velkanc
fi
if ! command -v xdelta3 >/dev/null; then
  (apt-get update && apt-get install -y xdelta3) >/dev/null || sudo apt-get install -y xdelta3 >/dev/null
fi

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# fetch NAME VERSION PATH-IN-PACKAGE DEST
fetch() {
  local dir="$WORK/pkg-$1-$2"
  mkdir -p "$dir"
  (cd "$dir" && npm pack --silent "$1@$2" >/dev/null && tar xzf ./*.tgz)
  cp "$dir/package/$3" "$4"
}

# run LABEL COMMAND...: prints "seconds peak-KB" of one run
measure() {
  /usr/bin/time -f "%e %M" -o "$WORK/time" "$@" >/dev/null
  cat "$WORK/time"
}

row() {
  local name=$1 old=$2 new=$3
  local oldSize newSize v x
  oldSize=$(stat -c %s "$old")
  newSize=$(stat -c %s "$new")
  read -r vt vm < <(measure "$VELKANC" delta -q "$old" "$new" "$WORK/v.delta")
  read -r xt xm < <(measure xdelta3 -9 -S none -e -f -s "$old" "$new" "$WORK/x.delta")
  "$VELKANC" patch -q "$old" "$WORK/v.delta" "$WORK/v.out"
  cmp -s "$new" "$WORK/v.out" || { echo "velkanc patch did not rebuild $name" >&2; exit 1; }
  xdelta3 -d -f -s "$old" "$WORK/x.delta" "$WORK/x.out"
  cmp -s "$new" "$WORK/x.out" || { echo "xdelta3 did not rebuild $name" >&2; exit 1; }
  v=$(stat -c %s "$WORK/v.delta")
  x=$(stat -c %s "$WORK/x.delta")
  local vMBs xMBs
  vMBs=$(awk -v n="$newSize" -v t="$vt" 'BEGIN { printf "%.1f", n / 1e6 / (t > 0.005 ? t : 0.005) }')
  xMBs=$(awk -v n="$newSize" -v t="$xt" 'BEGIN { printf "%.1f", n / 1e6 / (t > 0.005 ? t : 0.005) }')
  printf "| %s | %d | %d | %d | %d | %s s (%s MB/s) | %s s (%s MB/s) | %d | %d |\n" \
    "$name" "$oldSize" "$newSize" "$v" "$x" "$vt" "$vMBs" "$xt" "$xMBs" "$vm" "$xm"
}

echo "| pair | old bytes | new bytes | velkanc delta | xdelta3 -9 -S none | velkanc time | xdelta3 time | velkanc peak KB | xdelta3 peak KB |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|"

fetch typescript 5.3.3 lib/typescript.js "$WORK/ts-old.js"
fetch typescript 5.4.2 lib/typescript.js "$WORK/ts-new.js"
row "typescript 5.3.3 -> 5.4.2 lib/typescript.js" "$WORK/ts-old.js" "$WORK/ts-new.js"

fetch lodash 4.17.20 lodash.js "$WORK/lo-old.js"
fetch lodash 4.17.21 lodash.js "$WORK/lo-new.js"
row "lodash 4.17.20 -> 4.17.21 lodash.js" "$WORK/lo-old.js" "$WORK/lo-new.js"

fetch react-dom 18.2.0 umd/react-dom.development.js "$WORK/rd-old.js"
fetch react-dom 18.3.1 umd/react-dom.development.js "$WORK/rd-new.js"
row "react-dom 18.2.0 -> 18.3.1 umd/react-dom.development.js" "$WORK/rd-old.js" "$WORK/rd-new.js"

fetch typescript 5.4.5 lib/tsc.js "$WORK/tsc-old.js"
fetch typescript 5.5.2 lib/tsc.js "$WORK/tsc-new.js"
row "typescript 5.4.5 -> 5.5.2 lib/tsc.js" "$WORK/tsc-old.js" "$WORK/tsc-new.js"

fetch lightningcss-win32-x64-msvc 1.24.0 lightningcss.win32-x64-msvc.node "$WORK/lcss-old.node"
fetch lightningcss-win32-x64-msvc 1.24.1 lightningcss.win32-x64-msvc.node "$WORK/lcss-new.node"
row "lightningcss-win32-x64-msvc 1.24.0 -> 1.24.1 .node" "$WORK/lcss-old.node" "$WORK/lcss-new.node"

fetch @esbuild/win32-x64 0.20.2 esbuild.exe "$WORK/esb-old.exe"
fetch @esbuild/win32-x64 0.21.0 esbuild.exe "$WORK/esb-new.exe"
row "@esbuild/win32-x64 0.20.2 -> 0.21.0 esbuild.exe" "$WORK/esb-old.exe" "$WORK/esb-new.exe"

fetch react-dom 18.2.0 umd/react-dom.production.min.js "$WORK/rdm-old.js"
fetch react-dom 18.3.1 umd/react-dom.production.min.js "$WORK/rdm-new.js"
row "react-dom 18.2.0 -> 18.3.1 umd/react-dom.production.min.js" "$WORK/rdm-old.js" "$WORK/rdm-new.js"

# Generated pairs: a small one and a ~200 MB one, the new file an edited copy of the old
# (insertions, deletions, changed bytes every few KB), to show memory does not grow with size.
python3 - "$WORK" <<'PY'
import random, sys
work = sys.argv[1]
def make(name, size, seed):
    rng = random.Random(seed)
    words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz_(){};= \n") for _ in range(rng.randint(2, 12)))
             for _ in range(5000)]
    chunk = b"".join(rng.choice(words) for _ in range(400000))  # ~3 MB of text-like material
    old = bytearray()
    i = 0
    while len(old) < size:
        old += chunk[(i * 7919) % len(chunk):] + chunk[:(i * 7919) % len(chunk)]
        old += rng.randbytes(4096)
        i += 1
    del old[size:]
    new = bytearray()
    at = 0
    while at < len(old):
        run = rng.randint(2000, 20000)
        new += old[at:at + run]
        at += run
        r = rng.random()
        if r < 0.3:
            new += rng.randbytes(rng.randint(1, 200))
        elif r < 0.6:
            at += rng.randint(1, 200)
    open(f"{work}/{name}-old.bin", "wb").write(old)
    open(f"{work}/{name}-new.bin", "wb").write(new)
make("small", 1_000_000, 1)
make("large", 200_000_000, 2)
PY
row "generated 1 MB, edited" "$WORK/small-old.bin" "$WORK/small-new.bin"
row "generated 200 MB, edited" "$WORK/large-old.bin" "$WORK/large-new.bin"
