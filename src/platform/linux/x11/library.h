#pragma once

#include <sys/uio.h>

#include <cstddef>
#include <cstdint>

#include "devices/outcome.h"
#include <string>

// The few parts of libxcb that the X sink uses, declared here with their C
// layouts so that the module builds without X headers and loads libxcb only
// when a device is created.

namespace ondrel::linux::x11 {

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

// The start of xcb_setup_t, up to the keycode range.
struct XcbSetup {
  std::uint8_t status;
  std::uint8_t pad0;
  std::uint16_t protocol_major_version;
  std::uint16_t protocol_minor_version;
  std::uint16_t length;
  std::uint32_t release_number;
  std::uint32_t resource_id_base;
  std::uint32_t resource_id_mask;
  std::uint32_t motion_buffer_size;
  std::uint16_t vendor_len;
  std::uint16_t maximum_request_length;
  std::uint8_t roots_len;
  std::uint8_t pixmap_formats_len;
  std::uint8_t image_byte_order;
  std::uint8_t bitmap_format_bit_order;
  std::uint8_t bitmap_format_scanline_unit;
  std::uint8_t bitmap_format_scanline_pad;
  std::uint8_t min_keycode;
  std::uint8_t max_keycode;
};
static_assert(offsetof(XcbSetup, min_keycode) == 34);

// The fixed part of the replies to GetKeyboardMapping and GetModifierMapping;
// their lists follow it. `per_key` is keysyms_per_keycode or
// keycodes_per_modifier.
struct XcbMappingReply {
  std::uint8_t response_type;
  std::uint8_t per_key;
  std::uint16_t sequence;
  std::uint32_t length;  // of the list, in 4-byte units
  std::uint8_t pad0[24];
};
static_assert(sizeof(XcbMappingReply) == 32);

// The start of xcb_screen_t, up to the root window's size at connection time.
struct XcbScreen {
  std::uint32_t root;
  std::uint32_t default_colormap;
  std::uint32_t white_pixel;
  std::uint32_t black_pixel;
  std::uint32_t current_input_masks;
  std::uint16_t width_in_pixels;
  std::uint16_t height_in_pixels;
};

// xcb_screen_iterator_t
struct XcbScreenIterator {
  XcbScreen* data;
  int rem;
  int index;
};

// xcb_query_pointer_reply_t
struct XcbQueryPointerReply {
  std::uint8_t response_type;
  std::uint8_t same_screen;
  std::uint16_t sequence;
  std::uint32_t length;
  std::uint32_t root;
  std::uint32_t child;
  std::int16_t root_x;
  std::int16_t root_y;
  std::int16_t win_x;
  std::int16_t win_y;
  std::uint16_t mask;
  std::uint8_t pad0[2];
};
static_assert(sizeof(XcbQueryPointerReply) == 28);

// xcb_get_geometry_reply_t
struct XcbGetGeometryReply {
  std::uint8_t response_type;
  std::uint8_t depth;
  std::uint16_t sequence;
  std::uint32_t length;
  std::uint32_t root;
  std::int16_t x;
  std::int16_t y;
  std::uint16_t width;
  std::uint16_t height;
  std::uint16_t border_width;
  std::uint8_t pad0[2];
};
static_assert(sizeof(XcbGetGeometryReply) == 24);

// xcb_configure_notify_event_t, up to the window's size.
struct XcbConfigureNotifyEvent {
  std::uint8_t response_type;
  std::uint8_t pad0;
  std::uint16_t sequence;
  std::uint32_t event;
  std::uint32_t window;
  std::uint32_t above_sibling;
  std::int16_t x;
  std::int16_t y;
  std::uint16_t width;
  std::uint16_t height;
};
inline constexpr std::uint8_t kConfigureNotify = 22;
inline constexpr std::uint32_t kCwEventMask = 1u << 11;           // XCB_CW_EVENT_MASK
inline constexpr std::uint32_t kStructureNotifyMask = 1u << 17;  // XCB_EVENT_MASK_STRUCTURE_NOTIFY

// The reply to InternAtom (xcb_intern_atom_reply_t) and to GetSelectionOwner
// (xcb_get_selection_owner_reply_t): one 32-bit value after the header.
struct XcbValueReply {
  std::uint8_t response_type;
  std::uint8_t pad0;
  std::uint16_t sequence;
  std::uint32_t length;
  std::uint32_t value;  // the atom, or the owner window (0: None)
};

// xcb_get_property_reply_t; value_len items of `format` bits follow it.
struct XcbGetPropertyReply {
  std::uint8_t response_type;
  std::uint8_t format;
  std::uint16_t sequence;
  std::uint32_t length;
  std::uint32_t type;
  std::uint32_t bytes_after;
  std::uint32_t value_len;
  std::uint8_t pad0[12];
};
static_assert(sizeof(XcbGetPropertyReply) == 32);

// xcb_query_keymap_reply_t: a bit per keycode, set while the key is down.
struct XcbQueryKeymapReply {
  std::uint8_t response_type;
  std::uint8_t pad0;
  std::uint16_t sequence;
  std::uint32_t length;
  std::uint8_t keys[32];
};
static_assert(sizeof(XcbQueryKeymapReply) == 40);

inline constexpr std::uint16_t kInputOnly = 2;        // XCB_WINDOW_CLASS_INPUT_ONLY
inline constexpr std::uint32_t kCardinalAtom = 6;      // XCB_ATOM_CARDINAL
inline constexpr std::uint8_t kPropModeReplace = 0;   // XCB_PROP_MODE_REPLACE
// The screen capture's part of the setup: xcb_format_t, and after each
// xcb_screen_t's fixed part (40 bytes) its xcb_depth_t list, each depth
// followed by its xcb_visualtype_t list.
struct XcbFormat {
  std::uint8_t depth;
  std::uint8_t bits_per_pixel;
  std::uint8_t scanline_pad;
  std::uint8_t pad0[5];
};
static_assert(sizeof(XcbFormat) == 8);
inline constexpr std::size_t kXcbSetupFixedSize = 40;
inline constexpr std::size_t kXcbScreenFixedSize = 40;
inline constexpr std::size_t kXcbScreenDepthCountAt = 39;  // allowed_depths_len

struct XcbDepth {
  std::uint8_t depth;
  std::uint8_t pad0;
  std::uint16_t visuals_len;
  std::uint8_t pad1[4];
};
static_assert(sizeof(XcbDepth) == 8);

struct XcbVisualType {
  std::uint32_t visual_id;
  std::uint8_t visual_class;
  std::uint8_t bits_per_rgb_value;
  std::uint16_t colormap_entries;
  std::uint32_t red_mask;
  std::uint32_t green_mask;
  std::uint32_t blue_mask;
  std::uint8_t pad0[4];
};
static_assert(sizeof(XcbVisualType) == 24);

// xcb_get_image_reply_t; the image's data follows it, `length` 4-byte units.
struct XcbGetImageReply {
  std::uint8_t response_type;
  std::uint8_t depth;
  std::uint16_t sequence;
  std::uint32_t length;
  std::uint32_t visual;
  std::uint8_t pad0[20];
};
static_assert(sizeof(XcbGetImageReply) == 32);
inline constexpr std::uint8_t kImageFormatZPixmap = 2;  // XCB_IMAGE_FORMAT_Z_PIXMAP

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
  // The keyboard mapping, for writing text on the layout in use.
  const XcbSetup* (*get_setup)(XcbConnection* connection);
  XcbCookie (*get_keyboard_mapping)(XcbConnection* connection, std::uint8_t first_keycode, std::uint8_t count);
  XcbCookie (*get_modifier_mapping)(XcbConnection* connection);
  XcbCookie (*change_keyboard_mapping)(XcbConnection* connection, std::uint8_t keycode_count,
                                       std::uint8_t first_keycode, std::uint8_t keysyms_per_keycode,
                                       const std::uint32_t* keysyms);
  // The pointer, for the computer layer's absolute moves.
  XcbScreenIterator (*setup_roots_iterator)(const XcbSetup* setup);
  void (*screen_next)(XcbScreenIterator* iterator);
  XcbCookie (*query_pointer)(XcbConnection* connection, std::uint32_t window);
  XcbCookie (*get_geometry)(XcbConnection* connection, std::uint32_t drawable);
  XcbCookie (*change_window_attributes)(XcbConnection* connection, std::uint32_t window, std::uint32_t value_mask,
                                        const void* value_list);
  XcbResponse* (*poll_for_event)(XcbConnection* connection);
  // The claim on the spare keycodes that writers on one display share.
  std::uint32_t (*generate_id)(XcbConnection* connection);
  XcbCookie (*create_window)(XcbConnection* connection, std::uint8_t depth, std::uint32_t window,
                             std::uint32_t parent, std::int16_t x, std::int16_t y, std::uint16_t width,
                             std::uint16_t height, std::uint16_t border_width, std::uint16_t window_class,
                             std::uint32_t visual, std::uint32_t value_mask, const void* value_list);
  XcbCookie (*intern_atom)(XcbConnection* connection, std::uint8_t only_if_exists, std::uint16_t name_length,
                           const char* name);
  XcbCookie (*grab_server)(XcbConnection* connection);
  XcbCookie (*ungrab_server)(XcbConnection* connection);
  XcbCookie (*get_selection_owner)(XcbConnection* connection, std::uint32_t selection);
  XcbCookie (*set_selection_owner)(XcbConnection* connection, std::uint32_t owner, std::uint32_t selection,
                                   std::uint32_t time);
  XcbCookie (*change_property)(XcbConnection* connection, std::uint8_t mode, std::uint32_t window,
                               std::uint32_t property, std::uint32_t type, std::uint8_t format,
                               std::uint32_t data_length, const void* data);
  XcbCookie (*get_property)(XcbConnection* connection, std::uint8_t delete_it, std::uint32_t window,
                            std::uint32_t property, std::uint32_t type, std::uint32_t long_offset,
                            std::uint32_t long_length);
  XcbCookie (*delete_property)(XcbConnection* connection, std::uint32_t window, std::uint32_t property);
  // The lock keys.
  XcbCookie (*query_keymap)(XcbConnection* connection);
  // The screen's pixels.
  XcbCookie (*get_image)(XcbConnection* connection, std::uint8_t format, std::uint32_t drawable, std::int16_t x,
                         std::int16_t y, std::uint16_t width, std::uint16_t height, std::uint32_t plane_mask);
};

// libxcb.so.1, loaded once for the process's lifetime; nullptr with the
// reason as a short clause when it cannot be.
Expected<const XcbLibrary*> xcb_library();

}  // namespace ondrel::linux::x11
