#include "platform/linux/x11/kept_connection.h"

#include <algorithm>
#include <utility>

#include "platform/linux/x11/keymap_requests.h"
#include "platform/linux/x11/writer_claim.h"

namespace ondrel::linux::x11 {

std::uint32_t root_of_screen(const XcbLibrary& xcb, XcbConnection* connection, int number) {
  XcbScreenIterator screens = xcb.setup_roots_iterator(xcb.get_setup(connection));
  for (int i = 0; i < number && screens.rem > 0; ++i) xcb.screen_next(&screens);
  return screens.rem > 0 ? screens.data->root : 0;
}

KeptConnection::KeptConnection(const XcbLibrary& xcb, std::string display, int screen, XtestConnection connection,
                               std::uint32_t root)
    : xcb_(xcb),
      display_(std::move(display)),
      screen_(screen),
      connection_(std::move(connection)),
      root_(root),
      claim_window_(create_claim_window(connection_, root_)) {}

Deadline KeptConnection::begin_call() {
  if (retiring_.is_open() && (retiring_.is_inherited() || retiring_.has_settled())) retiring_ = XtestConnection();
  return patience_from_now();
}

Outcome KeptConnection::connect_if_needed(Deadline deadline) {
  if (connection_.is_open() && !connection_.is_inherited()) return Outcome::success();
  connection_ = XtestConnection();
  Expected<XtestConnection> connection = XtestConnection::open(xcb_, display_, deadline);
  if (!connection.ok()) return connection.outcome();
  connection_ = connection.take();
  ++connections_opened_;
  root_ = root_of_screen(xcb_, connection_.raw_connection(), screen_);
  if (root_ == 0) {
    connection_ = XtestConnection();
    return Outcome::failure("the display " + display_ + " has no screen " + std::to_string(screen_));
  }
  claim_window_ = create_claim_window(connection_, root_);
  if (releases_due_.empty()) return Outcome::success();
  const std::vector<FakeEvent> releases = releases_due_;
  ONDREL_CHECK(deliver(releases, deadline));
  releases_due_.clear();
  return Outcome::success();
}

Outcome KeptConnection::deliver(std::span<const FakeEvent> events, Deadline deadline) {
  const Delivery delivery = connection_.deliver(events, deadline);
  if (delivery == Delivery::delivered) return Outcome::success();
  return failed(delivery, events);
}

Expected<Reply> KeptConnection::answer_of(Answer answer, std::span<const FakeEvent> events) {
  if (answer.delivery == Delivery::delivered) return std::move(answer.reply);
  return failed(answer.delivery, events);
}

Outcome KeptConnection::mapping_result(const Outcome& result) {
  if (result.ok()) return result;
  if (xcb_.connection_has_error(connection_.raw_connection()) != 0) return drop({}, result.error());
  return result;
}

Outcome KeptConnection::failed(Delivery delivery, std::span<const FakeEvent> events) {
  if (delivery == Delivery::refused) return Outcome::failure("the X server refused the input");
  return drop(events, delivery_failure(delivery));
}

Outcome KeptConnection::drop(std::span<const FakeEvent> unknown, std::string why) {
  XtestConnection dropped = std::move(connection_);
  const std::vector<FakeEvent> releases = releases_of_presses(unknown);
  if (!dropped.send_at_once(releases)) {
    for (const FakeEvent& release : releases)
      if (std::ranges::find(releases_due_, release) == releases_due_.end()) releases_due_.push_back(release);
  }
  retiring_ = std::move(dropped);
  return Outcome::failure(std::move(why));
}

void KeptConnection::retire() {
  if (connection_.is_open()) retiring_ = std::move(connection_);
}

bool KeptConnection::has_failed() const {
  return !connection_.is_open() || xcb_.connection_has_error(connection_.raw_connection()) != 0;
}

}  // namespace ondrel::linux::x11
