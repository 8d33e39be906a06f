#include "update/update_server.h"

#include <cctype>

#include "settings/settings_registry.h"

namespace tsl {

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// Letters, digits, dots and hyphens: a DNS name or an IPv4 address.
bool IsHostName(const std::string& host) {
  if (host.empty() || host.size() > 253 || host.front() == '.' || host.front() == '-') return false;
  for (unsigned char c : host)
    if (!std::isalnum(c) && c != '.' && c != '-') return false;
  return true;
}

}  // namespace

bool ParseUpdateServer(const std::string& text, UpdateServer* server, std::string* why) {
  std::string t = Trim(text);
  UpdateServer s;
  if (t.size() == 3 && std::tolower(static_cast<unsigned char>(t[0])) == 'o' &&
      std::tolower(static_cast<unsigned char>(t[1])) == 'f' && std::tolower(static_cast<unsigned char>(t[2])) == 'f') {
    s.off = true;
  } else if (!t.empty()) {
    size_t colon = t.find(':');
    s.host = t.substr(0, colon);
    bool ok = IsHostName(s.host);
    if (ok && colon != std::string::npos) {
      std::string digits = t.substr(colon + 1);
      long port = 0;
      ok = !digits.empty() && digits.size() <= 5;
      for (char c : digits) {
        ok = ok && c >= '0' && c <= '9';
        if (ok) port = port * 10 + (c - '0');
      }
      ok = ok && port >= 1 && port <= 65535;
      s.port = static_cast<uint16_t>(ok ? port : 0);
    }
    if (!ok) {
      *why = "UpdateServer accepts a host name or IPv4 address with an optional :port (1 to 65535), or off, not '" +
             text + "'";
      return false;
    }
  }
  *server = s;
  return true;
}

bool ReadUpdateServer(UpdateServer* server, std::string* why) {
  return ParseUpdateServer(GetSettingsText(nullptr, kUpdateServerValue, std::string()), server, why);
}

std::string UpdateServerText(const UpdateServer& server) {
  if (server.off) return "off";
  if (server.port == kDefaultUpdatePort) return server.host;
  return server.host + ":" + std::to_string(server.port);
}

}  // namespace tsl
