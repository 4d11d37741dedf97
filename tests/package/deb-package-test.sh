#!/usr/bin/env bash
# The Debian package: cpack makes it from the build tree, dpkg-deb checks its control data and
# unpacks it into a scratch root, and the velkanc found there runs and builds a setup program.
# Usage: deb-package-test.sh BUILD_DIR CPACK SOURCE_DIR
set -euo pipefail
build=$1 cpack=$2 source=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "deb-package-test: $*" >&2; exit 1; }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
shopt -s nullglob
debs=("$scratch"/out/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one .deb, found ${#debs[@]}"
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velkan ] || fail "Package is '$(field Package)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
[ -n "$(field Version)" ] || fail "no Version"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
gui=0
[ -x "$build/gui/velkan" ] && gui=1
needed=(libc6 libstdc++6)
[ $gui -eq 1 ] && needed+=(libqt6widgets6 qt6-qpa-plugins)
names=" $(sed -E 's/ *\([^)]*\)//g; s/,/ /g' <<<"$depends") "
for lib in "${needed[@]}"; do
  [[ "$names" == *" $lib "* ]] || fail "Depends lacks $lib: $depends"
done
# Nothing outside /usr.
if dpkg-deb -c "$deb" | awk '{print $6}' | grep -Ev '^\./(usr(/.*)?)?$' | grep -q .; then
  fail "files outside /usr: $(dpkg-deb -c "$deb" | awk '{print $6}' | grep -Ev '^\./(usr(/.*)?)?$')"
fi

root=$scratch/root
dpkg -x "$deb" "$root"
files=(usr/bin/velkanc usr/share/man/man1/velkanc.1.gz usr/share/bash-completion/completions/velkanc)
[ $gui -eq 1 ] && files+=(usr/bin/velkan usr/share/velkan/help/index.htm usr/share/applications/velkan.desktop
                          usr/share/icons/hicolor/scalable/apps/velkan.svg
                          usr/share/mime/packages/velkan-vkp.xml)
# cmake --install puts the same files in place.
DESTDIR="$scratch/installed" "$(dirname "$cpack")/cmake" --install "$build" --prefix /usr >"$scratch/install.log" 2>&1 ||
  { cat "$scratch/install.log" >&2; fail "cmake --install failed"; }
for f in "${files[@]}"; do
  [ -f "$root/$f" ] || fail "the package lacks /$f"
  [ -f "$scratch/installed/$f" ] || fail "cmake --install does not install /$f"
done
if [ $gui -eq 1 ]; then
  grep -qx "Icon=velkan" "$root/usr/share/applications/velkan.desktop" ||
    fail "the desktop entry does not name the installed icon"
  grep -qx "Exec=velkan %f" "$root/usr/share/applications/velkan.desktop" ||
    fail "the desktop entry does not start the installed editor"
fi

velkanc=$root/usr/bin/velkanc
"$velkanc" --help >"$scratch/help.txt" || fail "velkanc --help failed"
grep -q "build" "$scratch/help.txt" || fail "velkanc --help does not list build"
# The manual page is the help of the installed velkanc: every command and its usage line.
zcat "$root/usr/share/man/man1/velkanc.1.gz" >"$scratch/velkanc.1"
for command in $(awk '/^Commands:/{on=1; next} /^$/{on=0} on{print $1}' "$scratch/help.txt" | sort -u); do
  grep -q "^\\.SS \"velkanc $command" "$scratch/velkanc.1" || fail "the manual page lacks $command"
done
# The completion offers the commands and each command's options.
completions=$root/usr/share/bash-completion/completions/velkanc
complete_line() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _velkanc; echo "${COMPREPLY[*]}"' \
    sh "$completions" "$@"
}
[ "$(complete_line velkanc bui)" = build ] || fail "completion of 'velkanc bui': $(complete_line velkanc bui)"
[[ " $(complete_line velkanc build --js) " == *" --json "* ]] || fail "completion lacks build --json"
# The velkanc of the package carries the install runtime when the build had it.
if "$velkanc" new --source "$source/data/examples/hello" -o "$scratch/hello.json" >/dev/null &&
   "$velkanc" build "$scratch/hello.json" -o "$scratch/hello.exe" --yes >/dev/null 2>"$scratch/build.err"; then
  "$velkanc" verify "$scratch/hello.exe" >/dev/null || fail "the setup program does not verify"
elif ! grep -q "not built into this program" "$scratch/build.err"; then
  cat "$scratch/build.err" >&2
  fail "velkanc build failed"
fi
echo "deb-package-test: $(basename "$deb") is sound"
