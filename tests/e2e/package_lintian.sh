#!/usr/bin/env bash
# The Debian package as Debian judges it: built by CPack from the build folder into a
# private folder, it holds every module, the copyright file and the changelog, and lintian
# (all checks, pedantic and experimental ones too) finds no error and no warning in it.
# Usage: package_lintian.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
fail() { echo "FAILED: $*" >&2; exit 1; }
for tool in cpack lintian dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || fail "$tool is missing (make deps)"
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(tail -20 "$work/cpack.log")"
deb=$(find "$work" -maxdepth 1 -name 'vexil_*.deb' | head -n1)
[ -n "$deb" ] || fail "no package: $(tail -5 "$work/cpack.log")"

dpkg-deb -c "$deb" | awk '{print $6}' >"$work/files"
for f in usr/bin/vexil usr/bin/vexil-tool vexil/vexil-audio.so vexil/vexil-joystick.so \
  vexil/vexil-metafile.so vexil/vexil-voice.so vexil/vexil-zip.so usr/share/doc/vexil/copyright \
  usr/share/doc/vexil/changelog.gz usr/share/man/man1/vexil.1.gz; do
  grep -q "$f\$" "$work/files" || fail "the package lacks $f"
done
# No maintainer script: the modules are the program's own, nothing for ldconfig.
dpkg-deb -e "$deb" "$work/control"
for script in preinst postinst prerm postrm; do
  [ ! -e "$work/control/$script" ] || fail "the package has a $script: $(cat "$work/control/$script")"
done

lintian -I -E --pedantic --no-cfg "$deb" >"$work/lintian.log" 2>&1 || true
if grep -E '^[EW]: ' "$work/lintian.log"; then
  fail "lintian reports errors or warnings (above)"
fi
echo "package_lintian: ok ($(basename "$deb"), $(grep -c '' "$work/files") files; lintian: $(grep -c '^[IPX]: ' "$work/lintian.log" || true) notes)"
