// Windows virtual-key codes: the key numbering of the engine's input table.
#pragma once

enum KeyCode : int {
    KEY_BACKSPACE = 0x08,
    KEY_TAB = 0x09,
    KEY_ENTER = 0x0D,
    KEY_SHIFT = 0x10,
    KEY_CONTROL = 0x11,
    KEY_ALT = 0x12,
    KEY_ESCAPE = 0x1B,
    KEY_SPACE = 0x20,
    KEY_LEFT = 0x25,
    KEY_UP = 0x26,
    KEY_RIGHT = 0x27,
    KEY_DOWN = 0x28,
    KEY_0 = 0x30,  // digits run to 0x39
    KEY_A = 0x41,  // letters run to 0x5A
    KEY_D = 0x44,
    KEY_E = 0x45,
    KEY_P = 0x50,
    KEY_S = 0x53,
    KEY_W = 0x57,
    KEY_F1 = 0x70,     // function keys run to 0x7B
    KEY_GRAVE = 0xC0,  // the key left of 1
};

// The input table has one slot per code.
inline constexpr int KEY_CODE_COUNT = 256;
