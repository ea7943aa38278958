#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ondrel::computer {

// The character an X keysym name stands for, as UTF-8, for names that no key
// of the key table carries: Latin-1's ("eacute", "Eacute", "ssharp",
// "sterling"; case matters, as in X), "EuroSign", and a name that is itself
// one character ("é", "!"). xdotool types such a keysym on a spare keycode;
// here it is written as text. nullopt for anything else.
std::optional<std::string> keysym_character(std::string_view name);

}  // namespace ondrel::computer
