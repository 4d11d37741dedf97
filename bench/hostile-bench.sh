#!/usr/bin/env bash
# Hostile setup programs: time and peak memory of `velkanc inspect` and `velkanc verify` on small
# programs that state, or really carry, far more than they are worth: a packed section of an
# unused id that unpacks to 1 GiB, a wizard bitmap stating 1 GiB, a program with a byte after its
# data section; and an honest program carrying a 64 MB auxiliary file (random bytes, its cap),
# which is streamed rather than held. The peer is `gzip -dc` of a 1 GiB gzip bomb, which has no
# bound to keep.
#
#   bench/hostile-bench.sh [VELKANC]   (default: build/cli/velkanc)
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
"$VELKANC" build "$WORK/p.vkp" -o "$WORK/setup.exe" --yes >/dev/null
# An honest program with the largest auxiliary file a setup program carries (64 MiB, random).
head -c $((64 << 20)) /dev/urandom > "$WORK/aux.bin"
"$VELKANC" convert "$WORK/p.vkp" "$WORK/aux.json" >/dev/null
python3 - "$WORK/aux.json" "$WORK/aux.bin" <<'PY'
import json, sys
project = json.load(open(sys.argv[1]))
project['auxFile'] = sys.argv[2]
json.dump(project, open(sys.argv[1], 'w'))
PY
/usr/bin/time -f "%e s|%M KB|%x" -o "$WORK/aux-build.time" \
  "$VELKANC" build "$WORK/aux.json" -o "$WORK/aux.exe" --yes >/dev/null
rm "$WORK/aux.bin"
truncate -s 1G "$WORK/zero.bin"
"$VELKANC" pack "$WORK/zero.bin" "$WORK/zero.pk" >/dev/null
gzip -9 -c "$WORK/zero.bin" > "$WORK/zero.gz"
rm "$WORK/zero.bin"

# Inserts a packed section (id, u32 unpacked size, the packed stream) before the data section.
craft() {
  python3 - "$WORK/setup.exe" "$WORK/zero.pk" "$1" "$2" "$3" <<'PY'
import struct, sys
setup, packed, out, sid, trailing = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4], 16), int(sys.argv[5])
b = bytearray(open(setup, 'rb').read())
marker = b.find(b'\x77\x77\x67\x54\x29\x48')
pos = struct.unpack_from('<I', b, marker + 6)[0]
while struct.unpack_from('<H', b, pos)[0] != 0x7F7F:
    pos += 8 + struct.unpack_from('<I', b, pos + 4)[0]
if sid:
    body = struct.pack('<I', 1 << 30) + open(packed, 'rb').read()
    b[pos:pos] = struct.pack('<HHI', sid, 1, len(body)) + body
open(out, 'wb').write(bytes(b) + b'\0' * trailing)
PY
}
craft "$WORK/unused.exe" 4444 0
craft "$WORK/bitmap.exe" 1235 0
craft "$WORK/trailing.exe" 0 1

# "TIME|PEAK|EXIT" of a command.
measure() {
  /usr/bin/time -f "%e s|%M KB|%x" "$@" 2>&1 >/dev/null | tail -1 || true
}
row() {
  IFS='|' read -r time peak status <<<"$1"
  echo "$time | $peak | exit $status"
}
for program in unused bitmap trailing aux; do
  size=$(stat -c %s "$WORK/$program.exe")
  echo "| $program | $size | $(row "$(measure "$VELKANC" inspect "$WORK/$program.exe")") |" \
       "$(row "$(measure "$VELKANC" verify "$WORK/$program.exe")") |"
done
echo "| gzip -dc of 1 GiB of zeros | $(stat -c %s "$WORK/zero.gz") | | | | $(row "$(measure sh -c "gzip -dc '$WORK/zero.gz' > /dev/null")") |"
echo "| build of the aux program | $(stat -c %s "$WORK/aux.exe") | | | | $(row "$(tail -1 "$WORK/aux-build.time")") |"
