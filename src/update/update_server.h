// Which server the version check asks: the base-key value "UpdateServer"
// ("host" or "host:port"; "off" turns the check off), else the product's own.
#pragma once
#include <cstdint>
#include <string>

namespace tsl {

constexpr const char kUpdateServerValue[] = "UpdateServer";
constexpr const char kDefaultUpdateHost[] = "www.quillmark.com";
constexpr uint16_t kDefaultUpdatePort = 80;

struct UpdateServer {
  bool off = false;
  std::string host = kDefaultUpdateHost;
  uint16_t port = kDefaultUpdatePort;
};

// "host" or "host:port" (a host name or an IPv4 address, a port of 1 to
// 65535), "off" in any case, or "" for the product's server. False, with
// what the value may be in `why`, for anything else.
bool ParseUpdateServer(const std::string& text, UpdateServer* server, std::string* why);

// The server the stored value names (the product's when there is none).
// False, with `why`, when the stored value cannot be used.
bool ReadUpdateServer(UpdateServer* server, std::string* why);

// "host" or "host:port" as the user would write it.
std::string UpdateServerText(const UpdateServer& server);

}  // namespace tsl
