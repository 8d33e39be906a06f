#include "dde/dde_run.h"

#include "dde/dde_server.h"

namespace tsl::dde {

DdeRun::~DdeRun() {
  if (active_) DDEProcessingComplete(path_.empty() ? nullptr : path_.c_str(), width_, height_);
}

Progress* DdeRun::Wrap(Progress* inner) {
  inner_ = inner;
  return active_ ? this : inner;
}

void DdeRun::Finished(const std::string& path, uint32_t width, uint32_t height) {
  path_ = path;
  width_ = width;
  height_ = height;
}

void DdeRun::Open(const std::string& input, const std::string& output) {
  if (inner_) inner_->Open(input, output);
}

bool DdeRun::SetPct(int percent) {
  DDEFeedbackProgress(percent);
  return inner_ ? inner_->SetPct(percent) : true;
}

void DdeRun::SetMsg(const std::string& message) {
  if (inner_) inner_->SetMsg(message);
}

void DdeRun::SetTarget(const std::string& output) {
  if (inner_) inner_->SetTarget(output);
}

void DdeRun::Close() {
  if (inner_) inner_->Close();
}

}  // namespace tsl::dde
