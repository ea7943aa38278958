#include <gtest/gtest.h>

#include <set>

#include "platform/key_codes.h"

namespace ondrel {
namespace {

// Every column names each key once, and each virtual key leads back to the
// Linux code of its own row.
TEST(KeyCodeTable, EachColumnIsUniqueAndVirtualKeysLeadToTheirLinuxCode) {
  std::set<unsigned> virtual_keys;
  std::set<unsigned> linux_keys;
  for (const KeyCodes& row : kKeyCodes) {
    EXPECT_TRUE(virtual_keys.insert(row.virtual_key).second) << "usage " << +row.usage;
    EXPECT_TRUE(linux_keys.insert(row.linux_key).second) << "usage " << +row.usage;
    EXPECT_EQ(key_codes_for_usage(row.usage), &row);
    EXPECT_EQ(linux_key_for_virtual_key(row.virtual_key), row.linux_key) << "usage " << +row.usage;
  }
  for (const ModifierKeyCodes& row : kModifierKeyCodes) {
    EXPECT_TRUE(virtual_keys.insert(row.virtual_key).second) << "modifier " << +row.bit;
    EXPECT_TRUE(linux_keys.insert(row.linux_key).second) << "modifier " << +row.bit;
    EXPECT_EQ(linux_key_for_virtual_key(row.virtual_key), row.linux_key);
  }
  EXPECT_EQ(kKeyCodes.size(), 75u);
}

TEST(KeyCodeTable, OtherVirtualKeysAndUsagesHaveNoKey) {
  for (const unsigned virtual_key : {0u, 0x10u, 0x11u, 0xA1u, 0xFFu, 0x100u, 0xFFFFu}) {
    EXPECT_FALSE(linux_key_for_virtual_key(static_cast<std::uint16_t>(virtual_key))) << virtual_key;
  }
  for (const unsigned usage : {0u, 3u, 0x32u, 0x46u, 0x48u, 0x53u, 0xE0u, 0xFFu}) {
    EXPECT_EQ(key_codes_for_usage(static_cast<std::uint8_t>(usage)), nullptr) << usage;
  }
}

}  // namespace
}  // namespace ondrel
