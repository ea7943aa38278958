#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ondrel::linux::x11 {

// Where a server's cookie is filed in an authority file: the address
// family (FamilyLocal with this machine's name for local and loopback
// connections, as libxcb files it) and the address.
struct AuthorityAddress {
  std::uint16_t family;
  std::string address;
};

inline constexpr std::uint16_t kFamilyInternet = 0;
inline constexpr std::uint16_t kFamilyInternet6 = 6;
inline constexpr std::uint16_t kFamilyLocal = 256;

// An authorisation for the connection setup.
struct Cookie {
  std::string name;
  std::string data;
};

// The MIT-MAGIC-COOKIE-1 that $XAUTHORITY (or ~/.Xauthority) holds for
// display `number` at `address`, as libXau would pick it; nullopt when there
// is none, and the server is then asked without authorisation.
std::optional<Cookie> find_cookie(const AuthorityAddress& address, int number);

}  // namespace ondrel::linux::x11
