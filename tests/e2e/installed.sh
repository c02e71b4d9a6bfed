#!/usr/bin/env bash
# The program as a user gets it: installed into a private root (cmake --install), its
# metadata valid for the desktop (AppStream, desktop entry, MIME types), then a board opened
# the way a double click in a file manager does (the desktop entry's Exec line with the
# installed program alone on the path): the board shows in use mode, the program finding
# its data beside itself; voice training opens and hears a spoken word (the voice module
# is installed). The screenshots go to tests/artifacts/installed*.png.
set -euo pipefail
e2e_name=installed
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
# The installed program finds its own folder; nothing points it elsewhere.
unset VEXIL_HOME
for tool in appstreamcli desktop-file-validate update-mime-database pulseaudio pactl paplay espeak-ng; do
  command -v "$tool" >/dev/null || fail "$tool is missing (make deps)"
done

root="$e2e_work/root"
prefix="$root/usr"
cmake --install "$e2e_build" --prefix "$prefix" >"$e2e_work/install.log" 2>&1 ||
  fail "cmake --install: $(tail -5 "$e2e_work/install.log")"
# The modules' folder: Debian's folder of a program's private libraries, lib/ARCH/vexil.
modules=$(cd "$prefix" && find lib -name vexil-audio.so -printf '%h\n' | head -n1)
[[ $modules == lib/*/vexil ]] || fail "the modules are in '$modules', not lib/ARCH/vexil"
for f in bin/vexil bin/vexil-tool $modules/vexil-audio.so $modules/vexil-joystick.so \
  $modules/vexil-metafile.so $modules/vexil-voice.so $modules/vexil-zip.so share/vexil/MACROS.INI share/vexil/LLETRES.VXL \
  share/vexil/LLETRES.BMP share/vexil/FRASES.VXL share/vexil/DEMO.USR \
  share/applications/org.vexil.Vexil.desktop share/metainfo/org.vexil.Vexil.metainfo.xml \
  share/mime/packages/vexil.xml share/icons/hicolor/scalable/apps/vexil.svg \
  share/icons/hicolor/48x48/apps/vexil.png share/icons/hicolor/256x256/apps/vexil.png \
  share/man/man1/vexil.1.gz share/man/man1/vexil-tool.1.gz share/doc/vexil/copyright \
  share/doc/vexil/changelog.gz; do
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
grep -q 'application/x-open-board-package:\*\.obz' "$prefix/share/mime/globs2" || fail "package glob"
grep -q 'application/x-open-board:\*\.obf' "$prefix/share/mime/globs2" || fail "obf glob"
grep -q '^MimeType=.*application/x-open-board-package;' "$prefix/share/applications/org.vexil.Vexil.desktop" ||
  fail "the desktop entry does not open packages"
zcat "$prefix/share/man/man1/vexil-tool.1.gz" | grep -q '^\.TH VEXIL-TOOL 1' || fail "manual page"
zcat "$prefix/share/man/man1/vexil.1.gz" | grep -q '^\.TH VEXIL 1' || fail "manual page"
grep -q '^License: GPL-3.0-or-later' "$prefix/share/doc/vexil/copyright" || fail "copyright file"

# A board of the user's, without a program to start, as a file manager would hand it over.
mkdir -p "$e2e_work/mine"
for f in LLETRES FRASES; do
  sed '5s|.*|""\r|' "$prefix/share/vexil/$f.VXL" >"$e2e_work/mine/$f.VXL"
  cp "$prefix/share/vexil/$f.BMP" "$e2e_work/mine/"
done
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/org.vexil.Vexil.desktop")
command_line=${exec_line//%f/$e2e_work/mine/LLETRES.VXL}

start_x
# A private sound server whose microphone is what the test plays, for voice training.
start_pulse vexil_installed
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
# Voice training works in the installed tree: the voice module is found, so "&Entrenamiento"
# opens its window, which hears takes of a spoken word.
xdotool windowactivate --sync "$wid"
xdotool mousemove --window "$wid" 45 9 click 1
sleep 0.8
xdotool key --clearmodifiers v
wait_for 10 xdotool search --name '^Control por voz$' || fail "the voice dialog did not open"
sleep 0.5
xdotool key --clearmodifiers alt+e
wait_for 10 xdotool search --name '^Entrenamiento$' ||
  fail "the training window did not open: the voice module is missing"
espeak-ng -v es -w "$pa/uno.wav" uno
for take in 1 2 3; do paplay "$pa/uno.wav"; sleep 0.7; done
import -window root "$e2e_artifacts/installed-voice-training.png"
xdotool key --clearmodifiers Escape
wait_for 10 sh -c '[ -z "$(xdotool search --name "^Entrenamiento$")" ]' || fail "the training window did not close"
xdotool key --clearmodifiers Escape
# The sound module is found in the modules' folder, beside the program's folder: a wave played by the
# installed vexil-tool reaches the recorded output.
python3 -c "
import struct, wave
w = wave.open('$e2e_work/mine/B.WAV', 'wb'); w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
w.writeframes(b''.join(struct.pack('<h', 8000 if (i // 20) % 2 else -8000) for i in range(4000))); w.close()"
(cd "$e2e_work/mine" && PATH="$prefix/bin:/usr/bin:/bin" vexil-tool play --real --audio-out "$e2e_work/out.wav" -- "{|Sona B.WAV}") \
  >"$e2e_work/play.log" 2>&1 || fail "play: $(cat "$e2e_work/play.log")"
[ "$(stat -c %s "$e2e_work/out.wav" 2>/dev/null || echo 0)" -gt 8000 ] || fail "no sound: the audio module was not found"
echo "installed: ok (${w}x${h}, $colours colours)"
