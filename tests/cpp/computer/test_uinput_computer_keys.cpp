#if defined(__linux__)

#include <gtest/gtest.h>

#include "computer/key_table.h"
#include "platform/linux/uinput/computer_keyboard.h"

namespace ondrel::computer {
namespace {

// The kernel drops, without a word, a key the device did not declare.
TEST(UinputComputerKeyboard, DeclaresEveryKeyOfTheKeyTable) {
  for (const KeyRow& row : key_rows()) EXPECT_TRUE(linux::uinput::computer_keyboard_has(row.key().evdev)) << row.names[0];
}

}  // namespace
}  // namespace ondrel::computer

#endif
