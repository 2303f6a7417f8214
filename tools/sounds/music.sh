# Music for tools/make-sounds: dark ambient drones and pads. Sourced after
# lib.sh and instruments.sh. Every level music is a seamless loop (see
# loopify); the one-shot pieces fade in and out.

# A shared long reverb: a big dark room, stereo.
HALL="reverb 75 60 100 100 25 0"

# --- calm level music: D minor, soft pad, a few distant bells -------------
music_calm() {
    local L=60 X=6 T=66
    voice c.bass  $T sine     "$(note D2)" 5  300 0.031 30 -13
    voice c.fifth $T sine     "$(note A2)" 7  400 0.043 40 -17
    voice c.p1    $T triangle "$(note F3)" 6  1200 0.050 80 -15
    voice c.p2    $T triangle "$(note A3)" 5  1200 0.037 85 -16
    voice c.p3    $T triangle "$(note C4)" 8  1400 0.061 90 -18
    voice c.p4    $T triangle "$(note E4)" 4  1500 0.029 90 -20
    gen c.air 2 synth $T pinknoise pinknoise sinc 300-2400 tremolo 0.021 60 gain -38
    local t n i=0
    for n in A4:6 F4:19 D5:31 C5:43 E4:52; do
        bell "c.b$i" "$(note "${n%%:*}")" 8 -19
        stereo "c.b$i" "c.bs$i"
        i=$((i + 1))
    done
    {
        i=0
        for n in A4:6 F4:19 D5:31 C5:43 E4:52; do
            echo "${n##*:} c.bs$i 1"; i=$((i + 1))
        done
    } | scatter c.bells $T 2
    mix c.dry c.bass c.fifth c.p1 c.p2 c.p3 c.p4 c.air c.bells
    fx c.dry c.wet $HALL
    loopify c.wet $L $X c.loop
    level c.loop c.out -20
    ogg_loop c.out Music/calm.ogg
}

# --- spooky level music: a tritone drone over wind; a second, dissonant
# layer (a high cluster of near-unison tones) that the candle's burning
# down brings in; and a deep layer that joins when the candle is low -------
music_spooky() {
    local L=60 X=6 T=66
    voice s.bass $T sine     "$(note C#2)" 12 250 0.027 35 -6
    voice s.trit $T sine     "$(note G2)"  -9 300 0.041 55 -12
    voice s.rumb $T sawtooth "$(note C#1)" 3  110 0.019 40 -10
    gen s.wind 2 synth $T brownnoise brownnoise bandpass 320 1.2q \
        tremolo 0.07 70 tremolo 0.023 60 gain -6
    gen s.howl 2 synth $T pinknoise pinknoise bandpass 710 9q bandpass 710 9q \
        tremolo 0.053 90 gain 6
    # two distant groans: a falling low sawtooth swelling in and out
    gen s.g1 2 synth 8 sawtooth 58:49 sawtooth 58.4:49.2 lowpass 420 lowpass 420 \
        fade q 3 8 4 gain -16
    gen s.g2 2 synth 8 sawtooth 52:46 sawtooth 52.3:46.2 lowpass 380 lowpass 380 \
        fade q 3 8 4 gain -17
    printf '17 s.g1 1\n41 s.g2 1\n' | scatter s.groans $T 2
    mix s.dry s.bass s.trit s.rumb s.wind s.howl s.groans
    fx s.dry s.wet $HALL
    loopify s.wet $L $X s.loop
    level s.loop s.out -20
    ogg_loop s.out Music/spooky_base.ogg

    # the dissonant layer: D5, D#5 and A5 (a minor second and a tritone),
    # each beating against a detuned twin, with a slow shimmer
    voice d.1 $T sine     "$(note D5)"  14 3000 0.11 60 -12
    voice d.2 $T sine     "$(note D#5)" -11 3000 0.083 70 -13
    voice d.3 $T triangle "$(note A5)"  9  2500 0.067 80 -19
    voice d.4 $T sawtooth "$(note D#6)" -7 2200 0.13 90 -27
    gen d.scrape 2 synth $T pinknoise pinknoise bandpass 2600 4q tremolo 5.3 60 \
        tremolo 0.09 90 gain -8
    mix d.dry d.1 d.2 d.3 d.4 d.scrape
    fx d.dry d.cho chorus 0.6 0.8 55 0.4 0.25 2 -t
    fx d.cho d.wet $HALL
    loopify d.wet $L $X d.loop
    level d.loop d.out -23
    ogg_loop d.out Music/spooky_dissonance.ogg

    # the deep layer: a sub drone on D1 beating against D#1, a low bowed
    # sawtooth and four slow doom strokes
    voice p.sub $T sine     "$(note D1)"  0 120 0.05 20 -4
    voice p.sub2 $T sine    "$(note D#1)" 0 120 0.033 40 -9
    voice p.bow $T sawtooth "$(note A1)"  6 180 0.041 70 -12
    local i
    for i in 0 1 2 3; do
        thump "p.k$i" 52 31 4.5 -3
        fx "p.k$i" "p.ks$i" lowpass 200 channels 2
    done
    printf '8 p.ks0 1\n23 p.ks1 0.8\n38 p.ks2 1\n53 p.ks3 0.8\n' | scatter p.doom $T 2
    mix p.dry p.sub p.sub2 p.bow p.doom
    fx p.dry p.wet reverb 60 70 100 100 10 0
    loopify p.wet $L $X p.loop
    level p.loop p.out -21
    ogg_loop p.out Music/spooky_deep.ogg
}

# --- danger: three looping layers of 30 s that the game steers together with
# the dying candle: a pulsing low cluster, a screeching high cluster, and a
# heartbeat (its pitch curve makes it beat faster) -------------------------
music_danger() {
    local L=30 X=3 T=33
    voice x.1 $T sawtooth "$(note C2)"  5 380 4.1 35 -12
    voice x.2 $T sawtooth "$(note C#2)" -6 380 3.7 35 -13
    voice x.3 $T sawtooth "$(note F#2)" 4 420 0.21 60 -15
    gen x.rum 2 synth $T brownnoise brownnoise lowpass 160 tremolo 0.4 50 gain -2
    mix x.dry x.1 x.2 x.3 x.rum
    fx x.dry x.wet reverb 50 60 80 100 5 0
    loopify x.wet $L $X x.loop
    level x.loop x.out -20
    ogg_loop x.out Music/danger_drone.ogg

    voice y.1 $T sawtooth "$(note A#6)" 20 5000 11 50 -20
    voice y.2 $T sawtooth "$(note B6)" -25 5000 9.3 50 -21
    voice y.3 $T sine     "$(note E7)" 30 6000 0.7 80 -22
    gen y.sw 2 synth $T sine 1200:1800 sine 1210:1790 tremolo 0.5 80 gain -26
    mix y.dry y.1 y.2 y.3 y.sw
    fx y.dry y.wet bandpass 2600 1.5q $HALL
    loopify y.wet $L $X y.loop
    level y.loop y.out -25
    ogg_loop y.out Music/danger_screech.ogg

    # heartbeat at 60 beats a minute: "lub" and a softer "dub" 0.28 s later;
    # the beats fall on the half seconds, so the loop's seam is between them
    thump h.lub 62 44 0.25 -2
    thump h.dub 70 52 0.2 -6
    fx h.lub h.lubf lowpass 150 channels 2
    fx h.dub h.dubf lowpass 170 channels 2
    local b
    for ((b = 0; b < T; b++)); do
        echo "$b.5 h.lubf 1"
        echo "$b.78 h.dubf 1"
    done | scatter h.dry $T 2
    fx h.dry h.wet reverb 30 80 40 50 0 0
    loopify h.wet $L $X h.loop
    level h.loop h.out -20
    ogg_loop h.out Music/danger_heart.ogg
}

# --- death: a dissonant stab that sinks an octave and dies away (one-shot) --
music_death() {
    local T=24
    gen z.stab 6 synth $T sawtooth "$(note C4)" sawtooth "$(note C#4)" \
        sawtooth "$(note F#4)" sawtooth "$(note G4)" sawtooth "$(note C3)" \
        sawtooth "$(note C#3)" remix 1,3,5 2,4,6 lowpass 2200 \
        bend 0.4,-1200,9 fade h 0.02 $T 20 gain -14
    thump z.boom 60 28 6 0
    fx z.boom z.booms channels 2
    gen z.air 2 synth $T brownnoise brownnoise lowpass 300 fade q 0.5 $T 20 gain -16
    mix z.dry z.stab z.booms z.air
    fx z.dry z.wet reverb 85 50 100 100 0 0 fade 0 $T 6
    level z.wet z.out -19
    ogg z.out Music/death.ogg 1
}

# --- menu: A minor, a slow music-box melody over changing pad chords ------
music_menu() {
    local L=60 X=6 T=66 i=0 c s n
    # chords of 15 s (A minor, F major, C major, E major), the last one
    # repeating the first for the loop's cross-fade
    for c in "A2 E3 C4 E4" "F2 C3 A3 C4" "C3 G3 E4 G4" "E2 B2 G#3 B3" "A2 E3 C4 E4"; do
        local parts=() k=0
        for n in $c; do
            voice "m.c$i.$k" 19 triangle "$(note "$n")" $(( k * 3 + 4 )) 1100 0.08 30 -20
            parts+=("m.c$i.$k"); k=$((k + 1))
        done
        mix "m.ch$i.raw" "${parts[@]}"
        fx "m.ch$i.raw" "m.ch$i" fade q 3.5 19 4
        rm -f "$W"/m.c$i.*.wav
        i=$((i + 1))
    done
    printf '0 m.ch0 1\n15 m.ch1 1\n30 m.ch2 1\n45 m.ch3 1\n60 m.ch4 1\n' | scatter m.pad $T 2
    # the melody: one note every 1.875 s, rests as "-"
    local mel="E5 - C5 B4 A4 - - - C5 - D5 E5 B4 - - - A4 - F5 E5 D5 - C5 - B4 - G#4 - E5 - - - E5"
    s=0; i=0
    for n in $mel; do
        if [ "$n" != "-" ]; then
            pluck "m.n$i" "$(note "$n")" 3 -8 5000
            bell "m.s$i" "$(hz "$(note "$n")" 2)" 2 -30
            mix "m.t$i" "m.n$i" "m.s$i"
            pan "m.t$i" "m.tp$i" "0.$(( (i * 37) % 7 ))"
            awk -v k="$s" 'BEGIN { printf "%.3f", k * 1.875 }'
            echo " m.tp$i 1"
        fi
        s=$((s + 1)); i=$((i + 1))
    done | scatter m.mel $T 2
    gen m.air 2 synth $T pinknoise pinknoise sinc 200-1500 gain -42
    mix m.dry m.pad m.mel m.air
    fx m.dry m.wet $HALL
    loopify m.wet $L $X m.loop
    level m.loop m.out -20
    ogg_loop m.out Music/menu.ogg
}

# --- intro: 45 s after the shot; D minor chords of low strings under a
# tolling bell, fading in and out (one-shot) ------------------------------
music_intro() {
    local T=45 i=0 c n
    for c in "D2 A2 F3" "A#1 F2 D3" "G1 D2 A#2" "A1 E2 C#3"; do
        local parts=() k=0
        for n in $c; do
            voice "i.c$i.$k" 14 sawtooth "$(note "$n")" $(( k * 4 + 5 )) 600 0.1 25 -19
            parts+=("i.c$i.$k"); k=$((k + 1))
        done
        mix "i.ch$i.raw" "${parts[@]}"
        fx "i.ch$i.raw" "i.ch$i" fade q 3 14 4
        rm -f "$W"/i.c$i.*.wav
        i=$((i + 1))
    done
    printf '0 i.ch0 1\n10 i.ch1 1\n20 i.ch2 1\n30 i.ch3 1\n' | scatter i.strings $T 2
    bell i.toll "$(note D3)" 9 -8
    stereo i.toll i.tolls
    for i in 2 10 18 26 34; do echo "$i i.tolls 1"; done | scatter i.bells $T 2
    gen i.wind 2 synth $T brownnoise brownnoise bandpass 250 1q tremolo 0.06 70 gain -12
    mix i.dry i.strings i.bells i.wind
    fx i.dry i.wet $HALL fade q 4 $T 8
    level i.wet i.out -19
    ogg i.out Music/intro.ogg 1
}

# --- credits: 76 s, D minor, melancholic: a plucked melody and bass over
# string pads, twice through eight chords of 4.5 s, fading out. Mono 22.05 kHz.
music_credits() {
    local T=76 C=4.5 i=0 c n k
    local chords=("D3 F3 A3" "A#2 D3 F3" "F2 A2 C3" "A2 C#3 E3" "D3 F3 A3" "G2 A#2 D3" "A2 C#3 E3" "D3 F3 A3")
    local bass=(D2 A#1 F2 A1 D2 G1 A1 D2)
    : > "$W/cr.padev"
    : > "$W/cr.bassev"
    for ((i = 0; i < 16; i++)); do
        c=${chords[i % 8]}
        local parts=()
        k=0
        for n in $c; do
            voice "cr.v$i.$k" 6 triangle "$(note "$n")" $(( k * 3 + 3 )) 1300 0.15 20 -17
            parts+=("cr.v$i.$k"); k=$((k + 1))
        done
        mix "cr.c$i.raw" "${parts[@]}"
        fx "cr.c$i.raw" "cr.c$i" fade q 1.2 6 1.5
        rm -f "$W"/cr.v$i.*.wav
        awk -v t="$i" -v c="$C" 'BEGIN { printf "%.2f", t * c }' >> "$W/cr.padev"
        echo " cr.c$i 1" >> "$W/cr.padev"
        pluck "cr.b$i" "$(note "${bass[i % 8]}")" 4.5 -4 900
        stereo "cr.b$i" "cr.bs$i"
        awk -v t="$i" -v c="$C" 'BEGIN { printf "%.2f", t * c }' >> "$W/cr.bassev"
        echo " cr.bs$i 1" >> "$W/cr.bassev"
    done
    scatter cr.pads $T 2 < "$W/cr.padev"
    scatter cr.bass $T 2 < "$W/cr.bassev"
    # the melody, in eighths of a chord (0.5625 s); "-" rests; two passes,
    # the second an octave's shadow lower at its end
    local mel="A4 - - - F4 - E4 - | D4 - - - - - F4 - | C5 - - - A4 - - - | A4 - G4 - E4 - - - |
               F4 - - - E4 - D4 - | D4 - - - A#4 - A4 - | G4 - - - E4 - C#4 - | D4 - - - - - - - |
               A4 - - - C5 - A4 - | F4 - - - D4 - F4 - | A4 - - - G4 - F4 - | E4 - - - C#4 - E4 - |
               F4 - - - A4 - F4 - | D4 - - - G4 - A#4 - | A4 - - - G4 - E4 - | D4 - - - - - - - |"
    local s=0
    i=0
    for n in $mel; do
        [ "$n" = "|" ] && continue
        if [ "$n" != "-" ]; then
            pluck "cr.m$i" "$(note "$n")" 3 -6 4500
            bell "cr.mb$i" "$(note "$n")" 2.5 -26
            mix "cr.mt$i" "cr.m$i" "cr.mb$i"
            stereo "cr.mt$i" "cr.ms$i"
            awk -v k="$s" 'BEGIN { printf "%.4f", k * 0.5625 }'
            echo " cr.ms$i 1"
        fi
        s=$((s + 1)); i=$((i + 1))
    done | scatter cr.mel $T 2
    mix cr.dry cr.pads cr.bass@0.8 cr.mel
    fx cr.dry cr.wet $HALL fade q 2 $T 8
    level cr.wet cr.out -19 -2
    wav16 cr.out credits.wav 22050 1
}
