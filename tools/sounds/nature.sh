# Rain and thunder for the roof, for tools/make-sounds. Sourced after lib.sh
# and instruments.sh.

# --- rain: two looping layers of 40 s. The bed is the wash of rain on roof
# and gutters (filtered noise with slow swells); the drops layer is the
# texture on top: some thousand single drops and splashes, each placed and
# panned by a seeded random generator -------------------------------------
nature_rain() {
    local L=40 X=4 T=44
    gen r.wash 2 synth $T pinknoise pinknoise highpass 350 lowpass 7500 \
        equalizer 3000 1q 3 tremolo 0.13 18 tremolo 0.047 25 gain -6
    gen r.hiss 2 synth $T whitenoise whitenoise highpass 5500 lowpass 12000 gain -30
    gen r.roof 2 synth $T brownnoise brownnoise lowpass 260 tremolo 0.08 30 gain -4
    mix r.bed.dry r.wash r.hiss r.roof@0.18
    fx r.bed.dry r.bed.wet reverb 30 70 60 100 0 -8
    loopify r.bed.wet $L $X r.bed.loop
    level r.bed.loop r.bed.out -24
    ogg_loop r.bed.out Ambience/rain_bed.ogg

    # drop kinds: a tick (a drop on a slate), a plink (a drop into a puddle:
    # a short rising tone, as a bubble's ring rises), a patter (a small
    # splash) — each in several pitches
    local k=0 fq
    for fq in 1800 2600 3400 4300 5200 6100; do
        burst "r.t$k" 0.012 whitenoise bandpass "$fq" 2q
        gen "r.p$k" 1 synth 0.03 sine "$fq:$(hz "$fq" 1.6)" fade h 0.001 fade l 0 0.03 0.03 gain -6
        burst "r.s$k" 0.05 whitenoise highpass 1200 bandpass "$(hz "$fq" 0.7)" 1q
        k=$((k + 1))
    done
    events 918273 'BEGIN {
        for (i = 0; i < 7; i++) rand01()
        t = 0.01
        while (t < '"$T"' - 0.1) {
            kind = rand01(); v = int(rand01() * 6)
            name = (kind < 0.55) ? "r.t" v : (kind < 0.8) ? "r.p" v : "r.s" v
            g = 0.15 + 0.85 * rand01() * rand01()
            p = rand01() * 2 - 1
            printf "%.4f %s %.3f %.2f\n", t, name, g, p
            t += 0.004 + rand01() * 0.05
        }
    }' > "$W/r.events"
    # pan every event: one stereo copy per (drop, pan) pair, pans in fifths
    local t name g p pn
    while read -r t name g p; do
        pn=$(awk -v p="$p" 'BEGIN { printf "%d", (p + 1) * 2 + 0.5 }')
        if [ ! -f "$(f "$name.pan$pn")" ]; then
            pan "$name" "$name.pan$pn" "$(awk -v n="$pn" 'BEGIN { printf "%.2f", n / 2 - 1 }')"
        fi
        echo "$t $name.pan$pn $g"
    done < "$W/r.events" | scatter r.drops.dry $T 2
    fx r.drops.dry r.drops.wet lowpass 9000 compand 0.001,0.05 -90,-90,-20,-20,0,-12 reverb 25 60 40 100 0 -6
    loopify r.drops.wet $L $X r.drops.loop
    level r.drops.loop r.drops.out -27
    ogg_loop r.drops.out Ambience/rain_drops.ogg
}

# --- thunder: a distant peal, 9 s: a muffled crack, then rolls of low
# rumble that swell and die in turn, in a wide space --------------------------
nature_thunder() {
    burst  th.crack 0.5 whitenoise lowpass 2200 lowpass 2200
    fx th.crack th.crack2 gain 6
    gen th.r1 1 synth 2.6 brownnoise lowpass 300 lowpass 300 tremolo 6.5 35 fade q 0.15 2.6 1.8 gain 10
    gen th.r2 1 synth 3.2 brownnoise lowpass 220 lowpass 220 tremolo 4.2 45 fade q 0.6 3.2 2.2 gain 13
    gen th.r3 1 synth 4.5 brownnoise lowpass 160 lowpass 160 tremolo 3.1 40 fade q 0.9 4.5 3.4 gain 12
    gen th.r4 1 synth 3.0 brownnoise lowpass 120 lowpass 120 fade q 1.0 3.0 2.0 gain 8
    thump  th.sub 48 30 3 -10
    printf '0 th.crack2 0.8\n0 th.sub 1\n0.1 th.r1 1\n1.1 th.r2 0.9\n2.4 th.r3 0.8\n4.4 th.r4 0.5\n' \
        | scatter th.dry 9 1
    fx th.dry th.wet channels 2 reverb 80 70 100 100 30 0 fade t 0 9 2.5
    level th.wet th.out -18 -2
    ogg th.out Ambience/thunder.ogg 2
}
