#!/usr/bin/env bash
# Compressor benchmark: `velkanc pack` / `velkanc unpack` against `gzip -9` / `gzip -d` on the same
# inputs (text, binary, random, zeros; ~30 MB each, generated), plus peak memory of pack on a
# 1 MB and a 1 GB input. Usage: bench/compress-bench.sh [VELKANC] [WORKDIR]
# Uses hyperfine when installed, else the best of several /usr/bin/time runs (user CPU seconds).
set -euo pipefail
VELKANC=${1:-build-release/cli/velkanc}
WORK=${2:-$(mktemp -d /tmp/velkan-compress-bench.XXXXXX)}
RUNS=${RUNS:-3}
SIZE=$((30 * 1024 * 1024))
mkdir -p "$WORK"
VELKANC=$(realpath "$VELKANC")
cd "$WORK"

gen() {
    [ -s text.bin ] || { find /usr/share/man /usr/share/doc -type f -name '*.gz' -print0 | sort -z |
        xargs -0 cat 2>/dev/null | gzip -dc 2>/dev/null | head -c $SIZE > text.bin || true; }
    [ -s binary.bin ] || { find /usr/lib -type f \( -name '*.so*' -o -name '*.a' \) -print0 2>/dev/null |
        sort -z | xargs -0 cat 2>/dev/null | head -c $SIZE > binary.bin || true; }
    [ -s random.bin ] || head -c $SIZE /dev/urandom > random.bin
    [ -s zeros.bin ] || head -c $SIZE /dev/zero > zeros.bin
}

# Best user+system CPU seconds of RUNS runs of a command (stdout discarded).
best() {
    local best=""
    for _ in $(seq "$RUNS"); do
        local t
        t=$( { /usr/bin/time -f "%U %S" "$@" > /dev/null; } 2>&1 | tail -1 | awk '{print $1 + $2}')
        if [ -z "$best" ] || awk "BEGIN{exit !($t < $best)}"; then best=$t; fi
    done
    echo "$best"
}

gen
printf "%-8s %10s %10s %10s %8s %8s %8s %8s %8s\n" input bytes velkan gzip-9 "v s" "gz s" "pack x" "v-d s" "gz-d s"
for f in text binary random zeros; do
    "$VELKANC" pack $f.bin $f.vp
    gzip -9 -c $f.bin > $f.gz
    if command -v hyperfine > /dev/null; then
        hyperfine -w 1 -r "$RUNS" "$VELKANC pack $f.bin $f.vp" "gzip -9 -c $f.bin > /dev/null" \
            "$VELKANC unpack $f.vp $f.out" "gzip -dc $f.gz > /dev/null"
    fi
    vp=$(best "$VELKANC" pack $f.bin $f.vp)
    gz=$(best gzip -9 -c $f.bin)
    vd=$(best "$VELKANC" unpack $f.vp $f.out)
    gd=$(best gzip -dc $f.gz)
    cmp -s $f.bin $f.out || { echo "round trip of $f failed"; exit 1; }
    printf "%-8s %10d %10d %10d %8.2f %8.2f %8.2f %8.2f %8.2f\n" $f $(stat -c %s $f.bin) \
        $(stat -c %s $f.vp) $(stat -c %s $f.gz) "$vp" "$gz" \
        "$(awk "BEGIN{print $gz / ($vp > 0 ? $vp : 0.001)}")" "$vd" "$gd"
done
echo "(pack x = gzip -9 time / velkanc pack time; decode ratio = gz-d s / v-d s)"

# Peak memory of pack: 1 MB against 1 GB (the large file is built from the binary input and
# removed afterwards).
head -c $((1024 * 1024)) binary.bin > one-mb.bin
: > one-gb.bin
while [ "$(stat -c %s one-gb.bin)" -lt $((1024 * 1024 * 1024)) ]; do cat binary.bin >> one-gb.bin; done
truncate -s $((1024 * 1024 * 1024)) one-gb.bin
for f in one-mb one-gb; do
    /usr/bin/time -f "$f pack: max RSS %M KB, %e s" "$VELKANC" pack $f.bin $f.vp
    /usr/bin/time -f "$f unpack: max RSS %M KB, %e s" "$VELKANC" unpack $f.vp $f.out
    cmp -s $f.bin $f.out || { echo "round trip of $f failed"; exit 1; }
    rm -f $f.out
done
rm -f one-gb.bin one-gb.vp
