// Progress of a conversion: the desktop's progress box, a one-line bar on a
// terminal, or nothing. Cancel is noticed when a percentage is reported.
#pragma once
#include <string>

namespace tsl {

class Progress {
 public:
  virtual ~Progress() = default;
  virtual void Open(const std::string& input, const std::string& output) = 0;
  // False when the user asked to cancel.
  virtual bool SetPct(int percent) = 0;
  virtual void SetMsg(const std::string& message) = 0;
  virtual void SetTarget(const std::string& output) = 0;
  virtual void Close() = 0;
};

// Reports nothing and never cancels.
class NullProgress : public Progress {
 public:
  void Open(const std::string&, const std::string&) override {}
  bool SetPct(int) override { return true; }
  void SetMsg(const std::string&) override {}
  void SetTarget(const std::string&) override {}
  void Close() override {}
};

}  // namespace tsl
