#include "platform/linux/x11/keymap_requests.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace ondrel::linux::x11 {
namespace {

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }  // allocated by libxcb with malloc
};
using Reply = std::unique_ptr<XcbMappingReply, FreeReply>;

// The reply to `sequence`, or nullptr when the server refused the request,
// did not answer by `deadline` or the connection broke. The wait polls the
// socket, so that it can end at the deadline, as xcb_wait_for_reply cannot.
Reply reply_before(XtestConnection& connection, unsigned int sequence, Deadline deadline) {
  const XcbLibrary& xcb = connection.library();
  XcbConnection* const raw = connection.raw_connection();
  if (!connection.flush_before(deadline)) return nullptr;
  const int fd = xcb.get_file_descriptor(raw);
  for (;;) {
    void* reply = nullptr;
    XcbResponse* error = nullptr;
    if (xcb.poll_for_reply(raw, sequence, &reply, &error) != 0) {
      std::free(error);
      return Reply(static_cast<XcbMappingReply*>(reply));
    }
    if (xcb.connection_has_error(raw) != 0 || !readable_before(fd, deadline)) return nullptr;
  }
}

// A refusal comes here too: the server refuses neither request when asked
// for its own keycode range.
Outcome unanswered(XtestConnection& connection) {
  if (connection.library().connection_has_error(connection.raw_connection()) != 0)
    return Outcome::failure(delivery_failure(Delivery::lost));
  return Outcome::failure("the X server did not give its keyboard mapping within " + patience_text());
}

template <class Item>
std::vector<Item> list_of(const XcbMappingReply& reply) {
  std::vector<Item> items(std::size_t{reply.length} * 4 / sizeof(Item));
  std::memcpy(items.data(), &reply + 1, items.size() * sizeof(Item));
  return items;
}

// Unchecked: an error waits in the event queue, where changes_made finds it.
void change(XtestConnection& connection, Keycode keycode, std::span<const Keysym> keysyms) {
  connection.library().change_keyboard_mapping(connection.raw_connection(), 1, keycode,
                                               static_cast<std::uint8_t>(keysyms.size()), keysyms.data());
}

// Waits until the server has made the changes sent before.
Outcome changes_made(XtestConnection& connection) {
  const Delivery delivery = connection.deliver({}, patience_from_now());
  if (delivery == Delivery::delivered) return Outcome::success();
  if (delivery == Delivery::refused) return Outcome::failure("the X server refused to change the keyboard mapping");
  return Outcome::failure(delivery_failure(delivery));
}

}  // namespace

std::string delivery_failure(Delivery delivery) {
  switch (delivery) {
    case Delivery::refused:
      return "the X server refused the input";
    case Delivery::timed_out:
      return "the X server did not answer within " + patience_text();
    case Delivery::delivered:
    case Delivery::lost:
      break;
  }
  return "the X connection was lost";
}

Expected<Keymap> fetch_keymap(XtestConnection& connection, Deadline deadline) {
  const XcbLibrary& xcb = connection.library();
  XcbConnection* const raw = connection.raw_connection();
  const XcbSetup* setup = xcb.get_setup(raw);
  const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
  const XcbCookie keyboard = xcb.get_keyboard_mapping(raw, setup->min_keycode, count);
  const XcbCookie modifiers = xcb.get_modifier_mapping(raw);
  const Reply keyboard_reply = reply_before(connection, keyboard.sequence, deadline);
  if (!keyboard_reply) return unanswered(connection);
  const Reply modifiers_reply = reply_before(connection, modifiers.sequence, deadline);
  if (!modifiers_reply) return unanswered(connection);
  return Keymap{{setup->min_keycode, keyboard_reply->per_key, list_of<Keysym>(*keyboard_reply)},
                {modifiers_reply->per_key, list_of<Keycode>(*modifiers_reply)}};
}

Outcome bind_spare_keycodes(XtestConnection& connection, std::span<const SpareBinding> bindings) {
  for (const SpareBinding& binding : bindings) {
    const Keysym both_levels[] = {binding.keysym, binding.keysym};
    change(connection, binding.keycode, both_levels);
  }
  return changes_made(connection);
}

Outcome restore_keycodes(XtestConnection& connection, const KeyboardMapping& original,
                        std::span<const SpareBinding> bindings) {
  for (const SpareBinding& binding : bindings) change(connection, binding.keycode, original.row(binding.keycode));
  return changes_made(connection);
}

}  // namespace ondrel::linux::x11
