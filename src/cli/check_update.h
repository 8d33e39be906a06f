// `tessella --check-update`, and the UpdateServer value of `tessella
// settings set`.
#pragma once
#include <iosfwd>
#include <string>

namespace tsl {

// argv[0] is "--check-update". Exit status: 0 when the running release is
// the published one, 3 when another is published, 1 when the check failed,
// 2 for a usage error.
int RunCheckUpdate(int argc, char** argv, std::ostream& out, std::ostream& err);
int RunCheckUpdate(int argc, char** argv);

// True for the key "UpdateServer" (any case).
bool IsUpdateServerKey(const std::string& key);
// `tessella settings set UpdateServer VALUE`: checks and stores the value
// in the base key ("" restores the product's server). `inSet` is true when
// a set was named, which this value has nothing to do with.
int SetUpdateServerSetting(const std::string& value, bool inSet, std::ostream& out, std::ostream& err);

}  // namespace tsl
