#include <gtest/gtest.h>

#include <cstddef>

#include "platform/key_codes.h"
#include "platform/physical_keys.h"

namespace ondrel {
namespace {

// Usage -> key -> usage, id -> key, and the devices' view of the table landing
// on its rows.
TEST(PhysicalKeyTable, UsagesIdsAndTheDevicesViewLeadToTheSameRows) {
  std::size_t keys_with_usage = 0;
  for (std::size_t index = 0; index < kPhysicalKeys.size(); ++index) {
    const PhysicalKey& key = kPhysicalKeys[index];
    EXPECT_EQ(&physical_key(static_cast<PhysicalKeyId>(index)), &key);
    if (key.usage == 0) continue;
    ++keys_with_usage;
    EXPECT_EQ(physical_key_of_usage(key.usage), &key) << "usage " << +key.usage;
  }
  EXPECT_EQ(keys_with_usage, 120u);  // all but the four media keys of the Consumer page
  EXPECT_EQ(physical_key_of_usage(0), nullptr);

  for (const KeyCodes& codes : kKeyCodes) {
    const PhysicalKey* key = physical_key_of_usage(codes.usage);
    ASSERT_NE(key, nullptr) << "usage " << +codes.usage;
    EXPECT_EQ(codes.linux_key, key->evdev);
    EXPECT_EQ(codes.virtual_key, key->virtual_key);
  }
  for (const ModifierKeyCodes& modifier : kModifierKeyCodes) {
    EXPECT_EQ(physical_key_of_usage(modifier.usage)->evdev, modifier.linux_key) << "usage " << +modifier.usage;
  }
}

}  // namespace
}  // namespace ondrel
