#!/usr/bin/env bash
# The program as a user gets it: installed into a private root (cmake --install), its
# metadata valid for the desktop (AppStream, desktop entry, MIME types), then a board opened
# the way a double click in a file manager does (the desktop entry's Exec line with the
# installed program alone on the path): the board shows in use mode, the program finding
# its data beside itself. The screenshot goes to tests/artifacts/installed.png.
set -euo pipefail
e2e_name=installed
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
# The installed program finds its own folder; nothing points it elsewhere.
unset VEXIL_HOME
for tool in appstreamcli desktop-file-validate update-mime-database; do
  command -v "$tool" >/dev/null || fail "$tool is missing (make deps)"
done

root="$e2e_work/root"
prefix="$root/usr"
cmake --install "$e2e_build" --prefix "$prefix" >"$e2e_work/install.log" 2>&1 ||
  fail "cmake --install: $(tail -5 "$e2e_work/install.log")"
for f in bin/vexil bin/vexil-tool lib/vexil/vexil-audio.so lib/vexil/vexil-joystick.so \
  lib/vexil/vexil-metafile.so share/vexil/MACROS.INI share/vexil/LLETRES.VXL \
  share/vexil/LLETRES.BMP share/vexil/FRASES.VXL share/vexil/DEMO.USR \
  share/applications/org.vexil.Vexil.desktop share/metainfo/org.vexil.Vexil.metainfo.xml \
  share/mime/packages/vexil.xml share/icons/hicolor/scalable/apps/vexil.svg \
  share/icons/hicolor/48x48/apps/vexil.png share/icons/hicolor/256x256/apps/vexil.png \
  share/man/man1/vexil.1 share/man/man1/vexil-tool.1; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
[ ! -e "$prefix/share/vexil/run.sh" ] || fail "the developer's run.sh was installed"
[ "$(identify -format '%wx%h' "$prefix/share/icons/hicolor/48x48/apps/vexil.png")" = 48x48 ] || fail "48 px icon"
[ "$(identify -format '%wx%h' "$prefix/share/icons/hicolor/256x256/apps/vexil.png")" = 256x256 ] || fail "256 px icon"

appstreamcli validate --no-net "$prefix/share/metainfo/org.vexil.Vexil.metainfo.xml" >"$e2e_work/as.log" 2>&1 ||
  fail "appstream: $(cat "$e2e_work/as.log")"
desktop-file-validate "$prefix/share/applications/org.vexil.Vexil.desktop" || fail "desktop entry"
grep -q '^Categories=Utility;Accessibility;$' "$prefix/share/applications/org.vexil.Vexil.desktop" || fail "categories"
# The MIME database built from our types names boards and profiles, any case of extension.
update-mime-database "$prefix/share/mime" >/dev/null 2>&1 || fail "update-mime-database"
grep -q 'application/x-vexil-board:\*\.vxl' "$prefix/share/mime/globs2" || fail "board glob"
grep -q 'application/x-vexil-profile:\*\.usr' "$prefix/share/mime/globs2" || fail "profile glob"
grep -q '^application/x-vexil-board:vexil$' "$prefix/share/mime/icons" || fail "board icon"
grep -q '^\.TH VEXIL-TOOL 1' "$prefix/share/man/man1/vexil-tool.1" || fail "manual page"
grep -q '^\.TH VEXIL 1' "$prefix/share/man/man1/vexil.1" || fail "manual page"

# A board of the user's, without a program to start, as a file manager would hand it over.
mkdir -p "$e2e_work/mine"
for f in LLETRES FRASES; do
  sed '5s|.*|""\r|' "$prefix/share/vexil/$f.VXL" >"$e2e_work/mine/$f.VXL"
  cp "$prefix/share/vexil/$f.BMP" "$e2e_work/mine/"
done
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/org.vexil.Vexil.desktop")
command_line=${exec_line//%f/$e2e_work/mine/LLETRES.VXL}

start_x
# Only the installed tree's programs are found: the build tree is not on the path.
PATH="$prefix/bin:/usr/bin:/bin" $command_line >"$e2e_work/vexil.log" 2>&1 &
e2e_pids+=($!)
wait_for 20 vexil_window || fail "no window: $(cat "$e2e_work/vexil.log")"
wid=$(vexil_window)
title=$(xdotool getwindowname "$wid")
[ "$title" = "Vexil - $e2e_work/mine/LLETRES.VXL" ] || fail "title: $title"
sleep 1
import -window root "$e2e_artifacts/installed.png"
# Use mode shows the cover: the window is the board's size, and holds the letters' picture
# (many colours), not an empty editor.
read -r w h < <(xwininfo -id "$wid" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
((w >= 600 && h >= 300)) || fail "window ${w}x${h}"
import -window "$wid" "$e2e_work/window.png"
colours=$(convert "$e2e_work/window.png" -format '%k' info:)
((colours > 8)) || fail "the window shows $colours colours: no cover"
# The sound module is found in lib/vexil, beside the program's folder: a wave played by the
# installed vexil-tool reaches the recorded output.
python3 -c "
import struct, wave
w = wave.open('$e2e_work/mine/B.WAV', 'wb'); w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
w.writeframes(b''.join(struct.pack('<h', 8000 if (i // 20) % 2 else -8000) for i in range(4000))); w.close()"
(cd "$e2e_work/mine" && PATH="$prefix/bin:/usr/bin:/bin" vexil-tool play --real --audio-out "$e2e_work/out.wav" -- "{|Sona B.WAV}") \
  >"$e2e_work/play.log" 2>&1 || fail "play: $(cat "$e2e_work/play.log")"
[ "$(stat -c %s "$e2e_work/out.wav" 2>/dev/null || echo 0)" -gt 8000 ] || fail "no sound: the audio module was not found"
echo "installed: ok (${w}x${h}, $colours colours)"
