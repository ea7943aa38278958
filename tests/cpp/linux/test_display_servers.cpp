#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/linux/uinput/display_servers.h"

namespace ondrel {
namespace {

namespace fs = std::filesystem;
using linux::uinput::display_servers_reading_input;
using linux::uinput::has_taken;

// A /proc of the tables' and descriptors' real formats: a listening Wayland
// socket (inode 100), an X server's abstract one (101), a connected Wayland
// socket (102, a client's), a lock file's name, and two uevent netlink
// sockets (200, 201) beside a route one (202).
class FakeProc : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(::testing::TempDir()) / ("proc-" + std::to_string(getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "net");
    std::ofstream(root_ / "net/unix")
        << "Num       RefCount Protocol Flags    Type St Inode Path\n"
           "0000000000000000: 00000002 00000000 00010000 0001 01 100 /run/user/1000/wayland-1\n"
           "0000000000000000: 00000002 00000000 00010000 0001 01 101 @/tmp/.X11-unix/X0\n"
           "0000000000000000: 00000003 00000000 00000000 0001 03 102 /run/user/1000/wayland-2\n"
           "0000000000000000: 00000002 00000000 00010000 0001 01 103 /run/user/1000/wayland-3.lock\n"
           "0000000000000000: 00000002 00000000 00010000 0001 01 104 /run/dbus/system_bus_socket\n";
    std::ofstream(root_ / "net/netlink")
        << "sk               Eth Pid        Groups   Rmem     Wmem     Dump  Locks    Drops    Inode\n"
           "0000000000000000 15  812        00000002 0        0        0     2        0        200\n"
           "0000000000000000 15  -4123      00000001 0        0        0     2        0        201\n"
           "0000000000000000 0   813        00000551 0        0        0     2        0        202\n";
  }
  void TearDown() override { fs::remove_all(root_); }

  // A process with descriptors 3, 4, ... pointing at `targets`.
  void process(pid_t pid, const std::vector<std::string>& targets) {
    const fs::path directory = root_ / std::to_string(pid);
    fs::create_directories(directory / "fd");
    fs::create_directories(directory / "fdinfo");
    int fd = 3;
    for (const std::string& target : targets) fs::create_symlink(target, directory / "fd" / std::to_string(fd++));
  }
  void epoll_watches(pid_t pid, int epoll_fd, const std::vector<int>& watched) {
    std::ofstream info(root_ / std::to_string(pid) / "fdinfo" / std::to_string(epoll_fd));
    info << "pos:\t0\nflags:\t02000002\nmnt_id:\t15\nino:\t1057\n";
    for (const int fd : watched) info << "tfd:       " << fd << " events:       19 data:                7  pos:0 ino:3f sdev:d\n";
  }
  std::string proc() const { return root_.string(); }

  fs::path root_;
};

TEST_F(FakeProc, DisplayServersThatReadInputAreFoundAndNoOtherProcess) {
  process(10, {"socket:[100]", "socket:[200]", "anon_inode:[eventpoll]"});  // a compositor with no device yet
  process(11, {"socket:[101]", "/dev/input/event3"});                       // an X server without udev
  process(12, {"socket:[101]", "/dev/null"});                               // Xvfb
  process(13, {"socket:[102]", "socket:[200]"});                            // a client that watches udev
  process(14, {"socket:[103]", "socket:[201]", "socket:[104]"});          // neither socket is a display's
  process(15, {"/dev/input/event3", "socket:[200]"});                       // logind, a game: no display
  process(16, {"socket:[100]", "socket:[202]"});                            // a display, no device announcements
  process(getpid(), {"socket:[100]", "socket:[200]"});                      // this process
  std::vector<pid_t> found = display_servers_reading_input(proc());
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<pid_t>{10, 11}));
}

TEST_F(FakeProc, ANodeIsTakenOnceHeldAndWatchedByAnEpollSetWhereTheReaderUsesOne) {
  const std::string node = "/dev/input/event7";
  process(20, {node, "anon_inode:[eventpoll]", "anon_inode:[eventpoll]"});  // fds 3, 4, 5
  epoll_watches(20, 4, {8, 9});
  epoll_watches(20, 5, {4});  // the outer set watches the inner one
  EXPECT_FALSE(has_taken(20, node, proc())) << "opened, not yet in an epoll set (libinput empties it first)";
  epoll_watches(20, 4, {8, 3, 9});
  EXPECT_TRUE(has_taken(20, node, proc()));
  EXPECT_FALSE(has_taken(20, "/dev/input/event70", proc()));

  process(21, {"/dev/input/event6", node});  // reads without epoll: holding is all there is to see
  EXPECT_TRUE(has_taken(21, node, proc()));
  process(22, {"/dev/input/event6", "anon_inode:[eventpoll]"});
  epoll_watches(22, 4, {3});
  EXPECT_FALSE(has_taken(22, node, proc()));
  EXPECT_FALSE(has_taken(23, node, proc())) << "a process that is gone";
}

}  // namespace
}  // namespace ondrel
