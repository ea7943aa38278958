// The keyboard device and its transitions against user32's
// SendInput: what the low-level keyboard hook and a focused window receive.
// Expectations come from the Windows headers and from the characters typed,
// never from the library's own tables.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "agent/agent_controller.h"
#include "devices/key_names.h"
#include "devices/keyboard.h"
#include "platform/platform_backends.h"
#include "platform/keyboard_transitions.h"
#include "support/input_observer.h"
#include "support/user32_sink.h"

namespace ondrel {
namespace {

using Strings = std::vector<std::string>;
using wine_testing::describe_key;

// Keys going down, or up, in the order given.
Strings keys(std::initializer_list<WORD> virtual_keys, bool up) {
  Strings events;
  for (const WORD key : virtual_keys) events.push_back(describe_key(key, up));
  return events;
}

Strings tap(WORD virtual_key, bool extended = false) {
  return {describe_key(virtual_key, false, extended), describe_key(virtual_key, true, extended)};
}

Strings joined(std::initializer_list<Strings> parts) {
  Strings all;
  for (const Strings& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::uint8_t usage_of(const std::string& name) {
  std::uint8_t usage = 0;
  EXPECT_TRUE(parse_key(name, usage).ok()) << name;
  return usage;
}

class KeyboardInjectionTest : public wine_testing::InjectionTest {
 protected:
  void SetUp() override {
    InjectionTest::SetUp();
    ASSERT_TRUE(keyboard.create().ok());
  }

  KeyboardDevice keyboard{platform_keyboard_factory()};
};

// The modifier goes down once, around the key: never a lone modifier tap
// (a lone Windows key opens the Start menu, a lone Alt the menu bar).
TEST_F(KeyboardInjectionTest, CombinationHoldsTheModifierAroundTheKeyAndGivesOneCharacter) {
  struct Case {
    std::uint8_t modifier_bit;
    WORD modifier;
    WORD window_modifier;  // windows get the modifier's side-less key
    const char* key;
    WORD key_code;
    const wchar_t* characters;
  };
  const Case cases[] = {{modifier_bit::left_control, VK_LCONTROL, VK_CONTROL, "c", 'C', L"\x03"},
                        {modifier_bit::left_shift, VK_LSHIFT, VK_SHIFT, "q", 'Q', L"Q"}};
  for (const Case& c : cases) {
    observe([&] { return keyboard.combo(c.modifier_bit, usage_of(c.key)); });
    const auto around = [&](WORD modifier) {
      return joined({keys({modifier, c.key_code}, false), keys({c.key_code, modifier}, true)});
    };
    EXPECT_EQ(observer.seen.hook_keys, around(c.modifier));
    EXPECT_EQ(observer.seen.window_keys, around(c.window_modifier));
    EXPECT_EQ(observer.seen.window_chars, c.characters);
  }
}

TEST_F(KeyboardInjectionTest, ModifiersGoDownAndUpInTheSameOrder) {
  KeyboardTransitions backend{wine_testing::user32_sink()};
  const std::uint8_t held[8] = {0x0F, 0, usage_of("x"), 0, 0, 0, 0, 0};
  const std::uint8_t empty[8] = {};
  observe([&]() -> HidResult {
    ONDREL_TRY(backend.send_report(held));
    return backend.send_report(empty);
  });
  const std::initializer_list<WORD> modifiers = {VK_LCONTROL, VK_LSHIFT, VK_LMENU, VK_LWIN};
  EXPECT_EQ(observer.seen.hook_keys, joined({keys(modifiers, false), tap('X'), keys(modifiers, true)}));
}

// Through the agent's actions: a key put down stays down until it is let go.
TEST_F(KeyboardInjectionTest, KeyDownAndKeyUpActionsAreOnePressHeldBetweenThem) {
  constexpr DWORD kHeldMs = 100;
  AgentController agent(DeviceFactories{platform_mouse_factory(), platform_keyboard_factory(),
                                        platform_gamepad_factory()});
  ActionResult down, up;
  observe([&] {
    down = agent.run_json(R"({"action":"key_down","key":"right"})");
    Sleep(kHeldMs);
    up = agent.run_json(R"({"action":"key_up","key":"right"})");
    return HidResult::success();
  });
  EXPECT_TRUE(down.success) << down.error.value_or("");
  EXPECT_TRUE(up.success) << up.error.value_or("");
  EXPECT_EQ(observer.seen.hook_keys, tap(VK_RIGHT, true));
  EXPECT_EQ(observer.seen.window_keys, tap(VK_RIGHT, true));
  ASSERT_EQ(observer.seen.hook_key_times.size(), 2u);
  EXPECT_GE(observer.seen.hook_key_times[1] - observer.seen.hook_key_times[0], kHeldMs);
}

// Includes typing a short text: every character the keyboard can type.
TEST_F(KeyboardInjectionTest, EveryTypableCharacterArrivesAsItself) {
  std::string text = "\t\n";
  for (char character = ' '; character <= '~'; ++character) text += character;
  observe([&] { return keyboard.type_text(text); });

  std::wstring expected = L"\t\r";  // Enter gives a carriage return
  for (wchar_t character = L' '; character <= L'~'; ++character) expected += character;
  EXPECT_EQ(observer.seen.window_chars, expected);
}

struct NamedKey {
  std::string name;
  WORD virtual_key;
  bool extended;
};

std::vector<NamedKey> every_key_name() {
  std::vector<NamedKey> keys;
  // Letters and digits have their capital letter's and digit's code.
  for (char letter = 'a'; letter <= 'z'; ++letter)
    keys.push_back({{letter}, static_cast<WORD>(letter - 'a' + 'A'), false});
  for (char digit = '0'; digit <= '9'; ++digit) keys.push_back({{digit}, static_cast<WORD>(digit), false});
  for (int n = 1; n <= 12; ++n) keys.push_back({"f" + std::to_string(n), static_cast<WORD>(VK_F1 + n - 1), false});
  const std::vector<NamedKey> named = {
      {"enter", VK_RETURN, false},   {"return", VK_RETURN, false},  {"esc", VK_ESCAPE, false},
      {"escape", VK_ESCAPE, false},  {"backspace", VK_BACK, false}, {"tab", VK_TAB, false},
      {"space", VK_SPACE, false},    {" ", VK_SPACE, false},
      // The navigation keys are the extended ones: without the flag Windows
      // would take them for the numeric keypad's keys.
      {"insert", VK_INSERT, true},   {"home", VK_HOME, true},       {"pageup", VK_PRIOR, true},
      {"delete", VK_DELETE, true},   {"end", VK_END, true},         {"pagedown", VK_NEXT, true},
      {"right", VK_RIGHT, true},     {"left", VK_LEFT, true},       {"down", VK_DOWN, true},
      {"up", VK_UP, true},
  };
  keys.insert(keys.end(), named.begin(), named.end());
  return keys;
}

// One press per key, so the events pair up with the keys; a mismatch names
// the key.
void expect_one_tap_per_key(const Strings& seen, const std::vector<NamedKey>& keys, const char* seen_by) {
  ASSERT_EQ(seen.size(), 2 * keys.size()) << seen_by << ": " << ::testing::PrintToString(seen);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const Strings key_events(seen.begin() + static_cast<std::ptrdiff_t>(2 * i),
                             seen.begin() + static_cast<std::ptrdiff_t>(2 * i + 2));
    EXPECT_EQ(key_events, tap(keys[i].virtual_key, keys[i].extended))
        << seen_by << ", key name \"" << keys[i].name << "\"";
  }
}

TEST_F(KeyboardInjectionTest, EveryKeyNameArrivesAsItsVirtualKey) {
  const std::vector<NamedKey> keys = every_key_name();
  ASSERT_EQ(keys.size(), kKeyNames.size());
  observe([&]() -> HidResult {
    for (const NamedKey& key : keys) ONDREL_TRY(keyboard.press(usage_of(key.name)));
    return HidResult::success();
  });
  expect_one_tap_per_key(observer.seen.hook_keys, keys, "hook");
  expect_one_tap_per_key(observer.seen.window_keys, keys, "window");
}

}  // namespace
}  // namespace ondrel
