// Batch conversion: the files, folders and patterns of a command line, each
// with the options in force where it was named, converted N at a time.
#pragma once
#include <atomic>
#include <initializer_list>
#include <string>
#include <vector>

#include "cli/switches.h"

namespace tsl {

struct BatchJob {
  std::string path;
  CliOptions options;
};

struct BatchReport {
  int converted = 0;
  int failed = 0;
  bool cancelled = false;
};

class Batch {
 public:
  Batch(int jobs, const std::atomic<bool>* cancel) : jobs_(jobs < 1 ? 1 : jobs), cancel_(cancel) {}

  // Expands a file, folder or pattern into jobs. A name that matches
  // nothing is reported (40052) and counts as a failure.
  void Add(const std::string& item, const CliOptions& options);
  // A failure found while reading the command line (for example a switch
  // that cannot be carried out here).
  void AddFailure() { preFailures_++; }
  size_t Size() const { return jobs.size(); }

  BatchReport Run();

  std::vector<BatchJob> jobs;

 private:
  int jobs_;
  const std::atomic<bool>* cancel_;
  int preFailures_ = 0;
};

// The files a folder converts: its .plt, then .hgl, then .hpg files, the
// extensions matched without regard to case, each group sorted by name.
std::vector<std::string> FolderPlots(const std::string& folder);
// The same for any extensions, each group in the order given (-PM prints a
// folder's .emf, then .wmf files).
std::vector<std::string> FolderFiles(const std::string& folder, std::initializer_list<const char*> extensions);
// The files a pattern matches (sorted); empty when none.
std::vector<std::string> MatchPattern(const std::string& pattern);

// One conversion with everything the options ask for around it: names,
// the run, measure-only summary, automatic exports. True when it succeeded.
bool ConvertJob(const BatchJob& job, const std::atomic<bool>* cancel, class Progress* progress);

}  // namespace tsl
