# Real sound and speech into a file: a wave file played to its end, then speech, checked
# in the WAV that --audio-out writes (no sound device needed).
source "$(dirname "$0")/lib.bash"
need_x
start_x
start_target "Sound pad" pad
mkdir -p "$WORK/board"
sox -n -r 22050 -c 1 "$WORK/board/HOLA.WAV" synth 1.0 sine 440 vol 0.5 2>/dev/null ||
    fail "sox could not make the test sound"

start=$(date +%s.%N)
(cd "$WORK/board" && play --window "Sound pad" --audio-out "$WORK/out.wav" \
    'a{|Sona HOLA.WAV}b{|Llegir Bon dia.}c')
end=$(date +%s.%N)
wait_text pad "abc"
grep -q '"op":"wave"' "$WORK/play.out" || fail "no wave line: $(cat "$WORK/play.out")"
grep -q '"call":"upcTVRead","arg":"Bon dia;"' "$WORK/play.out" || fail "no reading: $(cat "$WORK/play.out")"
# The wave blocked for its second; the speech followed it into the file.
[ "$(echo "$end - $start >= 1.0" | bc -l)" == 1 ] || fail "the wave did not keep its time"
length=$(soxi -D "$WORK/out.wav")
[ "$(echo "$length > 1.4" | bc -l)" == 1 ] || fail "output only $length s long"
tone=$(sox "$WORK/out.wav" -n trim 0 0.9 stat 2>&1 | sed -n 's/^Maximum amplitude: *//p')
voice=$(sox "$WORK/out.wav" -n trim 1.05 stat 2>&1 | sed -n 's/^Maximum amplitude: *//p')
[ "$(echo "$tone > 0.4" | bc -l)" == 1 ] || fail "the wave is missing (peak $tone)"
[ "$(echo "$voice > 0.05" | bc -l)" == 1 ] || fail "the speech is missing (peak $voice)"

# A text file read aloud (Windows-1252) goes through the same engine into the file.
printf 'Bon dia. Ad\xe9u, fins dem\xe0.\r\n' >"$WORK/board/TEXT.TXT"
(cd "$WORK/board" && play --window "Sound pad" --audio-out "$WORK/read.wav" \
    '{|Llegeix /I:c /L:1 /V:100 /F:TEXT.TXT}')
grep -q '"call":"upcTVRead","arg":"Bon dia. Adéu, fins demà.' "$WORK/play.out" ||
    fail "the file was not read: $(cat "$WORK/play.out")"
[ -s "$WORK/read.wav" ] || fail "no sound file for the reading"
length=$(soxi -D "$WORK/read.wav")
read_peak=$(sox "$WORK/read.wav" -n stat 2>&1 | sed -n 's/^Maximum amplitude: *//p')
[ "$(echo "$length > 1.0" | bc -l)" == 1 ] || fail "the reading is only $length s long"
[ "$(echo "$read_peak > 0.05" | bc -l)" == 1 ] || fail "the reading is silent (peak $read_peak)"
echo "PASS"
