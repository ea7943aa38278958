#pragma once

#include <cstdint>
#include <string>

// The few parts of the XCB client libraries that the X sink uses, declared
// here with their C layouts so that the module builds without X headers and
// loads the libraries only when a device is created.

namespace ondrel::x11 {

struct XcbConnection;  // xcb_connection_t
struct XcbExtension;   // xcb_extension_t, only ever passed by address

// xcb_void_cookie_t and the cookies of requests with replies.
struct XcbCookie {
  unsigned int sequence;
};

// The header of xcb_generic_event_t and xcb_generic_error_t; an error has
// response type 0.
struct XcbResponse {
  std::uint8_t response_type;
};

struct XcbQueryExtensionReply {
  std::uint8_t response_type;
  std::uint8_t pad0;
  std::uint16_t sequence;
  std::uint32_t length;
  std::uint8_t present;
  std::uint8_t major_opcode;
  std::uint8_t first_event;
  std::uint8_t first_error;
};

// xcb_connection_has_error() values that creation names.
inline constexpr int kXcbParseError = 5;    // XCB_CONN_CLOSED_PARSE_ERR
inline constexpr int kXcbInvalidScreen = 6;  // XCB_CONN_CLOSED_INVALID_SCREEN

struct XcbLibrary {
  XcbConnection* (*connect)(const char* display, int* screen);
  void (*disconnect)(XcbConnection* connection);
  int (*connection_has_error)(XcbConnection* connection);
  int (*flush)(XcbConnection* connection);
  int (*get_file_descriptor)(XcbConnection* connection);
  int (*parse_display)(const char* name, char** host, int* display, int* screen);
  int (*poll_for_reply)(XcbConnection* connection, unsigned int request, void** reply, XcbResponse** error);
  XcbResponse* (*poll_for_queued_event)(XcbConnection* connection);
  XcbCookie (*get_input_focus)(XcbConnection* connection);
  void (*prefetch_extension_data)(XcbConnection* connection, XcbExtension* extension);
  const XcbQueryExtensionReply* (*get_extension_data)(XcbConnection* connection, XcbExtension* extension);
  XcbCookie (*test_fake_input)(XcbConnection* connection, std::uint8_t type, std::uint8_t detail, std::uint32_t time,
                               std::uint32_t root, std::int16_t root_x, std::int16_t root_y, std::uint8_t device);
  XcbExtension* test_extension;  // xcb_test_id
};

// libxcb.so.1 and libxcb-xtest.so.0, loaded once for the process's lifetime;
// nullptr with the reason as a short clause in `why_not` when they cannot be.
const XcbLibrary* xcb_library(std::string& why_not);

}  // namespace ondrel::x11
