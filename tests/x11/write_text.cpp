// Writes its argument on the X display named by DISPLAY through the
// keyboard-layout machinery, for the X tests (test_text_on_layouts.py),
// which watch a Tk window receive it. Exits 1 with the reason on stderr.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/linux/x11/text_writing.h"
#include "platform/linux/x11/library.h"
#include "platform/linux/x11/xtest_connection.h"

int main(int argc, char** argv) {
  const char* display = std::getenv("DISPLAY");
  if (argc != 2 || display == nullptr) {
    std::fprintf(stderr, "usage: DISPLAY=:N %s TEXT\n", argv[0]);
    return 2;
  }
  namespace x11 = ondrel::linux::x11;
  const auto xcb = x11::xcb_library();
  if (!xcb.ok()) {
    std::fprintf(stderr, "%s\n", xcb.error().c_str());
    return 1;
  }
  auto opened = x11::XtestConnection::open(*xcb.value(), display, x11::patience_from_now());
  if (!opened.ok()) {
    std::fprintf(stderr, "%s\n", opened.error().c_str());
    return 1;
  }
  x11::XtestConnection connection = opened.take();
  const ondrel::HidResult written = ondrel::linux::x11::write_text(connection, argv[1]);
  if (!written) {
    std::fprintf(stderr, "%s\n", written.error().display().c_str());
    return 1;
  }
  return 0;
}
