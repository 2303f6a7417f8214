# The narration of the journal for tools/make-sounds: each entry of
# tools/journal/ read by espeak-ng and made to sound like a reading recorded
# in a quiet room. Sourced after lib.sh.

NARRATOR="en-gb-x-rp+m3"   # received pronunciation, male variant 3
NARRATOR_PITCH=30          # espeak-ng's 0..99, default 50: a lower voice
VOICE_RATE=22050

# line durations of the eight dialogue cues, in seconds: a reading must end
# within them
DIAL_SECONDS=(0 70 50 40 45 68 54 57 61)
# espeak-ng speed (words a minute) for each entry, tuned so that each
# reading fills 85 to 100 % of its line
DIAL_SPEED=(0 112 122 120 127 124 124 126 126)
# pause after the date line and between paragraphs, in milliseconds
DATE_PAUSE=1100
PARA_PAUSE=750

# ssml FILE : the entry as SSML for espeak-ng: paragraphs (blank-line
# separated) joined by pauses; the date read as "the 3rd of October,
# eighteen eighty-nine"; &, < and > escaped
ssml() {
    awk -v dp="$DATE_PAUSE" -v pp="$PARA_PAUSE" '
        function flush() {
            if (para == "") return
            gsub(/&/, "\\&amp;", para); gsub(/</, "\\&lt;", para); gsub(/>/, "\\&gt;", para)
            if (n == 0) {
                para = gensubst(para)
                out = out para "<break time=\"" dp "ms\"/>\n"
            } else {
                out = out para "<break time=\"" pp "ms\"/>\n"
            }
            n++; para = ""
        }
        function gensubst(s,   m) {
            if (match(s, /^[0-9]+(st|nd|rd|th) [A-Z][a-z]+/)) {
                m = substr(s, RSTART, RLENGTH)
                sub(/ /, " of ", m)
                s = "The " m substr(s, RSTART + RLENGTH)
            }
            if (match(s, /18[0-9][0-9]/))
                s = substr(s, 1, RSTART - 1) "eighteen " substr(s, RSTART + 2, 2) substr(s, RSTART + 4)
            return s
        }
        /^[ \t]*$/ { flush(); next }
        { para = (para == "") ? $0 : para " " $0 }
        END { flush(); printf "<speak>\n%s</speak>\n", out }
    ' "$1"
}

# narrate N : read entry N into Dialogue/dial_N.ogg
narrate() {
    local n=$1 src="$ROOT/tools/journal/entry$1.txt"
    local speed=${DIAL_SPEED[$1]} d
    ssml "$src" > "$W/v$n.ssml"
    espeak-ng -m -v "$NARRATOR" -p "$NARRATOR_PITCH" -s "$speed" -g 1 \
        -f "$W/v$n.ssml" -w "$W/v$n.raw.wav"
    # a reading in a room: the voice's low rumble and fizz trimmed, its chest
    # warmed a little, gently compressed, and a short small-room reverb
    sx "$W/v$n.raw.wav" -r $VOICE_RATE $FL "$(f "v$n.dry")" \
        highpass 90 lowpass 6500 equalizer 170 1q 2 equalizer 2800 1.5q 1.5 \
        compand 0.02,0.3 -70,-70,-36,-26,-12,-11,0,-7 0 -60 0.02 \
        pad 0.5 1.2 reverb 26 65 35 0 4 -9
    d=$(soxi -D "$(f "v$n.dry")")
    # under it, the room: a faint hiss of air and a low, far-off hum
    sx -r $VOICE_RATE -c 2 -n $FL "$(f "v$n.bed")" synth "$d" pinknoise sine 73.42 \
        remix 1v0.02,2v0.004 lowpass 1500 tremolo 0.1 40
    sx -m -v 1 "$(f "v$n.dry")" -v 1 "$(f "v$n.bed")" $FL "$(f "v$n.mix")" \
        fade q 0.3 "$d" 1.0
    level "v$n.mix" "v$n.out" -20 -2
    ogg "v$n.out" "Dialogue/dial_$n.ogg" 2 $VOICE_RATE 1
}

voice_all() {
    local n
    for n in 1 2 3 4 5 6 7 8; do narrate $n; done
}
