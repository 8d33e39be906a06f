#include "platform/bounded_call.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace tsl {

namespace {
struct Completion {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
};
}  // namespace

bool RunBounded(std::function<void()> work, int timeoutMs) {
  auto completion = std::make_shared<Completion>();
  try {
    std::thread([completion, work = std::move(work)] {
      work();
      std::lock_guard<std::mutex> lock(completion->mutex);
      completion->finished = true;
      completion->done.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return false;  // no thread to be had: the call is not made
  }
  std::unique_lock<std::mutex> lock(completion->mutex);
  return completion->done.wait_for(lock, std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs),
                                   [&] { return completion->finished; });
}

}  // namespace tsl
