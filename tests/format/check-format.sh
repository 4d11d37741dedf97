#!/usr/bin/env bash
# Fails when clang-format would change a tracked C++ file (.clang-format at the repository's root),
# naming the files and the first lines it would change.
#
#   tests/format/check-format.sh CLANG_FORMAT SOURCE_DIR
set -euo pipefail
FORMAT=$1
cd "$2"
version=$("$FORMAT" --version | sed -n 's/.*version \([0-9]*\).*/\1/p')
if [ "$version" != 14 ]; then
  echo "$FORMAT is version $version; the tree is formatted with clang-format 14" >&2
  exit 1
fi
git ls-files -z -- '*.cpp' '*.h' | xargs -0 "$FORMAT" --dry-run -Werror --ferror-limit=3
