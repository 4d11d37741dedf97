#!/usr/bin/env bash
# Times the interactive install (the wizard, driven by key presses) against the unattended one
# (/S) of the same setup program under Wine, on a virtual X display.
#   runtime/tools/bench-wizard.sh VELKANC SOURCE_TREE WORK_DIR [RUNS]
#   runtime/tools/bench-wizard.sh VELKANC generated WORK_DIR [RUNS]
# Builds a one-version project of SOURCE_TREE with velkanc new / build, then RUNS times (5 by
# default), alternating, installs it with `setup.exe /S /D=...` and with `setup.exe /D=...` whose
# pages are passed with Enter as they appear (the Directory page's "all users" box stays checked,
# as /S decides for an administrator, so both runs install for all users), checks each install
# against the tree and uninstalls it (untimed) before the next. "generated" stands for a tree made
# under WORK_DIR the same way every time: 2,000 files in 40 folders, 1 to 64 KB each, half text
# lines (compressible) and half pseudo-random bytes. Per run it prints:
#   work: the install's own time, the two phases the run's log times ("every file rebuilt and
#         checked", "put in place"), the same code in both runs;
#   wall: for /S the whole process, for the wizard from Enter on the Confirmation page to the
#         End page shown (the log is polled every 10 ms), without the person's time on the pages.
# Then the median of each. Needs Xvfb and xdotool.
set -euo pipefail
velkanc=$(realpath "$1"); work=$(realpath -m "$3"); runs=${4:-5}
mkdir -p "$work/home"
if [ "$2" = generated ]; then
  src=$work/generated
  rm -rf "$src"
  python3 - "$src" <<'PY'
import os, random, sys
root = sys.argv[1]
rng = random.Random(1951)
words = [w.encode() for w in "install setup folder file version page wizard icon registry entry".split()]
for i in range(2000):
    folder = os.path.join(root, "d%02d" % (i % 40))
    os.makedirs(folder, exist_ok=True)
    size = rng.randint(1024, 65536)
    if i % 2:
        data = rng.randbytes(size)
    else:
        out = bytearray()
        while len(out) < size:
            out += b" ".join(rng.choice(words) for _ in range(12)) + b"\r\n"
        data = bytes(out[:size])
    with open(os.path.join(folder, "f%04d.%s" % (i, "bin" if i % 2 else "txt")), "wb") as f:
        f.write(data)
PY
else
  src=$(realpath "$2")
fi
export WINEPREFIX="$work/prefix" HOME="$work/home" WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
wine=${VELKAN_WINE:-$( [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64 || echo wine )}
display=:$(( 150 + RANDOM % 50 ))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
sleep 1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine" wineboot -i >/dev/null 2>&1; wineserver -w
  # Wine's own desktop window: the wizard gets the keyboard without a window manager.
  "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
fi
cd "$work"
"$velkanc" new --source "$src" --title Bench -o bench.vkp >/dev/null
"$velkanc" build bench.vkp -o setup.exe --yes >/dev/null
"$wine" cmd /c exit >/dev/null 2>&1   # the Wine server runs before the first timed install
drive=$WINEPREFIX/drive_c

now() { date +%s%N; }
phases() { grep -o 'checked in [0-9]* ms\|place in [0-9]* ms' "$1" | grep -o '[0-9]*' | paste -sd+ | bc; }
wait_for() {  # wait_for LOG TEXT: until the log holds TEXT after what was seen (counted in $seen)
  local n
  for _ in $(seq 3000); do
    n=$(grep -c -F "$2" "$1" 2>/dev/null || true)
    if [ "${n:-0}" -gt "${seen[$2]:-0}" ]; then seen[$2]=$n; return 0; fi
    sleep 0.01
  done
  echo "timed out waiting for '$2' in $1" >&2; exit 1
}
# Each install is taken away before the next, so that none replaces the other's place.
uninstall() {
  if [ -f "$drive/$1/Uninstal.exe" ]; then "$wine" "C:\\$1\\Uninstal.exe" /S </dev/null; wineserver -w; fi
  rm -rf "${drive:?}/$1"
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

declare -a silentWork silentWall wizardWork wizardWall
for i in $(seq "$runs"); do
  rm -rf "$drive/B1" "$drive/B2" "$drive/s.log" "$drive/w.log" s.log w.log
  start=$(now)
  "$wine" setup.exe /S /LOG=C:\\s.log /D=C:\\B1 </dev/null
  silentWall+=($(( ($(now) - start) / 1000000 )))
  wineserver -w
  cp "$drive/s.log" s.log
  silentWork+=("$(phases s.log)")
  diff -r "$src" "$drive/B1" -x 'Uninstal.*' >/dev/null
  uninstall B1

  declare -A seen=()
  "$wine" setup.exe /LOG=C:\\w.log /D=C:\\B2 </dev/null >/dev/null 2>&1 &
  setup=$!
  log=$drive/w.log
  # Pages by their codes (core/wizard/WizardPage.h): 0 Presentation, 4 Directory,
  # 5 Confirmation, 7 End.
  wait_for "$log" "wizard page 0"; xdotool key Return
  wait_for "$log" "wizard page 4"; xdotool key Return
  wait_for "$log" "wizard message: "; xdotool key Return   # create the directory?
  wait_for "$log" "wizard page 5"; sleep 0.3
  start=$(now); xdotool key Return
  wait_for "$log" "wizard page 7"
  wizardWall+=($(( ($(now) - start) / 1000000 )))
  xdotool key Return
  wait $setup
  wineserver -w
  cp "$log" w.log
  wizardWork+=("$(phases w.log)")
  diff -r "$src" "$drive/B2" -x 'Uninstal.*' >/dev/null
  uninstall B2
  echo "run $i: /S work ${silentWork[-1]} ms, wall ${silentWall[-1]} ms; wizard work ${wizardWork[-1]} ms, wall ${wizardWall[-1]} ms"
done
echo "files $(find "$src" -type f | wc -l), bytes $(du -sb "$src" | cut -f1), setup program $(stat -c %s setup.exe)"
echo "median: /S work $(printf '%s\n' "${silentWork[@]}" | median) ms, wall $(printf '%s\n' "${silentWall[@]}" | median) ms;" \
     "wizard work $(printf '%s\n' "${wizardWork[@]}" | median) ms, wall $(printf '%s\n' "${wizardWall[@]}" | median) ms"
