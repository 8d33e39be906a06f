// Shortening a path until it fits a control: folders after the drive are
// replaced, one at a time from the left, by "\...".
#pragma once
#include <functional>
#include <string>

namespace tsl::shell {

// `path` unchanged when `fits` accepts it, else shortened step by step
// (C:\a\b\c\file.plt, C:\...\b\c\file.plt, C:\...\c\file.plt,
// C:\...\file.plt) until `fits` accepts it or no folder is left to drop.
std::string AbbreviateToFit(const std::string& path, const std::function<bool(const std::string&)>& fits);

}  // namespace tsl::shell
