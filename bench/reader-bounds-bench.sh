#!/usr/bin/env bash
# Hostile inputs against velkanc's own readers: time and peak memory (/usr/bin/time -v) of
#  - `patch` of a 30 KB delta of 5000 long copies of the same bytes (328 MB if applied),
#  - `show` and `build` of a 10 MB project holding 10 million empty registry keys to remove,
#    as .vkp and (3.3 million, 10 MB) as .json,
#  - `verify` of a FIFO named as the setup program (bounded by `timeout 10`).
#
#   bench/reader-bounds-bench.sh [VELKANC]   (default: build/cli/velkanc)
#
# Prints Markdown table rows for BENCHMARKS.md.
set -euo pipefail
cd "$(dirname "$0")/.."
VELKANC=${1:-$PWD/build/cli/velkanc}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

mkdir -p "$WORK/src"
printf 'hello\n' > "$WORK/src/a.txt"
"$VELKANC" new --source "$WORK/src" -o "$WORK/p.vkp" >/dev/null
"$VELKANC" convert "$WORK/p.vkp" "$WORK/p.json" >/dev/null
python3 - "$WORK" <<'PY'
import json, struct, sys
work = sys.argv[1]
project = json.load(open(work + '/p.json'))
project['versions'][0].setdefault('uninstaller', {})['removeRegistryKeys'] = ['ZZMARKZZ']
json.dump(project, open(work + '/mark.json', 'w'))
# The same project with 3.3 million empty keys as text (10 MB).
project['versions'][0].setdefault('uninstaller', {})['removeRegistryKeys'] = [''] * 3300000
json.dump(project, open(work + '/keys.json', 'w'), separators=(',', ':'))
# The delta: a stored command sub-stream (4-byte length) of one long copy of 65664 bytes from 0
# and 4999 more of the same bytes (distance -65664), no literals.
commands = b'\x00\xff\xff\x80' + b'\x00\xff\xff\xff\x3f\xa0' * 4999
open(work + '/delta', 'wb').write(b'\x02' + struct.pack('<I', len(commands)) + commands +
                                  b'\x00\x00\x00')
open(work + '/old', 'wb').write(b'a' * 70000)
PY
"$VELKANC" convert "$WORK/mark.json" "$WORK/mark.vkp" >/dev/null
python3 - "$WORK" <<'PY'
import struct, sys
work = sys.argv[1]
data = open(work + '/mark.vkp', 'rb').read()
one = b'\x01\x00\x08ZZMARKZZ'
assert data.count(one) == 1
count = 10_000_000
open(work + '/keys.vkp', 'wb').write(
    data.replace(one, b'\xff\xff' + struct.pack('<I', count) + b'\x00' * count))
PY
mkfifo "$WORK/fifo"

measure() {  # label, command...
  local label=$1
  shift
  /usr/bin/time -v -o "$WORK/t" "$@" >/dev/null 2>"$WORK/err" || true
  local secs kb code
  secs=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$WORK/t")
  kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$WORK/t")
  code=$(sed -n 's/.*Exit status: //p' "$WORK/t")
  echo "| $label | $secs | $((kb / 1024)) MB | $code | $(head -c 110 "$WORK/err" | tr '\n|' ' /') |"
}

echo "| Input | Wall time | Peak memory | Exit | Message |"
echo "|---|---|---|---|---|"
measure "patch, 30 KB delta of 5000 long copies" "$VELKANC" patch "$WORK/old" "$WORK/delta" "$WORK/out"
measure "show, 10 MB .vkp of 10 M empty keys" "$VELKANC" show "$WORK/keys.vkp"
measure "build, the same" "$VELKANC" build "$WORK/keys.vkp" -o "$WORK/o.exe" --yes
measure "show, 10 MB .json of 3.3 M empty keys" "$VELKANC" show "$WORK/keys.json"
measure "build, the same" "$VELKANC" build "$WORK/keys.json" -o "$WORK/o.exe" --yes
measure "verify, a FIFO as the setup program" timeout 10 "$VELKANC" verify "$WORK/fifo"
