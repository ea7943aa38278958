#include <gtest/gtest.h>

#include <set>

#include "platform/key_codes.h"

namespace ondrel {
namespace {

// Every column names each key once, and each usage leads to its own row.
TEST(KeyCodeTable, EachColumnIsUniqueAndEveryUsageLeadsToItsRow) {
  std::set<unsigned> virtual_keys;
  std::set<unsigned> linux_keys;
  for (const KeyCodes& row : kKeyCodes) {
    EXPECT_TRUE(virtual_keys.insert(row.virtual_key).second) << "usage " << +row.usage;
    EXPECT_TRUE(linux_keys.insert(row.linux_key).second) << "usage " << +row.usage;
    EXPECT_EQ(key_codes_for_usage(row.usage), &row);
    EXPECT_EQ(codes_of_key(row.usage)->linux_key, row.linux_key) << "usage " << +row.usage;
  }
  for (const ModifierKeyCodes& row : kModifierKeyCodes) {
    EXPECT_TRUE(virtual_keys.insert(row.virtual_key).second) << "modifier " << +row.bit;
    EXPECT_TRUE(linux_keys.insert(row.linux_key).second) << "modifier " << +row.bit;
    EXPECT_EQ(codes_of_key(row.usage)->virtual_key, row.virtual_key);
    EXPECT_EQ(codes_of_key(row.usage)->linux_key, row.linux_key);
  }
  EXPECT_EQ(kKeyCodes.size(), 75u);
}

TEST(KeyCodeTable, OtherUsagesHaveNoKey) {
  for (const unsigned usage : {0u, 3u, 0x32u, 0x46u, 0x48u, 0x53u, 0xE0u, 0xFFu}) {
    EXPECT_EQ(key_codes_for_usage(static_cast<std::uint8_t>(usage)), nullptr) << usage;
  }
  for (const unsigned usage : {0u, 0x32u, 0xE4u, 0xFFu}) EXPECT_FALSE(codes_of_key(static_cast<std::uint8_t>(usage)));
}

}  // namespace
}  // namespace ondrel
