#!/usr/bin/env bash
# Times an unattended install under Wine against `velkanc extract` of the same setup program.
#   runtime/tools/bench-install.sh VELKANC SOURCE_TREE WORK_DIR [RUNS]
# Builds a one-version project of SOURCE_TREE with velkanc new / build, then RUNS times (3 by
# default) extracts it natively and installs it with `setup.exe /S` in a private Wine prefix under
# WORK_DIR, checking that both give the source tree. Prints the wall times (best of the runs).
set -euo pipefail
velkanc=$(realpath "$1"); src=$(realpath "$2"); work=$(realpath -m "$3"); runs=${4:-3}
mkdir -p "$work/home"
export WINEPREFIX="$work/prefix" HOME="$work/home" WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY=
# The 64-bit loader (see tests/runtime): Debian's `wine` prefers a 32-bit one when both are installed.
wine=${VELKAN_WINE:-$( [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64 || echo wine )}
[ -f "$WINEPREFIX/system.reg" ] || { "$wine" wineboot -i >/dev/null 2>&1; wineserver -w; }
cd "$work"
"$velkanc" new --source "$src" --title Bench -o bench.vkp >/dev/null
"$velkanc" build bench.vkp -o setup.exe --yes >/dev/null
"$wine" cmd /c exit >/dev/null 2>&1   # the Wine server runs before the first timed install
best() { sort -n | head -1; }
extract=(); install=()
for _ in $(seq "$runs"); do
  rm -rf out inst
  extract+=("$( { /usr/bin/time -f %e "$velkanc" extract setup.exe --to out >/dev/null; } 2>&1 )")
  install+=("$( { /usr/bin/time -f %e "$wine" setup.exe /S "/D=Z:${work//\//\\}\\inst" </dev/null; } 2>&1 )")
  diff -r "$src" out >/dev/null
  diff -r -x 'Uninstal.*' "$src" inst >/dev/null
done
wineserver -w
echo "files $(find "$src" -type f | wc -l), bytes $(du -sb "$src" | cut -f1), setup program $(stat -c %s setup.exe)"
echo "velkanc extract: $(printf '%s\n' "${extract[@]}" | best) s; wine setup.exe /S: $(printf '%s\n' "${install[@]}" | best) s"
