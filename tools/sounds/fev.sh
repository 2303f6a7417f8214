# The event project, Assets/Sounds/mire-fell.fev (JSON, described in
# docs/audio.md), for tools/make-sounds. Sourced after lib.sh; fev_write
# prints the project on standard output.
#
# The layout is kept one key per line at fixed indents: tools/sounds/check
# reads the events, their "loop" flags and their files back with awk.

fev_dialogue() {
    local n
    for n in 1 2 3 4 5 6 7 8; do
        cat <<EOT
      "dial_$n": {
        "category": "narration",
        "volume": 1.0,
        "fadeOut": 0.5,
        "maxInstances": 1,
        "layers": [
          { "file": "Dialogue/dial_$n.ogg", "stream": true }
        ]
      }$([ $n -lt 8 ] && echo ,)
EOT
    done
}

fev_write() {
    cat <<EOT
{
  "project": "mire-fell",
  "categories": ["master", "music", "effects", "narration"],
  "reverbPresets": {
    "hall_large": { "base": "HALL", "decayTime": 3.2, "gain": 0.22 },
    "room_harsh": { "base": "STONEROOM", "decayTime": 1.4, "gain": 0.3, "reflectionsGain": 0.6 },
    "room_avg":   { "base": "ROOM", "decayTime": 0.9, "gain": 0.25 },
    "Insane":     { "base": "PSYCHOTIC", "decayTime": 8.0, "gain": 0.5, "lateReverbGain": 1.6 }
  },
  "groups": {
    "mire-fell/Music": {
      "mus_level_calm": {
        "category": "music",
        "volume": 0.7,
        "loop": true,
        "fadeOut": 3.0,
        "maxInstances": 1,
        "parameters": { "Intensity": { "min": 0, "max": 1, "default": 0.5 } },
        "layers": [
          { "file": "Music/calm.ogg", "stream": true,
            "gain": { "parameter": "Intensity", "curve": [[0, 0.6], [1, 1.0]] } }
        ]
      },
      "mus_level_spooky1": {
        "category": "music",
        "volume": 0.75,
        "loop": true,
        "fadeOut": 3.0,
        "maxInstances": 1,
        "parameters": { "Intensity": { "min": 0, "max": 1, "default": 0 } },
        "layers": [
          { "file": "Music/spooky_base.ogg", "stream": true,
            "gain": { "parameter": "Intensity", "curve": [[0, 0.85], [0.3, 1.0]] } },
          { "file": "Music/spooky_dissonance.ogg", "stream": true,
            "gain": { "parameter": "Intensity", "curve": [[0, 0.0], [0.05, 0.2], [0.3, 1.0]] },
            "pitch": { "parameter": "Intensity", "curve": [[0, 1.0], [0.3, 0.97]] } }
        ]
      },
      "mus_level_spooky4": {
        "category": "music",
        "volume": 0.7,
        "loop": true,
        "fadeOut": 4.0,
        "maxInstances": 1,
        "layers": [
          { "file": "Music/spooky_deep.ogg", "stream": true }
        ]
      },
      "mus_danger": {
        "category": "music",
        "volume": 0.8,
        "loop": true,
        "fadeOut": 2.0,
        "maxInstances": 1,
        "parameters": { "intensity": { "min": 0, "max": 1, "default": 0 } },
        "layers": [
          { "file": "Music/danger_drone.ogg", "stream": true,
            "gain": { "parameter": "intensity", "curve": [[0, 0.55], [1, 1.0]] },
            "pitch": { "parameter": "intensity", "curve": [[0, 0.97], [1, 1.03]] } },
          { "file": "Music/danger_screech.ogg", "stream": true,
            "gain": { "parameter": "intensity", "curve": [[0, 0.0], [0.3, 0.15], [1, 1.0]] },
            "pitch": { "parameter": "intensity", "curve": [[0, 0.94], [1, 1.06]] } },
          { "file": "Music/danger_heart.ogg", "stream": true,
            "gain": { "parameter": "intensity", "curve": [[0, 0.5], [1, 1.0]] },
            "pitch": { "parameter": "intensity", "curve": [[0, 0.9], [1, 1.6]] } }
        ]
      },
      "mus_death": {
        "category": "music",
        "volume": 0.8,
        "fadeOut": 2.0,
        "maxInstances": 1,
        "layers": [
          { "file": "Music/death.ogg", "stream": true }
        ]
      },
      "mus_menu": {
        "category": "music",
        "volume": 0.7,
        "loop": true,
        "fadeOut": 2.5,
        "maxInstances": 1,
        "layers": [
          { "file": "Music/menu.ogg", "stream": true }
        ]
      },
      "mus_intro": {
        "category": "music",
        "volume": 0.75,
        "fadeOut": 3.0,
        "maxInstances": 1,
        "layers": [
          { "file": "Music/intro.ogg", "stream": true }
        ]
      }
    },
    "mire-fell/SFX/sfx_oneshots": {
      "sfx_gasp": {
        "category": "effects",
        "volume": 0.9,
        "maxInstances": 1,
        "layers": [
          { "file": "SFX/gasp.wav" }
        ]
      },
      "sfx_door_action": {
        "category": "effects",
        "volume": 0.8,
        "fadeOut": 0.4,
        "maxInstances": 2,
        "parameters": { "Open Vs. Close": { "min": 0, "max": 1, "default": 1 } },
        "layers": [
          { "variants": [
              { "file": "SFX/door_close.wav", "parameter": "Open Vs. Close", "from": 0.0, "to": 0.5 },
              { "file": "SFX/door_open.wav", "parameter": "Open Vs. Close", "from": 0.5, "to": 1.0 } ] }
        ]
      },
      "sfx_random_relief": {
        "category": "effects",
        "volume": 0.6,
        "maxInstances": 2,
        "layers": [
          { "file": "SFX/relief.wav" }
        ]
      },
      "sfx_pickup": {
        "category": "effects",
        "volume": 0.8,
        "maxInstances": 2,
        "layers": [
          { "file": "SFX/pickup.wav" }
        ]
      }
    },
    "mire-fell/SFX/sfx_static": {
      "sfx_footsteps": {
        "category": "effects",
        "volume": 0.5,
        "maxInstances": 4,
        "parameters": { "material": { "min": 0, "max": 1, "default": 0 } },
        "layers": [
          { "variants": [
              { "file": "SFX/step_wood.wav", "parameter": "material", "from": 0.0, "to": 0.3 },
              { "file": "SFX/step_rug.wav", "parameter": "material", "from": 0.3, "to": 0.7 },
              { "file": "SFX/step_stone.wav", "parameter": "material", "from": 0.7, "to": 1.0 } ] }
        ]
      }
    },
    "mire-fell/SFX/sfx_ui": {
      "sfx_ui_move": {
        "category": "effects",
        "volume": 0.5,
        "maxInstances": 2,
        "layers": [
          { "file": "SFX/ui_move.wav" }
        ]
      },
      "sfx_ui_yes": {
        "category": "effects",
        "volume": 0.6,
        "maxInstances": 2,
        "layers": [
          { "file": "SFX/ui_yes.wav" }
        ]
      },
      "sfx_ui_no": {
        "category": "effects",
        "volume": 0.6,
        "maxInstances": 2,
        "layers": [
          { "file": "SFX/ui_no.wav" }
        ]
      },
      "sfx_ui_start": {
        "category": "effects",
        "volume": 0.7,
        "maxInstances": 1,
        "layers": [
          { "file": "SFX/ui_start.wav" }
        ]
      }
    },
    "mire-fell/SFX/sfx_nature": {
      "sfx_rain": {
        "category": "music",
        "volume": 0.7,
        "loop": true,
        "fadeOut": 2.5,
        "maxInstances": 1,
        "parameters": { "intensity": { "min": 0, "max": 1, "default": 0.7 } },
        "layers": [
          { "file": "Ambience/rain_bed.ogg", "stream": true,
            "gain": { "parameter": "intensity", "curve": [[0, 0.35], [1, 1.0]] } },
          { "file": "Ambience/rain_drops.ogg", "stream": true,
            "gain": { "parameter": "intensity", "curve": [[0, 0.15], [1, 1.0]] } }
        ]
      },
      "sfx_thunder": {
        "category": "music",
        "volume": 0.85,
        "fadeOut": 1.5,
        "maxInstances": 2,
        "parameters": { "intensity": { "min": 0, "max": 1, "default": 0.7 } },
        "layers": [
          { "file": "Ambience/thunder.ogg",
            "gain": { "parameter": "intensity", "curve": [[0, 0.35], [1, 1.0]] },
            "pitch": { "parameter": "intensity", "curve": [[0, 0.85], [1, 1.0]] } }
        ]
      }
    },
    "mire-fell/dialogue": {
$(fev_dialogue)
    }
  }
}
EOT
}
