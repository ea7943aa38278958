#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

#include "devices/outcome.h"
#include "platform/linux/x11/keymap.h"
#include "platform/linux/x11/xtest_connection.h"

namespace ondrel::linux::x11 {

// How long a writer waits for another writer on the same display to finish:
// long enough for a long text at the default pace, never forever.
inline constexpr std::chrono::seconds kWriterPatience{30};

// Writers on one display, in one process or in many, take turns: each owns
// the selection _ONDREL_SPARE_KEYCODES (on an unmapped window of its own
// connection) for as long as its spare keycodes are bound, so that no two
// bind the same keycode and none uses another's binding as a key of the
// layout. The X server arbitrates: a server grab makes looking at the owner
// and taking the selection one step. While the claim is held, the property
// _ONDREL_SPARE_KEYCODES on the root window lists the keycodes bound and the
// keycodes that may be down; a writer that dies loses the selection with its
// connection, and the next one to take the claim finds the list there, gives
// those keycodes back their empty mapping and lets go of those keys.
class WriterClaim {
 public:
  WriterClaim(const WriterClaim&) = delete;
  WriterClaim(WriterClaim&& other) noexcept;
  WriterClaim& operator=(const WriterClaim&) = delete;
  WriterClaim& operator=(WriterClaim&&) = delete;
  // Gives the claim back if give_back() was not called (best effort: the
  // connection's end gives it back too).
  ~WriterClaim();

  // Waits for the claim until `deadline` (or a stop), then puts back what a
  // dead writer left.
  static Expected<WriterClaim> take(XtestConnection& connection, std::uint32_t root, std::uint32_t window,
                                    Deadline deadline);
  // Takes the claim only if no writer holds it now, to put back what a dead
  // writer left; success also when a live writer holds it.
  static Outcome put_back_leftovers(XtestConnection& connection, std::uint32_t root, std::uint32_t window);

  // Records, for whoever comes after a death, the keycodes about to be bound
  // and those that may go down.
  // (Queued: the binding's round trip takes it to the server first.)
  void record(std::span<const Keycode> bound, std::span<const Keycode> pressed);
  // Clears the record and releases the selection; the server has done both
  // once this succeeds.
  Outcome give_back();

 private:
  struct Atoms {
    std::uint32_t selection;
    std::uint32_t property;
  };
  WriterClaim(XtestConnection& connection, std::uint32_t root, Atoms atoms)
      : connection_(&connection), root_(root), atoms_(atoms) {}
  static Expected<Atoms> intern_atoms(XtestConnection& connection, Deadline deadline);
  static Expected<bool> try_to_take(XtestConnection& connection, Atoms atoms, std::uint32_t window,
                                    Deadline deadline);
  Outcome put_back_recorded();

  XtestConnection* connection_;
  std::uint32_t root_;
  Atoms atoms_;
};

// An unmapped window of `connection`'s own, to own the claim with; it goes
// with the connection.
std::uint32_t create_claim_window(XtestConnection& connection, std::uint32_t root);

}  // namespace ondrel::linux::x11
