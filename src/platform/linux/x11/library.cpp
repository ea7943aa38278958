#include "platform/linux/x11/library.h"

#include <dlfcn.h>

namespace ondrel::linux::x11 {
namespace {

// Every X client has libxcb (Xlib itself is built on it); XTEST's own client
// library (libxcb-xtest, or libXtst over Xlib) is often missing. XTEST's
// requests are small, so they are framed here and sent through libxcb's
// generic request interface (x11_xtest_requests.cpp), and libxcb is all
// that is needed.
constexpr const char* kXcbName = "libxcb.so.1";

template <class Symbol>
bool bind(void* library, const char* name, Symbol& out) {
  out = reinterpret_cast<Symbol>(dlsym(library, name));
  return out != nullptr;
}

// The name of the first symbol that `library` lacks, or nullptr when all are there.
const char* bind_xcb(void* library, XcbLibrary& xcb) {
  if (!bind(library, "xcb_connect_to_fd", xcb.connect_to_fd)) return "xcb_connect_to_fd";
  if (!bind(library, "xcb_disconnect", xcb.disconnect)) return "xcb_disconnect";
  if (!bind(library, "xcb_connection_has_error", xcb.connection_has_error)) return "xcb_connection_has_error";
  if (!bind(library, "xcb_flush", xcb.flush)) return "xcb_flush";
  if (!bind(library, "xcb_get_file_descriptor", xcb.get_file_descriptor)) return "xcb_get_file_descriptor";
  if (!bind(library, "xcb_parse_display", xcb.parse_display)) return "xcb_parse_display";
  if (!bind(library, "xcb_poll_for_reply", xcb.poll_for_reply)) return "xcb_poll_for_reply";
  if (!bind(library, "xcb_poll_for_queued_event", xcb.poll_for_queued_event)) return "xcb_poll_for_queued_event";
  if (!bind(library, "xcb_get_input_focus", xcb.get_input_focus)) return "xcb_get_input_focus";
  if (!bind(library, "xcb_prefetch_extension_data", xcb.prefetch_extension_data)) return "xcb_prefetch_extension_data";
  if (!bind(library, "xcb_get_extension_data", xcb.get_extension_data)) return "xcb_get_extension_data";
  if (!bind(library, "xcb_send_request", xcb.send_request)) return "xcb_send_request";
  if (!bind(library, "xcb_get_setup", xcb.get_setup)) return "xcb_get_setup";
  if (!bind(library, "xcb_get_keyboard_mapping", xcb.get_keyboard_mapping)) return "xcb_get_keyboard_mapping";
  if (!bind(library, "xcb_get_modifier_mapping", xcb.get_modifier_mapping)) return "xcb_get_modifier_mapping";
  if (!bind(library, "xcb_change_keyboard_mapping", xcb.change_keyboard_mapping))
    return "xcb_change_keyboard_mapping";
  if (!bind(library, "xcb_setup_roots_iterator", xcb.setup_roots_iterator)) return "xcb_setup_roots_iterator";
  if (!bind(library, "xcb_screen_next", xcb.screen_next)) return "xcb_screen_next";
  if (!bind(library, "xcb_query_pointer", xcb.query_pointer)) return "xcb_query_pointer";
  if (!bind(library, "xcb_get_geometry", xcb.get_geometry)) return "xcb_get_geometry";
  if (!bind(library, "xcb_change_window_attributes", xcb.change_window_attributes))
    return "xcb_change_window_attributes";
  if (!bind(library, "xcb_poll_for_event", xcb.poll_for_event)) return "xcb_poll_for_event";
  if (!bind(library, "xcb_generate_id", xcb.generate_id)) return "xcb_generate_id";
  if (!bind(library, "xcb_create_window", xcb.create_window)) return "xcb_create_window";
  if (!bind(library, "xcb_intern_atom", xcb.intern_atom)) return "xcb_intern_atom";
  if (!bind(library, "xcb_grab_server", xcb.grab_server)) return "xcb_grab_server";
  if (!bind(library, "xcb_ungrab_server", xcb.ungrab_server)) return "xcb_ungrab_server";
  if (!bind(library, "xcb_get_selection_owner", xcb.get_selection_owner)) return "xcb_get_selection_owner";
  if (!bind(library, "xcb_set_selection_owner", xcb.set_selection_owner)) return "xcb_set_selection_owner";
  if (!bind(library, "xcb_change_property", xcb.change_property)) return "xcb_change_property";
  if (!bind(library, "xcb_get_property", xcb.get_property)) return "xcb_get_property";
  if (!bind(library, "xcb_delete_property", xcb.delete_property)) return "xcb_delete_property";
  if (!bind(library, "xcb_query_keymap", xcb.query_keymap)) return "xcb_query_keymap";
  if (!bind(library, "xcb_get_image", xcb.get_image)) return "xcb_get_image";
  return nullptr;
}

struct LoadedLibrary {
  XcbLibrary functions{};
  std::string failure;  // empty once loaded
};

// Never unloaded: connections of other devices may still use it.
LoadedLibrary load() {
  LoadedLibrary loaded;
  void* xcb = dlopen(kXcbName, RTLD_NOW | RTLD_LOCAL);
  if (xcb == nullptr) return {{}, std::string(kXcbName) + " cannot be loaded"};
  if (const char* missing = bind_xcb(xcb, loaded.functions)) return {{}, std::string(kXcbName) + " lacks " + missing};
  return loaded;
}

}  // namespace

Expected<const XcbLibrary*> xcb_library() {
  static const LoadedLibrary loaded = load();
  if (!loaded.failure.empty()) return Outcome::failure(loaded.failure);
  return &loaded.functions;
}

}  // namespace ondrel::linux::x11
