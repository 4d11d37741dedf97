#!/usr/bin/env bash
# Where the bytes of the install runtime's programs go: the size of each program as built, and,
# for one of them, its sections and largest functions from the same link without -s (symbols
# kept, nothing else changed).
#
#   bench/stub-size.sh [BUILD_DIR] [PROGRAM]   (default: build, velkan_setup; run after a build)
#   TOP=N bench/stub-size.sh ...               list the N largest functions (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=${1:-build}/runtime-win
PROGRAM=${2:-velkan_setup}
TOP=${TOP:-30}
[ -f "$BIN/$PROGRAM.exe" ] || { echo "no $BIN/$PROGRAM.exe: build the runtime first" >&2; exit 1; }

for exe in "$BIN"/*.exe; do printf '%-24s %8d bytes\n' "$(basename "$exe")" "$(stat -c %s "$exe")"; done

OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
# The program's own link line, with the symbols kept.
LINK=$(cd "$BIN" && ninja -t commands "$PROGRAM.exe" | tail -1)
LINK=${LINK// -s / }
LINK=${LINK//-o $PROGRAM.exe/-o $OUT/$PROGRAM.exe}
(cd "$BIN" && sh -c "$LINK")
echo
echo "$PROGRAM.exe sections (bytes):"
x86_64-w64-mingw32-size -A "$OUT/$PROGRAM.exe" | awk '$1 ~ /^\.(text|data|rdata|pdata|xdata|idata|rsrc|reloc|tls|CRT)$/ {printf "  %-8s %8d\n", $1, $2}'
echo
echo "largest functions (bytes, after link-time inlining):"
x86_64-w64-mingw32-nm -S --size-sort -C "$OUT/$PROGRAM.exe" | awk '$3 ~ /^[tT]$/' | tail -n "$TOP" |
  while read -r _ size _ name; do printf '  %6d %s\n' "$((16#$size))" "${name:0:110}"; done
