#!/bin/bash
# usage: installed_test.sh tree|tarball|deb BUILD_DIR
# Installs the built project the way a user would -- `cmake --install` into a
# scratch prefix, the CPack tarball unpacked somewhere unrelated, or the
# Debian package unpacked -- checks what lands where, and runs the installed
# program from an unrelated directory: its frame must equal the build tree's.
set -euo pipefail
kind=$1
build=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "installed $kind: $*" >&2; exit 1; }

shot() {  # DIR ZEPHRAN OUT: a small frame of the Logo, drawn from DIR
  (cd "$1" && "$2" --headless --size 160x90 --shot 5000 "$3" 2>"$3.log") ||
    { cat "$3.log" >&2; fail "$2 could not draw its shot"; }
}

case $kind in
  tree)
    cmake --install "$build" --prefix "$work/prefix" >/dev/null
    root=$work/prefix
    share=$root/share
    ;;
  tarball)
    cpack --config "$build/CPackConfig.cmake" -G TGZ -B "$work/pkg" >"$work/cpack.log" ||
      { cat "$work/cpack.log" >&2; fail "cpack could not make the tarball"; }
    tarball=$(ls "$work"/pkg/zephran-*.tar.gz)
    mkdir -p "$work/some/where/else"
    tar -xzf "$tarball" -C "$work/some/where/else"
    root=$(ls -d "$work"/some/where/else/zephran-*)
    share=$root/share
    ;;
  deb)
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" ||
      { cat "$work/cpack.log" >&2; fail "cpack could not make the package"; }
    deb=$(ls "$work"/pkg/zephran_*.deb)
    depends=$(dpkg-deb --field "$deb" Depends)
    for lib in libsdl2 libzip libvorbisfile libgl; do
      grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: '$depends'"
    done
    lintian --fail-on error --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1 ||
      { cat "$work/lintian.log" >&2; fail "lintian reports errors"; }
    dpkg-deb -x "$deb" "$work/unpacked"
    root=$work/unpacked/usr
    share=$root/share
    ;;
  *) fail "unknown kind (tree, tarball or deb)" ;;
esac

# What is installed, and nothing else in bin/: the archive's tools stay behind.
[ "$(ls "$root/bin")" = zephran ] || fail "bin/ holds '$(ls "$root/bin" | tr '\n' ' ')', expected zephran alone"
man=$share/man/man6/zephran.6
[ "$kind" != deb ] || man=$man.gz
for f in "$share/zephran/data.pak" "$share/applications/zephran.desktop" \
         "$share/icons/hicolor/256x256/apps/zephran.png" "$man" "$share/doc/zephran/copyright"; do
  [ -s "$f" ] || fail "no $f"
done
metainfo=$(ls "$share"/metainfo/*.metainfo.xml)
python3 - "$share/icons/hicolor/256x256/apps/zephran.png" <<'PY' || fail "the icon is not a 256x256 PNG"
import struct, sys
head = open(sys.argv[1], "rb").read(24)
sys.exit(0 if head[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", head[16:24]) == (256, 256) else 1)
PY
desktop-file-validate "$share/applications/zephran.desktop" || fail "desktop-file-validate refuses zephran.desktop"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log" >&2; fail "appstreamcli refuses $metainfo"; }
warnings=$(MANWIDTH=80 man --warnings -l "$man" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man warns about zephran.6: $warnings"

"$root/bin/zephran" --help >/dev/null || fail "zephran --help fails"
mkdir -p "$work/elsewhere" "$work/reference"
shot "$work/reference" "$build/zephran" "$work/reference/frame.png"
shot "$work/elsewhere" "$root/bin/zephran" "$work/elsewhere/frame.png"
grep -q "stmReadPak: '$share/zephran/data.pak'" "$work/elsewhere/frame.png.log" ||
  { cat "$work/elsewhere/frame.png.log" >&2; fail "did not read the installed data.pak"; }
cmp "$work/reference/frame.png" "$work/elsewhere/frame.png" || fail "its frame differs from the build tree's"
echo "installed $kind: the files are in place and the frame equals the build tree's"
