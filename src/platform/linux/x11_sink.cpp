#include "platform/linux/x11_sink.h"

#include <cstdlib>
#include <utility>

#include "platform/linux/x11_fake_events.h"
#include "platform/linux/x11_library.h"
#include "platform/linux/x11_sigpipe_guard.h"
#include "platform/linux/x11_xtest_connection.h"

namespace ondrel::x11 {
namespace {

// Plays each record on the display that DISPLAY named when the device was
// created. A connection that broke is dropped, and the next record connects
// again, so a device outlives a restart of its server.
class X11Sink final : public InputSink {
 public:
  X11Sink(const XcbLibrary& xcb, std::string display, XtestConnection connection)
      : xcb_(xcb), display_(std::move(display)), connection_(std::move(connection)) {}

  unsigned send_input(const win32::Input& input) override {
    const auto events = fake_events_for(input);
    if (!events) return 0;
    const SigpipeGuard sigpipe;
    if (!connection_.is_open()) {
      std::string ignored;
      connection_ = XtestConnection::open(xcb_, display_, ignored);
      if (!connection_.is_open()) return 0;
    }
    switch (connection_.deliver(*events)) {
      case Delivery::delivered:
        return 1;
      case Delivery::refused:
        return 0;
      case Delivery::lost:
        break;
    }
    connection_ = XtestConnection();
    return 0;
  }

 private:
  const XcbLibrary& xcb_;
  const std::string display_;
  XtestConnection connection_;
};

}  // namespace

std::unique_ptr<InputSink> open_sink(std::string& why_not) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    why_not = "DISPLAY is not set";
    return nullptr;
  }
  const XcbLibrary* xcb = xcb_library(why_not);
  if (xcb == nullptr) return nullptr;
  const SigpipeGuard sigpipe;
  XtestConnection connection = XtestConnection::open(*xcb, display, why_not);
  if (!connection.is_open()) return nullptr;
  return std::make_unique<X11Sink>(*xcb, display, std::move(connection));
}

}  // namespace ondrel::x11
