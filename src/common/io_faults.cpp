#include "common/io_faults.h"

#include <mutex>

namespace tsl {

namespace {
std::mutex gHookMutex;
IoFaultHook gHook;
}  // namespace

void SetIoFaultHook(IoFaultHook hook) {
  std::lock_guard<std::mutex> lock(gHookMutex);
  gHook = std::move(hook);
}

bool HasIoFaultHook() {
  std::lock_guard<std::mutex> lock(gHookMutex);
  return static_cast<bool>(gHook);
}

int InjectedIoFault(FileStep step, const std::string& path) {
  std::lock_guard<std::mutex> lock(gHookMutex);
  return gHook ? gHook(step, path) : 0;
}

}  // namespace tsl
