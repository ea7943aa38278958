#include "computer/key_table.h"

#include <array>
#include <optional>
#include <string>

#include "devices/name_folding.h"

namespace ondrel::computer {
namespace {

constexpr bool kExt = true;   // E0-prefixed scan code on Windows
constexpr bool kPlain = false;

// clang-format off
constexpr auto kKeyRows = std::to_array<KeyRow>({
    // names (X keysym first)                             keysym  VK    scan  E0     evdev
    {{"Escape", "esc"},                                   0xff1b, 0x1B, 0x01, kPlain, 1},    // KEY_ESC
    {{"F1"},                                              0xffbe, 0x70, 0x3B, kPlain, 59},   // KEY_F1
    {{"F2"},                                              0xffbf, 0x71, 0x3C, kPlain, 60},
    {{"F3"},                                              0xffc0, 0x72, 0x3D, kPlain, 61},
    {{"F4"},                                              0xffc1, 0x73, 0x3E, kPlain, 62},
    {{"F5"},                                              0xffc2, 0x74, 0x3F, kPlain, 63},
    {{"F6"},                                              0xffc3, 0x75, 0x40, kPlain, 64},
    {{"F7"},                                              0xffc4, 0x76, 0x41, kPlain, 65},
    {{"F8"},                                              0xffc5, 0x77, 0x42, kPlain, 66},
    {{"F9"},                                              0xffc6, 0x78, 0x43, kPlain, 67},
    {{"F10"},                                             0xffc7, 0x79, 0x44, kPlain, 68},   // KEY_F10
    {{"F11"},                                             0xffc8, 0x7A, 0x57, kPlain, 87},   // KEY_F11: not after F10
    {{"F12"},                                             0xffc9, 0x7B, 0x58, kPlain, 88},   // KEY_F12
    {{"F13"},                                             0xffca, 0x7C, 0x64, kPlain, 183},  // KEY_F13
    {{"F14"},                                             0xffcb, 0x7D, 0x65, kPlain, 184},
    {{"F15"},                                             0xffcc, 0x7E, 0x66, kPlain, 185},
    {{"F16"},                                             0xffcd, 0x7F, 0x67, kPlain, 186},
    {{"F17"},                                             0xffce, 0x80, 0x68, kPlain, 187},
    {{"F18"},                                             0xffcf, 0x81, 0x69, kPlain, 188},
    {{"F19"},                                             0xffd0, 0x82, 0x6A, kPlain, 189},
    {{"F20"},                                             0xffd1, 0x83, 0x6B, kPlain, 190},
    {{"F21"},                                             0xffd2, 0x84, 0x6C, kPlain, 191},
    {{"F22"},                                             0xffd3, 0x85, 0x6D, kPlain, 192},
    {{"F23"},                                             0xffd4, 0x86, 0x6E, kPlain, 193},
    {{"F24"},                                             0xffd5, 0x87, 0x76, kPlain, 194},  // KEY_F24: scan 0x76, not 0x6F
    {{"Print", "printscreen", "prtsc", "snapshot"},       0xff61, 0x2C, 0x37, kExt,   99},   // KEY_SYSRQ
    {{"Scroll_Lock", "scrolllock"},                       0xff14, 0x91, 0x46, kPlain, 70},   // KEY_SCROLLLOCK
    // Windows reports Pause with Num Lock's scan code, told apart by E0.
    {{"Pause", "break"},                                  0xff13, 0x13, 0x45, kPlain, 119},  // KEY_PAUSE

    {{"grave", "`", "backquote"},                         0x0060, 0xC0, 0x29, kPlain, 41},   // KEY_GRAVE
    {{"1"},                                               0x0031, 0x31, 0x02, kPlain, 2},    // KEY_1
    {{"2"},                                               0x0032, 0x32, 0x03, kPlain, 3},
    {{"3"},                                               0x0033, 0x33, 0x04, kPlain, 4},
    {{"4"},                                               0x0034, 0x34, 0x05, kPlain, 5},
    {{"5"},                                               0x0035, 0x35, 0x06, kPlain, 6},
    {{"6"},                                               0x0036, 0x36, 0x07, kPlain, 7},
    {{"7"},                                               0x0037, 0x37, 0x08, kPlain, 8},
    {{"8"},                                               0x0038, 0x38, 0x09, kPlain, 9},
    {{"9"},                                               0x0039, 0x39, 0x0A, kPlain, 10},
    {{"0"},                                               0x0030, 0x30, 0x0B, kPlain, 11},   // KEY_0
    {{"minus", "-"},                                      0x002d, 0xBD, 0x0C, kPlain, 12},   // KEY_MINUS
    {{"equal", "=", "equals"},                            0x003d, 0xBB, 0x0D, kPlain, 13},   // KEY_EQUAL
    {{"BackSpace"},                                       0xff08, 0x08, 0x0E, kPlain, 14},   // KEY_BACKSPACE

    {{"Tab"},                                             0xff09, 0x09, 0x0F, kPlain, 15},   // KEY_TAB
    {{"q"},                                               0x0071, 0x51, 0x10, kPlain, 16},
    {{"w"},                                               0x0077, 0x57, 0x11, kPlain, 17},
    {{"e"},                                               0x0065, 0x45, 0x12, kPlain, 18},
    {{"r"},                                               0x0072, 0x52, 0x13, kPlain, 19},
    {{"t"},                                               0x0074, 0x54, 0x14, kPlain, 20},
    {{"y"},                                               0x0079, 0x59, 0x15, kPlain, 21},
    {{"u"},                                               0x0075, 0x55, 0x16, kPlain, 22},
    {{"i"},                                               0x0069, 0x49, 0x17, kPlain, 23},
    {{"o"},                                               0x006f, 0x4F, 0x18, kPlain, 24},
    {{"p"},                                               0x0070, 0x50, 0x19, kPlain, 25},
    {{"bracketleft", "["},                                0x005b, 0xDB, 0x1A, kPlain, 26},   // KEY_LEFTBRACE
    {{"bracketright", "]"},                               0x005d, 0xDD, 0x1B, kPlain, 27},   // KEY_RIGHTBRACE
    {{"backslash", "\\"},                                 0x005c, 0xDC, 0x2B, kPlain, 43},   // KEY_BACKSLASH

    {{"Caps_Lock", "capslock"},                           0xffe5, 0x14, 0x3A, kPlain, 58},   // KEY_CAPSLOCK
    {{"a"},                                               0x0061, 0x41, 0x1E, kPlain, 30},
    {{"s"},                                               0x0073, 0x53, 0x1F, kPlain, 31},
    {{"d"},                                               0x0064, 0x44, 0x20, kPlain, 32},
    {{"f"},                                               0x0066, 0x46, 0x21, kPlain, 33},
    {{"g"},                                               0x0067, 0x47, 0x22, kPlain, 34},
    {{"h"},                                               0x0068, 0x48, 0x23, kPlain, 35},
    {{"j"},                                               0x006a, 0x4A, 0x24, kPlain, 36},
    {{"k"},                                               0x006b, 0x4B, 0x25, kPlain, 37},
    {{"l"},                                               0x006c, 0x4C, 0x26, kPlain, 38},
    {{"semicolon", ";"},                                  0x003b, 0xBA, 0x27, kPlain, 39},   // KEY_SEMICOLON
    {{"apostrophe", "'", "quote"},                        0x0027, 0xDE, 0x28, kPlain, 40},   // KEY_APOSTROPHE
    {{"Return", "enter", "ret"},                          0xff0d, 0x0D, 0x1C, kPlain, 28},   // KEY_ENTER

    {{"Shift_L", "shift", "lshift", "leftshift"},         0xffe1, 0xA0, 0x2A, kPlain, 42},   // KEY_LEFTSHIFT
    // The ISO key between left Shift and Z (VK_OEM_102).
    {{"less"},                                            0x003c, 0xE2, 0x56, kPlain, 86},   // KEY_102ND
    {{"z"},                                               0x007a, 0x5A, 0x2C, kPlain, 44},
    {{"x"},                                               0x0078, 0x58, 0x2D, kPlain, 45},
    {{"c"},                                               0x0063, 0x43, 0x2E, kPlain, 46},
    {{"v"},                                               0x0076, 0x56, 0x2F, kPlain, 47},
    {{"b"},                                               0x0062, 0x42, 0x30, kPlain, 48},
    {{"n"},                                               0x006e, 0x4E, 0x31, kPlain, 49},
    {{"m"},                                               0x006d, 0x4D, 0x32, kPlain, 50},
    {{"comma", ","},                                      0x002c, 0xBC, 0x33, kPlain, 51},   // KEY_COMMA
    {{"period", "."},                                     0x002e, 0xBE, 0x34, kPlain, 52},   // KEY_DOT
    {{"slash", "/"},                                      0x002f, 0xBF, 0x35, kPlain, 53},   // KEY_SLASH
    {{"Shift_R", "rshift", "rightshift"},                 0xffe2, 0xA1, 0x36, kPlain, 54},   // KEY_RIGHTSHIFT

    {{"Control_L", "ctrl", "control", "lctrl", "leftctrl"}, 0xffe3, 0xA2, 0x1D, kPlain, 29}, // KEY_LEFTCTRL
    // The Windows / Command key; "meta" is what browsers call it.
    {{"Super_L", "super", "win", "windows", "cmd", "command", "meta", "Meta_L"},
                                                          0xffeb, 0x5B, 0x5B, kExt,   125},  // KEY_LEFTMETA
    {{"Alt_L", "alt", "option", "lalt", "leftalt"},       0xffe9, 0xA4, 0x38, kPlain, 56},   // KEY_LEFTALT
    {{"space", "spacebar"},                               0x0020, 0x20, 0x39, kPlain, 57},   // KEY_SPACE
    {{"Alt_R", "ralt", "rightalt", "altgr"},              0xffea, 0xA5, 0x38, kExt,   100},  // KEY_RIGHTALT
    {{"Super_R", "rsuper", "rwin", "rightmeta", "Meta_R"},  0xffec, 0x5C, 0x5C, kExt,   126},  // KEY_RIGHTMETA
    {{"Menu", "apps", "contextmenu"},                     0xff67, 0x5D, 0x5D, kExt,   127},  // KEY_COMPOSE
    {{"Control_R", "rctrl", "rightctrl"},                 0xffe4, 0xA3, 0x1D, kExt,   97},   // KEY_RIGHTCTRL

    {{"Insert", "ins"},                                   0xff63, 0x2D, 0x52, kExt,   110},  // KEY_INSERT
    {{"Home"},                                            0xff50, 0x24, 0x47, kExt,   102},  // KEY_HOME
    {{"Page_Up", "Prior", "pageup", "pgup"},              0xff55, 0x21, 0x49, kExt,   104},  // KEY_PAGEUP
    {{"Delete", "del"},                                   0xffff, 0x2E, 0x53, kExt,   111},  // KEY_DELETE
    {{"End"},                                             0xff57, 0x23, 0x4F, kExt,   107},  // KEY_END
    {{"Page_Down", "Next", "pagedown", "pgdn"},           0xff56, 0x22, 0x51, kExt,   109},  // KEY_PAGEDOWN
    {{"Up", "arrowup"},                                   0xff52, 0x26, 0x48, kExt,   103},  // KEY_UP
    {{"Left", "arrowleft"},                               0xff51, 0x25, 0x4B, kExt,   105},  // KEY_LEFT
    {{"Down", "arrowdown"},                               0xff54, 0x28, 0x50, kExt,   108},  // KEY_DOWN
    {{"Right", "arrowright"},                             0xff53, 0x27, 0x4D, kExt,   106},  // KEY_RIGHT

    // Windows reports Num Lock as 0x45 with E0 (and Pause without).
    {{"Num_Lock", "numlock"},                             0xff7f, 0x90, 0x45, kExt,   69},   // KEY_NUMLOCK
    {{"KP_Divide", "divide"},                             0xffaf, 0x6F, 0x35, kExt,   98},   // KEY_KPSLASH
    {{"KP_Multiply", "multiply"},                         0xffaa, 0x6A, 0x37, kPlain, 55},   // KEY_KPASTERISK
    {{"KP_Subtract", "subtract"},                         0xffad, 0x6D, 0x4A, kPlain, 74},   // KEY_KPMINUS
    {{"KP_7", "KP_Home", "numpad7"},                      0xffb7, 0x67, 0x47, kPlain, 71},   // KEY_KP7
    {{"KP_8", "KP_Up", "numpad8"},                        0xffb8, 0x68, 0x48, kPlain, 72},
    {{"KP_9", "KP_Prior", "KP_Page_Up", "numpad9"},       0xffb9, 0x69, 0x49, kPlain, 73},
    {{"KP_Add", "add"},                                   0xffab, 0x6B, 0x4E, kPlain, 78},   // KEY_KPPLUS
    {{"KP_4", "KP_Left", "numpad4"},                      0xffb4, 0x64, 0x4B, kPlain, 75},
    {{"KP_5", "KP_Begin", "numpad5"},                     0xffb5, 0x65, 0x4C, kPlain, 76},
    {{"KP_6", "KP_Right", "numpad6"},                     0xffb6, 0x66, 0x4D, kPlain, 77},
    {{"KP_1", "KP_End", "numpad1"},                       0xffb1, 0x61, 0x4F, kPlain, 79},
    {{"KP_2", "KP_Down", "numpad2"},                      0xffb2, 0x62, 0x50, kPlain, 80},
    {{"KP_3", "KP_Next", "KP_Page_Down", "numpad3"},      0xffb3, 0x63, 0x51, kPlain, 81},
    // Windows plays it as Enter with E0.
    {{"KP_Enter"},                                        0xff8d, 0x0D, 0x1C, kExt,   96},   // KEY_KPENTER
    {{"KP_0", "KP_Insert", "numpad0"},                    0xffb0, 0x60, 0x52, kPlain, 82},   // KEY_KP0
    {{"KP_Decimal", "KP_Delete", "decimal", "separator"}, 0xffae, 0x6E, 0x53, kPlain, 83},   // KEY_KPDOT

    // Media keys, as X names them (XF86keysym.h); E0-prefixed on Windows.
    {{"XF86AudioMute", "volumemute", "mute"},           0x1008ff12, 0xAD, 0x20, kExt, 113},  // KEY_MUTE
    {{"XF86AudioLowerVolume", "volumedown"},            0x1008ff11, 0xAE, 0x2E, kExt, 114},  // KEY_VOLUMEDOWN
    {{"XF86AudioRaiseVolume", "volumeup"},              0x1008ff13, 0xAF, 0x30, kExt, 115},  // KEY_VOLUMEUP
    {{"XF86AudioPlay", "XF86AudioPause", "playpause"},  0x1008ff14, 0xB3, 0x22, kExt, 164},  // KEY_PLAYPAUSE
    {{"XF86AudioStop", "mediastop"},                    0x1008ff15, 0xB2, 0x24, kExt, 166},  // KEY_STOPCD
    {{"XF86AudioPrev", "previoustrack"},                0x1008ff16, 0xB1, 0x10, kExt, 165},  // KEY_PREVIOUSSONG
    {{"XF86AudioNext", "nexttrack"},                    0x1008ff17, 0xB0, 0x19, kExt, 163},  // KEY_NEXTSONG
});
// clang-format on

constexpr bool every_row_is_named() {
  for (const KeyRow& row : kKeyRows) {
    if (row.names[0].empty()) return false;
  }
  return true;
}
static_assert(every_row_is_named(), "names[0] is the keysym name");
static_assert(kKeyRows.size() == 124, "104 keys of a full-size keyboard, the ISO key, F13 to F24, 7 media keys");

// The shifted characters of a US keyboard: X keysym name, unshifted key.
struct ShiftedName {
  std::string_view name;
  std::string_view key;
};
constexpr auto kShiftedNames = std::to_array<ShiftedName>({
    {"asciitilde", "grave"}, {"exclam", "1"},       {"at", "2"},          {"numbersign", "3"},
    {"dollar", "4"},         {"percent", "5"},      {"asciicircum", "6"}, {"ampersand", "7"},
    {"asterisk", "8"},       {"parenleft", "9"},    {"parenright", "0"},  {"underscore", "minus"},
    {"plus", "equal"},       {"braceleft", "bracketleft"},                {"braceright", "bracketright"},
    {"bar", "backslash"},    {"colon", "semicolon"}, {"quotedbl", "apostrophe"},
    {"greater", "period"},   {"question", "slash"},
});

}  // namespace

std::span<const KeyRow> key_rows() { return kKeyRows; }

const KeyRow* find_key(std::string_view name) {
  const std::optional<std::string> folded = fold_table_name(name);
  if (!folded || folded->empty()) return nullptr;
  for (const KeyRow& row : kKeyRows) {
    for (const std::string_view candidate : row.names) {
      if (candidate.size() != folded->size() || candidate.empty()) continue;
      if (fold_table_name(candidate) == folded) return &row;
    }
  }
  return nullptr;
}

const KeyRow* find_shifted_key(std::string_view name) {
  for (const ShiftedName& shifted : kShiftedNames) {
    if (fold_table_name(shifted.name) == fold_table_name(name)) return find_key(shifted.key);
  }
  return nullptr;
}

}  // namespace ondrel::computer
