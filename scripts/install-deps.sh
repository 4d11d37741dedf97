#!/usr/bin/env bash
# Installs what the build and the tests need, only when something is missing, so a second run
# costs nothing. Debian packages only.
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for pkg in "$@"; do have "$pkg" || need+=("$pkg"); done
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}" >&2
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
