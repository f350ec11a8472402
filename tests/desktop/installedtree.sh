#!/usr/bin/env bash
# Installs the build into a scratch prefix and runs the installed programs
# from a folder away from the build: they must find their program folder
# through their own path.
#   installedtree.sh BUILD_DIR PICTURE
set -u
build=$1 picture=$2
prefix=$(mktemp -d "${TMPDIR:-/tmp}/kvn-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log"; rm -f "$prefix.log"; fail "cmake --install"; }
rm -f "$prefix.log"
for f in bin/glimra bin/tessik bin/glimra-tool lib/korvane/CRDE2001.so lib/korvane/ISP2000.so \
         lib/korvane/beispiel.jpg lib/korvane/hilfe.rtf share/applications/glimra.desktop \
         share/applications/tessik.desktop share/icons/hicolor/48x48/apps/glimra.png \
         share/icons/hicolor/scalable/apps/tessik.svg; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
[ ! -e "$prefix/bin/CRDE2001.so" ] || fail "a module lies in bin/"

# away from the build folder, with the build's modules out of reach
cp "$picture" "$prefix/probe.jpg"
cd "$prefix" || fail "cd"
out=$(env -u LD_LIBRARY_PATH "$prefix/bin/glimra-tool" info "$prefix/probe.jpg" 2>"$prefix/err")
rc=$?
[ $rc -eq 0 ] || { cat "$prefix/err" >&2; fail "glimra-tool info exited with $rc"; }
case "$out" in
  type=*width=*height=*pages=1) ;;
  *) fail "unexpected output: $out" ;;
esac
echo "installed glimra-tool: $out"

# with the modules gone the installed tool fails: it used the installed ones
mv "$prefix/lib/korvane/CRDE2001.so" "$prefix/lib/korvane/CRDE2001.so.away"
if "$prefix/bin/glimra-tool" info "$prefix/probe.jpg" >/dev/null 2>&1; then
  fail "glimra-tool worked without its installed codec module"
fi
echo "PASS"
