// Puts a finished temporary file in place of the final one in one step, so
// that a failure leaves the older file as it was.
#pragma once
#include <string>

namespace tsl {

// Renames `from` to `to`, replacing `to` if it exists. False with errno set
// when it could not; `to` is then unchanged.
bool ReplaceFileWith(const std::string& from, const std::string& to);

}  // namespace tsl
