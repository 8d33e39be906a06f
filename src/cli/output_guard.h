// The older outputs of a file kept aside while it converts, so that a
// conversion that is interrupted or fails leaves them as they were: each
// existing output gets a second name (a hard link, else a copy) beside it,
// which is dropped when the new outputs stand and renamed back when they
// do not.
#pragma once
#include <string>
#include <vector>

namespace tsl {

class OutputGuard {
 public:
  OutputGuard() = default;
  ~OutputGuard();
  OutputGuard(const OutputGuard&) = delete;
  OutputGuard& operator=(const OutputGuard&) = delete;

  // Keeps aside whatever exists under `path`. For a metafile of several
  // pages, `pages` also keeps its numbered pages (plan-2.emf, ...). False
  // with *error when an existing file cannot be kept aside: the conversion
  // must not start.
  bool Keep(const std::string& path, bool pages, std::string* error);
  // The new outputs stand: what was kept aside is dropped.
  void Commit();
  // Puts back every older output and removes every new one, except `spare`
  // (a log that says why the conversion failed), which stays as written.
  void Restore(const std::string& spare = std::string());

 private:
  struct Entry {
    std::string path;
    std::string kept;  // empty when nothing existed
  };
  // Numbered pages from `next` on, made by this conversion if any.
  struct Series {
    std::string path;
    int next;
  };
  bool KeepOne(const std::string& path, std::string* error);

  std::vector<Entry> entries_;
  std::vector<Series> series_;
  bool done_ = false;
};

}  // namespace tsl
