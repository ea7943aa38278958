#include "platform/linux/uinput/display_servers.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string_view>

namespace ondrel::linux::uinput {
namespace {

using Inodes = std::set<unsigned long>;

constexpr int kUeventProtocol = 15;  // NETLINK_KOBJECT_UEVENT
constexpr unsigned long kListening = 0x10000;  // __SO_ACCEPTCON in /proc/net/unix's flags

template <class Number>
std::optional<Number> number_in(std::string_view text, int base = 10) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

void for_each_entry(const std::string& directory, const std::function<void(std::string_view)>& visit) {
  const std::unique_ptr<DIR, int (*)(DIR*)> entries(opendir(directory.c_str()), closedir);
  if (!entries) return;
  while (const dirent* entry = readdir(entries.get())) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") visit(name);
  }
}

std::string link_target(const std::string& path) {
  char target[256];
  const ssize_t length = readlink(path.c_str(), target, sizeof target);
  return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

// The lines of a /proc table after its header, split at blanks.
void for_each_row(const std::string& path, const std::function<void(const std::vector<std::string>&)>& visit) {
  std::ifstream table(path);
  std::string line;
  std::getline(table, line);
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::vector<std::string> row;
    for (std::string field; fields >> field;) row.push_back(field);
    visit(row);
  }
}

// /proc/net/unix: "Num RefCount Protocol Flags Type St Inode Path"; an X
// server's abstract socket reads "@/tmp/.X11-unix/X0".
bool is_display_socket(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  return (name.starts_with("wayland-") && !name.ends_with(".lock")) ||
         (path.find(".X11-unix/X") != std::string_view::npos);
}

Inodes display_sockets(const std::string& proc) {
  Inodes inodes;
  for_each_row(proc + "/net/unix", [&](const std::vector<std::string>& row) {
    if (row.size() < 8 || !is_display_socket(row[7])) return;
    const auto flags = number_in<unsigned long>(row[3], 16);
    const auto inode = number_in<unsigned long>(row[6]);
    if (flags && (*flags & kListening) != 0 && inode) inodes.insert(*inode);
  });
  return inodes;
}

// /proc/net/netlink: "sk Eth Pid Groups Rmem Wmem Dump Locks Drops Inode".
Inodes device_announcement_sockets(const std::string& proc) {
  Inodes inodes;
  for_each_row(proc + "/net/netlink", [&](const std::vector<std::string>& row) {
    if (row.size() < 10 || number_in<int>(row[1]) != kUeventProtocol) return;
    if (const auto inode = number_in<unsigned long>(row[9])) inodes.insert(*inode);
  });
  return inodes;
}

std::optional<unsigned long> socket_inode(std::string_view target) {
  if (!target.starts_with("socket:[") || !target.ends_with(']')) return std::nullopt;
  return number_in<unsigned long>(target.substr(8, target.size() - 9));
}

bool is_evdev_node(std::string_view target) { return target.starts_with("/dev/input/event"); }

// What one process's descriptors show.
struct Descriptors {
  bool serves_display = false;
  bool listens_to_announcements = false;
  bool holds_evdev_node = false;
};

Descriptors descriptors_of(const std::string& process, const Inodes& displays, const Inodes& announcements) {
  Descriptors seen;
  for_each_entry(process + "/fd", [&](std::string_view fd) {
    const std::string target = link_target(process + "/fd/" + std::string(fd));
    if (is_evdev_node(target)) seen.holds_evdev_node = true;
    const std::optional<unsigned long> inode = socket_inode(target);
    if (!inode) return;
    if (displays.contains(*inode)) seen.serves_display = true;
    if (announcements.contains(*inode)) seen.listens_to_announcements = true;
  });
  return seen;
}

// The descriptors an epoll set's fdinfo lists, one "tfd: N events: ..." line each.
std::set<int> watched_by_epoll(const std::string& fdinfo) {
  std::set<int> watched;
  std::ifstream info(fdinfo);
  std::string label;
  std::string value;
  for (std::string line; std::getline(info, line);) {
    std::istringstream fields(line);
    if (fields >> label >> value && label == "tfd:")
      if (const auto fd = number_in<int>(value)) watched.insert(*fd);
  }
  return watched;
}

}  // namespace

std::vector<pid_t> display_servers_reading_input(const std::string& proc) {
  const Inodes displays = display_sockets(proc);
  if (displays.empty()) return {};
  const Inodes announcements = device_announcement_sockets(proc);
  const pid_t self = getpid();
  std::vector<pid_t> servers;
  for_each_entry(proc, [&](std::string_view name) {
    const std::optional<pid_t> pid = number_in<pid_t>(name);
    if (!pid || *pid == self) return;
    const Descriptors seen = descriptors_of(proc + "/" + std::string(name), displays, announcements);
    if (seen.serves_display && (seen.listens_to_announcements || seen.holds_evdev_node)) servers.push_back(*pid);
  });
  return servers;
}

bool has_taken(pid_t pid, const std::string& node, const std::string& proc) {
  const std::string process = proc + "/" + std::to_string(pid);
  std::set<int> holding;
  std::vector<std::string> epolls;
  for_each_entry(process + "/fd", [&](std::string_view name) {
    const std::string target = link_target(process + "/fd/" + std::string(name));
    if (target == node) {
      if (const auto fd = number_in<int>(name)) holding.insert(*fd);
    } else if (target == "anon_inode:[eventpoll]") {
      epolls.emplace_back(name);
    }
  });
  if (holding.empty()) return false;
  if (epolls.empty()) return true;  // it reads some other way, and holds the node
  return std::any_of(epolls.begin(), epolls.end(), [&](const std::string& epoll) {
    const std::set<int> watched = watched_by_epoll(process + "/fdinfo/" + epoll);
    return std::any_of(holding.begin(), holding.end(), [&](int fd) { return watched.contains(fd); });
  });
}

}  // namespace ondrel::linux::uinput
