# Instruments for tools/make-sounds: small sound builders that the music and
# the effects share. Sourced after lib.sh.

# voice NAME LEN WAVE HZ CENTS LOWPASS TREM_HZ TREM_DEPTH GAIN_DB
# One sustained note in stereo: the left channel at HZ, the right one CENTS
# higher, so the two beat slowly against each other; low-passed and swelling
# with a slow tremolo.
voice() {
    local name=$1 len=$2 wave=$3 f1=$4 cents=$5 lp=$6 th=$7 td=$8 g=$9
    local f2
    f2=$(hz "$f1" 1 "$cents")
    gen "$name" 2 synth "$len" "$wave" "$f1" "$wave" "$f2" \
        lowpass "$lp" lowpass "$lp" tremolo "$th" "$td" gain "$g"
}

# ring RING LEN : effects that give a sound an exponential decay of 100 dB
# over RING seconds and end it after LEN (<= RING) with a short fade; the
# sound must be RING seconds long.
ring() {
    echo fade h 0.003 fade l 0 "$1" "$1" trim 0 "$2" fade t 0 "$2" 0.05
}

# bell NAME HZ LEN GAIN_DB : a struck bell (mono), LEN seconds: the low
# partials of a church bell fall by 50 dB over LEN, the upper ones three
# times faster.
bell() {
    local name=$1 b=$2 len=$3 g=$4
    local r2 r3
    r2=$(awk -v l="$len" 'BEGIN { printf "%.3f", l * 2 }')
    r3=$(awk -v l="$len" 'BEGIN { printf "%.3f", l * 2 / 3 }')
    # shellcheck disable=SC2046
    gen "$name.lo" 4 synth "$r2" sine "$(hz "$b" 0.5)" sine "$b" \
        sine "$(hz "$b" 1.183)" sine "$(hz "$b" 1.506)" \
        remix 1v0.35,2v1,3v0.55,4v0.3 $(ring "$r2" "$len")
    # shellcheck disable=SC2046
    gen "$name.hi" 4 synth "$r2" sine "$(hz "$b" 2)" sine "$(hz "$b" 2.514)" \
        sine "$(hz "$b" 2.662)" sine "$(hz "$b" 4.166)" \
        remix 1v0.5,2v0.3,3v0.25,4v0.12 fade h 0.002 fade l 0 "$r3" "$r3" pad 0 "$len" trim 0 "$len"
    mix "$name.m" "$name.lo" "$name.hi"
    fx "$name.m" "$name" gain "$g"
    rm -f "$(f "$name.lo")" "$(f "$name.hi")" "$(f "$name.m")"
}

# pluck NAME HZ LEN GAIN_DB LOWPASS : a plucked string (mono)
pluck() {
    local name=$1 b=$2 len=$3 g=$4 lp=${5:-4000}
    gen "$name" 1 synth "$len" pluck "$b" lowpass "$lp" \
        fade h 0.002 "$len" 0.3 gain "$g"
}

# thump NAME HZ_FROM HZ_TO LEN GAIN_DB : a low body blow (mono): a falling
# sine with an exponential decay
thump() {
    local name=$1 a=$2 b=$3 len=$4 g=$5
    gen "$name" 1 synth "$len" sine "$a/$b" fade h 0.002 fade l 0 "$len" "$len" gain "$g"
}

# burst NAME LEN COLOUR SOXFILTER... : a noise burst with an exponential decay
burst() {
    local name=$1 len=$2 colour=$3; shift 3
    gen "$name" 1 synth "$len" "$colour" "$@" fade h 0.001 fade l 0 "$len" "$len"
}

# stereo NAME OUT : a mono intermediate made stereo (same in both channels)
stereo() { fx "$1" "$2" channels 2; }

# pan NAME OUT POS : a mono intermediate panned, POS from -1 (left) to 1
pan() {
    local l r
    l=$(awk -v p="$3" 'BEGIN { printf "%.3f", cos((p + 1) * 3.14159265 / 4) }')
    r=$(awk -v p="$3" 'BEGIN { printf "%.3f", sin((p + 1) * 3.14159265 / 4) }')
    fx "$1" "$2" remix "1v$l" "1v$r"
}

# scatter OUT SECONDS CHANNELS < EVENTS : a track of SECONDS made of short
# sounds placed at given times. Each line of EVENTS is "TIME NAME GAIN" (TIME
# in seconds, ascending; NAME an intermediate with CHANNELS channels; GAIN
# linear). Overlapping sounds go to separate lanes, which are concatenated
# piece by piece and then summed, so no file longer than a lane is made per
# event. An event that finds no free lane is dropped.
scatter() {
    local out=$1 secs=$2 ch=$3
    local lanes=6 total i n=0 t name gain ts len lane gap
    total=$(awk -v s="$secs" -v r="$RATE" 'BEGIN { printf "%d", s * r }')
    local -a ends parts
    declare -A lens
    for ((i = 0; i < lanes; i++)); do ends[i]=0; parts[i]=""; done
    while read -r t name gain; do
        [ -z "$t" ] && continue
        ts=$(awk -v s="$t" -v r="$RATE" 'BEGIN { printf "%d", s * r }')
        if [ -z "${lens[$name]:-}" ]; then lens[$name]=$(soxi -s "$(f "$name")"); fi
        len=${lens[$name]}
        lane=-1
        for ((i = 0; i < lanes; i++)); do
            if [ "${ends[i]}" -le "$ts" ]; then lane=$i; break; fi
        done
        [ "$lane" -lt 0 ] && continue
        gap=$(( ts - ends[lane] ))
        fx "$name" "$out.e$n" vol "$gain" pad "${gap}s"
        parts[lane]+=" $(f "$out.e$n")"
        ends[lane]=$(( ts + len ))
        n=$(( n + 1 ))
    done
    local used=()
    for ((i = 0; i < lanes; i++)); do
        if [ -n "${parts[i]}" ]; then
            # shellcheck disable=SC2086
            sx ${parts[i]} $FL "$(f "$out.l$i")"
        else
            gen "$out.l$i" "$ch" trim 0 0.01
        fi
        fit "$out.l$i" "$total" "$out.lane$i"
        used+=("$out.lane$i")
    done
    mix "$out" "${used[@]}"
    rm -f "$W/$out".e*.wav "$W/$out".l*.wav
}
