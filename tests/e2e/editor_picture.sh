#!/usr/bin/env bash
# A board drawn on an 800 x 560 PNG: its one area lies on the blue square of the picture in
# use mode and, after "&Salir", in edit mode too (the picture stretched over the root, not
# shown at its own size). Then "Carátula → Editar" with the program started in another
# folder: the real launcher opens the board's own picture, named by its full path, in the
# paint program's stand-in. Screenshots go to tests/artifacts/.
set -euo pipefail
e2e_name=editor_picture
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
tool="$e2e_build/bin/vexil-tool"
start_x

# The picture: white, a blue square at 400,280 .. 559,391 (board units 320,224 .. 448,313).
convert -size 800x560 xc:white -fill blue -draw "rectangle 400,280 559,391" \
  "$e2e_work/boards/FOTO.PNG"
# The board: a root over the whole board and one area drawn over the square, saved, its
# picture then named FOTO.PNG beside it.
QT_QPA_PLATFORM=offscreen "$tool" edit down:5,5 up:640,445 menu:AfegirArea \
  down:321,225 up:447,312 save:"$e2e_work/boards/FOTO.VXL" >"$e2e_work/edit.log" ||
  fail "the board could not be made: $(cat "$e2e_work/edit.log")"
sed -i '3s|.*|FOTO.PNG\r|' "$e2e_work/boards/FOTO.VXL"

# Started from another folder, as a desktop launcher would.
mkdir -p "$e2e_work/elsewhere"
cd "$e2e_work/elsewhere"
profile=$(write_profile MOUSE.USR 0 15)
start_vexil "$profile" "$e2e_work/boards/FOTO.VXL"
wait_for 20 vexil_window || fail "the board did not open"
sleep 2
import -window root "$e2e_artifacts/editor-picture-use.png"

# The bounding box of the pure blue pixels on the screen ("WxH+X+Y"): the square, whatever
# outlines or hatching lie over it.
blue_box() {
  convert "$e2e_artifacts/$1" -fill black +opaque blue -format '%@' info:
}
use_box=$(blue_box editor-picture-use.png)
[[ $use_box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "no blue square in use mode"

xdotool key --clearmodifiers alt+s # "&Salir": back to the editor
wait_for 10 sh -c "xdotool search --name '^Vexil - ' >/dev/null" || fail "the editor did not return"
sleep 1
wid=$(vexil_window)
xdotool windowmove --sync "$wid" 0 0
sleep 1
import -window root "$e2e_artifacts/editor-picture-edit.png"
edit_box=$(blue_box editor-picture-edit.png)
[[ $edit_box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "no blue square in edit mode"
w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]}
# 160 x 112 picture pixels stretched by 0.8: about 128 x 90 board units.
((w > 120 && w < 136 && h > 82 && h < 98)) ||
  fail "the square shows ${w}x${h} in edit mode: the picture is not stretched over the root"
echo "blue square: $use_box in use mode, $edit_box in edit mode"

# "Carátula → Editar": the cover is up to date, so the board's own picture opens.
xdotool key --clearmodifiers alt+a
sleep 0.3
for _ in 1 2 3 4; do
  xdotool key --clearmodifiers Right
  sleep 0.15
done
xdotool key --clearmodifiers e
wait_for 20 sh -c "xdotool search --name 'FOTO.PNG' >/dev/null" ||
  fail "no viewer showed the board's picture"
viewer=$(pgrep -n -f "display $e2e_work/boards/FOTO.PNG" || true)
[ -n "$viewer" ] || fail "the viewer was not given the picture's full name"
e2e_pids+=("$viewer")
import -window root "$e2e_artifacts/editor-picture-viewer.png"
[ ! -e "$e2e_work/elsewhere/FOTO.PNG" ] || fail "a file was made in the start folder"
echo "PASSED"
