#!/usr/bin/env bash
# Builds velkanc (Release) and runs the main job: makes the example project from data/examples/
# and builds it into a setup program under out/. With arguments, passes them to velkanc instead.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh $(grep -v '^#' scripts/packages.txt)
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELKAN_TESTS=OFF \
  -DVELKAN_GUI=OFF >/dev/null
cmake --build build-release --target velkanc
VELKANC=build-release/cli/velkanc
if [ $# -gt 0 ]; then
  exec "$VELKANC" "$@"
fi
mkdir -p out
"$VELKANC" new --source "$PWD/data/examples/hello/" --title "Hello World" -o out/hello.vkp
echo "Wrote out/hello.vkp ('$VELKANC show out/hello.vkp' prints it)"
# The build prints its report on stdout and any failure (such as an install runtime that was not
# built into velkanc) on stderr; its exit status is ours.
status=0
"$VELKANC" build out/hello.vkp -o out/hello-setup.exe --yes || status=$?
if [ "$status" -ne 0 ]; then
  echo "run.sh: out/hello-setup.exe was not built (velkanc build exited with $status; see above)" >&2
  exit "$status"
fi
echo "Wrote out/hello-setup.exe"
"$VELKANC" verify out/hello-setup.exe
