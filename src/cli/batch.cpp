#include "cli/batch.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "cli/convert_job.h"
#include "cli/interrupts.h"
#include "cli/report.h"
#include "cli/terminal_notices.h"
#include "cli/terminal_progress.h"
#include "common/memory.h"
#include "resources/string_ids.h"

namespace tsl {

BatchReport RunBatch(const std::vector<Job>& jobs, int threads, Reporter& reporter) {
  BatchReport report;
  ProgressBoard board(jobs.size());
  reporter.SetBoard(&board);
  std::atomic<size_t> next{0};
  std::atomic<int> converted{0}, warned{0}, failed{0};
  std::atomic<bool> cancelled{false};
  const bool onlyFile = jobs.size() == 1;
  auto worker = [&] {
    for (;;) {
      if (Interrupted()) return;
      size_t i = next.fetch_add(1);
      if (i >= jobs.size()) return;
      TerminalProgress progress(&board, InterruptFlag());
      JobStatus status = JobStatus::Failed;
      try {
        status = ConvertJob(jobs[i], &progress, reporter, onlyFile);
      } catch (const std::bad_alloc&) {
        // What the job had not finished is gone with its owners; the other
        // files still get their turn.
        TerminalNotices(jobs[i].source).Tell(
            MakeNotice(IDS_ALLOCATION_FAILED, {std::to_string(FailedAllocationSize())}, NoticeIcon::Error));
      }
      switch (status) {
        case JobStatus::Warned: warned++; [[fallthrough]];
        case JobStatus::Converted: converted++; break;
        case JobStatus::Failed: failed++; break;
        case JobStatus::Cancelled: cancelled = true; break;
      }
      board.JobDone();
    }
  };
  size_t count = std::min<size_t>(static_cast<size_t>(threads < 1 ? 1 : threads), jobs.size());
  if (count <= 1) {
    worker();
  } else {
    std::vector<std::thread> pool;
    for (size_t t = 0; t < count; ++t) pool.emplace_back(worker);
    for (std::thread& t : pool) t.join();
  }
  reporter.SetBoard(nullptr);
  report.converted = converted;
  report.warned = warned;
  report.failed = failed;
  report.cancelled = cancelled || Interrupted();
  return report;
}

}  // namespace tsl
