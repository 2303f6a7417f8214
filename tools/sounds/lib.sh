# Shared helpers for tools/make-sounds. Sourced, not run.
#
# Every intermediate file is 32-bit float WAV in $W (so nothing clips while a
# sound is being built); only the final step converts to 16-bit and encodes.
# Every sox call goes through sx, which runs sox in repeatable mode (-R): its
# noise generators and dither start from the same seed on every run.

RATE=44100

sx() { sox -R -V1 "$@"; }

# f NAME -> path of a float intermediate in the work folder
f() { printf '%s/%s.wav' "$W" "$1"; }

# float output options for an intermediate
FL="-e floating-point -b 32"

# gen NAME CHANNELS SOXARGS... : synthesise from nothing into NAME; CHANNELS
# is the channel count the synth effect starts with (one per waveform given
# to it), the effects may remix it to fewer.
gen() {
    local name=$1 ch=$2; shift 2
    sx -r $RATE -c "$ch" -n $FL "$(f "$name")" "$@"
}

# hz BASE RATIO [CENTS] : BASE * RATIO, detuned by CENTS
hz() { awk -v b="$1" -v r="$2" -v c="${3:-0}" 'BEGIN { printf "%.4f", b * r * 2 ^ (c / 1200) }'; }

# note NAME : frequency of a note name such as A4, C#3 (equal temperament)
note() {
    awk -v n="$1" 'BEGIN {
        split("C C# D D# E F F# G G# A A# B", names, " ")
        for (i = 1; i <= 12; i++) idx[names[i]] = i - 1
        oct = substr(n, length(n)); pc = substr(n, 1, length(n) - 1)
        semis = idx[pc] + 12 * (oct + 1) - 69
        printf "%.4f", 440 * 2 ^ (semis / 12) }'
}

# fx IN OUT SOXEFFECTS... : run effects on an intermediate
fx() {
    local in=$1 out=$2; shift 2
    sx "$(f "$in")" $FL "$(f "$out")" "$@"
}

# mix OUT IN... : sum the inputs at full level (sox -m would otherwise divide
# by the number of inputs); inputs must share rate and channel count.
# An input may be given as NAME@GAIN (linear gain).
mix() {
    local out=$1; shift
    local args=() i name gain
    for i in "$@"; do
        name=${i%@*}; gain=1
        [ "$name" != "$i" ] && gain=${i#*@}
        args+=(-v "$gain" "$(f "$name")")
    done
    if [ $# -eq 1 ]; then
        sx "${args[@]}" $FL "$(f "$out")"
    else
        sx -m "${args[@]}" $FL "$(f "$out")"
    fi
}

# at IN SECONDS OUT : IN delayed by SECONDS (silence before it)
at() { fx "$1" "$3" pad "$2"; }

# fit IN SAMPLES OUT : cut or pad IN to exactly SAMPLES samples
fit() {
    local n
    n=$(soxi -s "$(f "$1")")
    if [ "$n" -ge "$2" ]; then fx "$1" "$3" trim 0 "${2}s"
    else fx "$1" "$3" pad 0 "$(( $2 - n ))s"; fi
}

# loopify IN SECONDS XFADE OUT : turn a sound at least SECONDS + XFADE long
# into a seamless loop of exactly SECONDS: the XFADE seconds that follow the
# loop's end are cross-faded (equal power) into its beginning, so the last
# sample of the loop runs on into the first one as it did in the source.
loopify() {
    local in=$1 len=$(( $2 * RATE )) xf=$(( $3 * RATE )) out=$4
    fx "$in" "$out.head" trim 0 "${xf}s" fade q "${xf}s"
    fx "$in" "$out.tail" trim "${len}s" "${xf}s" fade q 0 "${xf}s" "${xf}s"
    mix "$out.xf" "$out.head" "$out.tail"
    fx "$in" "$out.body" trim "${xf}s" "$(( len - xf ))s"
    sx "$(f "$out.xf")" "$(f "$out.body")" $FL "$(f "$out")"
    fit "$out" "$len" "$out.fit"
    mv "$(f "$out.fit")" "$(f "$out")"
}

# peak normalisation of an intermediate to DB dBFS (negative)
norm() { fx "$1" "$2" gain -n "$3"; }

# level IN OUT RMS_DB [PEAK_DB] : set the loudness of an intermediate: its RMS
# level (all channels) to RMS_DB, but never its peak above PEAK_DB (-2)
level() {
    local in=$1 out=$2 target=$3 pmax=${4:--2} g
    g=$(sx "$(f "$in")" -n stats 2>&1 | awk -v t="$target" -v p="$pmax" '
        /^RMS lev dB/ { rms = $4 } /^Pk lev dB/ { pk = $4 }
        END { g = t - rms; if (pk + g > p) g = p - pk; printf "%.3f", g }')
    fx "$in" "$out" gain "$g"
}

# Final encoders. Each takes an intermediate and a path under $OUT.
#
# wav16 IN PATH [RATE [CHANNELS]] : 16-bit PCM WAV (TPDF dither, seeded by -R)
wav16() {
    local in=$1 path=$2 rate=${3:-$RATE} ch=${4:-}
    mkdir -p "$(dirname "$OUT/$path")"
    if [ -n "$ch" ]; then
        sx "$(f "$in")" -r "$rate" -c "$ch" -b 16 -e signed-integer "$OUT/$path"
    else
        sx "$(f "$in")" -r "$rate" -b 16 -e signed-integer "$OUT/$path"
    fi
}

# ogg IN PATH QUALITY [RATE [CHANNELS]] : Ogg Vorbis through oggenc with a
# fixed stream serial number, the checksum of PATH (oggenc would otherwise
# pick a random one), and no comments beyond the encoder's own vendor string.
ogg() {
    local in=$1 path=$2 q=$3 rate=${4:-$RATE} ch=${5:-}
    local tmp="$W/_ogg.wav"
    mkdir -p "$(dirname "$OUT/$path")"
    if [ -n "$ch" ]; then
        sx "$(f "$in")" -r "$rate" -c "$ch" -b 16 -e signed-integer "$tmp"
    else
        sx "$(f "$in")" -r "$rate" -b 16 -e signed-integer "$tmp"
    fi
    oggenc -Q -q "$q" -s $(( $(printf '%s' "$path" | cksum | cut -d' ' -f1) % 2147483647 )) \
        -o "$OUT/$path" "$tmp"
    rm -f "$tmp"
}

# seam FILE : measures the join of a looping sound file's end to its start.
# Prints "RATIO DB LOUD": RATIO is the jump from the last sample to the first,
# divided by the largest step between neighbouring samples within 10 ms on
# either side (the worst channel; near 1 or below for a smooth join, well
# above 1 for a click); DB is the level of the first 50 ms less that of the
# last 50 ms; LOUD the level in dBFS of the louder of the two.
seam() {
    local file=$1 n w
    n=$(soxi -s "$file")
    w=$(( $(soxi -r "$file") / 20 ))
    { sox "$file" -t dat - trim "$(( n - w ))s" | grep -v '^;' | sed 's/^/T /'
      sox "$file" -t dat - trim 0 "${w}s" | grep -v '^;' | sed 's/^/H /'; } |
    awk -v w="$w" '{
        part = $1; nch = NF - 2; k = ++count[part]
        near = (part == "T") ? (k > w - w / 5) : (k <= w / 5)
        for (c = 1; c <= nch; c++) {
            v = $(c + 2)
            if (near && k > 1 && ((part, c) in prev)) {
                d = v - prev[part, c]; if (d < 0) d = -d
                if (d > maxd[c]) maxd[c] = d
            }
            prev[part, c] = v
            sq[part] += v * v
            if (part == "H" && k == 1) first[c] = v
            if (part == "T") last[c] = v
        }
    }
    END {
        worst = 0
        for (c = 1; c <= nch; c++) {
            j = first[c] - last[c]; if (j < 0) j = -j
            r = j / (maxd[c] + 1e-4); if (r > worst) worst = r
        }
        lt = 10 * log(sq["T"] / count["T"] + 1e-12) / log(10)
        lh = 10 * log(sq["H"] / count["H"] + 1e-12) / log(10)
        printf "%.2f %.1f %.1f\n", worst, lh - lt, (lh > lt) ? lh : lt
    }'
}

# ogg_loop IN PATH [RATE [CHANNELS]] : as ogg, for a seamless loop. Vorbis
# encodes the edges of a stream less exactly than its middle, which can put a
# small step where the loop's end joins its start; the lowest quality (1 to
# 6) whose decoded seam jumps no more than 1.5 times the largest step beside
# it is kept.
ogg_loop() {
    local in=$1 path=$2 q ratio rest
    for q in 1 2 3 4 5 6; do
        ogg "$in" "$path" "$q" "${3:-}" "${4:-}"
        read -r ratio rest < <(seam "$OUT/$path")
        if awk -v r="$ratio" 'BEGIN { exit !(r <= 1.5) }'; then
            return 0
        fi
    done
    echo "make-sounds: $path: the loop's seam still jumps at quality 6" >&2
    return 1
}

# mp3 IN PATH KBPS : MP3 through lame, constant bit rate, no ID3 tags
mp3() {
    local in=$1 path=$2 kbps=$3
    local tmp="$W/_mp3.wav"
    mkdir -p "$(dirname "$OUT/$path")"
    sx "$(f "$in")" -b 16 -e signed-integer "$tmp"
    lame --quiet --noreplaygain -b "$kbps" --cbr "$tmp" "$OUT/$path"
    rm -f "$tmp"
}

# events SEED PROGRAM : run an awk program (BEGIN blocks only) that has a
# seeded random generator: rand01() returns a number in [0, 1). It is the
# Park-Miller generator, exact in awk's double arithmetic, so every awk gives
# the same sequence for a seed. Used to place scattered sounds.
events() {
    awk -v seed="$1" 'function rand01() { seed = (seed * 16807) % 2147483647; return seed / 2147483647 }
'"$2"
}
