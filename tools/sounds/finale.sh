# The plain sound files of the final scene, played by the game directly:
# the scream, the gunshot, the door breaking. Sourced after lib.sh and
# instruments.sh.

# --- a woman's scream behind a door, 2.4 s. A voice is not synthesised well;
# this is a shriek built like one: a bright glottal source (two sawtooths a
# few cents apart and a rough undertone) whose pitch leaps up, wavers and
# breaks downward, shaped by the formants of an open "ah", torn by a fast
# flutter and overdrive, with breath noise; then heard through a door and
# down a stair: low-passed, in a room ------------------------------------------
finale_scream() {
    local T=2.4
    local bends="0.03,700,0.22 0.15,90,0.25 0.1,-60,0.2 0.05,120,0.15 0.25,-700,0.75"
    # shellcheck disable=SC2086
    gen sc.src 3 synth $T sawtooth 640 sawtooth 642.8 square 320 \
        remix 1v0.5,2v0.5,3v0.15 bend $bends tremolo 31 22 tremolo 6.3 18
    fx sc.src sc.f1 bandpass 980 3.5q gain 6
    fx sc.src sc.f2 bandpass 1500 5q gain 3
    fx sc.src sc.f3 bandpass 2900 6q gain 0
    fx sc.src sc.f4 bandpass 4100 7q gain -6
    gen sc.br 1 synth $T pinknoise bandpass 2400 1q gain -20
    mix sc.voice sc.f1 sc.f2 sc.f3 sc.f4 sc.br
    fx sc.voice sc.shape overdrive 14 30 fade h 0.12 $T 0.9 \
        chorus 0.7 0.7 28 0.35 4.7 1.6 -s
    fx sc.shape sc.far lowpass 3800 highpass 220 pad 0.05 1.2 \
        reverb 55 70 55 0 8 -2
    level sc.far sc.out -17 -1.5
    wav16 sc.out Scream.wav 44100
}

# --- a pistol shot in a house, 3.5 s: the crack, the blast and the boom,
# and the rooms answering --------------------------------------------------
finale_gun() {
    burst gn.crack 0.02 whitenoise
    burst gn.blast 0.16 whitenoise lowpass 5000 overdrive 20
    burst gn.body 0.3 pinknoise bandpass 700 1.5q
    fx gn.body gn.body2 gain 8
    thump gn.boom 95 38 0.7 0
    burst gn.click 0.012 whitenoise highpass 3000
    printf '0 gn.click 0.15\n0.06 gn.crack 1\n0.06 gn.blast 0.9\n0.062 gn.body2 0.8\n0.06 gn.boom 1\n' \
        | scatter gn.dry 3.6 1
    fx gn.dry gn.hit compand 0.001,0.12 -90,-90,-25,-18,0,-4 0 0 0
    fx gn.hit gn.room echo 0.9 0.9 37 0.3 71 0.2 113 0.12 reverb 70 45 80 0 6 -1 \
        fade t 0 3.6 1.2
    level gn.room gn.out -16 -1
    mp3 gn.out Gun.mp3 128
}

# --- a wooden door kicked in, 2.8 s: the blow, the panel cracking, a run of
# splinters, the door slamming into the wall, and pieces falling --------------
finale_doorbreak() {
    thump db.kick 80 42 0.5 0
    burst db.knock 0.2 brownnoise lowpass 1400
    fx db.knock db.knock2 gain 12
    burst db.crackl 0.09 whitenoise bandpass 650 2q
    fx db.crackl db.crackl2 gain 10
    burst db.crackh 0.05 whitenoise bandpass 1900 2q
    fx db.crackh db.crackh2 gain 8
    thump db.slam 70 48 0.6 -2
    burst db.slamn 0.2 brownnoise lowpass 900
    fx db.slamn db.slamn2 gain 8
    local k=0 fq
    for fq in 1300 1900 2600 3400 4500; do
        burst "db.sp$k" 0.02 whitenoise bandpass "$fq" 3q
        fx "db.sp$k" "db.spl$k" gain 6
        gen "db.pc$k" 1 synth 0.09 sine "$(hz "$fq" 0.22)" $(ring 0.09 0.09)
        k=$((k + 1))
    done
    {
        printf '0 db.kick 1\n0 db.knock2 1\n0.01 db.crackl2 1\n0.03 db.crackh2 0.8\n'
        printf '0.11 db.crackl2 0.7\n0.55 db.slam 1\n0.55 db.slamn2 0.9\n0.57 db.crackh2 0.5\n'
        events 424242 'BEGIN {
            for (i = 0; i < 7; i++) rand01()
            t = 0.02
            while (t < 1.3) {      # splinters, thinning out
                printf "%.4f db.spl%d %.3f\n", t, int(rand01() * 5), 0.9 - 0.6 * t / 1.3
                t += 0.006 + rand01() * 0.05 * (1 + 3 * t)
            }
            t = 0.8
            while (t < 2.1) {      # pieces falling on the floor
                printf "%.4f db.pc%d %.3f\n", t, int(rand01() * 5), 0.3 + 0.4 * rand01()
                t += 0.08 + rand01() * 0.35
            }
        }'
    } | sort -n | scatter db.dry 2.8 1
    fx db.dry db.hit compand 0.001,0.1 -90,-90,-20,-15,0,-5 0 0 0
    fx db.hit db.room reverb 45 55 60 0 4 -3 fade t 0 2.8 0.5
    level db.room db.out -16 -1
    mp3 db.out DoorBreak.mp3 128
}
