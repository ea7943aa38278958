#pragma once

#include <sys/uio.h>

#include <cstddef>
#include <cstdint>
#include <string>

// The few parts of libxcb that the X sink uses, declared here with their C
// layouts so that the module builds without X headers and loads libxcb only
// when a device is created.

namespace ondrel::x11 {

struct XcbConnection;  // xcb_connection_t

// xcb_extension_t: libxcb keeps each extension's opcode under global_id.
struct XcbExtension {
  const char* name;
  int global_id;
};

// xcb_protocol_request_t: what xcb_send_request needs to frame a request.
struct XcbProtocolRequest {
  std::size_t count;  // iovecs of the request's own data
  XcbExtension* extension;
  std::uint8_t opcode;  // the minor opcode for an extension's request
  std::uint8_t is_void;
};

inline constexpr int kXcbRequestChecked = 1;  // XCB_REQUEST_CHECKED

// xcb_auth_info_t
struct XcbAuthInfo {
  int name_length;
  char* name;
  int data_length;
  char* data;
};

// The cookie of any request: its sequence number.
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

struct XcbLibrary {
  XcbConnection* (*connect_to_fd)(int fd, XcbAuthInfo* auth);
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
  unsigned int (*send_request)(XcbConnection* connection, int flags, iovec* vector,
                               const XcbProtocolRequest* request);
};

// libxcb.so.1, loaded once for the process's lifetime; nullptr with the
// reason as a short clause in `why_not` when it cannot be.
const XcbLibrary* xcb_library(std::string& why_not);

}  // namespace ondrel::x11
