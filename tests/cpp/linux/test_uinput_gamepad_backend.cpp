#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "devices/gamepad_report.h"
#include "linux/recording_event_writer.h"
#include "platform/gamepad_transitions.h"
#include "platform/linux/uinput/gamepad_sink.h"

namespace ondrel {
namespace {

using testing::EventWriterLog;
using testing::RecordingEventWriter;
using Batch = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

const Bytes kNeutral = {0, 0, 128, 128, 128, 128, 0, 0};
const Batch kEveryAxisNeutral = {"ABS_X 128", "ABS_Y 128", "ABS_RX 128", "ABS_RY 128", "ABS_Z 0", "ABS_RZ 0"};

Batch with_sync(Batch events) {
  events.push_back("SYN_REPORT");
  return events;
}

Batch concat(Batch first, const Batch& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

struct GamepadBackendTest : ::testing::Test {
  std::shared_ptr<EventWriterLog> log = std::make_shared<EventWriterLog>();
  GamepadTransitions backend{std::make_unique<linux::uinput::GamepadSink>(std::make_unique<RecordingEventWriter>(log))};

  HidResult send(const Bytes& report) { return backend.send_report(report); }
};

TEST_F(GamepadBackendTest, TheFirstReportSendsEveryAxisThenOnlyWhatChanged) {
  ASSERT_TRUE(send({0x01, 0x40, 128, 128, 128, 128, 0, 0}).ok());
  ASSERT_TRUE(send({0x01, 0x40, 128, 128, 128, 128, 0, 0}).ok());  // unchanged: nothing to write
  ASSERT_TRUE(send({0x08, 0x40, 0, 255, 128, 128, 0, 9}).ok());
  ASSERT_TRUE(send(kNeutral).ok());
  EXPECT_EQ(log->batches,
            (std::vector<Batch>{
                with_sync(concat({"BTN_SOUTH 1", "BTN_DPAD_RIGHT 1"}, kEveryAxisNeutral)),
                with_sync({"BTN_SOUTH 0", "BTN_Y 1", "ABS_X 0", "ABS_Y 255", "ABS_RZ 9"}),
                with_sync({"BTN_Y 0", "BTN_DPAD_RIGHT 0", "ABS_X 128", "ABS_Y 128", "ABS_RZ 0"}),
            }));
}

// A refused write changes nothing that was sent, so the next report carries
// its changes along with its own, once.
TEST_F(GamepadBackendTest, ARefusedWriteFailsTheReportAndTheNextOneCarriesItsChanges) {
  log->refuse_write = 2;
  ASSERT_TRUE(send(kNeutral).ok());
  const HidResult refused = send({0x04, 0, 128, 128, 128, 128, 0, 0});
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error().display(), "Failed to send report: uinput write failed: No such device");
  ASSERT_TRUE(send({0x04, 0, 128, 128, 7, 128, 0, 0}).ok());
  ASSERT_TRUE(send({0x04, 0, 128, 128, 7, 128, 0, 0}).ok());
  EXPECT_EQ(log->batches, (std::vector<Batch>{with_sync(kEveryAxisNeutral), with_sync({"BTN_X 1", "ABS_RX 7"})}));
}

TEST_F(GamepadBackendTest, ARefusedFirstReportLeavesEveryAxisToTheNext) {
  log->refuse_write = 1;
  ASSERT_FALSE(send(kNeutral).ok());
  ASSERT_TRUE(send(kNeutral).ok());
  EXPECT_EQ(log->batches, std::vector<Batch>{with_sync(kEveryAxisNeutral)});
}

TEST_F(GamepadBackendTest, AShortReportIsRefusedBeforeAnyWrite) {
  const HidResult result = send({0, 0, 128, 128, 128, 128, 0});
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().display(), "Failed to send report: Invalid gamepad report");
  EXPECT_EQ(log->writes, 0);
}

// The child's first report goes to a new device of its own (UinputDevice
// makes it), which has seen nothing: the whole state, not the change.
TEST_F(GamepadBackendTest, AForkedChildsFirstReportSendsTheWholeState) {
  ASSERT_TRUE(send({0x01, 0, 128, 128, 128, 128, 0, 0}).ok());
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool sent = send({0x03, 0, 128, 128, 128, 128, 0, 0}).ok();
    _exit(sent && log->batches.back() == with_sync(concat({"BTN_SOUTH 1", "BTN_EAST 1"}, kEveryAxisNeutral)) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_TRUE(send({0x03, 0, 128, 128, 128, 128, 0, 0}).ok());
  EXPECT_EQ(log->batches.back(), with_sync({"BTN_EAST 1"}));
}

TEST_F(GamepadBackendTest, DestroyRemovesTheDeviceAtOnce) {
  EXPECT_TRUE(backend.destroy().ok());
  EXPECT_TRUE(log->released);
}

}  // namespace
}  // namespace ondrel
