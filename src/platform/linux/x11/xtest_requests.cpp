#include "platform/linux/x11/xtest_requests.h"

#include <cstdint>

// The two XTEST requests, framed as the XTEST protocol (version 2.2) lays
// them out. libxcb fills in the opcodes and the length.

namespace ondrel::linux::x11 {
namespace {

constexpr std::uint8_t kGetVersion = 0;
constexpr std::uint8_t kFakeInput = 2;
constexpr std::uint8_t kClientMajorVersion = 2;
constexpr std::uint16_t kClientMinorVersion = 2;

constexpr std::uint32_t kCurrentTime = 0;
constexpr std::uint8_t kCoreDevices = 0;

struct RequestHeader {
  std::uint8_t major_opcode;
  std::uint8_t minor_opcode;
  std::uint16_t length;
};

struct GetVersionRequest {
  RequestHeader header;
  std::uint8_t major_version;
  std::uint8_t pad0;
  std::uint16_t minor_version;
};
static_assert(sizeof(GetVersionRequest) == 8);

struct FakeInputRequest {
  RequestHeader header;
  std::uint8_t type;
  std::uint8_t detail;
  std::uint8_t pad0[2];
  std::uint32_t time;
  std::uint32_t root;
  std::uint8_t pad1[8];
  std::int16_t root_x;
  std::int16_t root_y;
  std::uint8_t pad2[7];
  std::uint8_t device_id;
};
static_assert(sizeof(FakeInputRequest) == 36);

// xcb_send_request writes into the two iovecs before the request's own, so
// they are reserved here. Both requests are whole 4-byte units: no padding.
template <class Request>
unsigned int send(const XcbLibrary& xcb, XcbConnection* connection, Request& request, std::uint8_t opcode,
                  bool has_reply) {
  static_assert(sizeof(Request) % 4 == 0);
  iovec parts[3] = {};
  parts[2].iov_base = &request;
  parts[2].iov_len = sizeof request;
  const XcbProtocolRequest framing{1, &xtest_extension(), opcode, static_cast<std::uint8_t>(has_reply ? 0 : 1)};
  return xcb.send_request(connection, has_reply ? kXcbRequestChecked : 0, parts + 2, &framing);
}

}  // namespace

XcbExtension& xtest_extension() {
  static XcbExtension extension{"XTEST", 0};
  return extension;
}

XcbCookie send_xtest_get_version(const XcbLibrary& xcb, XcbConnection* connection) {
  GetVersionRequest request{};
  request.major_version = kClientMajorVersion;
  request.minor_version = kClientMinorVersion;
  return {send(xcb, connection, request, kGetVersion, true)};
}

void send_xtest_fake_input(const XcbLibrary& xcb, XcbConnection* connection, const FakeEvent& event) {
  FakeInputRequest request{};
  request.type = event.type;
  request.detail = event.detail;
  request.time = kCurrentTime;
  request.root = event.root;
  request.root_x = event.dx;
  request.root_y = event.dy;
  request.device_id = kCoreDevices;
  send(xcb, connection, request, kFakeInput, false);
}

}  // namespace ondrel::linux::x11
