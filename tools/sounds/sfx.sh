# Sound effects for tools/make-sounds: footsteps, doors, breath, pick-ups,
# the interface, and the plain files of the final scene (scream, gunshot,
# door break). Sourced after lib.sh and instruments.sh.

# --- footsteps: one step per material, each under 0.3 s ------------------
sfx_footsteps() {
    # wood: a heel on a hollow board, with the board's resonance
    thump  w.heel 130 78 0.16 -4
    burst  w.tap 0.05 whitenoise lowpass 1800
    burst  w.board 0.14 brownnoise bandpass 240 5q bandpass 240 5q
    fx w.board w.board2 gain 14
    burst  w.creak 0.09 pinknoise bandpass 900 12q
    fx w.creak w.creak2 gain 2 pad 0.02
    mix w.dry w.heel w.tap@0.5 w.board2@0.8 w.creak2@0.15
    fx w.dry w.wet reverb 20 60 25 0 0 -4 pad 0 0.08 trim 0 0.28 fade t 0 0.28 0.05
    level w.wet w.out -20 -3
    wav16 w.out SFX/step_wood.wav

    # rug: a muffled, soft step with the brush of cloth
    thump  r.heel 95 62 0.12 -8
    burst  r.thud 0.1 pinknoise lowpass 420 lowpass 420
    fx r.thud r.thud2 gain 6
    gen r.brush 1 synth 0.16 pinknoise bandpass 2200 1q fade q 0.05 0.16 0.1 gain -18
    mix r.dry r.heel r.thud2 r.brush
    fx r.dry r.wet pad 0 0.06 trim 0 0.22 fade t 0 0.22 0.04
    level r.wet r.out -24 -6
    wav16 r.out SFX/step_rug.wav

    # stone: a hard heel click on tile, ringing briefly in a bare room
    burst  t.click 0.03 whitenoise highpass 1400
    burst  t.ring 0.09 whitenoise bandpass 3300 8q bandpass 3300 8q
    fx t.ring t.ring2 gain 16
    thump  t.heel 190 120 0.06 -6
    mix t.dry t.click t.ring2@0.6 t.heel
    fx t.dry t.wet lowpass 9000 pad 0 0.2 echo 0.8 0.8 23 0.25 41 0.12 reverb 30 40 20 0 0 -6 \
        trim 0 0.28 fade t 0 0.28 0.06
    level t.wet t.out -20 -3
    wav16 t.out SFX/step_stone.wav
}

# --- doors: "open" creaks on its hinges after the latch, "close" swings
# shut with a thud and the latch --------------------------------------------
# creak NAME LEN PULSE_FROM PULSE_TO BENDS : a hinge creak: a pulse train (the
# stick-slip of the hinge) whose rate is bent about, rung through three
# resonances of the door's wood
creak() {
    local name=$1 len=$2 a=$3 b=$4; shift 4
    gen "$name.p" 1 synth "$len" square "$a:$b" 0 0 8 highpass 400 bend "$@"
    fx "$name.p" "$name.r1" bandpass 620 7q gain 8
    fx "$name.p" "$name.r2" bandpass 1150 9q gain 6
    fx "$name.p" "$name.r3" bandpass 2350 10q gain 2
    mix "$name" "$name.r1" "$name.r2" "$name.r3@0.7"
}

sfx_doors() {
    burst  o.l1 0.025 whitenoise highpass 2200 bandpass 3100 3q
    burst  o.l2 0.04 whitenoise highpass 1500 bandpass 2400 3q
    creak  o.cr 1.5 31 44 0.1,250,0.45 0.1,-400,0.5 0,150,0.3
    fx o.cr o.crf fade q 0.15 1.5 0.35
    gen o.air 1 synth 1.6 brownnoise lowpass 380 fade q 0.5 1.6 0.9 gain -16
    printf '0 o.l1 1\n0.07 o.l2 0.6\n0.15 o.crf 0.8\n0.1 o.air 1\n' | scatter o.dry 2.2 1
    fx o.dry o.wet reverb 35 50 40 0 0 -3
    level o.wet o.out -21 -3
    wav16 o.out SFX/door_open.wav

    creak  s.cr 0.55 38 30 0.05,-200,0.3
    fx s.cr s.crf fade q 0.08 0.55 0.2
    thump  s.thud 92 54 0.45 -2
    burst  s.slam 0.16 brownnoise lowpass 900
    fx s.slam s.slam2 gain 10
    burst  s.latch 0.03 whitenoise highpass 2000 bandpass 2800 3q
    gen s.air 1 synth 0.6 brownnoise lowpass 300 fade q 0.4 0.6 0.1 gain -14
    printf '0 s.crf 0.7\n0.05 s.air 1\n0.55 s.thud 1\n0.55 s.slam2 0.8\n0.58 s.latch 0.7\n' | scatter s.dry 1.5 1
    fx s.dry s.wet reverb 40 50 40 0 0 -3
    level s.wet s.out -19 -2
    wav16 s.out SFX/door_close.wav
}

# --- breath ----------------------------------------------------------------
sfx_breath() {
    # gasp: a sharp intake of breath with a hint of voice, 0.6 s (the game
    # cuts it at 0.75 s)
    gen g.n 1 synth 0.55 pinknoise highpass 500 lowpass 7000 fade h 0.035 0.55 0.35
    fx g.n g.f1 bandpass 1150 3q gain 6
    fx g.n g.f2 bandpass 2500 3q gain 4
    fx g.n g.f3 bandpass 4200 2q
    gen g.v 1 synth 0.4 sawtooth 190:260 lowpass 1800 bandpass 800 2q \
        fade h 0.03 0.4 0.3 gain -24
    mix g.dry g.f1 g.f2 g.f3@0.5 g.v
    fx g.dry g.wet reverb 20 50 20 0 0 -8 pad 0 0.05 trim 0 0.6 fade t 0 0.6 0.04
    level g.wet g.out -16 -2
    wav16 g.out SFX/gasp.wav

    # relief: a long, slow exhale and a soft, low chime
    gen e.n 1 synth 1.9 pinknoise highpass 250 fade h 0.18 1.9 1.5
    fx e.n e.f1 bandpass 650 2q gain 4
    fx e.n e.f2 bandpass 1400 3q
    bell e.b1 "$(note B4)" 2.2 -11
    bell e.b2 "$(note E5)" 2 -14
    printf '0 e.f1 1\n0 e.f2 0.6\n0.25 e.b1 1\n0.45 e.b2 1\n' | scatter e.dry 2.6 1
    fx e.dry e.wet reverb 50 50 60 0 0 -4
    level e.wet e.out -22 -3
    wav16 e.out SFX/relief.wav
}

# --- pick-up: a small ring of keys, three or four clinks ------------------
# clink NAME HZ : one key striking another: inharmonic metal partials that
# die within a quarter second, on a tiny tick
clink() {
    local name=$1 b=$2
    gen "$name.p" 4 synth 0.5 sine "$b" sine "$(hz "$b" 1.4)" sine "$(hz "$b" 1.9)" \
        sine "$(hz "$b" 2.61)" remix 1v1,2v0.6,3v0.45,4v0.3 $(ring 0.5 0.3)
    burst "$name.t" 0.008 whitenoise highpass 5000
    mix "$name" "$name.p" "$name.t@0.6"
}

sfx_pickup() {
    clink k.1 3150
    clink k.2 3340
    clink k.3 2960
    clink k.4 3530
    printf '0 k.1 1\n0.085 k.2 0.55\n0.2 k.3 0.8\n0.37 k.4 0.35\n' | scatter k.dry 0.9 1
    fx k.dry k.wet reverb 25 40 20 0 0 -6
    level k.wet k.out -20 -3
    wav16 k.out SFX/pickup.wav
}

# --- interface -------------------------------------------------------------
sfx_ui() {
    # move: a soft wooden tick
    gen u.m 2 synth 0.07 sine 1400 sine 2810 remix 1v1,2v0.3 $(ring 0.07 0.07)
    burst u.mt 0.006 whitenoise bandpass 3000 2q
    mix u.md u.m u.mt@0.5
    fx u.md u.mw pad 0 0.05 reverb 20 50 10 0 0 -10
    level u.mw u.mo -22 -4
    wav16 u.mo SFX/ui_move.wav

    # yes: two bell tones rising a fifth
    bell u.y1 "$(note A5)" 0.7 -6
    bell u.y2 "$(note E6)" 0.8 -8
    printf '0 u.y1 1\n0.09 u.y2 1\n' | scatter u.yd 0.95 1
    fx u.yd u.yw reverb 30 50 20 0 0 -8
    level u.yw u.yo -22 -4
    wav16 u.yo SFX/ui_yes.wav

    # no: two dull, falling tones
    gen u.n1 1 synth 0.5 triangle "$(note E3)" lowpass 900 $(ring 0.5 0.22)
    gen u.n2 1 synth 0.6 triangle "$(note C3)" lowpass 800 $(ring 0.6 0.3)
    printf '0 u.n1 1\n0.12 u.n2 1\n' | scatter u.nd 0.5 1
    fx u.nd u.nw reverb 20 50 10 0 0 -10
    level u.nw u.no -22 -4
    wav16 u.no SFX/ui_no.wav

    # start: a swell of air into a low, tolling chord
    gen u.sw 1 synth 1.0 brownnoise lowpass 600 fade p 0.95 1.0 0.05 gain -8
    bell u.s1 "$(note D3)" 3 -4
    bell u.s2 "$(note A3)" 2.6 -10
    bell u.s3 "$(note D4)" 2.2 -14
    printf '0 u.sw 1\n0.9 u.s1 1\n0.92 u.s2 1\n0.94 u.s3 1\n' | scatter u.sd 4 1
    fx u.sd u.sw2 reverb 60 50 80 0 0 -4
    level u.sw2 u.so -19 -3
    wav16 u.so SFX/ui_start.wav
}
