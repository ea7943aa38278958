#include "computer/key_table.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "devices/name_folding.h"

namespace ondrel::computer {
namespace {

// clang-format off
constexpr auto kKeyRows = std::to_array<KeyRow>({
    // names (X keysym first)                           the physical key
    {{"Escape", "esc"},                                     PhysicalKeyId::escape},
    {{"F1"},                                                PhysicalKeyId::f1},
    {{"F2"},                                                PhysicalKeyId::f2},
    {{"F3"},                                                PhysicalKeyId::f3},
    {{"F4"},                                                PhysicalKeyId::f4},
    {{"F5"},                                                PhysicalKeyId::f5},
    {{"F6"},                                                PhysicalKeyId::f6},
    {{"F7"},                                                PhysicalKeyId::f7},
    {{"F8"},                                                PhysicalKeyId::f8},
    {{"F9"},                                                PhysicalKeyId::f9},
    {{"F10"},                                               PhysicalKeyId::f10},
    {{"F11"},                                               PhysicalKeyId::f11},
    {{"F12"},                                               PhysicalKeyId::f12},
    {{"F13"},                                               PhysicalKeyId::f13},
    {{"F14"},                                               PhysicalKeyId::f14},
    {{"F15"},                                               PhysicalKeyId::f15},
    {{"F16"},                                               PhysicalKeyId::f16},
    {{"F17"},                                               PhysicalKeyId::f17},
    {{"F18"},                                               PhysicalKeyId::f18},
    {{"F19"},                                               PhysicalKeyId::f19},
    {{"F20"},                                               PhysicalKeyId::f20},
    {{"F21"},                                               PhysicalKeyId::f21},
    {{"F22"},                                               PhysicalKeyId::f22},
    {{"F23"},                                               PhysicalKeyId::f23},
    {{"F24"},                                               PhysicalKeyId::f24},
    {{"Print", "printscreen", "prtsc", "snapshot"},         PhysicalKeyId::print_screen},
    {{"Scroll_Lock", "scrolllock"},                         PhysicalKeyId::scroll_lock},
    {{"Pause", "break"},                                    PhysicalKeyId::pause},

    {{"grave", "`", "backquote"},                           PhysicalKeyId::backquote},
    {{"1"},                                                 PhysicalKeyId::digit_1},
    {{"2"},                                                 PhysicalKeyId::digit_2},
    {{"3"},                                                 PhysicalKeyId::digit_3},
    {{"4"},                                                 PhysicalKeyId::digit_4},
    {{"5"},                                                 PhysicalKeyId::digit_5},
    {{"6"},                                                 PhysicalKeyId::digit_6},
    {{"7"},                                                 PhysicalKeyId::digit_7},
    {{"8"},                                                 PhysicalKeyId::digit_8},
    {{"9"},                                                 PhysicalKeyId::digit_9},
    {{"0"},                                                 PhysicalKeyId::digit_0},
    {{"minus", "-"},                                        PhysicalKeyId::minus},
    {{"equal", "=", "equals"},                              PhysicalKeyId::equal},
    {{"BackSpace"},                                         PhysicalKeyId::backspace},

    {{"Tab"},                                               PhysicalKeyId::tab},
    {{"q"},                                                 PhysicalKeyId::key_q},
    {{"w"},                                                 PhysicalKeyId::key_w},
    {{"e"},                                                 PhysicalKeyId::key_e},
    {{"r"},                                                 PhysicalKeyId::key_r},
    {{"t"},                                                 PhysicalKeyId::key_t},
    {{"y"},                                                 PhysicalKeyId::key_y},
    {{"u"},                                                 PhysicalKeyId::key_u},
    {{"i"},                                                 PhysicalKeyId::key_i},
    {{"o"},                                                 PhysicalKeyId::key_o},
    {{"p"},                                                 PhysicalKeyId::key_p},
    {{"bracketleft", "["},                                  PhysicalKeyId::bracket_left},
    {{"bracketright", "]"},                                 PhysicalKeyId::bracket_right},
    {{"backslash", "\\"},                                   PhysicalKeyId::backslash},

    {{"Caps_Lock", "capslock"},                             PhysicalKeyId::caps_lock},
    {{"a"},                                                 PhysicalKeyId::key_a},
    {{"s"},                                                 PhysicalKeyId::key_s},
    {{"d"},                                                 PhysicalKeyId::key_d},
    {{"f"},                                                 PhysicalKeyId::key_f},
    {{"g"},                                                 PhysicalKeyId::key_g},
    {{"h"},                                                 PhysicalKeyId::key_h},
    {{"j"},                                                 PhysicalKeyId::key_j},
    {{"k"},                                                 PhysicalKeyId::key_k},
    {{"l"},                                                 PhysicalKeyId::key_l},
    {{"semicolon", ";"},                                    PhysicalKeyId::semicolon},
    {{"apostrophe", "'", "quote"},                          PhysicalKeyId::quote},
    {{"Return", "enter", "ret"},                            PhysicalKeyId::enter},

    {{"Shift_L", "shift", "lshift", "leftshift"},           PhysicalKeyId::shift_left},
    {{"less"},                                              PhysicalKeyId::intl_backslash},
    {{"z"},                                                 PhysicalKeyId::key_z},
    {{"x"},                                                 PhysicalKeyId::key_x},
    {{"c"},                                                 PhysicalKeyId::key_c},
    {{"v"},                                                 PhysicalKeyId::key_v},
    {{"b"},                                                 PhysicalKeyId::key_b},
    {{"n"},                                                 PhysicalKeyId::key_n},
    {{"m"},                                                 PhysicalKeyId::key_m},
    {{"comma", ","},                                        PhysicalKeyId::comma},
    {{"period", "."},                                       PhysicalKeyId::period},
    {{"slash", "/"},                                        PhysicalKeyId::slash},
    {{"Shift_R", "rshift", "rightshift"},                   PhysicalKeyId::shift_right},

    {{"Control_L", "ctrl", "control", "lctrl", "leftctrl"}, PhysicalKeyId::control_left},
    // The Windows / Command key; "meta" is what browsers call it.
    {{"Super_L", "super", "win", "windows", "cmd", "command", "meta", "Meta_L"},
                                                            PhysicalKeyId::meta_left},
    {{"Alt_L", "alt", "option", "lalt", "leftalt"},         PhysicalKeyId::alt_left},
    {{"space", "spacebar"},                                 PhysicalKeyId::space},
    {{"Alt_R", "ralt", "rightalt", "altgr"},                PhysicalKeyId::alt_right},
    {{"Super_R", "rsuper", "rwin", "rightmeta", "Meta_R"},  PhysicalKeyId::meta_right},
    {{"Menu", "apps", "contextmenu"},                       PhysicalKeyId::context_menu},
    {{"Control_R", "rctrl", "rightctrl"},                   PhysicalKeyId::control_right},

    {{"Insert", "ins"},                                     PhysicalKeyId::insert},
    {{"Home"},                                              PhysicalKeyId::home},
    {{"Page_Up", "Prior", "pageup", "pgup"},                PhysicalKeyId::page_up},
    {{"Delete", "del"},                                     PhysicalKeyId::delete_key},
    {{"End"},                                               PhysicalKeyId::end},
    {{"Page_Down", "Next", "pagedown", "pgdn"},             PhysicalKeyId::page_down},
    {{"Up", "arrowup"},                                     PhysicalKeyId::arrow_up},
    {{"Left", "arrowleft"},                                 PhysicalKeyId::arrow_left},
    {{"Down", "arrowdown"},                                 PhysicalKeyId::arrow_down},
    {{"Right", "arrowright"},                               PhysicalKeyId::arrow_right},

    {{"Num_Lock", "numlock"},                               PhysicalKeyId::num_lock},
    {{"KP_Divide", "divide"},                               PhysicalKeyId::numpad_divide},
    {{"KP_Multiply", "multiply"},                           PhysicalKeyId::numpad_multiply},
    {{"KP_Subtract", "subtract"},                           PhysicalKeyId::numpad_subtract},
    {{"KP_7", "KP_Home", "numpad7"},                        PhysicalKeyId::numpad_7},
    {{"KP_8", "KP_Up", "numpad8"},                          PhysicalKeyId::numpad_8},
    {{"KP_9", "KP_Prior", "KP_Page_Up", "numpad9"},         PhysicalKeyId::numpad_9},
    {{"KP_Add", "add"},                                     PhysicalKeyId::numpad_add},
    {{"KP_4", "KP_Left", "numpad4"},                        PhysicalKeyId::numpad_4},
    {{"KP_5", "KP_Begin", "numpad5"},                       PhysicalKeyId::numpad_5},
    {{"KP_6", "KP_Right", "numpad6"},                       PhysicalKeyId::numpad_6},
    {{"KP_1", "KP_End", "numpad1"},                         PhysicalKeyId::numpad_1},
    {{"KP_2", "KP_Down", "numpad2"},                        PhysicalKeyId::numpad_2},
    {{"KP_3", "KP_Next", "KP_Page_Down", "numpad3"},        PhysicalKeyId::numpad_3},
    {{"KP_Enter"},                                          PhysicalKeyId::numpad_enter},
    {{"KP_0", "KP_Insert", "numpad0"},                      PhysicalKeyId::numpad_0},
    {{"KP_Decimal", "KP_Delete", "decimal", "separator"},   PhysicalKeyId::numpad_decimal},

    // Media keys, as X names them (XF86keysym.h).
    {{"XF86AudioMute", "volumemute", "mute"},               PhysicalKeyId::volume_mute},
    {{"XF86AudioLowerVolume", "volumedown"},                PhysicalKeyId::volume_down},
    {{"XF86AudioRaiseVolume", "volumeup"},                  PhysicalKeyId::volume_up},
    {{"XF86AudioPlay", "XF86AudioPause", "playpause"},      PhysicalKeyId::media_play_pause},
    {{"XF86AudioStop", "mediastop"},                        PhysicalKeyId::media_stop},
    {{"XF86AudioPrev", "previoustrack"},                    PhysicalKeyId::media_track_previous},
    {{"XF86AudioNext", "nexttrack"},                        PhysicalKeyId::media_track_next},
});
// clang-format on

constexpr bool every_row_is_named() {
  for (const KeyRow& row : kKeyRows) {
    if (row.names[0].empty()) return false;
  }
  return true;
}
static_assert(every_row_is_named(), "names[0] is the keysym name");

// Every physical key has its one row of names.
constexpr bool each_key_is_named_once() {
  std::array<int, kPhysicalKeys.size()> rows_of_key{};
  for (const KeyRow& row : kKeyRows) ++rows_of_key[static_cast<std::size_t>(row.id)];
  for (const int rows : rows_of_key) {
    if (rows != 1) return false;
  }
  return kKeyRows.size() == kPhysicalKeys.size();
}
static_assert(each_key_is_named_once(), "one row of names for each physical key");

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
