// The loopback update servers of update_server.py, one port per case of
// reply: "current", "older", "spaced", "missing", "chunked",
// "chunked_lower", "big", "notfound", "cut", "silent", "trickle", "echo",
// and "refused" (a port where nothing listens).
#pragma once
#include <cstdint>
#include <string>

namespace tsl::test {

// The port of a case; fails the test (and gives 0) when there is none.
uint16_t ServerPort(const std::string& name);

}  // namespace tsl::test
