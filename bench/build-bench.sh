#!/usr/bin/env bash
# Build benchmark: `velkanc build` against Debian's `makensis` (SetCompressor zlib) on the same
# tree of real files (regular files of /usr/share/doc by default), with wall time and setup size
# side by side. The velkanc setup program is verified and extracted, and compared with the tree.
#
#   bench/build-bench.sh [VELKANC] [TREE]   (default: build-release/cli/velkanc, built if missing)
#   UNIQUE=1 bench/build-bench.sh ...       the same tree without files of repeated content
#   JOBS=N bench/build-bench.sh ...         velkanc build --jobs N (default: one per processor);
#                                           the program is also built with --jobs 1 and compared
#   SHARE=1 bench/build-bench.sh ...        velkanc build --share-equal-files
#   ROUNDS=N bench/build-bench.sh ...       N measured runs of each, interleaved (velkanc, makensis,
#                                           velkanc, ...): medians of wall and of CPU (user + sys)
#
# Prints a Markdown table row for BENCHMARKS.md.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
VELKANC=${1:-$ROOT/build-release/cli/velkanc}
SOURCE=${2:-/usr/share/doc}
if [ ! -x "$VELKANC" ]; then
  cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELKAN_TESTS=OFF >/dev/null
  cmake --build build-release --target velkanc
fi
if ! command -v makensis >/dev/null; then
  (apt-get update && apt-get install -y nsis) >/dev/null
fi

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
TREE=$WORK/tree
mkdir -p "$TREE"
# Regular files only (links followed would duplicate files or loop), names as they are.
(cd "$SOURCE" && find . -type f -print0 | xargs -0 cp --parents -t "$TREE")
if [ "${UNIQUE:-0}" = 1 ]; then
  # Drop every file whose content appeared before: makensis stores equal data once within one
  # setup, the package format stores equal files once only across versions.
  (cd "$TREE" && find . -type f -print0 | sort -z | xargs -0 md5sum | awk 'seen[$1]++ {print substr($0, 35)}' |
    while IFS= read -r f; do rm -f -- "$f"; done)
fi
FILES=$(find "$TREE" -type f | wc -l)
BYTES=$(find "$TREE" -type f -printf '%s\n' | awk '{s += $1} END {print s}')

"$VELKANC" new --source "$TREE/" --title "Bench" -o "$WORK/bench.vkp" >/dev/null

cat >"$WORK/bench.nsi" <<NSI
SetCompressor zlib
Unicode false
OutFile "$WORK/nsis-setup.exe"
InstallDir "\$PROGRAMFILES\\Bench"
Section
SetOutPath "\$INSTDIR"
File /r "$TREE/*.*"
SectionEnd
NSI

# Wall seconds and CPU seconds (user + system) of one run.
times() { /usr/bin/time -f "%e %U %S" "$@" 2>&1 >/dev/null | tail -n 1 | awk '{printf "%s %.2f\n", $1, $2 + $3}'; }
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2)}'; }

OPTS=()
[ "${SHARE:-0}" = 1 ] && OPTS+=(--share-equal-files)
# The caches are warm for both: each tool runs once before the measured runs.
"$VELKANC" build "$WORK/bench.vkp" -o "$WORK/velkan-setup.exe" --yes "${OPTS[@]}" >/dev/null
makensis -V1 "$WORK/bench.nsi" >/dev/null
: >"$WORK/v.times"
: >"$WORK/n.times"
for _ in $(seq "${ROUNDS:-1}"); do
  times "$VELKANC" build "$WORK/bench.vkp" -o "$WORK/velkan-setup.exe" --yes --jobs "${JOBS:-0}" "${OPTS[@]}" >>"$WORK/v.times"
  times makensis -V1 "$WORK/bench.nsi" >>"$WORK/n.times"
done
echo "velkanc wall/CPU per run: $(paste -sd' ' <(awk '{print $1 "/" $2}' "$WORK/v.times"))" >&2
echo "makensis wall/CPU per run: $(paste -sd' ' <(awk '{print $1 "/" $2}' "$WORK/n.times"))" >&2
echo "median CPU seconds: velkanc $(cut -d' ' -f2 "$WORK/v.times" | median), makensis $(cut -d' ' -f2 "$WORK/n.times" | median)" >&2
VT=$(cut -d' ' -f1 "$WORK/v.times" | median)
NT=$(cut -d' ' -f1 "$WORK/n.times" | median)
VS=$(stat -c %s "$WORK/velkan-setup.exe")
NS=$(stat -c %s "$WORK/nsis-setup.exe")

"$VELKANC" build "$WORK/bench.vkp" -o "$WORK/velkan-setup-1.exe" --yes --jobs 1 "${OPTS[@]}" >/dev/null
cmp "$WORK/velkan-setup.exe" "$WORK/velkan-setup-1.exe" ||
  { echo "the setup program differs from the one-thread build's" >&2; exit 1; }
"$VELKANC" verify "$WORK/velkan-setup.exe" >/dev/null
"$VELKANC" extract "$WORK/velkan-setup.exe" --to "$WORK/x" >/dev/null
# Paths equal but for case are one file on the target: only the first is packed.
DIFFER=$(diff -rq "$TREE" "$WORK/x" | wc -l || true)

awk -v f="$FILES" -v b="$BYTES" -v vt="$VT" -v nt="$NT" -v vs="$VS" -v ns="$NS" 'BEGIN {
  printf "| %d files, %d bytes | %s s | %s s | %.2f | %d | %d | %+.1f%% |\n",
         f, b, vt, nt, (nt > 0 ? vt / nt : 0), vs, ns, (vs - ns) * 100.0 / ns
}'
echo "extracted tree differs from the source in $DIFFER path(s) (directories emptied by UNIQUE=1, case-only duplicate names)" >&2
