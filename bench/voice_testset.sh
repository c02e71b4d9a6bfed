#!/bin/bash
# Makes the test set of the voice recogniser's benchmark: words spoken by espeak-ng in four
# voices (Spanish and Catalan, male and female), the labels of the three command sets and
# twenty words that are no label, each at several pitches and speeds, as spoken and with
# pink noise and with white noise mixed in by sox at 20 dB and 10 dB signal-to-noise, the
# level of the word taken over the word itself. Writes the WAV files and a manifest that
# voice-accuracy reads (conditions "clean", "20" and "10" for pink noise, "white20" and
# "white10" for white noise).
#   bench/voice_testset.sh OUTDIR [dev|third|fourth|fifth|sixth|seventh|smoke]
# "dev" makes the development set the recogniser's settings are chosen on: other pitches,
# speeds, non-label words and noise, so that the test set measures them on sounds they were
# not fitted to; "third" a set with yet other takes, noise and words, some of them a sound
# away from a label ("tos" and "dios" beside "dos"); "fourth" one more with yet other takes
# and noise and twenty everyday words, none a sound from a label; "fifth" the same again in
# four other voices (Latin American Spanish, and other variants of the Spanish and Catalan
# voices); "sixth" the same in four voices none of the others has, made after the fifth had
# been measured; "seventh" the same in four more voices, made before the syllable beats
# (voice/beats.h) were run on it; "smoke" a few files of one voice, for a quick run.
# With QUIET_ROOMS=1, every clean test file and other word is also heard in a quiet room:
# pink and white noise 40 dB and 30 dB under the word (conditions "40", "30", "white40",
# "white30"), added after the rest with noise of their own, so that the other files stay
# as they are without it.
set -euo pipefail
out=${1:?output folder}
kind=${2:-test}
mkdir -p "$out"
manifest=$out/manifest.tsv
: > "$manifest"

voices=(es es+f3 ca ca+f2)
# What each label is said as: the Spanish and the Catalan voices say the numbers in their
# language; the words of the five-command set are said as written.
say_label() {  # voice label
    case $2 in
        1) [[ $1 == ca* ]] && echo "un" || echo "uno" ;;
        2) echo "dos" ;;
        TEST) echo "test" ;;
        ISQUIERDA) echo "izquierda" ;;
        *) echo "${2,,}" ;;
    esac
}
sets=("1,TEST" "1,2,TEST" "AVANZAR,RECULAR,DERECHA,ISQUIERDA,ACEPTAR,TEST")
if [[ $kind == smoke ]]; then
    # A few files, to see that the benchmark runs (bench/smoke.sh).
    voices=(es)
    others=(casa perro)
    train_takes=("40 150" "50 165" "62 180")
    pitches=(45) speeds=(160) seed=7
elif [[ $kind == seventh ]]; then
    voices=(es+f5 es-419+m7 ca+f3 ca+m2)
    others=(taza bosque cuento raton jardin pelota manta lluvia cuadro sombra abeja lente goma
            trigo cofre baile nota vaca ciudad puente)
    train_takes=("46 154" "56 169" "66 184")
    pitches=(34 44 56 72) speeds=(141 156 174 189 201) seed=67
elif [[ $kind == sixth ]]; then
    voices=(es+m4 es-419+f3 ca+f4 ca+m6)
    others=(lana carro bolsa gota suelo campana nieto pelo toro vela dulce rama cuchara mapa
            tambor pato cine mundo tapa hielo)
    train_takes=("43 151" "54 164" "65 183")
    pitches=(39 49 59 71) speeds=(144 159 173 184 196) seed=53
elif [[ $kind == fifth ]]; then
    voices=(es-419 es+f4 ca+m3 ca+f1)
    others=(tarta lima piano canal noria zorro panda museo falda nido oreja sopa grano tela
            ruido cesta pincel muro dardo fiesta)
    train_takes=("41 153" "51 166" "61 181")
    pitches=(36 46 57 69) speeds=(143 157 171 186 199) seed=41
elif [[ $kind == fourth ]]; then
    others=(nieve fresa cuerda banco dedo torre vaso pluma gorro playa risa hueso tinta carta
            lapiz salto bota miel jarra pino)
    train_takes=("44 155" "53 167" "63 179")
    pitches=(37 47 58 67) speeds=(142 158 170 187 197) seed=31
elif [[ $kind == third ]]; then
    others=(tos voz sur dios ojo luz red cama techo reloj nariz boca cinta globo tigre lobo pera
            mono rueda flecha)
    train_takes=("45 158" "55 170" "64 182")
    pitches=(40 50 62 68) speeds=(150 163 176 188 198) seed=23
elif [[ $kind == dev ]]; then
    others=(sol mar tren rojo blanco papel fuego campo hoja nube piedra calle plaza hora tarde
            leche queso barco pared zapato)
    train_takes=("42 152" "52 168" "60 178")
    pitches=(38 48 60 66) speeds=(145 160 168 185 195) seed=11
else
    others=(casa perro gato mesa silla agua libro verde ventana puerta coche mano cielo tiempo
            noche pan luna flor camino amigo)
    train_takes=("40 150" "50 165" "62 180")
    pitches=(35 45 55 70) speeds=(140 155 172 190 200) seed=7
fi
test_takes=()
for p in "${pitches[@]}"; do for s in "${speeds[@]}"; do test_takes+=("$p $s"); done; done

# Repeatable (sox -R seeds its generators): the same command makes the same set. The
# development set takes its noise from the minute after the test set's, the third set from
# the minute after that, the fourth, fifth, sixth and seventh from the ones after.
from=0
[[ $kind == dev ]] && from=60
[[ $kind == third ]] && from=120
[[ $kind == fourth ]] && from=180
[[ $kind == fifth ]] && from=240
[[ $kind == sixth ]] && from=300
[[ $kind == seventh ]] && from=360
sox -R -n -r 16000 -c 1 -b 16 "$out/noise.wav" synth $((from + 60)) pinknoise vol 0.3 trim $from
sox -R -n -r 16000 -c 1 -b 16 "$out/noise-white.wav" synth $((from + 60)) whitenoise vol 0.3 trim $from

# speak VOICE TEXT PITCH SPEED FILE: the word with 0.8 s of silence before and 0.4 s after,
# at 16 kHz.
speak() {
    espeak-ng -v "$1" -p "$3" -s "$4" -w "$out/tmp.wav" "$2"
    sox -R "$out/tmp.wav" -r 16000 -c 1 -b 16 "$5" pad 0.8 0.4
}
# noisy CLEAN SNR FILE [NOISE]: noise (pink unless NOISE is "white") under the word at SNR dB
# below the word's own level, measured over the word alone (the silence around it trimmed).
noisy() {
    local rms dur gain off r noise=$out/noise.wav n_rms
    [[ ${4:-pink} == white ]] && noise=$out/noise-white.wav
    n_rms=$(sox "$noise" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
    rms=$(sox "$1" -n silence 1 0.02 1% reverse silence 1 0.02 1% reverse stat 2>&1 |
          awk '/RMS +amplitude/ {print $3}')
    dur=$(soxi -D "$1")
    gain=$(awk -v s="$rms" -v n="$n_rms" -v snr="$2" 'BEGIN {print s / (n * 10^(snr/20))}')
    # $RANDOM taken here, not inside $(...): a subshell seeds its own.
    local r=$RANDOM
    off=$(awk -v r="$r" 'BEGIN {printf "%.2f", r % 5000 / 100}')
    sox -R "$noise" "$out/seg.wav" trim "$off" "$dur"
    sox -R -m -v 1 "$1" -v "$gain" "$out/seg.wav" "$3"
}

RANDOM=$seed
for v in "${voices[@]}"; do
    vdir=$out/${v/+/_}
    mkdir -p "$vdir"
    words=(1 2 TEST AVANZAR RECULAR DERECHA ISQUIERDA ACEPTAR)
    for w in "${words[@]}"; do
        text=$(say_label "$v" "$w")
        k=0
        for t in "${train_takes[@]}"; do
            speak "$v" "$text" $t "$vdir/$w-train$k.wav"; k=$((k+1))
        done
        k=0
        for t in "${test_takes[@]}"; do
            speak "$v" "$text" $t "$vdir/$w-test$k.wav"
            for snr in 20 10; do
                noisy "$vdir/$w-test$k.wav" $snr "$vdir/$w-test$k-snr$snr.wav"
                noisy "$vdir/$w-test$k.wav" $snr "$vdir/$w-test$k-white$snr.wav" white
            done
            k=$((k+1))
        done
    done
    k=0
    for o in "${others[@]}"; do
        t=${test_takes[$((k % ${#test_takes[@]}))]}
        speak "$v" "$o" $t "$vdir/other-$o.wav"
        for snr in 20 10; do
            noisy "$vdir/other-$o.wav" $snr "$vdir/other-$o-snr$snr.wav"
            noisy "$vdir/other-$o.wav" $snr "$vdir/other-$o-white$snr.wav" white
        done
        k=$((k+1))
    done
    for si in 0 1 2; do
        group="set$si/$v"
        IFS=, read -ra labels <<< "${sets[$si]}"
        printf '%s\tlabels\t-\t0\t%s\n' "$group" "${sets[$si]}" >> "$manifest"
        n=1
        for l in "${labels[@]}"; do
            for k in 0 1 2; do printf '%s\ttrain\t-\t%d\t%s\n' "$group" $n "$vdir/$l-train$k.wav" >> "$manifest"; done
            for k in $(seq 0 $((${#test_takes[@]} - 1))); do
                printf '%s\ttest\tclean\t%d\t%s\n' "$group" $n "$vdir/$l-test$k.wav" >> "$manifest"
                for snr in 20 10; do
                    printf '%s\ttest\t%s\t%d\t%s\n' "$group" $snr $n "$vdir/$l-test$k-snr$snr.wav" >> "$manifest"
                    printf '%s\ttest\twhite%s\t%d\t%s\n' "$group" $snr $n "$vdir/$l-test$k-white$snr.wav" >> "$manifest"
                done
            done
            n=$((n+1))
        done
        for o in "${others[@]}"; do
            printf '%s\tother\tclean\t0\t%s\n' "$group" "$vdir/other-$o.wav" >> "$manifest"
            for snr in 20 10; do
                printf '%s\tother\t%s\t0\t%s\n' "$group" $snr "$vdir/other-$o-snr$snr.wav" >> "$manifest"
                printf '%s\tother\twhite%s\t0\t%s\n' "$group" $snr "$vdir/other-$o-white$snr.wav" >> "$manifest"
            done
        done
    done
done
if [[ -n ${QUIET_ROOMS:-} ]]; then
    RANDOM=$((seed + 1000))
    while IFS=$'\t' read -r group role cond label path; do
        [[ $role == test || $role == other ]] && [[ $cond == clean ]] || continue
        for snr in 40 30; do
            noisy "$path" $snr "${path%.wav}-snr$snr.wav"
            noisy "$path" $snr "${path%.wav}-white$snr.wav" white
            printf '%s\t%s\t%s\t%s\t%s\n' "$group" "$role" $snr "$label" "${path%.wav}-snr$snr.wav"
            printf '%s\t%s\twhite%s\t%s\t%s\n' "$group" "$role" $snr "$label" "${path%.wav}-white$snr.wav"
        done
    done < "$manifest" > "$out/quiet.tsv"
    cat "$out/quiet.tsv" >> "$manifest"
    rm -f "$out/quiet.tsv"
fi
rm -f "$out/tmp.wav" "$out/seg.wav"
echo "$(wc -l < "$manifest") lines in $manifest"
