#include "test_servers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tsl::test {

namespace {

// "name=port" items separated by commas or blanks.
std::map<std::string, uint16_t> ParsePorts(std::string text) {
  for (char& c : text)
    if (c == ',') c = ' ';
  std::map<std::string, uint16_t> ports;
  std::istringstream items(text);
  std::string item;
  while (items >> item) {
    size_t eq = item.find('=');
    if (eq != std::string::npos) ports[item.substr(0, eq)] = static_cast<uint16_t>(std::atoi(item.c_str() + eq + 1));
  }
  return ports;
}

#ifndef _WIN32
// Starts the server with a pipe as its standard input that this process
// holds until it ends: then the server ends too.
std::string StartServer() {
  int in[2], out[2];
  // Close-on-exec: the programs a test runs must not hold the server alive.
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return std::string();
  pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    execlp("python3", "python3", TESSELLA_UPDATE_SERVER, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  std::string line;
  char c;
  while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
  close(out[0]);
  return line;
}
#endif

const std::map<std::string, uint16_t>& Ports() {
  static const std::map<std::string, uint16_t> ports = [] {
    if (const char* given = std::getenv("TESSELLA_TEST_UPDATE_SERVERS")) return ParsePorts(given);
#ifndef _WIN32
    return ParsePorts(StartServer());
#else
    return std::map<std::string, uint16_t>();
#endif
  }();
  return ports;
}

}  // namespace

uint16_t ServerPort(const std::string& name) {
  auto it = Ports().find(name);
  if (it == Ports().end()) {
    ADD_FAILURE() << "no test server for '" << name
                  << "' (run the tests through tests/update/update_server.py --run)";
    return 0;
  }
  return it->second;
}

}  // namespace tsl::test
