#include "platform/linux/x11/writer_claim.h"

#include <string_view>
#include <thread>
#include <utility>

#include "devices/stop_request.h"
#include "platform/linux/x11/keymap_requests.h"
#include "platform/linux/x11/xtest_requests.h"
#include "platform/stoppable_pause.h"

namespace ondrel::linux::x11 {
namespace {

constexpr std::string_view kSelectionName = "_ONDREL_SPARE_KEYCODES";
constexpr std::string_view kPropertyName = "_ONDREL_SPARE_KEYCODES";
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kCurrentTime = 0;
constexpr std::uint32_t kAnyPropertyType = 0;
constexpr std::uint32_t kLongestRecord = 1024;  // in 4-byte units: far more than 256 keycodes
// Between two looks at a claim that another writer holds: a sleep, not a spin.
constexpr std::chrono::milliseconds kClaimPoll{2};

Outcome server_failure(const Answer& answer) {
  return Outcome::failure(delivery_failure(answer.delivery));
}

// Whether no window owns `selection` now.
Expected<bool> is_free(XtestConnection& connection, std::uint32_t selection, Deadline deadline) {
  const XcbCookie owner = connection.library().get_selection_owner(connection.raw_connection(), selection);
  const Answer answer = connection.reply_to(owner.sequence, deadline);
  if (answer.delivery != Delivery::delivered) return server_failure(answer);
  return static_cast<const XcbValueReply*>(answer.reply.get())->value == kNone;
}

}  // namespace

std::uint32_t create_claim_window(XtestConnection& connection, std::uint32_t root) {
  const XcbLibrary& xcb = connection.library();
  const std::uint32_t window = xcb.generate_id(connection.raw_connection());
  xcb.create_window(connection.raw_connection(), 0, window, root, 0, 0, 1, 1, 0, kInputOnly, 0, 0, nullptr);
  return window;
}

WriterClaim::WriterClaim(WriterClaim&& other) noexcept
    : connection_(std::exchange(other.connection_, nullptr)), root_(other.root_), atoms_(other.atoms_) {}

WriterClaim::~WriterClaim() {
  if (connection_ == nullptr || !connection_->is_open() || connection_->is_inherited()) return;
  // Queued behind whatever the writer sent last (its mapping given back), so
  // that the server never clears the record before it has done that.
  const XcbLibrary& xcb = connection_->library();
  xcb.delete_property(connection_->raw_connection(), root_, atoms_.property);
  xcb.set_selection_owner(connection_->raw_connection(), kNone, atoms_.selection, kCurrentTime);
  (void)connection_->send_at_once({});
}

Expected<WriterClaim::Atoms> WriterClaim::intern_atoms(XtestConnection& connection, Deadline deadline) {
  const XcbLibrary& xcb = connection.library();
  XcbConnection* const raw = connection.raw_connection();
  const XcbCookie selection = xcb.intern_atom(raw, 0, kSelectionName.size(), kSelectionName.data());
  const XcbCookie property = xcb.intern_atom(raw, 0, kPropertyName.size(), kPropertyName.data());
  const Answer selection_answer = connection.reply_to(selection.sequence, deadline);
  if (selection_answer.delivery != Delivery::delivered) return server_failure(selection_answer);
  const Answer property_answer = connection.reply_to(property.sequence, deadline);
  if (property_answer.delivery != Delivery::delivered) return server_failure(property_answer);
  return Atoms{static_cast<const XcbValueReply*>(selection_answer.reply.get())->value,
               static_cast<const XcbValueReply*>(property_answer.reply.get())->value};
}

// Under a grab nobody else's request comes between looking at the owner and
// taking the selection. The grab lasts one round trip; should the server not
// answer, the ungrab is queued all the same and the connection's end lets go.
Expected<bool> WriterClaim::try_to_take(XtestConnection& connection, Atoms atoms, std::uint32_t window,
                                        Deadline deadline) {
  const XcbLibrary& xcb = connection.library();
  XcbConnection* const raw = connection.raw_connection();
  xcb.grab_server(raw);
  const XcbCookie owner = xcb.get_selection_owner(raw, atoms.selection);
  const Answer answer = connection.reply_to(owner.sequence, deadline);
  const bool free = answer.delivery == Delivery::delivered &&
                    static_cast<const XcbValueReply*>(answer.reply.get())->value == kNone;
  if (free) xcb.set_selection_owner(raw, window, atoms.selection, kCurrentTime);
  xcb.ungrab_server(raw);
  if (!connection.flush_before(deadline)) return Outcome::failure(delivery_failure(Delivery::lost));
  if (answer.delivery != Delivery::delivered) return server_failure(answer);
  return free;
}

Expected<WriterClaim> WriterClaim::take(XtestConnection& connection, std::uint32_t root, std::uint32_t window,
                                        Deadline deadline) {
  const Expected<Atoms> atoms = intern_atoms(connection, patience_from_now());
  if (!atoms.ok()) return atoms.outcome();
  for (;;) {
    // Looked at without a grab first: a grab while another writer types
    // would hold up its keys and their readers.
    const Expected<bool> free = is_free(connection, atoms.value().selection, patience_from_now());
    if (!free.ok()) return free.outcome();
    const Expected<bool> taken =
        free.value() ? try_to_take(connection, atoms.value(), window, patience_from_now()) : Expected<bool>(false);
    if (!taken.ok()) return taken.outcome();
    if (taken.value()) break;
    if (std::chrono::steady_clock::now() >= deadline)
      return Outcome::failure("another writer kept the display's spare keycodes for longer than " +
                              std::to_string(kWriterPatience.count()) + " s");
    if (stop_requested()) return stopped();
    std::this_thread::sleep_for(kClaimPoll);
  }
  WriterClaim claim(connection, root, atoms.value());
  ONDREL_CHECK(claim.put_back_recorded());
  return claim;
}

Outcome WriterClaim::put_back_leftovers(XtestConnection& connection, std::uint32_t root, std::uint32_t window) {
  const Expected<Atoms> atoms = intern_atoms(connection, patience_from_now());
  if (!atoms.ok()) return atoms.outcome();
  const Expected<bool> taken = try_to_take(connection, atoms.value(), window, patience_from_now());
  if (!taken.ok() || !taken.value()) return taken.outcome();  // a live writer has it
  WriterClaim claim(connection, root, atoms.value());
  ONDREL_CHECK(claim.put_back_recorded());
  return claim.give_back();
}

Outcome WriterClaim::put_back_recorded() {
  const XcbLibrary& xcb = connection_->library();
  XcbConnection* const raw = connection_->raw_connection();
  const XcbCookie cookie = xcb.get_property(raw, 0, root_, atoms_.property, kAnyPropertyType, 0, kLongestRecord);
  const Answer answer = connection_->reply_to(cookie.sequence, patience_from_now());
  if (answer.delivery != Delivery::delivered) return server_failure(answer);
  const auto& reply = *static_cast<const XcbGetPropertyReply*>(answer.reply.get());
  if (reply.format != 8 || reply.value_len == 0) return Outcome::success();
  const auto* keycodes = reinterpret_cast<const Keycode*>(&reply + 1);
  const XcbSetup* setup = xcb.get_setup(raw);
  bool bound = true;  // the bound keycodes come first, then 0, then those that may be down
  for (std::uint32_t index = 0; index < reply.value_len; ++index) {
    const Keycode keycode = keycodes[index];
    if (keycode == 0) bound = false;
    if (keycode < setup->min_keycode || keycode > setup->max_keycode) continue;
    if (bound) {
      xcb.change_keyboard_mapping(raw, 1, keycode, 1, &kNoSymbol);
    } else {
      send_xtest_fake_input(xcb, raw, {event_type::key_release, keycode});
    }
  }
  xcb.delete_property(raw, root_, atoms_.property);
  const Delivery delivery = connection_->deliver({}, patience_from_now());
  if (delivery == Delivery::delivered) return Outcome::success();
  return Outcome::failure(delivery_failure(delivery));
}

void WriterClaim::record(std::span<const Keycode> bound, std::span<const Keycode> pressed) {
  std::vector<Keycode> record(bound.begin(), bound.end());
  record.push_back(0);
  record.insert(record.end(), pressed.begin(), pressed.end());
  connection_->library().change_property(connection_->raw_connection(), kPropModeReplace, root_, atoms_.property,
                                         kCardinalAtom, 8, static_cast<std::uint32_t>(record.size()), record.data());
}

Outcome WriterClaim::give_back() {
  XtestConnection& connection = *std::exchange(connection_, nullptr);
  const XcbLibrary& xcb = connection.library();
  xcb.delete_property(connection.raw_connection(), root_, atoms_.property);
  xcb.set_selection_owner(connection.raw_connection(), kNone, atoms_.selection, kCurrentTime);
  const Delivery delivery = connection.deliver({}, patience_from_now());
  if (delivery == Delivery::delivered) return Outcome::success();
  return Outcome::failure(delivery_failure(delivery));
}

}  // namespace ondrel::linux::x11
