#include <gtest/gtest.h>

#include <cstdlib>

// The guest has no X display; naming uinput keeps the choice from ever
// depending on what the image happens to contain.
int main(int argc, char** argv) {
  setenv("ONDREL_INPUT", "uinput", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
