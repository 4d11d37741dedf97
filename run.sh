#!/usr/bin/env bash
# Builds velkanc (Release) and runs the main job: makes the example project from data/examples/
# and builds it into a setup program under out/. With arguments, passes them to velkanc instead.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh $(grep -v '^#' scripts/packages.txt)
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELKAN_TESTS=OFF >/dev/null
cmake --build build-release --target velkanc
VELKANC=build-release/cli/velkanc
if [ $# -gt 0 ]; then
  exec "$VELKANC" "$@"
fi
mkdir -p out
"$VELKANC" new --source "$PWD/data/examples/hello/" --title "Hello World" -o out/hello.vkp
echo "Wrote out/hello.vkp"
"$VELKANC" show out/hello.vkp | head -n 40
if "$VELKANC" help build >/dev/null 2>&1; then
  "$VELKANC" build out/hello.vkp -o out/hello-setup.exe --yes
  echo "Wrote out/hello-setup.exe"
fi
