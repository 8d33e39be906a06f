// A conversion the DDE service asked for (the DdeRequest run flag): its
// progress also goes to the host viewer's plug-in, and the service hears
// how it ended whichever way it ends: a run that could not start, or was
// refused before it started, completes the service with an empty result.
#pragma once
#include <cstdint>
#include <string>

#include "platform/progress.h"

namespace tsl::dde {

class DdeRun : public Progress {
 public:
  explicit DdeRun(bool ddeRequest) : active_(ddeRequest) {}
  ~DdeRun() override;
  DdeRun(const DdeRun&) = delete;
  DdeRun& operator=(const DdeRun&) = delete;

  // The progress the run is to report to: this (passing everything on to
  // `inner`) for a DDE run, `inner` itself otherwise.
  Progress* Wrap(Progress* inner);
  // The run finished: `path` is the metafile written, empty for none.
  void Finished(const std::string& path, uint32_t width, uint32_t height);

  void Open(const std::string& input, const std::string& output) override;
  bool SetPct(int percent) override;
  void SetMsg(const std::string& message) override;
  void SetTarget(const std::string& output) override;
  void Close() override;

 private:
  bool active_;
  Progress* inner_ = nullptr;
  std::string path_;
  uint32_t width_ = 0, height_ = 0;
};

}  // namespace tsl::dde
